// Downloads from the simulated server arrive whole whatever their size, in
// large DIME records: the records' boundaries (an empty last record after a
// file of whole records) and their padding.
#include "TempDir.h"
#include "joxmaintenanceServiceProxy.h"
#include "simserver/SimServer.h"

#include <gtest/gtest.h>

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
};

void* Open(struct soap* pSoap, const char*, const char*, const char*)
{
    auto* pReceived = static_cast<Received*>(pSoap->user);
    ++pReceived->mOpened;
    return pReceived;
}

int Write(struct soap*, void* pHandle, const char* pData, std::size_t length)
{
    auto* pReceived = static_cast<Received*>(pHandle);
    pReceived->mData.append(pData, length);
    pReceived->mPieces.push_back(length);
    return SOAP_OK;
}

void Close(struct soap*, void*) {}

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
        std::string content(size, '\0');
        for (char& rByte : content)
            rByte = static_cast<char>(random());
        ASSERT_TRUE(server.AddCollection("c.bin", content));

        ServiceProxy proxy(SOAP_IO_CHUNK);
        Received received;
        proxy.soap->user = &received;
        proxy.soap->fdimewriteopen = Open;
        proxy.soap->fdimewrite = Write;
        proxy.soap->fdimewriteclose = Close;
        jox__LogFetchCollectionRequest request;
        request.ClientPath = "folder";
        request.LogFileName = "c.bin";
        jox__LogFetchCollectionResponse response;
        ASSERT_EQ(SOAP_OK, proxy.LogFetchCollection(server.GetUrl().c_str(), "", &request, response));
        EXPECT_EQ(1, received.mOpened);
        EXPECT_TRUE(received.mData == content);
        ASSERT_NE(nullptr, response.LogFile);
        EXPECT_STREQ("cid:c.bin", response.LogFile->id);
        proxy.destroy();
    }
}

} // namespace
