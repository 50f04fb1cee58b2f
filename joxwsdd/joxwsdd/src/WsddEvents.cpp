// The event callbacks of gSOAP's WS-Discovery plugin. Announcements go to the
// worker that owns the receiving context (its user pointer); Probe and
// Resolve from others get no answer.

#include <joxwsdd/WSDDClientThread.h>

#include "WSDDProbeMatches.h"
#include "wsddH.h"
#include "wsddapi.h"

namespace {

JoxWsdd::WSDDClientThread* WorkerOf(struct soap* pSoap)
{
    if (pSoap == nullptr || pSoap->user == nullptr)
        return nullptr;
    return dynamic_cast<JoxWsdd::WSDDClientThread*>(static_cast<JoxWsdd::WSDDBaseThread*>(pSoap->user));
}

} // namespace

void wsdd_event_Hello(struct soap* pSoap, unsigned int InstanceId, const char* SequenceId,
                      unsigned int MessageNumber, const char* MessageID, const char* RelatesTo,
                      const char* EndpointReference, const char* Types, const char* Scopes,
                      const char* MatchBy, const char* XAddrs, unsigned int MetadataVersion)
{
    (void)InstanceId, (void)SequenceId, (void)MessageNumber, (void)MessageID, (void)RelatesTo, (void)MatchBy;
    if (JoxWsdd::WSDDClientThread* pWorker = WorkerOf(pSoap))
        pWorker->NotifyHello(EndpointReference, Types, Scopes, MetadataVersion, XAddrs);
    if (pSoap != nullptr)
        soap_destroy(pSoap);
}

void wsdd_event_Bye(struct soap* pSoap, unsigned int InstanceId, const char* SequenceId,
                    unsigned int MessageNumber, const char* MessageID, const char* RelatesTo,
                    const char* EndpointReference, const char* Types, const char* Scopes, const char* MatchBy,
                    const char* XAddrs, unsigned int* MetadataVersion)
{
    (void)InstanceId, (void)SequenceId, (void)MessageNumber, (void)MessageID, (void)RelatesTo, (void)MatchBy;
    if (JoxWsdd::WSDDClientThread* pWorker = WorkerOf(pSoap))
        pWorker->NotifyBye(EndpointReference, Types, Scopes, MetadataVersion != nullptr ? *MetadataVersion : 0,
                           XAddrs);
    if (pSoap != nullptr)
        soap_destroy(pSoap);
}

soap_wsdd_mode wsdd_event_Probe(struct soap* pSoap, const char* MessageID, const char* ReplyTo,
                                const char* Types, const char* Scopes, const char* MatchBy,
                                struct wsdd__ProbeMatchesType* ProbeMatches)
{
    (void)pSoap, (void)MessageID, (void)ReplyTo, (void)Types, (void)Scopes, (void)MatchBy, (void)ProbeMatches;
    return SOAP_WSDD_ADHOC;
}

soap_wsdd_mode wsdd_event_Resolve(struct soap* pSoap, const char* MessageID, const char* ReplyTo,
                                  const char* EndpointReference, struct wsdd__ResolveMatchType* match)
{
    (void)pSoap, (void)MessageID, (void)ReplyTo, (void)EndpointReference, (void)match;
    return SOAP_WSDD_ADHOC;
}

void wsdd_event_ProbeMatches(struct soap* pSoap, unsigned int InstanceId, const char* SequenceId,
                             unsigned int MessageNumber, const char* MessageID, const char* RelatesTo,
                             struct wsdd__ProbeMatchesType* ProbeMatches)
{
    (void)InstanceId, (void)SequenceId, (void)MessageNumber, (void)RelatesTo;
    if (JoxWsdd::WSDDClientThread* pWorker = WorkerOf(pSoap))
    {
        const JoxWsdd::WSDDProbeMatches view(ProbeMatches);
        pWorker->NotifyProbeMatches(view, MessageID);
    }
    if (pSoap != nullptr)
        soap_destroy(pSoap);
}

void wsdd_event_ResolveMatches(struct soap* pSoap, unsigned int InstanceId, const char* SequenceId,
                               unsigned int MessageNumber, const char* MessageID, const char* RelatesTo,
                               struct wsdd__ResolveMatchType* match)
{
    (void)InstanceId, (void)SequenceId, (void)MessageNumber, (void)MessageID, (void)RelatesTo;
    JoxWsdd::WSDDClientThread* pWorker = WorkerOf(pSoap);
    if (pWorker != nullptr && match != nullptr)
    {
        pWorker->NotifyResolveMatch(match->wsa5__EndpointReference.Address, match->Types,
                                    match->Scopes != nullptr ? match->Scopes->__item : nullptr,
                                    match->MetadataVersion, match->XAddrs);
    }
    if (pSoap != nullptr)
        soap_destroy(pSoap);
}
