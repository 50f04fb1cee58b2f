#pragma once

#include <joxconfig/ConfigWsddClient.h>

#include <QDialog>

namespace JoxWsdd {

// A dialog that edits a copy of the discovery filter configuration.
class IConfigDialog : public QDialog
{
public:
    using QDialog::QDialog;

    // Shows the configuration; null changes nothing.
    virtual void SetConfig(const JoxConfig::ConfigWsddClientPtr& rConfig) = 0;
    // A new configuration: the one given, with the dialog's edits.
    virtual JoxConfig::ConfigWsddClientPtr GetConfig() const = 0;
};

} // namespace JoxWsdd
