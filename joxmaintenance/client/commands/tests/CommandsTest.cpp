// The nine commands against the simulated media server.
#include "FolderEntries.h"
#include "LogCapture.h"
#include "SimServerTest.h"
#include "SynDroppingListener.h"
#include "TempDir.h"
#include "simserver/ScriptedHttpServer.h"
#include "simserver/SimServer.h"

#include <joxmaintenance/CommandClearLogEntries.h>
#include <joxmaintenance/CommandCollectLog.h>
#include <joxmaintenance/CommandDeleteLog.h>
#include <joxmaintenance/CommandListAvailableLogs.h>
#include <joxmaintenance/CommandListLogCollections.h>
#include <joxmaintenance/CommandLogFetch.h>
#include <joxmaintenance/CommandLogGather.h>
#include <joxmaintenance/CommandLogStatus.h>
#include <joxmaintenance/CommandQueryMachineInformation.h>
#include <joxmaintenance/LockedCommandStatusList.h>
#include <joxmaintenance/LogSources.h>
#include <joxmaintenance/SchemaNamespace.h>
#include <joxmaintenance/ServerConnection.h>

#include "Network.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

using namespace joxmaintenance;
using simserver::Fault;

namespace {

using tandriltest::FolderEntries;
using tandriltest::UnusedLoopbackPort;

using simserver::ScriptedHttpServer;

// One command of each of the nine operations for the server at rUrl; the
// downloading ones fetch "c.zip" into rFolder.
std::vector<std::unique_ptr<Command>> AllCommands(const QString& rUrl, const QString& rFolder)
{
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<CommandLogGather>(rUrl, rFolder, LogEntryList()));
    commands.push_back(std::make_unique<CommandListAvailableLogs>(rUrl));
    commands.push_back(std::make_unique<CommandListLogCollections>(rUrl));
    commands.push_back(std::make_unique<CommandQueryMachineInformation>(rUrl));
    commands.push_back(std::make_unique<CommandLogFetch>(rUrl, rFolder, "c.zip"));
    commands.push_back(std::make_unique<CommandCollectLog>(rUrl, LogEntryList()));
    commands.push_back(std::make_unique<CommandClearLogEntries>(rUrl));
    commands.push_back(std::make_unique<CommandDeleteLog>(rUrl, "c.zip"));
    commands.push_back(std::make_unique<CommandLogStatus>(rUrl));
    return commands;
}

class CommandsTest : public SimServerTest
{
protected:
    void TearDown() override { mServer.Stop(); }

    std::string Download(const std::string& rName) const { return mFolder.File("downloads/" + rName); }

    static void ExpectOneError(const Command& rCommand, const QString& rText, const std::string& rDetail)
    {
        EXPECT_EQ(JoxCore::StateFailed, rCommand.GetState());
        const QString text = rCommand.GetMessagesText();
        EXPECT_EQ(QStringLiteral("Error  ") + rText + QStringLiteral("  ") + QString::fromStdString(rDetail), text);
    }

    maintenancetest::LogCapture mLog;
};

TEST_F(CommandsTest, NewCommandsHaveTheirTypeAStatusAndShareItWithCopies)
{
    CommandLogGather gather(mUrl, mDownloads, {});
    EXPECT_EQ(JoxCore::StateNew, gather.GetState());
    EXPECT_EQ(ct_loggather, gather.GetCommandType());
    EXPECT_EQ("GatherLogs", gather.GetDescription());
    EXPECT_TRUE(QRegularExpression("^\\{[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\\}$")
                    .match(gather.GetCommandStatus()->GetCommandId())
                    .hasMatch());
    EXPECT_EQ(2, gather.GetCommandStatus()->GetTotalPhases());
    std::unique_ptr<Command> pCopy(gather.Clone());
    EXPECT_EQ(gather.GetCommandStatus(), pCopy->GetCommandStatus());
    EXPECT_NE(gather.GetCommandStatus()->GetCommandId(),
              CommandLogGather(mUrl, mDownloads, {}).GetCommandStatus()->GetCommandId());
    EXPECT_EQ(nullptr, gather.GetSharedObject());

    const struct
    {
        std::unique_ptr<Command> mpCommand;
        int mType;
        const char* mpDescription;
    } cases[] = {{std::make_unique<CommandListAvailableLogs>(mUrl), ct_listlogfiles, "ListAvailableLogs"},
                 {std::make_unique<CommandListLogCollections>(mUrl), ct_listcollections, "ListLogCollections"},
                 {std::make_unique<CommandQueryMachineInformation>(mUrl), ct_querymachinfo, "QueryMachineInformation"},
                 {std::make_unique<CommandLogFetch>(mUrl, mDownloads, "c"), ct_fetchlog, "FetchLogs"},
                 {std::make_unique<CommandCollectLog>(mUrl, LogEntryList()), ct_collectlog, "Create log collection on server."},
                 {std::make_unique<CommandClearLogEntries>(mUrl), ct_cleanlogs, "Delete all gathered Maintenance log files."},
                 {std::make_unique<CommandDeleteLog>(mUrl, "c"), ct_deletelog, "Delete stored log file"},
                 {std::make_unique<CommandLogStatus>(mUrl), ct_logstatus, "Fetch status of running requests from server."}};
    for (const auto& rCase : cases)
    {
        EXPECT_EQ(rCase.mType, rCase.mpCommand->GetCommandType());
        EXPECT_EQ(QString::fromUtf8(rCase.mpDescription), rCase.mpCommand->GetDescription());
        EXPECT_EQ(1, rCase.mpCommand->GetCommandStatus()->GetTotalPhases());
        EXPECT_EQ(mUrl, rCase.mpCommand->GetServerUrl());
    }
}

TEST_F(CommandsTest, QueryMachineInformation)
{
    mServer.SetInformation({"1.0", "Studio \xC3\xA9 A", "4.2.0.7"});
    CommandQueryMachineInformation query(mUrl);
    query.DoExecute();
    EXPECT_EQ(JoxCore::StateSucceeded, query.GetState());
    EXPECT_EQ(QString::fromUtf8("Studio \xC3\xA9 A"), query.GetName());
    EXPECT_EQ("1.0", query.GetServiceVersion());
    EXPECT_EQ("4.2.0.7", query.GetSoftwareVersion());
    EXPECT_TRUE(query.GetMessagesText().isEmpty());

    mServer.SetFault("ServiceFetchInformation", Fault::UnknownChild);
    CommandQueryMachineInformation withoutName(mUrl);
    withoutName.DoExecute();
    EXPECT_EQ(JoxCore::StateSucceeded, withoutName.GetState());
    EXPECT_TRUE(withoutName.GetName().isEmpty());
}

TEST_F(CommandsTest, ListAvailableLogs)
{
    mServer.SetLogSources({{"harlenchannel1", "2026-03-01T10:00:00", 600}, {"systemlogs", "t", 5}});
    CommandListAvailableLogs list(mUrl);
    list.DoExecute();
    EXPECT_EQ(JoxCore::StateSucceeded, list.GetState());
    const LogEntryList entries = list.GetLogEntries();
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("harlenchannel1", entries.front().GetType());
    EXPECT_EQ(600, entries.front().GetDurationSeconds());

    mServer.SetNoLogSources();
    CommandListAvailableLogs none(mUrl);
    none.DoExecute();
    EXPECT_EQ(JoxCore::StateSucceeded, none.GetState());
    EXPECT_TRUE(none.GetLogEntries().empty());
}

TEST_F(CommandsTest, ASourceWithoutTypeFailsTheListAfterTheEntriesBeforeIt)
{
    mServer.SetLogSources({{"harlenws1", "", 1}, {"harlenws2", "", 2}, {"", "", 3}, {"systemlogs", "", 4}});
    CommandListAvailableLogs list(mUrl);
    list.DoExecute();
    EXPECT_EQ(JoxCore::StateFailed, list.GetState());
    EXPECT_EQ(2u, list.GetLogEntries().size());
    EXPECT_TRUE(list.GetMessagesText().isEmpty());
    // The operator still reads why.
    EXPECT_EQ("The request failed: empty logtype is not allowed for log entries.", list.GetFailureReason());
    EXPECT_EQ(list.GetFailureReason(), list.GetErrorDetails());
    const auto records = mLog.InCategory("Maintenance");
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(2, records[0].mLevel);
    EXPECT_EQ(0, records[0].mSubtype);
    EXPECT_EQ("Caught an exception.empty logtype is not allowed for log entries.", records[0].mMessage);
    EXPECT_EQ("joxmaintenance::CommandListAvailableLogs::DoExecute", records[0].mFunction);
}

