// The filter and address dialogs: rows from and to the configuration, the
// validation messages and their order, and the runner that saves and
// refreshes only on acceptance.

#include "ModalDriver.h"

#include <clientview/ClientWebServiceRepository.h>
#include <clientview/ConnectionController.h>
#include <clientview/ConnectionModel.h>
#include <clientview/RunConfigDialog.h>
#include <clientview/WsddChannelConfigDialog.h>
#include <clientview/WsddIpConfigDialog.h>
#include <clientview/WsddSystemConfigDialog.h>

#include <joxwsdd/WSDDClient.h>

#include <joxconfig/ConfigHandlerWsddConfig.h>
#include <joxconfig/ConfigLocations.h>

#include "ScopedEnv.h"
#include "TempDir.h"

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>

using JoxConfig::ConfigWsddClient;
using JoxConfig::ConfigWsddClientEntry;
using JoxConfig::ConfigWsddClientEntryPtr;
using JoxConfig::ConfigWsddClientPtr;

namespace {

ConfigWsddClientEntryPtr Entry(const QString& rIp, int port, const char* pType)
{
    return boost::make_shared<ConfigWsddClientEntry>(rIp, port, QString::fromLatin1(pType), QString());
}

void SetRow(QTableWidget* pTable, const QStringList& rTexts)
{
    const int row = pTable->rowCount();
    pTable->insertRow(row);
    for (int column = 0; column < rTexts.size(); ++column)
        pTable->setItem(row, column, new QTableWidgetItem(rTexts[column]));
}

QPushButton* Button(QWidget* pParent, const QString& rText)
{
    for (QPushButton* pButton : pParent->findChildren<QPushButton*>())
        if (pButton->text() == rText && pButton->isVisibleTo(pParent))
            return pButton;
    for (QPushButton* pButton : pParent->findChildren<QPushButton*>())
        if (pButton->text() == rText)
            return pButton;
    return nullptr;
}

// Presses OK and returns the text of the warning box that came up (empty
// when none did); the dialog's result tells whether it accepted.
QString PressOk(JoxWsdd::WsddConfigDialogBase& rDialog)
{
    QString warning;
    joxguitest::ModalDriver driver([&warning](QDialog* pBox) {
        if (auto* pMessage = qobject_cast<QMessageBox*>(pBox))
            warning = pMessage->text();
        pBox->reject();
    });
    rDialog.setResult(QDialog::Rejected);
    Button(&rDialog, QStringLiteral("OK"))->click();
    return warning;
}

QString FilterFilePath()
{
    return JoxConfig::ConfigFilePath(JoxConfig::ConfigFileWsddClient, JoxConfig::ProductNone);
}

} // namespace

