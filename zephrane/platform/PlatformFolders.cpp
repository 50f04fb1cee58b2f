#include "platform/Platform.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zephrane {
namespace platform {

namespace {

std::string Environment(const char* pName)
{
    const char* pValue = std::getenv(pName);
    return pValue ? std::string(pValue) : std::string();
}

std::string HomeFolder()
{
    std::string home = Environment("HOME");
    if (home.empty()) {
        if (const passwd* pEntry = ::getpwuid(::getuid()))
            home = pEntry->pw_dir ? pEntry->pw_dir : "";
    }
    return home;
}

std::string BelowHome(const char* pXdgVariable, const char* pDefault)
{
    const std::string xdg = pXdgVariable ? Environment(pXdgVariable) : std::string();
    if (!xdg.empty() && xdg.front() == '/')
        return xdg;
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/" + pDefault;
}

std::string CommonAppData()
{
    const bool varLibWritable = ::access("/var/lib/JOX", W_OK) == 0 || ::access("/var/lib", W_OK) == 0;
    return ChooseCommonAppData(Environment("PROGRAMDATA"), varLibWritable,
                               BelowHome("XDG_DATA_HOME", ".local/share"));
}

bool MakeTree(const std::string& rPath)
{
    for (size_t p = rPath.find('/', 1); ; p = rPath.find('/', p + 1)) {
        const std::string prefix = rPath.substr(0, p);
        if (!prefix.empty() && ::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
        if (p == std::string::npos)
            break;
    }
    struct stat info;
    return ::stat(rPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::string ChooseCommonAppData(const std::string& rProgramData, bool bVarLibWritable,
                                const std::string& rUserData)
{
    if (!rProgramData.empty())
        return rProgramData;
    if (bVarLibWritable)
        return "/var/lib/";
    return rUserData;
}

// The nearest Linux folder for each Windows special folder:
//   0 roaming app data   -> $XDG_CONFIG_HOME or ~/.config
//   1 common app data    -> see CommonAppData()
//   2 local app data     -> $XDG_DATA_HOME or ~/.local/share
//   3 common documents   -> /usr/local/share
//   4 program files      -> /opt
//   5 common program files -> /usr/local/lib
//   6 system folder      -> /usr/lib
//   7 Windows folder     -> /etc
//   8 desktop, other     -> ~/Desktop
//   9 profile            -> ~
std::string SpecialFolder(int kind, bool bCreate)
{
    std::string folder;
    switch (kind) {
    case 0: folder = BelowHome("XDG_CONFIG_HOME", ".config"); break;
    case 1: folder = CommonAppData(); break;
    case 2: folder = BelowHome("XDG_DATA_HOME", ".local/share"); break;
    case 3: folder = "/usr/local/share"; break;
    case 4: folder = "/opt"; break;
    case 5: folder = "/usr/local/lib"; break;
    case 6: folder = "/usr/lib"; break;
    case 7: folder = "/etc"; break;
    case 9: folder = HomeFolder(); break;
    default: folder = BelowHome(nullptr, "Desktop"); break;
    }
    if (folder.empty())
        return folder;
    if (bCreate && !MakeTree(folder))
        return std::string();
    return folder;
}

} // namespace platform
} // namespace zephrane
