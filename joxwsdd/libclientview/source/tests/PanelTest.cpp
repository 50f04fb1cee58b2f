// The "Servers" panel: its options driving the proxy and the model, the
// discovery error, the MOS signals, selection clearing, the refresh cursor
// and the dialogs behind its buttons.

#include "ModalDriver.h"
#include "ScopedEnv.h"
#include "ServiceFactory.h"
#include "TempDir.h"
#include "WaitFor.h"

#include <clientview/ClientWebServiceRepository.h>
#include <clientview/ConnectionController.h>
#include <clientview/ConnectionModel.h>
#include <clientview/WsddConnectionProxyModel.h>
#include <clientview/WsddConnectionView.h>
#include <clientview/WsddConnectionWidget.h>
#include <clientview/WsddIpConfigDialog.h>
#include <clientview/WsddSystemConfigDialog.h>

#include <joxwsdd/WSDDClient.h>
#include <joxlog/JoxLog.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using clientviewtest::Service;
using JoxWsdd::ConnectionModel;
using JoxWsdd::WebServiceInfo;
using JoxWsdd::WebServiceInfoPtr;
using JoxWsdd::WsddConnectionWidget;

namespace {

std::vector<std::string> gLogged;

void CaptureLog(int level, int, const char* category, const char* message, const char*, int, const char*,
                const JoxCore::TimeStamp*)
{
    gLogged.push_back(std::to_string(level) + " " + category + ": " + message);
}

const char* const cPair = "group_type__ab group_master__0 group_name__Pair "
                          "group_members__http://10.0.0.1:8080_http://10.0.0.2:8080";

template <typename T>
T* Child(QWidget* pParent, const QString& rText)
{
    for (T* pChild : pParent->findChildren<T*>())
        if (pChild->text() == rText)
            return pChild;
    return nullptr;
}

std::vector<QString> Shown(const QAbstractItemModel& rProxy, int role)
{
    std::vector<QString> values;
    for (int row = 0; row < rProxy.rowCount(); ++row)
        values.push_back(rProxy.index(row, role == Qt::DisplayRole ? 1 : 0).data(role).toString());
    return values;
}

class PanelTest : public ::testing::Test
{
protected:
    PanelTest()
        : mpModel(JoxWsdd::ConnectionController::Instance()->GetModel()),
          mPanel({QStringLiteral("10.0.0.100"), QStringLiteral("10.0.0.101")}, QStringLiteral("Servers"), nullptr,
                 QStringLiteral("MACHINE"), QStringLiteral("Tandril"))
    {
        gLogged.clear();
        mpModel->Clear();
        mpModel->SetRelevantTypes({WebServiceInfo::ServiceTypeMaintenance, WebServiceInfo::ServiceTypeMos});
        mpModel->SetDragTypes({WebServiceInfo::ServiceTypeMaintenance});
        mpModel->SetGrouping(true);
        mpModel->AddSorted(Service("http://10.0.0.5:8080", "service_name__MAINTENANCE description_name__Alpha"));
        mpModel->AddSorted(Service("http://10.0.0.3:8080", "service_name__MAINTENANCE description_name__Bravo"));
        mpModel->AddSorted(Service("http://10.0.0.1:8080", std::string("service_name__MOS ") + cPair));
        mpModel->AddSorted(Service("http://10.0.0.2:8080", std::string("service_name__MOS ") + cPair));
        mPanel.SetModel(mpModel, QAbstractItemView::SingleSelection, true);
        mPanel.resize(300, 500);
        mPanel.show();
    }

    JoxCore::SetLogHandler mHandler{CaptureLog};
    ConnectionModel* mpModel;
    WsddConnectionWidget mPanel;
};

} // namespace

