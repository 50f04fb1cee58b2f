// The requests the proxy puts on the wire, captured with a plain loopback socket.
#include "ProtocolTestSupport.h"

#include "simserver/ScriptedHttpServer.h"

#include <gtest/gtest.h>

#include <map>

using namespace joxmaintenance;
using simserver::ScriptedHttpServer;

namespace {

struct CapturedRequest
{
    std::string mRequestLine;
    std::vector<std::string> mHeaderLines;
    std::map<std::string, std::string> mHeaders;
    std::string mBody; // decoded when chunked
};

CapturedRequest Parse(const std::string& rRaw)
{
    CapturedRequest request;
    const std::size_t headerEnd = rRaw.find("\r\n\r\n");
    std::istringstream lines(rRaw.substr(0, headerEnd));
    std::string line;
    std::getline(lines, line);
    request.mRequestLine = line.substr(0, line.size() - 1);
    while (std::getline(lines, line))
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        request.mHeaderLines.push_back(line);
        const std::size_t colon = line.find(':');
        request.mHeaders[line.substr(0, colon)] = line.substr(colon + 2);
    }
    const std::string body = headerEnd == std::string::npos ? std::string() : rRaw.substr(headerEnd + 4);
    request.mBody = request.mHeaders["Transfer-Encoding"] == "chunked" ? ScriptedHttpServer::DecodeChunked(body) : body;
    return request;
}

std::string EmptyReply(const std::string& rOperation)
{
    return ScriptedHttpServer::SoapReply("<jox:" + rOperation + "Response/>");
}

std::string Body(const std::string& rContent)
{
    return protocoltest::RequestEnvelopeStart() + "<SOAP-ENV:Body>" + rContent + "</SOAP-ENV:Body></SOAP-ENV:Envelope>\r\n";
}

class WireRequestTest : public ::testing::Test
{
protected:
    // Runs rCall against a server that answers with rReply and returns what it received.
    template <typename Call>
    CapturedRequest Capture(const std::string& rReply, Call call, int expectedResult = SOAP_OK)
    {
        ScriptedHttpServer server;
        EXPECT_TRUE(server.Start({{rReply, false}}));
        ServiceProxy proxy(SOAP_IO_CHUNK);
        const std::string url = server.GetUrl();
        EXPECT_EQ(expectedResult, call(proxy, url.c_str())) << protocoltest::FaultText(proxy);
        proxy.destroy();
        server.Stop();
        const std::vector<std::string> requests = server.GetRequests();
        EXPECT_EQ(1u, requests.size());
        return requests.empty() ? CapturedRequest() : Parse(requests.front());
    }
};

TEST_F(WireRequestTest, HttpHeaderAndEnvelopeOfAFetchRequest)
{
    int port = 0;
    CapturedRequest request = Capture(EmptyReply("LogFetchCollection"), [&port](ServiceProxy& rProxy, const char* pUrl) {
        port = std::stoi(std::string(pUrl).substr(std::string(pUrl).rfind(':') + 1));
        jox__CommandStatusType status;
        status.CommandID = "{0f8fad5b-d9cb-469f-a165-70867728950e}";
        status.CommandType = "ct_fetchlog";
        status.CommandStatus = "cs_pending";
        status.ProgressPercent = 0.1;
        status.FinishedPhases = 0;
        jox__LogFetchCollectionRequest fetch;
        fetch.ClientPath = "/home/op/logs";
        fetch.LogFileName = "collection 1.zip";
        fetch.Status = &status;
        jox__LogFetchCollectionResponse response;
        return rProxy.LogFetchCollection(pUrl, "", &fetch, response);
    });

    EXPECT_EQ("POST / HTTP/1.1", request.mRequestLine);
    const std::vector<std::string> expectedHeaders = {
        "Host: 127.0.0.1:" + std::to_string(port),
        "User-Agent: gSOAP/2.8",
        "Content-Type: text/xml; charset=utf-8",
        "Transfer-Encoding: chunked",
        "Connection: close",
        "SOAPAction: \"\""};
    EXPECT_EQ(expectedHeaders, request.mHeaderLines);
    EXPECT_EQ(Body("<jox:LogFetchCollectionRequest>"
                   "<ClientPath>/home/op/logs</ClientPath><LogFileName>collection 1.zip</LogFileName>"
                   "<Status><CommandID>{0f8fad5b-d9cb-469f-a165-70867728950e}</CommandID><ClientIP/>"
                   "<CommandType>ct_fetchlog</CommandType><CommandStatus>cs_pending</CommandStatus>"
                   "<ProgressPercent>0.10000000000000001</ProgressPercent><FinishedPhases>0</FinishedPhases>"
                   "</Status></jox:LogFetchCollectionRequest>"),
              request.mBody);
}

