// How the simulated server names and stores the collections it builds: the
// numbering goes on from what its folder holds, also after a restart, and a
// build cut short by a stop leaves no collection.
#include "TempDir.h"
#include "WaitFor.h"
#include "joxmaintenanceServiceProxy.h"
#include "simserver/SimServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <vector>

using namespace joxmaintenance;
using simserver::SimServer;

namespace {

// Has the server build and store a collection; the call's result.
int CreateCollection(const std::string& rUrl)
{
    ServiceProxy proxy(SOAP_IO_CHUNK);
    jox__LogCreateCollectionRequest request;
    jox__LogCreateCollectionResponse response;
    const int result = proxy.LogCreateCollection(rUrl.c_str(), "", &request, response);
    proxy.destroy();
    return result;
}

// Has the server build a collection and send it at once; the call's result.
int CreateAndFetchCollection(const std::string& rUrl)
{
    ServiceProxy proxy(SOAP_IO_CHUNK);
    jox__LogCreateAndFetchCollectionRequest request;
    request.LogFilePath = "/tmp";
    jox__LogCreateAndFetchCollectionResponse response;
    const int result = proxy.LogCreateAndFetchCollection(rUrl.c_str(), "", &request, response);
    proxy.destroy();
    return result;
}

TEST(CollectionNamingTest, AServerRestartedOnItsFolderNumbersOnWithoutOverwriting)
{
    tandriltest::TempDir temp;
    const std::string folder = temp.File("server");
    {
        SimServer first(folder);
        ASSERT_TRUE(first.Start()) << first.GetError();
        ASSERT_EQ(SOAP_OK, CreateCollection(first.GetUrl()));
        ASSERT_EQ(SOAP_OK, CreateCollection(first.GetUrl()));
    }
    tandriltest::WriteFile(folder + "/collection_1.zip", "from the first run");

    SimServer second(folder);
    ASSERT_TRUE(second.Start()) << second.GetError();
    ASSERT_EQ(SOAP_OK, CreateCollection(second.GetUrl()));
    EXPECT_EQ((std::vector<std::string>{"collection_1.zip", "collection_2.zip", "collection_3.zip"}),
              second.GetCollections());
    EXPECT_EQ("from the first run", tandriltest::ReadFile(folder + "/collection_1.zip"));
}

TEST(CollectionNamingTest, TheNextNumberFollowsTheHighestNumberedCollection)
{
    const struct
    {
        std::vector<std::string> mStored;
        std::string mNext;
    } cases[] = {
        {{}, "collection_1.zip"},
        {{"collection_3.zip", "collection_10.zip"}, "collection_11.zip"},
        {{"collection_007.zip"}, "collection_8.zip"},
        {{"collection_x.zip", "collection_.zip", "collection_4.zip.old", "collection_-2.zip", "other_9.zip",
          "collection_12345678901.zip"},
         "collection_1.zip"},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mNext);
        tandriltest::TempDir temp;
        SimServer server(temp.File("server"));
        for (const std::string& rName : rCase.mStored)
            ASSERT_TRUE(server.AddCollection(rName, "stored " + rName));
        ASSERT_TRUE(server.Start()) << server.GetError();
        ASSERT_EQ(SOAP_OK, CreateCollection(server.GetUrl()));

        std::vector<std::string> expected = rCase.mStored;
        expected.push_back(rCase.mNext);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, server.GetCollections());
        for (const std::string& rName : rCase.mStored)
            EXPECT_EQ("stored " + rName, tandriltest::ReadFile(temp.File("server/" + rName)));
    }
}

TEST(CollectionNamingTest, ABuildCutShortByAStopLeavesNoCollection)
{
    const struct
    {
        const char* mOperation;
        std::function<int(const std::string&)> mCall;
    } cases[] = {
        {"LogCreateCollection", CreateCollection},
        {"LogCreateAndFetchCollection", CreateAndFetchCollection},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mOperation);
        tandriltest::TempDir temp;
        const std::string folder = temp.File("server");
        SimServer server(folder);
        server.SetBuildDelay(std::chrono::seconds(30));
        ASSERT_TRUE(server.Start()) << server.GetError();
        const std::string url = server.GetUrl();
        std::future<int> call = std::async(std::launch::async, [&] { return rCase.mCall(url); });
        // A build in progress, its file written to the build folder, is not listed.
        const std::string building = folder + "/.building/collection_1.zip";
        ASSERT_TRUE(tandriltest::WaitFor([&] { return std::filesystem::exists(building); }, 5000));
        EXPECT_TRUE(server.GetCollections().empty());

        server.Stop();
        EXPECT_NE(SOAP_OK, call.get());
        EXPECT_TRUE(server.GetCollections().empty());

        // Nor is anything of it found by the next server on the folder, which
        // builds normally.
        SimServer next(folder);
        EXPECT_TRUE(next.GetCollections().empty());
        ASSERT_TRUE(next.Start()) << next.GetError();
        ASSERT_EQ(SOAP_OK, CreateCollection(next.GetUrl()));
        EXPECT_EQ((std::vector<std::string>{"collection_1.zip"}), next.GetCollections());
    }
}

} // namespace