TEST_F(PanelTest, SetModelGroupsAndSortsByUrl)
{
    auto* pSort = mPanel.findChild<QComboBox*>();
    ASSERT_NE(pSort, nullptr);
    EXPECT_EQ(pSort->currentText(), QStringLiteral("Sort by Url"));
    EXPECT_TRUE(Child<QCheckBox>(&mPanel, QStringLiteral("Grouping"))->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(&mPanel, QStringLiteral("Show all"))->isVisibleTo(&mPanel));
    // The member of the group (10.0.0.2) is hidden.
    EXPECT_EQ(Shown(*mPanel.GetProxy(), ConnectionModel::UrlRole),
              (std::vector<QString>{QStringLiteral("http://10.0.0.1:8080"), QStringLiteral("http://10.0.0.3:8080"),
                                    QStringLiteral("http://10.0.0.5:8080")}));
    EXPECT_EQ(mPanel.findChild<QPushButton*>(QStringLiteral("ButtonRefresh"))->text(), QString());
    auto* pLabel = mPanel.findChild<QLabel*>(QStringLiteral("LabelMessage"));
    ASSERT_NE(pLabel, nullptr);
    EXPECT_FALSE(pLabel->isVisibleTo(&mPanel));

    // The options area folds with the panel's fold button.
    QWidget* pOptions = Child<QCheckBox>(&mPanel, QStringLiteral("Descending"))->parentWidget();
    EXPECT_FALSE(pOptions->isVisibleTo(&mPanel));
    emit mPanel.SignalFold(true);
    EXPECT_TRUE(pOptions->isVisibleTo(&mPanel));
    emit mPanel.SignalFold(false);
    EXPECT_FALSE(pOptions->isVisibleTo(&mPanel));
}

TEST_F(PanelTest, OptionsResortRegroupAndShowDetails)
{
    Child<QCheckBox>(&mPanel, QStringLiteral("Descending"))->setChecked(true);
    EXPECT_EQ(Shown(*mPanel.GetProxy(), ConnectionModel::UrlRole).front(), QStringLiteral("http://10.0.0.5:8080"));
    auto* pSort = mPanel.findChild<QComboBox*>();
    pSort->setCurrentIndex(pSort->findText(QStringLiteral("Sort by Name")));
    EXPECT_EQ(Shown(*mPanel.GetProxy(), ConnectionModel::NameRole),
              (std::vector<QString>{QStringLiteral("Pair"), QStringLiteral("Bravo"), QStringLiteral("Alpha")}));
    EXPECT_EQ(Shown(*mPanel.GetProxy(), Qt::DisplayRole).front(), QStringLiteral("( 2 )"));

    Child<QCheckBox>(&mPanel, QStringLiteral("Grouping"))->setChecked(false);
    EXPECT_FALSE(mpModel->GetGrouping());
    EXPECT_EQ(mPanel.GetProxy()->rowCount(), 4);
    EXPECT_EQ(Shown(*mPanel.GetProxy(), ConnectionModel::NameRole),
              (std::vector<QString>{QStringLiteral("Bravo"), QStringLiteral("Alpha"), QStringLiteral("10.0.0.2"),
                                    QStringLiteral("10.0.0.1")}));
    EXPECT_EQ(Shown(*mPanel.GetProxy(), Qt::DisplayRole)[2], QStringLiteral("2 / 2"));
    EXPECT_EQ(Shown(*mPanel.GetProxy(), Qt::DisplayRole)[3], QStringLiteral("1 / 2"));

    const int grid = mPanel.GetView()->showGrid() ? 1 : 0;
    EXPECT_EQ(mPanel.GetView()->rowHeight(0), 24 + grid);
    Child<QCheckBox>(&mPanel, QStringLiteral("Details"))->setChecked(true);
    EXPECT_EQ(mPanel.GetView()->rowHeight(0), 50 + grid);
}

