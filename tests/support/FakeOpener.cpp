#include "FakeOpener.h"

#include <cstdlib>
#include <sys/stat.h>

namespace tandriltest {

FakeOpener::FakeOpener(int exitCode)
{
    // Written under another name and moved into place, so that a reader
    // never sees half the arguments.
    const std::string script = mTemp.File("xdg-open");
    WriteFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + mTemp.File("args.new") +
                          "'\nmv '" + mTemp.File("args.new") + "' '" + mTemp.File("args") + "'\nexit " +
                          std::to_string(exitCode) + "\n");
    chmod(script.c_str(), 0755);
    mOldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (mTemp.Path() + ":" + mOldPath).c_str(), 1);
}

FakeOpener::~FakeOpener()
{
    setenv("PATH", mOldPath.c_str(), 1);
}

std::string FakeOpener::Arguments() const
{
    return ReadFile(mTemp.File("args"));
}

} // namespace tandriltest
