// The repository with filter against hand-built announcements.

#include <joxwsdd/IWSDDProbeMatches.h>
#include <joxwsdd/QNames.h>
#include <joxwsdd/WSDDClient.h>
#include <joxwsdd/WebServiceRepositoryWithFilter.h>

#include <joxconfig/ConfigWsddClient.h>
#include <joxconfig/IConfigWsddClient.h>
#include <joxlog/JoxLog.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "TestRepository.h"

#include <QCoreApplication>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <atomic>
#include <mutex>
#include <stdexcept>

using JoxWsdd::WebServiceInfo;
using JoxWsdd::WebServiceInfoPtr;

namespace {

class FakeMatches : public JoxWsdd::IWSDDProbeMatches
{
public:
    size_t GetMatchCount() const override { return mMatches.size(); }
    bool GetMatch(size_t index, ProbeMatch& rOut) const override
    {
        if (index >= mMatches.size())
            return false;
        rOut = mMatches[index];
        return true;
    }
    std::vector<ProbeMatch> mMatches;
};

class FakeConfig : public JoxConfig::IConfigWsddClient
{
public:
    QStringList GetBlacklistUrls() const override { return mBlack; }
    QStringList GetWhitelistUrls() const override { return mWhite; }
    std::vector<std::string> GetMutedLocalIps() const override { return mMuted; }
    QList<QPair<QString, QString>> GetStaticUrls() const override { return mStatic; }
    QStringList mBlack;
    QStringList mWhite;
    std::vector<std::string> mMuted;
    QList<QPair<QString, QString>> mStatic;
};

std::mutex gLogLock;
std::vector<std::string> gLogged;

void CaptureLog(int level, int, const char* category, const char* message, const char*, int, const char*,
                const JoxCore::TimeStamp*)
{
    std::lock_guard<std::mutex> lock(gLogLock);
    gLogged.push_back(std::to_string(level) + " " + category + ": " + message);
}

const char* const cEndpoint = "urn:uuid:0a0a0a0a-0000-4000-8000-000000000001";
const char* const cXAddrs = "http://10.0.0.5:8080/maintenance";

class RepositoryTest : public ::testing::Test
{
protected:
    RepositoryTest()
        : mClient(std::vector<JoxWsdd::WSDDClient::ClientThreadParameter>{}),
          mpRepository(boost::make_shared<TestRepository>(&mClient)),
          mAdded(mpRepository.get(), &JoxWsdd::WebServiceRepositoryWithFilter::ServiceAdded),
          mChanged(mpRepository.get(), &JoxWsdd::WebServiceRepositoryWithFilter::ServiceChanged),
          mRemoved(mpRepository.get(), &JoxWsdd::WebServiceRepositoryWithFilter::ServiceRemoved)
    {
        mpRepository->SetRequestedServices({"MAINTENANCE"});
        std::lock_guard<std::mutex> lock(gLogLock);
        gLogged.clear();
    }

    static WebServiceInfoPtr Entry(const QSignalSpy& rSpy, int index, int argument = 0)
    {
        return rSpy.at(index).at(argument).value<WebServiceInfoPtr>();
    }

    JoxCore::SetLogHandler mHandler{CaptureLog};
    JoxWsdd::WSDDClient mClient;
    boost::shared_ptr<TestRepository> mpRepository;
    QSignalSpy mAdded;
    QSignalSpy mChanged;
    QSignalSpy mRemoved;
};

std::list<std::string> Types(const char* pText)
{
    return JoxWsdd::SplitQNames(pText);
}

} // namespace

TEST(RepositoryConstructionTest, NullClientThrows)
{
    EXPECT_THROW(TestRepository(nullptr), std::invalid_argument);
    try
    {
        TestRepository repository(nullptr);
    }
    catch (const std::invalid_argument& rError)
    {
        EXPECT_STREQ(rError.what(), "pClient==0");
    }
}

