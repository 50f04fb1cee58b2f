#pragma once

// Linux stand-ins for the Windows shell, file and module APIs that the utility
// library is written against. Paths cross this layer as UTF-8.

#include <string>
#include <vector>

namespace zephrane {
namespace platform {

struct FileAttributes
{
    bool mReadable = false;  // the path's attributes could be read
    bool mDirectory = false;
    bool mDevice = false;    // character or block device
};

FileAttributes QueryAttributes(const std::string& rPath);

// mkdir with the default mode; 0 on success, else errno.
int MakeDirectory(const std::string& rPath);

// The system's text for an error number.
std::string ErrorText(int error);

// The machine-wide application data folder: PROGRAMDATA when set, else
// /var/lib/ for a process that may write there (root, or a /var/lib/JOX/
// prepared for it), else the user's data folder, so that an operator without
// root still keeps a log and settings.
std::string ChooseCommonAppData(const std::string& rProgramData, bool bVarLibWritable,
                                const std::string& rUserData);

// The special folder of a kind before normalization; empty when there is
// none. With bCreate the folder and its parents are created; a failure there
// also gives an empty result.
std::string SpecialFolder(int kind, bool bCreate);

// The running program's path from /proc/self/exe; empty on failure.
std::string ExecutablePath();

struct ProcessResult
{
    int mStartError = 0;   // errno of a failed start, else 0
    bool mWaitFailed = false;
};

// Starts the program with the arguments directly (no shell). With bWait it
// waits for the exit and reports a non-zero status or abnormal end as a
// failed wait; without, the child is reaped in the background.
ProcessResult StartProcess(const std::string& rProgram, const std::vector<std::string>& rArguments,
                           bool bWait);

} // namespace platform
} // namespace zephrane
