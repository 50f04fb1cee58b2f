#pragma once

#include <joxwsdd/PelwickExport.h>

#include <list>
#include <string>

namespace JoxWsdd {

class IWSDDProbeMatches;

// Receives what the discovery workers hear. Called on the worker threads
// (OnThreadStopping on the thread that stops a worker), possibly from several
// at once, and once per worker that hears a message: implementations guard
// their own state and tolerate repeats. Pointers are valid only during a call;
// null scopes or xAddrs mean the element was absent.
class PELWICK_EXPORT IWSDDClientObserver
{
public:
    virtual ~IWSDDClientObserver();

    // A worker has bound its sockets and entered its listen loop.
    virtual void OnThreadStarted() = 0;
    // A worker is about to be interrupted.
    virtual void OnThreadStopping() = 0;
    // The auto-probe interval of a worker has passed.
    virtual void OnAutoProbe() = 0;
    virtual void OnHello(const char* endpoint, const std::list<std::string>& types, const char* scopes,
                         unsigned int metadataVersion, const char* xAddrs) = 0;
    // metadataVersion is 0 for a Bye without one.
    virtual void OnBye(const char* endpoint, const std::list<std::string>& types, const char* scopes,
                       unsigned int metadataVersion, const char* xAddrs) = 0;
    // messageId is the MessageID of the received ProbeMatches message.
    virtual void OnProbeMatch(const IWSDDProbeMatches& matches, const char* messageId) = 0;
    virtual void OnResolveMatch(const char* endpoint, const std::list<std::string>& types,
                                const char* scopes, unsigned int metadataVersion,
                                const char* xAddrs) = 0;
};

} // namespace JoxWsdd
