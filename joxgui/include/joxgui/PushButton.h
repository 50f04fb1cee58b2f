#pragma once

#include <QPushButton>

namespace JoxGui {

// A push button that can elide its text to its width and lets mouse
// clicks (when disabled) and wheel events through to its parent.
class PushButton : public QPushButton
{
    Q_OBJECT

public:
    explicit PushButton(const QString& rText = QString(), QWidget* pParent = nullptr);

    // Qt::ElideNone (the default) paints the text as a plain push button.
    void SetElideMode(Qt::TextElideMode mode);
    Qt::TextElideMode GetElideMode() const;

protected:
    bool event(QEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private:
    int mElideMode = Qt::ElideNone;
    int mCachedWidth = 0;
    QString mCachedText;
};

} // namespace JoxGui