TEST_F(PanelTest, DiscoveryErrorDisablesTheListUntilTheNextRefresh)
{
    JoxWsdd::WSDDClient client(std::vector<JoxWsdd::WSDDClient::ClientThreadParameter>{});
    const auto pRepository = boost::make_shared<JoxWsdd::ClientWebServiceRepository>(&client);
    mpModel->SetError(QStringLiteral("bind failed on 10.0.0.100"));
    EXPECT_NE(std::find(gLogged.begin(), gLogged.end(),
                        "1 WSDD ConnectionWidget: Error in WSDD Backend 'bind failed on 10.0.0.100'."),
              gLogged.end());
    auto* pLabel = mPanel.findChild<QLabel*>(QStringLiteral("LabelMessage"));
    EXPECT_EQ(pLabel->text(), QStringLiteral("bind failed on 10.0.0.100"));
    EXPECT_TRUE(pLabel->isVisibleTo(&mPanel));
    EXPECT_FALSE(mPanel.GetView()->isEnabled());
    EXPECT_FALSE(Child<QCheckBox>(&mPanel, QStringLiteral("Details"))->isEnabled());

    // The way out stays open: unfold the options, the dialogs and refresh work.
    auto* pFold = mPanel.findChild<QAbstractButton*>(QStringLiteral("ButtonHeaderFold"));
    ASSERT_NE(pFold, nullptr);
    EXPECT_TRUE(pFold->isEnabled());
    QTest::mouseClick(pFold, Qt::LeftButton);
    auto* pRefresh = mPanel.findChild<QPushButton*>(QStringLiteral("ButtonRefresh"));
    auto* pConfiguration = Child<QPushButton>(&mPanel, QStringLiteral("Configuration"));
    ASSERT_TRUE(pRefresh->isVisible());
    for (QPushButton* pButton : {pRefresh, pConfiguration, Child<QPushButton>(&mPanel, QStringLiteral("Filter"))})
        EXPECT_TRUE(pButton->isEnabled()) << pButton->text().toStdString();
    {
        joxguitest::ModalDriver driver([](QDialog* pDialog) { pDialog->reject(); });
        QTest::mouseClick(pConfiguration, Qt::LeftButton);
        EXPECT_EQ(driver.Seen(), 1);
    }

    // A refresh without error brings the list back.
    QTest::mouseClick(pRefresh, Qt::LeftButton);
    EXPECT_TRUE(mPanel.GetView()->isEnabled());
    EXPECT_TRUE(Child<QCheckBox>(&mPanel, QStringLiteral("Details"))->isEnabled());
    EXPECT_FALSE(pLabel->isVisibleTo(&mPanel));

    // One that fails again disables it again.
    const QMetaObject::Connection failing = QObject::connect(
        mpModel, &ConnectionModel::modelReset, [this] { mpModel->SetError(QStringLiteral("again")); });
    QTest::mouseClick(pRefresh, Qt::LeftButton);
    QObject::disconnect(failing);
    EXPECT_FALSE(mPanel.GetView()->isEnabled());
    EXPECT_EQ(pLabel->text(), QStringLiteral("again"));
}