TEST_F(RepositoryTest, EqualAnnouncementsGiveOneAdd)
{
    const auto types = Types("tds:Device service_name__MAINTENANCE status_name__free");
    mpRepository->OnHello(cEndpoint, types, nullptr, 1, cXAddrs);
    FakeMatches matches;
    JoxWsdd::IWSDDProbeMatches::ProbeMatch match;
    match.endpoint = cEndpoint;
    match.types = "tds:Device service_name__MAINTENANCE status_name__free";
    match.xAddrs = cXAddrs;
    matches.mMatches.push_back(match);
    mpRepository->OnProbeMatch(matches, "urn:uuid:m");
    mpRepository->OnResolveMatch(cEndpoint, types, nullptr, 1, cXAddrs);
    mpRepository->OnHello(cEndpoint, types, nullptr, 1, cXAddrs);

    ASSERT_EQ(mAdded.count(), 1);
    EXPECT_EQ(mChanged.count(), 0);
    EXPECT_EQ(mpRepository->GetServiceCount(), 1u);
    const WebServiceInfoPtr added = Entry(mAdded, 0);
    EXPECT_EQ(added->GetEndpoint(), cEndpoint);
    EXPECT_EQ(added->GetServiceType(), WebServiceInfo::ServiceTypeMaintenance);
    // The signal carries the stored object itself.
    EXPECT_EQ(static_cast<void*>(mpRepository->GetAllServices().front().get()), static_cast<void*>(added.get()));
    std::lock_guard<std::mutex> lock(gLogLock);
    EXPECT_EQ(gLogged, std::vector<std::string>(
                           {std::string("3 WebServiceRepositoryWithFilter::OnServiceAdded: Added service ") + cXAddrs}));
}

TEST_F(RepositoryTest, ChangedStatusGivesOneChangeAndMovesTheEntryLast)
{
    mpRepository->OnHello(cEndpoint, Types("service_name__MAINTENANCE status_name__free"), nullptr, 1, cXAddrs);
    mpRepository->OnHello("urn:uuid:other", Types("service_name__MAINTENANCE"), nullptr, 1, "http://10.0.0.6:1");
    mpRepository->OnHello(cEndpoint, Types("service_name__MAINTENANCE status_name__active"), nullptr, 2, cXAddrs);
    EXPECT_EQ(mAdded.count(), 2);
    ASSERT_EQ(mChanged.count(), 1);
    EXPECT_EQ(Entry(mChanged, 0, 0)->GetStatus(), WebServiceInfo::eStatusFree);
    EXPECT_EQ(Entry(mChanged, 0, 1)->GetStatus(), WebServiceInfo::eStatusActive);
    const auto services = mpRepository->GetAllServices();
    ASSERT_EQ(services.size(), 2u);
    EXPECT_EQ(boost::static_pointer_cast<WebServiceInfo>(services.back())->GetEndpoint(), cEndpoint);
}

TEST_F(RepositoryTest, OnlyRequestedServicesAreTakenFromHelloAndProbeMatch)
{
    mpRepository->OnHello(cEndpoint, Types("service_name__MOS"), nullptr, 1, cXAddrs);
    FakeMatches matches;
    JoxWsdd::IWSDDProbeMatches::ProbeMatch match;
    match.endpoint = cEndpoint;
    match.types = "service_name__MOS";
    match.xAddrs = cXAddrs;
    matches.mMatches.push_back(match);
    mpRepository->OnProbeMatch(matches, "urn:uuid:m");
    EXPECT_EQ(mpRepository->GetServiceCount(), 0u);
    // A resolved service is taken whatever its name.
    mpRepository->OnResolveMatch(cEndpoint, Types("service_name__MOS"), nullptr, 1, cXAddrs);
    EXPECT_EQ(mpRepository->GetServiceCount(), 1u);
    EXPECT_EQ(mAdded.count(), 1);
}

TEST_F(RepositoryTest, EntryWithoutAddressWaitsForItsResolveMatch)
{
    mpRepository->OnHello(cEndpoint, Types("service_name__MAINTENANCE"), nullptr, 1, nullptr);
    EXPECT_EQ(mAdded.count(), 0);
    EXPECT_EQ(mpRepository->GetServiceCount(), 1u);
    mpRepository->OnResolveMatch(cEndpoint, Types("service_name__MAINTENANCE"), nullptr, 1, cXAddrs);
    ASSERT_EQ(mChanged.count(), 1);
    EXPECT_EQ(Entry(mChanged, 0, 1)->GetUrl(), cXAddrs);
    EXPECT_EQ(mpRepository->GetServiceCount(), 1u);
}

