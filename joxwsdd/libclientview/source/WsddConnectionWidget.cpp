#include <clientview/WsddConnectionWidget.h>

#include <clientview/ConnectionController.h>
#include <clientview/ConnectionModel.h>
#include <clientview/RunConfigDialog.h>
#include <clientview/WsddChannelConfigDialog.h>
#include <clientview/WsddConnectionProxyModel.h>
#include <clientview/WsddConnectionView.h>
#include <clientview/WsddIpConfigDialog.h>
#include <clientview/WsddSystemConfigDialog.h>

#include <joxgui/WidgetHelpers.h>
#include <joxlog/JoxLog.h>
#include <styles/StyleMetrics.h>

#include <boost/make_shared.hpp>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace JoxWsdd {

namespace {

const char* const cMos = "MOS";

// Keeps the wait cursor up for its lifetime, also through an exception.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QWidget* RowWidget(QWidget* pParent, std::initializer_list<QWidget*> widgets)
{
    auto* pRow = new QWidget(pParent);
    auto* pLayout = new QHBoxLayout(pRow);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(StyleMetric(4));
    for (QWidget* pWidget : widgets)
        pLayout->addWidget(pWidget);
    return pRow;
}

bool InGroup(const WebServiceInfo& rEntry)
{
    return rEntry.GetGroupInformation().GetGroupType() != 0;
}

} // namespace

WsddConnectionWidget::WsddConnectionWidget(const QStringList& rLocalAddresses, const QString& rTitle,
                                           QWidget* pParent, const QString& rEntryType,
                                           const QString& rConfigurationName)
    : JoxGui::PinContainerWidget(rTitle, pParent),
      mpModel(nullptr),
      mpProxy(nullptr),
      mpView(nullptr),
      mpMessageLabel(nullptr),
      mLocalAddresses(rLocalAddresses),
      mEntryType(rEntryType),
      mConfigurationName(rConfigurationName)
{
    mpRefreshButton = new QPushButton(this);
    mpRefreshButton->setFixedSize(StyleMetric(2), StyleMetric(3));
    mpRefreshButton->setObjectName(QStringLiteral("ButtonRefresh"));
    connect(mpRefreshButton, &QPushButton::clicked, this, &WsddConnectionWidget::SlotRefreshClicked);

    mpSortBox = new QComboBox(this);
    mpSortBox->setFixedHeight(StyleMetric(3));
    mpSortBox->addItem(QStringLiteral("Sort by Url"), WsddConnectionProxyModel::SortByUrl);
    mpSortBox->addItem(QStringLiteral("Sort by Name"), WsddConnectionProxyModel::SortByName);
    connect(mpSortBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &WsddConnectionWidget::SlotFilterChanged);
    QWidget* pSortRow = RowWidget(this, {mpSortBox, mpRefreshButton});

    mpDescending = new QCheckBox(QStringLiteral("Descending"), this);
    mpShowAll = new QCheckBox(QStringLiteral("Show all"), this);
    mpGrouping = new QCheckBox(QStringLiteral("Grouping"), this);
    mpDetails = new QCheckBox(QStringLiteral("Details"), this);
    for (QCheckBox* pBox : {mpDescending, mpShowAll, mpGrouping, mpDetails})
        connect(pBox, &QCheckBox::stateChanged, this, &WsddConnectionWidget::SlotFilterChanged);
    mpShowAll->hide();

    mpFilterButton = new QPushButton(QStringLiteral("Filter"), this);
    mpFilterButton->setFixedHeight(StyleMetric(3));
    connect(mpFilterButton, &QPushButton::clicked, this, &WsddConnectionWidget::ShowFilterConfigDialog);
    mpConfigurationButton = new QPushButton(QStringLiteral("Configuration"), this);
    mpConfigurationButton->setFixedHeight(StyleMetric(3));
    connect(mpConfigurationButton, &QPushButton::clicked, this, &WsddConnectionWidget::ShowIpConfigDialog);
    QWidget* pButtonRow = RowWidget(this, {mpFilterButton, mpConfigurationButton});

    mpOptionsArea = new QWidget(this);
    auto* pGrid = new QGridLayout(mpOptionsArea);
    pGrid->setContentsMargins(0, 0, 0, 0);
    pGrid->setSpacing(StyleMetric(4));
    pGrid->addWidget(pSortRow, 0, 0, 1, 2);
    pGrid->addWidget(mpDescending, 1, 0);
    pGrid->addWidget(mpShowAll, 1, 1);
    pGrid->addWidget(mpDetails, 2, 0);
    pGrid->addWidget(mpGrouping, 2, 1);
    pGrid->addWidget(pButtonRow, 3, 0, 1, 2);
    AddWidget(mpOptionsArea);
    mpOptionsArea->hide();

    connect(this, &PinContainerWidget::SignalFold, this, &WsddConnectionWidget::SlotFoldClicked);

    mpView = new WsddConnectionView(this);
    AddWidget(mpView);

    mpMessageLabel = new QLabel(this);
    mpMessageLabel->setFixedWidth(UnitsWidth(14) + 2 * StyleMetric(7));
    mpMessageLabel->setObjectName(QStringLiteral("LabelMessage"));
    mpMessageLabel->hide();
    mpMessageLabel->setWordWrap(true);
    AddWidget(mpMessageLabel);

    connect(mpView, &WsddConnectionView::SignalStartConnectionDrag, this,
            &WsddConnectionWidget::SignalStartConnectionDrag);
    connect(mpView, &WsddConnectionView::SignalEndConnectionDrag, this,
            &WsddConnectionWidget::SignalEndConnectionDrag);
    connect(mpView, &WsddConnectionView::SignalSelectionChanged, this,
            &WsddConnectionWidget::SignalSelectionChanged);
    connect(mpView, &WsddConnectionView::SignalSelectionLeft, this, &WsddConnectionWidget::SignalSelectionLeft);

    JoxGui::SetChildrenClickFocus(this);
}