TEST_F(WireRequestTest, NilRequiredPointerAbsentOptionalOnesAndPresentDetails)
{
    CapturedRequest withoutSources = Capture(EmptyReply("LogCreateCollection"), [](ServiceProxy& rProxy, const char* pUrl) {
        jox__LogCreateCollectionRequest create;
        jox__LogCreateCollectionResponse response;
        return rProxy.LogCreateCollection(pUrl, "", &create, response);
    });
    EXPECT_EQ(Body("<jox:LogCreateCollectionRequest><Sources xsi:nil=\"true\"/></jox:LogCreateCollectionRequest>"),
              withoutSources.mBody);

    CapturedRequest withSources = Capture(EmptyReply("LogCreateAndFetchCollection"), [](ServiceProxy& rProxy, const char* pUrl) {
        jox__AvailableLogsType first;
        first.Type = "harlenchannel1";
        first.StartTime = "2026-03-01T10:00:00";
        first.DurationSeconds = 3600;
        jox__AvailableLogsType second;
        second.Type = "systemlogs";
        second.StartTime = "";
        second.DurationSeconds = -5;
        jox__AvailableLogsListType sources;
        sources.Source = {&first, nullptr, &second};
        std::string progress = "half";
        std::string error = "none";
        jox__CommandStatusType status;
        status.CommandID = "id";
        status.ProgressPercent = 12.5;
        status.ProgressDetails = &progress;
        status.ErrorDetails = &error;
        jox__LogCreateAndFetchCollectionRequest gather;
        gather.Sources = &sources;
        gather.LogFilePath = "C:\\logs";
        gather.Status = &status;
        jox__LogCreateAndFetchCollectionResponse response;
        return rProxy.LogCreateAndFetchCollection(pUrl, "", &gather, response);
    });
    EXPECT_EQ(Body("<jox:LogCreateAndFetchCollectionRequest><Sources>"
                   "<Source><Type>harlenchannel1</Type><StartTime>2026-03-01T10:00:00</StartTime>"
                   "<DurationSeconds>3600</DurationSeconds></Source>"
                   "<Source><Type>systemlogs</Type><StartTime/><DurationSeconds>-5</DurationSeconds></Source>"
                   "</Sources><LogFilePath>C:\\logs</LogFilePath>"
                   "<Status><CommandID>id</CommandID><ClientIP/><CommandType/>"
                   "<CommandStatus/><ProgressPercent>12.5</ProgressPercent>"
                   "<FinishedPhases>0</FinishedPhases><ProgressDetails>half</ProgressDetails>"
                   "<ErrorDetails>none</ErrorDetails></Status></jox:LogCreateAndFetchCollectionRequest>"),
              withSources.mBody);
}

