// How the proxy reads replies: tolerance, limits, faults and transport failures.
#include "ProtocolTestSupport.h"

#include "simserver/ScriptedHttpServer.h"

#include "Network.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace joxmaintenance;
using simserver::ScriptedHttpServer;

namespace {

// Runs one call against a server that answers with rReply; returns the result.
class ReplyReadingTest : public ::testing::Test
{
protected:
    void SetUp() override { mpProxy = std::make_unique<ServiceProxy>(SOAP_IO_CHUNK); }
    void TearDown() override
    {
        mpProxy->destroy();
        mServer.Stop();
    }

    const char* Serve(const std::string& rReply)
    {
        EXPECT_TRUE(mServer.Start({{rReply, false}}));
        mUrl = mServer.GetUrl();
        return mUrl.c_str();
    }

    ScriptedHttpServer mServer;
    std::string mUrl;
    std::unique_ptr<ServiceProxy> mpProxy;
};

std::string Fault11(const std::string& rCode, const std::string& rString, const std::string& rDetail)
{
    return ScriptedHttpServer::HttpReply(
        "500 Internal Server Error", "text/xml; charset=utf-8",
        ScriptedHttpServer::SoapEnvelope("<SOAP-ENV:Fault><faultcode>" + rCode + "</faultcode><faultstring>" + rString +
                                         "</faultstring>" + rDetail + "</SOAP-ENV:Fault>"));
}

using tandriltest::UnusedLoopbackPort;

TEST_F(ReplyReadingTest, ReorderedExtraRepeatedAndPrefixedChildren)
{
    const char* pUrl = Serve(ScriptedHttpServer::SoapReply(
        "<m:LogStatusResponse xmlns:m=\"" + SchemaNamespace() + "\"><Extra><Deep>1</Deep></Extra><Status><Status>"
        "<FinishedPhases>2</FinishedPhases><ErrorDetails>bad &amp; worse</ErrorDetails><CommandID>first</CommandID>"
        "<Unknown><x/></Unknown><o:ClientIP xmlns:o=\"urn:other\">foreign</o:ClientIP><ClientIP>10.0.0.1</ClientIP>"
        "<CommandStatus>cs_running</CommandStatus><CommandType>ct_fetchlog</CommandType>"
        "<ProgressPercent>42.5</ProgressPercent><CommandID>second</CommandID></Status>"
        "<Status><CommandID>other</CommandID></Status></Status></m:LogStatusResponse>"));
    jox__LogStatusRequest request;
    jox__LogStatusResponse response;
    ASSERT_EQ(SOAP_OK, mpProxy->LogStatus(pUrl, "", &request, response)) << protocoltest::FaultText(*mpProxy);
    ASSERT_NE(nullptr, response.Status);
    ASSERT_EQ(2u, response.Status->Status.size());
    const jox__CommandStatusType& rFirst = *response.Status->Status[0];
    EXPECT_EQ("first", rFirst.CommandID);
    EXPECT_EQ("10.0.0.1", rFirst.ClientIP);
    EXPECT_EQ("ct_fetchlog", rFirst.CommandType);
    EXPECT_EQ("cs_running", rFirst.CommandStatus);
    EXPECT_DOUBLE_EQ(42.5, rFirst.ProgressPercent);
    EXPECT_EQ(2, rFirst.FinishedPhases);
    EXPECT_EQ(nullptr, rFirst.ProgressDetails);
    ASSERT_NE(nullptr, rFirst.ErrorDetails);
    EXPECT_EQ("bad & worse", *rFirst.ErrorDetails);
    EXPECT_EQ("other", response.Status->Status[1]->CommandID);
    EXPECT_EQ("", response.Status->Status[1]->ClientIP);
}

TEST_F(ReplyReadingTest, AnEnvelopeElementInsideARecordFailsWithTagMismatch)
{
    const char* pUrl = Serve(ScriptedHttpServer::SoapReply(
        "<jox:ServiceFetchInformationResponse><Name>n</Name><SOAP-ENV:Bogus/></jox:ServiceFetchInformationResponse>"));
    jox__ServiceFetchInformationRequest request;
    jox__ServiceFetchInformationResponse response;
    EXPECT_EQ(SOAP_TAG_MISMATCH, mpProxy->ServiceFetchInformation(pUrl, "", &request, response));
    EXPECT_EQ("SOAP 1.1 fault SOAP-ENV:Client[no subcode]\n"
              "\"Validation constraint violation: tag name or namespace mismatch in element 'SOAP-ENV:Bogus'\"\n"
              "Detail: [no detail]\n",
              protocoltest::FaultText(*mpProxy));
}

TEST_F(ReplyReadingTest, MissingMembersKeepDefaultsAndTheResponseIsResetFirst)
{
    const char* pUrl = Serve(ScriptedHttpServer::SoapReply(
        "<jox:ServiceFetchInformationResponse><ServiceVersion>2.0</ServiceVersion></jox:ServiceFetchInformationResponse>"));
    jox__ServiceFetchInformationRequest request;
    jox__ServiceFetchInformationResponse response;
    response.Name = "from an earlier call";
    response.SoftwareVersion = "old";
    ASSERT_EQ(SOAP_OK, mpProxy->ServiceFetchInformation(pUrl, "", &request, response));
    EXPECT_EQ("2.0", response.ServiceVersion);
    EXPECT_EQ("", response.Name);
    EXPECT_EQ("", response.SoftwareVersion);
}

TEST_F(ReplyReadingTest, AbsentNilAndEmptyLists)
{
    ASSERT_TRUE(mServer.Start({{ScriptedHttpServer::SoapReply("<jox:LogListResponse/>"), false},
                               {ScriptedHttpServer::SoapReply("<jox:LogListCollectionsResponse/>"), false},
                               {ScriptedHttpServer::SoapReply(
                                    "<jox:LogStatusResponse><Status xsi:nil=\"true\"/></jox:LogStatusResponse>"),
                                false}}));
    const std::string url = mServer.GetUrl();
    jox__LogListRequest list;
    jox__LogListResponse listResponse;
    EXPECT_EQ(SOAP_OK, mpProxy->LogList(url.c_str(), "", &list, listResponse));
    EXPECT_EQ(nullptr, listResponse.Sources);
    jox__LogListCollectionsRequest collections;
    jox__LogListCollectionsResponse collectionsResponse;
    collectionsResponse.LogCollection = {"stale"};
    EXPECT_EQ(SOAP_OK, mpProxy->LogListCollections(url.c_str(), "", &collections, collectionsResponse));
    EXPECT_TRUE(collectionsResponse.LogCollection.empty());
    jox__LogStatusRequest status;
    jox__LogStatusResponse statusResponse;
    EXPECT_EQ(SOAP_OK, mpProxy->LogStatus(url.c_str(), "", &status, statusResponse));
    EXPECT_EQ(nullptr, statusResponse.Status);
}

TEST_F(ReplyReadingTest, InlineBase64File)
{
    const char* pUrl = Serve(ScriptedHttpServer::SoapReply(
        "<jox:LogFetchCollectionResponse><LogFile>aGVsbG8=</LogFile></jox:LogFetchCollectionResponse>"));
    jox__LogFetchCollectionRequest request;
    jox__LogFetchCollectionResponse response;
    ASSERT_EQ(SOAP_OK, mpProxy->LogFetchCollection(pUrl, "", &request, response));
    ASSERT_NE(nullptr, response.LogFile);
    EXPECT_EQ("hello", std::string(reinterpret_cast<char*>(response.LogFile->__ptr), response.LogFile->__size));
}

// The runtime refuses a list once it holds more than 100000 entries, that is
// at the 100002nd element.
TEST_F(ReplyReadingTest, OccurrenceLimit)
{
    EXPECT_EQ(100000u, mpProxy->soap->maxoccurs);
    std::string names;
    for (int i = 0; i < 100002; ++i)
        names += "<LogCollection>c</LogCollection>";
    const char* pUrl = Serve(ScriptedHttpServer::SoapReply("<jox:LogListCollectionsResponse>" + names +
                                                           "</jox:LogListCollectionsResponse>"));
    jox__LogListCollectionsRequest request;
    jox__LogListCollectionsResponse response;
    EXPECT_EQ(SOAP_OCCURS, mpProxy->LogListCollections(pUrl, "", &request, response));
}

// The depth limit counts the elements the reader descends into (skipped
// unknown content is not counted); shown with a lowered limit.
TEST_F(ReplyReadingTest, NestingLimit)
{
    EXPECT_EQ(10000u, mpProxy->soap->maxlevel);
    mpProxy->soap->maxlevel = 5;
    const char* pUrl = Serve(ScriptedHttpServer::SoapReply(
        "<jox:LogStatusResponse><Status><Status><CommandID>a</CommandID></Status></Status></jox:LogStatusResponse>"));
    jox__LogStatusRequest request;
    jox__LogStatusResponse response;
    EXPECT_EQ(SOAP_LEVEL, mpProxy->LogStatus(pUrl, "", &request, response));
    EXPECT_EQ("SOAP 1.1 fault SOAP-ENV:Client[no subcode]\n"
              "\"Maximum XML nesting depth level exceeded: increase maxlevel\"\n"
              "Detail: [no detail]\n",
              protocoltest::FaultText(*mpProxy));
}

TEST_F(ReplyReadingTest, Soap11FaultAndItsRenderedText)
{
    const char* pUrl = Serve(Fault11("SOAP-ENV:Server", "Disk full", "<detail><Reason>quota</Reason></detail>"));
    jox__LogDeleteCollectionRequest request;
    jox__LogDeleteCollectionResponse response;
    EXPECT_EQ(SOAP_SVR_FAULT, mpProxy->LogDeleteCollection(pUrl, "", &request, response));
    EXPECT_STREQ("Disk full", mpProxy->soap_fault_string());
    EXPECT_STREQ("<Reason>quota</Reason>", mpProxy->soap_fault_detail());
    EXPECT_EQ("SOAP 1.1 fault SOAP-ENV:Server[no subcode]\n\"Disk full\"\nDetail: <Reason>quota</Reason>\n",
              protocoltest::FaultText(*mpProxy));
}

TEST(ReplyFaultCodes, EachFaultCodeGivesItsResult)
{
    const struct
    {
        const char* mpCode;
        int mResult;
    } cases[] = {{"SOAP-ENV:Client", SOAP_CLI_FAULT},       {"SOAP-ENV:Server", SOAP_SVR_FAULT},
                 {"SOAP-ENV:MustUnderstand", SOAP_MUSTUNDERSTAND}, {"SOAP-ENV:VersionMismatch", SOAP_VERSIONMISMATCH},
                 {"x:Other", SOAP_FAULT}};
    for (const auto& rCase : cases)
    {
        ScriptedHttpServer server;
        ASSERT_TRUE(server.Start({{Fault11(rCase.mpCode, "why", ""), false}}));
        ServiceProxy proxy(SOAP_IO_CHUNK);
        const std::string url = server.GetUrl();
        jox__LogDeleteAllCollectionsRequest request;
        jox__LogDeleteAllCollectionsResponse response;
        EXPECT_EQ(rCase.mResult, proxy.LogDeleteAllCollections(url.c_str(), "", &request, response)) << rCase.mpCode;
        EXPECT_STREQ("why", proxy.soap_fault_string());
        proxy.destroy();
    }
}

std::string Fault12(const std::string& rPrefix)
{
    std::string xml = "<?xml version=\"1.0\"?><P:Envelope xmlns:P=\"http://www.w3.org/2003/05/soap-envelope\">"
                      "<P:Body><P:Fault><P:Code><P:Value>P:Sender</P:Value><P:Subcode><P:Value>P:Busy</P:Value>"
                      "</P:Subcode></P:Code><P:Reason><P:Text xml:lang=\"en\">Try later</P:Text></P:Reason>"
                      "<P:Detail><Why>load</Why></P:Detail></P:Fault></P:Body></P:Envelope>";
    for (std::size_t at = xml.find("P:"); at != std::string::npos; at = xml.find("P:", at + rPrefix.size()))
        xml.replace(at, 1, rPrefix);
    for (std::size_t at = xml.find("xmlns:P="); at != std::string::npos; at = xml.find("xmlns:P=", at + 1))
        xml.replace(at + 6, 1, rPrefix);
    return ScriptedHttpServer::HttpReply("500 Internal Server Error", "application/soap+xml; charset=utf-8", xml);
}

// The runtime classifies a SOAP 1.2 code by the prefix "SOAP-ENV" in scope:
// written with another prefix, a Sender fault comes back as the general 12.
TEST(ReplySoap12Fault, ReadWithItsReasonAsFaultString)
{
    for (const auto& rCase : {std::make_pair(std::string("SOAP-ENV"), SOAP_CLI_FAULT), std::make_pair(std::string("env"), SOAP_FAULT)})
    {
        ScriptedHttpServer server;
        ASSERT_TRUE(server.Start({{Fault12(rCase.first), false}}));
        ServiceProxy proxy(SOAP_IO_CHUNK);
        const std::string url = server.GetUrl();
        jox__LogListRequest request;
        jox__LogListResponse response;
        EXPECT_EQ(rCase.second, proxy.LogList(url.c_str(), "", &request, response)) << rCase.first;
        EXPECT_STREQ("Try later", proxy.soap_fault_string());
        EXPECT_EQ("SOAP 1.2 fault SOAP-ENV:Sender[SOAP-ENV:Busy]\n\"Try later\"\nDetail: <Why>load</Why>\n",
                  protocoltest::FaultText(proxy));
        proxy.destroy();
    }
}

TEST_F(ReplyReadingTest, AMustUnderstandHeaderFailsAValidReply)
{
    const char* pUrl = Serve(ScriptedHttpServer::SoapReply(
        "<jox:LogListResponse/>",
        "<SOAP-ENV:Header><x:Session xmlns:x=\"urn:x\" SOAP-ENV:mustUnderstand=\"1\">7</x:Session>"
        "<x:Note xmlns:x=\"urn:x\">ignored</x:Note></SOAP-ENV:Header>"));
    jox__LogListRequest request;
    jox__LogListResponse response;
    EXPECT_EQ(SOAP_MUSTUNDERSTAND, mpProxy->LogList(pUrl, "", &request, response));
    EXPECT_EQ("SOAP 1.1 fault SOAP-ENV:MustUnderstand[no subcode]\n"
              "\"The data in element 'x:Session' must be understood but cannot be processed\"\n"
              "Detail: [no detail]\n",
              protocoltest::FaultText(*mpProxy));
}

TEST_F(ReplyReadingTest, HttpErrorStatus)
{
    const char* pUrl = Serve(ScriptedHttpServer::HttpReply("503 Service Unavailable", "text/plain", "down for maintenance"));
    jox__LogListRequest request;
    jox__LogListResponse response;
    EXPECT_EQ(503, mpProxy->LogList(pUrl, "", &request, response));
    EXPECT_STREQ("HTTP Error", mpProxy->soap_fault_string());
    EXPECT_STREQ("down for maintenance", mpProxy->soap_fault_detail());
}

TEST_F(ReplyReadingTest, SuccessStatusWithoutBody)
{
    const char* pUrl = Serve(ScriptedHttpServer::HttpReply("200 OK", "", ""));
    jox__LogListRequest request;
    jox__LogListResponse response;
    EXPECT_EQ(200, mpProxy->LogList(pUrl, "", &request, response));
    EXPECT_EQ("SOAP 1.1 fault SOAP-ENV:Client[no subcode]\n\"Error 200: HTTP 200 OK\"\nDetail: [no detail]\n",
              protocoltest::FaultText(*mpProxy));
}

TEST_F(ReplyReadingTest, AReplyCutOffInTheMiddle)
{
    const std::string full = ScriptedHttpServer::SoapReply("<jox:LogListCollectionsResponse><LogCollection>a"
                                                           "</LogCollection></jox:LogListCollectionsResponse>");
    const char* pUrl = Serve(full.substr(0, full.size() - 50));
    jox__LogListCollectionsRequest request;
    jox__LogListCollectionsResponse response;
    EXPECT_EQ(SOAP_EOF, mpProxy->LogListCollections(pUrl, "", &request, response));
    EXPECT_EQ(0u, protocoltest::FaultText(*mpProxy).rfind("SOAP 1.1 fault SOAP-ENV:Client[no subcode]\n"
                                                          "\"End of file or no input: ", 0))
        << protocoltest::FaultText(*mpProxy);
}

TEST(ReplyTransport, HttpsNeedsTlsTheRuntimeLacks)
{
    ScriptedHttpServer server;
    ASSERT_TRUE(server.Start({{std::string(), false}}));
    ServiceProxy proxy(SOAP_IO_CHUNK);
    jox__LogListRequest request;
    jox__LogListResponse response;
    const std::string url = "https://127.0.0.1:" + std::to_string(server.GetPort());
    EXPECT_EQ(SOAP_SSL_ERROR, proxy.LogList(url.c_str(), "", &request, response));
    EXPECT_NE(std::string::npos, protocoltest::FaultText(proxy).find("OpenSSL not installed"))
        << protocoltest::FaultText(proxy);
    proxy.destroy();
}

TEST(ReplyTransport, ConnectionRefused)
{
    ServiceProxy proxy(SOAP_IO_CHUNK);
    jox__LogListRequest request;
    jox__LogListResponse response;
    const std::string refused = "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort());
    EXPECT_EQ(SOAP_TCP_ERROR, proxy.LogList(refused.c_str(), "", &request, response));
    EXPECT_EQ("SOAP 1.1 fault SOAP-ENV:Server[no subcode]\n\"Connection refused\"\n"
              "Detail: connect failed in tcp_connect()\n",
              protocoltest::FaultText(proxy));
    proxy.destroy();
}

// A received character above U+00FF keeps only its low byte in this runtime
// (U+263A becomes ':').
TEST_F(ReplyReadingTest, CharactersBeyondLatin1)
{
    const char* pUrl = Serve(ScriptedHttpServer::SoapReply(
        "<jox:ServiceFetchInformationResponse><Name>a\xC3\xA9&#x263A;b</Name></jox:ServiceFetchInformationResponse>"));
    jox__ServiceFetchInformationRequest request;
    jox__ServiceFetchInformationResponse response;
    ASSERT_EQ(SOAP_OK, mpProxy->ServiceFetchInformation(pUrl, "", &request, response));
    EXPECT_EQ("a\xE9:b", response.Name);
}

} // namespace
