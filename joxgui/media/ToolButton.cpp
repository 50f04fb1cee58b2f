#include <joxgui/ToolButton.h>

#include <styles/StyleMetrics.h>

#include <QMenu>

#include <algorithm>

namespace JoxGui {

ToolButton::ToolButton(QWidget* pParent)
    : QToolButton(pParent)
{
    setMenu(new QMenu(this));
    setPopupMode(QToolButton::DelayedPopup);
    connect(this, &QToolButton::clicked, this, &ToolButton::SlotAboutToShow);
}

void ToolButton::SlotAboutToShow()
{
    emit SignalAboutToShowMenu();
    QMenu* pMenu = menu();
    if (pMenu == nullptr)
        return;
    pMenu->popup(mapToGlobal(rect().bottomLeft()));
    pMenu->setMinimumWidth(width());
    pMenu->setMaximumWidth(std::max(width(), pMenu->sizeHint().width() - (StyleFlag() ? 0 : 45)));
}

} // namespace JoxGui
