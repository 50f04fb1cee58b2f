#include "SimService.h"

#include "simserver/SimServer.h"

#include "AttachmentStream.h"

#include <joxmaintenance/SchemaNamespace.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <cstdio>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

using namespace joxmaintenance;

namespace simserver {

namespace {

std::string HttpReply(const std::string& rStatusLine, const std::string& rContentType, const std::string& rBody)
{
    std::string reply = "HTTP/1.1 " + rStatusLine + "\r\n";
    if (!rContentType.empty())
        reply += "Content-Type: " + rContentType + "\r\n";
    reply += "Content-Length: " + std::to_string(rBody.size()) + "\r\nConnection: close\r\n\r\n";
    return reply + rBody;
}

std::string Envelope(const std::string& rHeader, const std::string& rBody)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "xmlns:jox=\"" + joxmaintenance::SchemaNamespace() + "\">" + rHeader + "<SOAP-ENV:Body>" + rBody + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

std::string EscapeXmlText(const std::string& rText)
{
    std::string escaped;
    for (const char c : rText)
    {
        if (c == '&')
            escaped += "&amp;";
        else if (c == '<')
            escaped += "&lt;";
        else if (c == '>')
            escaped += "&gt;";
        else
            escaped += c;
    }
    return escaped;
}

// One DIME record: flags in the first byte, type format in the second; the
// option field as raw bytes.
std::string DimeRecord(unsigned char flags, unsigned char typeFormat, const std::string& rId,
                       const std::string& rType, const std::string& rData, const std::string& rOptions = std::string())
{
    std::string record = AttachmentStream::RecordHeader(flags, typeFormat, rOptions, rId, rType, rData.size());
    record += rData;
    record.append((4 - rData.size() % 4) % 4, '\0');
    return record;
}

// Plain data, allocated in the context: it goes with the context even when
// the attachment is never opened.
struct AttachmentRequest
{
    const char* mpPath;
    std::uint64_t mCutOff; // 0: no cut-off
    std::uint64_t mRate;
    int mSocket;
    bool mSizeKnown;
};

// Streams the whole attachment and the end of the reply itself, so the
// runtime writes nothing more.
void* DimeReadOpen(struct soap* pSoap, void* pHandle, const char* pId, const char* pType, const char* pOptions)
{
    auto* pRequest = static_cast<AttachmentRequest*>(pHandle);
    AttachmentStream(pRequest->mpPath, pRequest->mCutOff, pRequest->mRate, pRequest->mSocket, pRequest->mSizeKnown)
        .Send(pSoap, pId, pType, pOptions);
    pSoap->error = SOAP_STOP;
    return nullptr;
}

std::vector<LogSource> ToSources(const jox__AvailableLogsListType* pList)
{
    std::vector<LogSource> sources;
    if (pList)
    {
        for (const jox__AvailableLogsType* pEntry : pList->Source)
        {
            if (pEntry)
                sources.push_back({pEntry->Type, pEntry->StartTime, pEntry->DurationSeconds});
        }
    }
    return sources;
}

std::optional<Job> ToJob(const jox__CommandStatusType* pStatus)
{
    if (!pStatus)
        return std::nullopt;
    Job job{pStatus->CommandID, pStatus->ClientIP, pStatus->CommandType, pStatus->CommandStatus,
            pStatus->ProgressPercent, pStatus->FinishedPhases, std::nullopt, std::nullopt};
    if (pStatus->ProgressDetails)
        job.mProgressDetails = *pStatus->ProgressDetails;
    if (pStatus->ErrorDetails)
        job.mErrorDetails = *pStatus->ErrorDetails;
    return job;
}

// The server closes the connection itself, after the context is done with it.
int KeepSocketOpen(struct soap*)
{
    return SOAP_OK;
}

} // namespace

SimService::SimService(SimServer& rServer, int socket)
    : ServiceService(rServer.GetByteStrings() ? SOAP_IO_CHUNK : SOAP_IO_CHUNK | SOAP_C_UTFSTRING)
    , mServer(rServer)
    , mSocket(socket)
{
    soap->socket = socket;
    soap->socket_flags = MSG_NOSIGNAL;
    soap->recv_timeout = 30;
    soap->send_timeout = 30;
    soap->recv_maxlength = 0;
    soap->fdimereadopen = DimeReadOpen;
    soap->fclose = KeepSocketOpen;
    sockaddr_in local{};
    socklen_t length = sizeof local;
    char text[INET_ADDRSTRLEN] = {};
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&local), &length) == 0 && local.sin_family == AF_INET &&
        ::inet_ntop(AF_INET, &local.sin_addr, text, sizeof text))
        mLocalAddress = text;
}

