#pragma once

#include <QColor>
#include <QWidget>

namespace JoxGui {

// A colour swatch; a click opens the colour dialog.
class ColorSelectWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ColorSelectWidget(const QColor& rColor = Qt::white, QWidget* pParent = nullptr);

    QSize sizeHint() const override;

signals:
    void SigColorSelected(const QColor& rColor);
    void SigClicked();

public slots:
    // An invalid colour is ignored; with bEmit a stored colour is signalled.
    void SetColor(const QColor& rColor, bool bEmit);
    void SetColor(const QColor& rColor);
    QColor GetColor() const;
    // Runs the colour dialog from the stored colour.
    void OpenSelect();

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;

private:
    QColor mColor;
};

} // namespace JoxGui
