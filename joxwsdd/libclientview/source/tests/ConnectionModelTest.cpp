// The connection model's rows: order by URL, channel group entries, in-place
// changes, static entries and removal, with the signals they publish.

#include "ServiceFactory.h"

#include <clientview/ConnectionModel.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <algorithm>

using clientviewtest::Service;
using JoxWsdd::ConnectionModel;
using JoxWsdd::WebServiceInfo;
using JoxWsdd::WebServiceInfoPtr;

namespace {

// Records every published signal as one line, in order.
struct SignalLog
{
    explicit SignalLog(ConnectionModel& rModel)
    {
        QObject::connect(&rModel, &ConnectionModel::SignalServiceAdded, &mContext,
                         [this](const WebServiceInfo& rEntry) { mLines.push_back("added " + Describe(rEntry)); });
        QObject::connect(&rModel, &ConnectionModel::SignalServiceRemoved, &mContext,
                         [this](const WebServiceInfo& rEntry) { mLines.push_back("removed " + Describe(rEntry)); });
        QObject::connect(&rModel, &ConnectionModel::SignalServiceChanged, &mContext,
                         [this](const WebServiceInfo& rOld, const WebServiceInfo& rNew) {
                             mLines.push_back("changed " + Describe(rOld) + " -> " + Describe(rNew));
                         });
    }

    static std::string Describe(const WebServiceInfo& rEntry)
    {
        return rEntry.GetUrl().toStdString() + " " + std::to_string(rEntry.GetServiceType()) + " " +
               rEntry.GetStatusName() + "/" + rEntry.GetStatusBlockedBy();
    }

    QObject mContext;
    std::vector<std::string> mLines;
};

std::vector<std::string> Rows(const ConnectionModel& rModel)
{
    std::vector<std::string> rows;
    for (int row = 0; row < rModel.rowCount(); ++row)
    {
        const WebServiceInfoPtr pEntry = rModel.GetService(row);
        rows.push_back(pEntry->GetUrl().toStdString() + " " + std::to_string(pEntry->GetServiceType()));
    }
    return rows;
}

const std::string cUrlA = "http://10.0.0.1:8011";
const std::string cUrlB = "http://10.0.0.2:8011";

typedef std::vector<std::string> Lines;

} // namespace

TEST(ConnectionModelTest, EntriesAreOrderedByUrlAndEqualUrlsKeepArrivalOrder)
{
    ConnectionModel model;
    model.AddSorted(Service("http://10.0.0.9:8080", "service_name__MAINTENANCE"));
    model.AddSorted(Service("http://10.0.0.10:8080", "service_name__MAINTENANCE"));
    model.AddSorted(Service("http://10.0.0.9:8080", "service_name__QUOREL"));
    model.AddSorted(Service("http://10.0.0.9:8080", "service_name__FALDRUNE"));
    // Code-unit order: "10.0.0.10" sorts before "10.0.0.9".
    EXPECT_EQ(Rows(model), (Lines{"http://10.0.0.10:8080 7", "http://10.0.0.9:8080 7", "http://10.0.0.9:8080 4",
                                  "http://10.0.0.9:8080 6"}));
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
    EXPECT_FALSE(model.index(4, 0).isValid());
    EXPECT_FALSE(model.index(0, 2).isValid());
}

TEST(ConnectionModelTest, FirstChannelServiceBringsItsGroupEntryDirectlyAbove)
{
    ConnectionModel model;
    model.AddSorted(Service(cUrlB, "service_name__MAINTENANCE"));
    SignalLog log(model);
    model.AddSorted(Service(cUrlA, "service_name__MOS status_name__free software_name__Play"));

    ASSERT_EQ(Rows(model), (Lines{cUrlA + " 9", cUrlA + " 0", cUrlB + " 7"}));
    const WebServiceInfoPtr pGroup = model.GetService(0);
    EXPECT_EQ(pGroup->GetServiceName(), "Channel");
    EXPECT_EQ(pGroup->GetStatus(), JoxWsdd::JoxTypesMaster::eStatusNone);
    EXPECT_EQ(pGroup->GetStatusName(), "");
    EXPECT_EQ(pGroup->GetStatusBlockedBy(), "");
    EXPECT_EQ(pGroup->GetServiceTypeList(), QList<WebServiceInfo::ServiceType>{WebServiceInfo::ServiceTypeMos});
    EXPECT_EQ(pGroup->GetSoftwareName(), "Play");
    EXPECT_EQ(log.mLines, (Lines{"added " + cUrlA + " 0 free/", "added " + cUrlA + " 9 /"}));
}

