#pragma once

#include <signal.h>

// Stand-in for the debug-help library's minidump writer. The dump is a core
// file of the whole process (every thread's registers and stack, the writable
// data) written by gdb attached to the process; without gdb, or when it fails,
// a text dump (fault, address, registers, backtrace, modules with their build
// ids, memory map). Everything that runs at fault time is async-signal-safe.
namespace platform {

// Prepares the writer before any fault: looks up gdb on PATH and loads the
// unwinder, so that a dump written from a signal handler does not allocate.
// False when no dump can be written at all.
bool LoadDumpWriter();
// Whether LoadDumpWriter found gdb (never in an AddressSanitizer build).
bool HasCoreWriter();
// Gives the calling thread an alternate signal stack, so that a stack
// overflow still reaches the handlers. False when it cannot be set.
bool InstallAlternateStack();
// Creates or replaces the file and writes the dump: first the core, then the
// text dump when no core was written. Fault 0 means "no signal"; pInfo and
// pContext (a ucontext_t) may be null. False when nothing was written.
bool WriteDump(const char* pPath, int signalNumber, const char* pFaultText,
               const siginfo_t* pInfo, const void* pContext);

} // namespace platform
