#pragma once

#include <QString>

#include <cstdint>
#include <map>
#include <string>

namespace JoxCore {

class BaseTimecodeConverter;

// How a media position is shown.
enum TimecodeFormat : int { TimecodeFormatFrames = 0, TimecodeFormatTimecode = 1 };

// 0 "Frames", 1 "Timecode".
extern const std::map<int, std::string> TimecodeFormatNames;
// 0 "frames", 1 "timecode".
extern const std::map<int, std::string> TimecodeFormatKeys;

// Shown for a negative position or offset in frame format.
extern const QString EmptyFrameText;
// Shown when the converter cannot make a timecode.
extern const QString EmptyTimecodeText;

// The text for a position: the converter's timecode when pConverter is set
// and format is timecode, else the frame number ("---" when negative).
QString PositionText(const BaseTimecodeConverter* pConverter, int format, int64_t frames,
                     void* pContext);
// As PositionText, with the converter's offset text.
QString OffsetText(const BaseTimecodeConverter* pConverter, int format, int64_t frames,
                   void* pContext);
// As PositionText, with the converter's duration text; a negative duration
// prints as a signed number.
QString DurationText(const BaseTimecodeConverter* pConverter, int format, int64_t frames,
                     void* pContext);

} // namespace JoxCore
