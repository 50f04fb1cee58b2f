#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace tandriltest {

// A named network namespace joined to the caller's namespace by veth pairs,
// removed with everything running in it when the object goes (also when a
// test fails). Names carry the process id, so parallel tests never clash and
// leftovers of a crashed process can be recognised and removed.
class PeerNamespace
{
public:
    PeerNamespace();
    ~PeerNamespace();
    PeerNamespace(const PeerNamespace&) = delete;
    PeerNamespace& operator=(const PeerNamespace&) = delete;

    bool IsValid() const { return mValid; }
    const std::string& GetName() const { return mName; }

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

    // Removes namespaces left behind by test processes that no longer run.
    static void RemoveStale();

private:
    std::string mName;
    bool mValid;
    int mLinks;
    std::vector<pid_t> mProcesses;
};

} // namespace tandriltest
