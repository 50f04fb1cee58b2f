#include "joxwsstreaming/DimeFileHandle.h"

namespace joxwsstreaming {

DimeFileHandle::DimeFileHandle(const std::string& rPath, const std::string& rLookupKey)
    : mFile(rPath, std::ios::out | std::ios::binary | std::ios::trunc)
    , mLookupKey(rLookupKey)
{
}

} // namespace joxwsstreaming
