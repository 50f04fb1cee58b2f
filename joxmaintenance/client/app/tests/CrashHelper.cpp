// Installs the crash handler and then fails in the way its argument names;
// the crash tests run it as a child process.
#include "CrashHandler.h"

#include <condition_variable>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <thread>

// Exported (the helper links with -rdynamic) so that a text dump's backtrace
// names them.
extern "C" __attribute__((visibility("default"), noinline)) void CrashHelperSegfault();
extern "C" __attribute__((visibility("default"), noinline)) int CrashHelperRecurse(int depth);

namespace {

// An unmapped address that is not null, so that a sanitizer build faults
// for real instead of reporting a null store.
volatile std::uintptr_t gBadAddress = 8;
// Never set: keeps the compiler from proving the recursion endless.
volatile bool gStopRecursion = false;

std::mutex gMutex;
std::condition_variable gNever;

// A thread that waits for ever, so that a dump shows more than one thread.
void Idle()
{
    std::unique_lock<std::mutex> lock(gMutex);
    gNever.wait(lock, [] { return false; });
}

} // namespace

extern "C" void CrashHelperSegfault()
{
    *reinterpret_cast<volatile int*>(gBadAddress) = 1;
    std::abort();
}

extern "C" int CrashHelperRecurse(int depth)
{
    volatile char frame[4096];
    frame[0] = static_cast<char>(depth);
    if (gStopRecursion)
        return frame[0];
    return CrashHelperRecurse(depth + 1) + frame[0];
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const char* pMode = argv[1];
    const bool installed = InstallCrashHandler("tandril.dmp");
    std::printf("installed %d\n", installed ? 1 : 0);
    std::fflush(stdout);
    if (std::strcmp(pMode, "none") == 0)
        return 0;
    if (std::strcmp(pMode, "segv") == 0)
        CrashHelperSegfault();
    if (std::strcmp(pMode, "abort") == 0)
        std::abort();
    if (std::strcmp(pMode, "fpe") == 0)
        std::raise(SIGFPE);
    if (std::strcmp(pMode, "ill") == 0)
        std::raise(SIGILL);
    if (std::strcmp(pMode, "bus") == 0)
        std::raise(SIGBUS);
    if (std::strcmp(pMode, "throw") == 0)
        throw std::runtime_error("escaped");
    if (std::strcmp(pMode, "stack") == 0)
        return CrashHelperRecurse(0);
    if (std::strcmp(pMode, "twice") == 0)
    {
        // A second installation changes nothing and reports the first one.
        std::printf("again %d\n", RegisterCrashHandlers("/nonexistent/other.dmp") ? 1 : 0);
        std::fflush(stdout);
        CrashHelperSegfault();
    }
    if (std::strcmp(pMode, "threads") == 0)
    {
        std::thread first(CrashHelperSegfault);
        std::thread second(CrashHelperSegfault);
        first.join();
        second.join();
    }
    if (std::strcmp(pMode, "three") == 0)
    {
        // Three threads in all; the main thread faults.
        std::thread first(Idle);
        std::thread second(Idle);
        first.detach();
        second.detach();
        CrashHelperSegfault();
    }
    return 4;
}
