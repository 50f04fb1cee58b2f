#pragma once

#include <QTabBar>

namespace JoxGui {
namespace CustomWidgets {

// A tab bar whose last tab may be a plus tab that asks for a new page
// instead of being selected.
class ExtendableTabBar : public QTabBar
{
    Q_OBJECT

public:
    explicit ExtendableTabBar(QWidget* pParent = nullptr);

    void SetPlusTabShown(bool shown);
    bool IsPlusTabShown() const;

signals:
    void PlusButtonClicked();

protected:
    void mousePressEvent(QMouseEvent* pEvent) override;

private:
    bool mPlusTabShown = false;
};

} // namespace CustomWidgets
} // namespace JoxGui
