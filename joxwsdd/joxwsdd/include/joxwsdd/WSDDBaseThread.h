#pragma once

#include <joxwsdd/PelwickExport.h>

#include <boost/thread/mutex.hpp>
#include <boost/thread/thread.hpp>

#include <netinet/in.h>

#include <atomic>
#include <string>

struct soap;

namespace JoxWsdd {

// One discovery worker: a thread that serves a SOAP-over-UDP socket on the
// WS-Discovery group (port 3702, joined on the worker's own interface) and,
// with unicast, a socket on the worker's own address, plus a sender context
// whose multicast datagrams leave through that interface.
class PELWICK_EXPORT WSDDBaseThread
{
public:
    static const char* const mpMulticastAddress; // "239.255.255.250"
    static const unsigned short mpMulticastListenPort = 3702;

    WSDDBaseThread(std::string ip, bool unicast, unsigned short unicastPort, unsigned short multicastPort);
    virtual ~WSDDBaseThread();
    WSDDBaseThread(const WSDDBaseThread&) = delete;
    WSDDBaseThread& operator=(const WSDDBaseThread&) = delete;

    // Starts the thread; false when it already runs (or is still starting)
    // or cannot be started.
    bool Start();
    // Interrupts and joins the thread, also one that is still binding (it
    // then never reports started); false when no thread was running.
    bool Stop();
    // True once the sockets are bound; waits in 25 ms steps up to the given
    // time and gives up early when the thread has stored an error.
    bool WaitForThreadRunning(unsigned int milliseconds);
    // The last error; empty while there is none.
    std::string GetErrorString() const;

    const std::string& GetIp() const { return mIp; }
    const std::string& GetMulticastEndpoint() const { return mMulticastEndpoint; }
    unsigned short GetUnicastPort() const;
    unsigned short GetMulticastPort() const { return mMulticastPort; }
    bool IsRunning() const { return mRunning; }
    bool IsUnicast() const { return mUnicast; }

    // These take effect when the worker next starts.
    unsigned int GetMaxKeepAliveCalls() const { return mMaxKeepAliveCalls; }
    void SetMaxKeepAliveCalls(unsigned int calls) { mMaxKeepAliveCalls = calls; }
    // gSOAP convention: positive seconds, negative microseconds, 0 none.
    int GetIOTimeout() const { return mIOTimeout; }
    void SetIOTimeout(int timeout) { mIOTimeout = timeout; }
    int GetListenTimeout() const { return mListenTimeout; }
    void SetListenTimeout(int timeout) { mListenTimeout = timeout; }
    bool IsSoapLoggingEnabled() const { return mSoapLogging; }
    void SetSoapLoggingEnabled(bool enabled) { mSoapLogging = enabled; }

    // "soap.udp://" + host + ":" + port; "" for a null host.
    static std::string CreateSoapUdpEndpoint(const char* pHost, unsigned short port);
    // Resolves an IPv4 host; false (logged) when it cannot be resolved.
    static bool GetIPAddressFromString(const char* pHost, in_addr* pOut);
    // The context's fault text as soap_stream_fault writes it.
    static std::string FormatSoapError(struct soap* pSoap);

    // Handles one datagram waiting on a configured context: parses it,
    // dispatches it to the event callbacks and frees what it used. Never
    // throws; a failure with a socket error is logged with failureText.
    void ServeDatagram(struct soap* pSoap, const char* pFailureText);

protected:
    virtual void OnThreadStarted();
    virtual void OnThreadStopping();
    // Stores the text as the last error.
    virtual void OnError(const std::string& rText);
    virtual void ConfigureSOAPServer(struct soap* pSoap);
    virtual void RunSOAPServer(struct soap* pMulticast, struct soap* pUnicast);
    // Runs between two listen passes on the worker thread.
    virtual void Tick();

    // Stops a running or still binding thread from a destructor; a failure
    // is logged and the thread detached.
    void StopBeforeDestruction();
    // Sets running and calls OnThreadStarted, unless a Stop came first.
    bool ReportStarted();
    bool BindMulticast(struct soap* pSoap);
    bool BindUnicast(struct soap* pSoap);
    void CreateSender();

    std::string mIp;
    std::string mMulticastEndpoint;
    unsigned short mUnicastPort;
    unsigned short mMulticastPort;
    mutable boost::mutex mSenderLock;   // sender context and unicast port
    struct soap* mpSender;
    boost::thread mThread;
    in_addr mInterfaceAddress;
    unsigned int mMaxKeepAliveCalls;
    int mIOTimeout;
    int mListenTimeout;
    bool mSoapLogging;
    mutable boost::mutex mStateLock;    // last error
    std::string mLastError;
    std::atomic<bool> mRunning;
    bool mUnicast;

private:
    void ThreadFunction();
    int mServeTimeout;                  // receive guard of one datagram, gSOAP convention
    std::atomic<bool> mThreadActive;    // from Start until the thread function ends
    boost::mutex mLifeLock;             // orders the started notice against Stop
    bool mStopRequested;                // set by Stop, cleared by Start
};

} // namespace JoxWsdd
