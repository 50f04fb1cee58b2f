#include <joxcore/SimpleTimecodeConverter.h>

namespace JoxCore {

SimpleTimecodeConverter::SimpleTimecodeConverter(int framesPerSecond, QObject* pParent)
    : BaseTimecodeConverter(pParent), mFramesPerSecond(framesPerSecond)
{
}

SimpleTimecodeConverter::~SimpleTimecodeConverter() = default;

void SimpleTimecodeConverter::SetFramesPerSecond(int framesPerSecond)
{
    if (framesPerSecond == mFramesPerSecond)
        return;
    mFramesPerSecond = framesPerSecond;
    emit UpdateTimecode();
}

void SimpleTimecodeConverter::SetTimecodeMode(int mode)
{
    const int stored = mode != 0 ? 1 : 0;
    if (stored == mMode)
        return;
    mMode = stored;
    emit UpdateTimecode();
}

QString SimpleTimecodeConverter::PositionToText(int64_t frames, void*) const
{
    return frames < 0 ? QString() : SignedText(frames);
}

QString SimpleTimecodeConverter::OffsetToText(int64_t frames, void*) const
{
    return SignedText(frames);
}

QString SimpleTimecodeConverter::DurationToText(int64_t frames, void*) const
{
    return SignedText(frames);
}

QString SimpleTimecodeConverter::SignedText(int64_t frames) const
{
    if (mFramesPerSecond < 1)
        return QString();
    // Unsigned, so the most negative count has a magnitude too.
    const quint64 magnitude = frames < 0 ? 0 - static_cast<quint64>(frames) : static_cast<quint64>(frames);
    const quint64 rate = static_cast<quint64>(mFramesPerSecond);
    const quint64 seconds = magnitude / rate;
    const QLatin1Char zero('0');
    return QStringLiteral("%1%2:%3:%4:%5")
        .arg(frames < 0 ? QStringLiteral("-") : QString(), QString::number(seconds / 3600).rightJustified(2, zero),
             QString::number(seconds / 60 % 60).rightJustified(2, zero),
             QString::number(seconds % 60).rightJustified(2, zero),
             QString::number(magnitude % rate).rightJustified(2, zero));
}

} // namespace JoxCore
