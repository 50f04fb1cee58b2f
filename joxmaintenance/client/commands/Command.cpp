#include "joxmaintenance/Command.h"

#include "ReplyGuard.h"
#include "SoapTimeout.h"
#include "Utf8.h"
#include "joxmaintenance/CommandType.h"
#include "joxmaintenance/ServerConnection.h"
#include "joxmaintenanceServiceProxy.h"

#include <joxlog/JoxLog.h>

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QXmlStreamReader>
#include <QUuid>

#include <boost/make_shared.hpp>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <exception>
#include <map>
#include <mutex>
#include <sstream>

namespace joxmaintenance {

namespace {

// The serial of the command made last.
std::atomic<quint64> gLatestSerial{0};

// How an exchange's connection ended, as the receive hook saw it.
struct ConnectionEnd
{
    enum class Kind
    {
        Open,     // no receive ended the reply
        Ended,    // its own framing ended the reply, and the runtime read on
        Closed,   // the peer closed the connection
        TimedOut, // nothing arrived for the receive's idle limit
        Broken    // the connection failed (mErrno)
    };
    Kind mKind = Kind::Open;
    int mTimeout = 0; // the context's receive limit then (seconds; negative: microseconds)
    int mErrno = 0;
    std::uint64_t mReceivedBytes = 0; // of the reply, when a receive ended it
};

} // namespace

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

