#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace simserver {

// One log source as the server lists it or a client asks for it.
struct LogSource
{
    std::string mType;
    std::string mStartTime;
    int mDurationSeconds = 0;
};

// One job as LogStatus reports it.
struct Job
{
    std::string mCommandId;
    std::string mClientIp;
    std::string mCommandType;
    std::string mCommandStatus;
    double mProgressPercent = 0.0;
    int mFinishedPhases = 0;
    std::optional<std::string> mProgressDetails;
    std::optional<std::string> mErrorDetails;
};

// What the server does instead of answering normally.
enum class Fault
{
    None,
    Soap11Fault,          // a SOAP 1.1 Client fault with detail, HTTP 500
    Soap12Fault,          // a SOAP 1.2 Sender fault, HTTP 500
    UnknownChild,         // an undeclared (skippable) child in the response element
    EnvelopeChild,        // a SOAP-ENV element inside the response element
    MustUnderstandHeader, // a header entry marked must-understand before a valid body
    DimeMissingRecord,    // a DIME reply whose href names no attachment record
    DimeShortOption,      // a DIME reply whose attachment's option field is shorter than it declares
    InlineLogFile,        // the file value carried inline as base64 text, without an attachment
    NilLogFile,           // the file value marked nil
    OversizedReply,       // a valid response padded with an undeclared 17 MiB element
    HttpError,            // HTTP 503 with a text body
    EmptySuccess,         // HTTP 200 without a body
    CutOff,               // the reply ends in the middle (downloads: mid-attachment)
    Silent                // the request is read and never answered
};

// One request as the server received it.
struct ReceivedRequest
{
    std::string mOperation;
    std::vector<LogSource> mSources;
    bool mHasSources = false;
    std::string mPath;     // LogFilePath or ClientPath
    std::string mFileName; // LogFileName
    std::optional<Job> mStatus;
    std::string mLocalAddress; // the server's address the request was sent to
};

// The server's information answer.
struct ServerInformation
{
    std::string mServiceVersion = "1.0";
    std::string mName = "simserver";
    std::string mSoftwareVersion = "1.0.0.1";
};

} // namespace simserver
