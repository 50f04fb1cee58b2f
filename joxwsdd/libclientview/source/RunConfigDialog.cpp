#include <clientview/RunConfigDialog.h>

#include <clientview/ConnectionController.h>
#include <clientview/IConfigDialog.h>

#include <joxconfig/ConfigHandlerWsddConfig.h>
#include <joxconfig/ConfigLocations.h>

#include <QDir>
#include <QMessageBox>

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
    for (;;)
    {
        if (rDialog->exec() != QDialog::Accepted)
            return false;
        const JoxConfig::ConfigWsddClientPtr pResult = rDialog->GetConfig();
        if (pResult && handler.saveSettings(pResult))
            break;
        // The dialog keeps the edits: it opens again to save once more or cancel.
        QMessageBox::warning(rDialog->parentWidget(), rTitle,
                             QObject::tr("The settings could not be saved to \"%1\".\n"
                                         "Your changes are kept: save again or cancel.")
                                 .arg(QDir::toNativeSeparators(path)),
                             QMessageBox::Ok);
    }
    ConnectionController::Instance()->Refresh();
    return true;
}

} // namespace JoxWsdd
