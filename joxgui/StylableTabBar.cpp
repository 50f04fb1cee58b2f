#include <joxgui/StylableTabBar.h>

#include <QContextMenuEvent>

namespace JoxGui {

StylableTabBar::StylableTabBar(QWidget* pParent)
    : QTabBar(pParent)
{
    setExpanding(false);
}

void StylableTabBar::SetFixedTabWidth(int width)
{
    mFixedTabWidth = width;
    // Re-setting a layout property makes the bar lay its tabs out again.
    setElideMode(elideMode());
}

QSize StylableTabBar::tabSizeHint(int index) const
{
    QSize size = QTabBar::tabSizeHint(index);
    if (mFixedTabWidth > 0)
        size.setWidth(mFixedTabWidth);
    else if (mTabWidths.contains(index))
        size.setWidth(mTabWidths.value(index));
    else
        size.setWidth(100);
    return size;
}

void StylableTabBar::contextMenuEvent(QContextMenuEvent* pEvent)
{
    const int index = tabAt(pEvent->pos());
    if (index >= 0 && index < count())
        emit ContextMenu(index, pEvent->globalPos());
}

} // namespace JoxGui
