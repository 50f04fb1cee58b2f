#include <joxcore/QThreadWrapper.h>
#include <joxcore/QtLogHandler.h>
#include <joxlog/JoxLog.h>

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Record
{
    int level;
    int subtype;
    std::string category;
    std::string message;
    std::string function;
};

std::mutex gMutex;
std::vector<Record> gRecords;

void Capture(int level, int subtype, const char* pCategory, const char* pMessage, const char*, int,
             const char* pFunction, const JoxCore::TimeStamp*)
{
    std::lock_guard<std::mutex> lock(gMutex);
    gRecords.push_back({level, subtype, pCategory ? pCategory : "", pMessage ? pMessage : "",
                        pFunction ? pFunction : ""});
}

class CapturingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::lock_guard<std::mutex> lock(gMutex);
        gRecords.clear();
    }
    std::vector<Record> Records(const std::string& rCategory)
    {
        std::lock_guard<std::mutex> lock(gMutex);
        std::vector<Record> result;
        for (const Record& rRecord : gRecords)
            if (rRecord.category == rCategory)
                result.push_back(rRecord);
        return result;
    }
    JoxCore::SetLogHandler mHandler{&Capture};
};

using QtLogHandlerTest = CapturingTest;
using QThreadWrapperTest = CapturingTest;

TEST_F(QtLogHandlerTest, QtMessagesArriveWithLevelByType)
{
    const JoxCore::QtLogHandler handler;
    qDebug("debug %d", 1);
    qWarning("warn \xc3\xa4");
    qCritical("critical");
    qInfo("info");
    JoxCore::QtLogHandler::HandleLog(QtFatalMsg, "fatal text");
    JoxCore::QtLogHandler::HandleLog(static_cast<QtMsgType>(17), "odd");
    qInstallMessageHandler(nullptr);

    const std::vector<Record> records = Records("Qt message");
    const struct { int level; int subtype; const char* message; } expected[] = {
        {7, 0, "debug 1"}, {2, 1, "warn \xc3\xa4"}, {1, 2, "critical"}, {7, 4, "info"},
        {0, 3, "fatal text"}, {7, 17, "odd"}};
    ASSERT_EQ(records.size(), std::size(expected));
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].level, expected[i].level) << i;
        EXPECT_EQ(records[i].subtype, expected[i].subtype) << i;
        EXPECT_EQ(records[i].message, expected[i].message) << i;
        EXPECT_EQ(records[i].function, "JoxCore::QtLogHandler::HandleLog");
    }
}

TEST_F(QtLogHandlerTest, MessagesFromOtherThreadsAreLogged)
{
    const JoxCore::QtLogHandler handler;
    std::unique_ptr<QThread> pThread(QThread::create([] { qWarning("from worker"); }));
    pThread->start();
    ASSERT_TRUE(pThread->wait(5000));
    qInstallMessageHandler(nullptr);
    const std::vector<Record> records = Records("Qt message");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].message, "from worker");
}

TEST_F(QThreadWrapperTest, RefusesNullAndParentedObjects)
{
    JoxCore::QThreadWrapper wrapper;
    EXPECT_FALSE(wrapper.AddObject(nullptr));
    QObject parent;
    QObject* pChild = new QObject(&parent);
    EXPECT_FALSE(wrapper.AddObject(pChild));
    EXPECT_EQ(pChild->thread(), QThread::currentThread());
    EXPECT_TRUE(Records("QThreadWrapper").empty());
}

TEST_F(QThreadWrapperTest, AddedObjectsLiveInItsThreadAndDieWithIt)
{
    QPointer<QObject> pFirst = new QObject;
    QPointer<QObject> pSecond = new QObject;
    QThread* pWorkerThread = nullptr;
    {
        JoxCore::QThreadWrapper wrapper;
        ASSERT_TRUE(wrapper.AddObject(pFirst));
        ASSERT_TRUE(wrapper.AddObject(pSecond));
        pWorkerThread = pFirst->thread();
        EXPECT_NE(pWorkerThread, QThread::currentThread());
        EXPECT_EQ(pSecond->thread(), pWorkerThread);

        // A slot of the added object runs in the wrapper's thread.
        QThread* pRanOn = nullptr;
        QMetaObject::invokeMethod(pFirst, [&pRanOn] { pRanOn = QThread::currentThread(); },
                                  Qt::BlockingQueuedConnection);
        EXPECT_EQ(pRanOn, pWorkerThread);
    }
    EXPECT_TRUE(pFirst.isNull());
    EXPECT_TRUE(pSecond.isNull());

    const std::vector<Record> records = Records("QThreadWrapper");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].level, 5);
    EXPECT_EQ(records[0].subtype, 0);
    const std::string prefix = "Moved thread affinity of QObject 0x";
    EXPECT_EQ(records[0].message.rfind(prefix, 0), 0u) << records[0].message;
    char expectedTail[64];
    std::snprintf(expectedTail, sizeof expectedTail, " to %p", static_cast<void*>(pWorkerThread));
    EXPECT_NE(records[0].message.find(expectedTail), std::string::npos) << records[0].message;
    std::snprintf(expectedTail, sizeof expectedTail, " from %p", static_cast<void*>(QThread::currentThread()));
    EXPECT_NE(records[0].message.find(expectedTail), std::string::npos) << records[0].message;
}

TEST_F(QThreadWrapperTest, ObjectDeletedEarlyByItsUserIsFine)
{
    JoxCore::QThreadWrapper wrapper;
    QPointer<QObject> pObject = new QObject;
    ASSERT_TRUE(wrapper.AddObject(pObject));
    QMetaObject::invokeMethod(pObject, "deleteLater", Qt::QueuedConnection);
    for (int i = 0; i < 200 && !pObject.isNull(); ++i)
        QThread::msleep(5);
    EXPECT_TRUE(pObject.isNull());
}

} // namespace