TEST(ConnectionModelTest, FurtherChannelServicesUpdateTheGroupEntry)
{
    ConnectionModel model;
    model.AddSorted(Service(cUrlA, "service_name__MOS status_name__free"));
    SignalLog log(model);
    model.AddSorted(Service(cUrlA, "service_name__HARLEN status_name__active hardware_name__Box"));

    ASSERT_EQ(Rows(model), (Lines{cUrlA + " 9", cUrlA + " 0", cUrlA + " 5"}));
    const WebServiceInfoPtr pGroup = model.GetService(0);
    EXPECT_EQ(pGroup->GetStatusBlockedBy(), "HARLEN");
    EXPECT_EQ(pGroup->GetActiveType(), WebServiceInfo::ServiceTypeHarlen);
    EXPECT_EQ(pGroup->GetHardwareName(), "Box");
    EXPECT_EQ(pGroup->GetServiceTypeList(),
              (QList<WebServiceInfo::ServiceType>{WebServiceInfo::ServiceTypeMos, WebServiceInfo::ServiceTypeHarlen}));
    EXPECT_EQ(log.mLines, (Lines{"changed " + cUrlA + " 9 / -> " + cUrlA + " 9 /HARLEN",
                                 "added " + cUrlA + " 5 active/"}));

    // A free newcomer leaves the holder alone.
    model.AddSorted(Service(cUrlA, "service_name__FIMS_transfer status_name__free"));
    EXPECT_EQ(pGroup->GetStatusBlockedBy(), "HARLEN");

    // A blocked service names its own holder.
    model.AddSorted(Service(cUrlA, "service_name__FIMS_capture status_name__blocked status_blockedby__MOS"));
    EXPECT_EQ(pGroup->GetStatusBlockedBy(), "MOS");
}

TEST(ConnectionModelTest, ChangesStayInPlaceAndReleaseTheGroupHolder)
{
    ConnectionModel model;
    model.AddSorted(Service(cUrlA, "service_name__MOS status_name__free"));
    model.AddSorted(Service(cUrlB, "service_name__MAINTENANCE"));
    const WebServiceInfoPtr pGroup = model.GetService(0);
    // A new group entry names no holder; an active service becomes it.
    EXPECT_EQ(pGroup->GetStatusBlockedBy(), "");
    model.Changed(model.GetService(1), Service(cUrlA, "service_name__MOS status_name__active"));
    ASSERT_EQ(pGroup->GetStatusBlockedBy(), "MOS");

    SignalLog log(model);
    QSignalSpy rowsChanged(&model, &ConnectionModel::dataChanged);
    const WebServiceInfoPtr pPrevious = model.GetService(1);
    const WebServiceInfoPtr pFree = Service(cUrlA, "service_name__MOS status_name__free");
    model.Changed(pPrevious, pFree);

    EXPECT_EQ(model.GetService(1), pFree);
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(pGroup->GetStatusBlockedBy(), "");
    EXPECT_EQ(log.mLines, (Lines{"changed " + cUrlA + " 0 active/ -> " + cUrlA + " 0 free/",
                                 "changed " + cUrlA + " 9 /MOS -> " + cUrlA + " 9 /"}));
    ASSERT_EQ(rowsChanged.size(), 2);
    EXPECT_EQ(rowsChanged.at(0).at(0).value<QModelIndex>().row(), 1);
    EXPECT_EQ(rowsChanged.at(1).at(0).value<QModelIndex>().row(), 0);

    // A change of an unknown entry adds it.
    model.Changed(WebServiceInfoPtr(), Service("http://10.0.0.0:1", "service_name__QUOREL"));
    EXPECT_EQ(Rows(model).front(), "http://10.0.0.0:1 4");
}

TEST(ConnectionModelTest, StaticEntriesAreReplacedAndNeverRemoved)
{
    ConnectionModel model;
    const WebServiceInfoPtr pStatic =
        boost::make_shared<WebServiceInfo>(QString::fromStdString(cUrlB), true, WebServiceInfo::ServiceTypeMaintenance);
    model.AddSorted(pStatic);
    SignalLog log(model);
    const WebServiceInfoPtr pFound = Service(cUrlB, "service_name__MAINTENANCE status_name__active");
    model.AddSorted(pFound);

    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.GetService(0), pFound);
    EXPECT_TRUE(pFound->IsStatic());
    ASSERT_EQ(log.mLines.size(), 1u);
    EXPECT_EQ(log.mLines[0].rfind("changed ", 0), 0u);

    model.Remove(pFound);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.GetService(0)->GetStatus(), JoxWsdd::JoxTypesMaster::eStatusNone);
    EXPECT_EQ(log.mLines.back(), "changed " + cUrlB + " 7 active/ -> " + cUrlB + " 7 /");
}

