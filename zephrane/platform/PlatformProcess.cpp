#include "platform/Platform.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace zephrane {
namespace platform {

namespace {

bool WaitFor(pid_t pid)
{
    int status = 0;
    pid_t result;
    do
        result = ::waitpid(pid, &status, 0);
    while (result < 0 && errno == EINTR);
    return result == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

ProcessResult StartProcess(const std::string& rProgram, const std::vector<std::string>& rArguments,
                           bool bWait)
{
    ProcessResult result;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(rProgram.c_str()));
    for (const std::string& rArgument : rArguments)
        argv.push_back(const_cast<char*>(rArgument.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, rProgram.c_str(), nullptr, nullptr, argv.data(), environ);
    if (error != 0) {
        result.mStartError = error;
        return result;
    }
    if (bWait)
        result.mWaitFailed = !WaitFor(pid);
    else
        std::thread([pid] { WaitFor(pid); }).detach();
    return result;
}

} // namespace platform
} // namespace zephrane
