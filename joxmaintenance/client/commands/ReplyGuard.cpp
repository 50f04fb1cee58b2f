#include "ReplyGuard.h"

#include <joxwsstreaming/DownloadTarget.h>

#include <stdsoap2.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <stdexcept>

namespace joxmaintenance {

namespace {

const char* const kPluginId = "tandril-reply-guard";

std::string Lower(std::string text)
{
    for (char& rChar : text)
        rChar = static_cast<char>(std::tolower(static_cast<unsigned char>(rChar)));
    return text;
}

std::string Trimmed(const std::string& rText)
{
    const std::size_t begin = rText.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return std::string();
    return rText.substr(begin, rText.find_last_not_of(" \t\r\n") + 1 - begin);
}

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

// The end of the header that begins rHeader (after its empty line), or npos
// while it is not whole. Lines end with a line feed, with or without a
// carriage return before it.
std::size_t HeaderEnd(const std::string& rHeader)
{
    for (std::size_t at = rHeader.find('\n'); at != std::string::npos; at = rHeader.find('\n', at + 1))
    {
        const std::size_t next = at + 1;
        if (next < rHeader.size() && rHeader[next] == '\n')
            return next + 1;
        if (next + 1 < rHeader.size() && rHeader[next] == '\r' && rHeader[next + 1] == '\n')
            return next + 2;
    }
    return std::string::npos;
}

// The status code of a header's status line, 0 when it is not an HTTP one.
int StatusCode(const std::string& rHeader)
{
    if (rHeader.compare(0, 5, "HTTP/") != 0)
        return 0;
    const std::size_t space = rHeader.find(' ');
    if (space == std::string::npos || space + 4 > rHeader.size())
        return 0;
    int code = 0;
    for (std::size_t i = space + 1; i < space + 4; ++i)
    {
        if (!std::isdigit(static_cast<unsigned char>(rHeader[i])))
            return 0;
        code = code * 10 + (rHeader[i] - '0');
    }
    return code;
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
    const size_t received = mpReceive(pSoap, pBuffer, length);
    // The wait for the first byte belongs to the idle and build waits.
    if (mStarted)
        mWaited += Clock::now() - start;
    else if (received > 0)
    {
        mStarted = true;
        mSamples.push_back({mWaited, 0});
    }
    return received;
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
            // The runtime reports the reply cut short, as it would have seen it.
            if (mPhase == Phase::Header && !mHeader.empty())
                mOutput.swap(mHeader);
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
            content = DecodeBody(pBuffer, received);
        if (mFailure != Failure::None || !WithinBounds())
            return 0;
        if (content > 0)
            return content;
    }
}

void ReplyGuard::TakeHeader()
{
    for (;;)
    {
        const std::size_t end = HeaderEnd(mHeader);
        if (end == std::string::npos)
        {
            if (mHeader.size() > kHeaderBytes)
                Fail(Failure::HeaderTooLong);
            return;
        }
        const int status = StatusCode(mHeader);
        if (status >= 100 && status < 200)
        {
            // An informational reply: the final one follows.
            mFramingBytes += end;
            mHeader.erase(0, end);
            continue;
        }
        std::string lines = mHeader.substr(0, end);
        std::string body = mHeader.substr(end);
        mHeader.clear();
        mHeader.shrink_to_fit();
        if (status == 0)
        {
            // Not HTTP: the runtime refuses it as it is.
            mPhase = Phase::Closed;
            mOutput = lines + body;
            return;
        }
        if (!ReadFraming(lines, status))
            return;
        const std::size_t content = DecodeBody(body.data(), body.size());
        body.resize(content);
        mOutput = lines + body;
        return;
    }
}

bool ReplyGuard::ReadFraming(std::string& rLines, int status)
{
    const bool readAsSoap = (status >= 200 && status < 300) || status == 400 || status == 500;
    std::string kept;
    bool chunked = false;
    bool hasLength = false;
    std::uint64_t length = 0;
    for (std::size_t at = 0; at < rLines.size();)
    {
        const std::size_t lineEnd = std::min(rLines.find('\n', at), rLines.size() - 1) + 1;
        const std::string line = rLines.substr(at, lineEnd - at);
        at = lineEnd;
        const std::size_t colon = line.find(':');
        const std::string name = colon == std::string::npos ? std::string() : Lower(Trimmed(line.substr(0, colon)));
        const std::string value = colon == std::string::npos ? std::string() : Trimmed(line.substr(colon + 1));
        if (name == "transfer-encoding")
        {
            const std::string coding = Lower(value);
            if (coding.size() >= 7 && coding.compare(coding.size() - 7, 7, "chunked") == 0)
            {
                chunked = true;
                continue;
            }
        }
        else if (name == "content-length")
        {
            if (value.empty() || value.size() > 18 || value.find_first_not_of("0123456789") != std::string::npos ||
                (hasLength && std::stoull(value) != length))
            {
                Fail(Failure::BadLength);
                return false;
            }
            hasLength = true;
            length = std::stoull(value);
            // A declared empty body stays visible: the runtime reads it as a reply without one.
            if (length > 0 && readAsSoap)
                continue;
        }
        kept += line;
    }
    rLines.swap(kept);
    if (chunked)
    {
        mPhase = Phase::ChunkSize;
        mLineBytes = 0;
    }
    else if (hasLength)
    {
        mPhase = length > 0 ? Phase::Length : Phase::Done;
        mLeft = length;
    }
    else
        mPhase = Phase::Closed;
    return true;
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
                mPhase = mPhase == Phase::Length ? Phase::Done : Phase::ChunkSize;
                mLineBytes = 0;
            }
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
            // Blanks (the line break after the previous chunk's data) and
            // leading zeros, then the size in hex; anything else on the line
            // is an extension.
            const char c = pData[at++];
            ++mFramingBytes;
            ++mLineBytes;
            const int digit = HexValue(c);
            if (digit >= 0)
            {
                mChunkHasDigit = true;
                if (mChunkSize >> 56)
                    Fail(Failure::MalformedChunk);
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
    mPhase = mChunkSize == 0 ? Phase::Done : Phase::ChunkData;
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
    if (mLimits.mFloorBytesPerSecond <= 0 || !mStarted)
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
    case Failure::ChunkLine:
        pText = "The reply's chunk-size line is too long";
        detail = "an HTTP chunk-size line with its extensions may take at most " +
                 std::to_string(pGuard->mLimits.mChunkLineBytes / 1024) + " KiB";
        break;
    case Failure::MalformedChunk:
        pText = "The reply's HTTP chunks are malformed";
        detail = "an HTTP chunk-size line must begin with the size in hexadecimal digits";
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

} // namespace joxmaintenance
