#include <joxgui/FoldWidget.h>

#include <joxcore/PointerError.h>
#include <styles/StyleMetrics.h>

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace JoxGui {

FoldWidget::FoldWidget(const QString& rTitle, QWidget* pParent)
    : QWidget(pParent)
    , mpHeaderButton(new QToolButton(this))
    , mpTitleLabel(new QLabel(this))
    , mTitle(rTitle)
    , mFoldedIcon(QStringLiteral(":/data/HarlenStyle/icon_fold_down.png"))
    , mUnfoldedIcon(QStringLiteral(":/data/HarlenStyle/icon_fold_up.png"))
    , mpContent(new QWidget(this))
{
    auto* pSeparator = new QFrame(this);
    pSeparator->setFrameShape(QFrame::HLine);
    mpSeparator = pSeparator;
    mpHeaderButton->setAutoRaise(true);
    mpHeaderButton->setFixedHeight(StyleMetric(3));
    mpHeaderButton->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* pHeader = new QHBoxLayout;
    pHeader->setContentsMargins(0, 0, 0, 0);
    pHeader->setSpacing(StyleMetric(4));
    pHeader->addWidget(mpHeaderButton);
    pHeader->addWidget(mpTitleLabel, 1);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, StyleMetric(4), 0, StyleMetric(4));
    pLayout->setSpacing(StyleMetric(4));
    pLayout->addLayout(pHeader);
    pLayout->addWidget(mpContent, 1);
    pLayout->addWidget(mpSeparator);
    connect(mpHeaderButton, &QToolButton::clicked, this, &FoldWidget::Toggle);
    connect(mpHeaderButton, &QWidget::customContextMenuRequested, this,
            &FoldWidget::SlotButtonContextMenu);
    mpHeaderButton->setIcon(mUnfoldedIcon);
}

bool FoldWidget::IsFolded() const
{
    return mFolded;
}

QWidget* FoldWidget::GetContent() const
{
    return mpContent;
}

QToolButton* FoldWidget::GetHeaderButton() const
{
    return mpHeaderButton;
}

QLabel* FoldWidget::GetTitleLabel() const
{
    return mpTitleLabel;
}

void FoldWidget::Fold(bool folded)
{
    if (folded == mFolded)
        return;
    mFolded = folded;
    UpdateHeader();
    emit Folded(mFolded);
}

void FoldWidget::Toggle()
{
    mFolded = !mFolded;
    UpdateHeader();
    emit Folded(mFolded);
}

void FoldWidget::SlotShowAllWidgets()
{
    SetAllWidgetsHidden(false);
}

void FoldWidget::SlotHideAllWidgets()
{
    SetAllWidgetsHidden(true);
}

void FoldWidget::SetAllWidgetsHidden(bool)
{
}

QString FoldWidget::GetTitle() const
{
    return mTitle;
}

void FoldWidget::UpdateHeader()
{
    setUpdatesEnabled(false);
    const QString title = GetTitle();
    mpTitleLabel->setText(mFolded ? mpTitleLabel->fontMetrics().elidedText(title, Qt::ElideRight,
                                                                            mpTitleLabel->width())
                                  : QString());
    int height = 0;
    if (mFolded) {
        mpHeaderButton->setIcon(mFoldedIcon);
        mpContent->hide();
        mpSeparator->hide();
        height = StyleMetric(3) + 2 * StyleMetric(4);
    } else {
        mpHeaderButton->setIcon(mUnfoldedIcon);
        mpContent->show();
        mpSeparator->show();
        height = sizeHint().height();
    }
    const int oldHeight = this->height();
    setFixedHeight(height);
    if (height != oldHeight && !isHidden())
        emit Resize(height - oldHeight);
    setUpdatesEnabled(true);
}

void FoldWidget::SlotButtonContextMenu(const QPoint& rPoint)
{
    if (mpHeaderButton == nullptr)
        return;
    std::unique_ptr<QMenu> pMenu(new QMenu(this));
    if (!pMenu)
        throw Exception::pointer_invalid_error();
    const QString text = mFolded ? QStringLiteral("Show all settings") : QStringLiteral("Hide all settings");
    QAction* pAction = pMenu->addAction(text);
    pAction->setStatusTip(text);
    pAction->setShortcutContext(Qt::WindowShortcut);
    if (mFolded)
        connect(pAction, &QAction::triggered, this, &FoldWidget::SlotShowAllWidgets);
    else
        connect(pAction, &QAction::triggered, this, &FoldWidget::SlotHideAllWidgets);
    pMenu->exec(mpHeaderButton->mapToGlobal(rPoint));
}

} // namespace JoxGui