TEST(ConnectionModelTest, RemovingTheLastChannelServiceRemovesItsGroupEntry)
{
    ConnectionModel model;
    const WebServiceInfoPtr pMos = Service(cUrlA, "service_name__MOS status_name__active");
    const WebServiceInfoPtr pHarlen = Service(cUrlA, "service_name__HARLEN status_name__free");
    model.AddSorted(pMos);
    model.AddSorted(pHarlen);
    model.AddSorted(Service(cUrlB, "service_name__MAINTENANCE"));
    SignalLog log(model);

    model.Remove(Service(cUrlA, "service_name__MOS"));
    ASSERT_EQ(Rows(model), (Lines{cUrlA + " 9", cUrlA + " 5", cUrlB + " 7"}));
    EXPECT_EQ(model.GetService(0)->GetStatusBlockedBy(), "");
    EXPECT_EQ(model.GetService(0)->GetServiceTypeList(),
              QList<WebServiceInfo::ServiceType>{WebServiceInfo::ServiceTypeHarlen});

    log.mLines.clear();
    model.Remove(pHarlen);
    EXPECT_EQ(Rows(model), (Lines{cUrlB + " 7"}));
    EXPECT_EQ(log.mLines, (Lines{"removed " + cUrlA + " 5 free/", "removed " + cUrlA + " 9 /"}));

    model.Remove(WebServiceInfoPtr());
    model.Remove(Service("http://10.9.9.9:1", "service_name__MAINTENANCE"));
    EXPECT_EQ(model.rowCount(), 1);
}

TEST(ConnectionModelTest, StaticGroupEntryStaysWhenItsServicesGo)
{
    ConnectionModel model;
    const WebServiceInfoPtr pStatic =
        boost::make_shared<WebServiceInfo>(QString::fromStdString(cUrlA), true, WebServiceInfo::ServiceTypeMos);
    model.AddSorted(pStatic);
    ASSERT_EQ(Rows(model), (Lines{cUrlA + " 9", cUrlA + " 0"}));
    EXPECT_TRUE(model.GetService(0)->IsStatic());

    // Discovered services of another type come and go; the static ones stay.
    const WebServiceInfoPtr pCapture = Service(cUrlA, "service_name__FIMS_capture status_name__active");
    model.AddSorted(pCapture);
    model.Remove(pCapture);
    EXPECT_EQ(Rows(model), (Lines{cUrlA + " 9", cUrlA + " 0"}));
}

TEST(ConnectionModelTest, RowsOutsideTheListGiveDefaultEntries)
{
    ConnectionModel model;
    model.AddSorted(Service(cUrlB, "service_name__MAINTENANCE"));
    for (int row : {-1, 1, 100})
    {
        const WebServiceInfoPtr pEntry = model.GetService(row);
        ASSERT_TRUE(pEntry);
        EXPECT_FALSE(pEntry->IsValid());
    }
    model.Insert(-1, Service(cUrlA, "service_name__QUOREL"));
    model.Insert(2, Service(cUrlA, "service_name__QUOREL"));
    model.Remove(5);
    model.Remove(-1);
    EXPECT_EQ(model.rowCount(), 1);
    model.Insert(1, Service(cUrlA, "service_name__QUOREL"));
    EXPECT_EQ(model.rowCount(), 2);
}

TEST(ConnectionModelTest, ClearResetsAndRegroupReportsColumnZero)
{
    ConnectionModel model;
    QSignalSpy resets(&model, &ConnectionModel::modelReset);
    QSignalSpy changes(&model, &ConnectionModel::dataChanged);
    QSignalSpy errors(&model, &ConnectionModel::SignalError);
    model.Regroup();
    EXPECT_EQ(changes.size(), 0);
    model.AddSorted(Service(cUrlA, "service_name__MOS"));
    model.AddSorted(Service(cUrlB, "service_name__MAINTENANCE"));
    changes.clear();
    model.Regroup();
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes.at(0).at(0).value<QModelIndex>(), model.index(0, 0));
    EXPECT_EQ(changes.at(0).at(1).value<QModelIndex>(), model.index(2, 0));
    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(resets.size(), 1);
    model.SetError(QStringLiteral("no socket"));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.at(0).at(0).toString(), QStringLiteral("no socket"));
}

