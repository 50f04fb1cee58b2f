// wsdd_repository_load: distinct services (10000 by default, each with its
// own endpoint and URL) announce themselves (Hello, one per millisecond);
// reports when the repository holds all of them, the CPU that one
// announcement costs the repository at the first and at the last thousand,
// the peak RSS and whether any was lost or doubled.
//   wsdd_repository_load --target PATH [--services N] [--interval-us N] [--burst N]
// (--burst N: N Hellos back to back every interval)
// Run it inside a private network namespace (bench/discovery-repository-load.sh does).

#include "NetnsSandbox.h"

#include <joxwsdd/WSDDClient.h>
#include <joxwsdd/WebServiceRepositoryWithFilter.h>

#include <boost/make_shared.hpp>

#include <QCoreApplication>

#include <poll.h>
#include <signal.h>
#include <time.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class LoadRepository : public JoxWsdd::WebServiceRepositoryWithFilter
{
public:
    using WebServiceRepositoryWithFilter::WebServiceRepositoryWithFilter;
    void OnThreadStarted() override {}
    void OnThreadStopping() override {}
    void OnAutoProbe() override {}
    void OnHello(const char* endpoint, const std::list<std::string>& types, const char* scopes,
                 unsigned int metadataVersion, const char* xAddrs) override
    {
        {
            std::lock_guard<std::mutex> lock(mLock);
            mLastHello = Clock::now();
            ++mHellos;
        }
        const double before = ThreadCpuMicroseconds();
        WebServiceRepositoryWithFilter::OnHello(endpoint, types, scopes, metadataVersion, xAddrs);
        const double spent = ThreadCpuMicroseconds() - before;
        std::lock_guard<std::mutex> lock(mLock);
        mCpuPerHello.push_back(spent);
    }
    static double ThreadCpuMicroseconds()
    {
        timespec now;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
    }
    std::mutex mLock;
    Clock::time_point mLastHello;
    unsigned long mHellos = 0;
    std::vector<double> mCpuPerHello;   // microseconds, in arrival order
};

double Mean(const std::vector<double>& rValues, size_t first, size_t count)
{
    double sum = 0;
    for (size_t index = first; index < first + count && index < rValues.size(); ++index)
        sum += rValues[index];
    return count == 0 ? 0 : sum / static_cast<double>(count);
}

