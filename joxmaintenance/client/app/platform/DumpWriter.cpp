#include "DumpWriter.h"

#include <elf.h>
#include <execinfo.h>
#include <fcntl.h>
#include <link.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

extern char** environ;

namespace platform {

namespace {

const int kMaxFrames = 128;
// gdb gets this long to attach and write the core.
const int kCoreWaitMs = 30000;
const long kPollStepNs = 20L * 1000L * 1000L;
const size_t kAlternateStackSize = 256 * 1024;

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer's shadow memory would make a core of terabytes.
const bool kCoreAllowed = false;
#else
const bool kCoreAllowed = true;
#endif

// Filled at installation, read by the handlers.
char gGdbPath[4096] = {0};
// Per-thread alternate stacks live as long as the process.
thread_local char* tAlternateStack = nullptr;

bool WriteAll(int fd, const char* pText, size_t length)
{
    while (length > 0)
    {
        const ssize_t written = ::write(fd, pText, length);
        if (written < 0)
            return false;
        pText += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

bool WriteText(int fd, const char* pText)
{
    return WriteAll(fd, pText, ::strlen(pText));
}

// Formats value in decimal into pBuffer (at least 24 bytes); returns it.
char* FormatDecimal(char* pBuffer, long value)
{
    char digits[24];
    int pos = sizeof(digits);
    const bool negative = value < 0;
    unsigned long rest = negative ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do
    {
        digits[--pos] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0 && pos > 1);
    if (negative)
        digits[--pos] = '-';
    const size_t length = sizeof(digits) - static_cast<size_t>(pos);
    ::memcpy(pBuffer, digits + pos, length);
    pBuffer[length] = '\0';
    return pBuffer;
}

bool WriteNumber(int fd, long value)
{
    char text[24];
    return WriteText(fd, FormatDecimal(text, value));
}

bool WriteHex(int fd, unsigned long value)
{
    static const char kDigits[] = "0123456789abcdef";
    char text[19] = {'0', 'x'};
    for (int i = 0; i < 16; ++i)
        text[2 + i] = kDigits[(value >> (60 - 4 * i)) & 0xF];
    text[18] = '\0';
    return WriteText(fd, text);
}

bool CopyFile(int fd, const char* pSource)
{
    const int source = ::open(pSource, O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return WriteText(fd, "(not readable)\n");
    char buffer[4096];
    bool ok = true;
    for (;;)
    {
        const ssize_t count = ::read(source, buffer, sizeof(buffer));
        if (count <= 0)
            break;
        if (!WriteAll(fd, buffer, static_cast<size_t>(count)))
        {
            ok = false;
            break;
        }
    }
    ::close(source);
    return ok;
}

void Sleep(long nanoseconds)
{
    const struct timespec step = {0, nanoseconds};
    ::nanosleep(&step, nullptr);
}

// True when pPath holds an ELF file.
bool IsCoreFile(const char* pPath)
{
    const int fd = ::open(pPath, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char magic[SELFMAG];
    const bool isElf = ::read(fd, magic, SELFMAG) == SELFMAG && ::memcmp(magic, ELFMAG, SELFMAG) == 0;
    ::close(fd);
    return isElf;
}

// Starts gdb on this process to write a core to pPath and waits for it;
// true when a core file is there afterwards.
bool WriteCore(const char* pPath)
{
    if (gGdbPath[0] == '\0')
        return false;
    char pidText[24];
    FormatDecimal(pidText, static_cast<long>(::getpid()));
    static char command[4096 + 32];
    const char kCommand[] = "generate-core-file ";
    const size_t pathLength = ::strlen(pPath);
    if (pathLength + sizeof(kCommand) > sizeof(command))
        return false;
    ::memcpy(command, kCommand, sizeof(kCommand) - 1);
    ::memcpy(command + sizeof(kCommand) - 1, pPath, pathLength + 1);
    char batch[] = "-batch";
    char noInit[] = "-nx";
    char initCommand[] = "-iex";
    char noDebuginfod[] = "set debuginfod enabled off";
    char attach[] = "-p";
    char execute[] = "-ex";
    char* argv[] = {gGdbPath, batch, noInit, initCommand, noDebuginfod, attach, pidText, execute, command, nullptr};

    // The child waits on the pipe until this process has allowed it to attach.
    int go[2];
    if (::pipe2(go, O_CLOEXEC) != 0)
        return false;
    const pid_t child = ::_Fork();
    if (child == 0)
    {
        ::close(go[1]);
        char byte = 0;
        if (::read(go[0], &byte, 1) != 1)
            ::_exit(126);
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0)
        {
            ::dup2(null, STDIN_FILENO);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
        }
        ::execve(gGdbPath, argv, environ);
        ::_exit(127);
    }
    ::close(go[0]);
    if (child < 0)
    {
        ::close(go[1]);
        return false;
    }
    // Without Yama this fails harmlessly: then ptrace needs nothing more.
    ::prctl(PR_SET_PTRACER, static_cast<unsigned long>(child), 0, 0, 0);
    const char byte = 1;
    const bool started = ::write(go[1], &byte, 1) == 1;
    ::close(go[1]);

    int status = 0;
    bool ended = false;
    for (long waited = 0; started && waited < kCoreWaitMs * 1000000L; waited += kPollStepNs)
    {
        const pid_t result = ::waitpid(child, &status, WNOHANG);
        if (result == child || (result < 0 && errno != EINTR))
        {
            ended = result == child;
            break;
        }
        Sleep(kPollStepNs);
    }
    if (!ended)
    {
        ::kill(child, SIGKILL);
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR)
        {
        }
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && IsCoreFile(pPath);
}

bool WriteRegisters(int fd, const void* pContext)
{
    if (!pContext)
        return WriteText(fd, "registers: not known\n");
#if defined(__x86_64__)
    const ucontext_t* pUser = static_cast<const ucontext_t*>(pContext);
    static const struct
    {
        const char* mName;
        int mIndex;
    } kRegisters[] = {{"rip", REG_RIP}, {"rsp", REG_RSP}, {"rbp", REG_RBP}, {"rax", REG_RAX},
                      {"rbx", REG_RBX}, {"rcx", REG_RCX}, {"rdx", REG_RDX}, {"rsi", REG_RSI},
                      {"rdi", REG_RDI}, {"r8", REG_R8},   {"r9", REG_R9},   {"r10", REG_R10},
                      {"r11", REG_R11}, {"r12", REG_R12}, {"r13", REG_R13}, {"r14", REG_R14},
                      {"r15", REG_R15}, {"eflags", REG_EFL}};
    bool ok = WriteText(fd, "registers:\n");
    for (const auto& rRegister : kRegisters)
    {
        ok = ok && WriteText(fd, "  ") && WriteText(fd, rRegister.mName) && WriteText(fd, " ");
        ok = ok && WriteHex(fd, static_cast<unsigned long>(pUser->uc_mcontext.gregs[rRegister.mIndex]));
        ok = ok && WriteText(fd, "\n");
    }
    return ok;
#elif defined(__aarch64__)
    const ucontext_t* pUser = static_cast<const ucontext_t*>(pContext);
    bool ok = WriteText(fd, "registers:\n  pc ") && WriteHex(fd, pUser->uc_mcontext.pc);
    ok = ok && WriteText(fd, "\n  sp ") && WriteHex(fd, pUser->uc_mcontext.sp) && WriteText(fd, "\n");
    for (int i = 0; i < 31 && ok; ++i)
        ok = WriteText(fd, "  x") && WriteNumber(fd, i) && WriteText(fd, " ")
            && WriteHex(fd, pUser->uc_mcontext.regs[i]) && WriteText(fd, "\n");
    return ok;
#else
    return WriteText(fd, "registers: not known on this architecture\n");
#endif
}

// One line per loaded module: base address, build id, file name.
int WriteModule(dl_phdr_info* pInfo, size_t, void* pData)
{
    const int fd = *static_cast<int*>(pData);
    WriteText(fd, "  ");
    WriteHex(fd, static_cast<unsigned long>(pInfo->dlpi_addr));
    WriteText(fd, " build id ");
    bool found = false;
    for (int i = 0; i < pInfo->dlpi_phnum && !found; ++i)
    {
        const ElfW(Phdr)& rHeader = pInfo->dlpi_phdr[i];
        if (rHeader.p_type != PT_NOTE)
            continue;
        const char* pNote = reinterpret_cast<const char*>(pInfo->dlpi_addr + rHeader.p_vaddr);
        const char* pEnd = pNote + rHeader.p_memsz;
        while (!found && pNote + sizeof(ElfW(Nhdr)) <= pEnd)
        {
            const ElfW(Nhdr)* pHeader = reinterpret_cast<const ElfW(Nhdr)*>(pNote);
            const char* pName = pNote + sizeof(ElfW(Nhdr));
            const char* pDesc = pName + ((pHeader->n_namesz + 3) & ~3U);
            const char* pNext = pDesc + ((pHeader->n_descsz + 3) & ~3U);
            if (pNext > pEnd)
                break;
            if (pHeader->n_type == NT_GNU_BUILD_ID && pHeader->n_namesz == 4 && ::memcmp(pName, "GNU", 4) == 0)
            {
                static const char kDigits[] = "0123456789abcdef";
                for (unsigned j = 0; j < pHeader->n_descsz; ++j)
                {
                    const unsigned char value = static_cast<unsigned char>(pDesc[j]);
                    const char pair[2] = {kDigits[value >> 4], kDigits[value & 0xF]};
                    WriteAll(fd, pair, 2);
                }
                found = true;
            }
            pNote = pNext;
        }
    }
    if (!found)
        WriteText(fd, "none");
    WriteText(fd, " ");
    WriteText(fd, pInfo->dlpi_name && *pInfo->dlpi_name ? pInfo->dlpi_name : "(program)");
    WriteText(fd, "\n");
    return 0;
}

bool WriteTextDump(const char* pPath, int signalNumber, const char* pFaultText, const siginfo_t* pInfo,
                   const void* pContext)
{
    int fd = ::open(pPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = WriteText(fd, "Tandril crash dump\npid: ");
    ok = ok && WriteNumber(fd, static_cast<long>(::getpid()));
    ok = ok && WriteText(fd, "\nthread: ");
    ok = ok && WriteNumber(fd, static_cast<long>(::gettid()));
    ok = ok && WriteText(fd, "\nfault: ");
    ok = ok && WriteText(fd, pFaultText ? pFaultText : "unknown");
    if (signalNumber != 0)
    {
        ok = ok && WriteText(fd, " (signal ");
        ok = ok && WriteNumber(fd, signalNumber);
        ok = ok && WriteText(fd, ")");
    }
    if (pInfo)
    {
        ok = ok && WriteText(fd, "\nsignal code: ");
        ok = ok && WriteNumber(fd, pInfo->si_code);
        if (signalNumber == SIGSEGV || signalNumber == SIGBUS || signalNumber == SIGFPE || signalNumber == SIGILL)
        {
            ok = ok && WriteText(fd, "\nfault address: ");
            ok = ok && WriteHex(fd, reinterpret_cast<unsigned long>(pInfo->si_addr));
        }
    }
    ok = ok && WriteText(fd, "\n");
    ok = ok && WriteRegisters(fd, pContext);
    ok = ok && WriteText(fd, "backtrace:\n");
    void* frames[kMaxFrames];
    const int count = ::backtrace(frames, kMaxFrames);
    if (ok)
        ::backtrace_symbols_fd(frames, count, fd);
    ok = ok && WriteText(fd, "modules:\n");
    if (ok)
        ::dl_iterate_phdr(WriteModule, &fd);
    ok = ok && WriteText(fd, "memory map:\n");
    ok = ok && CopyFile(fd, "/proc/self/maps");
    ok = ok && WriteText(fd, "end of dump\n");
    if (::close(fd) != 0)
        ok = false;
    return ok;
}

// The absolute path of gdb on PATH, empty when there is none.
std::string FindGdb()
{
    const char* pPath = std::getenv("PATH");
    std::string list = pPath ? pPath : "";
    size_t start = 0;
    while (start <= list.size())
    {
        size_t end = list.find(':', start);
        if (end == std::string::npos)
            end = list.size();
        const std::string folder = list.substr(start, end - start);
        if (!folder.empty() && folder[0] == '/')
        {
            const std::string candidate = folder + "/gdb";
            struct stat info;
            if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
        start = end + 1;
    }
    return std::string();
}

} // namespace

bool LoadDumpWriter()
{
    const std::string gdb = kCoreAllowed ? FindGdb() : std::string();
    if (gdb.size() < sizeof(gGdbPath))
    {
        gdb.copy(gGdbPath, gdb.size());
        gGdbPath[gdb.size()] = '\0';
    }
    // The first backtrace() loads the unwinder, which allocates.
    void* frames[2];
    return ::backtrace(frames, 2) > 0;
}

bool HasCoreWriter()
{
    return gGdbPath[0] != '\0';
}

bool InstallAlternateStack()
{
    if (tAlternateStack)
        return true;
    char* pStack = new char[kAlternateStackSize];
    stack_t stack = {};
    stack.ss_sp = pStack;
    stack.ss_size = kAlternateStackSize;
    if (::sigaltstack(&stack, nullptr) != 0)
    {
        delete[] pStack;
        return false;
    }
    tAlternateStack = pStack;
    return true;
}

bool WriteDump(const char* pPath, int signalNumber, const char* pFaultText, const siginfo_t* pInfo,
               const void* pContext)
{
    if (!pPath || !*pPath)
        return false;
    if (WriteCore(pPath))
        return true;
    return WriteTextDump(pPath, signalNumber, pFaultText, pInfo, pContext);
}

} // namespace platform
