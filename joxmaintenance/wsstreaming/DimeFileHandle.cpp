#include "joxwsstreaming/DimeFileHandle.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>

namespace joxwsstreaming {

namespace {

// The size of each write to the file. Measured: pieces of 64 KiB cost about
// as little kernel time as 1 MiB ones when memory is warm, and half as much
// after the machine has been idle (large writes then pay for fresh pages).
constexpr std::size_t kBufferBytes = 64 * 1024;

} // namespace

DimeFileHandle::DimeFileHandle(const std::string& rPath, const std::string& rLookupKey)
    : mFile(rPath, std::ios::out | std::ios::binary | std::ios::trunc)
    , mPath(rPath)
    , mLookupKey(rLookupKey)
    , mBuffer(kBufferBytes)
{
    if (!mFile.is_open())
        mWriteErrno = errno;
}

// An empty path opens no file: the sink stays closed.
DimeFileHandle::DimeFileHandle()
    : mFile(std::string(), std::ios::out | std::ios::binary)
    , mSkipped(true)
{
}

bool DimeFileHandle::Append(const char* pData, std::size_t length)
{
    while (length > 0)
    {
        if (mFilled == mBuffer.size() && !Flush())
            return false;
        const std::size_t taken = std::min(length, mBuffer.size() - mFilled);
        std::memcpy(mBuffer.data() + mFilled, pData, taken);
        mFilled += taken;
        pData += taken;
        length -= taken;
    }
    return true;
}

bool DimeFileHandle::Flush()
{
    std::size_t written = 0;
    while (written < mFilled)
    {
        std::streamsize taken = 0;
        errno = 0;
        try
        {
            taken = mFile.write(mBuffer.data() + written, static_cast<std::streamsize>(mFilled - written));
        }
        catch (const std::exception&)
        {
            taken = 0;
        }
        if (taken <= 0)
        {
            mWriteErrno = errno;
            return false;
        }
        written += static_cast<std::size_t>(taken);
    }
    mFilled = 0;
    // The file's own buffer may still hold bytes: a write error shows only here.
    errno = 0;
    bool flushed = false;
    try
    {
        flushed = mFile.flush();
    }
    catch (const std::exception&)
    {
    }
    if (!flushed)
        mWriteErrno = errno;
    return flushed;
}

std::string DimeFileHandle::GetWriteError() const
{
    return mWriteErrno != 0 ? std::strerror(mWriteErrno) : "the file took no more bytes";
}

} // namespace joxwsstreaming
