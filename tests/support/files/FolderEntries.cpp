#include "FolderEntries.h"

#include <dirent.h>

#include <algorithm>

namespace tandriltest {

std::vector<std::string> FolderEntries(const std::string& rFolder)
{
    std::vector<std::string> names;
    if (DIR* pDir = ::opendir(rFolder.c_str()))
    {
        while (dirent* pEntry = ::readdir(pDir))
        {
            const std::string name = pEntry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(pDir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace tandriltest
