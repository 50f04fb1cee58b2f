#include <zephrane/FolderPaths.h>

#include <zephrane/Exception/Generic.h>
#include <zephrane/Utilities.h>

#include "platform/Platform.h"

namespace zephrane {

std::wstring GetFolderPath(int kind, bool bCreate)
{
    const std::string folder = platform::SpecialFolder(kind, bCreate);
    if (folder.empty())
        throw Exception::Generic("Failed to get folder path.");
    return NormalizePath(Utf8ToWide(folder), true);
}

std::wstring NormalizePath(const std::wstring& rPath, bool bTrailingSeparator)
{
    std::wstring result = rPath;
    const bool network = result.size() >= 2 && result[0] == L'\\' && result[1] == L'\\';
    for (size_t i = network ? 2 : 0; i < result.size(); ++i) {
        if (result[i] == L'\\')
            result[i] = L'/';
    }
    if (bTrailingSeparator && !result.empty() && result.back() != L'/')
        result += L'/';
    return result;
}

std::wstring CommonAppDataFolder()
{
    return GetFolderPath(FolderCommonAppData, true);
}

} // namespace zephrane
