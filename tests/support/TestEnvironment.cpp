#include "TestEnvironment.h"

#include "TempDir.h"

#include <cstdlib>
#include <memory>

namespace tandriltest {

void PrepareTestEnvironment()
{
    static std::unique_ptr<TempDir> programData;
    const char* pExisting = std::getenv("PROGRAMDATA");
    if (!pExisting || !*pExisting) {
        programData = std::make_unique<TempDir>();
        setenv("PROGRAMDATA", programData->Path().c_str(), 1);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

} // namespace tandriltest
