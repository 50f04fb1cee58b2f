#pragma once

#include <clientview/WsddConfigDialogBase.h>

namespace JoxWsdd {

// The filter dialog for channel entries ("CHANNEL"): IP address and channel
// number 1 to 16, stored as port 8010 + channel.
class WsddChannelConfigDialog : public WsddConfigDialogBase
{
    Q_OBJECT

public:
    explicit WsddChannelConfigDialog(QWidget* pParent = nullptr);

    // Rows with IP and channel become "CHANNEL" entries with port 8010 + channel.
    JoxConfig::ConfigWsddClientPtr GetConfig() const override;

protected:
    void AcceptIfValid() override;
    // "address:port" with a port of channel 1 to 16 and a four-part address.
    bool ValidateEntry(const QString& rText, QString& rError) override;
    void AddEntryRow(QTableWidget* pTable, const JoxConfig::ConfigWsddClientEntryPtr& rEntry) override;
};

} // namespace JoxWsdd
