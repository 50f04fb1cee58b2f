#pragma once

#include <clientview/IConfigDialog.h>

#include <QStringList>

#include <vector>

class QCheckBox;

namespace JoxWsdd {

// The "IP-Configuration" dialog: one check box per local address; the
// unchecked ones become the muted local addresses, on which discovery stays
// silent.
class WsddIpConfigDialog : public IConfigDialog
{
    Q_OBJECT

public:
    WsddIpConfigDialog(const QStringList& rLocalAddresses, QWidget* pParent = nullptr);

    // Unchecks every box whose text is a muted address.
    void SetConfig(const JoxConfig::ConfigWsddClientPtr& rConfig) override;
    // The configuration whose muted list keeps the loaded mutes of addresses
    // without a box or with an unchecked one, then a new "MACHINE" entry for
    // each other unchecked box.
    JoxConfig::ConfigWsddClientPtr GetConfig() const override;

    const std::vector<QCheckBox*>& GetCheckBoxes() const { return mCheckBoxes; }

private slots:
    void SlotOnSaveClicked();

private:
    std::vector<QCheckBox*> mCheckBoxes;
    JoxConfig::ConfigWsddClientPtr mpConfig;
};

} // namespace JoxWsdd