ServiceService* SimService::copy()
{
    return new SimService(mServer, mSocket);
}

int SimService::SendRaw(const std::string& rBytes)
{
    std::size_t sent = 0;
    while (sent < rBytes.size())
    {
        ssize_t n = ::send(mSocket, rBytes.data() + sent, rBytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        sent += static_cast<std::size_t>(n);
    }
    // Nothing more is written for this request.
    return SOAP_STOP;
}

int SimService::Misbehave(Fault fault, const std::string& rOperation)
{
    const std::string response = "jox:" + rOperation + "Response";
    switch (fault)
    {
    case Fault::None:
        return SOAP_OK;
    case Fault::Soap11Fault:
    {
        const std::string text = mServer.GetFaultText();
        if (text.empty())
            return soap_senderfault("Simulated fault", "<Reason>simulated</Reason>");
        // The runtime keeps the texts by pointer: they are copied into the context.
        const std::string detail = "<Reason>" + EscapeXmlText(text) + "</Reason>";
        return soap_senderfault(soap_strdup(soap, text.c_str()), soap_strdup(soap, detail.c_str()));
    }
    case Fault::Soap12Fault:
        return SendRaw(HttpReply(
            "500 Internal Server Error", "application/soap+xml; charset=utf-8",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<env:Envelope xmlns:env=\"http://www.w3.org/2003/05/soap-envelope\" "
            "xmlns:jox=\"" + joxmaintenance::SchemaNamespace() + "\"><env:Body><env:Fault>"
            "<env:Code><env:Value>env:Sender</env:Value><env:Subcode><env:Value>jox:Busy</env:Value>"
            "</env:Subcode></env:Code><env:Reason><env:Text xml:lang=\"en\">Simulated SOAP 1.2 fault</env:Text>"
            "</env:Reason><env:Detail><Why>simulated</Why></env:Detail></env:Fault></env:Body></env:Envelope>"));
    case Fault::UnknownChild:
        return SendRaw(HttpReply("200 OK", "text/xml; charset=utf-8",
                                 Envelope("", "<" + response + "><Unknown><Nested>x</Nested></Unknown></" +
                                                  response + ">")));
    case Fault::EnvelopeChild:
        return SendRaw(HttpReply("200 OK", "text/xml; charset=utf-8",
                                 Envelope("", "<" + response + "><SOAP-ENV:Bogus/></" + response + ">")));
    case Fault::MustUnderstandHeader:
        return SendRaw(HttpReply(
            "200 OK", "text/xml; charset=utf-8",
            Envelope("<SOAP-ENV:Header><x:Session xmlns:x=\"urn:simserver\" SOAP-ENV:mustUnderstand=\"1\">1"
                     "</x:Session></SOAP-ENV:Header>",
                     "<" + response + "/>")));
    case Fault::DimeMissingRecord:
    {
        const std::string envelope =
            Envelope("", "<" + response + "><LogFile href=\"cid:missing\"/></" + response + ">");
        std::string body = DimeRecord(0x04, 0x20, "", "http://schemas.xmlsoap.org/soap/envelope/", envelope);
        body += DimeRecord(0x02, 0x10, "cid:other", "application/octet-stream", "data");
        return SendRaw(HttpReply("200 OK", "application/dime", body));
    }
    case Fault::DimeShortOption:
    {
        const std::string envelope =
            Envelope("", "<" + response + "><LogFile href=\"cid:short\"/></" + response + ">");
        std::string body = DimeRecord(0x04, 0x20, "", "http://schemas.xmlsoap.org/soap/envelope/", envelope);
        std::string field = mServer.GetMalformedOptionField();
        if (field.empty())
            field = std::string("\0\0\xFF\xFF", 4) + "ab";
        body += DimeRecord(0x02, 0x10, "cid:short", "application/octet-stream", "data", field);
        return SendRaw(HttpReply("200 OK", "application/dime", body));
    }
    case Fault::InlineLogFile:
        return SendRaw(HttpReply("200 OK", "text/xml; charset=utf-8",
                                 Envelope("", "<" + response + "><LogFile>aW5saW5lIGJ5dGVz</LogFile></" + response +
                                                  ">")));
    case Fault::NilLogFile:
        return SendRaw(HttpReply(
            "200 OK", "text/xml; charset=utf-8",
            Envelope("", "<" + response + "><LogFile xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                                          "xsi:nil=\"true\"/></" + response + ">")));
    case Fault::OversizedReply:
        return SendRaw(HttpReply("200 OK", "text/xml; charset=utf-8",
                                 Envelope("", "<" + response + "><Padding>" + std::string(17 * 1024 * 1024, 'p') +
                                                  "</Padding></" + response + ">")));
    case Fault::HttpError:
        return SendRaw(HttpReply("503 Service Unavailable", "text/plain", "simulated outage"));
    case Fault::EmptySuccess:
        return SendRaw(HttpReply("200 OK", "", ""));
    case Fault::CutOff:
    {
        const std::string full = HttpReply("200 OK", "text/xml; charset=utf-8",
                                           Envelope("", "<" + response + "></" + response + ">"));
        SendRaw(full.substr(0, full.size() - 40));
        ::shutdown(mSocket, SHUT_RDWR);
        return SOAP_STOP;
    }
    case Fault::Silent:
        mServer.WaitSilently(mSocket);
        return SOAP_STOP;
    }
    return SOAP_OK;
}

int SimService::AttachCollection(const std::string& rName, const std::string& rClientFolder, bool cutOff,
                                 xsd__base64Binary*& rpFile)
{
    if (!SimServer::IsSafeName(rName))
        return soap_senderfault("Invalid collection name", nullptr);
    const std::string path = mServer.GetFolder() + "/" + rName;
    std::FILE* pProbe = std::fopen(path.c_str(), "rb");
    if (!pProbe)
        return soap_senderfault("No such collection", nullptr);
    std::fclose(pProbe);

    auto* pRequest = static_cast<AttachmentRequest*>(soap_malloc(soap, sizeof(AttachmentRequest)));
    if (!pRequest)
        return soap->error;
    pRequest->mpPath = soap_strdup(soap, path.c_str());
    pRequest->mCutOff = cutOff ? mServer.GetCutOffBytes() : 0;
    pRequest->mRate = mServer.GetAttachmentRate();
    pRequest->mSocket = mSocket;
    pRequest->mSizeKnown = mServer.GetAttachmentSizeKnown();
    rpFile = soap_new_xsd__base64Binary(soap);
    rpFile->__ptr = reinterpret_cast<unsigned char*>(pRequest);
    rpFile->__size = 0; // unknown length: chunked DIME records, any file size
    // A server that keeps texts as bytes writes the reference to the
    // record as characters but the record's id as bytes: only an id of
    // ASCII is the same in both.
    rpFile->id = soap_strdup(soap, (mServer.GetByteStrings() ? std::string("cid:collection") : "cid:" + rName).c_str());
    rpFile->type = soap_strdup(soap, "application/octet-stream");
    std::string option = rClientFolder;
    if (!option.empty() && option.back() != '/' && option.back() != '\\')
        option += '/';
    option += rName;
    if (!mServer.GetAttachmentOption().empty())
        option = mServer.GetAttachmentOption();
    rpFile->options = soap_dime_option(soap, 0, option.c_str());
    soap_set_omode(soap, SOAP_ENC_DIME);
    return SOAP_OK;
}

jox__AvailableLogsListType* SimService::EchoSources(const std::vector<LogSource>& rSources)
{
    auto* pList = soap_new_jox__AvailableLogsListType(soap);
    for (const LogSource& rSource : rSources)
    {
        auto* pEntry = soap_new_jox__AvailableLogsType(soap);
        pEntry->Type = rSource.mType;
        pEntry->StartTime = rSource.mStartTime;
        pEntry->DurationSeconds = rSource.mDurationSeconds;
        pList->Source.push_back(pEntry);
    }
    return pList;
}

void SimService::AddJob(const jox__CommandStatusType* pStatus)
{
    std::optional<Job> job = ToJob(pStatus);
    if (!job || job->mCommandId.empty())
        return;
    job->mClientIp = "127.0.0.1";
    job->mCommandStatus = "cs_finished";
    job->mProgressPercent = 100.0;
    job->mFinishedPhases = 1;
    std::lock_guard<std::mutex> lock(mServer.mMutex);
    mServer.mJobs.push_back(*job);
}

int SimService::ServiceFetchInformation(jox__ServiceFetchInformationRequest*,
                                        jox__ServiceFetchInformationResponse& rResponse)
{
    mServer.Record({"ServiceFetchInformation", {}, false, "", "", std::nullopt, mLocalAddress});
    if (Fault fault = mServer.TakeFault("ServiceFetchInformation"); fault != Fault::None)
        return Misbehave(fault, "ServiceFetchInformation");
    std::lock_guard<std::mutex> lock(mServer.mMutex);
    rResponse.ServiceVersion = mServer.mInformation.mServiceVersion;
    rResponse.Name = mServer.mInformation.mName;
    rResponse.SoftwareVersion = mServer.mInformation.mSoftwareVersion;
    return SOAP_OK;
}

int SimService::LogCreateAndFetchCollection(jox__LogCreateAndFetchCollectionRequest* pRequest,
                                            jox__LogCreateAndFetchCollectionResponse& rResponse)
{
    ReceivedRequest received{"LogCreateAndFetchCollection", {}, false, "", "", std::nullopt, mLocalAddress};
    if (pRequest)
    {
        received.mSources = ToSources(pRequest->Sources);
        received.mHasSources = pRequest->Sources != nullptr;
        received.mPath = pRequest->LogFilePath;
        received.mStatus = ToJob(pRequest->Status);
    }
    mServer.Record(received);
    Fault fault = mServer.TakeFault("LogCreateAndFetchCollection");
    if (fault != Fault::None && fault != Fault::CutOff)
        return Misbehave(fault, "LogCreateAndFetchCollection");
    const std::string name = mServer.CreateCollection(received.mSources);
    if (name.empty())
        return soap_receiverfault("Could not create the collection", nullptr);
    if (pRequest)
        AddJob(pRequest->Status);
    rResponse.Sources = EchoSources(received.mSources);
    return AttachCollection(name, received.mPath, fault == Fault::CutOff, rResponse.LogFile);
}

int SimService::LogCreateCollection(jox__LogCreateCollectionRequest* pRequest,
                                    jox__LogCreateCollectionResponse& rResponse)
{
    ReceivedRequest received{"LogCreateCollection", {}, false, "", "", std::nullopt, mLocalAddress};
    if (pRequest)
    {
        received.mSources = ToSources(pRequest->Sources);
        received.mHasSources = pRequest->Sources != nullptr;
        received.mStatus = ToJob(pRequest->Status);
    }
    mServer.Record(received);
    if (Fault fault = mServer.TakeFault("LogCreateCollection"); fault != Fault::None)
        return Misbehave(fault, "LogCreateCollection");
    if (mServer.CreateCollection(received.mSources).empty())
        return soap_receiverfault("Could not create the collection", nullptr);
    if (pRequest)
        AddJob(pRequest->Status);
    rResponse.Sources = EchoSources(received.mSources);
    return SOAP_OK;
}

int SimService::LogList(jox__LogListRequest*, jox__LogListResponse& rResponse)
{
    mServer.Record({"LogList", {}, false, "", "", std::nullopt, mLocalAddress});
    if (Fault fault = mServer.TakeFault("LogList"); fault != Fault::None)
        return Misbehave(fault, "LogList");
    std::vector<LogSource> sources;
    bool hasSources = false;
    {
        std::lock_guard<std::mutex> lock(mServer.mMutex);
        if (mServer.mSources)
        {
            hasSources = true;
            sources = *mServer.mSources;
        }
    }
    if (hasSources)
        rResponse.Sources = EchoSources(sources);
    return SOAP_OK;
}

int SimService::LogListCollections(jox__LogListCollectionsRequest*, jox__LogListCollectionsResponse& rResponse)
{
    mServer.Record({"LogListCollections", {}, false, "", "", std::nullopt, mLocalAddress});
    if (Fault fault = mServer.TakeFault("LogListCollections"); fault != Fault::None)
        return Misbehave(fault, "LogListCollections");
    rResponse.LogCollection = mServer.GetCollections();
    return SOAP_OK;
}

int SimService::LogFetchCollection(jox__LogFetchCollectionRequest* pRequest,
                                   jox__LogFetchCollectionResponse& rResponse)
{
    ReceivedRequest received{"LogFetchCollection", {}, false, "", "", std::nullopt, mLocalAddress};
    if (pRequest)
    {
        received.mPath = pRequest->ClientPath;
        received.mFileName = pRequest->LogFileName;
        received.mStatus = ToJob(pRequest->Status);
    }
    mServer.Record(received);
    Fault fault = mServer.TakeFault("LogFetchCollection");
    if (fault != Fault::None && fault != Fault::CutOff)
        return Misbehave(fault, "LogFetchCollection");
    if (pRequest)
        AddJob(pRequest->Status);
    return AttachCollection(received.mFileName, received.mPath, fault == Fault::CutOff, rResponse.LogFile);
}

int SimService::LogDeleteCollection(jox__LogDeleteCollectionRequest* pRequest, jox__LogDeleteCollectionResponse&)
{
    ReceivedRequest received{"LogDeleteCollection", {}, false, "", "", std::nullopt, mLocalAddress};
    if (pRequest)
        received.mFileName = pRequest->LogFileName;
    mServer.Record(received);
    if (Fault fault = mServer.TakeFault("LogDeleteCollection"); fault != Fault::None)
        return Misbehave(fault, "LogDeleteCollection");
    if (!SimServer::IsSafeName(received.mFileName) ||
        std::remove((mServer.GetFolder() + "/" + received.mFileName).c_str()) != 0)
        return soap_senderfault("No such collection", nullptr);
    return SOAP_OK;
}

int SimService::LogDeleteAllCollections(jox__LogDeleteAllCollectionsRequest*, jox__LogDeleteAllCollectionsResponse&)
{
    mServer.Record({"LogDeleteAllCollections", {}, false, "", "", std::nullopt, mLocalAddress});
    if (Fault fault = mServer.TakeFault("LogDeleteAllCollections"); fault != Fault::None)
        return Misbehave(fault, "LogDeleteAllCollections");
    for (const std::string& rName : mServer.GetCollections())
        std::remove((mServer.GetFolder() + "/" + rName).c_str());
    return SOAP_OK;
}

int SimService::LogStatus(jox__LogStatusRequest*, jox__LogStatusResponse& rResponse)
{
    mServer.Record({"LogStatus", {}, false, "", "", std::nullopt, mLocalAddress});
    if (Fault fault = mServer.TakeFault("LogStatus"); fault != Fault::None)
        return Misbehave(fault, "LogStatus");
    std::vector<Job> jobs;
    {
        std::lock_guard<std::mutex> lock(mServer.mMutex);
        jobs = mServer.mJobs;
    }
    rResponse.Status = soap_new_jox__CommandStatusListType(soap);
    for (const Job& rJob : jobs)
    {
        auto* pStatus = soap_new_jox__CommandStatusType(soap);
        pStatus->CommandID = rJob.mCommandId;
        pStatus->ClientIP = rJob.mClientIp;
        pStatus->CommandType = rJob.mCommandType;
        pStatus->CommandStatus = rJob.mCommandStatus;
        pStatus->ProgressPercent = rJob.mProgressPercent;
        pStatus->FinishedPhases = rJob.mFinishedPhases;
        if (rJob.mProgressDetails)
        {
            pStatus->ProgressDetails = soap_new_std__string(soap);
            *pStatus->ProgressDetails = *rJob.mProgressDetails;
        }
        if (rJob.mErrorDetails)
        {
            pStatus->ErrorDetails = soap_new_std__string(soap);
            *pStatus->ErrorDetails = *rJob.mErrorDetails;
        }
        rResponse.Status->Status.push_back(pStatus);
    }
    return SOAP_OK;
}

} // namespace simserver
