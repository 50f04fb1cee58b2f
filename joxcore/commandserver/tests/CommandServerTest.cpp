#include <joxcore/CommandArguments.h>
#include <joxcore/CommandContexts.h>
#include <joxcore/CommandDispatch.h>
#include <joxcore/CommandDispatchState.h>
#include <joxcore/CommandRequestReader.h>
#include <joxcore/CommandServer.h>
#include <joxcore/CommandShortcuts.h>
#include <joxcore/ICommandContext.h>

#include "NetnsSandbox.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QDomElement>
#include <QElapsedTimer>
#include <QMap>
#include <QMutex>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {

std::string Str(const QString& rText)
{
    return rText.toStdString();
}

// Records what it is asked, answers with its configured outcome and echoes
// every parameter as a result "got:<name>".
class RecordingContext : public ICommandContext
{
public:
    explicit RecordingContext(bool outcome) : mOutcome(outcome) {}
    bool Execute(const QString& rName, CommandArguments* pArguments) override
    {
        QMutexLocker lock(&mMutex);
        mNames.append(rName);
        if (pArguments != nullptr)
            for (auto it = pArguments->mParameters.constBegin(); it != pArguments->mParameters.constEnd(); ++it)
                pArguments->mResults.insert(QStringLiteral("got:") + it.key(), it.value());
        return mOutcome;
    }
    QMutex mMutex;
    QStringList mNames;
    bool mOutcome;
};

struct Response
{
    QString tag;
    QString status;
    bool hasId = false;
    QString id;
    QMap<QString, QString> parameters;
};

Response ParseResponse(const QString& rText)
{
    Response response;
    QDomDocument document;
    EXPECT_TRUE(document.setContent(rText)) << Str(rText);
    const QDomElement root = document.documentElement();
    response.tag = root.tagName();
    response.status = root.attribute(QStringLiteral("status"));
    response.hasId = root.hasAttribute(QStringLiteral("id"));
    response.id = root.attribute(QStringLiteral("id"));
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        EXPECT_EQ(Str(e.tagName()), "parameter");
        response.parameters.insert(e.attribute(QStringLiteral("name")), e.text());
    }
    return response;
}

class CommandServerTest : public ::testing::Test
{
protected:
    // The server listens on loopback: only inside the test run's private
    // network namespace.
    void SetUp() override
    {
        TANDRIL_REQUIRE_PRIVATE_NETNS();
        CommandContexts::Clear();
        ASSERT_TRUE(mServer.Start());
        mClient.connectToHost(mServer.serverAddress(), mServer.serverPort());
        ASSERT_TRUE(WaitFor([this] { return mClient.state() == QAbstractSocket::ConnectedState; }));
    }
    void TearDown() override { CommandContexts::Clear(); }

    // Spins the event loop until the condition holds or 5 s pass.
    template <typename Condition>
    static bool WaitFor(Condition condition, int timeoutMs = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!condition()) {
            if (timer.elapsed() > timeoutMs)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return true;
    }
    // Collects `count` response documents from the client socket.
    std::vector<Response> Receive(size_t count) { return Receive(mClient, mResponses, count); }
    static std::vector<Response> Receive(QTcpSocket& rClient, CommandRequestReader& rReader, size_t count)
    {
        std::vector<Response> responses;
        WaitFor([&] {
            rReader.Append(rClient.readAll());
            QString document;
            while (rReader.TakeNext(document))
                responses.push_back(ParseResponse(document));
            return responses.size() >= count;
        });
        return responses;
    }
    // Another client, connected.
    std::unique_ptr<QTcpSocket> Connect()
    {
        auto pClient = std::make_unique<QTcpSocket>();
        // A refused one may be closed again before its state is looked at.
        bool connected = false;
        const QMetaObject::Connection watch =
            QObject::connect(pClient.get(), &QTcpSocket::connected, [&connected] { connected = true; });
        pClient->connectToHost(mServer.serverAddress(), mServer.serverPort());
        EXPECT_TRUE(WaitFor([&] { return connected; }));
        QObject::disconnect(watch);
        return pClient;
    }
    // Expects one "failed" response with the error, then the close.
    static void ExpectRefused(QTcpSocket& rClient, const char* pError)
    {
        CommandRequestReader reader;
        const std::vector<Response> responses = Receive(rClient, reader, 1);
        ASSERT_EQ(responses.size(), 1u) << pError;
        EXPECT_EQ(Str(responses[0].status), "failed") << pError;
        EXPECT_EQ(Str(responses[0].parameters.value(QStringLiteral("error"))), pError);
        EXPECT_TRUE(WaitFor([&] { return rClient.state() == QAbstractSocket::UnconnectedState; })) << pError;
    }
    Response Exchange(const QByteArray& rRequest)
    {
        mClient.write(rRequest);
        const std::vector<Response> responses = Receive(1);
        return responses.empty() ? Response() : responses.front();
    }

