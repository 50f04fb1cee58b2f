#include "ReplyGuard.h"

#include "ReplyHeader.h"
#include "SoapTimeout.h"

#include <joxwsstreaming/DownloadTarget.h>

#include <stdsoap2.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace joxmaintenance {

namespace {

using Clock = std::chrono::steady_clock;

const char* const kPluginId = "tandril-reply-guard";

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int ToTimeout(Clock::duration duration)
{
    const long long microseconds = std::chrono::duration_cast<std::chrono::microseconds>(duration).count();
    if (microseconds < 1000000000)
        return -static_cast<int>(std::max(1LL, microseconds));
    return static_cast<int>(std::min<long long>((microseconds + 999999) / 1000000, 1 << 30));
}

} // namespace

ReplyGuard::ReplyGuard(size_t (*pReceive)(struct soap*, char*, size_t), const Limits& rLimits)
    : mpReceive(pReceive)
    , mLimits(rLimits)
{
}

void ReplyGuard::Install(struct soap* pSoap, const Limits& rLimits)
{
    auto* pGuard = new ReplyGuard(pSoap->frecv, rLimits);
    const auto registerPlugin = [](struct soap*, struct soap_plugin* pPlugin, void* pArgument) {
        pPlugin->id = kPluginId;
        pPlugin->data = pArgument;
        pPlugin->fcopy = nullptr;
        pPlugin->fdelete = [](struct soap*, struct soap_plugin* pDeleted) {
            delete static_cast<ReplyGuard*>(pDeleted->data);
        };
        return SOAP_OK;
    };
    if (soap_register_plugin_arg(pSoap, registerPlugin, pGuard) != SOAP_OK)
    {
        delete pGuard;
        throw std::runtime_error("could not prepare the client to bound its replies");
    }
    pSoap->frecv = Receive;
}

void ReplyGuard::Watch(struct soap* pSoap, const joxwsstreaming::DownloadTarget* pTarget)
{
    if (auto* pGuard = static_cast<ReplyGuard*>(soap_lookup_plugin(pSoap, kPluginId)))
        pGuard->mpTarget = pTarget;
}

ReplyGuard::Progress ReplyGuard::GetProgress(const struct soap* pSoap)
{
    const auto* pGuard =
        static_cast<const ReplyGuard*>(soap_lookup_plugin(const_cast<struct soap*>(pSoap), kPluginId));
    if (!pGuard)
        return Progress();
    return {pGuard->mReceivedBytes - pGuard->mInformationalBytes, pGuard->mComplete, pGuard->mStatus,
            pGuard->mWaitRanOut ? pGuard->mWaitLimit : 0};
}

size_t ReplyGuard::Receive(struct soap* pSoap, char* pBuffer, size_t length)
{
    auto* pGuard = static_cast<ReplyGuard*>(soap_lookup_plugin(pSoap, kPluginId));
    if (!pGuard || pGuard->mFailure != Failure::None || length == 0)
        return 0;
    return pGuard->Read(pSoap, pBuffer, length);
}

size_t ReplyGuard::Wait(struct soap* pSoap, char* pBuffer, size_t length)
{
    const Clock::time_point start = Clock::now();
    if (!mWaitBegun)
    {
        mWaitBegun = true;
        mWaitStart = start;
        mWaitLimit = pSoap->recv_timeout;
    }
    // Informational replies do not lengthen the wait for the final reply:
    // until its status line is read, what is left of that wait bounds each
    // receive after the first, however the replies before it are split.
    const int timeout = pSoap->recv_timeout;
    const bool bounded = !mFinalBegun && mReceivedBytes > 0 && mWaitLimit != 0;
    const Clock::time_point deadline = mWaitStart + FromSoapTimeout(mWaitLimit);
    if (bounded)
    {
        if (start >= deadline)
        {
            mWaitRanOut = true;
            return 0;
        }
        pSoap->recv_timeout = ToTimeout(deadline - start);
    }
    const size_t received = mpReceive(pSoap, pBuffer, length);
    if (bounded)
    {
        pSoap->recv_timeout = timeout;
        // Nothing came by the deadline (give or take the runtime's rounding).
        mWaitRanOut = received == 0 && Clock::now() + std::chrono::milliseconds(2) >= deadline;
    }
    mReceivedBytes += received;
    // The wait for a reply's first byte belongs to the idle and build waits.
    if (mFloorRunning)
        mWaited += Clock::now() - start;
    else if (received > 0)
        StartFloor();
    return received;
}