TEST_F(CommandsTest, ListLogCollectionsAndDelete)
{
    ASSERT_TRUE(mServer.AddCollection("b.zip", "b"));
    ASSERT_TRUE(mServer.AddCollection("caf\xC3\xA9.zip", "c"));
    CommandListLogCollections list(mUrl);
    list.DoExecute();
    EXPECT_EQ(JoxCore::StateSucceeded, list.GetState());
    EXPECT_EQ((QStringList{"b.zip", QString::fromUtf8("caf\xC3\xA9.zip")}), list.GetLogCollections());

    CommandDeleteLog remove(mUrl, QString::fromUtf8("caf\xC3\xA9.zip"));
    remove.DoExecute();
    EXPECT_EQ(JoxCore::StateSucceeded, remove.GetState());
    EXPECT_EQ((std::vector<std::string>{"b.zip"}), mServer.GetCollections());

    CommandClearLogEntries clear(mUrl);
    clear.DoExecute();
    EXPECT_EQ(JoxCore::StateSucceeded, clear.GetState());
    EXPECT_TRUE(mServer.GetCollections().empty());
}

TEST_F(CommandsTest, AServerFaultBecomesOneErrorMessageWithTheFaultText)
{
    mServer.SetFault("LogDeleteCollection", Fault::Soap11Fault);
    CommandDeleteLog remove(mUrl, "x.zip");
    remove.DoExecute();
    ExpectOneError(remove, "Delete stored log file",
                   "The server reported a fault: Simulated fault.\n"
                   "SOAP 1.1 fault SOAP-ENV:Client[no subcode]\n\"Simulated fault\"\nDetail: <Reason>simulated</Reason>\n");
    EXPECT_TRUE(remove.GetLocalFault().isEmpty());
    // The operator reads the fault once: its string and its detail say
    // nothing the first line does not.
    EXPECT_EQ("The server reported a fault: Simulated fault.", remove.GetErrorDetails());
    EXPECT_EQ("The server reported a fault: Simulated fault.", remove.GetFailureReason());
    remove.DoExecute();
    EXPECT_EQ(2, remove.GetMessagesText().count(QStringLiteral("Error  Delete stored log file")));
}

TEST_F(CommandsTest, EveryTextFieldKeepsEveryCharacterBothWays)
{
    // ASCII, Latin-1 letters, an en dash, the euro sign, a character outside
    // the Basic Multilingual Plane (G clef) and a thin space.
    const char* const texts[] = {"Plain ASCII 42", "R\xC3\xA9gie Nord \xC3\x9C\x62\x65rsicht",
                                 "Studio 3 \xE2\x80\x93 M\xC3\xA4rz", "5 \xE2\x82\xAC",
                                 "Clef \xF0\x9D\x84\x9E", "10\xE2\x80\x89h"};
    for (const char* const pText : texts)
    {
        SCOPED_TRACE(pText);
        const std::string text = pText;
        const QString expected = QString::fromUtf8(pText);
        const QString name = expected + QStringLiteral(".zip");

        // Server to client.
        mServer.SetInformation({text, text, text});
        CommandQueryMachineInformation query(mUrl);
        query.DoExecute();
        EXPECT_EQ(expected, query.GetServiceVersion());
        EXPECT_EQ(expected, query.GetName());
        EXPECT_EQ(expected, query.GetSoftwareVersion());

        mServer.SetLogSources({{text, text, 5}});
        CommandListAvailableLogs sources(mUrl);
        sources.DoExecute();
        const LogEntryList entries = sources.GetLogEntries();
        ASSERT_EQ(1u, entries.size());
        EXPECT_EQ(text, entries.front().GetType());
        EXPECT_EQ(text, entries.front().GetStartTime());
        EXPECT_EQ(expected, LogSourceDisplayName(entries.front().GetType()));

        ASSERT_TRUE(mServer.AddCollection(text + ".zip", "bytes"));
        CommandListLogCollections list(mUrl);
        list.DoExecute();
        EXPECT_TRUE(list.GetLogCollections().contains(name)) << list.GetLogCollections().join('|').toStdString();

        mServer.SetJobs({{text, text, "ct_fetchlog", "cs_running", 50.0, 0, text, text}});
        CommandLogStatus status(mUrl);
        status.DoExecute();
        CommandStatusPtr pJob = LockForRead(status.GetStatusList())->Get(expected);
        ASSERT_TRUE(pJob);
        EXPECT_EQ(expected, pJob->GetClientIp());
        EXPECT_EQ(expected, pJob->GetProgressDetails());
        EXPECT_EQ(expected, pJob->GetErrorDetails());

        mServer.SetFaultText(text);
        mServer.SetFault("LogDeleteAllCollections", Fault::Soap11Fault);
        CommandClearLogEntries failing(mUrl);
        failing.DoExecute();
        EXPECT_EQ(JoxCore::StateFailed, failing.GetState());
        EXPECT_TRUE(failing.GetErrorDetails().contains(expected)) << failing.GetErrorDetails().toStdString();
        EXPECT_TRUE(failing.GetMessagesText().contains(expected)) << failing.GetMessagesText().toStdString();
        mServer.SetFault("LogDeleteAllCollections", Fault::None);

        // Client to server.
        const QString folder = QString::fromStdString(mFolder.File("")) + expected;
        ASSERT_TRUE(QDir().mkpath(folder));
        const LogEntryList selection{LogEntry(text, text, 7)};
        CommandCollectLog collect(mUrl, selection);
        collect.GetCommandStatus()->SetProgressDetails(expected);
        collect.GetCommandStatus()->SetErrorDetails(expected);
        collect.DoExecute();
        simserver::ReceivedRequest received = mServer.GetRequests().back();
        ASSERT_EQ(1u, received.mSources.size());
        EXPECT_EQ(text, received.mSources[0].mType);
        EXPECT_EQ(text, received.mSources[0].mStartTime);
        ASSERT_TRUE(received.mStatus.has_value());
        EXPECT_EQ(text, received.mStatus->mProgressDetails.value_or(""));
        EXPECT_EQ(text, received.mStatus->mErrorDetails.value_or(""));

        CommandLogGather gather(mUrl, folder, selection);
        gather.DoExecute();
        EXPECT_EQ(JoxCore::StateSucceeded, gather.GetState()) << gather.GetMessagesText().toStdString();
        received = mServer.GetRequests().back();
        EXPECT_EQ(folder.toStdString(), received.mPath);
        ASSERT_EQ(1u, received.mSources.size());
        EXPECT_EQ(text, received.mSources[0].mType);
        EXPECT_EQ(folder, gather.GetResultPath());

        CommandLogFetch fetch(mUrl, folder, name);
        fetch.DoExecute();
        EXPECT_EQ(JoxCore::StateSucceeded, fetch.GetState()) << fetch.GetMessagesText().toStdString();
        EXPECT_EQ("bytes", tandriltest::ReadFile(QFile::encodeName(folder + QStringLiteral("/") + name).toStdString()));
        received = mServer.GetRequests().back();
        EXPECT_EQ(folder.toStdString(), received.mPath);
        EXPECT_EQ(text + ".zip", received.mFileName);

        CommandDeleteLog remove(mUrl, name);
        remove.DoExecute();
        EXPECT_EQ(JoxCore::StateSucceeded, remove.GetState()) << remove.GetMessagesText().toStdString();
        EXPECT_EQ(text + ".zip", mServer.GetRequests().back().mFileName);
        const std::vector<std::string> left = mServer.GetCollections();
        EXPECT_EQ(left.end(), std::find(left.begin(), left.end(), text + ".zip"));
    }
}

TEST_F(CommandsTest, AnUnreachableServerFailsEveryCommand)
{
    const QString unreachable = QStringLiteral("http://127.0.0.1:%1").arg(UnusedLoopbackPort());
    const std::vector<std::unique_ptr<Command>> commands = AllCommands(unreachable, mDownloads);
    for (const auto& rpCommand : commands)
    {
        rpCommand->DoExecute();
        ExpectOneError(*rpCommand, rpCommand->GetDescription(),
                       "Could not connect to the server: Connection refused.\n"
                       "SOAP 1.1 fault SOAP-ENV:Server[no subcode]\n\"Connection refused\"\n"
                       "Detail: connect failed in tcp_connect()\n");
        // What the operator is shown as the reason: the runtime's lines add
        // nothing to it.
        EXPECT_EQ(rpCommand->GetErrorDetails().toStdString(), "Could not connect to the server: Connection refused.");
    }
    EXPECT_TRUE(FolderEntries(mFolder.File("downloads")).empty());
}

// A connect that cannot be made says why, in the runtime's words, and never
// waits for a name to be looked up.
TEST_F(CommandsTest, AConnectThatFailsSaysWhy)
{
    tandriltest::SynDroppingListener unanswering;
    ASSERT_TRUE(unanswering.IsValid());
    const ServiceClientTimeouts normal = GetServiceClientTimeouts();
    ServiceClientTimeouts limits = normal;
    limits.mConnectSeconds = 1;
    SetServiceClientTimeouts(limits);
    const struct
    {
        const char* mpCase;
        std::string mUrl;
        const char* mpReason;
        const char* mpDetail;
    } cases[] = {
        {"unanswered", unanswering.GetUrl(), "Timeout", "connect failed in tcp_connect()"},
        {"no address", "http://999.1.1.1:80", "Name or service not known", "getaddrinfo failed in tcp_connect()"},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpCase);
        CommandLogStatus status(QString::fromStdString(rCase.mUrl));
        const auto start = std::chrono::steady_clock::now();
        status.DoExecute();
        const auto elapsed = std::chrono::steady_clock::now() - start;
        const std::string firstLine = std::string("Could not connect to the server: ") + rCase.mpReason + ".";
        ExpectOneError(status, status.GetDescription(),
                       firstLine + "\nSOAP 1.1 fault SOAP-ENV:Server[no subcode]\n\"" + rCase.mpReason +
                           "\"\nDetail: " + rCase.mpDetail + "\n");
        EXPECT_EQ(status.GetErrorDetails().toStdString(), firstLine);
        EXPECT_LT(elapsed, std::chrono::seconds(3));
    }
    SetServiceClientTimeouts(normal);
}

