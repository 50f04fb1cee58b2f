#include <joxcore/TimecodeConverter.h>

namespace JoxCore {

TimecodeConverter::TimecodeConverter(int framesPerSecond, QObject* pParent)
    : SimpleTimecodeConverter(framesPerSecond, pParent)
{
}

TimecodeConverter::~TimecodeConverter() = default;

void TimecodeConverter::SetTimecodeMode(int mode)
{
    const int before = GetTimecodeMode();
    SimpleTimecodeConverter::SetTimecodeMode(mode);
    if (GetTimecodeMode() != before)
        emit ModeChanged();
}

} // namespace JoxCore
