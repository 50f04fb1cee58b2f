// All nine operations against the simulated media server.
#include "ProtocolTestSupport.h"

#include "TempDir.h"
#include "simserver/SimServer.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace joxmaintenance;
using simserver::Fault;
using simserver::SimServer;

namespace {

// What the test streaming callbacks saw of the attachments of one call.
struct Received
{
    int mOpened = 0;
    int mClosed = 0;
    std::string mId;
    std::string mType;
    std::string mOptionPath;
    std::string mData;
    std::size_t mWrites = 0;
};

void* Open(struct soap* pSoap, const char* pId, const char* pType, const char* pOptions)
{
    auto* pReceived = static_cast<Received*>(pSoap->user);
    ++pReceived->mOpened;
    pReceived->mId = pId ? pId : "";
    pReceived->mType = pType ? pType : "";
    if (pOptions)
    {
        const std::size_t length = (static_cast<unsigned char>(pOptions[2]) << 8) | static_cast<unsigned char>(pOptions[3]);
        pReceived->mOptionPath.assign(pOptions + 4, length);
    }
    return pReceived;
}

int Write(struct soap*, void* pHandle, const char* pData, size_t length)
{
    auto* pReceived = static_cast<Received*>(pHandle);
    pReceived->mData.append(pData, length);
    ++pReceived->mWrites;
    return SOAP_OK;
}

void Close(struct soap*, void* pHandle)
{
    ++static_cast<Received*>(pHandle)->mClosed;
}

class RoundTripTest : public ::testing::Test
{
protected:
    RoundTripTest()
        : mServer(mFolder.File("server"))
    {
    }

    void SetUp() override
    {
        ASSERT_TRUE(mServer.Start()) << mServer.GetError();
        mUrl = mServer.GetUrl();
        mProxy.soap->user = &mReceived;
        mProxy.soap->fdimewriteopen = Open;
        mProxy.soap->fdimewrite = Write;
        mProxy.soap->fdimewriteclose = Close;
    }

    void TearDown() override
    {
        mProxy.destroy();
        mServer.Stop();
    }