    CommandServer mServer;
    QTcpSocket mClient;
    CommandRequestReader mResponses;
};

TEST_F(CommandServerTest, RequestsAndResponses)
{
    QString parseMessage;
    int line = 0;
    int column = 0;
    const QByteArray malformed = "<command name=\"x\" id=\"7\">\n  <parameter></command>";
    QDomDocument().setContent(QString::fromUtf8(malformed), false, &parseMessage, &line, &column);
    const QString malformedError = QStringLiteral("error: %1 at %2, %3").arg(parseMessage).arg(line).arg(column);

    auto main = std::make_shared<RecordingContext>(true);
    auto failing = std::make_shared<RecordingContext>(false);
    struct Case
    {
        const char* what;
        std::function<void()> registry;
        QByteArray request;
        const char* status;
        const char* id; // nullptr: no id attribute
        QMap<QString, QString> parameters;
    };
    const std::function<void()> none = [] {};
    const std::function<void()> withMain = [main] { CommandContexts::Register(QStringLiteral("main"), main); };
    const std::function<void()> withDefault = [main] { CommandContexts::Register(QString(), main); };
    const Case cases[] = {
        {"unknown context without default", none, "<command context=\"nope\" name=\"run\" id=\"1\"/>", "failed",
         "1", {{"error", "unknown context"}}},
        {"unknown context with default", withDefault, "<command context=\"nope\" name=\"run\"/>", "ok", nullptr,
         {{"warning", "unknown context, using default context"}}},
        {"registered context", withMain,
         "<command context=\"main\" name=\"run\" id=\"a b\"><parameter name=\"p\">v</parameter></command>", "ok",
         "a b", {{"got:p", "v"}}},
        {"repeated and nameless parameters", withMain,
         "<command context=\"main\" name=\"run\"><parameter name=\"p\">1</parameter><parameter>x</parameter>"
         "<parameter name=\"p\">2</parameter></command>",
         "ok", nullptr, {{"got:p", "2"}}},
        {"whole text of a parameter", withMain,
         "<command context=\"main\" name=\"run\"><parameter name=\"p\"><!-- note -->a<![CDATA[<b>]]>c</parameter>"
         "<parameter name=\"q\"></parameter></command>",
         "ok", nullptr, {{"got:p", "a<b>c"}, {"got:q", ""}}},
        {"other document element", withMain, "<cmd context=\"main\" name=\"run\" id=\"9\"/>", "failed", "9",
         {{"error", "invalid command"}}},
        {"missing name", withMain, "<command context=\"main\" id=\"9\"/>", "failed", "9",
         {{"error", "invalid command"}}},
        {"malformed XML", withMain, malformed, "failed", nullptr, {{"error", malformedError}}},
        {"null handler", [] { CommandContexts::Register(QStringLiteral("null"), nullptr); },
         "<command context=\"null\" name=\"run\"/>", "failed", nullptr, {{"error", "invalid context"}}},
        {"context fails", [failing] { CommandContexts::Register(QStringLiteral("f"), failing); },
         "<command context=\"f\" name=\"run\"><parameter name=\"k\">1</parameter></command>", "failed", nullptr,
         {{"got:k", "1"}}},
    };
    for (const Case& c : cases) {
        CommandContexts::Clear();
        c.registry();
        const Response response = Exchange(c.request);
        EXPECT_EQ(Str(response.tag), "response") << c.what;
        EXPECT_EQ(Str(response.status), c.status) << c.what;
        EXPECT_EQ(response.hasId, c.id != nullptr) << c.what;
        EXPECT_EQ(Str(response.id), c.id != nullptr ? c.id : "") << c.what;
        EXPECT_EQ(response.parameters, c.parameters) << c.what;
    }
    EXPECT_EQ(main->mNames.size(), 4);
    EXPECT_EQ(failing->mNames, QStringList{QStringLiteral("run")});
    EXPECT_EQ(mClient.state(), QAbstractSocket::ConnectedState);
}

