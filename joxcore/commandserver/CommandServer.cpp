#include <joxcore/CommandServer.h>

#include <joxcore/CommandArguments.h>
#include <joxcore/CommandDispatch.h>
#include <joxcore/CommandRequestReader.h>

#include <QCoreApplication>
#include <QDomDocument>
#include <QDomElement>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace {

const char* const cReaderProperty = "commandRequestReader";
const char* const cIdleTimerName = "commandIdleTimer";

QString Translate(const char* pText)
{
    return QCoreApplication::translate("CommandServer", pText);
}

QByteArray Response(bool ok, const QString& rId, const QHash<QString, QString>& rResults)
{
    QDomDocument document;
    QDomElement response = document.createElement(QStringLiteral("response"));
    response.setAttribute(QStringLiteral("status"), ok ? QStringLiteral("ok") : QStringLiteral("failed"));
    if (!rId.isEmpty())
        response.setAttribute(QStringLiteral("id"), rId);
    for (auto it = rResults.constBegin(); it != rResults.constEnd(); ++it) {
        QDomElement parameter = document.createElement(QStringLiteral("parameter"));
        parameter.setAttribute(QStringLiteral("name"), it.key());
        parameter.appendChild(document.createTextNode(it.value()));
        response.appendChild(parameter);
    }
    document.appendChild(response);
    return document.toByteArray(1);
}

// The connection's request reader, owned by the socket.
class ReaderHolder : public QObject
{
public:
    explicit ReaderHolder(QObject* pParent) : QObject(pParent) {}
    CommandRequestReader mReader;
};

ReaderHolder* HolderOf(QTcpSocket* pSocket)
{
    return pSocket->findChild<ReaderHolder*>(QString::fromLatin1(cReaderProperty), Qt::FindDirectChildrenOnly);
}

} // namespace

CommandServer::CommandServer(QObject* pParent) : QTcpServer(pParent)
{
    connect(this, &QTcpServer::newConnection, this, &CommandServer::NewClient);
}

CommandServer::~CommandServer() = default;

bool CommandServer::Start(quint16 port, const QHostAddress& rAddress)
{
    return listen(rAddress, port);
}

void CommandServer::NewClient()
{
    while (hasPendingConnections()) {
        QTcpSocket* pSocket = nextPendingConnection();
        if (pSocket == nullptr)
            continue;
        // Unread input waits in the peer's and the system's buffers, not here.
        pSocket->setReadBufferSize(ReadBufferBytes);
        connect(pSocket, &QTcpSocket::readyRead, this, &CommandServer::ClientRead);
        connect(pSocket, &QTcpSocket::disconnected, this, &CommandServer::ClientDisconnect);
        if (mConnections >= MaxConnections) {
            Refuse(pSocket, Translate("too many connections"));
            continue;
        }
        ++mConnections;
        connect(pSocket, &QObject::destroyed, this, [this] { --mConnections; });
        auto* pHolder = new ReaderHolder(pSocket);
        pHolder->setObjectName(QString::fromLatin1(cReaderProperty));
        auto* pIdle = new QTimer(pSocket);
        pIdle->setObjectName(QString::fromLatin1(cIdleTimerName));
        pIdle->setSingleShot(true);
        connect(pIdle, &QTimer::timeout, pSocket, &QTcpSocket::abort);
        if (mIdleTimeoutMs > 0)
            pIdle->start(mIdleTimeoutMs);
        // A connection paused for its queued responses goes on as its peer takes them.
        connect(pSocket, &QTcpSocket::bytesWritten, this, [this, pSocket] { Serve(pSocket); });
    }
}

void CommandServer::ClientRead()
{
    if (auto* pSocket = qobject_cast<QTcpSocket*>(sender()))
        Serve(pSocket);
}

void CommandServer::Serve(QTcpSocket* pSocket)
{
    ReaderHolder* pHolder = HolderOf(pSocket);
    if (pHolder == nullptr) {
        // Refused: input is dropped until the close, so unread input does not
        // make the close reset the connection before the peer has its answer.
        pSocket->readAll();
        return;
    }
    if (auto* pIdle = pSocket->findChild<QTimer*>(QString::fromLatin1(cIdleTimerName)); pIdle && mIdleTimeoutMs > 0)
        pIdle->start(mIdleTimeoutMs);
    if (!AnswerHeld(pSocket))
        return;
    pHolder->mReader.Append(pSocket->readAll());
    if (!AnswerHeld(pSocket))
        return;
    if (pHolder->mReader.IsOverflowing())
        Refuse(pSocket, Translate("request too large"));
    else if (PendingInput() > MaxPendingInputBytes)
        Refuse(pSocket, Translate("too much unfinished input"));
}

bool CommandServer::AnswerHeld(QTcpSocket* pSocket)
{
    QPointer<QTcpSocket> pAlive = pSocket;
    QString document;
    while (pAlive != nullptr) {
        ReaderHolder* pHolder = HolderOf(pSocket);
        if (pHolder == nullptr)
            return false;
        if (pSocket->bytesToWrite() >= MaxQueuedResponseBytes)
            return false;
        if (!pHolder->mReader.TakeNext(document))
            return true;
        if (pHolder->mReader.TookTooDeep()) {
            Refuse(pSocket, Translate("request nested too deeply"));
            return false;
        }
        pSocket->write(HandleRequest(document));
    }
    return false;
}

void CommandServer::Refuse(QTcpSocket* pSocket, const QString& rError)
{
    delete HolderOf(pSocket);
    pSocket->write(FailedResponse(rError));
    pSocket->disconnectFromHost();
}

qsizetype CommandServer::PendingInput() const
{
    qsizetype total = 0;
    for (QTcpSocket* pSocket : findChildren<QTcpSocket*>(Qt::FindDirectChildrenOnly))
        if (const ReaderHolder* pHolder = HolderOf(pSocket))
            total += pHolder->mReader.PendingBytes();
    return total;
}

void CommandServer::ClientDisconnect()
{
    if (QTcpSocket* pSocket = qobject_cast<QTcpSocket*>(sender()))
        pSocket->deleteLater();
}

QByteArray CommandServer::FailedResponse(const QString& rError)
{
    return Response(false, QString(), {{QStringLiteral("error"), rError}});
}

QByteArray CommandServer::HandleRequest(const QString& rDocument)
{
    CommandArguments arguments;
    bool ok = false;
    QString id;
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    if (!document.setContent(rDocument, false, &message, &line, &column)) {
        arguments.mResults.insert(QStringLiteral("error"),
                                  Translate("error: %1 at %2, %3")
                                      .arg(QCoreApplication::translate("QXml", message.toUtf8().constData()),
                                           QString::number(line), QString::number(column)));
        return Response(false, QString(), arguments.mResults);
    }
    const QDomElement command = document.documentElement();
    const QString context = command.attribute(QStringLiteral("context"));
    const QString name = command.attribute(QStringLiteral("name"));
    id = command.attribute(QStringLiteral("id"));
    if (!name.isEmpty() && command.tagName() == QStringLiteral("command")) {
        for (QDomElement parameter = command.firstChildElement(QStringLiteral("parameter")); !parameter.isNull();
             parameter = parameter.nextSiblingElement(QStringLiteral("parameter"))) {
            const QString parameterName = parameter.attribute(QStringLiteral("name"));
            if (!parameterName.isEmpty())
                arguments.mParameters.insert(parameterName, parameter.text());
        }
        ok = CommandDispatch(context, name, &arguments);
    } else {
        arguments.mResults.insert(QStringLiteral("error"), Translate("invalid command"));
    }
    return Response(ok, id, arguments.mResults);
}
