// Downloads from the simulated server arrive whole whatever their size, in
// large DIME records: the records' boundaries (an empty last record after a
// file of whole records) and their padding; with the size known, in the shape
// the runtime gives an attachment it holds in memory.
#include "TempDir.h"
#include "joxmaintenanceServiceProxy.h"
#include "simserver/SimServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace joxmaintenance;

namespace {

// What the client's write callbacks received.
struct Received
{
    std::string mData;
    int mOpened = 0;
    std::vector<std::size_t> mPieces;
    bool mChunked = false;      // the opened record is a chunk record
    std::size_t mDeclared = 0;  // the opened record's data length
};

void* Open(struct soap* pSoap, const char*, const char*, const char*)
{
    auto* pReceived = static_cast<Received*>(pSoap->user);
    ++pReceived->mOpened;
    pReceived->mChunked = (pSoap->dime.flags & SOAP_DIME_CF) != 0;
    pReceived->mDeclared = pSoap->dime.size;
    return pReceived;
}

// The raw reply, as read from the socket.
std::string gRaw;
size_t (*gpReceive)(struct soap*, char*, size_t) = nullptr;

size_t Recording(struct soap* pSoap, char* pBuffer, size_t length)
{
    const size_t received = gpReceive(pSoap, pBuffer, length);
    gRaw.append(pBuffer, received);
    return received;
}

// The sizes of the HTTP chunks of a chunked reply, the last one included.
std::vector<std::size_t> ChunkSizes(const std::string& rReply)
{
    std::vector<std::size_t> sizes;
    for (std::size_t at = rReply.find("\r\n\r\n") + 4; at < rReply.size();)
    {
        const std::size_t lineEnd = rReply.find("\r\n", at);
        if (lineEnd == std::string::npos)
            break;
        sizes.push_back(std::stoul(rReply.substr(at, lineEnd - at), nullptr, 16));
        if (sizes.back() == 0)
            break;
        at = lineEnd + 2 + sizes.back() + 2;
    }
    return sizes;
}

int Write(struct soap*, void* pHandle, const char* pData, std::size_t length)
{
    auto* pReceived = static_cast<Received*>(pHandle);
    pReceived->mData.append(pData, length);
    pReceived->mPieces.push_back(length);
    return SOAP_OK;
}

void Close(struct soap*, void*) {}

std::string RandomBytes(std::mt19937& rRandom, std::size_t size)
{
    std::string bytes(size, '\0');
    for (char& rByte : bytes)
        rByte = static_cast<char>(rRandom());
    return bytes;
}

// What a fetch of "c.bin" gave: the runtime's result and the identifier of
// the reply's file value (empty without one).
struct Fetched
{
    int mResult = SOAP_OK;
    std::string mId;
};

// Fetches "c.bin" through a client with the write callbacks into rReceived;
// the raw reply goes to gRaw.
Fetched Fetch(const simserver::SimServer& rServer, Received& rReceived)
{
    ServiceProxy proxy(SOAP_IO_CHUNK);
    proxy.soap->user = &rReceived;
    proxy.soap->fdimewriteopen = Open;
    proxy.soap->fdimewrite = Write;
    proxy.soap->fdimewriteclose = Close;
    gRaw.clear();
    gpReceive = proxy.soap->frecv;
    proxy.soap->frecv = Recording;
    jox__LogFetchCollectionRequest request;
    request.ClientPath = "folder";
    request.LogFileName = "c.bin";
    jox__LogFetchCollectionResponse response;
    Fetched fetched;
    fetched.mResult = proxy.LogFetchCollection(rServer.GetUrl().c_str(), "", &request, response);
    if (response.LogFile && response.LogFile->id)
        fetched.mId = response.LogFile->id;
    proxy.destroy();
    return fetched;
}

TEST(AttachmentStreamTest, CollectionsOfEverySizeArriveWhole)
{
    tandriltest::TempDir folder;
    simserver::SimServer server(folder.File("server"));
    ASSERT_TRUE(server.Start()) << server.GetError();
    std::mt19937 random(7);
    const std::size_t record = 1024 * 1024;
    for (std::size_t size : {std::size_t(0), std::size_t(5), record - 1, record, 2 * record, 2 * record + 3})
    {
        SCOPED_TRACE(size);
        const std::string content = RandomBytes(random, size);
        ASSERT_TRUE(server.AddCollection("c.bin", content));

        Received received;
        const Fetched fetched = Fetch(server, received);
        ASSERT_EQ(SOAP_OK, fetched.mResult);
        EXPECT_EQ(1, received.mOpened);
        EXPECT_TRUE(received.mData == content);
        EXPECT_EQ("cid:c.bin", fetched.mId);
    }
}

TEST(AttachmentStreamTest, WithItsSizeKnownACollectionIsOneRecordInChunksOfTheRuntimesBuffer)
{
    tandriltest::TempDir folder;
    simserver::SimServer server(folder.File("server"));
    server.SetAttachmentSizeKnown(true);
    ASSERT_TRUE(server.Start()) << server.GetError();
    std::mt19937 random(11);
    for (std::size_t size : {std::size_t(0), std::size_t(5), std::size_t(3 * 1024 * 1024 + 3)})
    {
        SCOPED_TRACE(size);
        const std::string content = RandomBytes(random, size);
        ASSERT_TRUE(server.AddCollection("c.bin", content));

        Received received;
        ASSERT_EQ(SOAP_OK, Fetch(server, received).mResult);
        EXPECT_TRUE(received.mData == content);
        EXPECT_FALSE(received.mChunked);
        EXPECT_EQ(size, received.mDeclared);
        // The envelope's chunk, the record in chunks of 64 KiB but its last,
        // and the last chunk.
        const std::vector<std::size_t> sizes = ChunkSizes(gRaw);
        ASSERT_GE(sizes.size(), 3u);
        EXPECT_EQ(0u, sizes.back());
        EXPECT_EQ((size + 1024) / (64 * 1024), static_cast<std::size_t>(std::count(sizes.begin(), sizes.end(), 64 * 1024)));
        EXPECT_EQ(sizes.size() - 3, static_cast<std::size_t>(std::count(sizes.begin(), sizes.end(), 64 * 1024)));
    }
}

} // namespace