TEST_F(RepositoryTest, WhiteAndBlackLists)
{
    const struct
    {
        QStringList mWhite;
        QStringList mBlack;
        bool mFirstShown;
        bool mSecondShown;
    } cases[] = {
        {{}, {}, true, true},
        {{"10.0.0.5:*"}, {}, true, false},
        {{"10.0.0.5:*"}, {"10.0.0.5:*"}, false, false},
        {{}, {"10.0.0.5:8080"}, false, true},
        {{"10.0.0.5:9999"}, {}, false, false},
        {{"Second"}, {}, false, true},          // display names from "description_name"
        {{"http:10.0.0.6:1"}, {}, false, true},
    };
    for (const auto& rCase : cases)
    {
        mAdded.clear();
        mpRepository->SetWhiteList(rCase.mWhite);
        mpRepository->SetBlackList(rCase.mBlack);
        mpRepository->RefreshServices();
        mpRepository->OnHello("urn:uuid:first", Types("service_name__MAINTENANCE"), nullptr, 1, cXAddrs);
        mpRepository->OnHello("urn:uuid:second", Types("service_name__MAINTENANCE description_name__Second"), nullptr,
                              1, "http://10.0.0.6:1");
        QStringList shown;
        for (int index = 0; index < mAdded.count(); ++index)
            shown.append(QString::fromStdString(Entry(mAdded, index)->GetEndpoint()));
        EXPECT_EQ(shown.contains("urn:uuid:first"), rCase.mFirstShown) << rCase.mWhite.join(",").toStdString();
        EXPECT_EQ(shown.contains("urn:uuid:second"), rCase.mSecondShown) << rCase.mWhite.join(",").toStdString();
        EXPECT_EQ(mpRepository->GetServiceCount(), 2u);
    }
    EXPECT_EQ(mpRepository->GetWhiteList(), QStringList({"http:10.0.0.6:1"}));
}

TEST_F(RepositoryTest, ByeRemovesTheStoredEntry)
{
    mpRepository->OnHello(cEndpoint, Types("service_name__MAINTENANCE"), nullptr, 1, cXAddrs);
    // A Bye without the service name finds nothing (the service type differs).
    mpRepository->OnBye(cEndpoint, {}, nullptr, 0, nullptr);
    EXPECT_EQ(mpRepository->GetServiceCount(), 1u);
    mpRepository->OnBye(cEndpoint, Types("service_name__MAINTENANCE"), nullptr, 0, nullptr);
    EXPECT_EQ(mpRepository->GetServiceCount(), 0u);
    ASSERT_EQ(mRemoved.count(), 1);
    // Reported with the entry built from the Bye, which has no address.
    EXPECT_FALSE(Entry(mRemoved, 0)->HasXAddress());

    // With a white list of addresses the Bye's entry cannot match: logged, not reported.
    mpRepository->SetWhiteList({"10.0.0.5:*"});
    mpRepository->OnHello(cEndpoint, Types("service_name__MAINTENANCE"), nullptr, 1, cXAddrs);
    mpRepository->OnBye(cEndpoint, Types("service_name__MAINTENANCE"), nullptr, 0, nullptr);
    EXPECT_EQ(mpRepository->GetServiceCount(), 0u);
    EXPECT_EQ(mRemoved.count(), 1);
    std::lock_guard<std::mutex> lock(gLogLock);
    EXPECT_EQ(gLogged.back(), "3 WebServiceRepositoryWithFilter::OnServiceRemoved: Ignoring service ");
}

TEST_F(RepositoryTest, StaticEntriesFromTheSettings)
{
    FakeConfig config;
    config.mStatic = {{"10.0.0.9:8080", "MAINTENANCE"}, {"10.0.0.10:*", "QUOREL"}};
    config.mWhite = {"10.0.0.9:*", "10.0.0.10:*"};
    config.mBlack = {"10.0.0.66:*"};
    mpRepository->ReadSettings(config);
    EXPECT_EQ(mpRepository->GetWhiteList(), config.mWhite);
    EXPECT_EQ(mpRepository->GetBlackList(), config.mBlack);
    ASSERT_EQ(mAdded.count(), 2);
    const WebServiceInfoPtr first = Entry(mAdded, 0);
    EXPECT_TRUE(first->IsStatic());
    EXPECT_EQ(first->GetServiceType(), WebServiceInfo::ServiceTypeMaintenance);
    EXPECT_EQ(first->GetUrl(), "10.0.0.9:8080");
    EXPECT_EQ(Entry(mAdded, 1)->GetServiceType(), WebServiceInfo::ServiceTypeQuorel);

    // A discovered entry of the same first URL and type is the same service.
    mpRepository->OnHello("urn:uuid:s", Types("service_name__MAINTENANCE"), nullptr, 1, "10.0.0.9:8080");
    EXPECT_EQ(mpRepository->GetServiceCount(), 2u);
    EXPECT_EQ(mChanged.count(), 1);

    // Refreshing forgets everything and stores the same static objects again.
    mAdded.clear();
    mpRepository->RefreshServices();
    EXPECT_EQ(mRemoved.count(), 2);
    ASSERT_EQ(mAdded.count(), 2);
    EXPECT_EQ(Entry(mAdded, 0).get(), first.get());
    // Nothing to mute or unmute: nothing logged about it.
    std::lock_guard<std::mutex> lock(gLogLock);
    for (const std::string& rLine : gLogged)
        EXPECT_EQ(rLine.find("Unable to Mute"), std::string::npos) << rLine;
}

