#include <clientview/RunConfigDialog.h>

#include <clientview/ConnectionController.h>
#include <clientview/IConfigDialog.h>

#include <joxconfig/ConfigHandlerWsddConfig.h>
#include <joxconfig/ConfigLocations.h>

namespace JoxWsdd {

bool RunConfigDialog(const boost::shared_ptr<IConfigDialog>& rDialog, const QString& rTitle,
                     const QString& rConfigurationName)
{
    if (!rDialog)
        return false;
    rDialog->setWindowTitle(rTitle);
    const QString path = JoxConfig::ConfigFilePath(JoxConfig::ConfigFileWsddClient, JoxConfig::ProductNone);
    JoxConfig::ConfigHandlerWsddConfig handler(path, 1.0, 0);
    rDialog->SetConfig(handler.CreateConfig(rConfigurationName));
    if (rDialog->exec() != QDialog::Accepted)
        return false;
    const JoxConfig::ConfigWsddClientPtr pResult = rDialog->GetConfig();
    if (pResult)
        handler.saveSettings(pResult);
    ConnectionController::Instance()->Refresh();
    return true;
}

} // namespace JoxWsdd
