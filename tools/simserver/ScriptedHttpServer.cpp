#include "simserver/ScriptedHttpServer.h"

#include <joxmaintenance/SchemaNamespace.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <string_view>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace simserver {

namespace {

// Gives up on a request that does not arrive in this time.
constexpr int kRequestTimeoutMs = 10000;

bool SendAll(int socket, std::string_view bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size())
    {
        ssize_t n = ::send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// True when rData holds a whole request: header and a complete body.
bool RequestComplete(const std::string& rData)
{
    std::size_t headerEnd = rData.find("\r\n\r\n");
    if (headerEnd == std::string::npos)
        return false;
    std::string header = rData.substr(0, headerEnd);
    for (char& rChar : header)
        rChar = static_cast<char>(std::tolower(static_cast<unsigned char>(rChar)));
    const std::string body = rData.substr(headerEnd + 4);
    if (header.find("transfer-encoding: chunked") != std::string::npos)
        return body.size() >= 5 && (body.compare(0, 5, "0\r\n\r\n") == 0 || body.find("\r\n0\r\n\r\n") != std::string::npos);
    std::size_t lengthAt = header.find("content-length:");
    if (lengthAt == std::string::npos)
        return true;
    return body.size() >= std::stoul(header.substr(lengthAt + 15));
}

} // namespace

ScriptedHttpServer::ScriptedHttpServer() = default;

ScriptedHttpServer::~ScriptedHttpServer()
{
    Stop();
}

bool ScriptedHttpServer::Start(const std::vector<Reply>& rReplies, int port)
{
    mReplies = rReplies;
    mListenSocket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    int on = 1;
    ::setsockopt(mListenSocket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (mListenSocket < 0 || ::bind(mListenSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(mListenSocket, 8) != 0)
        return false;
    socklen_t length = sizeof address;
    ::getsockname(mListenSocket, reinterpret_cast<sockaddr*>(&address), &length);
    mPort = ntohs(address.sin_port);
    mThread = std::thread(&ScriptedHttpServer::Run, this);
    return true;
}

void ScriptedHttpServer::Stop()
{
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mStopping = true;
        if (mActiveSocket >= 0)
            ::shutdown(mActiveSocket, SHUT_RDWR);
    }
    mStopped.notify_all();
    if (mThread.joinable())
        mThread.join();
    if (mListenSocket >= 0)
        ::close(mListenSocket);
    mListenSocket = -1;
}

std::vector<std::string> ScriptedHttpServer::GetRequests() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mRequests;
}

std::string ScriptedHttpServer::ReadRequest(int socket)
{
    std::string data;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRequestTimeoutMs);
    while (!RequestComplete(data) && std::chrono::steady_clock::now() < deadline)
    {
        pollfd entry{socket, POLLIN, 0};
        if (::poll(&entry, 1, 50) <= 0)
            continue;
        char buffer[16384];
        ssize_t n = ::recv(socket, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    return data;
}

void ScriptedHttpServer::Run()
{
    std::size_t next = 0;
    for (;;)
    {
        {
            std::lock_guard<std::mutex> lock(mMutex);
            if (mStopping)
                return;
        }
        pollfd entry{mListenSocket, POLLIN, 0};
        if (::poll(&entry, 1, 50) <= 0)
            continue;
        int socket = ::accept4(mListenSocket, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0)
            continue;
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mActiveSocket = socket;
        }
        if (next < mReplies.size())
        {
            const Reply reply = mReplies[next++];
            std::string request = ReadRequest(socket);
            {
                std::lock_guard<std::mutex> lock(mMutex);
                mRequests.push_back(request);
            }
            const bool sent = reply.mBytesPerSecond > 0 ? SendPaced(socket, reply.mBytes, reply.mBytesPerSecond)
                                                        : SendAll(socket, reply.mBytes);
            if (sent && !reply.mRepeated.empty())
                SendRepeated(socket, reply.mRepeated);
            if (sent && !reply.mLater.empty())
                SendLater(socket, reply.mLater);
            if (sent && reply.mStream)
                reply.mStream([this, socket](const char* pData, std::size_t length) {
                    return !IsStopping() && SendAll(socket, std::string_view(pData, length));
                });
            if (reply.mSilent)
            {
                std::unique_lock<std::mutex> lock(mMutex);
                mStopped.wait(lock, [this] { return mStopping; });
            }
        }
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mActiveSocket = -1;
        }
        ::shutdown(socket, SHUT_WR);
        ::close(socket);
    }
}

bool ScriptedHttpServer::IsStopping() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mStopping;
}

