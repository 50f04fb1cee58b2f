#include <joxgui/PinContainerWidget.h>

#include <joxgui/WidgetHelpers.h>
#include <styles/StyleMetrics.h>

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace JoxGui {

namespace {

const int kHeaderSize = 40;
const int kCollapseDelayMs = 500;
const int kUnlimited = 16777215;

} // namespace

PinContainerWidget::PinContainerWidget(const QString& rTitle, QWidget* pParent)
    : QWidget(pParent)
{
    auto* pTitle = new QLabel(rTitle, this);
    pTitle->setObjectName(QStringLiteral("LabelPlayHeader"));
    pTitle->setFixedHeight(kHeaderSize);

    mpFoldButton = new QPushButton(this);
    mpFoldButton->setCheckable(true);
    mpFoldButton->setChecked(false);
    mpFoldButton->setFixedSize(kHeaderSize, kHeaderSize);
    mpFoldButton->setObjectName(QStringLiteral("ButtonHeaderFold"));
    mpFoldButton->setToolTip(tr("Fold/Unfold..."));
    connect(mpFoldButton, &QPushButton::clicked, this, &PinContainerWidget::SignalFold);

    mpPinButton = new QPushButton(this);
    mpPinButton->setObjectName(QStringLiteral("ButtonHeaderPin"));
    mpPinButton->setFixedSize(kHeaderSize, kHeaderSize);
    mpPinButton->setCheckable(true);
    connect(mpPinButton, &QPushButton::clicked, this, &PinContainerWidget::SlotPinned);
    connect(mpPinButton, &QPushButton::clicked, this, &PinContainerWidget::SignalPin);
    mpPinButton->setChecked(true);

    auto* pHeader = new QHBoxLayout;
    pHeader->setContentsMargins(0, 0, 0, 0);
    pHeader->setSpacing(0);
    pHeader->addWidget(mpFoldButton);
    pHeader->addWidget(pTitle, 1);
    pHeader->addWidget(mpPinButton);

    mpContentLayout = new QVBoxLayout;
    mpContentLayout->setContentsMargins(0, 0, 0, 0);
    mpContentLayout->setSpacing(StyleMetric(6));

    mpOuterLayout = new QVBoxLayout(this);
    mpOuterLayout->setContentsMargins(0, 0, 0, 0);
    mpOuterLayout->setSpacing(StyleMetric(6));
    mpOuterLayout->addLayout(pHeader);
    mpOuterLayout->addLayout(mpContentLayout, 1);
    mpOuterLayout->addStretch();

    installEventFilter(this);
    mCollapseTimer.setSingleShot(true);
    connect(&mCollapseTimer, &QTimer::timeout, this, &PinContainerWidget::SlotPinned);

    SetChildrenClickFocus(this);
}

PinContainerWidget::~PinContainerWidget() = default;

void PinContainerWidget::AddWidget(QWidget* pWidget)
{
    if (pWidget != nullptr)
        mpContentLayout->addWidget(pWidget, 0);
}

void PinContainerWidget::CollapseSideways()
{
    mSideways = true;
    SlotPinned();
}

void PinContainerWidget::CollapseUpwards()
{
    mSideways = false;
    SlotPinned();
}

void PinContainerWidget::ApplyOpenSizes()
{
    const int m = StyleMetric(6);
    mpOuterLayout->setContentsMargins(m, 0, m, 0);
    setMinimumWidth(UnitsWidth(5));
    if (mSideways) {
        setMaximumWidth(UnitsWidth(7));
    } else {
        setMaximumWidth(kUnlimited);
        setMaximumHeight(kUnlimited);
    }
}

void PinContainerWidget::SlotPinned()
{
    const int m = StyleMetric(6);
    if (mpPinButton->isChecked()) {
        ApplyOpenSizes();
    } else if (mSideways) {
        mpOuterLayout->setContentsMargins(m, 0, 0, 0);
        setFixedWidth(m);
    } else {
        mpOuterLayout->setContentsMargins(0, m, 0, 0);
        setFixedHeight(m);
    }
}

bool PinContainerWidget::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched != this)
        return QWidget::eventFilter(pWatched, pEvent);
    if (mpPinButton->isChecked())
        return false;
    switch (pEvent->type()) {
    case QEvent::MouseMove:
    case QEvent::Enter:
        ApplyOpenSizes();
        mCollapseTimer.stop();
        return true;
    case QEvent::Leave:
        mCollapseTimer.start(kCollapseDelayMs);
        return true;
    default:
        return false;
    }
}

} // namespace JoxGui
