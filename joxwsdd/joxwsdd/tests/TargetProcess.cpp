#include "TargetProcess.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace pelwicktest {

std::string TargetProcess::ProgramPath()
{
    return WSDDTARGET_PATH;
}

TargetProcess::TargetProcess(const std::vector<std::string>& rArguments)
    : mPid(-1), mReady(false)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return;
    std::vector<std::string> full = {ProgramPath()};
    full.insert(full.end(), rArguments.begin(), rArguments.end());
    std::vector<char*> argv;
    for (std::string& rArgument : full)
        argv.push_back(rArgument.data());
    argv.push_back(nullptr);
    mPid = fork();
    if (mPid == 0)
    {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (mPid > 0 && std::chrono::steady_clock::now() < deadline)
    {
        pollfd entry = {pipeEnds[0], POLLIN, 0};
        if (poll(&entry, 1, 100) <= 0)
            continue;
        char byte = 0;
        if (read(pipeEnds[0], &byte, 1) != 1)
            break;
        if (byte == '\n')
        {
            if (line.compare(0, 6, "READY ") == 0)
            {
                mEndpoint = line.substr(6);
                mReady = true;
            }
            break;
        }
        line += byte;
    }
    close(pipeEnds[0]);
}

TargetProcess::~TargetProcess()
{
    Stop();
}

bool TargetProcess::Stop()
{
    if (mPid <= 0)
        return false;
    kill(mPid, SIGTERM);
    int status = 0;
    bool bEnded = false;
    for (int waited = 0; waited < 3000; waited += 10)
    {
        if (waitpid(mPid, &status, WNOHANG) == mPid)
        {
            bEnded = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!bEnded)
    {
        kill(mPid, SIGKILL);
        waitpid(mPid, &status, 0);
    }
    mPid = -1;
    return bEnded && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace pelwicktest