TEST_F(PanelTest, MosChangesBecomeSignals)
{
    QSignalSpy stopped(&mPanel, &WsddConnectionWidget::SignalMosStopped);
    QSignalSpy dissolved(&mPanel, &WsddConnectionWidget::SignalGroupDissolved);
    QSignalSpy grouped(&mPanel, &WsddConnectionWidget::SignalServiceGrouped);
    QSignalSpy composition(&mPanel, &WsddConnectionWidget::SignalGroupCompositionChanged);
    QSignalSpy added(&mPanel, &WsddConnectionWidget::SignalServiceAdded);
    QSignalSpy removed(&mPanel, &WsddConnectionWidget::SignalServiceRemoved);

    const std::string url = "http://10.0.0.7:8080";
    const WebServiceInfoPtr pFree = Service(url, "service_name__MOS status_name__free");
    mpModel->AddSorted(pFree);
    EXPECT_EQ(added.size(), 2); // the service and its group entry
    const WebServiceInfoPtr pActive = Service(url, "service_name__MOS status_name__active");
    mpModel->Changed(pFree, pActive);
    EXPECT_EQ(stopped.size(), 0);
    const WebServiceInfoPtr pStopped = Service(url, "service_name__MOS status_name__free");
    mpModel->Changed(pActive, pStopped);
    ASSERT_EQ(stopped.size(), 1);
    EXPECT_EQ(stopped.at(0).at(0).toString(), QString::fromStdString(url));

    const std::string trio = "group_type__ab group_master__0 group_members__http://10.0.0.7:8080_http://10.0.0.8:8080";
    const WebServiceInfoPtr pGrouped = Service(url, "service_name__MOS status_name__free " + trio);
    mpModel->Changed(pStopped, pGrouped);
    EXPECT_EQ(grouped.size(), 1);
    const WebServiceInfoPtr pLarger =
        Service(url, "service_name__MOS status_name__free " + trio + "_http://10.0.0.9:8080");
    mpModel->Changed(pGrouped, pLarger);
    ASSERT_EQ(composition.size(), 1);
    EXPECT_EQ(composition.at(0).at(0).toStringList(),
              (QStringList{QStringLiteral("http://10.0.0.7:8080"), QStringLiteral("http://10.0.0.8:8080"),
                           QStringLiteral("http://10.0.0.9:8080")}));
    mpModel->Changed(pLarger, pStopped);
    EXPECT_EQ(dissolved.size(), 1);

    // Other services never produce them.
    const WebServiceInfoPtr pMaintenance = Service(url, "service_name__MAINTENANCE status_name__active");
    mpModel->AddSorted(pMaintenance);
    mpModel->Changed(pMaintenance, Service(url, "service_name__MAINTENANCE status_name__free"));
    EXPECT_EQ(stopped.size(), 1);
    // The last channel service of the URL takes its group entry along.
    mpModel->Remove(pStopped);
    EXPECT_EQ(removed.size(), 2);
}