TEST_F(CommandServerTest, RequestInPiecesAndRequestsTogether)
{
    auto main = std::make_shared<RecordingContext>(true);
    CommandContexts::Register(QStringLiteral("main"), main);
    // Three pieces, the middle one splitting a two-byte character.
    const QByteArray request =
        QStringLiteral("<command context=\"main\" name=\"split\"><parameter name=\"p\">\u00e4\u00f6</parameter></command>")
            .toUtf8();
    const int cut = request.indexOf("\xc3\xb6") + 1;
    const QByteArray pieces[] = {request.left(20), request.mid(20, cut - 20), request.mid(cut)};
    for (const QByteArray& rPiece : pieces) {
        // No answer before the request is complete.
        EXPECT_EQ(mClient.bytesAvailable(), 0);
        mClient.write(rPiece);
        ASSERT_TRUE(mClient.waitForBytesWritten(1000));
        // Let the server read this piece on its own.
        WaitFor([] { return false; }, 50);
    }
    std::vector<Response> responses = Receive(1);
    ASSERT_EQ(responses.size(), 1u);
    EXPECT_EQ(Str(responses[0].status), "ok");
    EXPECT_EQ(Str(responses[0].parameters.value(QStringLiteral("got:p"))), "\u00e4\u00f6");

    // Three requests in one write, each answered in order.
    mClient.write("<command context=\"main\" name=\"one\" id=\"1\"/>\n"
                  "<?xml version=\"1.0\"?><command context=\"main\" name=\"two\" id=\"2\"/>"
                  "<cmd id=\"3\"/>");
    responses = Receive(3);
    ASSERT_EQ(responses.size(), 3u);
    EXPECT_EQ(Str(responses[0].id), "1");
    EXPECT_EQ(Str(responses[1].id), "2");
    EXPECT_EQ(Str(responses[2].status), "failed");
    EXPECT_EQ(main->mNames, (QStringList{QStringLiteral("split"), QStringLiteral("one"), QStringLiteral("two")}));
}

TEST_F(CommandServerTest, OversizedRequestIsRefusedAndClosed)
{
    QByteArray request = "<command name=\"big\"><parameter name=\"p\">";
    request += QByteArray(CommandRequestReader::MaxPendingBytes, 'x');
    mClient.write(request);
    const std::vector<Response> responses = Receive(1);
    ASSERT_EQ(responses.size(), 1u);
    EXPECT_EQ(Str(responses[0].status), "failed");
    EXPECT_EQ(Str(responses[0].parameters.value(QStringLiteral("error"))), "request too large");
    EXPECT_TRUE(WaitFor([this] { return mClient.state() == QAbstractSocket::UnconnectedState; }));
}

TEST_F(CommandServerTest, DeeplyNestedRequestIsRefusedUnparsed)
{
    // About 840 KB, under the size cap: a document parser would recurse
    // 120000 levels deep.
    const int depth = 120000;
    QByteArray request = "<command name=\"deep\">";
    request += QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth) + "</command>";
    ASSERT_LT(request.size(), CommandRequestReader::MaxPendingBytes);
    QElapsedTimer timer;
    timer.start();
    mClient.write(request);
    ExpectRefused(mClient, "request nested too deeply");
    EXPECT_LT(timer.elapsed(), 5000);
}

