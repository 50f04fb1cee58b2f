#pragma once

#include <joxwsdd/IWSDDClientObserver.h>
#include <joxwsdd/IWSDDProbeMatches.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <vector>

namespace pelwicktest {

// One observer call with copies of its arguments ("<null>" for null texts).
struct ObservedEvent
{
    std::string mKind;   // "started", "stopping", "autoprobe", "hello", "bye", "probematch", "resolvematch"
    std::string mEndpoint;
    std::list<std::string> mTypes;
    std::string mScopes;
    unsigned int mMetadataVersion = 0;
    std::string mXAddrs;
    std::string mMessageId;
    std::vector<std::vector<std::string>> mMatches; // endpoint, types, scopes, matchBy, xAddrs, version
    size_t mMatchCount = 0;
    bool mOutOfRangeUntouched = false;
};

// Records every call; waits are bounded.
class RecordingObserver : public JoxWsdd::IWSDDClientObserver
{
public:
    void OnThreadStarted() override;
    void OnThreadStopping() override;
    void OnAutoProbe() override;
    void OnHello(const char* endpoint, const std::list<std::string>& types, const char* scopes,
                 unsigned int metadataVersion, const char* xAddrs) override;
    void OnBye(const char* endpoint, const std::list<std::string>& types, const char* scopes,
               unsigned int metadataVersion, const char* xAddrs) override;
    void OnProbeMatch(const JoxWsdd::IWSDDProbeMatches& matches, const char* messageId) override;
    void OnResolveMatch(const char* endpoint, const std::list<std::string>& types, const char* scopes,
                        unsigned int metadataVersion, const char* xAddrs) override;

    // Waits until an event of the kind satisfying the predicate is recorded;
    // returns it, or an event with empty kind on timeout.
    ObservedEvent WaitFor(const std::string& rKind, std::chrono::milliseconds timeout,
                          const std::function<bool(const ObservedEvent&)>& rPredicate = nullptr);
    std::vector<ObservedEvent> Events(const std::string& rKind) const;
    size_t Count(const std::string& rKind) const;

    static std::string Text(const char* pText) { return pText != nullptr ? pText : "<null>"; }

private:
    void Record(ObservedEvent event);

    mutable std::mutex mLock;
    std::condition_variable mChanged;
    std::vector<ObservedEvent> mEvents;
};

} // namespace pelwicktest
