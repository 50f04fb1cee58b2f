#pragma once

#include <string>

namespace zephrane {

// Kinds of special folder. On Linux they map to the nearest XDG or FHS
// folder (see platform/PlatformFolders.cpp); only kind 1 is used here.
enum FolderKind
{
    FolderUserAppData = 0,
    FolderCommonAppData = 1,
    FolderLocalAppData = 2,
    FolderCommonDocuments = 3,
    FolderProgramFiles = 4,
    FolderCommonProgramFiles = 5,
    FolderSystem = 6,
    FolderWindows = 7,
    FolderDesktop = 8,
    FolderProfile = 9
};

// The folder of the given kind, '/'-separated with a trailing '/'; created
// when bCreate is set. Throws Exception::Generic "Failed to get folder path.".
std::wstring GetFolderPath(int kind, bool bCreate);

// Backslashes become '/', except the two that open a network path; with
// bTrailingSeparator a non-empty path gets a trailing '/'.
std::wstring NormalizePath(const std::wstring& rPath, bool bTrailingSeparator);

// The machine-wide application data folder, created when missing: PROGRAMDATA
// when set, else /var/lib/ when writable, else the user's data folder.
std::wstring CommonAppDataFolder();

} // namespace zephrane
