#include "PeerNamespace.h"

#include "NetnsSandbox.h"

#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace tandriltest {

namespace {

const char* const cPrefix = "tndr-";
std::atomic<int> gCounter{0};

} // namespace

PeerNamespace::PeerNamespace()
    : mValid(false), mLinks(0)
{
    mName = std::string(cPrefix) + std::to_string(getpid()) + "-" + std::to_string(gCounter++);
    mValid = NetnsSandbox::Run("ip netns add " + mName) && Run("ip link set lo up");
}

PeerNamespace::~PeerNamespace()
{
    for (pid_t pid : std::vector<pid_t>(mProcesses))
        StopProcess(pid, SIGKILL, 2000);
    if (mValid)
        NetnsSandbox::Run("ip netns del " + mName);
}

std::string PeerNamespace::AddLink(const std::string& rLocalIp, const std::string& rPeerIp)
{
    if (!mValid)
        return std::string();
    const int id = gCounter++;
    const std::string local = "tl" + std::to_string(id) + "p" + std::to_string(getpid() % 1000000);
    const std::string peer = "tp" + std::to_string(id) + "p" + std::to_string(getpid() % 1000000);
    const bool bOk = NetnsSandbox::Run("ip link add " + local + " type veth peer name " + peer
                                       + " netns " + mName)
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
    if (!mValid || rArguments.empty())
        return -1;
    std::vector<std::string> full = {"ip", "netns", "exec", mName};
    full.insert(full.end(), rArguments.begin(), rArguments.end());
    std::vector<char*> argv;
    for (std::string& rArgument : full)
        argv.push_back(rArgument.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0)
    {
        execvp(argv[0], argv.data());
        _exit(127);
    }
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
    return NetnsSandbox::Run("ip netns exec " + mName + " " + rCommand);
}

void PeerNamespace::RemoveStale()
{
    DIR* pDir = opendir("/run/netns");
    if (pDir == nullptr)
        return;
    std::vector<std::string> stale;
    const std::string prefix(cPrefix);
    while (dirent* pEntry = readdir(pDir))
    {
        const std::string name = pEntry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const pid_t owner = static_cast<pid_t>(std::atol(name.c_str() + prefix.size()));
        if (owner > 0 && owner != getpid() && kill(owner, 0) != 0)
            stale.push_back(name);
    }
    closedir(pDir);
    for (const std::string& rName : stale)
        NetnsSandbox::Run("ip netns del " + rName);
}

} // namespace tandriltest
