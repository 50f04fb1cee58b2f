#include <clientview/WsddSystemConfigDialog.h>

#include <boost/make_shared.hpp>

#include <QTableWidget>

namespace JoxWsdd {

namespace {

const char* const cMachineType = "MACHINE";

} // namespace

WsddSystemConfigDialog::WsddSystemConfigDialog(QWidget* pParent)
    : WsddConfigDialogBase({QStringLiteral("IP address")}, pParent)
{
}

void WsddSystemConfigDialog::AddEntryRow(QTableWidget* pTable, const JoxConfig::ConfigWsddClientEntryPtr& rEntry)
{
    if (pTable == nullptr || !rEntry)
        return;
    if (rEntry->GetType() != QLatin1String("ALL") && rEntry->GetType() != QLatin1String(cMachineType))
        return;
    const int row = pTable->rowCount();
    pTable->insertRow(row);
    pTable->setItem(row, 0, new QTableWidgetItem(rEntry->GetIp()));
}

bool WsddSystemConfigDialog::ValidateEntry(const QString& rText, QString& rError)
{
    if (rText != QLatin1String("0.0.0.0") && rText.split(QLatin1Char('.')).size() == 4 &&
        !rText.contains(QLatin1Char(':')))
        return true;
    rError = AddressMessage(rText);
    return false;
}

void WsddSystemConfigDialog::AcceptIfValid()
{
    for (QTableWidget* pTable : {mpBlacklistTable, mpWhitelistTable, mpStaticTable})
    {
        for (int row = 0; row < pTable->rowCount(); ++row)
        {
            const QTableWidgetItem* pIp = pTable->item(row, 0);
            if (pIp == nullptr)
                continue;
            QString error;
            if (!ValidateAddress(pIp->text(), error))
            {
                ShowWarning(error);
                return;
            }
        }
    }
    accept();
}

JoxConfig::ConfigWsddClientPtr WsddSystemConfigDialog::GetConfig() const
{
    return ConfigFromTables([](const QTableWidget* pTable, int row,
                               const JoxConfig::ConfigWsddClientEntryPtr& rLoaded) -> JoxConfig::ConfigWsddClientEntryPtr {
        const QTableWidgetItem* pIp = pTable->item(row, 0);
        if (pIp == nullptr)
            return {};
        if (rLoaded && rLoaded->GetIp() == pIp->text())
            return rLoaded;
        if (!rLoaded)
            return boost::make_shared<JoxConfig::ConfigWsddClientEntry>(pIp->text(), QLatin1String(cMachineType),
                                                                       QString());
        return boost::make_shared<JoxConfig::ConfigWsddClientEntry>(pIp->text(), rLoaded->GetType(),
                                                                   rLoaded->GetQuorelIp());
    });
}

} // namespace JoxWsdd