    // The context's own receive, and what it saw; used only by the thread
    // of the exchange.
    using Receive = size_t (*)(struct soap*, char*, size_t);
    Receive mpReceive = nullptr;
    ConnectionEnd mEnd;
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
            mpLink->mpReceive = pSoap->frecv;
            mpLink->mEnd = ConnectionEnd();
            {
                std::lock_guard<std::mutex> lock(RegistryMutex());
                Registry()[pSoap] = mpLink;
            }
            pSoap->fopen = &AbortHooks::Open;
            pSoap->fclosesocket = &AbortHooks::CloseSocket;
            pSoap->frecv = &AbortHooks::Receive;
        }
        ~Scope()
        {
            {
                std::lock_guard<std::mutex> lock(mpLink->mMutex);
                mpSoap->fopen = mpLink->mpOpen;
                mpSoap->fclosesocket = mpLink->mpCloseSocket;
                mpSoap->frecv = mpLink->mpReceive;
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
        if (ConnectsItself(pSoap, *pLink))
            return Connect(pSoap, *pLink, pEndpoint, pHost, port);
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

    // The runtime's own connect, as a new context has it.
    static Link::Open RuntimeOpen()
    {
        static const Link::Open open = [] {
            struct soap* pSoap = soap_new();
            const Link::Open runtimeOpen = pSoap ? pSoap->fopen : nullptr;
            if (pSoap)
                soap_free(pSoap);
            return runtimeOpen;
        }();
        return open;
    }

    // True when the context would connect with the runtime's own connect,
    // asking nothing of it that Connect does not do (a proxy, a bound local
    // address, UDP, socket flags).
    static bool ConnectsItself(const struct soap* pSoap, const Link& rLink)
    {
        return rLink.mpOpen != nullptr && rLink.mpOpen == RuntimeOpen() && !(pSoap->omode & SOAP_IO_UDP) &&
               !pSoap->proxy_host && !pSoap->client_addr && pSoap->client_port < 0 && !pSoap->client_interface &&
               pSoap->connect_flags == 0;
    }

    // Fails the connect with the runtime's own texts, so that a failure
    // reads the same whichever connect made it; closes the socket if one
    // is given.
    static SOAP_SOCKET FailConnect(struct soap* pSoap, SOAP_SOCKET socket, int error, const char* pString,
                                   const char* pDetail)
    {
        pSoap->errnum = error;
        soap_set_receiver_error(pSoap, pString ? pString : std::strerror(error), pDetail, SOAP_TCP_ERROR);
        if (soap_valid_socket(socket))
            pSoap->fclosesocket(pSoap, socket);
        return SOAP_INVALID_SOCKET;
    }

    static SOAP_SOCKET FailAbandoned(struct soap* pSoap, SOAP_SOCKET socket)
    {
        pSoap->errnum = 0;
        soap_set_sender_error(pSoap, "Request abandoned", "The request was abandoned while it connected",
                              SOAP_TCP_ERROR);
        pSoap->fclosesocket(pSoap, socket);
        return SOAP_INVALID_SOCKET;
    }

    // Connects as the runtime's own connect does (the same socket options
    // and state, the same failures), except that the socket is known to
    // rLink before the connect begins, so that Abort ends a connect under
    // way at once: shutdown ends a connect in progress and wakes its poll.
    // The host is taken only as a numeric address, never looked up.
    static SOAP_SOCKET Connect(struct soap* pSoap, Link& rLink, const char* pEndpoint, const char* pHost, int port)
    {
        if (soap_valid_socket(pSoap->socket))
        {
            pSoap->fclosesocket(pSoap, pSoap->socket);
            pSoap->socket = SOAP_INVALID_SOCKET;
        }
        pSoap->errmode = 0;
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
        const std::string service = std::to_string(port);
        addrinfo* pAddresses = nullptr;
        const int resolved = ::getaddrinfo(pHost, service.c_str(), &hints, &pAddresses);
        if (resolved != 0 || !pAddresses)
        {
            if (pAddresses)
                ::freeaddrinfo(pAddresses);
            return FailConnect(pSoap, SOAP_INVALID_SOCKET, 0, ::gai_strerror(resolved),
                               "getaddrinfo failed in tcp_connect()");
        }
        const std::unique_ptr<addrinfo, void (*)(addrinfo*)> addresses(pAddresses, &::freeaddrinfo);
        const addrinfo& rAddress = *pAddresses;

        const SOAP_SOCKET socket =
            ::socket(rAddress.ai_family, rAddress.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, rAddress.ai_protocol);
        if (!soap_valid_socket(socket))
            return FailConnect(pSoap, SOAP_INVALID_SOCKET, errno, nullptr, "socket failed in tcp_connect()");
        const int on = 1;
        const struct
        {
            bool mWanted;
            int mLevel;
            int mOption;
            int mValue;
            const char* mpDetail;
        } options[] = {
            {pSoap->keep_alive || pSoap->tcp_keep_alive, SOL_SOCKET, SO_KEEPALIVE, on,
             "setsockopt SO_KEEPALIVE failed in tcp_connect()"},
            {pSoap->sndbuf > 0, SOL_SOCKET, SO_SNDBUF, pSoap->sndbuf, "setsockopt SO_SNDBUF failed in tcp_connect()"},
            {pSoap->rcvbuf > 0, SOL_SOCKET, SO_RCVBUF, pSoap->rcvbuf, "setsockopt SO_RCVBUF failed in tcp_connect()"},
            {pSoap->tcp_keep_idle != 0, IPPROTO_TCP, TCP_KEEPIDLE, static_cast<int>(pSoap->tcp_keep_idle),
             "setsockopt TCP_KEEPIDLE failed in tcp_connect()"},
            {pSoap->tcp_keep_intvl != 0, IPPROTO_TCP, TCP_KEEPINTVL, static_cast<int>(pSoap->tcp_keep_intvl),
             "setsockopt TCP_KEEPINTVL failed in tcp_connect()"},
            {pSoap->tcp_keep_cnt != 0, IPPROTO_TCP, TCP_KEEPCNT, static_cast<int>(pSoap->tcp_keep_cnt),
             "setsockopt TCP_KEEPCNT failed in tcp_connect()"},
            {true, IPPROTO_TCP, TCP_NODELAY, on, "setsockopt TCP_NODELAY failed in tcp_connect()"},
        };
        for (const auto& rOption : options)
        {
            if (rOption.mWanted &&
                ::setsockopt(socket, rOption.mLevel, rOption.mOption, &rOption.mValue, sizeof rOption.mValue) != 0)
                return FailConnect(pSoap, socket, errno, nullptr, rOption.mpDetail);
        }

        // Known to Abort before the connect begins; a non-blocking connect
        // returns at once.
        int connected = 0;
        int error = 0;
        {
            std::lock_guard<std::mutex> lock(rLink.mMutex);
            rLink.mSocket = socket;
            if (!rLink.mAborted)
            {
                connected = ::connect(socket, rAddress.ai_addr, rAddress.ai_addrlen);
                error = connected == 0 ? 0 : errno;
            }
        }
        if (IsAborted(rLink))
            return FailAbandoned(pSoap, socket);
        // Interrupted, a connect goes on as one in progress does.
        if (connected != 0 && error != EINPROGRESS && error != EINTR)
            return FailConnect(pSoap, socket, error, nullptr, "connect failed in tcp_connect()");
        if (connected != 0)
        {
            const int waited = AwaitConnect(socket, pSoap->connect_timeout, error);
            if (IsAborted(rLink))
                return FailAbandoned(pSoap, socket);
            if (waited == 0)
                return FailConnect(pSoap, socket, 0, "Timeout", "connect failed in tcp_connect()");
            if (waited < 0)
                return FailConnect(pSoap, socket, error, nullptr, "connect failed in tcp_connect()");
            socklen_t length = sizeof error;
            if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                error = errno;
            if (error != 0)
                return FailConnect(pSoap, socket, error, nullptr, "connect failed in tcp_connect()");
        }

        // The runtime's connect leaves the socket blocking only when it has
        // no connect limit.
        if (pSoap->connect_timeout == 0)
        {
            const int flags = ::fcntl(socket, F_GETFL);
            if (flags == -1 || ::fcntl(socket, F_SETFL, flags & ~O_NONBLOCK) != 0)
                return FailConnect(pSoap, socket, errno, nullptr, "connect failed in tcp_connect()");
        }
        pSoap->peerlen = 0;
        pSoap->imode &= ~SOAP_ENC_SSL;
        pSoap->omode &= ~SOAP_ENC_SSL;
        if (pEndpoint && !soap_tag_cmp(pEndpoint, "https:*"))
        {
            // This runtime has no TLS; its fault printer says so.
            pSoap->error = SOAP_SSL_ERROR;
            pSoap->fclosesocket(pSoap, socket);
            return SOAP_INVALID_SOCKET;
        }
        pSoap->socket = socket;
        return socket;
    }

    static bool IsAborted(Link& rLink)
    {
        std::lock_guard<std::mutex> lock(rLink.mMutex);
        return rLink.mAborted;
    }

    // Waits until the connect under way on the socket ends, or the connect
    // limit (seconds; negative: microseconds; 0: none) runs out: 1 when it
    // ended, 0 when the limit ran out, -1 when the wait failed (rError).
    static int AwaitConnect(SOAP_SOCKET socket, int timeout, int& rError)
    {
        using Clock = std::chrono::steady_clock;
        const bool limited = timeout != 0;
        const Clock::time_point deadline = Clock::now() + FromSoapTimeout(timeout);
        for (;;)
        {
            int waitMs = -1;
            if (limited)
            {
                const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
                if (left.count() <= 0)
                    return 0;
                // Rounded up, so that the wait never ends early and spins.
                waitMs = static_cast<int>(std::min<long long>((left.count() + 999) / 1000, 24 * 3600 * 1000));
            }
            pollfd entry{socket, POLLOUT, 0};
            const int ready = ::poll(&entry, 1, waitMs);
            if (ready > 0)
                return 1;
            if (ready < 0 && errno != EINTR)
            {
                rError = errno;
                return -1;
            }
        }
    }

    // Notes how a receive that brought nothing ended: the reply's own
    // framing had ended it, or else a socket with nothing to read is still
    // open, so the receive's idle limit ran out.
    static size_t Receive(struct soap* pSoap, char* pBuffer, size_t length)
    {
        const std::shared_ptr<Link> pLink = Find(pSoap);
        if (!pLink)
            return 0;
        const int timeout = pSoap->recv_timeout;
        const size_t received = pLink->mpReceive(pSoap, pBuffer, length);
        if (received > 0)
            return received;
        ConnectionEnd& rEnd = pLink->mEnd;
        const ReplyGuard::Progress progress = ReplyGuard::GetProgress(pSoap);
        rEnd.mReceivedBytes = progress.mReceivedBytes;
        if (progress.mComplete)
        {
            rEnd.mKind = ConnectionEnd::Kind::Ended;
            return 0;
        }
        if (!soap_valid_socket(pSoap->socket))
            return 0;
        pollfd entry{pSoap->socket, POLLIN, 0};
        const int ready = ::poll(&entry, 1, 0);
        char byte = 0;
        const ssize_t peeked = ready > 0 ? ::recv(pSoap->socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT) : -1;
        if (ready == 0)
            rEnd.mKind = ConnectionEnd::Kind::TimedOut;
        else if (peeked == 0)
            rEnd.mKind = ConnectionEnd::Kind::Closed;
        else if (peeked < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
        {
            rEnd.mKind = ConnectionEnd::Kind::Broken;
            rEnd.mErrno = errno;
        }
        // Otherwise bytes are waiting: a bound of the reply ended the receive.
        rEnd.mTimeout = timeout;
        return 0;
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
    , mSerial(++gLatestSerial)
    , mpAbort(std::make_shared<AbortLink>())
{
}

Command::Command(const Command& rOther)
    : JoxCore::BasicCommand(rOther)
    , mpStatus(rOther.mpStatus)
    , mServerUrl(rOther.mServerUrl)
    , mSerial(rOther.mSerial)
    , mLocalFault(rOther.mLocalFault)
    , mShownFailures(rOther.mShownFailures)
    , mFailureReason(rOther.mFailureReason)
    , mpAbort(std::make_shared<AbortLink>())
{
}

quint64 Command::LatestSerial()
{
    return gLatestSerial.load();
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

// The most of each fault text (code, subcode, string, detail) a message keeps.
constexpr std::size_t kFaultTextBytes = 4 * 1024;

// Keeps the first kFaultTextBytes of each of the context's fault texts, not
// ending inside a UTF-8 sequence, marked as cut.
void CutFaultTexts(struct soap* pSoap)
{
    const char** const pSubcode =
        pSoap->version == 2 && soap_fault_subcode(pSoap) ? soap_faultsubcode(pSoap) : nullptr;
    const char** texts[] = {soap_faultcode(pSoap), pSubcode, soap_faultstring(pSoap), soap_faultdetail(pSoap)};
    for (const char** ppText : texts)
    {
        if (!ppText || !*ppText)
            continue;
        const std::size_t length = std::strlen(*ppText);
        if (length <= kFaultTextBytes)
            continue;
        std::size_t end = kFaultTextBytes;
        while (end > 0 && (static_cast<unsigned char>((*ppText)[end]) & 0xC0) == 0x80)
            --end;
        const std::string cut = std::string(*ppText, end) + " [cut: " + std::to_string(length) + " bytes in all]";
        *ppText = soap_strdup(pSoap, cut.c_str());
    }
}

// rText as a sentence: with a full stop at its end.
QString Sentence(const QString& rText)
{
    return rText.endsWith(QLatin1Char('.')) ? rText : rText + QLatin1Char('.');
}

// A receive limit as the operator reads it.
QString Duration(int timeout)
{
    if (timeout < 0)
        return QStringLiteral("%1 ms").arg(-timeout / 1000);
    if (timeout >= 120 && timeout % 60 == 0)
        return QStringLiteral("%1 min").arg(timeout / 60);
    return QStringLiteral("%1 s").arg(timeout);
}

// The first line of a failed exchange's message: what happened, in the
// operator's words. Called before the fault printer fills in the runtime's
// texts, so a fault string already set came with the reply or from this
// program's own refusal (ownRefusal: one made after the call).
QString FailureSummary(struct soap* pSoap, const ConnectionEnd& rEnd, bool aborted, bool ownRefusal)
{
    using Kind = ConnectionEnd::Kind;
    const char* const pString = *soap_faultstring(pSoap);
    const QString text = pString ? FromUtf8(pString) : QString();
    const int error = pSoap->error;
    if (aborted)
        return QStringLiteral("The request was abandoned.");
    if (ownRefusal && pString)
        return Sentence(text);
    if (pString && (error == SOAP_CLI_FAULT || error == SOAP_SVR_FAULT || error == SOAP_MUSTUNDERSTAND ||
                    error == SOAP_FAULT || error == SOAP_VERSIONMISMATCH))
        return QStringLiteral("The server reported a fault: %1").arg(Sentence(text));
    const ReplyGuard::Progress progress = ReplyGuard::GetProgress(pSoap);
    if (progress.mUnansweredWait != 0)
        return QStringLiteral("The server did not answer within %1.").arg(Duration(progress.mUnansweredWait));
    // An error status names the reply, however its body ended.
    const int status = progress.mStatus != 0 ? progress.mStatus : error;
    if (status >= 100 && status < 600 && (status < 200 || status >= 300))
        return QStringLiteral("The server answered with HTTP status %1.").arg(status);
    switch (rEnd.mKind)
    {
    case Kind::Ended:
        // Unless the download refused what the reply held.
        if (pString && (error == SOAP_EOF || error == SOAP_DIME_ERROR || error == SOAP_NO_DATA))
            break;
        return QStringLiteral("The server's reply ended before it was complete.");
    case Kind::Closed:
        return rEnd.mReceivedBytes == 0
                   ? QStringLiteral("The server closed the connection without answering.")
                   : QStringLiteral("The server closed the connection before its reply was complete.");
    case Kind::TimedOut:
        return rEnd.mReceivedBytes == 0
                   ? QStringLiteral("The server did not answer within %1.").arg(Duration(rEnd.mTimeout))
                   : QStringLiteral("The server stopped sending its reply: nothing arrived for %1.")
                         .arg(Duration(rEnd.mTimeout));
    case Kind::Broken:
        return QStringLiteral("The connection to the server failed: %1.")
            .arg(QString::fromLocal8Bit(std::strerror(rEnd.mErrno)));
    case Kind::Open:
        break;
    }
    if (error == SOAP_TCP_ERROR)
        return QStringLiteral("Could not connect to the server: %1")
            .arg(Sentence(pString ? text : QStringLiteral("no connection")));
    // The download callbacks' and the download's own refusals.
    if (pString && (error == SOAP_EOF || error == SOAP_DIME_ERROR || error == SOAP_NO_DATA))
        return Sentence(text);
    if (error == SOAP_EOF)
        return QStringLiteral("The connection to the server ended before the exchange was complete.");
    return QStringLiteral("The server sent a reply the program cannot read.");
}

// The character data of rText read as XML content (the fault printer writes
// a fault's detail as its literal XML); rText as it is when it is not XML.
QString XmlAsText(const QString& rText)
{
    if (!rText.contains(QLatin1Char('<')) && !rText.contains(QLatin1Char('&')))
        return rText;
    QXmlStreamReader reader(QStringLiteral("<detail>") + rText + QStringLiteral("</detail>"));
    QStringList texts;
    while (!reader.atEnd())
    {
        if (reader.readNext() == QXmlStreamReader::Characters && !reader.isWhitespace())
            texts.append(reader.text().toString().simplified());
    }
    if (reader.hasError())
        return rText;
    return texts.join(QLatin1Char(' '));
}

// True when rText says nothing rShown does not say already: its words
// stand there in that order (case, spacing and a closing full stop aside),
// as they are or as the text of their markup.
bool SaysNothingNew(const QString& rText, const QString& rShown)
{
    QString text = rText.simplified();
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text.isEmpty())
        return true;
    const QRegularExpression words(QStringLiteral("(?<!\\w)") + QRegularExpression::escape(text) +
                                       QStringLiteral("(?!\\w)"),
                                   QRegularExpression::CaseInsensitiveOption);
    return words.match(rShown.simplified()).hasMatch() || words.match(XmlAsText(rShown).simplified()).hasMatch();
}

// The runtime's own wording of what the first line says already: a
// connection that ended or timed out (with the limits it waited), the HTTP
// status line, the function of its own that failed.
bool RestatesTheFirstLine(const QString& rText)
{
    static const QRegularExpression kRuntimeTexts(QStringLiteral(
        "^(?:End of file or no input\\b.*|Error \\d+: HTTP \\d+.*|HTTP Error|\\w[\\w ]* failed in \\w+\\(\\))$"),
                                                   QRegularExpression::DotMatchesEverythingOption);
    return kRuntimeTexts.match(rText.trimmed()).hasMatch();
}

// Fault codes that say only whose fault it is, which the first line says.
bool IsStandardFaultCode(const QString& rCode)
{
    static const QStringList kCodes = {QStringLiteral("Client"), QStringLiteral("Server"),
                                       QStringLiteral("Sender"), QStringLiteral("Receiver"),
                                       QStringLiteral("VersionMismatch"), QStringLiteral("MustUnderstand"),
                                       QStringLiteral("DataEncodingUnknown")};
    return kCodes.contains(rCode.section(QLatin1Char(':'), -1));
}

// What the operator is shown of a failed exchange: rFirstLine, then of the
// context's fault texts, as the fault printer has left them, only those
// that add to what stands before them.
QString ShownFailure(struct soap* pSoap, const QString& rFirstLine)
{
    QStringList lines{rFirstLine};
    const auto text = [](const char* pText) { return pText ? FromUtf8(pText).trimmed() : QString(); };
    const auto adds = [&lines](const QString& rText) {
        return !rText.isEmpty() && !RestatesTheFirstLine(rText) && !SaysNothingNew(rText, lines.join(QLatin1Char('\n')));
    };
    // A code of the server's own; the runtime's codes of a failure without
    // fault ("detected", "is internal") are not names.
    const QString code = text(*soap_faultcode(pSoap));
    if (code.contains(QLatin1Char(':')) && !IsStandardFaultCode(code))
        lines.append(QStringLiteral("Fault code: ") + code);
    const QString subcode = text(pSoap->version == 2 ? soap_fault_subcode(pSoap) : nullptr);
    if (!subcode.isEmpty())
        lines.append(QStringLiteral("Fault subcode: ") + subcode);
    const QString reason = text(*soap_faultstring(pSoap));
    if (adds(reason))
        lines.append(reason);
    const QString detail = XmlAsText(text(*soap_faultdetail(pSoap)));
    if (adds(detail))
        lines.append(QStringLiteral("Detail: ") + detail);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QString Command::GetErrorDetails() const
{
    return mShownFailures.join(QLatin1Char('\n'));
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
    mFailureReason.clear();
    try
    {
        boost::shared_ptr<ServiceProxy> pProxy = CreateServiceClient();
        const AbortHooks::Scope abortable(mpAbort, pProxy->soap);
        const std::string endpoint = mServerUrl.toUtf8().toStdString();
        const int result = rCall(*pProxy, endpoint.c_str());
        if (result != SOAP_OK)
        {
            struct soap* pSoap = pProxy->soap;
            bool ownRefusal = ReplyGuard::DescribeFailure(pSoap);
            if (!ownRefusal && pSoap->recv_maxlength > 0 && pSoap->count > pSoap->recv_maxlength)
            {
                soap_set_receiver_error(pSoap, "The reply exceeds the limit of 16 MiB",
                                        "a reply may carry at most 16 MiB besides its collection's data", result);
                ownRefusal = true;
            }
            if (!ownRefusal)
                ReplyGuard::DescribeErrorBody(pSoap);
            std::ostringstream fault;
            QString shown;
            if (mLocalFault.isEmpty())
            {
                // What happened first, then the runtime's account of it:
                // whole for the log, what adds to the first line for the
                // operator.
                CutFaultTexts(pSoap);
                mFailureReason = FailureSummary(pSoap, mpAbort->mEnd, IsAborted(), ownRefusal);
                fault << ToUtf8(mFailureReason) << '\n';
                pProxy->soap_stream_fault(fault);
                shown = IsAborted() ? mFailureReason : ShownFailure(pSoap, mFailureReason);
            }
            else
            {
                fault << ToUtf8(mLocalFault);
                mFailureReason = mLocalFault;
                shown = mLocalFault;
            }
            mShownFailures.append(shown);
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
        // No message, but a reason for the operator.
        mFailureReason = QStringLiteral("The request failed: %1").arg(Sentence(QString::fromUtf8(rError.what())));
        mShownFailures.append(mFailureReason);
        SetState(JoxCore::StateFailed);
    }
}

} // namespace joxmaintenance
