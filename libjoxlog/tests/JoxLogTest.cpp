#include <joxlog/JoxLog.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Record
{
    int level;
    int subtype;
    std::string category, message, file;
    int line;
    std::string function;
    const JoxCore::TimeStamp* time;
    std::thread::id thread;
};

std::mutex gMutex;
std::vector<Record> gRecords;

void Capture(int level, int subtype, const char* category, const char* message, const char* file,
             int line, const char* function, const JoxCore::TimeStamp* time)
{
    std::lock_guard<std::mutex> lock(gMutex);
    gRecords.push_back({level, subtype, category, message, file, line, function, time,
                        std::this_thread::get_id()});
}

std::atomic<int> gOtherCount{0};
void CountOther(int, int, const char*, const char*, const char*, int, const char*,
                const JoxCore::TimeStamp*)
{
    ++gOtherCount;
}

class JoxLogTest : public ::testing::Test
{
protected:
    void SetUp() override { gRecords.clear(); gOtherCount = 0; }
};

TEST_F(JoxLogTest, DropsRecordsWithoutHandler)
{
    JoxCore::Log(5, 0, "cat", "dropped", "f.cpp", 1, "fn");
    EXPECT_TRUE(gRecords.empty());
}

TEST_F(JoxLogTest, DeliversAllEightValuesOnTheCallingThread)
{
    OxalLogConnection connection("ossirane", 0x400000, false, false, "not used");
    JoxCore::SetLogHandler handler(&Capture);
    JoxCore::Log(2, 17, "WSDDClient", "line one\nline two", "a.cpp", 42, "JoxWsdd::WSDDClient::Start",
                 nullptr);
    ASSERT_EQ(gRecords.size(), 1u);
    const Record& r = gRecords.front();
    EXPECT_EQ(r.level, 2);
    EXPECT_EQ(r.subtype, 17);
    EXPECT_EQ(r.category, "WSDDClient");
    EXPECT_EQ(r.message, "line one\nline two");
    EXPECT_EQ(r.file, "a.cpp");
    EXPECT_EQ(r.line, 42);
    EXPECT_EQ(r.function, "JoxWsdd::WSDDClient::Start");
    EXPECT_EQ(r.time, nullptr);
    EXPECT_EQ(r.thread, std::this_thread::get_id());
}

TEST_F(JoxLogTest, RegistrationEndsWithItsObjectAndLaterOneReplacesEarlier)
{
    {
        JoxCore::SetLogHandler first(&Capture);
        {
            JoxCore::SetLogHandler second(&CountOther);
            JoxCore::Log(5, 0, "c", "to second", "f", 1, "fn");
        }
        // The second registration is gone; the first one was replaced, not restored.
        JoxCore::Log(5, 0, "c", "nowhere", "f", 1, "fn");
    }
    JoxCore::Log(5, 0, "c", "nowhere", "f", 1, "fn");
    EXPECT_EQ(gOtherCount, 1);
    EXPECT_TRUE(gRecords.empty());
}

TEST_F(JoxLogTest, ManyThreadsLogAtOnce)
{
    JoxCore::SetLogHandler handler(&Capture);
    constexpr int threads = 8, perThread = 2000;
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([t] {
            for (int i = 0; i < perThread; ++i)
                JoxCore::Log(5, t, "c", "m", "f", i, "fn");
        });
    for (auto& thread : pool)
        thread.join();
    ASSERT_EQ(gRecords.size(), static_cast<size_t>(threads * perThread));
    std::vector<int> perSubtype(threads, 0);
    for (const Record& r : gRecords)
        ++perSubtype.at(static_cast<size_t>(r.subtype));
    for (int count : perSubtype)
        EXPECT_EQ(count, perThread);
}

} // namespace
