#include <joxgui/ExtendableTabBar.h>

#include <QMouseEvent>

namespace JoxGui {
namespace CustomWidgets {

ExtendableTabBar::ExtendableTabBar(QWidget* pParent)
    : QTabBar(pParent)
{
}

void ExtendableTabBar::SetPlusTabShown(bool shown)
{
    mPlusTabShown = shown;
}

bool ExtendableTabBar::IsPlusTabShown() const
{
    return mPlusTabShown;
}

void ExtendableTabBar::mousePressEvent(QMouseEvent* pEvent)
{
    if (mPlusTabShown && pEvent->button() == Qt::LeftButton && count() > 0
        && tabAt(pEvent->position().toPoint()) == count() - 1) {
        emit PlusButtonClicked();
        pEvent->accept();
        return;
    }
    QTabBar::mousePressEvent(pEvent);
}

} // namespace CustomWidgets
} // namespace JoxGui
