// The simulated server as a program: start-up line, state from the command
// line, clean stop on SIGTERM, refusal of bad arguments.
#include "TempDir.h"
#include "joxmaintenanceServiceProxy.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using namespace joxmaintenance;

namespace {

// Runs the program with its stdout on a pipe.
struct Program
{
    explicit Program(std::vector<std::string> arguments)
    {
        int pipeEnds[2];
        EXPECT_EQ(0, ::pipe(pipeEnds));
        mPid = ::fork();
        if (mPid == 0)
        {
            ::dup2(pipeEnds[1], 1);
            ::close(pipeEnds[0]);
            std::vector<char*> argv;
            arguments.insert(arguments.begin(), TANDRIL_SIMSERVER_PROGRAM);
            for (std::string& rArgument : arguments)
                argv.push_back(rArgument.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(pipeEnds[1]);
        mpOutput = ::fdopen(pipeEnds[0], "r");
    }
    ~Program()
    {
        if (mPid > 0 && !mExited)
        {
            ::kill(mPid, SIGKILL);
            ::waitpid(mPid, nullptr, 0);
        }
        if (mpOutput)
            std::fclose(mpOutput);
    }
    std::string ReadLine()
    {
        char line[512] = {};
        return std::fgets(line, sizeof line, mpOutput) ? std::string(line) : std::string();
    }
    // The exit code, or -1 when the program has not ended within the time.
    int WaitForExit(std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline)
        {
            int status = 0;
            if (::waitpid(mPid, &status, WNOHANG) == mPid)
            {
                mExited = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }

    pid_t mPid = -1;
    bool mExited = false;
    std::FILE* mpOutput = nullptr;
};

TEST(SimServerProgramTest, ServesItsCommandLineStateAndStopsOnSigterm)
{
    tandriltest::TempDir folder;
    // Texts beyond ASCII (UTF-8 arguments) are served as they are.
    const std::string text = "B\xC3\xA9nch \xE2\x80\x93 \xE2\x82\xAC";
    Program program({"--folder", folder.File("server"), "--source", "systemlogs,2026-01-02T03:04:05,60",
                     "--info", "2.0," + text + ",9.9", "--fault", "LogStatus=http-error", "--fault",
                     "LogDeleteAllCollections=soap11", "--fault-text", text});
    const std::string line = program.ReadLine();
    ASSERT_EQ(0u, line.rfind("listening on http://127.0.0.1:", 0)) << line;
    const std::string url = line.substr(13, line.size() - 14);

    ServiceProxy proxy(SOAP_IO_CHUNK | SOAP_C_UTFSTRING);
    jox__ServiceFetchInformationRequest informationRequest;
    jox__ServiceFetchInformationResponse information;
    ASSERT_EQ(SOAP_OK, proxy.ServiceFetchInformation(url.c_str(), "", &informationRequest, information));
    EXPECT_EQ("2.0", information.ServiceVersion);
    EXPECT_EQ(text, information.Name);
    jox__LogListRequest listRequest;
    jox__LogListResponse list;
    ASSERT_EQ(SOAP_OK, proxy.LogList(url.c_str(), "", &listRequest, list));
    ASSERT_NE(nullptr, list.Sources);
    ASSERT_EQ(1u, list.Sources->Source.size());
    EXPECT_EQ("2026-01-02T03:04:05", list.Sources->Source[0]->StartTime);
    jox__LogStatusRequest statusRequest;
    jox__LogStatusResponse status;
    EXPECT_EQ(503, proxy.LogStatus(url.c_str(), "", &statusRequest, status));
    jox__LogDeleteAllCollectionsRequest deleteRequest;
    jox__LogDeleteAllCollectionsResponse deleted;
    EXPECT_EQ(SOAP_CLI_FAULT, proxy.LogDeleteAllCollections(url.c_str(), "", &deleteRequest, deleted));
    ASSERT_NE(nullptr, proxy.soap_fault_string());
    EXPECT_EQ(text, proxy.soap_fault_string());
    proxy.destroy();

    Program jobs({"--folder", folder.File("server"), "--size-known", "--job", "{j1},ct_fetchlog,cs_running",
                  "--job", "{j2},ct_collectlog,cs_failed," + text + "," + text});
    const std::string jobsLine = jobs.ReadLine();
    ASSERT_EQ(0u, jobsLine.rfind("listening on http://127.0.0.1:", 0)) << jobsLine;
    const std::string jobsUrl = jobsLine.substr(13, jobsLine.size() - 14);
    jox__LogStatusResponse served;
    ASSERT_EQ(SOAP_OK, proxy.LogStatus(jobsUrl.c_str(), "", &statusRequest, served));
    ASSERT_NE(nullptr, served.Status);
    ASSERT_EQ(2u, served.Status->Status.size());
    EXPECT_EQ("{j1}", served.Status->Status[0]->CommandID);
    EXPECT_EQ(nullptr, served.Status->Status[0]->ProgressDetails);
    const jox__CommandStatusType& rSecond = *served.Status->Status[1];
    EXPECT_EQ("ct_collectlog", rSecond.CommandType);
    EXPECT_EQ("cs_failed", rSecond.CommandStatus);
    ASSERT_NE(nullptr, rSecond.ProgressDetails);
    ASSERT_NE(nullptr, rSecond.ErrorDetails);
    EXPECT_EQ(text, *rSecond.ProgressDetails);
    EXPECT_EQ(text, *rSecond.ErrorDetails);
    proxy.destroy();
    // With --size-known a collection is one record that declares its size.
    tandriltest::WriteFile(folder.File("server/c.bin"), "collection");
    long declared = -1;
    proxy.soap->user = &declared;
    proxy.soap->fdimewriteopen = [](struct soap* pSoap, const char*, const char*, const char*) -> void* {
        *static_cast<long*>(pSoap->user) = pSoap->dime.flags & SOAP_DIME_CF ? 0 : static_cast<long>(pSoap->dime.size);
        return pSoap->user;
    };
    proxy.soap->fdimewrite = [](struct soap*, void*, const char*, std::size_t) { return SOAP_OK; };
    proxy.soap->fdimewriteclose = [](struct soap*, void*) {};
    jox__LogFetchCollectionRequest fetchRequest;
    fetchRequest.LogFileName = "c.bin";
    jox__LogFetchCollectionResponse fetched;
    ASSERT_EQ(SOAP_OK, proxy.LogFetchCollection(jobsUrl.c_str(), "", &fetchRequest, fetched));
    EXPECT_EQ(10, declared);
    proxy.destroy();
    ASSERT_EQ(0, ::kill(jobs.mPid, SIGTERM));
    EXPECT_EQ(0, jobs.WaitForExit(std::chrono::seconds(5)));

    ASSERT_EQ(0, ::kill(program.mPid, SIGTERM));
    EXPECT_EQ(0, program.WaitForExit(std::chrono::seconds(5)));
}

TEST(SimServerProgramTest, RefusesBadArguments)
{
    for (const std::vector<std::string>& rArguments :
         {std::vector<std::string>{}, {"--folder"}, {"--folder", "x", "--fault", "LogList=nonsense"}, {"--bogus", "1"},
          {"--folder", "x", "--job", "{j1},ct_fetchlog"}})
    {
        Program program(rArguments);
        EXPECT_EQ(2, program.WaitForExit(std::chrono::seconds(5)));
    }
}

} // namespace
