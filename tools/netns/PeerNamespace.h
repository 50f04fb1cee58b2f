#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace tandriltest {

// A network namespace joined to the caller's namespace by veth pairs. It is
// held by a child process that unshares it and waits; the namespace goes, with
// everything running in it, when the object stops that child (also when a
// test fails, and when the test process dies: the child dies with it).
// Needs no root: only the capabilities of the user namespace that
// tools/in-test-netns.sh creates, and leaves nothing in /run/netns.
class PeerNamespace
{
public:
    PeerNamespace();
    ~PeerNamespace();
    PeerNamespace(const PeerNamespace&) = delete;
    PeerNamespace& operator=(const PeerNamespace&) = delete;

    bool IsValid() const { return mHolder > 0; }

    // The process id that holds the namespace (its /proc entry names it).
    pid_t GetHolderPid() const { return mHolder; }

    // Adds a veth pair with localIp/24 on the caller's side and peerIp/24 on
    // this side, both up with multicast; the first link also carries this
    // namespace's route for 239.0.0.0/8. Returns the caller-side interface
    // name, empty on failure.
    std::string AddLink(const std::string& rLocalIp, const std::string& rPeerIp);

    // Starts a program inside this namespace; returns its pid or -1.
    pid_t Spawn(const std::vector<std::string>& rArguments);

    // Sends a signal and waits up to timeoutMs for the process to end (then
    // kills it); returns the exit status as waitpid gives it, -1 on timeout.
    int StopProcess(pid_t pid, int signal, int timeoutMs);

    // Runs a shell command inside this namespace; true on exit code 0.
    bool Run(const std::string& rCommand) const;

private:
    std::string NamespacePath() const;

    pid_t mHolder;
    int mLinks;
    std::vector<pid_t> mProcesses;
};

} // namespace tandriltest
