#include "RecordingObserver.h"

namespace pelwicktest {

namespace {

ObservedEvent Announcement(const char* pKind, const char* pEndpoint, const std::list<std::string>& rTypes,
                           const char* pScopes, unsigned int metadataVersion, const char* pXAddrs)
{
    ObservedEvent event;
    event.mKind = pKind;
    event.mEndpoint = RecordingObserver::Text(pEndpoint);
    event.mTypes = rTypes;
    event.mScopes = RecordingObserver::Text(pScopes);
    event.mMetadataVersion = metadataVersion;
    event.mXAddrs = RecordingObserver::Text(pXAddrs);
    return event;
}

} // namespace

void RecordingObserver::OnThreadStarted()
{
    ObservedEvent event;
    event.mKind = "started";
    Record(event);
}

void RecordingObserver::OnThreadStopping()
{
    ObservedEvent event;
    event.mKind = "stopping";
    Record(event);
}

void RecordingObserver::OnAutoProbe()
{
    ObservedEvent event;
    event.mKind = "autoprobe";
    Record(event);
}

void RecordingObserver::OnHello(const char* endpoint, const std::list<std::string>& types, const char* scopes,
                                unsigned int metadataVersion, const char* xAddrs)
{
    Record(Announcement("hello", endpoint, types, scopes, metadataVersion, xAddrs));
}

void RecordingObserver::OnBye(const char* endpoint, const std::list<std::string>& types, const char* scopes,
                              unsigned int metadataVersion, const char* xAddrs)
{
    Record(Announcement("bye", endpoint, types, scopes, metadataVersion, xAddrs));
}

void RecordingObserver::OnResolveMatch(const char* endpoint, const std::list<std::string>& types,
                                       const char* scopes, unsigned int metadataVersion, const char* xAddrs)
{
    Record(Announcement("resolvematch", endpoint, types, scopes, metadataVersion, xAddrs));
}

void RecordingObserver::OnProbeMatch(const JoxWsdd::IWSDDProbeMatches& matches, const char* messageId)
{
    ObservedEvent event;
    event.mKind = "probematch";
    event.mMessageId = Text(messageId);
    event.mMatchCount = matches.GetMatchCount();
    for (size_t index = 0; index < event.mMatchCount; ++index)
    {
        JoxWsdd::IWSDDProbeMatches::ProbeMatch match;
        if (!matches.GetMatch(index, match))
            continue;
        event.mMatches.push_back({Text(match.endpoint), Text(match.types), Text(match.scopes),
                                  Text(match.matchBy), Text(match.xAddrs), std::to_string(match.metadataVersion)});
    }
    JoxWsdd::IWSDDProbeMatches::ProbeMatch untouched;
    untouched.endpoint = "sentinel";
    event.mOutOfRangeUntouched = !matches.GetMatch(event.mMatchCount, untouched)
                                 && std::string(untouched.endpoint) == "sentinel";
    Record(event);
}

void RecordingObserver::Record(ObservedEvent event)
{
    {
        std::lock_guard<std::mutex> lock(mLock);
        mEvents.push_back(std::move(event));
    }
    mChanged.notify_all();
}

ObservedEvent RecordingObserver::WaitFor(const std::string& rKind, std::chrono::milliseconds timeout,
                                         const std::function<bool(const ObservedEvent&)>& rPredicate)
{
    std::unique_lock<std::mutex> lock(mLock);
    ObservedEvent found;
    mChanged.wait_for(lock, timeout, [&] {
        for (const ObservedEvent& rEvent : mEvents)
        {
            if (rEvent.mKind == rKind && (!rPredicate || rPredicate(rEvent)))
            {
                found = rEvent;
                return true;
            }
        }
        return false;
    });
    return found;
}

std::vector<ObservedEvent> RecordingObserver::Events(const std::string& rKind) const
{
    std::lock_guard<std::mutex> lock(mLock);
    std::vector<ObservedEvent> result;
    for (const ObservedEvent& rEvent : mEvents)
    {
        if (rEvent.mKind == rKind)
            result.push_back(rEvent);
    }
    return result;
}

size_t RecordingObserver::Count(const std::string& rKind) const
{
    return Events(rKind).size();
}

} // namespace pelwicktest
