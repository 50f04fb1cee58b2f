#include <joxraw/ParameterFacade.h>

namespace JoxRaw {

ParameterFacade::ParameterFacade(bool enabled, bool visible, bool readOnly)
    : mEnabled(enabled)
    , mVisible(visible)
    , mReadOnly(readOnly)
{
}

bool ParameterFacade::operator==(const ParameterFacade& rOther) const
{
    return mEnabled == rOther.mEnabled && mVisible == rOther.mVisible && mReadOnly == rOther.mReadOnly;
}

} // namespace JoxRaw
