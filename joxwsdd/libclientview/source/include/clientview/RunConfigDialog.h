#pragma once

#include <boost/shared_ptr.hpp>

#include <QString>

namespace JoxWsdd {

class IConfigDialog;

// Loads the discovery filter file under the configuration name into the
// dialog and runs it modally. Accepted, the dialog's configuration is saved
// and discovery starts over (ConnectionController::Refresh); true then.
// Rejected, nothing is saved or refreshed. A save that fails is shown in a
// warning box and the dialog, edits and all, runs again.
bool RunConfigDialog(const boost::shared_ptr<IConfigDialog>& rDialog, const QString& rTitle,
                     const QString& rConfigurationName);

} // namespace JoxWsdd