// The first line of a failure says what happened; the log has the runtime's
// fault text after it, the operator only what of it adds to that line.
TEST_F(CommandsTest, AFailureSaysFirstWhatHappened)
{
    const ServiceClientTimeouts normal = GetServiceClientTimeouts();
    SetServiceClientTimeouts({1, 1, 1});
    const std::string fault = "<SOAP-ENV:Fault><faultcode>SOAP-ENV:Server</faultcode><faultstring>Disk full"
                              "</faultstring><detail><Reason>quota</Reason></detail></SOAP-ENV:Fault>";
    const std::string chunked = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nTransfer-Encoding: chunked\r\n\r\n";
    // A reply that ends when the connection closes, open inside the response element.
    const std::string envelope = ScriptedHttpServer::SoapEnvelope("<jox:LogStatusResponse>");
    const std::string untilClosed = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n\r\n" +
                                    envelope.substr(0, envelope.find("</SOAP-ENV:Body>"));
    const std::string reply = ScriptedHttpServer::SoapReply("<jox:LogStatusResponse/>");
    const std::string body = reply.substr(reply.find("\r\n\r\n") + 4);
    // A whole DIME message: one record, the first and the last.
    const std::string dimeMessage =
        ScriptedHttpServer::DimeRecord(0x06, 0x20, "", "http://schemas.xmlsoap.org/soap/envelope/",
                                       ScriptedHttpServer::SoapEnvelope("<jox:LogStatusResponse/>"));
    const std::string proxyPage = "<html><head><title>400 Bad Request</title></head><body><p>request body too large for "
                                  "this proxy</p></body></html>";
    const std::string unendedChunk =
        "\nDetail: an HTTP chunk's data must be followed by a line break (CRLF), not by more bytes";
    // The reply's body after a header declaring its length as this.
    const auto declaring = [&body](std::size_t length) {
        return "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n" +
               body;
    };
    const struct
    {
        const char* mpCase;
        ScriptedHttpServer::Reply mReply;
        const char* mpFirstLine;
        const char* mpFault; // the start of the runtime's text after it in the log
        const char* mpAdded; // what the operator reads after the first line
    } cases[] = {
        {"closed at once", {""}, "The server closed the connection without answering.",
         "SOAP 1.1 fault SOAP-ENV:Client[no subcode]\n\"End of file or no input: ", ""},
        {"closed within the header", {"HTTP/1.1 200 OK\r\nContent-"},
         "The server closed the connection before its reply was complete.",
         "SOAP 1.1 fault SOAP-ENV:Client[no subcode]\n\"End of file or no input: ", ""},
        {"silent", {"", true}, "The server did not answer within 1 s.",
         "SOAP 1.1 fault SOAP-ENV:Client[no subcode]\n\"End of file or no input: message transfer interrupted or timed "
         "out (1 sec max recv delay)",
         ""},
        {"silent within the header", {"HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n", true},
         "The server stopped sending its reply: nothing arrived for 1 s.",
         "SOAP 1.1 fault SOAP-ENV:Client[no subcode]\n\"End of file or no input: message transfer interrupted or timed out",
         ""},
        // Its length or its last chunk ends the reply inside the response
        // element while the connection stays open: no wait ran out.
        {"cut short by its length", {declaring(body.size() / 2), true},
         "The server's reply ended before it was complete.", "SOAP 1.1 fault SOAP-ENV:Client[no subcode]\n\"Error 200: HTTP 200 OK\"",
         ""},
        {"cut short by its last chunk", {chunked + ScriptedHttpServer::Chunked(body.substr(0, body.size() / 2), 64), true},
         "The server's reply ended before it was complete.", "SOAP 1.1 fault SOAP-ENV:Client[no subcode]\n\"Error 200: HTTP 200 OK\"",
         ""},
        {"200 without XML", {ScriptedHttpServer::HttpReply("200 OK", "text/xml", "garbage")},
         "The server sent a reply the program cannot read.", "SOAP 1.1 fault SOAP-ENV:Client[no subcode]\n\"Error 200: HTTP 200 OK\"",
         ""},
        {"200 with HTML", {ScriptedHttpServer::HttpReply("200 OK", "text/html", "<html><body>hi</body></html>")},
         "The server sent a reply the program cannot read.",
         "SOAP 1.1 fault SOAP-ENV:Client[no subcode]\n\"Validation constraint violation: tag name or namespace mismatch",
         "\nValidation constraint violation: tag name or namespace mismatch in element 'html'"},
        {"HTTP error", {ScriptedHttpServer::HttpReply("503 Service Unavailable", "text/plain", "busy")},
         "The server answered with HTTP status 503.", "Error 503 fault detected[no subcode]\n\"HTTP Error\"\nDetail: busy\n",
         "\nDetail: busy"},
        // The runtime reads an error's text only by a length: the guard gives it one.
        {"HTTP error in chunks",
         {"HTTP/1.1 503 Service Unavailable\r\nContent-Type: text/plain\r\nTransfer-Encoding: chunked\r\n\r\n" +
          ScriptedHttpServer::Chunked("busy for now", 4)},
         "The server answered with HTTP status 503.", "Error 503 fault detected[no subcode]\n\"HTTP Error\"\nDetail: busy for now\n",
         "\nDetail: busy for now"},
        {"HTTP error up to the end of the connection",
         {"HTTP/1.1 503 Service Unavailable\r\nContent-Type: text/plain\r\n\r\nbusy until closed"},
         "The server answered with HTTP status 503.",
         "Error 503 fault detected[no subcode]\n\"HTTP Error\"\nDetail: busy until closed\n", "\nDetail: busy until closed"},
        // Complete, with the connection open: the status names them.
        {"a 304 of DIME type", {"HTTP/1.1 304 Not Modified\r\nContent-Type: application/dime\r\n\r\n", true},
         "The server answered with HTTP status 304.", "Error 304 fault detected[no subcode]\n\"HTTP Error\"", ""},
        {"a 404 whose body is a whole DIME message",
         {ScriptedHttpServer::HttpReply("404 Not Found", "application/dime", dimeMessage), true},
         "The server answered with HTTP status 404.", "Error 404 fault detected[no subcode]\n\"HTTP Error\"", ""},
        // The runtime reads a 400's or a 500's body as SOAP: one that is not
        // a fault reaches the text all the same.
        {"HTTP 500 with plain text",
         {ScriptedHttpServer::HttpReply("500 Internal Server Error", "text/plain", "database connection refused")},
         "The server answered with HTTP status 500.",
         "SOAP 1.1 fault SOAP-ENV:Client[no subcode]\n\"Error 500: HTTP 500 Internal Server Error\"\nDetail: database "
         "connection refused\n",
         "\nDetail: database connection refused"},
        {"HTTP 400 with a proxy's page in chunks",
         {"HTTP/1.1 400 Bad Request\r\nContent-Type: text/html\r\nTransfer-Encoding: chunked\r\n\r\n" +
          ScriptedHttpServer::Chunked(proxyPage, 16)},
         "The server answered with HTTP status 400.",
         "SOAP 1.1 fault SOAP-ENV:Client[no subcode]\n\"Error 400: HTTP 400 Bad Request\"\nDetail: <html><head>",
         "\nDetail: 400 Bad Request request body too large for this proxy"},
        {"status of two digits", {"HTTP/1.1 20 OK\r\nContent-Length: 0\r\n\r\n"},
         "The server sent a reply the program cannot read.",
         "Error -1 fault detected[no subcode]\n\"The server sent a reply the program cannot read\"\nDetail: the status line "
         "\"HTTP/1.1 20 OK\" is not HTTP/1.x, one space and a status of three digits\n",
         "\nDetail: the status line \"HTTP/1.1 20 OK\" is not HTTP/1.x, one space and a status of three digits"},
        {"status of five digits", {"HTTP/1.1 65736 OK\r\n" + reply.substr(reply.find("\r\n") + 2)},
         "The server sent a reply the program cannot read.",
         "Error -1 fault detected[no subcode]\n\"The server sent a reply the program cannot read\"\nDetail: the status line "
         "\"HTTP/1.1 65736 OK\" is not",
         "\nDetail: the status line \"HTTP/1.1 65736 OK\" is not HTTP/1.x, one space and a status of three digits"},
        {"status above 599", {"HTTP/1.1 600 OK\r\n" + reply.substr(reply.find("\r\n") + 2)},
         "The server sent a reply the program cannot read.",
         "Error -1 fault detected[no subcode]\n\"The server sent a reply the program cannot read\"\nDetail: the status line "
         "\"HTTP/1.1 600 OK\" holds a status outside 100 to 599\n",
         "\nDetail: the status line \"HTTP/1.1 600 OK\" holds a status outside 100 to 599"},
        {"SOAP fault", {ScriptedHttpServer::SoapReply(fault)}, "The server reported a fault: Disk full.",
         "SOAP 1.1 fault SOAP-ENV:Server[no subcode]\n\"Disk full\"\nDetail: <Reason>quota</Reason>\n", "\nDetail: quota"},
        {"SOAP fault with HTTP 500",
         {ScriptedHttpServer::HttpReply("500 Internal Server Error", "text/xml", ScriptedHttpServer::SoapEnvelope(fault))},
         "The server reported a fault: Disk full.", "SOAP 1.1 fault SOAP-ENV:Server[no subcode]\n\"Disk full\"",
         "\nDetail: quota"},
        {"a fault whose detail repeats its string",
         {ScriptedHttpServer::SoapReply("<SOAP-ENV:Fault><faultcode>SOAP-ENV:Server</faultcode><faultstring>Disk full"
                                        "</faultstring><detail><Why>disk  FULL.</Why></detail></SOAP-ENV:Fault>")},
         "The server reported a fault: Disk full.", "SOAP 1.1 fault SOAP-ENV:Server[no subcode]\n\"Disk full\"", ""},
        {"a fault code of the server's own",
         {ScriptedHttpServer::SoapReply("<SOAP-ENV:Fault><faultcode>jox:Busy</faultcode><faultstring>Try later"
                                        "</faultstring></SOAP-ENV:Fault>")},
         "The server reported a fault: Try later.", "SOAP 1.1 fault jox:Busy[no subcode]\n\"Try later\"\nDetail: [no detail]",
         "\nFault code: jox:Busy"},
        {"must-understand header",
         {ScriptedHttpServer::SoapReply("<jox:LogStatusResponse/>",
                                        "<SOAP-ENV:Header><x:Guard xmlns:x=\"urn:x\" SOAP-ENV:mustUnderstand=\"1\"/>"
                                        "</SOAP-ENV:Header>")},
         "The server sent a reply the program cannot read.", "SOAP 1.1 fault SOAP-ENV:MustUnderstand[no subcode]\n",
         "\nThe data in element 'x:Guard' must be understood but cannot be processed"},
        {"chunk-size line too long", {chunked, false, 0, "0"}, "The reply's chunk-size line is too long.",
         "Error -1 fault detected[no subcode]\n\"The reply's chunk-size line is too long\"",
         "\nDetail: an HTTP chunk-size line with its extensions may take at most 64 KiB"},
        // Its data's last bytes are not a size: "def" does not declare 0xdef bytes.
        {"a chunk size too short", {chunked + "3\r\nabcdef\r\n", true}, "The reply's HTTP chunks are malformed.",
         "Error -1 fault detected[no subcode]\n\"The reply's HTTP chunks are malformed\"\nDetail: an HTTP chunk's data",
         unendedChunk.c_str()},
        {"chunk size beyond 64 bits", {chunked + "10000000000000000\r\n<"}, "The reply's HTTP chunk is too large.",
         "Error -1 fault detected[no subcode]\n\"The reply's HTTP chunk is too large\"\nDetail: an HTTP chunk-size "
         "line declares a size beyond 64 bits\n",
         "\nDetail: an HTTP chunk-size line declares a size beyond 64 bits"},
        {"reply too large", {untilClosed, false, 0, "<Pad>" + std::string(1000, 'p') + "</Pad>"},
         "The reply exceeds the limit of 16 MiB.", "SOAP 1.1 fault SOAP-ENV:Server[no subcode]\n\"The reply exceeds the limit",
         "\nDetail: a reply may carry at most 16 MiB besides its collection's data"},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpCase);
        ScriptedHttpServer server;
        ASSERT_TRUE(server.Start({rCase.mReply}));
        CommandLogStatus status(QString::fromStdString(server.GetUrl()));
        status.DoExecute();
        EXPECT_EQ(JoxCore::StateFailed, status.GetState());
        const QString firstLine = QString::fromUtf8(rCase.mpFirstLine);
        EXPECT_EQ(status.GetFailureReason(), firstLine);
        EXPECT_EQ(status.GetErrorDetails().toStdString(), rCase.mpFirstLine + std::string(rCase.mpAdded));
        EXPECT_TRUE(status.GetMessagesText().contains(firstLine + "\n" + QString::fromUtf8(rCase.mpFault)))
            << status.GetMessagesText().toStdString();
    }
    SetServiceClientTimeouts(normal);

    const QString unreachable = QStringLiteral("http://127.0.0.1:%1").arg(UnusedLoopbackPort());
    CommandLogStatus refused(unreachable);
    refused.DoExecute();
    EXPECT_EQ(refused.GetErrorDetails(), "Could not connect to the server: Connection refused.");
}

