#pragma once

// Stand-in for the debug-help library's minidump writer: a text dump with
// the process id, the fault, a backtrace and the memory map, written with
// async-signal-safe calls only.
namespace platform {

// Loads what the writer needs before any fault (the unwinder library), so
// that a dump written from a signal handler does not allocate. False when
// the writer cannot work.
bool LoadDumpWriter();
// Creates or replaces the file and writes the dump; fault 0 means "no
// signal". False when the file cannot be created or written.
bool WriteDump(const char* pPath, int signalNumber, const char* pFaultText);

} // namespace platform
