// wsdd_probe_latency: time from a Probe sent by a pelwick client to the
// observer's OnProbeMatch, against a wsddtarget child answering on loopback;
// optionally with a second target streaming Hello into the group.
//   wsdd_probe_latency --target PATH [--probes N] [--hello-interval-ms N]
// Prints the median and 99th percentile in milliseconds. Run it inside a
// private network namespace (bench/discovery-probe-latency.sh does).

#include "NetnsSandbox.h"

#include <joxwsdd/IWSDDClientObserver.h>
#include <joxwsdd/IWSDDProbeMatches.h>
#include <joxwsdd/WSDDClient.h>

#include <boost/make_shared.hpp>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class MatchClock : public JoxWsdd::IWSDDClientObserver
{
public:
    void OnThreadStarted() override {}
    void OnThreadStopping() override {}
    void OnAutoProbe() override {}
    void OnHello(const char*, const std::list<std::string>&, const char*, unsigned int, const char*) override
    {
        ++mHellos;
    }
    void OnBye(const char*, const std::list<std::string>&, const char*, unsigned int, const char*) override {}
    void OnResolveMatch(const char*, const std::list<std::string>&, const char*, unsigned int, const char*) override {}
    void OnProbeMatch(const JoxWsdd::IWSDDProbeMatches&, const char*) override
    {
        {
            std::lock_guard<std::mutex> lock(mLock);
            ++mMatches;
            mLast = Clock::now();
        }
        mChanged.notify_all();
    }
    bool WaitForMatch(unsigned long count, Clock::time_point& rAt)
    {
        std::unique_lock<std::mutex> lock(mLock);
        if (!mChanged.wait_for(lock, std::chrono::seconds(2), [&] { return mMatches >= count; }))
            return false;
        rAt = mLast;
        return true;
    }
    std::atomic<unsigned long> mHellos{0};

private:
    std::mutex mLock;
    std::condition_variable mChanged;
    unsigned long mMatches = 0;
    Clock::time_point mLast;
};

pid_t StartTarget(const std::vector<std::string>& rArguments)
{
    int ends[2];
    if (pipe(ends) != 0)
        return -1;
    std::vector<std::string> arguments = rArguments;
    std::vector<char*> argv;
    for (std::string& rArgument : arguments)
        argv.push_back(rArgument.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0)
    {
        dup2(ends[1], STDOUT_FILENO);
        close(ends[0]);
        close(ends[1]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(ends[1]);
    pollfd entry = {ends[0], POLLIN, 0};
    char buffer[256];
    const bool bReady = poll(&entry, 1, 5000) > 0 && read(ends[0], buffer, sizeof(buffer)) > 0;
    close(ends[0]);
    return bReady ? pid : -1;
}

void StopTarget(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, static_cast<size_t>(fraction * (values.size() - 1) + 0.5));
    return values[index];
}

} // namespace

int main(int argc, char** argv)
{
    const std::string refusal = tandriltest::NetnsSandbox::RefusalReason();
    if (!refusal.empty())
    {
        std::fprintf(stderr, "refusing to run: %s (use the bench/ script)\n", refusal.c_str());
        return 2;
    }
    std::string target;
    int probes = 200;
    int helloIntervalMs = 0;
    for (int index = 1; index + 1 < argc; index += 2)
    {
        const std::string option = argv[index];
        if (option == "--target")
            target = argv[index + 1];
        else if (option == "--probes")
            probes = std::atoi(argv[index + 1]);
        else if (option == "--hello-interval-ms")
            helloIntervalMs = std::atoi(argv[index + 1]);
    }
    if (target.empty() || probes <= 0 || probes > 100000)
    {
        std::fprintf(stderr, "usage: wsdd_probe_latency --target PATH [--probes N] [--hello-interval-ms N]\n");
        return 2;
    }

    JoxWsdd::WSDDClient client("127.0.0.1", 0, 3702);
    const auto pClock = boost::make_shared<MatchClock>();
    client.AddObserver(pClock);
    if (!client.Start() || !client.WaitForThreadRunning(2000))
    {
        std::fprintf(stderr, "client failed: %s\n", client.GetErrorString().c_str());
        return 1;
    }
    const pid_t answering = StartTarget({target, "--types", "tds:Device service_name__MAINTENANCE",
                                         "--duration-ms", "600000"});
    pid_t streaming = -1;
    if (helloIntervalMs > 0)
        streaming = StartTarget({target, "--types", "noise:Stream", "--hello-interval-ms",
                                 std::to_string(helloIntervalMs), "--duration-ms", "600000"});
    if (answering <= 0 || (helloIntervalMs > 0 && streaming <= 0))
    {
        std::fprintf(stderr, "target failed to start\n");
        StopTarget(answering);
        StopTarget(streaming);
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));

    std::vector<double> latencies;
    int lost = 0;
    for (int round = 1; round <= probes; ++round)
    {
        const Clock::time_point sent = Clock::now();
        client.SendProbe("tds:Device", nullptr, nullptr);
        Clock::time_point answered;
        if (pClock->WaitForMatch(static_cast<unsigned long>(round - lost), answered))
            latencies.push_back(std::chrono::duration<double, std::milli>(answered - sent).count());
        else
            ++lost;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const unsigned long hellos = pClock->mHellos;
    StopTarget(streaming);
    StopTarget(answering);
    client.Stop();

    if (latencies.empty())
    {
        std::printf("no ProbeMatches received (%d lost)\n", lost);
        return 1;
    }
    std::printf("probes %d, answered %zu, lost %d, hellos heard %lu, median %.2f ms, p99 %.2f ms, max %.2f ms\n",
                probes, latencies.size(), lost, hellos, Percentile(latencies, 0.5), Percentile(latencies, 0.99),
                Percentile(latencies, 1.0));
    return lost == 0 ? 0 : 1;
}