// A fault's texts are kept only in part: a server may send megabytes of them.
TEST_F(CommandsTest, LongFaultTextsAreCut)
{
    const std::string reason(3 * 1024 * 1024, 'r');
    const std::string detail(3 * 1024 * 1024, 'd');
    // A two-byte character across the cut keeps whole.
    const std::string string = std::string(4095, 's') + "\xC3\xA9" + reason;
    ScriptedHttpServer server;
    ASSERT_TRUE(server.Start({{ScriptedHttpServer::SoapReply(
        "<SOAP-ENV:Fault><faultcode>SOAP-ENV:Server</faultcode><faultstring>" + string +
        "</faultstring><detail>" + detail + "</detail></SOAP-ENV:Fault>")}}));
    CommandLogStatus status(QString::fromStdString(server.GetUrl()));
    status.DoExecute();
    EXPECT_EQ(JoxCore::StateFailed, status.GetState());
    const QString details = status.GetErrorDetails();
    EXPECT_LT(details.size(), 16 * 1024);
    const QString cutString = QString(4095, QLatin1Char('s')) +
                              QStringLiteral(" [cut: %1 bytes in all]").arg(string.size());
    EXPECT_TRUE(details.startsWith(QStringLiteral("The server reported a fault: ") + cutString + ".\nDetail: "))
        << details.left(200).toStdString();
    EXPECT_EQ(details.count(cutString), 1);
    EXPECT_TRUE(status.GetMessagesText().contains(QStringLiteral("\"") + cutString + "\"\n"));
    EXPECT_TRUE(details.endsWith(QStringLiteral("Detail: ") + QString(4096, QLatin1Char('d')) +
                                 QStringLiteral(" [cut: %1 bytes in all]").arg(detail.size())))
        << details.right(200).toStdString();
}

TEST_F(CommandsTest, LogStatusKeepsTheFirstOfRepeatedIdentifiers)
{
    mServer.SetJobs({{"{j1}", "10.0.0.9", "ct_collectlog", "cs_running", 40.0, 0, std::string("packing"), std::nullopt},
                     {"{j1}", "other", "ct_fetchlog", "cs_failed", 0.0, 0, std::nullopt, std::nullopt},
                     {"{j2}", "", "bogus", "bogus", 0.0, 0, std::nullopt, std::string("disk full")}});
    CommandLogStatus status(mUrl);
    status.DoExecute();
    EXPECT_EQ(JoxCore::StateSucceeded, status.GetState());
    LockedCommandStatusList list = LockForRead(status.GetStatusList());
    ASSERT_EQ(2u, list->size());
    CommandStatusPtr pFirst = list->Get("{j1}");
    EXPECT_EQ("10.0.0.9", pFirst->GetClientIp());
    EXPECT_EQ(ct_collectlog, pFirst->GetCommandType());
    EXPECT_EQ(cs_running, pFirst->GetCommandStatus());
    EXPECT_EQ("packing", pFirst->GetProgressDetails());
    CommandStatusPtr pSecond = list->Get("{j2}");
    EXPECT_EQ(ct_unknown, pSecond->GetCommandType());
    EXPECT_EQ(cs_failed, pSecond->GetCommandStatus());
    EXPECT_EQ("disk full", pSecond->GetErrorDetails());
    std::unique_ptr<Command> pCopy(status.Clone());
    EXPECT_EQ(status.GetStatusList(), static_cast<CommandLogStatus&>(*pCopy).GetStatusList());
}

