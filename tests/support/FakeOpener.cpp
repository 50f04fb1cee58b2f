#include "FakeOpener.h"

#include <cstdlib>
#include <sys/stat.h>

namespace tandriltest {

FakeOpener::FakeOpener(int exitCode, bool hold)
{
    // Written under another name and moved into place, so that a reader
    // never sees half the arguments.
    const std::string script = mTemp.File("xdg-open");
    const std::string wait = hold ? "i=0\nwhile [ ! -e '" + mTemp.File("release") +
                                        "' ] && [ $i -lt 600 ]; do sleep 0.05; i=$((i+1)); done\n"
                                  : std::string();
    WriteFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + mTemp.File("args.new") +
                          "'\nmv '" + mTemp.File("args.new") + "' '" + mTemp.File("args") + "'\n" + wait + "exit " +
                          std::to_string(exitCode) + "\n");
    chmod(script.c_str(), 0755);
    mOldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (mTemp.Path() + ":" + mOldPath).c_str(), 1);
}

FakeOpener::~FakeOpener()
{
    // A held run left by a failed test ends soon.
    Release();
    setenv("PATH", mOldPath.c_str(), 1);
}

std::string FakeOpener::Arguments() const
{
    return ReadFile(mTemp.File("args"));
}

void FakeOpener::Release() const
{
    WriteFile(mTemp.File("release"), "");
}

} // namespace tandriltest
