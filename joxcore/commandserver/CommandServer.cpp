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
        auto* pHolder = new ReaderHolder(pSocket);
        pHolder->setObjectName(QString::fromLatin1(cReaderProperty));
        auto* pIdle = new QTimer(pSocket);
        pIdle->setObjectName(QString::fromLatin1(cIdleTimerName));
        pIdle->setSingleShot(true);
        connect(pIdle, &QTimer::timeout, pSocket, &QTcpSocket::abort);
        if (mIdleTimeoutMs > 0)
            pIdle->start(mIdleTimeoutMs);
        connect(pSocket, &QTcpSocket::readyRead, this, &CommandServer::ClientRead);
        connect(pSocket, &QTcpSocket::disconnected, this, &CommandServer::ClientDisconnect);
    }
}

void CommandServer::ClientRead()
{
    QPointer<QTcpSocket> pSocket = qobject_cast<QTcpSocket*>(sender());
    if (pSocket == nullptr)
        return;
    if (auto* pIdle = pSocket->findChild<QTimer*>(QString::fromLatin1(cIdleTimerName)); pIdle && mIdleTimeoutMs > 0)
        pIdle->start(mIdleTimeoutMs);
    ReaderHolder* pHolder = HolderOf(pSocket);
    if (pHolder == nullptr)
        return;
    pHolder->mReader.Append(pSocket->readAll());
    QString document;
    while (pSocket != nullptr && pHolder->mReader.TakeNext(document))
        pSocket->write(HandleRequest(document));
    if (pSocket != nullptr && pHolder->mReader.IsOverflowing()) {
        // Nothing more is read from this connection.
        delete pHolder;
        pSocket->write(FailedResponse(Translate("request too large")));
        pSocket->disconnectFromHost();
    }
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
                                      .arg(QCoreApplication::translate("QXml", message.toUtf8().constData()))
                                      .arg(line)
                                      .arg(column));
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
