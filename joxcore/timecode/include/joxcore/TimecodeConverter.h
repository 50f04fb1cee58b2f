#pragma once

#include <joxcore/SimpleTimecodeConverter.h>

namespace JoxCore {

// A SimpleTimecodeConverter that also tells when its display mode changes,
// for controls that show the mode.
class TimecodeConverter : public SimpleTimecodeConverter
{
    Q_OBJECT

public:
    explicit TimecodeConverter(int framesPerSecond = 25, QObject* pParent = nullptr);
    ~TimecodeConverter() override;

    // As the base; ModeChanged follows UpdateTimecode when the mode changes.
    void SetTimecodeMode(int mode) override;

signals:
    // The mode switched between frames and timecode.
    void ModeChanged();
};

} // namespace JoxCore