TEST_F(CommandsTest, CollectLogSendsItsOwnStatus)
{
    CommandCollectLog collect(mUrl, {LogEntry("harlenchannel2", "2026-03-01T10:00:00", 60)});
    collect.DoExecute();
    EXPECT_EQ(JoxCore::StateSucceeded, collect.GetState());
    simserver::ReceivedRequest received = mServer.GetRequests().back();
    EXPECT_EQ("LogCreateCollection", received.mOperation);
    ASSERT_EQ(1u, received.mSources.size());
    EXPECT_EQ("harlenchannel2", received.mSources[0].mType);
    ASSERT_TRUE(received.mStatus.has_value());
    EXPECT_EQ(collect.GetCommandStatus()->GetCommandId().toStdString(), received.mStatus->mCommandId);
    EXPECT_EQ("ct_collectlog", received.mStatus->mCommandType);
    EXPECT_EQ("cs_pending", received.mStatus->mCommandStatus);
    EXPECT_EQ(0.0, received.mStatus->mProgressPercent);
    EXPECT_EQ(0, received.mStatus->mFinishedPhases);
    EXPECT_FALSE(received.mStatus->mProgressDetails.has_value());
    EXPECT_FALSE(received.mStatus->mErrorDetails.has_value());

    CommandCollectLog empty(mUrl, LogEntryList());
    empty.DoExecute();
    EXPECT_EQ(JoxCore::StateSucceeded, empty.GetState());
    EXPECT_FALSE(mServer.GetRequests().back().mHasSources);
}

TEST_F(CommandsTest, GatherStreamsTheNewCollectionIntoTheFolder)
{
    CommandLogGather gather(mUrl, mDownloads, {LogEntry("systemlogs", "2026-03-01T10:00:00", 60)});
    gather.DoExecute();
    ASSERT_EQ(JoxCore::StateSucceeded, gather.GetState()) << gather.GetMessagesText().toStdString();
    EXPECT_EQ(mDownloads, gather.GetResultPath());
    EXPECT_EQ((std::vector<std::string>{"collection_1.zip"}), FolderEntries(mFolder.File("downloads")));
    EXPECT_EQ("simulated log collection\nsystemlogs 2026-03-01T10:00:00 60\n",
              tandriltest::ReadFile(Download("collection_1.zip")));
    EXPECT_EQ(mDownloads.toStdString(), mServer.GetRequests().back().mPath);
    const auto records = mLog.InCategory("maintenance");
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(5, records[0].mLevel);
    EXPECT_EQ("Got logfile " + mDownloads.toStdString() +
                  " size=0 type=application/octet-stream through streaming DIME, stored as \"" +
                  Download("collection_1.zip") + "\"\n",
              records[0].mMessage);
    EXPECT_EQ(QString::fromStdString(Download("collection_1.zip")), gather.GetSavedFile());
    EXPECT_EQ(cs_pending, gather.GetCommandStatus()->GetCommandStatus());
}

TEST_F(CommandsTest, ADownloadWithoutAStoredFileNeverSucceeds)
{
    ASSERT_TRUE(mServer.AddCollection("c.zip", "bytes"));
    const struct
    {
        Fault mFault;
        const char* mpText;
    } cases[] = {{Fault::UnknownChild, "The reply carried no collection file"},
                 {Fault::NilLogFile, "The reply carried no collection file"},
                 {Fault::InlineLogFile,
                  "The reply carried the collection inline instead of as a DIME attachment; it was not stored"}};
    for (const auto& rCase : cases)
    {
        mServer.SetFault("LogCreateAndFetchCollection", rCase.mFault);
        mServer.SetFault("LogFetchCollection", rCase.mFault);
        CommandLogGather gather(mUrl, mDownloads, {});
        gather.DoExecute();
        CommandLogFetch fetch(mUrl, mDownloads, "c.zip");
        fetch.DoExecute();
        for (const Command* pCommand : {static_cast<const Command*>(&gather), static_cast<const Command*>(&fetch)})
        {
            EXPECT_EQ(JoxCore::StateFailed, pCommand->GetState()) << rCase.mpText;
            EXPECT_TRUE(pCommand->GetMessagesText().contains(QString::fromLatin1(rCase.mpText)))
                << pCommand->GetMessagesText().toStdString();
        }
        EXPECT_TRUE(gather.GetResultPath().isEmpty());
    }
    EXPECT_TRUE(mLog.InCategory("maintenance").empty());
    EXPECT_TRUE(FolderEntries(mFolder.File("downloads")).empty());
}

TEST_F(CommandsTest, EveryOperationRefusesAMalformedDimeOption)
{
    // The option declares 65535 bytes and holds two: refused within its bytes
    // (the sanitizer build reports any read past them), whatever the operation.
    mServer.SetFault("", Fault::DimeShortOption);
    const std::vector<std::unique_ptr<Command>> commands = AllCommands(mUrl, mDownloads);
    for (const auto& rpCommand : commands)
    {
        rpCommand->DoExecute();
        EXPECT_EQ(JoxCore::StateFailed, rpCommand->GetState()) << rpCommand->GetDescription().toStdString();
        EXPECT_TRUE(rpCommand->GetMessagesText().contains(
            "Refused the downloaded collection: malformed DIME option\"\nDetail: the file name's declared length "
            "(65535 bytes) disagrees with the option field"))
            << rpCommand->GetMessagesText().toStdString();
    }
    EXPECT_TRUE(FolderEntries(mFolder.File("downloads")).empty());
}

TEST_F(CommandsTest, DownloadsGoToTheFolderInTheLocalEncoding)
{
    // The wire carries the folder as text (UTF-8 in the XML); the file lands
    // in the folder of that name on disk.
    const QString folder = QString::fromStdString(mFolder.File("")) + QString::fromUtf8("M\xC3\xBCller \xE2\x82\xAC");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(mServer.AddCollection("caf\xC3\xA9.zip", "bytes"));
    CommandLogFetch fetch(mUrl, folder, QString::fromUtf8("caf\xC3\xA9.zip"));
    fetch.DoExecute();
    ASSERT_EQ(JoxCore::StateSucceeded, fetch.GetState()) << fetch.GetMessagesText().toStdString();
    EXPECT_EQ("bytes", tandriltest::ReadFile(QFile::encodeName(folder + QString::fromUtf8("/caf\xC3\xA9.zip")).toStdString()));
    EXPECT_EQ(mFolder.File("") + "M\xC3\xBCller \xE2\x82\xAC", mServer.GetRequests().back().mPath);

    CommandLogGather gather(mUrl, folder, {LogEntry("systemlogs", "", 1)});
    gather.DoExecute();
    ASSERT_EQ(JoxCore::StateSucceeded, gather.GetState()) << gather.GetMessagesText().toStdString();
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/collection_1.zip")));
}

TEST_F(CommandsTest, AnExistingFileIsNeverReplaced)
{
    ASSERT_TRUE(mServer.AddCollection("c.zip", "new bytes"));
    // The attachment's name differs from the listed one and names a local file.
    tandriltest::WriteFile(Download("other.zip"), "operator's file");
    mServer.SetAttachmentOption("sub\\other.zip");
    CommandLogFetch fetch(mUrl, mDownloads, "c.zip");
    fetch.DoExecute();
    EXPECT_EQ(JoxCore::StateFailed, fetch.GetState());
    EXPECT_EQ(QStringLiteral("Error  FetchLogs  The file \"") + QString::fromStdString(Download("other.zip")) +
                  "\" already exists on this computer and was kept; the collection was not downloaded",
              fetch.GetMessagesText());
    EXPECT_EQ(fetch.GetLocalFault(), fetch.GetErrorDetails());
    EXPECT_EQ("operator's file", tandriltest::ReadFile(Download("other.zip")));

    EXPECT_EQ((std::vector<std::string>{"other.zip"}), FolderEntries(mFolder.File("downloads")));
}

TEST_F(CommandsTest, AGatheredCollectionWhoseNameExistsIsStoredBesideIt)
{
    // Two servers name their first build alike; both collections are kept.
    simserver::SimServer other(mFolder.File("other server"));
    ASSERT_TRUE(other.Start()) << other.GetError();
    CommandLogGather first(QString::fromStdString(other.GetUrl()), mDownloads, {});
    first.DoExecute();
    ASSERT_EQ(JoxCore::StateSucceeded, first.GetState()) << first.GetMessagesText().toStdString();
    CommandLogGather second(mUrl, mDownloads, {LogEntry("systemlogs", "", 1)});
    second.DoExecute();
    other.Stop();
    ASSERT_EQ(JoxCore::StateSucceeded, second.GetState()) << second.GetMessagesText().toStdString();
    EXPECT_EQ((std::vector<std::string>{"collection_1 (2).zip", "collection_1.zip"}),
              FolderEntries(mFolder.File("downloads")));
    EXPECT_EQ("simulated log collection\n", tandriltest::ReadFile(Download("collection_1.zip")));
    EXPECT_EQ("simulated log collection\nsystemlogs  1\n", tandriltest::ReadFile(Download("collection_1 (2).zip")));
    // The file used is the one the result and the log name.
    EXPECT_EQ(QString::fromStdString(Download("collection_1 (2).zip")), second.GetSavedFile());
    EXPECT_EQ(mDownloads, second.GetResultPath());
    const auto records = mLog.InCategory("maintenance");
    ASSERT_EQ(2u, records.size());
    EXPECT_NE(std::string::npos, records[1].mMessage.find("stored as \"" + Download("collection_1 (2).zip") + "\""))
        << records[1].mMessage;

    // The server's next build, with its name and every numbered one taken.
    tandriltest::WriteFile(Download("collection_2.zip"), "taken");
    for (int number = 2; number <= 100; ++number)
        tandriltest::WriteFile(Download("collection_2 (" + std::to_string(number) + ").zip"), "taken");
    CommandLogGather full(mUrl, mDownloads, {});
    full.DoExecute();
    EXPECT_EQ(JoxCore::StateFailed, full.GetState());
    EXPECT_EQ(QStringLiteral("Could not store the collection in the folder \"") + mDownloads +
                  "\" on this computer: \"collection_2.zip\" and every numbered name up to \"collection_2 (100).zip\" "
                  "exist there",
              full.GetLocalFault());
    EXPECT_TRUE(full.GetSavedFile().isEmpty());
    EXPECT_EQ(2u + 100u, FolderEntries(mFolder.File("downloads")).size());
}

