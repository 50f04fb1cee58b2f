#include "DumpWriter.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <unistd.h>

namespace platform {

namespace {

const int kMaxFrames = 128;

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

bool WriteNumber(int fd, long value)
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
    return WriteAll(fd, digits + pos, sizeof(digits) - static_cast<size_t>(pos));
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

} // namespace

bool LoadDumpWriter()
{
    // The first backtrace() loads the unwinder, which allocates.
    void* frames[2];
    return ::backtrace(frames, 2) > 0;
}

bool WriteDump(const char* pPath, int signalNumber, const char* pFaultText)
{
    if (!pPath || !*pPath)
        return false;
    const int fd = ::open(pPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = WriteText(fd, "Tandril crash dump\npid: ");
    ok = ok && WriteNumber(fd, static_cast<long>(::getpid()));
    ok = ok && WriteText(fd, "\nfault: ");
    ok = ok && WriteText(fd, pFaultText ? pFaultText : "unknown");
    if (signalNumber != 0)
    {
        ok = ok && WriteText(fd, " (signal ");
        ok = ok && WriteNumber(fd, signalNumber);
        ok = ok && WriteText(fd, ")");
    }
    ok = ok && WriteText(fd, "\nbacktrace:\n");
    void* frames[kMaxFrames];
    const int count = ::backtrace(frames, kMaxFrames);
    if (ok)
        ::backtrace_symbols_fd(frames, count, fd);
    ok = ok && WriteText(fd, "memory map:\n");
    ok = ok && CopyFile(fd, "/proc/self/maps");
    ok = ok && WriteText(fd, "end of dump\n");
    if (::close(fd) != 0)
        ok = false;
    return ok;
}

} // namespace platform