void ReplyGuard::StartFloor()
{
    mFloorRunning = true;
    mWaited = Clock::duration::zero();
    mSamples.clear();
    mSamples.push_back({mWaited, mBodyBytes - std::min(mBodyBytes, mDimeFramingBytes)});
}

size_t ReplyGuard::Read(struct soap* pSoap, char* pBuffer, size_t length)
{
    for (;;)
    {
        if (mOutputAt < mOutput.size())
        {
            const std::size_t taken = std::min(length, mOutput.size() - mOutputAt);
            std::memcpy(pBuffer, mOutput.data() + mOutputAt, taken);
            mOutputAt += taken;
            if (mOutputAt == mOutput.size())
            {
                mOutput.clear();
                mOutput.shrink_to_fit();
                mOutputAt = 0;
            }
            return taken;
        }
        if (mPhase == Phase::Done)
            return 0;
        std::size_t want = length;
        if (mPhase == Phase::Length)
            want = static_cast<std::size_t>(std::min<std::uint64_t>(want, mLeft));
        const size_t received = Wait(pSoap, pBuffer, want);
        if (received == 0)
        {
            // The connection ended or a wait ran out. A header that is not
            // whole, or held without content, is not handed on: the runtime
            // sees the end of input. An error reply's body gathered so far is.
            if (mGathering && !mHeld.empty())
                HandOnHeld(mGathered.data(), mGathered.size(), true);
            mHeld.clear();
            mPhase = Phase::Done;
            continue;
        }
        std::size_t content = 0;
        if (mPhase == Phase::Header)
        {
            mHeader.append(pBuffer, received);
            TakeHeader();
        }
        else
            content = Take(pBuffer, DecodeBody(pBuffer, received));
        if (mFailure != Failure::None || !WithinBounds())
            return 0;
        if (content > 0)
            return content;
    }
}

std::size_t ReplyGuard::HeaderEnd()
{
    for (;;)
    {
        const std::size_t lineFeed = mHeader.find('\n', mScanAt);
        if (lineFeed == std::string::npos)
        {
            mScanAt = mHeader.size();
            return std::string::npos;
        }
        const std::size_t lineBytes = lineFeed - mLineAt;
        if (mLineAt == mHeaderAt)
        {
            ReplyHeader statusLine;
            mFinalBegun = statusLine.ReadStatusLine(std::string_view(mHeader).substr(mLineAt, lineBytes)) ==
                              ReplyHeader::Result::Read &&
                          statusLine.GetStatus() >= 200;
        }
        mLineAt = mScanAt = lineFeed + 1;
        if (lineBytes == 0 || (lineBytes == 1 && mHeader[lineFeed - 1] == '\r'))
            return lineFeed + 1;
    }
}

void ReplyGuard::TakeHeader()
{
    for (;;)
    {
        const std::size_t end = HeaderEnd();
        const std::size_t bytes = (end == std::string::npos ? mHeader.size() : end) - mHeaderAt;
        if (mInformationalBytes + bytes > kHeaderBytes)
        {
            Fail(Failure::HeaderTooLong);
            return;
        }
        if (end == std::string::npos)
            break;
        ReplyHeader header;
        const ReplyHeader::Result result = header.Read(std::string_view(mHeader).substr(mHeaderAt, bytes));
        if (result != ReplyHeader::Result::Read)
        {
            mRefusal = header.GetRefusal();
            Fail(result == ReplyHeader::Result::BadLength ? Failure::BadLength : Failure::Unreadable);
            return;
        }
        if (header.GetStatus() >= 200)
        {
            std::string body = mHeader.substr(end);
            mHeader.clear();
            mHeader.shrink_to_fit();
            mHeaderAt = mLineAt = mScanAt = 0;
            Begin(header, body);
            return;
        }
        // An informational reply: the final one follows. The floor waits for
        // the next reply's first byte.
        mFramingBytes += bytes;
        mInformationalBytes += bytes;
        mHeaderAt = end;
        if (mHeaderAt < mHeader.size())
            StartFloor();
        else
            mFloorRunning = false;
    }
    mHeader.erase(0, mHeaderAt);
    mLineAt -= mHeaderAt;
    mScanAt -= mHeaderAt;
    mHeaderAt = 0;
}