TEST_F(RepositoryTest, SignalsReachAnotherThreadQueued)
{
    QThread thread;
    QObject receiver;
    receiver.moveToThread(&thread);
    thread.start();
    std::atomic<int> received{0};
    std::atomic<bool> otherThread{false};
    QObject::connect(mpRepository.get(), &JoxWsdd::WebServiceRepositoryWithFilter::ServiceAdded, &receiver,
                     [&](WebServiceInfoPtr entry) {
                         otherThread = QThread::currentThread() == &thread;
                         if (entry && entry->GetEndpoint() == cEndpoint)
                             ++received;
                     });
    mpRepository->OnHello(cEndpoint, Types("service_name__MAINTENANCE"), nullptr, 1, cXAddrs);
    EXPECT_TRUE(QTest::qWaitFor([&] { return received.load() == 1; }, 3000));
    EXPECT_TRUE(otherThread.load());
    thread.quit();
    thread.wait();
}

TEST_F(RepositoryTest, SettingsFileFeedsTheRepository)
{
    tandriltest::TempDir folder;
    const QString path = QString::fromStdString(folder.File("wsdd_client.conf"));
    {
        JoxConfig::ConfigWsddClient written(QStringLiteral("Tandril"));
        written.AddStaticEntry(boost::make_shared<JoxConfig::ConfigWsddClientEntry>(
            QStringLiteral("10.0.0.7"), 8012, QStringLiteral("CHANNEL"), QString()));
        written.AddStaticEntry(boost::make_shared<JoxConfig::ConfigWsddClientEntry>(
            QStringLiteral("10.0.0.8"), 8013, QStringLiteral("MACHINE"), QString()));
        written.AddBlacklistEntry(boost::make_shared<JoxConfig::ConfigWsddClientEntry>(
            QStringLiteral("10.0.0.6"), 8011, QStringLiteral("MACHINE"), QString()));
        QSettings settings(path, QSettings::IniFormat);
        written.WriteToSettings(settings);
        settings.sync();
    }
    JoxConfig::ConfigWsddClient read(QStringLiteral("Tandril"));
    QSettings settings(path, QSettings::IniFormat);
    read.ReadFromSettings(settings);
    mpRepository->ReadSettings(read);

    ASSERT_EQ(mAdded.count(), 2);
    EXPECT_TRUE(Entry(mAdded, 0)->IsStatic());
    EXPECT_EQ(Entry(mAdded, 0)->GetUrl(), "10.0.0.7:8012");
    EXPECT_EQ(Entry(mAdded, 0)->GetServiceType(), WebServiceInfo::ServiceTypeChannel);
    EXPECT_EQ(Entry(mAdded, 1)->GetUrl(), "10.0.0.8:*");
    EXPECT_EQ(Entry(mAdded, 1)->GetServiceType(), WebServiceInfo::ServiceTypeMachine);
    // A machine on the black list is stored but not reported.
    mpRepository->OnHello("urn:uuid:black", Types("service_name__MAINTENANCE"), nullptr, 1, "http://10.0.0.6:9000");
    EXPECT_EQ(mAdded.count(), 2);
    EXPECT_EQ(mpRepository->GetServiceCount(), 3u);
}

namespace {

// Stores entries directly, as the settings and the announcements do.
class DirectRepository : public TestRepository
{
public:
    using TestRepository::TestRepository;
    using TestRepository::AddService;
};

} // namespace

