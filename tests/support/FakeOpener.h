#pragma once

#include "TempDir.h"

#include <string>

namespace tandriltest {

// Puts a stand-in "xdg-open" first on PATH for as long as it lives: it writes
// its arguments, one a line, to a file and exits with the given code. A held
// one stays after writing them until Release (or for at most 30 s), as an
// opener does that waits for the document's program.
class FakeOpener
{
public:
    explicit FakeOpener(int exitCode = 0, bool hold = false);
    ~FakeOpener();
    FakeOpener(const FakeOpener&) = delete;
    FakeOpener& operator=(const FakeOpener&) = delete;

    // The arguments of the last run, each followed by a line feed; empty
    // before the first run has finished writing them.
    std::string Arguments() const;
    // Lets a held opener end.
    void Release() const;
    const TempDir& Temp() const { return mTemp; }

private:
    TempDir mTemp;
    std::string mOldPath;
};

} // namespace tandriltest