void ReplyGuard::Begin(const ReplyHeader& rHeader, std::string& rBody)
{
    const int status = rHeader.GetStatus();
    std::string lines = "HTTP/1.1 " + std::to_string(status) + " " + rHeader.GetReason() + "\r\n";
    if (!rHeader.GetContentType().empty())
        lines += "Content-Type: " + rHeader.GetContentType() + "\r\n";
    switch (rHeader.GetBody())
    {
    case ReplyHeader::Body::None:
        mPhase = Phase::Done;
        break;
    case ReplyHeader::Body::Length:
        mPhase = rHeader.GetLength() > 0 ? Phase::Length : Phase::Done;
        mLeft = rHeader.GetLength();
        break;
    case ReplyHeader::Body::Chunked:
        mPhase = Phase::ChunkSize;
        mLineBytes = 0;
        break;
    case ReplyHeader::Body::Closed:
        mPhase = Phase::Closed;
        break;
    }
    mComplete = mPhase == Phase::Done;
    mStatus = status;
    // The runtime reads the body of a reply it does not read as SOAP, the
    // server's text, only by its length; that of a 400 or 500 as SOAP, for
    // a fault, and it loses the text of one that holds none.
    mGathering = !((status >= 200 && status < 300) || status == 400 || status == 500);
    mKeeping = status == 400 || status == 500;
    mHeld = lines;
    Take(rBody.data(), DecodeBody(rBody.data(), rBody.size()));
}

std::size_t ReplyGuard::Take(const char* pContent, std::size_t length)
{
    if (mKeeping)
        mKept.append(pContent, std::min(length, kErrorBodyBytes - mKept.size()));
    if (mHeld.empty())
        return length;
    if (mGathering)
    {
        mGathered.append(pContent, std::min(length, kErrorBodyBytes - mGathered.size()));
        if (mPhase == Phase::Done || mGathered.size() == kErrorBodyBytes)
            HandOnHeld(mGathered.data(), mGathered.size(), true);
    }
    // A body that its framing ends empty goes to the runtime with the length
    // 0, which it reads as a reply without one, whatever framing said so.
    else if (length > 0 || mPhase == Phase::Done)
        HandOnHeld(pContent, length, length == 0);
    return 0;
}

void ReplyGuard::HandOnHeld(const char* pContent, std::size_t length, bool withLength)
{
    mOutput = mHeld;
    if (withLength)
        mOutput += "Content-Length: " + std::to_string(length) + "\r\n";
    mOutput += "\r\n";
    mOutput.append(pContent, length);
    mHeld.clear();
    mHeld.shrink_to_fit();
    if (mGathering)
    {
        mGathered.clear();
        mGathered.shrink_to_fit();
        mGathering = false;
        mPhase = Phase::Done;
        mComplete = true;
    }
}

