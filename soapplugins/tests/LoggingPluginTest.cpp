#include "logging_joxcore.h"

#include <joxlog/JoxLog.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Record
{
    std::string mCategory;
    std::string mMessage;
};

std::vector<Record> gRecords;
std::string gSent;
std::string gToReceive;
int gSendCalls = 0;

void CaptureLog(int level, int, const char* category, const char* message, const char*, int, const char*,
                const JoxCore::TimeStamp*)
{
    EXPECT_EQ(level, 5);
    gRecords.push_back({category, message});
}

int FakeSend(struct soap*, const char* pData, size_t length)
{
    ++gSendCalls;
    gSent.append(pData, length);
    return SOAP_OK;
}

size_t FakeReceive(struct soap*, char* pBuffer, size_t length)
{
    const size_t count = std::min(length, gToReceive.size());
    gToReceive.copy(pBuffer, count);
    gToReceive.erase(0, count);
    return count;
}

class LoggingPluginTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gRecords.clear();
        gSent.clear();
        gToReceive.clear();
        gSendCalls = 0;
        mpSoap = soap_new();
        mpSoap->fsend = FakeSend;
        mpSoap->frecv = FakeReceive;
        ASSERT_EQ(soap_register_plugin(mpSoap, logging_joxcore_register), SOAP_OK);
        ASSERT_NE(soap_lookup_plugin(mpSoap, LOGGING_JOXCORE_ID), nullptr);
    }
    void TearDown() override
    {
        soap_destroy(mpSoap);
        soap_end(mpSoap);
        soap_free(mpSoap);
    }
    std::string Receive(size_t length)
    {
        std::string buffer(length, '\0');
        buffer.resize(mpSoap->frecv(mpSoap, buffer.data(), length));
        return buffer;
    }

    JoxCore::SetLogHandler mHandler{CaptureLog};
    struct soap* mpSoap = nullptr;
};

} // namespace

TEST_F(LoggingPluginTest, SentDataIsLoggedFoldedAndStillSent)
{
    const std::string message = "<a>\n\t<b>  x </b>\r\n</a>";
    EXPECT_EQ(mpSoap->fsend(mpSoap, message.data(), message.size()), SOAP_OK);
    EXPECT_EQ(gSent, message);
    ASSERT_EQ(gRecords.size(), 1u);
    EXPECT_EQ(gRecords[0].mCategory, "gSOAP-send");
    EXPECT_EQ(gRecords[0].mMessage, "<a> <b> x </b> </a>");

    EXPECT_EQ(mpSoap->fsend(mpSoap, "", 0), SOAP_OK);
    EXPECT_EQ(gSendCalls, 2);
    ASSERT_EQ(gRecords.size(), 2u);
    EXPECT_EQ(gRecords[1].mMessage, "Empty response");
}

TEST_F(LoggingPluginTest, ReceivedDataIsLoggedUnlessAGetRequest)
{
    gToReceive = "  <Envelope/>";
    EXPECT_EQ(Receive(100), "  <Envelope/>");
    ASSERT_EQ(gRecords.size(), 1u);
    EXPECT_EQ(gRecords[0].mCategory, "gSOAP-recv");
    EXPECT_EQ(gRecords[0].mMessage, "<Envelope/>");

    gToReceive = "GET / HTTP/1.1\r\n";
    EXPECT_EQ(Receive(100), "GET / HTTP/1.1\r\n");
    EXPECT_EQ(Receive(100), "");
    EXPECT_EQ(gRecords.size(), 1u);
}

TEST_F(LoggingPluginTest, LongMessagesAreLoggedInPieces)
{
    const struct
    {
        size_t mLength;
        std::vector<size_t> mPieces;
    } cases[] = {{3499, {3499}}, {3500, {3499}}, {3501, {3499, 2}}, {10000, {3499, 3499, 3002}}, {1, {}}};
    for (const auto& rCase : cases)
    {
        gRecords.clear();
        const std::string message(rCase.mLength, 'x');
        mpSoap->fsend(mpSoap, message.data(), message.size());
        std::vector<size_t> pieces;
        for (const Record& rRecord : gRecords)
            pieces.push_back(rRecord.mMessage.size());
        EXPECT_EQ(pieces, rCase.mPieces) << rCase.mLength;
    }
}
