#include "AttachmentStream.h"

#include <stdsoap2.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace simserver {

namespace {

constexpr unsigned char kVersion = 0x08;
constexpr unsigned char kMessageEnd = 0x02;
constexpr unsigned char kChunked = 0x01;
constexpr unsigned char kMediaType = 0x10;
constexpr unsigned char kUnchanged = 0x00;

void Put16(std::string& rOut, std::size_t value)
{
    rOut += static_cast<char>((value >> 8) & 0xFF);
    rOut += static_cast<char>(value & 0xFF);
}

void PutPadded(std::string& rOut, const std::string& rData)
{
    rOut += rData;
    rOut.append((4 - rData.size() % 4) % 4, '\0');
}

// The HTTP chunk header in the runtime's form: the previous chunk's closing
// line break, the size in hex, a line break.
std::string ChunkHeader(std::size_t length)
{
    char text[32];
    std::snprintf(text, sizeof text, "\r\n%zX\r\n", length);
    return text;
}

class FileDescriptor
{
public:
    explicit FileDescriptor(const std::string& rPath)
        : mFd(::open(rPath.c_str(), O_RDONLY | O_CLOEXEC))
    {
    }
    ~FileDescriptor()
    {
        if (mFd >= 0)
            ::close(mFd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return mFd; }

private:
    int mFd;
};

// Reads up to length bytes; fewer only at the end of the file. -1 on error.
long ReadFull(int fd, char* pBuffer, std::size_t length)
{
    std::size_t got = 0;
    while (got < length)
    {
        const ssize_t n = ::read(fd, pBuffer + got, length - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<long>(got);
}

} // namespace

AttachmentStream::AttachmentStream(const std::string& rPath, std::uint64_t cutOff, std::uint64_t rate, int socket,
                                   bool sizeKnown)
    : mPath(rPath)
    , mCutOff(cutOff)
    , mRate(rate)
    , mSocket(socket)
    , mSizeKnown(sizeKnown)
{
}

std::string AttachmentStream::RecordHeader(unsigned char flags, unsigned char typeFormat, const std::string& rOptions,
                                           const std::string& rId, const std::string& rType, std::uint64_t dataLength)
{
    std::string header;
    header += static_cast<char>(kVersion | flags);
    header += static_cast<char>(typeFormat);
    Put16(header, rOptions.size());
    Put16(header, rId.size());
    Put16(header, rType.size());
    Put16(header, (dataLength >> 16) & 0xFFFF);
    Put16(header, dataLength & 0xFFFF);
    PutPadded(header, rOptions);
    PutPadded(header, rId);
    PutPadded(header, rType);
    return header;
}

bool AttachmentStream::SendAll(const std::string& rHead, const char* pData, std::size_t length,
                               const std::string& rTail)
{
    std::vector<iovec> parts = {{const_cast<char*>(rHead.data()), rHead.size()},
                                {const_cast<char*>(pData), length},
                                {const_cast<char*>(rTail.data()), rTail.size()}};
    return SendParts(parts);
}

bool AttachmentStream::SendParts(std::vector<iovec>& rParts)
{
    iovec* pPart = rParts.data();
    std::size_t count = rParts.size();
    while (count > 0)
    {
        msghdr message{};
        message.msg_iov = pPart;
        message.msg_iovlen = count;
        ssize_t sent = ::sendmsg(mSocket, &message, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        auto left = static_cast<std::size_t>(sent);
        while (count > 0 && left >= pPart->iov_len)
        {
            left -= pPart->iov_len;
            ++pPart;
            --count;
        }
        if (count > 0)
        {
            pPart->iov_base = static_cast<char*>(pPart->iov_base) + left;
            pPart->iov_len -= left;
        }
    }
    return true;
}

bool AttachmentStream::SendChunked(std::uint64_t& rAt, std::uint64_t total, const char* pData, std::size_t length)
{
    std::vector<std::string> lines;
    lines.reserve(length / kHttpChunkBytes + 3); // the parts point into them
    std::vector<iovec> parts;
    const std::uint64_t start = rAt;
    while (length > 0)
    {
        if (rAt % kHttpChunkBytes == 0)
        {
            lines.push_back(ChunkHeader(static_cast<std::size_t>(std::min<std::uint64_t>(kHttpChunkBytes, total - rAt))));
            parts.push_back({lines.back().data(), lines.back().size()});
        }
        const auto taken = static_cast<std::size_t>(std::min<std::uint64_t>(length, kHttpChunkBytes - rAt % kHttpChunkBytes));
        parts.push_back({const_cast<char*>(pData), taken});
        pData += taken;
        length -= taken;
        rAt += taken;
    }
    if (rAt == total && start < total)
    {
        lines.push_back("\r\n0\r\n\r\n");
        parts.push_back({lines.back().data(), lines.back().size()});
    }
    return SendParts(parts);
}

bool AttachmentStream::Send(struct soap* pSoap, const char* pId, const char* pType, const char* pOptions)
{
    FileDescriptor file(mPath);
    if (file.Get() < 0 || soap_flush(pSoap) != SOAP_OK)
        return false;
    // The option bytes as the runtime writes them: a 4-byte option header
    // whose bytes 2 and 3 give the length of the data that follows.
    std::string options;
    if (pOptions)
        options.assign(pOptions, 4 + ((static_cast<std::size_t>(static_cast<unsigned char>(pOptions[2])) << 8) |
                                      static_cast<unsigned char>(pOptions[3])));
    const std::string id = pId ? pId : "";
    const std::string type = pType ? pType : "";
    std::size_t pieceBytes = kRecordBytes;
    if (mRate > 0)
        pieceBytes = static_cast<std::size_t>(std::clamp<std::uint64_t>(mRate / 20, 1, kRecordBytes));
    std::vector<char> buffer(pieceBytes);
    // With the size declared, one record carries the whole file.
    struct stat file_status{};
    const bool oneRecord = mSizeKnown && ::fstat(file.Get(), &file_status) == 0 && file_status.st_size < 0xFFFFFFFF;
    const auto fileSize = oneRecord ? static_cast<std::uint64_t>(file_status.st_size) : 0;
    const std::size_t filePadding = (4 - fileSize % 4) % 4;
    const auto start = std::chrono::steady_clock::now();
    std::uint64_t sent = 0;
    std::uint64_t recordBytes = 0; // of the one record, header and padding included
    std::uint64_t recordSent = 0;
    bool first = true;
    for (;;)
    {
        std::size_t want = pieceBytes;
        if (mCutOff > 0)
        {
            if (sent >= mCutOff)
            {
                // End the connection in the middle of the attachment.
                ::shutdown(mSocket, SHUT_RDWR);
                return false;
            }
            want = static_cast<std::size_t>(std::min<std::uint64_t>(want, mCutOff - sent));
        }
        if (mRate > 0)
            std::this_thread::sleep_until(start + std::chrono::microseconds(sent * 1000000 / mRate));
        const long got = ReadFull(file.Get(), buffer.data(), want);
        if (got < 0)
            return false;
        const auto length = static_cast<std::size_t>(got);
        if (oneRecord)
        {
            const bool last = length < want || sent + length >= fileSize;
            if (first)
            {
                const std::string record = RecordHeader(kMessageEnd, kMediaType, options, id, type, fileSize);
                recordBytes = record.size() + fileSize + filePadding;
                if (!SendChunked(recordSent, recordBytes, record.data(), record.size()))
                    return false;
            }
            if (!SendChunked(recordSent, recordBytes, buffer.data(), length))
                return false;
            sent += length;
            first = false;
            if (last)
            {
                const std::string padding(filePadding, '\0');
                return SendChunked(recordSent, recordBytes, padding.data(), padding.size());
            }
            continue;
        }
        // A short read is the end of the file; a full one may be followed by
        // more, so it goes out as a chunk record (an empty record ends a file
        // whose size is a multiple of the piece size).
        const bool last = length < want && (mCutOff == 0 || sent + length < mCutOff);
        const unsigned char flags = last ? kMessageEnd : kChunked;
        const std::string record = first ? RecordHeader(flags, kMediaType, options, id, type, length)
                                         : RecordHeader(flags, kUnchanged, "", "", "", length);
        const std::size_t padding = (4 - length % 4) % 4;
        std::string tail(padding, '\0');
        if (last)
            tail += "\r\n0\r\n\r\n";
        if (!SendAll(ChunkHeader(record.size() + length + padding) + record, buffer.data(), length, tail))
            return false;
        sent += length;
        first = false;
        if (last)
            return true;
    }
}

} // namespace simserver
