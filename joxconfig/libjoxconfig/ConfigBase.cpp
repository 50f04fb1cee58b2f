#include <joxconfig/ConfigBase.h>

namespace JoxConfig {

ConfigBase::ConfigBase()
    : mType(0)
{
}

ConfigBase::~ConfigBase() = default;

void ConfigBase::SetType(int type)
{
    mType = type;
}

int ConfigBase::GetType() const
{
    return mType;
}

} // namespace JoxConfig
