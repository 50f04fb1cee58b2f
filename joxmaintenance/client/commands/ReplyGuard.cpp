#include "ReplyGuard.h"

#include <stdsoap2.h>

#include <stdexcept>

namespace joxmaintenance {

namespace {

const char* const kPluginId = "tandril-reply-guard";

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

size_t ReplyGuard::Receive(struct soap* pSoap, char* pBuffer, size_t length)
{
    auto* pGuard = static_cast<ReplyGuard*>(soap_lookup_plugin(pSoap, kPluginId));
    if (!pGuard || pGuard->mFailure != Failure::None)
        return 0;
    const size_t received = pGuard->mpReceive(pSoap, pBuffer, length);
    if (received > 0 && !pGuard->Accept(pSoap, received))
        return 0;
    return received;
}

bool ReplyGuard::Accept(const struct soap* pSoap, std::size_t received)
{
    // Content is counted after its receive returns, so a legitimate run of
    // uncounted bytes is one chunk-size line plus at most one buffer.
    if (pSoap->count != mLastCount)
    {
        mLastCount = pSoap->count;
        mUncountedBytes = 0;
    }
    mUncountedBytes += received;
    if (mUncountedBytes > mLimits.mChunkLineBytes + sizeof pSoap->buf)
    {
        mFailure = Failure::ChunkLine;
        return false;
    }

    const Clock::time_point now = Clock::now();
    if (!mStarted)
    {
        mStarted = true;
        mStretchStart = now;
    }
    mStretchBytes += received;
    if (mLimits.mFloorBytesPerSecond <= 0 || now - mStretchStart < std::chrono::seconds(mLimits.mFloorSeconds))
        return true;
    const double seconds = std::chrono::duration<double>(now - mStretchStart).count();
    if (static_cast<double>(mStretchBytes) < seconds * mLimits.mFloorBytesPerSecond)
    {
        mFailure = Failure::TooSlow;
        return false;
    }
    mStretchStart = now;
    mStretchBytes = 0;
    return true;
}

bool ReplyGuard::DescribeFailure(struct soap* pSoap)
{
    const auto* pGuard = static_cast<const ReplyGuard*>(soap_lookup_plugin(pSoap, kPluginId));
    if (!pGuard || pGuard->mFailure == Failure::None)
        return false;
    const int error = pSoap->error != SOAP_OK ? pSoap->error : SOAP_EOF;
    std::string detail;
    if (pGuard->mFailure == Failure::ChunkLine)
    {
        detail = "an HTTP chunk-size line with its extensions may take at most " +
                 std::to_string(pGuard->mLimits.mChunkLineBytes / 1024) + " KiB";
        soap_set_receiver_error(pSoap, "The reply's chunk-size line is too long", soap_strdup(pSoap, detail.c_str()),
                                error);
    }
    else
    {
        detail = "less than " + std::to_string(pGuard->mLimits.mFloorBytesPerSecond) + " bytes a second for " +
                 std::to_string(pGuard->mLimits.mFloorSeconds) + " seconds";
        soap_set_receiver_error(pSoap, "The server sends its reply too slowly", soap_strdup(pSoap, detail.c_str()),
                                error);
    }
    return true;
}

} // namespace joxmaintenance