TEST_F(PanelTest, RowChangesClearTheSelectionSilently)
{
    QSignalSpy selections(&mPanel, &WsddConnectionWidget::SignalSelectionChanged);
    JoxWsdd::WsddConnectionView* pView = mPanel.GetView();
    const QPoint centre = pView->visualRect(mPanel.GetProxy()->index(1, 0)).center();
    QMouseEvent press(QEvent::MouseButtonPress, centre, pView->viewport()->mapToGlobal(centre), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pView->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, pView->viewport()->mapToGlobal(centre), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(pView->viewport(), &release);
    ASSERT_EQ(selections.size(), 1);
    EXPECT_EQ(selections.at(0).at(0).value<QList<WebServiceInfoPtr>>().front()->GetDisplayName(),
              QStringLiteral("Bravo"));
    ASSERT_TRUE(pView->selectionModel()->hasSelection());

    const WebServiceInfoPtr pBravo = mpModel->GetService(mPanel.GetProxy()->mapToSource(mPanel.GetProxy()->index(1, 0)).row());
    mpModel->Changed(pBravo, Service("http://10.0.0.3:8080", "service_name__MAINTENANCE status_name__active"));
    EXPECT_FALSE(pView->selectionModel()->hasSelection());
    EXPECT_EQ(selections.size(), 1);
}

namespace {

// The proxy row that shows the URL; -1 when none does.
int RowOf(const QAbstractItemModel& rProxy, const QString& rUrl)
{
    for (int row = 0; row < rProxy.rowCount(); ++row)
        if (rProxy.index(row, 0).data(ConnectionModel::UrlRole).toString() == rUrl)
            return row;
    return -1;
}

// The URLs of the highlighted rows.
std::string Highlighted(const JoxWsdd::WsddConnectionView& rView)
{
    QStringList urls;
    for (const QModelIndex& rRow : rView.selectionModel()->selectedRows())
        urls.append(rRow.data(ConnectionModel::UrlRole).toString());
    return urls.join(QLatin1Char(' ')).toStdString();
}

void Click(JoxWsdd::WsddConnectionView& rView, int row)
{
    const QPoint centre = rView.visualRect(rView.model()->index(row, 0)).center();
    QTest::mouseClick(rView.viewport(), Qt::LeftButton, Qt::NoModifier, centre);
}

} // namespace

// When the selected server's row goes, no other row takes the highlight:
// the panel says the selection left, unless a refill of the list brings the
// server back at once, which keeps it highlighted without a new report.
TEST_F(PanelTest, WhenTheSelectedRowGoesNoOtherRowIsHighlighted)
{
    tandriltest::TempDir data;
    tandriltest::ScopedEnv env("PROGRAMDATA", data.Path().c_str());
    JoxWsdd::WSDDClient client(std::vector<JoxWsdd::WSDDClient::ClientThreadParameter>{});
    const auto pRepository = boost::make_shared<JoxWsdd::ClientWebServiceRepository>(&client);
    JoxWsdd::WsddConnectionView* pView = mPanel.GetView();
    const QString bravo = QStringLiteral("http://10.0.0.3:8080");
    const QString member = QStringLiteral("http://10.0.0.2:8080");
    const auto entryOf = [this](const QString& rUrl) {
        return mpModel->GetService(mPanel.GetProxy()->mapToSource(mPanel.GetProxy()->index(RowOf(*mPanel.GetProxy(), rUrl), 0)).row());
    };
    const auto refresh = [this] { mPanel.findChild<QPushButton*>(QStringLiteral("ButtonRefresh"))->click(); };

    const struct
    {
        const char* mCase;
        QString mSelected;
        std::function<void()> mGo;
        bool mListedAgain;
    } cases[] = {
        {"a Bye", bravo, [&] { mpModel->Remove(entryOf(bravo)); }, false},
        {"a filter that hides the row", member,
         [&] { Child<QCheckBox>(&mPanel, QStringLiteral("Grouping"))->setChecked(true); }, false},
        {"a refresh that lists it again at once", bravo,
         [&] {
             refresh();
             for (const char* pUrl : {"http://10.0.0.5:8080", "http://10.0.0.3:8080"})
                 mpModel->AddSorted(Service(pUrl, "service_name__MAINTENANCE"));
         },
         true},
        {"a configuration save that empties the list", bravo,
         [&] {
             joxguitest::ModalDriver driver(
                 [](QDialog* pDialog) { Child<QPushButton>(pDialog, QStringLiteral("Save"))->click(); });
             Child<QPushButton>(&mPanel, QStringLiteral("Configuration"))->click();
             ASSERT_EQ(driver.Seen(), 1);
         },
         false},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mCase);
        mpModel->Clear();
        mpModel->AddSorted(Service("http://10.0.0.5:8080", "service_name__MAINTENANCE description_name__Alpha"));
        mpModel->AddSorted(Service("http://10.0.0.3:8080", "service_name__MAINTENANCE description_name__Bravo"));
        mpModel->AddSorted(Service("http://10.0.0.1:8080", std::string("service_name__MOS ") + cPair));
        mpModel->AddSorted(Service("http://10.0.0.2:8080", std::string("service_name__MOS ") + cPair));
        // Group members are listed only without grouping.
        Child<QCheckBox>(&mPanel, QStringLiteral("Grouping"))->setChecked(rCase.mSelected != member);
        QApplication::processEvents();
        ASSERT_FALSE(pView->AwaitsRefill());
        QSignalSpy selections(&mPanel, &WsddConnectionWidget::SignalSelectionChanged);
        QSignalSpy left(&mPanel, &WsddConnectionWidget::SignalSelectionLeft);
        Click(*pView, RowOf(*mPanel.GetProxy(), rCase.mSelected));
        ASSERT_EQ(Highlighted(*pView), rCase.mSelected.toStdString());
        ASSERT_EQ(selections.size(), 1);

        rCase.mGo();
        if (HasFatalFailure())
            return;
        if (rCase.mListedAgain)
        {
            EXPECT_TRUE(tandriltest::WaitFor([&] { return Highlighted(*pView) == rCase.mSelected.toStdString(); }, 5000));
            EXPECT_FALSE(pView->AwaitsRefill());
        }
        else
        {
            // At every step until the panel says so: nothing highlighted.
            const QMetaObject::Connection watch =
                QObject::connect(pView->selectionModel(), &QItemSelectionModel::selectionChanged, [&] {
                    EXPECT_EQ(Highlighted(*pView), "");
                });
            EXPECT_EQ(Highlighted(*pView), "");
            EXPECT_TRUE(left.wait(5000));
            QObject::disconnect(watch);
            // Forgotten: listed again later, it is not highlighted again.
            mpModel->AddSorted(Service(rCase.mSelected.toStdString(), "service_name__MAINTENANCE"));
            QApplication::processEvents();
        }
        QApplication::processEvents();
        EXPECT_EQ(left.size(), rCase.mListedAgain ? 0 : 1);
        EXPECT_EQ(Highlighted(*pView), rCase.mListedAgain ? rCase.mSelected.toStdString() : std::string());
        EXPECT_EQ(selections.size(), 1);
    }
}