bool ScriptedHttpServer::SendPaced(int socket, const std::string& rBytes, int bytesPerSecond)
{
    const auto interval = std::chrono::microseconds(1000000 / bytesPerSecond);
    for (char byte : rBytes)
    {
        if (!SendAll(socket, std::string(1, byte)))
            return false;
        std::unique_lock<std::mutex> lock(mMutex);
        if (mStopped.wait_for(lock, interval, [this] { return mStopping; }))
            return false;
    }
    return true;
}

void ScriptedHttpServer::SendLater(int socket,
                                   const std::vector<std::pair<std::chrono::milliseconds, std::string>>& rPieces)
{
    const auto start = std::chrono::steady_clock::now();
    for (const auto& rPiece : rPieces)
    {
        {
            std::unique_lock<std::mutex> lock(mMutex);
            if (mStopped.wait_until(lock, start + rPiece.first, [this] { return mStopping; }))
                return;
        }
        if (!SendAll(socket, rPiece.second))
            return;
    }
}

void ScriptedHttpServer::SendRepeated(int socket, const std::string& rBytes)
{
    std::string block;
    while (block.size() < 64 * 1024)
        block += rBytes;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (std::size_t sent = 0; sent < (std::size_t{1} << 30) && std::chrono::steady_clock::now() < deadline;
         sent += block.size())
    {
        if (IsStopping() || !SendAll(socket, block))
            return;
    }
}

std::string ScriptedHttpServer::HttpReply(const std::string& rStatusLine, const std::string& rContentType,
                                          const std::string& rBody)
{
    std::string reply = "HTTP/1.1 " + rStatusLine + "\r\n";
    if (!rContentType.empty())
        reply += "Content-Type: " + rContentType + "\r\n";
    return reply + "Content-Length: " + std::to_string(rBody.size()) + "\r\nConnection: close\r\n\r\n" + rBody;
}

std::string ScriptedHttpServer::SoapEnvelope(const std::string& rBody, const std::string& rHeader)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xmlns:jox=\"" + joxmaintenance::SchemaNamespace() + "\">" +
           rHeader + "<SOAP-ENV:Body>" + rBody + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

std::string ScriptedHttpServer::SoapReply(const std::string& rBody, const std::string& rHeader)
{
    return HttpReply("200 OK", "text/xml; charset=utf-8", SoapEnvelope(rBody, rHeader));
}

std::string ScriptedHttpServer::DecodeChunked(const std::string& rBody)
{
    std::string decoded;
    std::size_t at = 0;
    for (;;)
    {
        std::size_t lineEnd = rBody.find("\r\n", at);
        if (lineEnd == std::string::npos)
            break;
        std::size_t size = std::stoul(rBody.substr(at, lineEnd - at), nullptr, 16);
        if (size == 0)
            break;
        decoded += rBody.substr(lineEnd + 2, size);
        at = lineEnd + 2 + size + 2;
    }
    return decoded;
}

std::string ScriptedHttpServer::DimeRecordHeader(unsigned char flags, unsigned char typeFormat, const std::string& rId,
                                                 const std::string& rType, std::uint64_t dataLength,
                                                 const std::string& rOptions)
{
    auto put16 = [](std::string& rOut, std::uint64_t value) {
        rOut += static_cast<char>((value >> 8) & 0xFF);
        rOut += static_cast<char>(value & 0xFF);
    };
    auto padded = [](const std::string& rField) { return rField + std::string((4 - rField.size() % 4) % 4, '\0'); };
    std::string record{static_cast<char>(0x08 | flags), static_cast<char>(typeFormat)};
    put16(record, rOptions.size());
    put16(record, rId.size());
    put16(record, rType.size());
    put16(record, (dataLength >> 16) & 0xFFFF);
    put16(record, dataLength & 0xFFFF);
    return record + padded(rOptions) + padded(rId) + padded(rType);
}

std::string ScriptedHttpServer::DimeRecord(unsigned char flags, unsigned char typeFormat, const std::string& rId,
                                           const std::string& rType, const std::string& rData,
                                           const std::string& rOptions)
{
    return DimeRecordHeader(flags, typeFormat, rId, rType, rData.size(), rOptions) + rData +
           std::string((4 - rData.size() % 4) % 4, '\0');
}

std::string ScriptedHttpServer::Chunked(const std::string& rBody, std::size_t chunkBytes)
{
    std::string chunked;
    for (std::size_t at = 0; at < rBody.size(); at += chunkBytes)
    {
        const std::size_t length = std::min(chunkBytes, rBody.size() - at);
        char size[32];
        std::snprintf(size, sizeof size, "%zx\r\n", length);
        chunked += size + rBody.substr(at, length) + "\r\n";
    }
    return chunked + "0\r\n\r\n";
}

std::string ScriptedHttpServer::DimeOption(const std::string& rName)
{
    return std::string{'\0', '\0', static_cast<char>(rName.size() >> 8), static_cast<char>(rName.size() & 0xFF)} + rName;
}

} // namespace simserver
