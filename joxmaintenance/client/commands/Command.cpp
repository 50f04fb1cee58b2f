#include "joxmaintenance/Command.h"

#include "ReplyGuard.h"
#include "Utf8.h"
#include "joxmaintenance/CommandType.h"
#include "joxmaintenance/ServerConnection.h"
#include "joxmaintenanceServiceProxy.h"

#include <joxlog/JoxLog.h>

#include <QFile>
#include <QStringList>
#include <QXmlStreamReader>
#include <QUuid>

#include <boost/make_shared.hpp>

#include <sys/socket.h>
#include <unistd.h>

#include <exception>
#include <map>
#include <mutex>
#include <sstream>

namespace joxmaintenance {

// What Abort needs to reach the socket of a running exchange.
struct Command::AbortLink
{
    using Open = SOAP_SOCKET (*)(struct soap*, const char*, const char*, int);
    using CloseSocket = int (*)(struct soap*, SOAP_SOCKET);

    // Guards the two fields below; the socket is closed only under it, so
    // Abort never shuts down a number the system has handed out again.
    std::mutex mMutex;
    bool mAborted = false;
    SOAP_SOCKET mSocket = SOAP_INVALID_SOCKET;
    // The context's own connect and close, called by the hooks.
    Open mpOpen = nullptr;
    CloseSocket mpCloseSocket = nullptr;
};

// Connect and close hooks that let Abort see the socket of an exchange.
struct AbortHooks
{
    using Link = Command::AbortLink;

    // Installs the hooks on the context for the life of the scope.
    class Scope
    {
    public:
        Scope(const std::shared_ptr<Link>& rpLink, struct soap* pSoap)
            : mpLink(rpLink)
            , mpSoap(pSoap)
        {
            mpLink->mpOpen = pSoap->fopen;
            mpLink->mpCloseSocket = pSoap->fclosesocket;
            {
                std::lock_guard<std::mutex> lock(RegistryMutex());
                Registry()[pSoap] = mpLink;
            }
            pSoap->fopen = &AbortHooks::Open;
            pSoap->fclosesocket = &AbortHooks::CloseSocket;
        }
        ~Scope()
        {
            {
                std::lock_guard<std::mutex> lock(mpLink->mMutex);
                mpSoap->fopen = mpLink->mpOpen;
                mpSoap->fclosesocket = mpLink->mpCloseSocket;
                mpLink->mSocket = SOAP_INVALID_SOCKET;
            }
            std::lock_guard<std::mutex> lock(RegistryMutex());
            Registry().erase(mpSoap);
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        std::shared_ptr<Link> mpLink;
        struct soap* mpSoap;
    };

    static std::mutex& RegistryMutex()
    {
        static std::mutex mutex;
        return mutex;
    }

    static std::map<const struct soap*, std::shared_ptr<Link>>& Registry()
    {
        static std::map<const struct soap*, std::shared_ptr<Link>> registry;
        return registry;
    }

    static std::shared_ptr<Link> Find(const struct soap* pSoap)
    {
        std::lock_guard<std::mutex> lock(RegistryMutex());
        const auto found = Registry().find(pSoap);
        return found == Registry().end() ? std::shared_ptr<Link>() : found->second;
    }

    static SOAP_SOCKET Open(struct soap* pSoap, const char* pEndpoint, const char* pHost, int port)
    {
        const std::shared_ptr<Link> pLink = Find(pSoap);
        if (!pLink)
            return SOAP_INVALID_SOCKET;
        {
            std::lock_guard<std::mutex> lock(pLink->mMutex);
            if (pLink->mAborted)
            {
                soap_set_sender_error(pSoap, "Request abandoned", "The request was abandoned before it was sent",
                                      SOAP_TCP_ERROR);
                return SOAP_INVALID_SOCKET;
            }
        }
        const SOAP_SOCKET socket = pLink->mpOpen(pSoap, pEndpoint, pHost, port);
        std::lock_guard<std::mutex> lock(pLink->mMutex);
        if (soap_valid_socket(socket))
        {
            pLink->mSocket = socket;
            // Aborted while connecting.
            if (pLink->mAborted)
                ::shutdown(socket, SHUT_RDWR);
        }
        return socket;
    }