std::size_t ReplyGuard::DecodeBody(char* pData, std::size_t length)
{
    std::size_t out = 0;
    std::size_t at = 0;
    while (at < length && mFailure == Failure::None)
    {
        switch (mPhase)
        {
        case Phase::Length:
        case Phase::ChunkData:
        {
            const auto taken = static_cast<std::size_t>(std::min<std::uint64_t>(mLeft, length - at));
            if (out != at)
                std::memmove(pData + out, pData + at, taken);
            out += taken;
            at += taken;
            mLeft -= taken;
            if (mLeft == 0)
            {
                mComplete = mPhase == Phase::Length;
                mPhase = mComplete ? Phase::Done : Phase::ChunkDataEnd;
            }
            break;
        }
        case Phase::ChunkDataEnd:
        case Phase::ChunkDataLineFeed:
        {
            // A chunk's data ends with CRLF, or a line feed alone: any
            // other byte there is not a chunk-size line's.
            const char c = pData[at++];
            ++mFramingBytes;
            if (c == '\n')
            {
                mPhase = Phase::ChunkSize;
                mLineBytes = 0;
            }
            else if (c == '\r' && mPhase == Phase::ChunkDataEnd)
                mPhase = Phase::ChunkDataLineFeed;
            else
                Fail(Failure::UnendedChunk);
            break;
        }
        case Phase::Closed:
            if (out != at)
                std::memmove(pData + out, pData + at, length - at);
            out += length - at;
            at = length;
            break;
        case Phase::ChunkSize:
        {
            // Blanks and leading zeros, then the size in hex; anything else
            // on the line is an extension.
            const char c = pData[at++];
            ++mFramingBytes;
            ++mLineBytes;
            const int digit = HexValue(c);
            if (digit >= 0)
            {
                mChunkHasDigit = true;
                if (mChunkSize >> 60)
                    Fail(Failure::ChunkTooLarge);
                mChunkSize = mChunkSize * 16 + static_cast<std::uint64_t>(digit);
            }
            else if (!mChunkHasDigit && static_cast<unsigned char>(c) <= ' ')
                ;
            else if (!mChunkHasDigit)
                Fail(Failure::MalformedChunk);
            else if (c == '\n')
                EndChunkLine();
            else
                mPhase = Phase::ChunkExtension;
            break;
        }
        case Phase::ChunkExtension:
        {
            const auto* pEnd = static_cast<const char*>(std::memchr(pData + at, '\n', length - at));
            const std::size_t taken = pEnd ? static_cast<std::size_t>(pEnd - (pData + at)) + 1 : length - at;
            at += taken;
            mFramingBytes += taken;
            mLineBytes += taken;
            if (pEnd)
                EndChunkLine();
            break;
        }
        case Phase::Header:
        case Phase::Done:
            // Bytes after the body's end are not the reply's.
            at = length;
            break;
        }
        if (mLineBytes > mLimits.mChunkLineBytes)
            Fail(Failure::ChunkLine);
    }
    mBodyBytes += out;
    return out;
}

void ReplyGuard::EndChunkLine()
{
    // The last chunk ends the body; its trailer is not read.
    mComplete = mChunkSize == 0;
    mPhase = mComplete ? Phase::Done : Phase::ChunkData;
    mLeft = mChunkSize;
    mChunkSize = 0;
    mChunkHasDigit = false;
}

std::uint64_t ReplyGuard::DimeFraming() const
{
    return mpTarget ? mpTarget->GetFramingBytes() : 0;
}

bool ReplyGuard::WithinBounds()
{
    mDimeFramingBytes = std::max(mDimeFramingBytes, DimeFraming());
    const std::uint64_t dime = mDimeFramingBytes;
    const std::uint64_t content = mBodyBytes > dime ? mBodyBytes - dime : 0;
    if (mFramingBytes + dime > kFramingAllowanceBytes + content)
    {
        Fail(Failure::Framing);
        return false;
    }
    if (mLimits.mFloorBytesPerSecond <= 0 || !mFloorRunning)
        return true;
    // The floor over the window of network waiting that ends now: the
    // content since the last sample at least a window old.
    const auto window = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(mLimits.mFloorSeconds));
    while (mSamples.size() > 1 && mSamples[1].mWaited <= mWaited - window)
        mSamples.pop_front();
    if (mWaited >= window && mSamples.front().mWaited <= mWaited - window)
    {
        const std::uint64_t needed =
            static_cast<std::uint64_t>(mLimits.mFloorBytesPerSecond) * static_cast<std::uint64_t>(mLimits.mFloorSeconds);
        if (content - std::min(content, mSamples.front().mContent) < needed)
        {
            Fail(Failure::TooSlow);
            return false;
        }
    }
    // Samples a 64th of a window apart keep the account small; the window
    // judged is then up to that much longer.
    if (mSamples.back().mWaited + window / 64 <= mWaited)
        mSamples.push_back({mWaited, content});
    return true;
}

