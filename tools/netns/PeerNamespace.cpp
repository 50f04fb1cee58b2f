#include "PeerNamespace.h"

#include "NetnsSandbox.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace tandriltest {

namespace {

std::atomic<int> gCounter{0};

// Forks a child that moves into a new network namespace, reports through a
// pipe and then waits until it is killed (or its parent dies). Only
// async-signal-safe calls run in the child: the test process has threads.
pid_t StartHolder()
{
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        return -1;
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0)
    {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(1);
        close(ready[0]);
        const char result = unshare(CLONE_NEWNET) == 0 ? '1' : '0';
        if (write(ready[1], &result, 1) != 1 || result != '1')
            _exit(1);
        close(ready[1]);
        for (;;)
            pause();
    }
    close(ready[1]);
    char result = '0';
    const bool bReady = pid > 0 && read(ready[0], &result, 1) == 1 && result == '1';
    close(ready[0]);
    if (pid > 0 && !bReady)
    {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return -1;
    }
    return pid;
}

} // namespace

PeerNamespace::PeerNamespace()
    : mHolder(StartHolder()), mLinks(0)
{
    if (mHolder > 0 && !Run("ip link set lo up"))
    {
        kill(mHolder, SIGKILL);
        waitpid(mHolder, nullptr, 0);
        mHolder = -1;
    }
}

PeerNamespace::~PeerNamespace()
{
    for (pid_t pid : std::vector<pid_t>(mProcesses))
        StopProcess(pid, SIGKILL, 2000);
    if (mHolder > 0)
    {
        kill(mHolder, SIGKILL);
        waitpid(mHolder, nullptr, 0);
    }
}

std::string PeerNamespace::NamespacePath() const
{
    return "/proc/" + std::to_string(mHolder) + "/ns/net";
}

std::string PeerNamespace::AddLink(const std::string& rLocalIp, const std::string& rPeerIp)
{
    if (!IsValid())
        return std::string();
    const int id = gCounter++;
    const std::string local = "tl" + std::to_string(id) + "p" + std::to_string(getpid() % 1000000);
    const std::string peer = "tp" + std::to_string(id) + "p" + std::to_string(getpid() % 1000000);
    const bool bOk = NetnsSandbox::Run("ip link add " + local + " type veth peer name " + peer
                                       + " netns " + std::to_string(mHolder))
        && NetnsSandbox::Run("ip addr add " + rLocalIp + "/24 dev " + local)
        && NetnsSandbox::Run("ip link set " + local + " multicast on up")
        && Run("ip addr add " + rPeerIp + "/24 dev " + peer)
        && Run("ip link set " + peer + " multicast on up")
        && (mLinks > 0 || Run("ip route add 239.0.0.0/8 dev " + peer));
    if (!bOk)
        return std::string();
    ++mLinks;
    return local;
}

pid_t PeerNamespace::Spawn(const std::vector<std::string>& rArguments)
{
    if (!IsValid() || rArguments.empty())
        return -1;
    const int nsFd = open(NamespacePath().c_str(), O_RDONLY | O_CLOEXEC);
    if (nsFd < 0)
        return -1;
    std::vector<std::string> arguments(rArguments);
    std::vector<char*> argv;
    for (std::string& rArgument : arguments)
        argv.push_back(rArgument.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0)
    {
        if (setns(nsFd, CLONE_NEWNET) != 0)
            _exit(126);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(nsFd);
    if (pid > 0)
        mProcesses.push_back(pid);
    return pid;
}

int PeerNamespace::StopProcess(pid_t pid, int signal, int timeoutMs)
{
    if (std::find(mProcesses.begin(), mProcesses.end(), pid) == mProcesses.end())
        return -1;
    kill(pid, signal);
    int status = 0;
    for (int waited = 0; waited < timeoutMs; waited += 10)
    {
        if (waitpid(pid, &status, WNOHANG) == pid)
        {
            mProcesses.erase(std::find(mProcesses.begin(), mProcesses.end(), pid));
            return status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    mProcesses.erase(std::find(mProcesses.begin(), mProcesses.end(), pid));
    return -1;
}

bool PeerNamespace::Run(const std::string& rCommand) const
{
    return IsValid() && NetnsSandbox::Run("nsenter --net=" + NamespacePath() + " " + rCommand);
}

} // namespace tandriltest
