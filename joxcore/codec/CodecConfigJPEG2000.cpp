#include <joxcore/CodecConfigJPEG2000.h>

#include <joxlog/JoxLog.h>

#include <cmath>

namespace JoxCore {

namespace {

const QByteArray mpConstantBitRate("constant_bit_rate");
const QByteArray mpConstantNoLimit("constant_no_limit");
const QByteArray mpFrameRate("frame_rate");
const QByteArray mpTransformEffect("jp2kmctransform");
const QByteArray mpTransform("transform");
const QByteArray mpRateControlEffect("jp2kratecontrol");
const QByteArray mpCodestreamSize("codestreamsize");
const QByteArray mpEditLagEffect("vtreditlag");
const QByteArray mpEditLag("editlag");
const QByteArray mpDisplayLag("flowdisplaylag");

const double mpMaximumSize = 9007199254740992.0; // 2^53

} // namespace

CodecConfigJPEG2000::CodecConfigJPEG2000() = default;

void CodecConfigJPEG2000::SetDefaults(const CodecConfig* pSource)
{
    if (!CopyIfSameKind(*this, pSource))
        Clear();
}

std::optional<qint64> CodecConfigJPEG2000::CodestreamSize(int rate, double frameRate)
{
    if (rate < 0 || !std::isfinite(frameRate) || frameRate <= 0.0)
        return std::nullopt;
    const double size = rate / (frameRate * 8.0) * 1000000.0 + 0.5;
    if (!(size < mpMaximumSize))
        return std::nullopt;
    return static_cast<qint64>(size);
}

int CodecConfigJPEG2000::GetConstantBitRate() const
{
    return GetAdditional(mpConstantBitRate).toInt();
}

bool CodecConfigJPEG2000::SetConstantBitRate(int rate)
{
    // No code-stream size follows from a negative rate, and "-1" would mark
    // it as unlimited while the flag says limited.
    if (rate < 0) {
        JoxCore::Log(2, 0, "CodecConfig", "rate < 0", __FILE__, __LINE__, __func__);
        return false;
    }
    SetAdditional(mpConstantBitRate, QString::number(rate));
    return UpdateCodestreamSize();
}

bool CodecConfigJPEG2000::GetConstantNoLimit() const
{
    return GetAdditional(mpConstantNoLimit).toInt() != 0;
}

bool CodecConfigJPEG2000::SetConstantNoLimit(bool noLimit)
{
    SetAdditional(mpConstantNoLimit, noLimit ? QStringLiteral("1") : QStringLiteral("0"));
    return UpdateCodestreamSize();
}

bool CodecConfigJPEG2000::UpdateCodestreamSize()
{
    if (GetConstantNoLimit()) {
        SetEffectParameter(mpRateControlEffect, mpCodestreamSize, QStringLiteral("-1"));
        return true;
    }
    const std::optional<qint64> size = CodestreamSize(GetConstantBitRate(), GetFrameRate());
    if (!size) {
        JoxCore::Log(2, 0, "CodecConfig", "!CodestreamSize(GetConstantBitRate(), GetFrameRate())", __FILE__,
                     __LINE__, __func__);
        SetEffectParameter(mpRateControlEffect, mpCodestreamSize, QStringLiteral("-1"));
        return false;
    }
    SetEffectParameter(mpRateControlEffect, mpCodestreamSize, QString::number(*size));
    return true;
}

double CodecConfigJPEG2000::GetFrameRate() const
{
    return GetAdditional(mpFrameRate).toDouble();
}

bool CodecConfigJPEG2000::GetTransform() const
{
    return GetEffectParameter(mpTransformEffect, mpTransform).toInt() != 0;
}

void CodecConfigJPEG2000::SetTransform(bool transform)
{
    SetEffectParameter(mpTransformEffect, mpTransform, transform ? QStringLiteral("1") : QStringLiteral("0"));
}

int CodecConfigJPEG2000::GetEditLag() const
{
    return GetOptionInt(mpDisplayLag);
}

void CodecConfigJPEG2000::SetEditLag(int frames)
{
    SetEffectParameter(mpEditLagEffect, mpEditLag, QString::number(frames));
    SetOptionInt(mpDisplayLag, frames);
}

} // namespace JoxCore