// Less moved than the mean by the odd announcement that other processes slowed.
double Median(const std::vector<double>& rValues, size_t first, size_t count)
{
    std::vector<double> part(rValues.begin() + static_cast<long>(first),
                             rValues.begin() + static_cast<long>(std::min(first + count, rValues.size())));
    if (part.empty())
        return 0;
    std::nth_element(part.begin(), part.begin() + static_cast<long>(part.size() / 2), part.end());
    return part[part.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const std::string refusal = tandriltest::NetnsSandbox::RefusalReason();
    if (!refusal.empty())
    {
        std::fprintf(stderr, "refusing to run: %s (use the bench/ script)\n", refusal.c_str());
        return 2;
    }
    std::string target;
    long services = 10000;
    long intervalUs = 1000;
    long burst = 1;
    for (int index = 1; index + 1 < argc; index += 2)
    {
        const std::string option = argv[index];
        if (option == "--target")
            target = argv[index + 1];
        else if (option == "--services")
            services = std::atol(argv[index + 1]);
        else if (option == "--interval-us")
            intervalUs = std::atol(argv[index + 1]);
        else if (option == "--burst")
            burst = std::atol(argv[index + 1]);
    }
    if (target.empty() || services <= 0 || services > 100000 || intervalUs < 1000 || burst < 1)
    {
        std::fprintf(stderr, "usage: wsdd_repository_load --target PATH [--services N] [--interval-us N>=1000] [--burst N]\n");
        return 2;
    }

    JoxWsdd::WSDDClient client("127.0.0.1", 0, 3702);
    const auto pRepository = boost::make_shared<LoadRepository>(&client);
    pRepository->SetRequestedServices({"MAINTENANCE"});
    std::mutex addedLock;
    // Kept cheap: it runs inside the measured announcement.
    std::vector<std::string> added;
    QObject::connect(pRepository.get(), &JoxWsdd::WebServiceRepositoryWithFilter::ServiceAdded, pRepository.get(),
                     [&](JoxWsdd::WebServiceInfoPtr entry) {
                         std::lock_guard<std::mutex> lock(addedLock);
                         added.push_back(entry->GetEndpoint());
                     },
                     Qt::DirectConnection);
    client.AddObserver(pRepository);
    if (!client.Start() || !client.WaitForThreadRunning(2000))
    {
        std::fprintf(stderr, "client failed: %s\n", client.GetErrorString().c_str());
        return 1;
    }

    const long intervalMs = intervalUs / 1000;
    const pid_t pid = fork();
    if (pid == 0)
    {
        const std::string interval = std::to_string(intervalMs);
        const std::string burstText = std::to_string(burst);
        const std::string count = std::to_string(services);
        const std::string duration = std::to_string(services * intervalMs + 60000);
        execl(target.c_str(), target.c_str(), "--types", "tds:Device service_name__MAINTENANCE status_name__free",
              "--xaddrs", "http://127.0.0.1:8080/maintenance/%n", "--hello-interval-ms", interval.c_str(),
              "--hello-count", count.c_str(), "--hello-burst", burstText.c_str(), "--distinct", "--duration-ms",
              duration.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    const Clock::time_point start = Clock::now();
    Clock::time_point full;
    bool bComplete = false;
    const auto patience = std::chrono::milliseconds(services * intervalMs + 30000);
    while (Clock::now() - start < patience)
    {
        // One more than the services: the target's own Hello at start.
        if (pRepository->GetServiceCount() >= static_cast<size_t>(services) + 1)
        {
            full = Clock::now();
            bComplete = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);

    Clock::time_point lastHello;
    unsigned long hellos = 0;
    std::vector<double> cpu;
    {
        std::lock_guard<std::mutex> lock(pRepository->mLock);
        lastHello = pRepository->mLastHello;
        hellos = pRepository->mHellos;
        cpu = pRepository->mCpuPerHello;
    }
    size_t distinct = 0;
    size_t total = 0;
    {
        std::lock_guard<std::mutex> lock(addedLock);
        total = added.size();
        distinct = std::set<std::string>(added.begin(), added.end()).size();
    }
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); };
    std::printf("services %ld (+1 start Hello), hellos heard %lu, stored %zu, added signals %zu, distinct %zu\n",
                services, hellos, pRepository->GetServiceCount(), total, distinct);
    if (bComplete)
        std::printf("all stored %.1f ms after the first Hello was sent, %.1f ms after the last Hello arrived\n",
                    ms(full - start), ms(full - lastHello) < 0 ? 0.0 : ms(full - lastHello));
    const size_t block = std::min<size_t>(1000, cpu.size() / 2);
    const double firstCpu = Mean(cpu, 0, block);
    const double lastCpu = Mean(cpu, cpu.size() - block, block);
    const double firstMedian = Median(cpu, 0, block);
    const double lastMedian = Median(cpu, cpu.size() - block, block);
    std::printf("CPU per announcement (mean): first %zu %.1f us, last %zu %.1f us, ratio %.2f (target <= 1.5)\n",
                block, firstCpu, block, lastCpu, firstCpu > 0 ? lastCpu / firstCpu : 0.0);
    std::printf("CPU per announcement (median): first %zu %.1f us, last %zu %.1f us, ratio %.2f\n", block,
                firstMedian, block, lastMedian, firstMedian > 0 ? lastMedian / firstMedian : 0.0);
    std::printf("lost %ld, doubled %zu, peak RSS %ld KiB\n",
                static_cast<long>(services + 1) - static_cast<long>(distinct), total - distinct, usage.ru_maxrss);
    client.Stop();
    return bComplete && total == distinct ? 0 : 1;
}