TEST_F(WireRequestTest, EmptyRecordsAndNullRequest)
{
    CapturedRequest empty = Capture(EmptyReply("LogStatus"), [](ServiceProxy& rProxy, const char* pUrl) {
        jox__LogStatusRequest status;
        jox__LogStatusResponse response;
        return rProxy.LogStatus(pUrl, "", &status, response);
    });
    EXPECT_EQ(Body("<jox:LogStatusRequest></jox:LogStatusRequest>"), empty.mBody);

    CapturedRequest withoutStatus = Capture(EmptyReply("LogFetchCollection"), [](ServiceProxy& rProxy, const char* pUrl) {
        jox__LogFetchCollectionRequest fetch;
        fetch.ClientPath = "p";
        fetch.LogFileName = "n";
        jox__LogFetchCollectionResponse response;
        return rProxy.LogFetchCollection(pUrl, "", &fetch, response);
    });
    EXPECT_EQ(Body("<jox:LogFetchCollectionRequest><ClientPath>p</ClientPath><LogFileName>n</LogFileName>"
                   "</jox:LogFetchCollectionRequest>"),
              withoutStatus.mBody);

    CapturedRequest none = Capture(EmptyReply("LogList"), [](ServiceProxy& rProxy, const char* pUrl) {
        jox__LogListResponse response;
        return rProxy.LogList(pUrl, nullptr, nullptr, response);
    });
    EXPECT_EQ(Body(""), none.mBody);
    EXPECT_EQ("\"\"", none.mHeaders["SOAPAction"]);
}

// The runtime writes a line feed in element text as it is (XML-equivalent to "&#xA;").
TEST_F(WireRequestTest, TextIsEscapedAndLatin1BytesGoOutAsUtf8)
{
    CapturedRequest request = Capture(EmptyReply("LogDeleteCollection"), [](ServiceProxy& rProxy, const char* pUrl) {
        jox__LogDeleteCollectionRequest remove;
        remove.LogFileName = "a&b<c>d\ne\xE9\"'";
        jox__LogDeleteCollectionResponse response;
        return rProxy.LogDeleteCollection(pUrl, "", &remove, response);
    });
    EXPECT_EQ(Body("<jox:LogDeleteCollectionRequest><LogFileName>a&amp;b&lt;c&gt;d\ne\xC3\xA9\"'</LogFileName>"
                   "</jox:LogDeleteCollectionRequest>"),
              request.mBody);
}

TEST_F(WireRequestTest, ShortFormReusesTheEndpointOfTheLastCall)
{
    ScriptedHttpServer server;
    ASSERT_TRUE(server.Start({{EmptyReply("LogList"), false}, {EmptyReply("LogStatus"), false}}));
    ServiceProxy proxy(SOAP_IO_CHUNK);
    const std::string url = server.GetUrl();
    jox__LogListRequest list;
    jox__LogListResponse listResponse;
    EXPECT_EQ(SOAP_OK, proxy.LogList(url.c_str(), "", &list, listResponse));
    jox__LogStatusRequest status;
    jox__LogStatusResponse statusResponse;
    EXPECT_EQ(SOAP_OK, proxy.LogStatus(&status, statusResponse)) << protocoltest::FaultText(proxy);
    proxy.destroy();
    server.Stop();
    EXPECT_EQ(2u, server.GetRequests().size());
}

// Port 80 needs the private network namespace the test runner provides.
TEST_F(WireRequestTest, PortEightyAndTheDefaultEndpointGiveAHostWithoutPort)
{
    ScriptedHttpServer server;
    if (!server.Start({{EmptyReply("LogList"), false}, {EmptyReply("LogList"), false}}, 80))
        GTEST_SKIP() << "cannot listen on 127.0.0.1:80 here";
    ServiceProxy proxy(SOAP_IO_CHUNK);
    jox__LogListRequest list;
    jox__LogListResponse response;
    EXPECT_EQ(SOAP_OK, proxy.LogList("http://127.0.0.1:80", "", &list, response)) << protocoltest::FaultText(proxy);
    ServiceProxy fresh(SOAP_IO_CHUNK);
    const int defaultResult = fresh.LogList(&list, response);
    proxy.destroy();
    fresh.destroy();
    server.Stop();
    const std::vector<std::string> requests = server.GetRequests();
    ASSERT_GE(requests.size(), 1u);
    EXPECT_EQ("127.0.0.1", Parse(requests[0]).mHeaders["Host"]);
    if (defaultResult == SOAP_OK)
    {
        ASSERT_EQ(2u, requests.size());
        EXPECT_EQ("localhost", Parse(requests[1]).mHeaders["Host"]);
    }
    else
    {
        // "localhost" may resolve to ::1 first, where nothing listens.
        EXPECT_EQ(SOAP_TCP_ERROR, defaultResult);
    }
}

} // namespace
