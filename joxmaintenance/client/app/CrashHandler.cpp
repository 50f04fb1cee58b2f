#include "CrashHandler.h"

#include "platform/DumpWriter.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <exception>

#include <signal.h>
#include <time.h>
#include <unistd.h>

namespace {

const int kCrashExitCode = 3;
// How long a later fault waits for the first one's dump before ending the
// process: 700 steps of 50 ms, longer than gdb may take for the core.
const int kWaitSteps = 700;
const long kWaitStepNs = 50L * 1000L * 1000L;

// The path lives in a fixed buffer so the handlers read it without
// touching the heap.
char gDumpPath[4096] = {0};
std::atomic<bool> gWriterLoaded{false};
std::atomic<int> gInstallCount{0};
std::atomic<int> gFaultCount{0};
std::atomic<bool> gDumpDone{false};
std::terminate_handler gPreviousTerminate = nullptr;

const int kSignals[] = {SIGABRT, SIGFPE, SIGILL, SIGSEGV, SIGBUS};

const char* SignalName(int signalNumber)
{
    switch (signalNumber)
    {
    case SIGABRT:
        return "abort";
    case SIGFPE:
        return "floating-point error";
    case SIGILL:
        return "illegal instruction";
    case SIGSEGV:
        return "segmentation fault";
    case SIGBUS:
        return "bus error";
    default:
        return "signal";
    }
}

// True for the first fault of the process, which writes the dump.
bool FirstFault()
{
    return gFaultCount.fetch_add(1) == 0;
}

void WriteFaultDump(int signalNumber, const char* pFault, const siginfo_t* pInfo = nullptr,
                    const void* pContext = nullptr)
{
    if (gWriterLoaded.load())
        platform::WriteDump(gDumpPath, signalNumber, pFault, pInfo, pContext);
    gDumpDone.store(true);
}

// A later fault lets a dump in progress on another thread finish first.
void WaitForDump()
{
    const struct timespec step = {0, kWaitStepNs};
    for (int i = 0; i < kWaitSteps && !gDumpDone.load(); ++i)
        ::nanosleep(&step, nullptr);
}

void CrashSignalHandler(int signalNumber, siginfo_t* pInfo, void* pContext);

void InstallSignalHandler(int signalNumber)
{
    struct sigaction action = {};
    action.sa_sigaction = CrashSignalHandler;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    ::sigaction(signalNumber, &action, nullptr);
}

void CrashSignalHandler(int signalNumber, siginfo_t* pInfo, void* pContext)
{
    if (FirstFault())
    {
        WriteFaultDump(signalNumber, SignalName(signalNumber), pInfo, pContext);
        InstallSignalHandler(signalNumber);
    }
    else
    {
        WaitForDump();
    }
    // _exit: the process is in an unknown state; running exit handlers from
    // a signal handler could hang or crash again.
    ::_exit(kCrashExitCode);
}

void CrashTerminateHandler()
{
    if (FirstFault())
        WriteFaultDump(0, "terminate");
    if (gPreviousTerminate)
        gPreviousTerminate();
    std::abort();
}

} // namespace

std::string CrashDumpPath(const char* pName)
{
    const std::string name = pName ? pName : "";
    const char* pFolder = std::getenv("TEMP");
    if (!pFolder)
        pFolder = std::getenv("TMPDIR");
    if (!pFolder)
        pFolder = "/tmp";
    return std::string(pFolder) + "/" + name;
}

bool InstallCrashHandler(const char* pName)
{
    if (!pName || !*pName)
        return false;
    return RegisterCrashHandlers(CrashDumpPath(pName));
}

bool RegisterCrashHandlers(const std::string& rPath)
{
    if (gInstallCount.fetch_add(1) != 0)
        return gWriterLoaded.load();
    if (rPath.empty() || rPath.size() >= sizeof(gDumpPath))
        return false;
    if (!platform::LoadDumpWriter())
        return false;
    rPath.copy(gDumpPath, rPath.size());
    gDumpPath[rPath.size()] = '\0';
    gWriterLoaded.store(true);

    // Threads started later have no alternate stack: a stack overflow there
    // ends the process without a dump.
    platform::InstallAlternateStack();
    for (int signalNumber : kSignals)
        InstallSignalHandler(signalNumber);
    gPreviousTerminate = std::set_terminate(CrashTerminateHandler);
    return true;
}

bool WriteMiniDump(const char* pPath)
{
    if (!pPath || !*pPath || !gWriterLoaded.load())
        return false;
    return platform::WriteDump(pPath, 0, "requested", nullptr, nullptr);
}