    static int CloseSocket(struct soap* pSoap, SOAP_SOCKET socket)
    {
        const std::shared_ptr<Link> pLink = Find(pSoap);
        if (!pLink)
            return ::close(socket);
        std::lock_guard<std::mutex> lock(pLink->mMutex);
        if (pLink->mSocket == socket)
            pLink->mSocket = SOAP_INVALID_SOCKET;
        return pLink->mpCloseSocket(pSoap, socket);
    }
};

Command::Command(const QString& rServerUrl, int commandType)
    : mpStatus(boost::make_shared<CommandStatus>(QUuid::createUuid().toString(), QString(), commandType, cs_pending))
    , mServerUrl(rServerUrl)
    , mpAbort(std::make_shared<AbortLink>())
{
}

Command::Command(const Command& rOther)
    : JoxCore::BasicCommand(rOther)
    , mpStatus(rOther.mpStatus)
    , mServerUrl(rOther.mServerUrl)
    , mLocalFault(rOther.mLocalFault)
    , mpAbort(std::make_shared<AbortLink>())
{
}

void Command::Abort()
{
    std::lock_guard<std::mutex> lock(mpAbort->mMutex);
    mpAbort->mAborted = true;
    if (soap_valid_socket(mpAbort->mSocket))
        ::shutdown(mpAbort->mSocket, SHUT_RDWR);
}

bool Command::IsAborted() const
{
    std::lock_guard<std::mutex> lock(mpAbort->mMutex);
    return mpAbort->mAborted;
}

Command::~Command() = default;

boost::shared_ptr<void> Command::GetSharedObject() const
{
    return boost::shared_ptr<void>();
}

int Command::GetCommandType() const
{
    return mpStatus->GetCommandType();
}

namespace {

// A fault text's "Detail: " part as the text of its XML (the fault printer
// writes the detail's literal XML); kept as it is when it is not XML.
QString DetailAsText(const QString& rFault)
{
    const QString marker = QStringLiteral("\nDetail: ");
    const qsizetype at = rFault.indexOf(marker);
    if (at < 0)
        return rFault;
    const QString detail = rFault.mid(at + marker.size()).trimmed();
    if (!detail.startsWith(QLatin1Char('<')))
        return rFault;
    QXmlStreamReader reader(QStringLiteral("<detail>") + detail + QStringLiteral("</detail>"));
    QStringList texts;
    while (!reader.atEnd())
    {
        if (reader.readNext() == QXmlStreamReader::Characters && !reader.isWhitespace())
            texts.append(reader.text().toString().simplified());
    }
    if (reader.hasError())
        return rFault;
    return rFault.left(at + marker.size()) + texts.join(QLatin1Char(' '));
}

} // namespace

QString Command::GetErrorDetails() const
{
    QStringList details;
    for (const JoxCore::Message& rMessage : mMessageList)
    {
        if (rMessage.GetType() == JoxCore::MessageError && !rMessage.GetDetail().empty())
            details.append(DetailAsText(FromUtf8(rMessage.GetDetail()).trimmed()));
    }
    return details.join(QLatin1Char('\n'));
}

QString Command::LocalWriteFault(const std::string& rPath, const std::string& rReason)
{
    return QStringLiteral("Could not write the file \"%1\" on this computer: %2")
        .arg(QFile::decodeName(QByteArray::fromStdString(rPath)), FromUtf8(rReason));
}

void Command::Execute(const char* pFunction, const Exchange& rCall, const Success& rOnSuccess)
{
    SetState(JoxCore::StateRunning);
    mLocalFault.clear();
    try
    {
        boost::shared_ptr<ServiceProxy> pProxy = CreateServiceClient();
        const AbortHooks::Scope abortable(mpAbort, pProxy->soap);
        const std::string endpoint = mServerUrl.toUtf8().toStdString();
        const int result = rCall(*pProxy, endpoint.c_str());
        if (result != SOAP_OK)
        {
            struct soap* pSoap = pProxy->soap;
            if (!ReplyGuard::DescribeFailure(pSoap) && pSoap->recv_maxlength > 0 &&
                pSoap->count > pSoap->recv_maxlength)
                soap_set_receiver_error(pSoap, "The reply exceeds the limit of 16 MiB",
                                        "a reply may carry at most 16 MiB besides its collection's data", result);
            std::ostringstream fault;
            if (mLocalFault.isEmpty())
                pProxy->soap_stream_fault(fault);
            else
                fault << ToUtf8(mLocalFault);
            mMessageList.append(JoxCore::Message(JoxCore::MessageError, ToUtf8(GetDescription()), fault.str()));
            SetState(JoxCore::StateFailed);
            return;
        }
        rOnSuccess(*pProxy);
    }
    catch (const std::exception& rError)
    {
        const std::string message = std::string("Caught an exception.") + rError.what();
        JoxCore::Log(2, 0, "Maintenance", message.c_str(), __FILE__, __LINE__, pFunction);
        SetState(JoxCore::StateFailed);
    }
}

} // namespace joxmaintenance