TEST_F(CommandsTest, AWriteErrorFailsTheDownloadNamingIt)
{
    ASSERT_TRUE(mServer.AddCollection("big.zip", std::string(3 * 1024 * 1024, 'b')));
    ASSERT_TRUE(mServer.AddCollection("small.zip", std::string(1024 * 1024 + 10, 's')));
    // A file size limit stands in for a full disk: writes past it fail.
    struct rlimit previous{};
    ASSERT_EQ(0, ::getrlimit(RLIMIT_FSIZE, &previous));
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = previous;
    limited.rlim_cur = 1024 * 1024;
    ASSERT_EQ(0, ::setrlimit(RLIMIT_FSIZE, &limited));
    // One fails while streaming, one only when the last bytes are flushed.
    CommandLogFetch big(mUrl, mDownloads, "big.zip");
    big.DoExecute();
    CommandLogFetch small(mUrl, mDownloads, "small.zip");
    small.DoExecute();
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    // A folder that cannot hold files: its path runs through a file (this
    // fails for root too).
    tandriltest::WriteFile(mFolder.File("plain"), "a file");
    const QString throughFile = QString::fromStdString(mFolder.File("plain/sub"));
    CommandLogGather gather(mUrl, throughFile, {});
    gather.DoExecute();
    const struct
    {
        const Command* mpCommand;
        std::string mPath;
        const char* mpReason;
    } cases[] = {{&big, Download("big.zip"), "File too large"},
                 {&small, Download("small.zip"), "File too large"},
                 {&gather, mFolder.File("plain/sub/collection_1.zip"), "Not a directory"}};
    for (const auto& rCase : cases)
    {
        // Named as local, with the file and the system's reason; not as the server's fault.
        EXPECT_EQ(JoxCore::StateFailed, rCase.mpCommand->GetState()) << rCase.mPath;
        const QString expected = QStringLiteral("Could not write the file \"") + QString::fromStdString(rCase.mPath) +
                                 "\" on this computer: " + rCase.mpReason;
        EXPECT_EQ(expected, rCase.mpCommand->GetLocalFault());
        EXPECT_EQ(expected, rCase.mpCommand->GetErrorDetails());
        EXPECT_FALSE(rCase.mpCommand->GetMessagesText().contains("SOAP")) << rCase.mpCommand->GetMessagesText().toStdString();
    }
    EXPECT_TRUE(FolderEntries(mFolder.File("downloads")).empty());
}

TEST_F(CommandsTest, NamesNearTheFileSystemLimit)
{
    const std::string longest(255, 'n');
    ASSERT_TRUE(mServer.AddCollection(longest, "bytes"));
    CommandLogFetch fetch(mUrl, mDownloads, QString::fromStdString(longest));
    fetch.DoExecute();
    ASSERT_EQ(JoxCore::StateSucceeded, fetch.GetState()) << fetch.GetMessagesText().toStdString();
    EXPECT_EQ("bytes", tandriltest::ReadFile(Download(longest)));

    mServer.SetAttachmentOption(longest + "x");
    CommandLogFetch tooLong(mUrl, mDownloads, QString::fromStdString(longest));
    tooLong.DoExecute();
    EXPECT_EQ(JoxCore::StateFailed, tooLong.GetState());
    EXPECT_TRUE(tooLong.GetMessagesText().contains("File name too long")) << tooLong.GetMessagesText().toStdString();
    EXPECT_EQ((std::vector<std::string>{longest}), FolderEntries(mFolder.File("downloads")));
}

TEST_F(CommandsTest, ARepliesXmlIsBoundedWhileDownloadsAreNot)
{
    mServer.SetFault("LogListCollections", Fault::OversizedReply);
    CommandListLogCollections list(mUrl);
    list.DoExecute();
    EXPECT_EQ(JoxCore::StateFailed, list.GetState());
    EXPECT_TRUE(list.GetMessagesText().contains("\"The reply exceeds the limit of 16 MiB\"\nDetail: a reply may carry at "
                                                "most 16 MiB besides its collection's data"))
        << list.GetMessagesText().toStdString();

    // Past the limit as chunked DIME records (the simulated server) and as
    // one record in a reply with a length.
    const std::string content(20 * 1024 * 1024, 'z');
    ASSERT_TRUE(mServer.AddCollection("big.zip", content));
    CommandLogFetch fetch(mUrl, mDownloads, "big.zip");
    fetch.DoExecute();
    ASSERT_EQ(JoxCore::StateSucceeded, fetch.GetState()) << fetch.GetMessagesText().toStdString();
    EXPECT_EQ(content.size(), tandriltest::ReadFile(Download("big.zip")).size());

    const std::string envelope = simserver::ScriptedHttpServer::SoapEnvelope(
        "<jox:LogFetchCollectionResponse><LogFile href=\"cid:one\"/></jox:LogFetchCollectionResponse>");
    const std::string option = std::string("\0\0\0\x07", 4) + "one.zip";
    simserver::ScriptedHttpServer scripted;
    ASSERT_TRUE(scripted.Start({{simserver::ScriptedHttpServer::HttpReply(
        "200 OK", "application/dime",
        ScriptedHttpServer::DimeRecord(0x04, 0x20, "", "http://schemas.xmlsoap.org/soap/envelope/", envelope) +
            ScriptedHttpServer::DimeRecord(0x02, 0x10, "cid:one", "application/octet-stream", content, option))}}));
    CommandLogFetch withLength(QString::fromStdString(scripted.GetUrl()), mDownloads, "one.zip");
    withLength.DoExecute();
    ASSERT_EQ(JoxCore::StateSucceeded, withLength.GetState()) << withLength.GetMessagesText().toStdString();
    EXPECT_EQ(content.size(), tandriltest::ReadFile(Download("one.zip")).size());
}