TEST_F(PanelTest, RefreshButtonShowsTheWaitCursorWhileDiscoveryRestarts)
{
    JoxWsdd::WSDDClient client(std::vector<JoxWsdd::WSDDClient::ClientThreadParameter>{});
    const auto pRepository = boost::make_shared<JoxWsdd::ClientWebServiceRepository>(&client);
    bool waitCursor = false;
    const QMetaObject::Connection connection = QObject::connect(mpModel, &ConnectionModel::modelReset, [&] {
        waitCursor = QApplication::overrideCursor() != nullptr &&
                     QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    });
    mPanel.findChild<QPushButton*>(QStringLiteral("ButtonRefresh"))->click();
    QObject::disconnect(connection);
    EXPECT_TRUE(waitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(mpModel->rowCount(), 0);
}

TEST_F(PanelTest, ButtonsOpenTheFilterAndAddressDialogs)
{
    QString title;
    QStringList boxes;
    bool machineDialog = false;
    joxguitest::ModalDriver driver([&](QDialog* pDialog) {
        title = pDialog->windowTitle();
        machineDialog = qobject_cast<JoxWsdd::WsddSystemConfigDialog*>(pDialog) != nullptr;
        if (auto* pIp = qobject_cast<JoxWsdd::WsddIpConfigDialog*>(pDialog))
            for (QCheckBox* pBox : pIp->GetCheckBoxes())
                boxes.append(pBox->text());
        pDialog->reject();
    });
    Child<QPushButton>(&mPanel, QStringLiteral("Filter"))->click();
    EXPECT_EQ(title, QStringLiteral("Filter"));
    EXPECT_TRUE(machineDialog);
    Child<QPushButton>(&mPanel, QStringLiteral("Configuration"))->click();
    EXPECT_EQ(title, QStringLiteral("IP-Configuration"));
    EXPECT_EQ(boxes, (QStringList{QStringLiteral("10.0.0.100"), QStringLiteral("10.0.0.101")}));
    // Rejected: the list was not refreshed.
    EXPECT_EQ(mpModel->rowCount(), 6);
}

TEST(PanelWithoutModelTest, OptionsAndNullModelDoNothing)
{
    WsddConnectionWidget panel({}, QStringLiteral("Servers"), nullptr, QStringLiteral("OTHER"), QString());
    Child<QCheckBox>(&panel, QStringLiteral("Descending"))->setChecked(true);
    panel.SetModel(nullptr, QAbstractItemView::SingleSelection, true);
    EXPECT_EQ(panel.GetProxy(), nullptr);
    EXPECT_EQ(panel.GetView()->model(), nullptr);
    // Without a dialog for the entry type, the Filter button opens nothing.
    joxguitest::ModalDriver driver([](QDialog* pDialog) { pDialog->reject(); });
    Child<QPushButton>(&panel, QStringLiteral("Filter"))->click();
    EXPECT_EQ(driver.Seen(), 0);
}
