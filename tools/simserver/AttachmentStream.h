#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct iovec;

struct soap;

namespace simserver {

// Sends a stored collection as the DIME attachment that ends a chunked reply,
// the way a server with large buffers does: the file read in pieces of
// kRecordBytes, one DIME record per piece, and each record sent as one HTTP
// chunk, chunk header included, with a single send. With the size known it
// sends what the runtime sends for an attachment it holds in memory: one
// record that declares its length, in HTTP chunks of the runtime's buffer.
class AttachmentStream
{
public:
    static constexpr std::size_t kRecordBytes = 1024 * 1024;
    // The HTTP chunks of a record whose size is known (the runtime's buffer).
    static constexpr std::size_t kHttpChunkBytes = 64 * 1024;

    // rPath: the file; cutOff: bytes after which the connection is ended
    // (0: none); rate: bytes per second (0: unpaced); sizeKnown: the file
    // goes out as one record that declares its length (under 4 GiB), in
    // HTTP chunks of kHttpChunkBytes, still in paced pieces.
    AttachmentStream(const std::string& rPath, std::uint64_t cutOff, std::uint64_t rate, int socket,
                     bool sizeKnown = false);

    // Sends what the runtime has buffered of the reply, the attachment
    // records (options as the runtime would write them) and the end of the
    // chunked body. False when the file cannot be read or the peer is gone.
    bool Send(struct soap* pSoap, const char* pId, const char* pType, const char* pOptions);

    // A DIME record header for dataLength bytes of data, followed by the
    // padded options (raw, as many bytes as rOptions holds), id and type.
    static std::string RecordHeader(unsigned char flags, unsigned char typeFormat, const std::string& rOptions,
                                    const std::string& rId, const std::string& rType, std::uint64_t dataLength);

private:
    // Sends the parts as one message; false when the peer is gone.
    bool SendAll(const std::string& rHead, const char* pData, std::size_t length, const std::string& rTail);
    bool SendParts(std::vector<struct iovec>& rParts);
    // Sends the next length bytes of a record of total bytes (header, data
    // and padding) as HTTP chunks of kHttpChunkBytes, with the last chunk
    // after its end; rAt: how many of its bytes went out.
    bool SendChunked(std::uint64_t& rAt, std::uint64_t total, const char* pData, std::size_t length);

    std::string mPath;
    std::uint64_t mCutOff;
    std::uint64_t mRate;
    int mSocket;
    bool mSizeKnown;
};

} // namespace simserver
