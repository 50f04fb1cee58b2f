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
// process: 100 steps of 50 ms.
const int kWaitSteps = 100;
const long kWaitStepNs = 50L * 1000L * 1000L;

// The path lives in a fixed buffer so the handlers read it without
// touching the heap.
char gDumpPath[4096] = {0};
std::atomic<bool> gWriterLoaded{false};
std::atomic<int> gInstallCount{0};
std::atomic<int> gFaultCount{0};
std::atomic<bool> gDumpDone{false};
std::terminate_handler gPreviousTerminate = nullptr;

const int kSignals[] = {SIGABRT, SIGFPE, SIGILL, SIGSEGV};

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
    default:
        return "signal";
    }
}

// True for the first fault of the process, which writes the dump.
bool FirstFault()
{
    return gFaultCount.fetch_add(1) == 0;
}

void WriteFaultDump(int signalNumber, const char* pFault)
{
    if (gWriterLoaded.load())
        platform::WriteDump(gDumpPath, signalNumber, pFault);
    gDumpDone.store(true);
}

// A later fault lets a dump in progress on another thread finish first.
void WaitForDump()
{
    const struct timespec step = {0, kWaitStepNs};
    for (int i = 0; i < kWaitSteps && !gDumpDone.load(); ++i)
        ::nanosleep(&step, nullptr);
}

void CrashSignalHandler(int signalNumber)
{
    if (FirstFault())
    {
        WriteFaultDump(signalNumber, SignalName(signalNumber));
        std::signal(signalNumber, CrashSignalHandler);
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
    const char* pTemp = std::getenv("TEMP");
    if (pTemp)
        return std::string(pTemp) + "/" + name;
    return name;
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

    for (int signalNumber : kSignals)
        std::signal(signalNumber, CrashSignalHandler);
    gPreviousTerminate = std::set_terminate(CrashTerminateHandler);
    return true;
}

bool WriteMiniDump(const char* pPath)
{
    if (!pPath || !*pPath || !gWriterLoaded.load())
        return false;
    return platform::WriteDump(pPath, 0, "requested");
}