WsddConnectionWidget::~WsddConnectionWidget() = default;

void WsddConnectionWidget::SetModel(ConnectionModel* pModel, int selectionMode, bool clearOnEmptyClick)
{
    if (mpView == nullptr || pModel == nullptr)
        return;
    mpModel = pModel;
    mpProxy = new WsddConnectionProxyModel(this);
    mpProxy->setSourceModel(pModel);
    mpView->setModel(mpProxy);
    mpView->SetUp(static_cast<QAbstractItemView::SelectionMode>(selectionMode), clearOnEmptyClick);

    JoxGui::SetCheckedSilently(mpGrouping, pModel->GetGrouping());
    mpProxy->SetFilter(WsddConnectionProxyModel::SortByUrl, false, false, pModel->GetGrouping());
    {
        const QSignalBlocker blocker(mpSortBox);
        mpSortBox->setCurrentIndex(mpSortBox->findData(WsddConnectionProxyModel::SortByUrl));
    }
    SlotFilterChanged();

    connect(pModel, &QAbstractItemModel::dataChanged, mpView, &QAbstractItemView::clearSelection);
    connect(pModel, &ConnectionModel::SignalServiceChanged, this, &WsddConnectionWidget::SlotServiceChanged);
    connect(pModel, &ConnectionModel::SignalServiceAdded, this, &WsddConnectionWidget::SlotServiceAdded);
    connect(pModel, &ConnectionModel::SignalServiceRemoved, this, &WsddConnectionWidget::SlotServiceRemoved);
    connect(pModel, &ConnectionModel::SignalError, this, &WsddConnectionWidget::SlotError);

    connect(ConnectionController::Instance(), &ConnectionController::SignalRefreshStarted, this,
            &WsddConnectionWidget::SlotRefreshStarted, Qt::UniqueConnection);

    ConnectionController::Instance()->Refresh();
}

