#include "platform/Platform.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace zephrane {
namespace platform {

FileAttributes QueryAttributes(const std::string& rPath)
{
    FileAttributes attributes;
    struct stat info;
    if (::stat(rPath.c_str(), &info) != 0)
        return attributes;
    attributes.mReadable = true;
    attributes.mDirectory = S_ISDIR(info.st_mode);
    attributes.mDevice = S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode);
    return attributes;
}

int MakeDirectory(const std::string& rPath)
{
    return ::mkdir(rPath.c_str(), 0777) == 0 ? 0 : errno;
}

std::string ErrorText(int error)
{
    char buffer[256];
    // GNU strerror_r returns the text, which may or may not live in buffer.
    return ::strerror_r(error, buffer, sizeof buffer);
}

std::string ExecutablePath()
{
    std::string buffer(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<size_t>(length) >= buffer.size())
        return std::string();
    buffer.resize(static_cast<size_t>(length));
    return buffer;
}

} // namespace platform
} // namespace zephrane
