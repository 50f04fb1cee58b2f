#include <joxcore/TimecodeTexts.h>

#include <joxcore/BaseTimecodeConverter.h>

namespace JoxCore {

const std::map<int, std::string> TimecodeFormatNames = {{TimecodeFormatFrames, "Frames"},
                                                        {TimecodeFormatTimecode, "Timecode"}};
const std::map<int, std::string> TimecodeFormatKeys = {{TimecodeFormatFrames, "frames"},
                                                       {TimecodeFormatTimecode, "timecode"}};

const QString EmptyFrameText = QStringLiteral("---");
const QString EmptyTimecodeText = QStringLiteral("--:--:--:--");

namespace {

using ConverterText = QString (BaseTimecodeConverter::*)(int64_t, void*) const;

QString FrameText(const BaseTimecodeConverter* pConverter, int format, int64_t frames,
                  void* pContext, ConverterText text, bool negativeIsEmpty)
{
    if (pConverter != nullptr && format == TimecodeFormatTimecode) {
        const QString result = (pConverter->*text)(frames, pContext);
        return result.isEmpty() ? EmptyTimecodeText : result;
    }
    if (negativeIsEmpty && frames < 0)
        return EmptyFrameText;
    return QString::number(static_cast<qlonglong>(frames), 10);
}

} // namespace

QString PositionText(const BaseTimecodeConverter* pConverter, int format, int64_t frames,
                     void* pContext)
{
    return FrameText(pConverter, format, frames, pContext, &BaseTimecodeConverter::PositionToText,
                     true);
}

QString OffsetText(const BaseTimecodeConverter* pConverter, int format, int64_t frames,
                   void* pContext)
{
    return FrameText(pConverter, format, frames, pContext, &BaseTimecodeConverter::OffsetToText,
                     true);
}

QString DurationText(const BaseTimecodeConverter* pConverter, int format, int64_t frames,
                     void* pContext)
{
    return FrameText(pConverter, format, frames, pContext, &BaseTimecodeConverter::DurationToText,
                     false);
}

} // namespace JoxCore
