#include <clientview/WsddConfigDialogBase.h>

#include <joxconfig/ConfigWsddClient.h>

#include <joxgui/StylableTabWidget.h>
#include <styles/StyleMetrics.h>

#include <boost/make_shared.hpp>

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMap>
#include <QMessageBox>
#include <QPushButton>
#include <QRegExp>
#include <QTableWidget>
#include <QVBoxLayout>

namespace JoxWsdd {

namespace {

const char* const cQuote = "\"";
// Item data of a row's first cell: the index of the loaded entry it shows.
const int cLoadedIndexRole = Qt::UserRole + 1;

QTableWidget* CreateTable(const QStringList& rHeaders, QWidget* pParent)
{
    auto* pTable = new QTableWidget(0, rHeaders.size(), pParent);
    pTable->setHorizontalHeaderLabels(rHeaders);
    pTable->verticalHeader()->hide();
    pTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    return pTable;
}

} // namespace

WsddConfigDialogBase::WsddConfigDialogBase(const QStringList& rHeaders, QWidget* pParent)
    : IConfigDialog(pParent),
      mpBlacklistTable(CreateTable(rHeaders, this)),
      mpWhitelistTable(CreateTable(rHeaders, this)),
      mpStaticTable(CreateTable(rHeaders, this))
{
    setObjectName(QStringLiteral("DarkDialog"));

    auto* pOk = new QPushButton(tr("OK"), this);
    pOk->setFixedSize(UnitsWidth(3), StyleMetric(3));
    pOk->setDefault(true);
    pOk->setAutoDefault(true);
    connect(pOk, &QPushButton::clicked, this, &WsddConfigDialogBase::SlotAccept);
    auto* pCancel = new QPushButton(tr("Cancel"), this);
    pCancel->setDefault(false);
    pCancel->setAutoDefault(false);
    connect(pCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch();
    pButtons->addWidget(pCancel);
    pButtons->addWidget(pOk);

    auto* pLine = new QFrame(this);
    pLine->setFixedHeight(2);
    pLine->setObjectName(QStringLiteral("HorizontalLine"));

    auto* pTabs = new JoxGui::StylableTabWidget(this);
    pTabs->SetTabWidth(UnitsWidth(2));
    struct Page
    {
        const char* mTitle;
        QTableWidget* mpTable;
        void (WsddConfigDialogBase::*mAdd)();
        void (WsddConfigDialogBase::*mDelete)();
    };
    const Page pages[] = {
        {"Static", mpStaticTable, &WsddConfigDialogBase::SlotAddStatic, &WsddConfigDialogBase::SlotDelStatic},
        {"Blacklist", mpBlacklistTable, &WsddConfigDialogBase::SlotAddBlacklist,
         &WsddConfigDialogBase::SlotDelBlacklist},
        {"Whitelist", mpWhitelistTable, &WsddConfigDialogBase::SlotAddWhitelist,
         &WsddConfigDialogBase::SlotDelWhitelist}};
    for (const Page& rPage : pages)
    {
        auto* pPage = new QWidget(pTabs);
        auto* pPageLayout = new QVBoxLayout(pPage);
        pPageLayout->addWidget(rPage.mpTable);
        auto* pAdd = new QPushButton(tr("Add IP"), pPage);
        auto* pRemove = new QPushButton(tr("Remove"), pPage);
        connect(pAdd, &QPushButton::clicked, this, rPage.mAdd);
        connect(pRemove, &QPushButton::clicked, this, rPage.mDelete);
        auto* pRow = new QHBoxLayout;
        pRow->addWidget(pAdd);
        pRow->addWidget(pRemove);
        pPageLayout->addLayout(pRow);
        pTabs->addTab(pPage, QString::fromLatin1(rPage.mTitle));
    }

    auto* pLayout = new QVBoxLayout(this);
    const int margin = StyleMetric(7);
    pLayout->setContentsMargins(margin, margin, margin, margin);
    pLayout->setSpacing(StyleMetric(6));
    pLayout->addWidget(pTabs);
    pLayout->addWidget(pLine);
    pLayout->addLayout(pButtons);
    pLayout->setSizeConstraint(QLayout::SetFixedSize);
}

void WsddConfigDialogBase::SetConfig(const JoxConfig::ConfigWsddClientPtr& rConfig)
{
    if (!rConfig)
        return;
    mpConfig = rConfig;
    const JoxConfig::ConfigWsddClientEntryList lists[] = {rConfig->GetBlacklist(), rConfig->GetWhitelist(),
                                                          rConfig->GetStaticEntries()};
    QTableWidget* const tables[] = {mpBlacklistTable, mpWhitelistTable, mpStaticTable};
    QList<LoadedEntry>* const loaded[] = {&mLoadedBlacklist, &mLoadedWhitelist, &mLoadedStatic};
    for (int list = 0; list < 3; ++list)
    {
        for (const JoxConfig::ConfigWsddClientEntryPtr& rEntry : lists[list].GetEntries())
        {
            const int rows = tables[list]->rowCount();
            AddEntryRow(tables[list], rEntry);
            const bool shown = tables[list]->rowCount() > rows && tables[list]->item(rows, 0) != nullptr;
            if (shown)
                tables[list]->item(rows, 0)->setData(cLoadedIndexRole, loaded[list]->size());
            loaded[list]->append({rEntry, shown});
        }
    }
}

const QList<WsddConfigDialogBase::LoadedEntry>& WsddConfigDialogBase::LoadedOf(const QTableWidget* pTable) const
{
    if (pTable == mpBlacklistTable)
        return mLoadedBlacklist;
    if (pTable == mpWhitelistTable)
        return mLoadedWhitelist;
    return mLoadedStatic;
}

QString WsddConfigDialogBase::AddressMessage(const QString& rAddress)
{
    return QLatin1String(cQuote) + rAddress + QLatin1String(cQuote) + QStringLiteral(" is not a valid IPv4 address.");
}

QString WsddConfigDialogBase::PortMessage(const QString& rPort)
{
    return QLatin1String(cQuote) + rPort + QLatin1String(cQuote) + QStringLiteral(" is not a valid port.");
}

QString WsddConfigDialogBase::RangeMessage(qint64 channel)
{
    return QStringLiteral("Channel number ") + QLatin1String(cQuote) + QString::number(channel) +
           QLatin1String(cQuote) + QStringLiteral(" is out of range.");
}

QString WsddConfigDialogBase::ChannelTextMessage(const QString& rChannel)
{
    return rChannel + QStringLiteral(" is not a valid port.");
}

bool WsddConfigDialogBase::ValidateAddress(const QString& rText, QString& rError)
{
    const QRegExp pattern(QStringLiteral("(\\d{1,3}\\.){3}\\d{1,3}(:\\d{1,})?"), Qt::CaseSensitive);
    if (!pattern.exactMatch(rText))
    {
        rError = AddressMessage(rText);
        return false;
    }
    const QString address = QRegExp(QStringLiteral(":\\d{1,}")).replaceIn(rText, QString());
    for (const QString& rPart : address.split(QLatin1Char('.')))
    {
        // Digits of other scripts match the pattern but are no number here.
        bool isNumber = false;
        const int value = rPart.toInt(&isNumber, 10);
        if (!isNumber || value >= 256)
        {
            rError = AddressMessage(address);
            return false;
        }
    }
    return ValidateEntry(rText, rError);
}

void WsddConfigDialogBase::ShowWarning(const QString& rText)
{
    QMessageBox::warning(this, QString(), rText, QMessageBox::Ok);
}

void WsddConfigDialogBase::RemoveCurrentRow(QTableWidget* pTable)
{
    if (pTable == nullptr)
        return;
    const int row = pTable->currentRow();
    if (row < 0 || row >= pTable->rowCount())
        return;
    QList<QTableWidgetItem*> items;
    for (int column = 0; column < pTable->columnCount(); ++column)
        items.append(pTable->takeItem(row, column));
    pTable->removeRow(row);
    qDeleteAll(items);
}

void WsddConfigDialogBase::AddNewRow(QTableWidget* pTable)
{
    AddEntryRow(pTable,
                boost::make_shared<JoxConfig::ConfigWsddClientEntry>(QStringLiteral("0.0.0.0:8011"),
                                                                     QStringLiteral("ALL"), QString()));
}

void WsddConfigDialogBase::SlotAddStatic()
{
    AddNewRow(mpStaticTable);
}

void WsddConfigDialogBase::SlotDelStatic()
{
    RemoveCurrentRow(mpStaticTable);
}

void WsddConfigDialogBase::SlotAddBlacklist()
{
    AddNewRow(mpBlacklistTable);
}

void WsddConfigDialogBase::SlotDelBlacklist()
{
    RemoveCurrentRow(mpBlacklistTable);
}

void WsddConfigDialogBase::SlotAddWhitelist()
{
    AddNewRow(mpWhitelistTable);
}

void WsddConfigDialogBase::SlotDelWhitelist()
{
    RemoveCurrentRow(mpWhitelistTable);
}

void WsddConfigDialogBase::SlotAccept()
{
    AcceptIfValid();
}

JoxConfig::ConfigWsddClientPtr WsddConfigDialogBase::ConfigFromTables(const RowEntryFunction& rRowEntry) const
{
    const auto pResult = mpConfig ? boost::make_shared<JoxConfig::ConfigWsddClient>(*mpConfig)
                                  : boost::make_shared<JoxConfig::ConfigWsddClient>();
    pResult->ClearBlacklist();
    pResult->ClearWhitelist();
    pResult->ClearStaticEntries();
    struct Target
    {
        QTableWidget* mpTable;
        void (JoxConfig::ConfigWsddClient::*mAdd)(const JoxConfig::ConfigWsddClientEntryPtr&);
    };
    const Target targets[] = {{mpBlacklistTable, &JoxConfig::ConfigWsddClient::AddBlacklistEntry},
                              {mpWhitelistTable, &JoxConfig::ConfigWsddClient::AddWhitelistEntry},
                              {mpStaticTable, &JoxConfig::ConfigWsddClient::AddStaticEntry}};
    for (const Target& rTarget : targets)
    {
        const auto add = [&](const JoxConfig::ConfigWsddClientEntryPtr& rEntry) {
            if (rEntry)
                ((*pResult).*rTarget.mAdd)(rEntry);
        };
        const QList<LoadedEntry>& rLoaded = LoadedOf(rTarget.mpTable);
        // Loaded entries by index -> their row; rows are only appended or
        // removed, so the loaded rows keep their order.
        QMap<int, int> loadedRows;
        QList<int> addedRows;
        for (int row = 0; row < rTarget.mpTable->rowCount(); ++row)
        {
            const QTableWidgetItem* pFirst = rTarget.mpTable->item(row, 0);
            bool isLoaded = false;
            const int index = pFirst != nullptr ? pFirst->data(cLoadedIndexRole).toInt(&isLoaded) : 0;
            if (isLoaded && index >= 0 && index < rLoaded.size())
                loadedRows.insert(index, row);
            else
                addedRows.append(row);
        }
        for (int index = 0; index < rLoaded.size(); ++index)
        {
            if (!rLoaded[index].mShown)
                add(rLoaded[index].mpEntry);
            else if (loadedRows.contains(index))
                add(rRowEntry(rTarget.mpTable, loadedRows.value(index), rLoaded[index].mpEntry));
        }
        for (const int row : addedRows)
            add(rRowEntry(rTarget.mpTable, row, JoxConfig::ConfigWsddClientEntryPtr()));
    }
    return pResult;
}

} // namespace JoxWsdd
