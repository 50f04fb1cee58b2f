#include <joxgui/ExtendableTabWidget.h>

#include <joxgui/ExtendableTabBar.h>
#include <joxgui/ExtendableTabBarCloseButton.h>

#include <QPointer>

namespace JoxGui {
namespace CustomWidgets {

ExtendableTabWidget::ExtendableTabWidget(QWidget* pParent)
    : QTabWidget(pParent)
    , mpBar(new ExtendableTabBar(this))
{
    setTabBar(mpBar);
    connect(mpBar, &ExtendableTabBar::PlusButtonClicked, this, &ExtendableTabWidget::PlusButtonClicked);
    // The plus tab is no page: when removals make it current, the last page
    // is shown instead.
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        if (mPlusTabShown && index == count() - 1 && index > 0)
            setCurrentIndex(index - 1);
    });
}

int ExtendableTabWidget::AddPage(QWidget* pPage, const QString& rLabel)
{
    const int index = insertTab(GetPageCount(), pPage, rLabel);
    if (mTabsClosable) {
        auto* pButton = new ExtendableTabBarCloseButton(pPage, mpBar);
        connect(pButton, &QToolButton::clicked, this,
                qOverload<>(&ExtendableTabWidget::CloseButtonClicked));
        mpBar->setTabButton(index, QTabBar::RightSide, pButton);
    }
    UpdateCloseButtons();
    return index;
}

void ExtendableTabWidget::SetPlusTabShown(bool shown)
{
    if (shown == mPlusTabShown)
        return;
    mPlusTabShown = shown;
    mpBar->SetPlusTabShown(shown);
    if (shown)
        addTab(new QWidget, QStringLiteral("+"));
    else
        delete widget(count() - 1);
    UpdateCloseButtons();
}

void ExtendableTabWidget::SetTabsClosable(bool closable)
{
    mTabsClosable = closable;
}

void ExtendableTabWidget::SetMinimumTabs(int count)
{
    mMinimumTabs = count;
    UpdateCloseButtons();
}

int ExtendableTabWidget::GetPageCount() const
{
    return count() - (mPlusTabShown ? 1 : 0);
}

void ExtendableTabWidget::CloseButtonClicked()
{
    auto* pButton = qobject_cast<ExtendableTabBarCloseButton*>(sender());
    if (pButton == nullptr)
        return;
    const QPointer<QWidget> pPage = pButton->GetPage();
    const int index = pPage.isNull() ? -1 : indexOf(pPage);
    if (index < 0)
        return;
    emit CloseButtonClicked(static_cast<uint>(index));
    // A listener may have moved, removed or deleted tabs: the page is found
    // again, so no other page goes in its place.
    const int now = pPage.isNull() ? -1 : indexOf(pPage);
    if (now >= 0)
        removeTab(now);
    UpdateCloseButtons();
}

void ExtendableTabWidget::UpdateCloseButtons()
{
    if (!mTabsClosable || mpBar == nullptr || mMinimumTabs == 0)
        return;
    const int pages = GetPageCount();
    for (int i = 0; i < pages; ++i) {
        if (QWidget* pButton = mpBar->tabButton(i, QTabBar::RightSide))
            pButton->setVisible(pages > mMinimumTabs);
    }
}

} // namespace CustomWidgets
} // namespace JoxGui
