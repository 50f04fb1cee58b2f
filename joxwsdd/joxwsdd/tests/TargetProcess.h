#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace pelwicktest {

// The wsddtarget program run as a child in the caller's namespace; started
// when its "READY" line arrives (bounded wait), stopped with SIGTERM so that
// it sends its Bye, killed when it does not end in time.
class TargetProcess
{
public:
    explicit TargetProcess(const std::vector<std::string>& rArguments);
    ~TargetProcess();
    TargetProcess(const TargetProcess&) = delete;
    TargetProcess& operator=(const TargetProcess&) = delete;

    bool IsReady() const { return mReady; }
    const std::string& GetEndpoint() const { return mEndpoint; }
    // SIGTERM and a bounded wait; true when it ended with exit code 0.
    bool Stop();

    static std::string ProgramPath();

private:
    pid_t mPid;
    bool mReady;
    std::string mEndpoint;
};

} // namespace pelwicktest