// The indexes answer as a walk over the list would: the first stored entry
// that Equals the asked one (same type; same endpoint when both have one,
// else the same first URL), through additions, changes and removals.
TEST(RepositoryIndexTest, FindsWhatAWalkOverTheListFinds)
{
    JoxWsdd::WSDDClient client(std::vector<JoxWsdd::WSDDClient::ClientThreadParameter>{});
    const auto pRepository = boost::make_shared<DirectRepository>(&client);
    pRepository->SetRequestedServices({"MAINTENANCE", "QUOREL"});
    const std::vector<const char*> endpoints = {"", "urn:uuid:a", "urn:uuid:b"};
    const std::vector<const char*> urls = {"http://10.0.0.1:8080", "http://10.0.0.2:8080"};
    const std::vector<const char*> names = {"service_name__MAINTENANCE", "service_name__QUOREL"};
    std::vector<WebServiceInfoPtr> queries;
    for (const char* pEndpoint : endpoints)
        for (const char* pUrl : urls)
            for (const char* pName : names)
                queries.push_back(boost::make_shared<WebServiceInfo>(pEndpoint, Types(pName), pUrl));

    const auto check = [&](const std::string& rStep) {
        const auto stored = pRepository->GetAllServices();
        for (const WebServiceInfoPtr& rQuery : queries)
        {
            JoxWsdd::WebServiceRepository::EntryPtr walked;
            for (const auto& rEntry : stored)
            {
                if (rQuery->Equals(*rEntry))
                {
                    walked = rEntry;
                    break;
                }
            }
            EXPECT_EQ(pRepository->FindEqual(rQuery).get(), walked.get())
                << rStep << ": " << rQuery->GetEndpoint() << " " << rQuery->GetUrl().toStdString() << " "
                << rQuery->GetServiceType();
        }
    };
    // A configured entry (no endpoint) first, then discovered ones at its URL
    // and elsewhere, a change that moves an entry last, an endpoint-less
    // announcement that replaces the first of several, and removals.
    pRepository->AddService(boost::make_shared<WebServiceInfo>("http://10.0.0.1:8080", true,
                                                               WebServiceInfo::ServiceTypeMaintenance));
    check("static");
    pRepository->OnHello("urn:uuid:a", Types("service_name__QUOREL"), nullptr, 1, "http://10.0.0.1:8080");
    pRepository->OnHello("urn:uuid:b", Types("service_name__QUOREL"), nullptr, 1, "http://10.0.0.1:8080");
    pRepository->OnHello("urn:uuid:a", Types("service_name__MAINTENANCE"), nullptr, 1, "http://10.0.0.2:8080");
    check("hellos");
    pRepository->OnHello("urn:uuid:a", Types("service_name__QUOREL status_name__active"), nullptr, 2,
                         "http://10.0.0.2:8080");
    check("change");
    pRepository->OnResolveMatch("", Types("service_name__QUOREL"), nullptr, 1, "http://10.0.0.1:8080");
    pRepository->OnResolveMatch("", Types("service_name__QUOREL status_name__free"), nullptr, 1,
                                "http://10.0.0.1:8080");
    check("without endpoint");
    pRepository->OnBye("urn:uuid:a", Types("service_name__MAINTENANCE"), nullptr, 0, nullptr);
    pRepository->OnBye("urn:uuid:b", Types("service_name__QUOREL"), nullptr, 0, nullptr);
    check("byes");
    EXPECT_GT(pRepository->GetServiceCount(), 0u);
}

// Past the limit of discovered entries a new service is refused, with one
// level-2 record however many are refused; changes, departures and static
// entries go on as before, and a departure makes room again.
TEST_F(RepositoryTest, DiscoveredEntriesAreBounded)
{
    EXPECT_EQ(mpRepository->GetDiscoveredLimit(), 20000u);
    mpRepository->SetDiscoveredLimit(3);
    const auto hello = [&](int number, const char* pStatus = "status_name__free") {
        const std::string endpoint = "urn:uuid:" + std::to_string(number);
        const std::string url = "http://10.0.1." + std::to_string(number) + ":8080";
        mpRepository->OnHello(endpoint.c_str(), Types((std::string("service_name__MAINTENANCE ") + pStatus).c_str()),
                              nullptr, 1, url.c_str());
    };
    for (int number = 1; number <= 10; ++number)
        hello(number);
    EXPECT_EQ(mpRepository->GetServiceCount(), 3u);
    EXPECT_EQ(mAdded.count(), 3);
    {
        std::lock_guard<std::mutex> lock(gLogLock);
        const auto refusals = std::count_if(gLogged.begin(), gLogged.end(), [](const std::string& rLine) {
            return rLine.compare(0, 2, "2 ") == 0 && rLine.find("Holding 3 discovered services") != std::string::npos;
        });
        EXPECT_EQ(refusals, 1);
    }
    // A known service still changes.
    hello(2, "status_name__active");
    EXPECT_EQ(mChanged.count(), 1);
    // A configured entry is always taken.
    FakeConfig config;
    config.mStatic = {{"10.0.0.9:8080", "MAINTENANCE"}};
    mpRepository->ReadSettings(config);
    EXPECT_EQ(mpRepository->GetServiceCount(), 4u);
    // A departure makes room for one more.
    mpRepository->OnBye("urn:uuid:1", Types("service_name__MAINTENANCE"), nullptr, 0, nullptr);
    hello(11);
    hello(12);
    EXPECT_EQ(mpRepository->GetServiceCount(), 4u);
    EXPECT_EQ(mAdded.count(), 5);
    EXPECT_EQ(Entry(mAdded, 4)->GetEndpoint(), "urn:uuid:11");
}
