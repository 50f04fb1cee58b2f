#include <joxgui/StylableTabWidget.h>

#include <joxgui/StylableTabBar.h>

namespace JoxGui {

StylableTabWidget::StylableTabWidget(QWidget* pParent)
    : QTabWidget(pParent)
    , mpTabBar(new StylableTabBar(this))
{
    mpTabBar->setDrawBase(false);
    setTabBar(mpTabBar);
    // Installing a bar makes it expanding again; keep the bar's own setting.
    mpTabBar->setExpanding(false);
    connect(mpTabBar, &StylableTabBar::ContextMenu, this, &StylableTabWidget::ContextMenu);
}

void StylableTabWidget::SetTabWidth(int width)
{
    if (mpTabBar == nullptr || width <= 0)
        return;
    mpTabBar->SetFixedTabWidth(width);
    mpTabBar->adjustSize();
}

} // namespace JoxGui
