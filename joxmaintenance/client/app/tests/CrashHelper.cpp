// Installs the crash handler and then fails in the way its argument names;
// the crash tests run it as a child process.
#include "CrashHandler.h"

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace {

// An unmapped address that is not null, so that a sanitizer build faults
// for real instead of reporting a null store.
volatile std::uintptr_t gBadAddress = 8;

[[noreturn]] void Segfault()
{
    *reinterpret_cast<volatile int*>(gBadAddress) = 1;
    std::abort();
}

} // namespace

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
        Segfault();
    if (std::strcmp(pMode, "abort") == 0)
        std::abort();
    if (std::strcmp(pMode, "fpe") == 0)
        std::raise(SIGFPE);
    if (std::strcmp(pMode, "ill") == 0)
        std::raise(SIGILL);
    if (std::strcmp(pMode, "throw") == 0)
        throw std::runtime_error("escaped");
    if (std::strcmp(pMode, "twice") == 0)
    {
        // A second installation changes nothing and reports the first one.
        std::printf("again %d\n", RegisterCrashHandlers("/nonexistent/other.dmp") ? 1 : 0);
        std::fflush(stdout);
        Segfault();
    }
    if (std::strcmp(pMode, "threads") == 0)
    {
        std::thread first(Segfault);
        std::thread second(Segfault);
        first.join();
        second.join();
    }
    return 4;
}
