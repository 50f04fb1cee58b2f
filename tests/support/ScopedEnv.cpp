#include "ScopedEnv.h"

#include <cstdlib>

namespace tandriltest {

ScopedEnv::ScopedEnv(const char* pName, const char* pValue)
    : mName(pName)
{
    if (const char* pOld = std::getenv(pName)) {
        mOld = pOld;
        mHadOld = true;
    }
    if (pValue)
        setenv(pName, pValue, 1);
    else
        unsetenv(pName);
}

ScopedEnv::~ScopedEnv()
{
    if (mHadOld)
        setenv(mName.c_str(), mOld.c_str(), 1);
    else
        unsetenv(mName.c_str());
}

} // namespace tandriltest