TEST_F(CommandsTest, RepliesAreReadAlikeWithUnqualifiedOrServiceQualifiedChildren)
{
    // How a server may write the response element and its children: "%"
    // in a template stands for the children's prefix.
    struct Form
    {
        const char* mpName;
        std::string mOpen;        // the response element's start tag, "@" for its name
        std::string mClose;       // its end tag
        std::string mChildPrefix; // replaces "%"
    };
    const std::string schema = SchemaNamespace();
    const Form forms[] = {
        {"unqualified", "<jox:@>", "</jox:@>", ""},
        {"default namespace", "<@ xmlns=\"" + schema + "\">", "</@>", ""},
        {"schema prefix", "<tns:@ xmlns:tns=\"" + schema + "\">", "</tns:@>", "tns:"},
        {"service prefix", "<jox:@ xmlns:svc=\"" + schema + "/Service.wsdl\">", "</jox:@>", "svc:"}};
    auto body = [](const Form& rForm, const std::string& rResponse, std::string children) {
        for (std::size_t at = children.find('%'); at != std::string::npos; at = children.find('%', at))
        {
            children.replace(at, 1, rForm.mChildPrefix);
            at += rForm.mChildPrefix.size();
        }
        std::string open = rForm.mOpen;
        std::string close = rForm.mClose;
        open.replace(open.find('@'), 1, rResponse);
        close.replace(close.find('@'), 1, rResponse);
        return open + children + close;
    };
    const std::string status =
        "<%Status><%Status><%CommandID>{j1}</%CommandID><%ClientIP>10.0.0.9</%ClientIP>"
        "<%CommandType>ct_fetchlog</%CommandType><%CommandStatus>cs_running</%CommandStatus>"
        "<%ProgressPercent>40</%ProgressPercent><%FinishedPhases>1</%FinishedPhases>"
        "<%ProgressDetails>packing</%ProgressDetails><%ErrorDetails>none</%ErrorDetails></%Status></%Status>";
    const std::string sources = "<%Sources><%Source><%Type>systemlogs</%Type><%StartTime>2026-01-01T00:00:00"
                                "</%StartTime><%DurationSeconds>60</%DurationSeconds></%Source></%Sources>";
    for (const Form& rForm : forms)
    {
        SCOPED_TRACE(rForm.mpName);
        const std::string option = std::string("\0\0\0\x05", 4) + "f.zip";
        auto dime = [&](const std::string& rResponse, const std::string& rChildren) {
            const std::string envelope = simserver::ScriptedHttpServer::SoapEnvelope(body(rForm, rResponse, rChildren));
            return simserver::ScriptedHttpServer::HttpReply(
                "200 OK", "application/dime",
                ScriptedHttpServer::DimeRecord(0x04, 0x20, "", "http://schemas.xmlsoap.org/soap/envelope/", envelope) +
                    ScriptedHttpServer::DimeRecord(0x02, 0x10, "cid:f", "application/octet-stream", "file bytes", option));
        };
        auto reply = [&](const std::string& rResponse, const std::string& rChildren) {
            return simserver::ScriptedHttpServer::SoapReply(body(rForm, rResponse, rChildren));
        };
        simserver::ScriptedHttpServer scripted;
        ASSERT_TRUE(scripted.Start(
            {{reply("ServiceFetchInformationResponse", "<%ServiceVersion>1.0</%ServiceVersion><%Name>Studio</%Name>"
                                                       "<%SoftwareVersion>4.2</%SoftwareVersion>")},
             {reply("LogListResponse", sources)},
             {reply("LogListCollectionsResponse", "<%LogCollection>a.zip</%LogCollection>"
                                                  "<%LogCollection>b.zip</%LogCollection>")},
             {reply("LogStatusResponse", status)},
             {reply("LogCreateCollectionResponse", sources)},
             {dime("LogFetchCollectionResponse", "<%LogFile href=\"cid:f\"/>")},
             {dime("LogCreateAndFetchCollectionResponse", sources + "<%LogFile href=\"cid:f\"/>")}}));
        const QString url = QString::fromStdString(scripted.GetUrl());
        const QString folder = QString::fromStdString(mFolder.File("")) + QString::fromUtf8(rForm.mpName);
        ASSERT_TRUE(QDir().mkpath(folder));

        CommandQueryMachineInformation query(url);
        query.DoExecute();
        EXPECT_EQ("1.0", query.GetServiceVersion());
        EXPECT_EQ("Studio", query.GetName());
        EXPECT_EQ("4.2", query.GetSoftwareVersion());

        CommandListAvailableLogs list(url);
        list.DoExecute();
        const LogEntryList entries = list.GetLogEntries();
        EXPECT_EQ(1u, entries.size());
        for (const LogEntry& rEntry : entries)
        {
            EXPECT_EQ("systemlogs", rEntry.GetType());
            EXPECT_EQ("2026-01-01T00:00:00", rEntry.GetStartTime());
            EXPECT_EQ(60, rEntry.GetDurationSeconds());
        }

        CommandListLogCollections collections(url);
        collections.DoExecute();
        EXPECT_EQ((QStringList{"a.zip", "b.zip"}), collections.GetLogCollections());

        CommandLogStatus jobs(url);
        jobs.DoExecute();
        const CommandStatusPtr pJob = LockForRead(jobs.GetStatusList())->Get("{j1}");
        EXPECT_TRUE(pJob);
        if (pJob)
        {
            EXPECT_EQ("10.0.0.9", pJob->GetClientIp());
            EXPECT_EQ(ct_fetchlog, pJob->GetCommandType());
            EXPECT_EQ(cs_running, pJob->GetCommandStatus());
            EXPECT_EQ(40.0, pJob->GetProgressPercent());
            EXPECT_EQ(1, pJob->GetFinishedPhases());
            EXPECT_EQ("packing", pJob->GetProgressDetails());
            EXPECT_EQ("none", pJob->GetErrorDetails());
        }

        CommandCollectLog collect(url, {LogEntry("systemlogs", "", 1)});
        collect.DoExecute();
        EXPECT_EQ(JoxCore::StateSucceeded, collect.GetState()) << collect.GetMessagesText().toStdString();

        CommandLogFetch fetch(url, folder, "f.zip");
        fetch.DoExecute();
        EXPECT_EQ(JoxCore::StateSucceeded, fetch.GetState()) << fetch.GetMessagesText().toStdString();
        EXPECT_EQ("file bytes", tandriltest::ReadFile(QFile::encodeName(folder + "/f.zip").toStdString()));
        QFile::remove(folder + "/f.zip");

        CommandLogGather gather(url, folder, {LogEntry("systemlogs", "", 1)});
        gather.DoExecute();
        EXPECT_EQ(JoxCore::StateSucceeded, gather.GetState()) << gather.GetMessagesText().toStdString();
        EXPECT_EQ("file bytes", tandriltest::ReadFile(QFile::encodeName(folder + "/f.zip").toStdString()));
    }
}

TEST_F(CommandsTest, RepliesInIso88591OrWithBytesThatAreNotUtf8)
{
    // An ISO 8859-1 reply is read by its declaration; a byte that is not
    // UTF-8 in a UTF-8 reply is read as the ISO 8859-1 character, so the
    // texts the client holds (and may send back) are always valid UTF-8.
    const std::string latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                               "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                               "xmlns:jox=\"" + SchemaNamespace() + "\"><SOAP-ENV:Body>"
                               "<jox:ServiceFetchInformationResponse><Name>R\xE9gie</Name>"
                               "</jox:ServiceFetchInformationResponse></SOAP-ENV:Body></SOAP-ENV:Envelope>";
    simserver::ScriptedHttpServer scripted;
    ASSERT_TRUE(scripted.Start(
        {{simserver::ScriptedHttpServer::HttpReply("200 OK", "text/xml; charset=ISO-8859-1", latin1)},
         {simserver::ScriptedHttpServer::SoapReply(
             "<jox:ServiceFetchInformationResponse><Name>R\xE9gie \xC3\xA9</Name></jox:ServiceFetchInformationResponse>")}}));
    const QString url = QString::fromStdString(scripted.GetUrl());
    CommandQueryMachineInformation query(url);
    query.DoExecute();
    EXPECT_EQ(QString::fromUtf8("R\xC3\xA9gie"), query.GetName());
    CommandQueryMachineInformation broken(url);
    broken.DoExecute();
    EXPECT_EQ(QString::fromUtf8("R\xC3\xA9gie \xC3\xA9"), broken.GetName());
}

TEST_F(CommandsTest, FetchWritesOnlyIntoTheFolderItWasGiven)
{
    ASSERT_TRUE(mServer.AddCollection("c.zip", "collection bytes"));
    for (const char* pOption : {"../../escaped.zip", "/tmp/absolute.zip", "..\\..\\windows.zip"})
    {
        mServer.SetAttachmentOption(pOption);
        CommandLogFetch fetch(mUrl, mDownloads, "c.zip");
        fetch.DoExecute();
        EXPECT_EQ(JoxCore::StateSucceeded, fetch.GetState()) << pOption;
    }
    EXPECT_EQ((std::vector<std::string>{"absolute.zip", "escaped.zip", "windows.zip"}),
              FolderEntries(mFolder.File("downloads")));
    EXPECT_EQ("collection bytes", tandriltest::ReadFile(Download("escaped.zip")));
    EXPECT_EQ((std::vector<std::string>{"downloads", "server"}), FolderEntries(mFolder.Path()));

    mServer.SetAttachmentOption("/home/op/..");
    CommandLogFetch refused(mUrl, mDownloads, "c.zip");
    refused.DoExecute();
    EXPECT_EQ(JoxCore::StateFailed, refused.GetState());
    EXPECT_TRUE(refused.GetMessagesText().contains("Refused the file name of the downloaded collection"))
        << refused.GetMessagesText().toStdString();
    EXPECT_EQ(3u, FolderEntries(mFolder.File("downloads")).size());
}

TEST_F(CommandsTest, NamesInWindows1252AreStoredAndNamesWithFormatCharactersRefused)
{
    ASSERT_TRUE(mServer.AddCollection("c.zip", "bytes"));
    const struct
    {
        const char* mpOption;
        const char* mpStored; // empty: refused
    } cases[] = {{"Log \x96 1 \x80.zip", "Log \xE2\x80\x93 1 \xE2\x82\xAC.zip"},
                 {"coll\xE2\x80\xAEpiz.exe", ""},
                 {"\xEF\xBB\xBFlog.zip", ""}};
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpOption);
        mServer.SetAttachmentOption(rCase.mpOption);
        CommandLogGather gather(mUrl, mDownloads, {});
        CommandLogFetch fetch(mUrl, mDownloads, "c.zip");
        for (Command* pCommand : {static_cast<Command*>(&gather), static_cast<Command*>(&fetch)})
        {
            pCommand->DoExecute();
            if (!*rCase.mpStored)
            {
                EXPECT_EQ(JoxCore::StateFailed, pCommand->GetState());
                EXPECT_TRUE(pCommand->GetMessagesText().contains("Refused the file name of the downloaded collection"))
                    << pCommand->GetMessagesText().toStdString();
                continue;
            }
            EXPECT_EQ(JoxCore::StateSucceeded, pCommand->GetState()) << pCommand->GetMessagesText().toStdString();
            EXPECT_EQ((std::vector<std::string>{rCase.mpStored}), FolderEntries(mFolder.File("downloads")));
            std::remove(Download(rCase.mpStored).c_str());
        }
        if (*rCase.mpStored)
        {
            EXPECT_EQ(QString::fromStdString(Download(rCase.mpStored)), fetch.GetSavedFile());
        }
        EXPECT_TRUE(FolderEntries(mFolder.File("downloads")).empty());
    }
}