void WsddConnectionWidget::SlotFilterChanged()
{
    if (mpView == nullptr || mpProxy == nullptr || mpSortBox == nullptr || mpDescending == nullptr ||
        mpShowAll == nullptr || mpGrouping == nullptr || mpDetails == nullptr)
        return;
    mpView->SetDetails(mpDetails->isChecked());
    mpProxy->SetFilter(mpSortBox->currentData(Qt::UserRole).toInt(), mpDescending->isChecked(),
                       mpShowAll->isChecked(), mpGrouping->isChecked());
    if (mpModel != nullptr)
    {
        mpModel->SetGrouping(mpGrouping->isChecked());
        mpModel->Regroup();
    }
}

void WsddConnectionWidget::SlotFoldClicked(bool unfolded)
{
    mpOptionsArea->setVisible(unfolded);
}

void WsddConnectionWidget::SlotRefreshClicked()
{
    const WaitCursor cursor;
    ConnectionController::Instance()->Refresh();
}

void WsddConnectionWidget::ShowFilterConfigDialog()
{
    boost::shared_ptr<IConfigDialog> pDialog;
    if (mEntryType == QLatin1String("CHANNEL"))
        pDialog = boost::make_shared<WsddChannelConfigDialog>(window());
    else if (mEntryType == QLatin1String("MACHINE"))
        pDialog = boost::make_shared<WsddSystemConfigDialog>(window());
    if (pDialog)
        RunConfigDialog(pDialog, QStringLiteral("Filter"), mConfigurationName);
}

void WsddConnectionWidget::ShowIpConfigDialog()
{
    const auto pDialog = boost::make_shared<WsddIpConfigDialog>(mLocalAddresses, window());
    RunConfigDialog(pDialog, QStringLiteral("IP-Configuration"), mConfigurationName);
}

void WsddConnectionWidget::SlotServiceAdded(WebServiceInfo entry)
{
    emit SignalServiceAdded(entry);
}

void WsddConnectionWidget::SlotServiceRemoved(WebServiceInfo entry)
{
    emit SignalServiceRemoved(entry);
}

void WsddConnectionWidget::SlotServiceChanged(WebServiceInfo previous, WebServiceInfo current)
{
    if (previous.GetServiceName() != cMos || current.GetServiceName() != cMos)
        return;
    if (previous.GetStatus() == JoxTypesMaster::eStatusActive && current.GetStatus() == JoxTypesMaster::eStatusFree)
    {
        emit SignalMosStopped(current.GetUrl());
    }
    else if (InGroup(previous) && !InGroup(current))
    {
        emit SignalGroupDissolved(current.GetUrl());
    }
    else if (!InGroup(previous) && InGroup(current))
    {
        emit SignalServiceGrouped(current.GetUrl());
    }
    else if (previous.GetGroupInformation().GetMembers().size() != current.GetGroupInformation().GetMembers().size())
    {
        QStringList members;
        for (const JoxCore::ChannelStateGroupMember& rMember : current.GetGroupInformation().GetMembers())
            members.append(rMember.mAddress.toString());
        emit SignalGroupCompositionChanged(members);
    }
}

void WsddConnectionWidget::SlotError(QString text)
{
    const QString message = QStringLiteral("Error in WSDD Backend '%1'.").arg(text);
    JoxCore::Log(1, 0, "WSDD ConnectionWidget", message.toUtf8().constData(), __FILE__, __LINE__, __func__);
    mpMessageLabel->setText(text);
    mpMessageLabel->show();
    SetListEnabled(false);
}

void WsddConnectionWidget::SlotRefreshStarted()
{
    mpMessageLabel->hide();
    mpMessageLabel->clear();
    SetListEnabled(true);
}

void WsddConnectionWidget::SetListEnabled(bool enabled)
{
    // The header, refresh and the dialogs stay usable: they are the way out.
    for (QWidget* pWidget : std::initializer_list<QWidget*>{mpView, mpSortBox, mpDescending, mpShowAll, mpGrouping,
                                                            mpDetails})
        pWidget->setEnabled(enabled);
}

} // namespace JoxWsdd
