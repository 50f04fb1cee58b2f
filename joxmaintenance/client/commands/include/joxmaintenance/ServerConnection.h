#pragma once

#include <QString>

#include <boost/shared_ptr.hpp>

#include <cstddef>
#include <cstdint>

struct soap;

// Defined only by test builds (the reply fuzzer replaces the transport of
// every new proxy); CreateServiceClient calls it when it exists, before it
// puts the reply bounds in front of the receive function.
extern "C" __attribute__((weak)) void TandrilPrepareServiceClient(struct soap* pSoap);

namespace joxmaintenance {

class ServiceProxy;

// The server the operator has chosen: its URL (checked on construction),
// name and versions.
class ServerConnection
{
public:
    // Throws std::runtime_error "Your URL is not formatted correctly!" unless
    // the URL is "http" or "https", "://", a numeric host (not empty) and a port of one
    // to four digits, and nothing else.
    ServerConnection(const QString& rUrl, const QString& rName, const QString& rSoftwareVersion,
                     const QString& rServiceVersion);

    QString GetUrl() const { return mUrl; }
    QString GetName() const { return mName; }
    void SetName(const QString& rName) { mName = rName; }
    QString GetSoftwareVersion() const { return mSoftwareVersion; }
    QString GetServiceVersion() const { return mServiceVersion; }

private:
    QString mUrl;
    QString mName;
    QString mSoftwareVersion;
    QString mServiceVersion;
};

// Limits of every exchange, in seconds: connecting, and the longest pause
// without a byte while sending or receiving; and the speed floor of a reply.
// A transfer that keeps flowing at least at the floor is never cut.
struct ServiceClientTimeouts
{
    int mConnectSeconds = 10;
    int mSendIdleSeconds = 60;
    int mReceiveIdleSeconds = 60;
    // Longest wait for the first byte of the reply of a call whose server
    // builds a collection first (see AwaitCollectionBuild).
    int mBuildWaitSeconds = 30 * 60;
    // TCP keepalive on every connection, so that a vanished server or a
    // broken connection is noticed during a long wait: the first probe after
    // this much silence, then one per interval; the connection fails after
    // this many unanswered probes.
    int mKeepAliveIdleSeconds = 30;
    int mKeepAliveIntervalSeconds = 10;
    int mKeepAliveProbes = 3;
    // From the final reply's first byte on (informational replies before it
    // do not start it), a reply fails when any window of this many seconds
    // spent waiting for the network brings fewer than this many bytes of
    // content a second.
    int mSpeedFloorBytesPerSecond = 1024;
    int mSpeedFloorSeconds = 60;
};

// The limits CreateServiceClient applies (process-wide; tests shorten them).
ServiceClientTimeouts GetServiceClientTimeouts();
void SetServiceClientTimeouts(const ServiceClientTimeouts& rTimeouts);

// The most a reply may carry besides the data of its accepted DIME
// attachment: 16 MiB.
constexpr std::uint64_t kReplyLimitBytes = 16u * 1024u * 1024u;
// The most an HTTP chunk-size line with its extensions may take: 64 KiB.
constexpr std::size_t kChunkLineLimitBytes = 64u * 1024u;

// A new proxy for one exchange: chunked mode, the reply limits above, the
// timeouts, speed floor and keepalive above, no SIGPIPE, and the DIME
// download callbacks installed. Throws std::runtime_error "could not create new client" when
// none results.
boost::shared_ptr<ServiceProxy> CreateServiceClient();

// Lets the proxy's next call wait up to the build limit for its reply to
// begin, for operations whose server builds a collection before it answers;
// informational replies do not lengthen that wait, and from the final
// reply's first byte on the receive idle limit applies again.
void AwaitCollectionBuild(ServiceProxy& rProxy);

} // namespace joxmaintenance