TEST_F(CommandsTest, AFailedDownloadLeavesTheExistingFileAndNoPart)
{
    ASSERT_TRUE(mServer.AddCollection("c.zip", std::string(2 * 1024 * 1024, 'n')));
    tandriltest::WriteFile(Download("c.zip"), "complete earlier download");
    mServer.SetFault("LogFetchCollection", Fault::CutOff);
    mServer.SetCutOffBytes(300 * 1024);
    CommandLogFetch fetch(mUrl, mDownloads, "c.zip");
    fetch.DoExecute();
    EXPECT_EQ(JoxCore::StateFailed, fetch.GetState());
    EXPECT_TRUE(fetch.GetMessagesText().startsWith("Error  FetchLogs  ")) << fetch.GetMessagesText().toStdString();
    EXPECT_EQ("complete earlier download", tandriltest::ReadFile(Download("c.zip")));
    EXPECT_EQ((std::vector<std::string>{"c.zip"}), FolderEntries(mFolder.File("downloads")));

    mServer.SetFault("LogFetchCollection", Fault::None);
    std::remove(Download("c.zip").c_str());
    CommandLogFetch again(mUrl, mDownloads, "c.zip");
    again.DoExecute();
    EXPECT_EQ(JoxCore::StateSucceeded, again.GetState());
    EXPECT_TRUE(std::string(2 * 1024 * 1024, 'n') == tandriltest::ReadFile(Download("c.zip")));
    EXPECT_EQ((std::vector<std::string>{"c.zip"}), FolderEntries(mFolder.File("downloads")));
}

TEST_F(CommandsTest, TwoDownloadsAtOnceEachKeepTheirOwnFile)
{
    ASSERT_TRUE(mServer.AddCollection("a.zip", std::string(3 * 1024 * 1024, 'a')));
    ASSERT_TRUE(mServer.AddCollection("b.zip", std::string(3 * 1024 * 1024, 'b')));
    CommandLogFetch first(mUrl, mDownloads, "a.zip");
    CommandLogFetch second(mUrl, mDownloads, "b.zip");
    std::thread other([&second] { second.DoExecute(); });
    first.DoExecute();
    other.join();
    EXPECT_EQ(JoxCore::StateSucceeded, first.GetState());
    EXPECT_EQ(JoxCore::StateSucceeded, second.GetState());
    EXPECT_EQ(std::string(3 * 1024 * 1024, 'a'), tandriltest::ReadFile(Download("a.zip")));
    EXPECT_EQ(std::string(3 * 1024 * 1024, 'b'), tandriltest::ReadFile(Download("b.zip")));
}

TEST_F(CommandsTest, ZeroByteCollectionsAndMissingFolders)
{
    ASSERT_TRUE(mServer.AddCollection("empty.zip", ""));
    CommandLogFetch empty(mUrl, mDownloads, "empty.zip");
    empty.DoExecute();
    EXPECT_EQ(JoxCore::StateSucceeded, empty.GetState()) << empty.GetMessagesText().toStdString();
    EXPECT_EQ((std::vector<std::string>{"empty.zip"}), FolderEntries(mFolder.File("downloads")));
    EXPECT_EQ("", tandriltest::ReadFile(Download("empty.zip")));

    ASSERT_TRUE(mServer.AddCollection("c.zip", "bytes"));
    const QString missing = QString::fromStdString(mFolder.File("missing"));
    CommandLogFetch fetch(mUrl, missing, "c.zip");
    fetch.DoExecute();
    EXPECT_EQ(JoxCore::StateFailed, fetch.GetState());
    EXPECT_EQ(1u, mLog.InCategory("maintenance").size());
    CommandLogFetch emptyIntoMissing(mUrl, missing, "empty.zip");
    emptyIntoMissing.DoExecute();
    EXPECT_EQ(JoxCore::StateFailed, emptyIntoMissing.GetState());
    EXPECT_EQ(QStringLiteral("Could not write the file \"") + missing +
                  "/empty.zip\" on this computer: No such file or directory",
              emptyIntoMissing.GetLocalFault());
}

TEST_F(CommandsTest, ASilentServerFailsTheCommandAfterTheIdleTimeout)
{
    const ServiceClientTimeouts normal = GetServiceClientTimeouts();
    SetServiceClientTimeouts({1, 1, 1});
    mServer.SetFault("LogStatus", Fault::Silent);
    CommandLogStatus status(mUrl);
    const auto start = std::chrono::steady_clock::now();
    status.DoExecute();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    SetServiceClientTimeouts(normal);
    EXPECT_EQ(JoxCore::StateFailed, status.GetState());
    EXPECT_GE(elapsed, std::chrono::milliseconds(900));
    EXPECT_LT(elapsed, std::chrono::seconds(10));
    EXPECT_FALSE(status.GetMessagesText().isEmpty());
}

TEST_F(CommandsTest, ADownloadThatKeepsFlowingIsNotCutByTheIdleTimeout)
{
    const ServiceClientTimeouts normal = GetServiceClientTimeouts();
    SetServiceClientTimeouts({1, 1, 1});
    ASSERT_TRUE(mServer.AddCollection("c.zip", std::string(1024 * 1024, 'k')));
    mServer.SetAttachmentRate(400 * 1024); // about 2.5 s in all, a piece every 50 ms
    CommandLogFetch fetch(mUrl, mDownloads, "c.zip");
    const auto start = std::chrono::steady_clock::now();
    fetch.DoExecute();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    SetServiceClientTimeouts(normal);
    EXPECT_EQ(JoxCore::StateSucceeded, fetch.GetState()) << fetch.GetMessagesText().toStdString();
    EXPECT_GT(elapsed, std::chrono::seconds(2));
    EXPECT_EQ(1024u * 1024u, tandriltest::ReadFile(Download("c.zip")).size());
}

TEST_F(CommandsTest, AbortEndsARunningExchangeAtOnceAndLeavesNoPartialFile)
{
    ASSERT_TRUE(mServer.AddCollection("big.zip", std::string(4 * 1024 * 1024, 'b')));
    mServer.SetAttachmentRate(256 * 1024); // 16 s for the whole collection
    mServer.SetFault("LogStatus", Fault::Silent);
    // A host whose packets are dropped: the connect waits for its limit of 10 s.
    tandriltest::SynDroppingListener unanswering;
    ASSERT_TRUE(unanswering.IsValid());
    struct Case
    {
        const char* mName;
        std::shared_ptr<Command> mpCommand;
        bool mConnects; // aborted while it connects, else well into the exchange
    };
    const std::vector<Case> cases = {
        {"silent server", std::make_shared<CommandLogStatus>(mUrl), false},
        {"download under way", std::make_shared<CommandLogFetch>(mUrl, mDownloads, "big.zip"), false},
        {"connecting", std::make_shared<CommandLogStatus>(QString::fromStdString(unanswering.GetUrl())), true},
        {"connecting download", std::make_shared<CommandLogFetch>(QString::fromStdString(unanswering.GetUrl()),
                                                                  mDownloads, "big.zip"),
         true}};
    for (const Case& rCase : cases)
    {
        SCOPED_TRACE(rCase.mName);
        const int connections = mServer.GetConnectionCount();
        std::thread worker([&rCase] { rCase.mpCommand->DoExecute(); });
        if (rCase.mConnects)
        {
            std::vector<int> connecting;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(8);
            while ((connecting = unanswering.ConnectingDescriptors()).empty() &&
                   std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            EXPECT_FALSE(connecting.empty());
            // Its socket is not handed to programs the process starts.
            for (const int descriptor : connecting)
                EXPECT_NE(::fcntl(descriptor, F_GETFD) & FD_CLOEXEC, 0);
        }
        else
        {
            // Connected, and part of a download written.
            while (mServer.GetConnectionCount() == connections)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
        }
        const auto start = std::chrono::steady_clock::now();
        rCase.mpCommand->Abort();
        worker.join();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
        EXPECT_TRUE(rCase.mpCommand->IsAborted());
        EXPECT_EQ(JoxCore::StateFailed, rCase.mpCommand->GetState());
        EXPECT_EQ(rCase.mpCommand->GetFailureReason(), QStringLiteral("The request was abandoned."));
        EXPECT_EQ(rCase.mpCommand->GetErrorDetails(), QStringLiteral("The request was abandoned."));
        EXPECT_TRUE(FolderEntries(mFolder.File("downloads")).empty());
    }
    EXPECT_TRUE(unanswering.ConnectingDescriptors().empty());

    // Aborted before it runs: fails without connecting. A copy is not aborted.
    CommandListLogCollections list(mUrl);
    list.Abort();
    const int connections = mServer.GetConnectionCount();
    list.DoExecute();
    EXPECT_EQ(JoxCore::StateFailed, list.GetState());
    EXPECT_TRUE(list.GetErrorDetails().contains("abandoned")) << list.GetErrorDetails().toStdString();
    EXPECT_EQ(connections, mServer.GetConnectionCount());
    CommandListLogCollections copy(list);
    EXPECT_FALSE(copy.IsAborted());
}

} // namespace
