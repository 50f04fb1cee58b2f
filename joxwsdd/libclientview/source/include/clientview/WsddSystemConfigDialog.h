#pragma once

#include <clientview/WsddConfigDialogBase.h>

namespace JoxWsdd {

// The filter dialog for machine entries ("MACHINE"): an IP address each.
class WsddSystemConfigDialog : public WsddConfigDialogBase
{
    Q_OBJECT

public:
    explicit WsddSystemConfigDialog(QWidget* pParent = nullptr);

    // Rows with an address become "MACHINE" entries.
    JoxConfig::ConfigWsddClientPtr GetConfig() const override;

protected:
    void AcceptIfValid() override;
    // A four-part address other than 0.0.0.0, without a port.
    bool ValidateEntry(const QString& rText, QString& rError) override;
    void AddEntryRow(QTableWidget* pTable, const JoxConfig::ConfigWsddClientEntryPtr& rEntry) override;
};

} // namespace JoxWsdd
