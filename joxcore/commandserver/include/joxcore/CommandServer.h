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
// Requests may arrive in pieces or several at once; a connection holding
// more than CommandRequestReader::MaxPendingBytes without a complete request
// gets a "failed" response and is closed, and so is one idle for the idle
// timeout. The program never starts one.
class CommandServer : public QTcpServer
{
    Q_OBJECT

public:
    // Default idle time after which a connection is closed.
    static constexpr int DefaultIdleTimeoutMs = 5 * 60 * 1000;

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
    int mIdleTimeoutMs = DefaultIdleTimeoutMs;
};