TEST_F(CommandServerTest, ResponsesQueueOnlyUpToTheCapForAPeerThatDoesNotRead)
{
    // Four bytes each, each answered with some 85 bytes ("invalid command").
    const int requests = 256 * 1024;
    mClient.setReadBufferSize(1);
    mClient.write(QByteArray("<a/>").repeated(requests));
    ASSERT_TRUE(WaitFor([this] { return !mServer.findChildren<QTcpSocket*>().isEmpty(); }));
    QTcpSocket* pServed = mServer.findChildren<QTcpSocket*>().first();
    // Until neither the client's unsent bytes nor the server's queue have
    // changed for half a second.
    qint64 peak = 0;
    qint64 unsent = -1;
    qint64 queued = -1;
    QElapsedTimer sinceChange;
    sinceChange.start();
    WaitFor([&] {
        if (mClient.bytesToWrite() != unsent || pServed->bytesToWrite() != queued) {
            unsent = mClient.bytesToWrite();
            queued = pServed->bytesToWrite();
            peak = qMax(peak, queued);
            sinceChange.restart();
        }
        return sinceChange.elapsed() > 500;
    }, 60000);
    EXPECT_LE(peak, CommandServer::MaxQueuedResponseBytes + 1024);
    EXPECT_GT(peak, CommandServer::MaxQueuedResponseBytes / 2);

    // Once the client reads, every request is answered.
    mClient.setReadBufferSize(0);
    const QByteArray end = "</response>";
    int answered = 0;
    QByteArray tail;
    WaitFor([&] {
        const QByteArray received = tail + mClient.readAll();
        answered += received.count(end);
        tail = received.right(end.size() - 1);
        return answered >= requests;
    }, 60000);
    EXPECT_EQ(answered, requests);
}

TEST_F(CommandServerTest, ConnectionsAreCapped)
{
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 1; i < CommandServer::MaxConnections; ++i)
        clients.push_back(Connect());
    auto pExtra = Connect();
    ExpectRefused(*pExtra, "too many connections");
    // The last one served still is; once one closes, a new one is served.
    CommandRequestReader reader;
    clients.back()->write("<cmd/>");
    EXPECT_EQ(Receive(*clients.back(), reader, 1).size(), 1u);
    clients.front()->disconnectFromHost();
    WaitFor([] { return false; }, 200);
    auto pNext = Connect();
    pNext->write("<cmd/>");
    const std::vector<Response> responses = Receive(*pNext, reader, 1);
    ASSERT_EQ(responses.size(), 1u);
    EXPECT_EQ(Str(responses[0].parameters.value(QStringLiteral("error"))), "invalid command");
}

TEST_F(CommandServerTest, UnfinishedInputOfAllConnectionsIsCapped)
{
    // Each just under the per-connection cap; eight stay under the total.
    const QByteArray unfinished = "<command name=\"big\"><parameter name=\"p\">" +
                                  QByteArray(CommandRequestReader::MaxPendingBytes - 1024, 'x');
    ASSERT_LE(8 * unfinished.size(), CommandServer::MaxPendingInputBytes);
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < 9; ++i) {
        std::unique_ptr<QTcpSocket> pClient = i == 0 ? nullptr : Connect();
        QTcpSocket& rClient = i == 0 ? mClient : *pClient;
        rClient.write(unfinished);
        ASSERT_TRUE(WaitFor([&] { return rClient.bytesToWrite() == 0; }));
        // Let the server take it all in before the next one sends.
        WaitFor([] { return false; }, 200);
        if (pClient)
            clients.push_back(std::move(pClient));
    }
    ExpectRefused(*clients.back(), "too much unfinished input");
    for (int i = 0; i + 1 < int(clients.size()); ++i)
        EXPECT_EQ(clients[i]->state(), QAbstractSocket::ConnectedState) << i;
    // The first one finishes its request and is answered.
    mClient.write("</parameter></command>");
    const std::vector<Response> responses = Receive(1);
    ASSERT_EQ(responses.size(), 1u);
    EXPECT_EQ(Str(responses[0].parameters.value(QStringLiteral("error"))), "unknown context");
}