    tandriltest::TempDir mFolder;
    SimServer mServer;
    std::string mUrl;
    ServiceProxy mProxy{SOAP_IO_CHUNK};
    Received mReceived;
};

TEST_F(RoundTripTest, InformationSourcesAndStatus)
{
    mServer.SetInformation({"1.0", "Studio \xE9 A", "4.2.0.7"});
    mServer.SetLogSources({{"harlenchannel1", "2026-03-01T10:00:00", 600}, {"systemlogs", "", 0}});
    simserver::Job job{"{a}", "10.1.1.1", "ct_collectlog", "cs_running", 37.5, 1, std::string("packing"), std::nullopt};
    mServer.SetJobs({job});

    jox__ServiceFetchInformationRequest informationRequest;
    jox__ServiceFetchInformationResponse information;
    ASSERT_EQ(SOAP_OK, mProxy.ServiceFetchInformation(mUrl.c_str(), "", &informationRequest, information))
        << protocoltest::FaultText(mProxy);
    EXPECT_EQ("1.0", information.ServiceVersion);
    EXPECT_EQ("Studio \xE9 A", information.Name);
    EXPECT_EQ("4.2.0.7", information.SoftwareVersion);

    jox__LogListRequest listRequest;
    jox__LogListResponse list;
    ASSERT_EQ(SOAP_OK, mProxy.LogList(mUrl.c_str(), "", &listRequest, list));
    ASSERT_NE(nullptr, list.Sources);
    ASSERT_EQ(2u, list.Sources->Source.size());
    EXPECT_EQ("harlenchannel1", list.Sources->Source[0]->Type);
    EXPECT_EQ("2026-03-01T10:00:00", list.Sources->Source[0]->StartTime);
    EXPECT_EQ(600, list.Sources->Source[0]->DurationSeconds);
    EXPECT_EQ("systemlogs", list.Sources->Source[1]->Type);

    mServer.SetNoLogSources();
    ASSERT_EQ(SOAP_OK, mProxy.LogList(mUrl.c_str(), "", &listRequest, list));
    EXPECT_EQ(nullptr, list.Sources);

    jox__LogStatusRequest statusRequest;
    jox__LogStatusResponse status;
    ASSERT_EQ(SOAP_OK, mProxy.LogStatus(mUrl.c_str(), "", &statusRequest, status));
    ASSERT_NE(nullptr, status.Status);
    ASSERT_EQ(1u, status.Status->Status.size());
    const jox__CommandStatusType& rJob = *status.Status->Status[0];
    EXPECT_EQ("{a}", rJob.CommandID);
    EXPECT_EQ("10.1.1.1", rJob.ClientIP);
    EXPECT_EQ("ct_collectlog", rJob.CommandType);
    EXPECT_EQ("cs_running", rJob.CommandStatus);
    EXPECT_DOUBLE_EQ(37.5, rJob.ProgressPercent);
    EXPECT_EQ(1, rJob.FinishedPhases);
    ASSERT_NE(nullptr, rJob.ProgressDetails);
    EXPECT_EQ("packing", *rJob.ProgressDetails);
    EXPECT_EQ(nullptr, rJob.ErrorDetails);
}

TEST_F(RoundTripTest, CreateListFetchAndDeleteCollections)
{
    jox__AvailableLogsType source;
    source.Type = "harlenws3";
    source.StartTime = "2026-03-02T08:00:00";
    source.DurationSeconds = 120;
    jox__AvailableLogsListType sources;
    sources.Source = {&source};
    jox__CommandStatusType own;
    own.CommandID = "{c1}";
    own.CommandType = "ct_collectlog";
    own.CommandStatus = "cs_pending";
    jox__LogCreateCollectionRequest create;
    create.Sources = &sources;
    create.Status = &own;
    jox__LogCreateCollectionResponse created;
    ASSERT_EQ(SOAP_OK, mProxy.LogCreateCollection(mUrl.c_str(), "", &create, created)) << protocoltest::FaultText(mProxy);
    ASSERT_NE(nullptr, created.Sources);
    ASSERT_EQ(1u, created.Sources->Source.size());
    EXPECT_EQ("harlenws3", created.Sources->Source[0]->Type);
    const simserver::ReceivedRequest received = mServer.GetRequests().back();
    EXPECT_EQ("LogCreateCollection", received.mOperation);
    ASSERT_TRUE(received.mStatus.has_value());
    EXPECT_EQ("{c1}", received.mStatus->mCommandId);
    EXPECT_EQ(120, received.mSources.at(0).mDurationSeconds);

    ASSERT_TRUE(mServer.AddCollection("older.zip", "old bytes"));
    jox__LogListCollectionsRequest listRequest;
    jox__LogListCollectionsResponse list;
    ASSERT_EQ(SOAP_OK, mProxy.LogListCollections(mUrl.c_str(), "", &listRequest, list));
    EXPECT_EQ((std::vector<std::string>{"collection_1.zip", "older.zip"}), list.LogCollection);

    jox__LogFetchCollectionRequest fetch;
    fetch.ClientPath = "/home/op/logs";
    fetch.LogFileName = "older.zip";
    jox__LogFetchCollectionResponse fetched;
    ASSERT_EQ(SOAP_OK, mProxy.LogFetchCollection(mUrl.c_str(), "", &fetch, fetched)) << protocoltest::FaultText(mProxy);
    EXPECT_EQ(1, mReceived.mOpened);
    EXPECT_EQ(1, mReceived.mClosed);
    EXPECT_EQ("old bytes", mReceived.mData);
    EXPECT_EQ("/home/op/logs/older.zip", mReceived.mOptionPath);
    ASSERT_NE(nullptr, fetched.LogFile);
    EXPECT_STREQ("cid:older.zip", fetched.LogFile->id);
    EXPECT_EQ(mReceived.mType, fetched.LogFile->type);
    EXPECT_EQ(0, fetched.LogFile->__size);

    jox__LogDeleteCollectionRequest remove;
    remove.LogFileName = "older.zip";
    jox__LogDeleteCollectionResponse removed;
    ASSERT_EQ(SOAP_OK, mProxy.LogDeleteCollection(mUrl.c_str(), "", &remove, removed));
    EXPECT_EQ((std::vector<std::string>{"collection_1.zip"}), mServer.GetCollections());
    EXPECT_EQ(SOAP_CLI_FAULT, mProxy.LogDeleteCollection(mUrl.c_str(), "", &remove, removed));
    EXPECT_STREQ("No such collection", mProxy.soap_fault_string());
    remove.LogFileName = "../server";
    EXPECT_EQ(SOAP_CLI_FAULT, mProxy.LogDeleteCollection(mUrl.c_str(), "", &remove, removed));

    jox__LogDeleteAllCollectionsRequest clear;
    jox__LogDeleteAllCollectionsResponse cleared;
    ASSERT_EQ(SOAP_OK, mProxy.LogDeleteAllCollections(mUrl.c_str(), "", &clear, cleared));
    EXPECT_TRUE(mServer.GetCollections().empty());
}

TEST_F(RoundTripTest, CreateAndFetchStreamsALargeCollectionInPieces)
{
    jox__AvailableLogsType source;
    source.Type = "systemlogs";
    source.StartTime = "2026-03-02T08:00:00";
    source.DurationSeconds = 60;
    jox__AvailableLogsListType sources;
    sources.Source = {&source};
    jox__LogCreateAndFetchCollectionRequest gather;
    gather.Sources = &sources;
    gather.LogFilePath = "C:\\Logs";
    jox__LogCreateAndFetchCollectionResponse gathered;
    ASSERT_EQ(SOAP_OK, mProxy.LogCreateAndFetchCollection(mUrl.c_str(), "", &gather, gathered))
        << protocoltest::FaultText(mProxy);
    EXPECT_EQ("C:\\Logs/collection_1.zip", mReceived.mOptionPath);
    EXPECT_EQ("simulated log collection\nsystemlogs 2026-03-02T08:00:00 60\n", mReceived.mData);
    ASSERT_NE(nullptr, gathered.Sources);
    ASSERT_NE(nullptr, gathered.LogFile);

    std::string big(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 + i / 4096);
    ASSERT_TRUE(mServer.AddCollection("big.bin", big));
    mReceived = Received();
    jox__LogFetchCollectionRequest fetch;
    fetch.ClientPath = "out";
    fetch.LogFileName = "big.bin";
    jox__LogFetchCollectionResponse fetched;
    ASSERT_EQ(SOAP_OK, mProxy.LogFetchCollection(mUrl.c_str(), "", &fetch, fetched));
    EXPECT_TRUE(mReceived.mData == big) << "received " << mReceived.mData.size() << " bytes";
    EXPECT_GT(mReceived.mWrites, 1u);
    EXPECT_EQ(1, mReceived.mOpened);
}

TEST_F(RoundTripTest, InjectedFaults)
{
    const struct
    {
        Fault mFault;
        int mResult;
    } cases[] = {{Fault::Soap11Fault, SOAP_CLI_FAULT},      {Fault::Soap12Fault, SOAP_FAULT},
                 {Fault::EnvelopeChild, SOAP_TAG_MISMATCH}, {Fault::MustUnderstandHeader, SOAP_MUSTUNDERSTAND},
                 {Fault::HttpError, 503},                   {Fault::EmptySuccess, 200},
                 {Fault::CutOff, SOAP_EOF},                 {Fault::UnknownChild, SOAP_OK}};
    for (const auto& rCase : cases)
    {
        mServer.SetFault("LogDeleteAllCollections", rCase.mFault);
        jox__LogDeleteAllCollectionsRequest request;
        jox__LogDeleteAllCollectionsResponse response;
        EXPECT_EQ(rCase.mResult, mProxy.LogDeleteAllCollections(mUrl.c_str(), "", &request, response))
            << static_cast<int>(rCase.mFault) << ": " << protocoltest::FaultText(mProxy);
    }
}

TEST_F(RoundTripTest, DownloadFaults)
{
    ASSERT_TRUE(mServer.AddCollection("c.zip", std::string(512 * 1024, 'x')));
    jox__LogFetchCollectionRequest fetch;
    fetch.ClientPath = "out";
    fetch.LogFileName = "c.zip";
    jox__LogFetchCollectionResponse fetched;

    mServer.SetFault("LogFetchCollection", Fault::DimeMissingRecord);
    EXPECT_EQ(SOAP_DIME_HREF, mProxy.LogFetchCollection(mUrl.c_str(), "", &fetch, fetched));
    EXPECT_NE(std::string::npos, protocoltest::FaultText(mProxy).find("DIME href to missing attachment"))
        << protocoltest::FaultText(mProxy);

    mReceived = Received();
    mServer.SetFault("LogFetchCollection", Fault::CutOff);
    mServer.SetCutOffBytes(200 * 1024);
    EXPECT_EQ(SOAP_EOF, mProxy.LogFetchCollection(mUrl.c_str(), "", &fetch, fetched));
    EXPECT_EQ(1, mReceived.mOpened);
    EXPECT_EQ(1, mReceived.mClosed); // the close callback runs on failure too
    EXPECT_LT(mReceived.mData.size(), 512u * 1024u);

    fetch.LogFileName = "missing.zip";
    mServer.SetFault("LogFetchCollection", Fault::None);
    EXPECT_EQ(SOAP_CLI_FAULT, mProxy.LogFetchCollection(mUrl.c_str(), "", &fetch, fetched));
}

TEST_F(RoundTripTest, ASilentServerHoldsTheCallUntilTheReceiveTimeout)
{
    mServer.SetFault("LogStatus", Fault::Silent);
    mProxy.soap->recv_timeout = 1;
    jox__LogStatusRequest request;
    jox__LogStatusResponse response;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NE(SOAP_OK, mProxy.LogStatus(mUrl.c_str(), "", &request, response));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(900));
    EXPECT_LT(elapsed, std::chrono::seconds(10));
}

} // namespace