TEST(FilterDialogTest, ChannelRowsComeFromAndGoToChannelEntries)
{
    JoxWsdd::WsddChannelConfigDialog dialog;
    EXPECT_EQ(dialog.objectName(), QStringLiteral("DarkDialog"));
    const auto pConfig = boost::make_shared<ConfigWsddClient>(QStringLiteral("Tandril"));
    pConfig->AddStaticEntry(Entry(QStringLiteral("10.0.0.9"), 8026, "CHANNEL"));
    pConfig->AddStaticEntry(Entry(QStringLiteral("10.0.0.8"), -1, "MACHINE"));
    pConfig->AddBlacklistEntry(Entry(QStringLiteral("10.0.0.4"), 8011, "CHANNEL"));
    pConfig->AddMutedLocalIp(Entry(QStringLiteral("192.168.0.1"), 0, "MACHINE"));
    dialog.SetConfig(pConfig);
    dialog.SetConfig(ConfigWsddClientPtr());

    QTableWidget* pStatic = dialog.GetStaticTable();
    ASSERT_EQ(pStatic->rowCount(), 1);
    EXPECT_EQ(pStatic->item(0, 0)->text(), QStringLiteral("10.0.0.9"));
    EXPECT_EQ(pStatic->item(0, 1)->text(), QStringLiteral("16"));
    EXPECT_TRUE(pStatic->item(0, 1)->flags().testFlag(Qt::ItemIsEditable));
    EXPECT_EQ(pStatic->horizontalHeaderItem(1)->text(), QStringLiteral("Channel #"));
    EXPECT_EQ(dialog.GetBlacklistTable()->rowCount(), 1);
    EXPECT_EQ(dialog.GetWhitelistTable()->rowCount(), 0);

    // A fresh row is 0.0.0.0 on channel 1; edited, it is saved as port 8013.
    Button(&dialog, QStringLiteral("Add IP"))->click();
    ASSERT_EQ(pStatic->rowCount(), 2);
    EXPECT_EQ(pStatic->item(1, 0)->text(), QStringLiteral("0.0.0.0"));
    EXPECT_EQ(pStatic->item(1, 1)->text(), QStringLiteral("1"));
    pStatic->item(1, 0)->setText(QStringLiteral("10.0.0.5"));
    pStatic->item(1, 1)->setText(QStringLiteral("3"));

    const ConfigWsddClientPtr pResult = dialog.GetConfig();
    const QList<ConfigWsddClientEntryPtr> statics = pResult->GetStaticEntries().GetEntries();
    ASSERT_EQ(statics.size(), 3);
    EXPECT_EQ(statics[2]->GetIp(), QStringLiteral("10.0.0.5"));
    EXPECT_EQ(statics[2]->GetPort(), 8013);
    EXPECT_EQ(statics[2]->GetType(), QStringLiteral("CHANNEL"));
    EXPECT_EQ(statics[0]->GetPort(), 8026);
    EXPECT_EQ(statics[1]->GetIp(), QStringLiteral("10.0.0.8")); // not shown, kept
    EXPECT_EQ(pResult->GetBlacklist().GetEntries().size(), 1);
    EXPECT_EQ(pResult->GetMutedLocalIps(), std::vector<std::string>{"192.168.0.1"});
    EXPECT_EQ(pResult->GetGroupSuffix(), QStringLiteral("Tandril"));
    // The loaded configuration itself is untouched.
    EXPECT_EQ(pConfig->GetStaticEntries().GetEntries().size(), 2);
    EXPECT_EQ(pConfig->GetStaticEntries().GetEntries()[1]->GetType(), QStringLiteral("MACHINE"));
}

TEST(FilterDialogTest, ChannelValidationMessages)
{
    struct Case
    {
        const char* mIp;
        const char* mChannel;
        const char* mWarning; // empty: accepted
    };
    const Case cases[] = {
        {"10.0.0.5", "3", ""},
        {"10.0.0.5", "16", ""},
        {"10.0.0.5", "17", "Channel number \"17\" is out of range."},
        {"10.0.0.5", "0", "Channel number \"0\" is out of range."},
        {"10.0.0.5", "-1", "Channel number \"-1\" is out of range."},
        {"10.0.0.5", "x", "x is not a valid port."},
        {"10.0.0.5", "", " is not a valid port."},
        {"10.0.0.5", "9223372036854775807", "Channel number \"9223372036854775807\" is out of range."},
        {"0.0.0.0", "1", "\"0.0.0.0\" is not a valid IPv4 address."},
        {"256.1.1.1", "1", "\"256.1.1.1\" is not a valid IPv4 address."},
        {"1.2.3", "1", "\"1.2.3:8011\" is not a valid IPv4 address."},
        {"10.0.0.5:80", "1", "\"10.0.0.5:80:8011\" is not a valid IPv4 address."},
    };
    for (const Case& rCase : cases)
    {
        JoxWsdd::WsddChannelConfigDialog dialog;
        SetRow(dialog.GetWhitelistTable(), {QString::fromUtf8(rCase.mIp), QString::fromUtf8(rCase.mChannel)});
        const QString warning = PressOk(dialog);
        EXPECT_EQ(warning, QString::fromUtf8(rCase.mWarning)) << rCase.mIp << " " << rCase.mChannel;
        EXPECT_EQ(dialog.result() == QDialog::Accepted, rCase.mWarning[0] == '\0') << rCase.mIp;
    }
}

