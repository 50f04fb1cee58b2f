#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace simserver {

// A plain loopback HTTP endpoint for wire tests: for each connection it reads
// one whole request (chunked or with a length), records its bytes, and sends
// the next scripted reply verbatim. A connection beyond the script is closed
// at once.
class ScriptedHttpServer
{
public:
    struct Reply
    {
        Reply(std::string bytes = std::string(), bool silent = false, int bytesPerSecond = 0,
              std::string repeated = std::string())
            : mBytes(std::move(bytes))
            , mSilent(silent)
            , mBytesPerSecond(bytesPerSecond)
            , mRepeated(std::move(repeated))
        {
        }

        std::string mBytes;   // sent as they are, then the connection is closed
        bool mSilent = false; // after mBytes (may be empty), send nothing more and keep the connection (until Stop)
        int mBytesPerSecond = 0; // sends mBytes one byte at a time at this rate (0: at once)
        // After mBytes, sent over and over until the peer stops reading, Stop,
        // 30 s or 1 GiB.
        std::string mRepeated;
        // After mBytes, each piece sent once its delay (from the end of
        // mBytes) has passed.
        std::vector<std::pair<std::chrono::milliseconds, std::string>> mLater;
        // After mBytes, a reply too large to hold: called with a sender that
        // returns false once the peer or Stop ended the connection.
        std::function<void(const std::function<bool(const char* pData, std::size_t length)>& rSend)> mStream;
    };

    ScriptedHttpServer();
    ~ScriptedHttpServer();
    ScriptedHttpServer(const ScriptedHttpServer&) = delete;
    ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

    // Listens on 127.0.0.1, on the given port or any free one; false when that fails.
    bool Start(const std::vector<Reply>& rReplies, int port = 0);
    void Stop();
    int GetPort() const { return mPort; }
    std::string GetUrl() const { return "http://127.0.0.1:" + std::to_string(mPort); }
    // The raw requests received so far.
    std::vector<std::string> GetRequests() const;

    // A complete HTTP/1.1 reply with a Content-Length.
    static std::string HttpReply(const std::string& rStatusLine, const std::string& rContentType,
                                 const std::string& rBody);
    // A SOAP 1.1 envelope that declares SOAP-ENV, xsi and jox, around rBody.
    static std::string SoapEnvelope(const std::string& rBody, const std::string& rHeader = std::string());
    // HttpReply 200 with a SOAP envelope around rBody.
    static std::string SoapReply(const std::string& rBody, const std::string& rHeader = std::string());
    // The body of a chunked request, decoded.
    static std::string DecodeChunked(const std::string& rBody);
    // One DIME record (flags: 0x04 first, 0x02 last, 0x01 chunk follows;
    // typeFormat: 0x10 media type, 0x20 URI) with its fields padded to four
    // bytes.
    static std::string DimeRecord(unsigned char flags, unsigned char typeFormat, const std::string& rId,
                                  const std::string& rType, const std::string& rData,
                                  const std::string& rOptions = std::string());
    // A DIME option field whose first option holds rName.
    static std::string DimeOption(const std::string& rName);
    // The header of a DIME record of dataLength bytes, with its padded
    // fields (the data and its padding follow it).
    static std::string DimeRecordHeader(unsigned char flags, unsigned char typeFormat, const std::string& rId,
                                        const std::string& rType, std::uint64_t dataLength,
                                        const std::string& rOptions = std::string());
    // rBody as HTTP chunks of at most chunkBytes each, with the last chunk.
    static std::string Chunked(const std::string& rBody, std::size_t chunkBytes);

private:
    void Run();
    std::string ReadRequest(int socket);
    // Sends rBytes at the rate, one byte at a time; false when the peer or Stop ended it.
    bool SendPaced(int socket, const std::string& rBytes, int bytesPerSecond);
    void SendRepeated(int socket, const std::string& rBytes);
    void SendLater(int socket, const std::vector<std::pair<std::chrono::milliseconds, std::string>>& rPieces);
    bool IsStopping() const;

    mutable std::mutex mMutex;
    std::condition_variable mStopped;
    bool mStopping = false;
    int mListenSocket = -1;
    int mPort = 0;
    int mActiveSocket = -1;
    std::vector<Reply> mReplies;
    std::vector<std::string> mRequests;
    std::thread mThread;
};

} // namespace simserver
