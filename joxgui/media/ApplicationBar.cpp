#include <joxgui/ApplicationBar.h>

#include <joxgui/ApplicationTab.h>

#include <QButtonGroup>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

namespace JoxGui {

ApplicationBar::ApplicationBar(QWidget* pParent)
    : QWidget(pParent)
    , mpGroup(new QButtonGroup(this))
    , mpTabLayout(new QHBoxLayout)
    , mpClockLabel(new QLabel(this))
    , mpClockTimer(new QTimer(this))
{
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    mpTabLayout->setContentsMargins(0, 0, 0, 0);
    mpTabLayout->setSpacing(0);
    pLayout->addLayout(mpTabLayout);
    pLayout->addStretch(1);
    pLayout->addWidget(mpClockLabel);
    mpGroup->setExclusive(true);
    connect(mpGroup, &QButtonGroup::idClicked, this, &ApplicationBar::SlotTabClicked);
    mpClockTimer->setInterval(1000);
    connect(mpClockTimer, &QTimer::timeout, this, &ApplicationBar::UpdateClockLabel);
    mpClockTimer->start();
    QTimer::singleShot(0, this, &ApplicationBar::UpdateClockLabel);
}

int ApplicationBar::AddTab(const QString& rText)
{
    auto* pTab = new ApplicationTab(rText, this);
    const int index = mTabs.size();
    mTabs.append(pTab);
    mpGroup->addButton(pTab, index);
    mpTabLayout->addWidget(pTab);
    return index;
}

int ApplicationBar::GetTabCount() const
{
    return mTabs.size();
}

ApplicationTab* ApplicationBar::GetTab(int index) const
{
    return mTabs.value(index, nullptr);
}

int ApplicationBar::GetCurrentIndex() const
{
    return mCurrentIndex;
}

QString ApplicationBar::GetClockText() const
{
    return mpClockLabel->text();
}

void ApplicationBar::SetCurrentIndex(int index)
{
    ApplicationTab* pTab = mTabs.value(index, nullptr);
    if (pTab == nullptr)
        return;
    pTab->setChecked(true);
    mCurrentIndex = index;
    emit CurrentIndexChanged(index);
}

void ApplicationBar::SlotTabClicked(int id)
{
    auto* pTab = qobject_cast<ApplicationTab*>(mpGroup->button(id));
    if (pTab == nullptr)
        return;
    mCurrentIndex = mTabs.indexOf(pTab);
    emit CurrentIndexChanged(mCurrentIndex);
}

void ApplicationBar::UpdateClockLabel()
{
    mpClockLabel->setText(CurrentTime().toString(QStringLiteral("HH:mm:ss")));
}

QTime ApplicationBar::CurrentTime() const
{
    return QTime::currentTime();
}

void ApplicationBar::contextMenuEvent(QContextMenuEvent* pEvent)
{
    for (int i = 0; i < mTabs.size(); ++i) {
        if (mTabs[i]->geometry().contains(pEvent->pos())) {
            emit ContextMenu(i, pEvent->globalPos());
            return;
        }
    }
}

} // namespace JoxGui