TEST(FilterDialogTest, FirstBadValueIsReportedBlacklistFirst)
{
    JoxWsdd::WsddChannelConfigDialog dialog;
    SetRow(dialog.GetStaticTable(), {QStringLiteral("1.1.1.1"), QStringLiteral("99")});
    SetRow(dialog.GetWhitelistTable(), {QStringLiteral("2.2.2.2"), QStringLiteral("1")});
    SetRow(dialog.GetWhitelistTable(), {QStringLiteral("0.0.0.0"), QStringLiteral("y")});
    SetRow(dialog.GetBlacklistTable(), {QStringLiteral("3.3.3.3")}); // no channel item: skipped
    // The channel is checked before the address.
    EXPECT_EQ(PressOk(dialog), QStringLiteral("y is not a valid port."));
    dialog.GetWhitelistTable()->item(1, 1)->setText(QStringLiteral("2"));
    EXPECT_EQ(PressOk(dialog), QStringLiteral("\"0.0.0.0\" is not a valid IPv4 address."));
    dialog.GetWhitelistTable()->item(1, 0)->setText(QStringLiteral("4.4.4.4"));
    EXPECT_EQ(PressOk(dialog), QStringLiteral("Channel number \"99\" is out of range."));
    dialog.GetStaticTable()->item(0, 1)->setText(QStringLiteral("9"));
    EXPECT_EQ(PressOk(dialog), QString());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(FilterDialogTest, MachineRowsAndValidation)
{
    struct Case
    {
        const char* mIp;
        const char* mWarning;
    };
    const Case cases[] = {
        {"10.0.0.5", ""},
        {"10.0.0.5:80", "\"10.0.0.5:80\" is not a valid IPv4 address."},
        {"256.1.1.1", "\"256.1.1.1\" is not a valid IPv4 address."},
        {"1.2.3", "\"1.2.3\" is not a valid IPv4 address."},
        {"0.0.0.0", "\"0.0.0.0\" is not a valid IPv4 address."},
        {"host.example", "\"host.example\" is not a valid IPv4 address."},
        // Digits of another script match the pattern but are no address.
        {"\xD9\xA1.\xD9\xA2.\xD9\xA3.\xD9\xA4", "\"\xD9\xA1.\xD9\xA2.\xD9\xA3.\xD9\xA4\" is not a valid IPv4 address."},
    };
    for (const Case& rCase : cases)
    {
        JoxWsdd::WsddSystemConfigDialog dialog;
        SetRow(dialog.GetStaticTable(), {QString::fromUtf8(rCase.mIp)});
        EXPECT_EQ(PressOk(dialog), QString::fromUtf8(rCase.mWarning)) << rCase.mIp;
    }

    JoxWsdd::WsddSystemConfigDialog dialog;
    const auto pConfig = boost::make_shared<ConfigWsddClient>(QStringLiteral("Tandril"));
    pConfig->AddWhitelistEntry(Entry(QStringLiteral("10.0.0.1"), -1, "MACHINE"));
    pConfig->AddWhitelistEntry(Entry(QStringLiteral("10.0.0.2"), 8012, "CHANNEL"));
    pConfig->AddWhitelistEntry(Entry(QStringLiteral("10.0.0.3"), -1, "ALL"));
    dialog.SetConfig(pConfig);
    ASSERT_EQ(dialog.GetWhitelistTable()->rowCount(), 2);
    EXPECT_EQ(dialog.GetWhitelistTable()->columnCount(), 1);
    EXPECT_EQ(dialog.GetWhitelistTable()->item(1, 0)->text(), QStringLiteral("10.0.0.3"));
}

TEST(FilterDialogTest, SavingKeepsWhatTheDialogDoesNotShow)
{
    // Each list holds an entry of each kind, some with a second address.
    const auto pConfig = boost::make_shared<ConfigWsddClient>(QStringLiteral("Tandril"));
    for (auto add : {&ConfigWsddClient::AddBlacklistEntry, &ConfigWsddClient::AddWhitelistEntry,
                     &ConfigWsddClient::AddStaticEntry})
    {
        ((*pConfig).*add)(boost::make_shared<ConfigWsddClientEntry>(QStringLiteral("10.0.0.1"), 8012,
                                                                    QStringLiteral("CHANNEL"), QStringLiteral("10.1.0.1")));
        ((*pConfig).*add)(boost::make_shared<ConfigWsddClientEntry>(QStringLiteral("10.0.0.2"), -1,
                                                                    QStringLiteral("ALL"), QStringLiteral("10.1.0.2")));
        ((*pConfig).*add)(boost::make_shared<ConfigWsddClientEntry>(QStringLiteral("10.0.0.3"), -1,
                                                                    QStringLiteral("MACHINE"), QStringLiteral("10.1.0.3")));
    }
    pConfig->AddMutedLocalIp(Entry(QStringLiteral("10.0.0.9"), 0, "MACHINE"));
    const auto describe = [](const JoxConfig::ConfigWsddClientEntryList& rList) {
        QStringList texts;
        for (const ConfigWsddClientEntryPtr& rEntry : rList.GetEntries())
            texts.append(QStringLiteral("%1 %2 %3 %4")
                             .arg(rEntry->GetIp())
                             .arg(rEntry->GetPort())
                             .arg(rEntry->GetType(), rEntry->GetQuorelIp()));
        return texts;
    };
    const QStringList loaded = describe(pConfig->GetStaticEntries());

    JoxWsdd::WsddSystemConfigDialog machine;
    JoxWsdd::WsddChannelConfigDialog channel;
    for (JoxWsdd::WsddConfigDialogBase* pDialog : {static_cast<JoxWsdd::WsddConfigDialogBase*>(&machine),
                                                   static_cast<JoxWsdd::WsddConfigDialogBase*>(&channel)})
    {
        pDialog->SetConfig(pConfig);
        // Unedited, every list comes back as it was loaded, in its order.
        const ConfigWsddClientPtr pSaved = pDialog->GetConfig();
        EXPECT_EQ(describe(pSaved->GetBlacklist()), describe(pConfig->GetBlacklist()));
        EXPECT_EQ(describe(pSaved->GetWhitelist()), describe(pConfig->GetWhitelist()));
        EXPECT_EQ(describe(pSaved->GetStaticEntries()), loaded);
        EXPECT_EQ(pSaved->GetMutedLocalIps(), std::vector<std::string>{"10.0.0.9"});
    }

    // Machine dialog: rows 10.0.0.2 (ALL) and 10.0.0.3. The first is edited,
    // the second removed, one is added: the edit keeps type and second address,
    // the hidden channel entry stays in its place, the new row is a machine.
    QTableWidget* pStatic = machine.GetStaticTable();
    ASSERT_EQ(pStatic->rowCount(), 2);
    pStatic->item(0, 0)->setText(QStringLiteral("10.0.0.20"));
    pStatic->setCurrentCell(1, 0);
    Button(&machine, QStringLiteral("Remove"))->click();
    SetRow(pStatic, {QStringLiteral("10.0.0.4")});
    EXPECT_EQ(describe(machine.GetConfig()->GetStaticEntries()),
              (QStringList{QStringLiteral("10.0.0.1 8012 CHANNEL 10.1.0.1"), QStringLiteral("10.0.0.20 -1 ALL 10.1.0.2"),
                           QStringLiteral("10.0.0.4 -1 MACHINE ")}));

    // Channel dialog: rows 10.0.0.1 (channel 2) and 10.0.0.2 (ALL, no port);
    // the channel of the first is changed; the machine entry stays hidden.
    QTableWidget* pChannelStatic = channel.GetStaticTable();
    ASSERT_EQ(pChannelStatic->rowCount(), 2);
    pChannelStatic->item(0, 1)->setText(QStringLiteral("5"));
    EXPECT_EQ(describe(channel.GetConfig()->GetStaticEntries()),
              (QStringList{QStringLiteral("10.0.0.1 8015 CHANNEL 10.1.0.1"), QStringLiteral("10.0.0.2 -1 ALL 10.1.0.2"),
                           QStringLiteral("10.0.0.3 -1 MACHINE 10.1.0.3")}));
}

TEST(FilterDialogTest, RemoveTakesOnlyTheCurrentRow)
{
    JoxWsdd::WsddSystemConfigDialog dialog;
    for (const char* pIp : {"1.1.1.1", "2.2.2.2", "3.3.3.3"})
        SetRow(dialog.GetStaticTable(), {QString::fromLatin1(pIp)});
    QTableWidget* pTable = dialog.GetStaticTable();
    pTable->selectAll();
    pTable->setCurrentCell(1, 0, QItemSelectionModel::NoUpdate);
    Button(&dialog, QStringLiteral("Remove"))->click();
    ASSERT_EQ(pTable->rowCount(), 2);
    EXPECT_EQ(pTable->item(0, 0)->text(), QStringLiteral("1.1.1.1"));
    EXPECT_EQ(pTable->item(1, 0)->text(), QStringLiteral("3.3.3.3"));
}

TEST(IpDialogTest, UncheckedAddressesBecomeMutedEntries)
{
    JoxWsdd::WsddIpConfigDialog dialog(
        {QStringLiteral("10.0.0.1"), QStringLiteral("10.0.0.12"), QStringLiteral("10.0.0.2")});
    const auto& rBoxes = dialog.GetCheckBoxes();
    ASSERT_EQ(rBoxes.size(), 3u);
    for (QCheckBox* pBox : rBoxes)
        EXPECT_TRUE(pBox->isChecked());

    const auto pConfig = boost::make_shared<ConfigWsddClient>(QStringLiteral("Tandril"));
    pConfig->AddMutedLocalIp(boost::make_shared<ConfigWsddClientEntry>(QStringLiteral("10.0.0.1:0"),
                                                                       QStringLiteral("MACHINE"), QString()));
    pConfig->AddMutedLocalIp(boost::make_shared<ConfigWsddClientEntry>(QStringLiteral(":0"),
                                                                       QStringLiteral("MACHINE"), QString()));
    pConfig->AddBlacklistEntry(Entry(QStringLiteral("10.9.9.9"), -1, "MACHINE"));
    // A mute of an address without a box here (another network card).
    pConfig->AddMutedLocalIp(boost::make_shared<ConfigWsddClientEntry>(QStringLiteral("10.0.0.77:0"),
                                                                       QStringLiteral("MACHINE"), QString()));
    dialog.SetConfig(pConfig);
    // Only the box of the muted address itself is unchecked.
    EXPECT_FALSE(rBoxes[0]->isChecked());
    EXPECT_TRUE(rBoxes[1]->isChecked());
    EXPECT_TRUE(rBoxes[2]->isChecked());
    // Saved untouched, the mutes stay as they were, 10.0.0.12 is not muted.
    EXPECT_EQ(dialog.GetConfig()->GetMutedLocalIps(), (std::vector<std::string>{"10.0.0.1", "", "10.0.0.77"}));

    rBoxes[0]->setChecked(true);
    rBoxes[2]->setChecked(false);
    const ConfigWsddClientPtr pResult = dialog.GetConfig();
    ASSERT_EQ(pResult->GetMutedLocalIps(), (std::vector<std::string>{"", "10.0.0.77", "10.0.0.2"}));
    EXPECT_EQ(pResult->GetMutedLocalIpEntries().GetEntries()[2]->GetType(), QStringLiteral("MACHINE"));
    EXPECT_EQ(pResult->GetBlacklistUrls(), pConfig->GetBlacklistUrls());

    Button(&dialog, QStringLiteral("Save"))->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(RunConfigDialogTest, SavesAndRefreshesOnlyWhenAccepted)
{
    QDir().mkpath(QFileInfo(FilterFilePath()).path());
    {
        JoxConfig::ConfigHandlerWsddConfig handler(FilterFilePath(), 1.0, 0);
        const auto pConfig = boost::make_shared<ConfigWsddClient>(QStringLiteral("Tandril"));
        pConfig->AddBlacklistEntry(Entry(QStringLiteral("10.0.0.66"), -1, "MACHINE"));
        handler.saveSettings(pConfig);
    }
    QFile file(FilterFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    JoxWsdd::WSDDClient client(std::vector<JoxWsdd::WSDDClient::ClientThreadParameter>{});
    const auto pRepository = boost::make_shared<JoxWsdd::ClientWebServiceRepository>(&client);
    JoxWsdd::ConnectionController* pController = JoxWsdd::ConnectionController::Instance();
    pController->SetConfigurationName(QStringLiteral("Tandril"));
    JoxWsdd::ConnectionModel* pModel = pController->GetModel();
    pModel->AddSorted(boost::make_shared<JoxWsdd::WebServiceInfo>(QStringLiteral("http://10.0.0.1:80"), false,
                                                                  JoxWsdd::WebServiceInfo::ServiceTypeMaintenance));

    {
        const auto pDialog = boost::make_shared<JoxWsdd::WsddSystemConfigDialog>();
        QString title;
        int blacklistRows = -1;
        joxguitest::ModalDriver driver([&](QDialog* pShown) {
            title = pShown->windowTitle();
            blacklistRows = pDialog->GetBlacklistTable()->rowCount();
            pShown->reject();
        });
        EXPECT_FALSE(JoxWsdd::RunConfigDialog(pDialog, QStringLiteral("Filter"), QStringLiteral("Tandril")));
        EXPECT_EQ(title, QStringLiteral("Filter"));
        EXPECT_EQ(blacklistRows, 1);
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    file.close();
    EXPECT_EQ(pModel->rowCount(), 1);

    {
        const auto pDialog = boost::make_shared<JoxWsdd::WsddSystemConfigDialog>();
        joxguitest::ModalDriver driver([&](QDialog* pShown) {
            SetRow(pDialog->GetStaticTable(), {QStringLiteral("10.0.0.7")});
            Button(pShown, QStringLiteral("OK"))->click();
        });
        EXPECT_TRUE(JoxWsdd::RunConfigDialog(pDialog, QStringLiteral("Filter"), QStringLiteral("Tandril")));
    }
    JoxConfig::ConfigHandlerWsddConfig handler(FilterFilePath(), 1.0, 0);
    const ConfigWsddClientPtr pSaved = handler.CreateConfig(QStringLiteral("Tandril"));
    ASSERT_EQ(pSaved->GetStaticEntries().GetEntries().size(), 1);
    EXPECT_EQ(pSaved->GetStaticEntries().GetEntries()[0]->GetIp(), QStringLiteral("10.0.0.7"));
    EXPECT_EQ(pSaved->GetBlacklistUrls().size(), 1);
    // The refresh emptied the list and brought the new static entry.
    ASSERT_EQ(pModel->rowCount(), 1);
    EXPECT_TRUE(pModel->GetService(0)->GetUrl().contains(QStringLiteral("10.0.0.7")));
    EXPECT_TRUE(pModel->GetService(0)->IsStatic());
}

TEST(RunConfigDialogTest, FailedSaveIsShownAndTheEditsStay)
{
    // The configuration folder cannot be made while a file holds its name.
    tandriltest::TempDir temp;
    tandriltest::ScopedEnv env("PROGRAMDATA", temp.Path().c_str());
    tandriltest::WriteFile(temp.File("JOX"), "not a folder");

    JoxWsdd::WSDDClient client(std::vector<JoxWsdd::WSDDClient::ClientThreadParameter>{});
    const auto pRepository = boost::make_shared<JoxWsdd::ClientWebServiceRepository>(&client);
    JoxWsdd::ConnectionController::Instance()->SetConfigurationName(QStringLiteral("Tandril"));
    JoxWsdd::ConnectionModel* pModel = JoxWsdd::ConnectionController::Instance()->GetModel();
    pModel->AddSorted(boost::make_shared<JoxWsdd::WebServiceInfo>(QStringLiteral("http://10.0.0.1:80"), false,
                                                                  JoxWsdd::WebServiceInfo::ServiceTypeMaintenance));

    const auto pDialog = boost::make_shared<JoxWsdd::WsddSystemConfigDialog>();
    QStringList warnings;
    int runs = 0;
    joxguitest::ModalDriver driver([&](QDialog* pShown) {
        if (auto* pBox = qobject_cast<QMessageBox*>(pShown))
        {
            warnings.append(pBox->text());
            pBox->accept();
            return;
        }
        ++runs;
        if (runs == 1)
        {
            SetRow(pDialog->GetStaticTable(), {QStringLiteral("10.0.0.7")});
        }
        else
        {
            // Back with the edit; the operator mends the folder and saves again.
            EXPECT_EQ(pDialog->GetStaticTable()->rowCount(), 1);
            EXPECT_EQ(pModel->rowCount(), 1); // nothing refreshed meanwhile
            QFile::remove(QString::fromStdString(temp.File("JOX")));
        }
        Button(pShown, QStringLiteral("OK"))->click();
    });
    EXPECT_TRUE(JoxWsdd::RunConfigDialog(pDialog, QStringLiteral("Filter"), QStringLiteral("Tandril")));
    EXPECT_EQ(runs, 2);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].startsWith(QStringLiteral("The settings could not be saved to \""))) << warnings[0].toStdString();
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("wsdd_client.conf")));

    JoxConfig::ConfigHandlerWsddConfig handler(FilterFilePath(), 1.0, 0);
    const ConfigWsddClientPtr pSaved = handler.CreateConfig(QStringLiteral("Tandril"));
    ASSERT_EQ(pSaved->GetStaticEntries().GetEntries().size(), 1);
    EXPECT_EQ(pSaved->GetStaticEntries().GetEntries()[0]->GetIp(), QStringLiteral("10.0.0.7"));
    // Saved at last, the list was refreshed.
    ASSERT_EQ(pModel->rowCount(), 1);
    EXPECT_TRUE(pModel->GetService(0)->IsStatic());
}
