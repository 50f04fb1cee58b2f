#pragma once

#include <string>

namespace tandriltest {

// Sets (or, with a null value, removes) an environment variable and restores
// the old state when the object goes away.
class ScopedEnv
{
public:
    ScopedEnv(const char* pName, const char* pValue);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string mName;
    std::string mOld;
    bool mHadOld = false;
};

} // namespace tandriltest
