#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

// A TCP server for XML commands: each request document
//   <command context=".." name=".." id=".."><parameter name="..">value</parameter></command>
// is dispatched (CommandDispatch) and answered with
//   <response status="ok|failed" id=".."><parameter name="..">value</parameter></response>.
// Requests may arrive in pieces or several at once. What any peer can make
// the server hold is bounded: a connection holding more than
// CommandRequestReader::MaxPendingBytes without a complete request, or one
// whose request nests deeper than CommandRequestReader::MaxDepth, gets a
// "failed" response and is closed; so is a connection beyond MaxConnections,
// and the one whose read takes the unfinished input of all connections past
// MaxPendingInputBytes. A connection with MaxQueuedResponseBytes of responses
// not yet taken by its peer is not read until the peer takes them. One idle
// for the idle timeout is closed. The program never starts one.
class CommandServer : public QTcpServer
{
    Q_OBJECT

public:
    // Default idle time after which a connection is closed.
    static constexpr int DefaultIdleTimeoutMs = 5 * 60 * 1000;
    // Most connections served at once.
    static constexpr int MaxConnections = 32;
    // Most unfinished request bytes held for all connections together.
    static constexpr qsizetype MaxPendingInputBytes = 8 * 1024 * 1024;
    // Response bytes queued for one connection past which it is not read.
    static constexpr qsizetype MaxQueuedResponseBytes = 1024 * 1024;
    // Most bytes a connection's socket takes in before the server reads them.
    static constexpr qsizetype ReadBufferBytes = 64 * 1024;

    explicit CommandServer(QObject* pParent = nullptr);
    ~CommandServer() override;

    // Listens on the address (loopback unless told otherwise) and port (0:
    // any free one); false when listening fails.
    bool Start(quint16 port = 0, const QHostAddress& rAddress = QHostAddress(QHostAddress::LocalHost));
    void SetIdleTimeout(int milliseconds) { mIdleTimeoutMs = milliseconds; }
    int GetIdleTimeout() const { return mIdleTimeoutMs; }

    // Answers one request document: parse, dispatch, response text.
    static QByteArray HandleRequest(const QString& rDocument);
    // The "failed" response with one "error" result.
    static QByteArray FailedResponse(const QString& rError);

private slots:
    void NewClient();
    void ClientRead();
    void ClientDisconnect();

private:
    // Answers what the connection holds and reads more while its peer takes
    // the responses.
    void Serve(QTcpSocket* pSocket);
    // Answers the complete requests held; false when the connection was
    // closed or its queued responses reached the cap (nothing more is read
    // then).
    bool AnswerHeld(QTcpSocket* pSocket);
    // Sends a "failed" response and closes the connection; nothing more is
    // read from it.
    void Refuse(QTcpSocket* pSocket, const QString& rError);
    // Unfinished request bytes held for all connections.
    qsizetype PendingInput() const;

    int mIdleTimeoutMs = DefaultIdleTimeoutMs;
    // Connections being served (refused ones not counted).
    int mConnections = 0;
};
