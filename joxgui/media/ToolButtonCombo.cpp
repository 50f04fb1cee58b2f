#include <joxgui/ToolButtonCombo.h>

#include <QAction>
#include <QCursor>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>
#include <QToolTip>

namespace JoxGui {

ToolButtonCombo::ToolButtonCombo(const QString& rDefaultText, QWidget* pParent)
    : QWidget(pParent)
    , mpButton(new QToolButton(this))
    , mpMenu(new QMenu(this))
    , mDefaultText(rDefaultText)
{
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(mpButton);
    mpButton->setMenu(mpMenu);
    mpButton->setPopupMode(QToolButton::InstantPopup);
    mpButton->setText(mDefaultText);
    connect(mpMenu, &QMenu::aboutToShow, this, &ToolButtonCombo::SignalAboutToShowMenu);
    connect(mpMenu, &QMenu::hovered, this, &ToolButtonCombo::SlotActionHovered);
}

QAction* ToolButtonCombo::AddAction(const QString& rText, const QString& rToolTip)
{
    QAction* pAction = mpMenu->addAction(rText);
    if (!rToolTip.isEmpty())
        pAction->setToolTip(rToolTip);
    connect(pAction, &QAction::triggered, this, &ToolButtonCombo::SlotMenuActionTriggered);
    mActions.append(pAction);
    return pAction;
}

void ToolButtonCombo::SetCurrentIndex(int index)
{
    QAction* pAction = mActions.value(index, nullptr);
    QString text = mDefaultText;
    QString toolTip;
    if (pAction == nullptr) {
        mCurrentIndex = -1;
    } else {
        mCurrentIndex = index;
        text = pAction->text();
        if (pAction->toolTip() != pAction->text())
            toolTip = pAction->toolTip();
    }
    mpButton->setText(mUpperCase ? text.toUpper() : text);
    // A choice without a tooltip of its own clears the previous one's.
    mpButton->setToolTip(toolTip);
}

int ToolButtonCombo::GetCurrentIndex() const
{
    return mCurrentIndex;
}

void ToolButtonCombo::SetUpperCase(bool upperCase)
{
    mUpperCase = upperCase;
    SetCurrentIndex(mCurrentIndex);
}

void ToolButtonCombo::SetShowToolTips(bool show)
{
    mShowToolTips = show;
}

QToolButton* ToolButtonCombo::GetButton() const
{
    return mpButton;
}

QMenu* ToolButtonCombo::GetMenu() const
{
    return mpMenu;
}

void ToolButtonCombo::SlotMenuActionTriggered()
{
    const int index = mActions.indexOf(qobject_cast<QAction*>(sender()));
    if (index < 0)
        return;
    SetCurrentIndex(index);
    emit SigCurrentIndexChanged();
}

void ToolButtonCombo::SlotActionHovered(QAction* pAction)
{
    if (mShowToolTips && pAction != nullptr)
        QToolTip::showText(QCursor::pos(), pAction->toolTip());
}

} // namespace JoxGui
