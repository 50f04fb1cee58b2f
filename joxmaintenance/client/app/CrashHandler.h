#pragma once

#include <string>

// Writes one dump of the process into the temporary folder when it fails
// hard: on a fatal signal (abort, floating-point error, illegal instruction,
// segmentation fault, bus error) and on terminate. Only the first fault
// writes a dump: a core file when gdb is on PATH, else a text dump.

// The handlers for a dump named pName in the temporary folder: TEMP, else
// TMPDIR, else /tmp; false for an empty name or when installation failed.
bool InstallCrashHandler(const char* pName);
// The once-per-process installation; a later call only reports whether the
// first one succeeded.
bool RegisterCrashHandlers(const std::string& rPath);
// Writes the dump of the running process now; false when it was not written.
bool WriteMiniDump(const char* pPath);
// The path InstallCrashHandler would use for the name.
std::string CrashDumpPath(const char* pName);