TEST(ConnectionModelTest, DepartureOfAConfiguredServerKeepsItsRow)
{
    ConnectionModel model;
    const WebServiceInfoPtr pStatic =
        boost::make_shared<WebServiceInfo>(QString::fromStdString(cUrlB), true, WebServiceInfo::ServiceTypeMaintenance);
    model.AddSorted(pStatic);
    const WebServiceInfoPtr pFound = Service(cUrlB, "service_name__MAINTENANCE status_name__active");
    model.AddSorted(pFound);
    ASSERT_TRUE(model.GetService(0)->IsStatic());

    // A change keeps the row configured.
    const WebServiceInfoPtr pChanged = Service(cUrlB, "service_name__MAINTENANCE status_name__active service_version__2");
    model.Changed(pFound, pChanged);
    EXPECT_TRUE(model.GetService(0)->IsStatic());
    EXPECT_EQ(model.GetService(0), pChanged);

    // A Bye is reported with a new, unflagged entry of the same service.
    SignalLog log(model);
    model.Remove(Service(cUrlB, "service_name__MAINTENANCE"));
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.GetService(0)->GetStatus(), JoxWsdd::JoxTypesMaster::eStatusNone);
    EXPECT_EQ(log.mLines, (Lines{"changed " + cUrlB + " 7 active/ -> " + cUrlB + " 7 /"}));
    // The reported objects themselves are left as they were.
    EXPECT_EQ(pChanged->GetStatus(), JoxWsdd::JoxTypesMaster::eStatusActive);
    model.Remove(pChanged);
    EXPECT_EQ(pChanged->GetStatus(), JoxWsdd::JoxTypesMaster::eStatusActive);
    EXPECT_EQ(model.rowCount(), 1);
}

// Many arrivals in scrambled order end in URL order, equal URLs in arrival
// order; once a change has moved a row's URL out of order, a newcomer is
// placed as the scan from the top places it (before the first larger URL).
TEST(ConnectionModelOrderTest, ArrivalsSortByUrlAlsoAfterAMovedUrl)
{
    ConnectionModel model;
    std::vector<std::string> expected;
    for (int step = 0; step < 300; ++step)
    {
        const int host = (step * 37) % 101;
        const std::string url = "http://10.0.0." + std::to_string(host) + ":8080";
        const char* pName = step % 2 == 0 ? "service_name__MAINTENANCE" : "service_name__QUOREL";
        if (std::find(expected.begin(), expected.end(), url + " " + (step % 2 == 0 ? "7" : "4")) != expected.end())
            continue;
        model.AddSorted(Service(url, pName));
        expected.push_back(url + " " + (step % 2 == 0 ? "7" : "4"));
    }
    std::stable_sort(expected.begin(), expected.end(), [](const std::string& rLeft, const std::string& rRight) {
        return QString::fromStdString(rLeft.substr(0, rLeft.find(' '))) <
               QString::fromStdString(rRight.substr(0, rRight.find(' ')));
    });
    EXPECT_EQ(Rows(model), expected);

    ConnectionModel moved;
    for (const char* pUrl : {"http://10.0.0.1:8080", "http://10.0.0.3:8080", "http://10.0.0.5:8080"})
        moved.AddSorted(Service(pUrl, "service_name__MAINTENANCE"));
    // The second row's service now answers at a URL that sorts last; the row stays.
    const WebServiceInfoPtr pSecond = moved.GetService(1);
    const auto pMoved = boost::make_shared<WebServiceInfo>(pSecond->GetEndpoint().c_str(), pSecond->GetTypesList(),
                                                           "http://10.0.0.9:8080");
    moved.Changed(pSecond, pMoved);
    moved.AddSorted(Service("http://10.0.0.6:8080", "service_name__MAINTENANCE"));
    moved.AddSorted(Service("http://10.0.0.0:8080", "service_name__MAINTENANCE"));
    EXPECT_EQ(Rows(moved), Lines({"http://10.0.0.0:8080 7", "http://10.0.0.1:8080 7", "http://10.0.0.6:8080 7",
                                  "http://10.0.0.9:8080 7", "http://10.0.0.5:8080 7"}));
    // Without the stray row, 6 still stands before 5: the newcomer goes
    // before the first larger URL from the top.
    moved.Remove(pMoved);
    moved.AddSorted(Service("http://10.0.0.4:8080", "service_name__MAINTENANCE"));
    EXPECT_EQ(Rows(moved), Lines({"http://10.0.0.0:8080 7", "http://10.0.0.1:8080 7", "http://10.0.0.4:8080 7",
                                  "http://10.0.0.6:8080 7", "http://10.0.0.5:8080 7"}));
    // Once the rows are in order again, a newcomer finds its place by URL.
    moved.Remove(moved.GetService(3));
    moved.AddSorted(Service("http://10.0.0.7:8080", "service_name__MAINTENANCE"));
    moved.AddSorted(Service("http://10.0.0.2:8080", "service_name__MAINTENANCE"));
    EXPECT_EQ(Rows(moved), Lines({"http://10.0.0.0:8080 7", "http://10.0.0.1:8080 7", "http://10.0.0.2:8080 7",
                                  "http://10.0.0.4:8080 7", "http://10.0.0.5:8080 7", "http://10.0.0.7:8080 7"}));
}
