#pragma once

#include <cstddef>
#include <string>

namespace zephrane {

// Runs a shell action on a file: "open" with no parameters opens the document
// with its default application (xdg-open); with parameters the file is started
// as a program with them as arguments. Nothing goes through a shell. bShow is
// kept for callers; the desktop decides how a window appears. With bWait it
// waits for the started process, and a non-zero exit fails the wait. Throws
// Exception::Generic naming operation, command and arguments.
void ExecuteCommand(const std::wstring& rVerb, const std::wstring& rFile,
                    const std::wstring& rParameters, bool bShow, bool bWait);

// ExecuteCommand with the verb "open" and no parameters.
void OpenDocument(const std::wstring& rPath, bool bShow, bool bWait);

// The folder of the running program, with a trailing '/'.
std::wstring ExecutableDirectory();

bool DirectoryExists(const std::wstring& rPath);
// Like DirectoryExists after removing one trailing '/'; false below two characters.
bool IsDirectoryPath(const std::wstring& rPath);
// True for an existing file that is neither a folder nor a device.
bool FileExists(const std::wstring& rPath);
// Creates one folder; when that fails, whether the path is a folder already.
// Throws when the path cannot be created and does not exist.
bool CreateSingleDirectory(const std::wstring& rPath);
// Creates every missing folder of the path, outermost first.
bool CreateDirectoryPath(const std::wstring& rPath);

// UTF-8 of the code points, up to length units (0: up to the terminator);
// a null text gives an empty string.
std::string WideToUtf8(const wchar_t* pText, std::size_t length = 0);
std::string WideToUtf8(const std::wstring& rText);
// Character by character through the default locale's narrowing.
std::string WideToLocal8Bit(const std::wstring& rText);
// The code points of a UTF-8 text; malformed bytes become U+FFFD.
std::wstring Utf8ToWide(const std::string& rText);

} // namespace zephrane