TEST(CommandServerStartTest, ListensOnLoopbackAndClosesIdleConnections)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    CommandServer server;
    EXPECT_EQ(server.GetIdleTimeout(), CommandServer::DefaultIdleTimeoutMs);
    server.SetIdleTimeout(150);
    ASSERT_TRUE(server.Start());
    EXPECT_EQ(server.serverAddress(), QHostAddress(QHostAddress::LocalHost));
    QTcpSocket client;
    client.connectToHost(server.serverAddress(), server.serverPort());
    ASSERT_TRUE(client.waitForConnected(2000));
    QElapsedTimer timer;
    timer.start();
    while (client.state() != QAbstractSocket::UnconnectedState && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(client.state(), QAbstractSocket::UnconnectedState);
    EXPECT_GE(timer.elapsed(), 100);
}

// Removes itself from the registry while it runs, then uses its own state.
class SelfRemovingContext : public ICommandContext
{
public:
    ~SelfRemovingContext() override { *mpDestroyed = true; }
    bool Execute(const QString&, CommandArguments*) override
    {
        CommandContexts::Remove(QStringLiteral("self"));
        mCalls += 1;
        return !*mpDestroyed;
    }
    std::shared_ptr<bool> mpDestroyed = std::make_shared<bool>(false);
    int mCalls = 0;
};

TEST(CommandDispatchTest, HandlerOutlivesItsRemovalDuringDispatch)
{
    CommandContexts::Clear();
    auto pContext = std::make_shared<SelfRemovingContext>();
    const std::shared_ptr<bool> pDestroyed = pContext->mpDestroyed;
    CommandContexts::Register(QStringLiteral("self"), std::move(pContext));
    CommandArguments arguments;
    EXPECT_TRUE(CommandDispatch(QStringLiteral("self"), QStringLiteral("go"), &arguments));
    EXPECT_TRUE(*pDestroyed);
    EXPECT_TRUE(arguments.mResults.isEmpty());
    // Gone now: no default either.
    EXPECT_FALSE(CommandDispatch(QStringLiteral("self"), QStringLiteral("go"), nullptr));
}

TEST(CommandDispatchTest, CallsInProgressCountsAcrossThreads)
{
    CommandContexts::Clear();
    CommandContexts::Register(QString(), std::make_shared<RecordingContext>(true));
    std::atomic<int> highest{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&highest] {
            for (int i = 0; i < 20000; ++i) {
                CommandDispatch(QStringLiteral("x"), QString(), nullptr);
                const int now = CommandDispatchState::Instance().mCallsInProgress;
                int seen = highest;
                while (now > seen && !highest.compare_exchange_weak(seen, now)) {
                }
            }
        });
    for (std::thread& rThread : threads)
        rThread.join();
    EXPECT_EQ(CommandDispatchState::Instance().mCallsInProgress, 0);
    EXPECT_LE(highest.load(), 8);
    CommandContexts::Clear();
}

TEST(CommandRequestReaderTest, CutsDocuments)
{
    struct Case
    {
        const char* what;
        std::vector<QByteArray> pieces;
        std::vector<const char*> documents;
    };
    const Case cases[] = {
        {"whole", {"<a/>"}, {"<a/>"}},
        {"white space between", {"  <a>t</a>\n\n<b x='1'/> "}, {"<a>t</a>", "<b x='1'/>"}},
        {"split inside a tag", {"<a><b", "/></", "a>"}, {"<a><b/></a>"}},
        {"unfinished", {"<a><b>"}, {}},
        {"declaration and comment", {"<?xml version='1.0'?><!-- c --><a/>"}, {"<?xml version='1.0'?><!-- c --><a/>"}},
        {"garbage comes out whole", {"junk <a/>"}, {"junk <a/>"}},
        {"end tag first", {"</a><c/>"}, {"</a><c/>"}},
        {"mismatched end tag", {"<a><b></a><c/>"}, {"<a><b></a><c/>"}},
        {"nested namesakes", {"<a><a/><a></a></a>"}, {"<a><a/><a></a></a>"}},
        {"markup characters in quotes and sections", {"<a x='>'><![CDATA[</a>]]><!-- </a> --><?p </a>?>", "</a>"},
         {"<a x='>'><![CDATA[</a>]]><!-- </a> --><?p </a>?></a>"}},
        {"document type with internal subset", {"<!DOCTYPE a [<!ENTITY e \"x>\">]><a>&e;</a>"},
         {"<!DOCTYPE a [<!ENTITY e \"x>\">]><a>&e;</a>"}},
        {"split before a comment ends", {"<a><!-", "- x -", "-></a>"}, {"<a><!-- x --></a>"}},
    };
    for (const Case& c : cases) {
        CommandRequestReader reader;
        std::vector<std::string> documents;
        for (const QByteArray& rPiece : c.pieces) {
            reader.Append(rPiece);
            QString document;
            while (reader.TakeNext(document))
                documents.push_back(Str(document));
        }
        EXPECT_EQ(documents, std::vector<std::string>(c.documents.begin(), c.documents.end())) << c.what;
    }
}