bool ReplyGuard::DescribeFailure(struct soap* pSoap)
{
    const auto* pGuard = static_cast<const ReplyGuard*>(soap_lookup_plugin(pSoap, kPluginId));
    if (!pGuard || pGuard->mFailure == Failure::None)
        return false;
    const int error = pSoap->error != SOAP_OK ? pSoap->error : SOAP_EOF;
    const char* pText = "";
    std::string detail;
    switch (pGuard->mFailure)
    {
    case Failure::Unreadable:
        pText = "The server sent a reply the program cannot read";
        detail = pGuard->mRefusal;
        break;
    case Failure::ChunkLine:
        pText = "The reply's chunk-size line is too long";
        detail = "an HTTP chunk-size line with its extensions may take at most " +
                 std::to_string(pGuard->mLimits.mChunkLineBytes / 1024) + " KiB";
        break;
    case Failure::MalformedChunk:
        pText = "The reply's HTTP chunks are malformed";
        detail = "an HTTP chunk-size line must begin with the size in hexadecimal digits";
        break;
    case Failure::UnendedChunk:
        pText = "The reply's HTTP chunks are malformed";
        detail = "an HTTP chunk's data must be followed by a line break (CRLF), not by more bytes";
        break;
    case Failure::ChunkTooLarge:
        pText = "The reply's HTTP chunk is too large";
        detail = "an HTTP chunk-size line declares a size beyond 64 bits";
        break;
    case Failure::HeaderTooLong:
        pText = "The reply's HTTP header is too long";
        detail = "the HTTP header, with any informational replies before it, may take at most " +
                 std::to_string(kHeaderBytes / 1024) + " KiB";
        break;
    case Failure::BadLength:
        pText = "The reply's Content-Length is not a length";
        detail = "the HTTP header must declare the body's length as one decimal number of bytes";
        break;
    case Failure::Framing:
        pText = "The reply carries too many bytes without content";
        detail = "HTTP chunk lines and extensions, informational replies, DIME record headers, padding and empty "
                 "records may take at most " +
                 std::to_string(kFramingAllowanceBytes / 1024) +
                 " KiB plus as many bytes as the content; this reply sent " +
                 std::to_string(pGuard->mFramingBytes) + " bytes of HTTP framing and " +
                 std::to_string(pGuard->mDimeFramingBytes) + " bytes of DIME framing with " +
                 std::to_string(pGuard->mBodyBytes - std::min(pGuard->mBodyBytes, pGuard->mDimeFramingBytes)) +
                 " bytes of content";
        break;
    case Failure::TooSlow:
        pText = "The server sends its reply too slowly";
        detail = "less than " + std::to_string(pGuard->mLimits.mFloorBytesPerSecond) + " bytes a second for " +
                 std::to_string(pGuard->mLimits.mFloorSeconds) + " seconds";
        break;
    case Failure::None:
        return false;
    }
    soap_set_receiver_error(pSoap, pText, soap_strdup(pSoap, detail.c_str()), error);
    return true;
}

bool ReplyGuard::DescribeErrorBody(struct soap* pSoap)
{
    const auto* pGuard = static_cast<const ReplyGuard*>(soap_lookup_plugin(pSoap, kPluginId));
    if (!pGuard || pGuard->mKept.empty() || *soap_faultstring(pSoap) || *soap_faultdetail(pSoap))
        return false;
    *soap_faultdetail(pSoap) = soap_strdup(pSoap, pGuard->mKept.c_str());
    return true;
}

} // namespace joxmaintenance
