#include <clientview/WsddChannelConfigDialog.h>

#include <boost/make_shared.hpp>

#include <QHeaderView>
#include <QTableWidget>

#include <limits>

namespace JoxWsdd {

namespace {

const qint64 cPortOffset = 8010;
const qint64 cFirstPort = 8011;
const qint64 cLastPort = 8026;
const int cChannelColumnWidth = 100;
const char* const cChannelType = "CHANNEL";

} // namespace

WsddChannelConfigDialog::WsddChannelConfigDialog(QWidget* pParent)
    : WsddConfigDialogBase({QStringLiteral("IP address"), QStringLiteral("Channel #")}, pParent)
{
    for (QTableWidget* pTable : {mpStaticTable, mpBlacklistTable, mpWhitelistTable})
    {
        pTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Interactive);
        pTable->setColumnWidth(1, cChannelColumnWidth);
    }
}

void WsddChannelConfigDialog::AddEntryRow(QTableWidget* pTable, const JoxConfig::ConfigWsddClientEntryPtr& rEntry)
{
    if (pTable == nullptr || !rEntry)
        return;
    if (rEntry->GetType() != QLatin1String("ALL") && rEntry->GetType() != QLatin1String(cChannelType))
        return;
    const int row = pTable->rowCount();
    pTable->insertRow(row);
    pTable->setItem(row, 0, new QTableWidgetItem(rEntry->GetIp()));
    pTable->setItem(row, 1, new QTableWidgetItem(QString::number(rEntry->GetPort() - cPortOffset)));
}

bool WsddChannelConfigDialog::ValidateEntry(const QString& rText, QString& rError)
{
    const QStringList parts = rText.split(QLatin1Char(':'), Qt::KeepEmptyParts);
    if (parts.size() != 2)
    {
        rError = AddressMessage(rText);
        return false;
    }
    bool isNumber = false;
    const qint64 port = parts[1].toLongLong(&isNumber, 10);
    if (!isNumber)
    {
        rError = PortMessage(parts[1]);
        return false;
    }
    if (port < cFirstPort || port > cLastPort)
    {
        rError = RangeMessage(port - cPortOffset);
        return false;
    }
    const QString& rIp = parts[0];
    if (rIp == QLatin1String("0.0.0.0") || rIp.split(QLatin1Char('.')).size() != 4)
    {
        rError = AddressMessage(rIp);
        return false;
    }
    return true;
}

void WsddChannelConfigDialog::AcceptIfValid()
{
    for (QTableWidget* pTable : {mpBlacklistTable, mpWhitelistTable, mpStaticTable})
    {
        for (int row = 0; row < pTable->rowCount(); ++row)
        {
            const QTableWidgetItem* pIp = pTable->item(row, 0);
            const QTableWidgetItem* pChannel = pTable->item(row, 1);
            if (pIp == nullptr || pChannel == nullptr)
                continue;
            bool isNumber = false;
            const qint64 channel = pChannel->text().toLongLong(&isNumber, 10);
            if (!isNumber)
            {
                ShowWarning(ChannelTextMessage(pChannel->text()));
                return;
            }
            // The port must not overflow when the offset is added.
            if (channel > std::numeric_limits<qint64>::max() - cPortOffset)
            {
                ShowWarning(RangeMessage(channel));
                return;
            }
            QString error;
            if (!ValidateAddress(pIp->text() + QLatin1Char(':') + QString::number(channel + cPortOffset), error))
            {
                ShowWarning(error);
                return;
            }
        }
    }
    accept();
}

JoxConfig::ConfigWsddClientPtr WsddChannelConfigDialog::GetConfig() const
{
    return ConfigFromTables([](const QTableWidget* pTable, int row,
                               const JoxConfig::ConfigWsddClientEntryPtr& rLoaded) -> JoxConfig::ConfigWsddClientEntryPtr {
        const QTableWidgetItem* pIp = pTable->item(row, 0);
        const QTableWidgetItem* pChannel = pTable->item(row, 1);
        if (pIp == nullptr || pChannel == nullptr)
            return {};
        const qint64 port = pChannel->text().toLongLong(nullptr, 10) + cPortOffset;
        if (rLoaded && rLoaded->GetIp() == pIp->text() && rLoaded->GetPort() == port)
            return rLoaded;
        const QString address = QStringLiteral("%1:%2").arg(pIp->text()).arg(port);
        if (!rLoaded)
            return boost::make_shared<JoxConfig::ConfigWsddClientEntry>(address, QLatin1String(cChannelType),
                                                                       QString());
        return boost::make_shared<JoxConfig::ConfigWsddClientEntry>(address, rLoaded->GetType(),
                                                                   rLoaded->GetQuorelIp());
    });
}

} // namespace JoxWsdd