TEST(CommandRequestReaderTest, NestingDeeperThanTheBoundIsDroppedUnread)
{
    const auto nested = [](int depth) {
        return QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
    };
    const int bound = CommandRequestReader::MaxDepth;
    CommandRequestReader reader;
    QString document;
    // At the bound: a document like any other.
    reader.Append(nested(bound));
    ASSERT_TRUE(reader.TakeNext(document));
    EXPECT_FALSE(reader.TookTooDeep());
    EXPECT_EQ(document.size(), nested(bound).size());
    // One deeper, in two pieces: cut at the level past the bound, nothing of
    // it handed out, and the held input dropped.
    reader.Append(QByteArray("<a>").repeated(bound));
    EXPECT_FALSE(reader.TakeNext(document));
    reader.Append("<b><c>");
    ASSERT_TRUE(reader.TakeNext(document));
    EXPECT_TRUE(reader.TookTooDeep());
    EXPECT_TRUE(document.isEmpty());
    EXPECT_EQ(reader.PendingBytes(), 0);
    EXPECT_FALSE(reader.TakeNext(document));
    // The reader starts afresh.
    reader.Append("<d/>");
    ASSERT_TRUE(reader.TakeNext(document));
    EXPECT_FALSE(reader.TookTooDeep());
    EXPECT_EQ(Str(document), "<d/>");
}

TEST(CommandRequestReaderTest, LongRequestsInTinyPiecesTakeLinearTime)
{
    // A long comment and a long attribute value, one byte per read: a reader
    // that scans its held input again on every read would take minutes.
    QByteArray request = "<command name=\"n\"><!--" + QByteArray(200000, '-').replace("--", "-x") + "-->";
    request += "<parameter name=\"" + QByteArray(200000, 'a') + "\">v</parameter></command>";
    CommandRequestReader reader;
    QString document;
    QElapsedTimer timer;
    timer.start();
    int documents = 0;
    for (char c : request) {
        reader.Append(QByteArray(1, c));
        while (reader.TakeNext(document))
            ++documents;
    }
    EXPECT_EQ(documents, 1);
    EXPECT_EQ(document.size(), request.size());
    EXPECT_LT(timer.elapsed(), 10000);
}

TEST(CommandShortcutsTest, TableStartsEmptyAndHoldsKeySequences)
{
    QHash<QString, CommandShortcut>& rTable = CommandShortcuts::Table();
    EXPECT_TRUE(rTable.isEmpty());
    rTable.insert(QStringLiteral("open"), {QStringLiteral("Open"), QKeySequence(QStringLiteral("Ctrl+O")),
                                           QKeySequence(Qt::Key_F3)});
    EXPECT_EQ(&CommandShortcuts::Table(), &rTable);
    EXPECT_EQ(Str(rTable.value(QStringLiteral("open")).mPrimary.toString()), "Ctrl+O");
    EXPECT_EQ(rTable.value(QStringLiteral("open")).mSecondary, QKeySequence(Qt::Key_F3));
    rTable.clear();
}

} // namespace
