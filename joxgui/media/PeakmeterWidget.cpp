#include <joxgui/PeakmeterWidget.h>

#include <styles/StylePalette.h>

#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace JoxGui {

const double PeakmeterWidget::mpScaleBase = 2.160119477784612;
const double PeakmeterWidget::mpInverseLog10ScaleBase = 1.0 / std::log10(2.160119477784612);
const double PeakmeterWidget::mpInverseLog10Of2_5 = 1.0 / std::log10(2.5);

namespace {

const QColor kPeakColor(255, 255, 100);

double DecibelToGain(double decibel)
{
    return std::pow(10.0, decibel / 20.0);
}

} // namespace

PeakmeterWidget::PeakmeterWidget(double minimumDb, double maximumDb, QWidget* pParent)
    : QWidget(pParent)
    , mMinimumDb(minimumDb)
    , mMaximumDb(maximumDb)
{
}

void PeakmeterWidget::SetRange(double minimumDb, double maximumDb)
{
    mMinimumDb = minimumDb;
    mMaximumDb = maximumDb;
    update();
}

void PeakmeterWidget::SetSegments(int height, int gap)
{
    mSegmentHeight = std::max(1, height);
    mSegmentGap = std::max(0, gap);
    update();
}

void PeakmeterWidget::SetPeakFallStep(double step)
{
    mPeakFallStep = step;
}

double PeakmeterWidget::GetVolume() const
{
    return mVolume;
}

double PeakmeterWidget::GetPeakVolume() const
{
    return mPeakVolume;
}

QSize PeakmeterWidget::sizeHint() const
{
    return QSize(12, 150);
}

void PeakmeterWidget::Reset()
{
    mVolume = 0.0;
    mPeakVolume = 0.0;
    mPeakHold = false;
    update();
}

void PeakmeterWidget::SetDecibel(double decibel)
{
    if (std::isfinite(decibel))
        SetVolume(DecibelToGain(std::max(std::min(decibel, mMaximumDb), mMinimumDb)));
}

void PeakmeterWidget::SetPeakDecibel(double decibel)
{
    if (std::isfinite(decibel))
        SetPeakVolume(DecibelToGain(std::max(std::min(decibel, mMaximumDb), mMinimumDb)));
}

void PeakmeterWidget::SetVolume(double gain)
{
    if (!std::isfinite(gain))
        return;
    if (gain != mVolume) {
        const double old = mVolume;
        mVolume = gain;
        emit VolumeChanged(gain);
        RepaintBand(old, gain);
    }
    if (ClockMicroseconds() - mPeakTime > 99999 && mPeakVolume > 0 && !mPeakHold) {
        const double fall = mPeakFall;
        mPeakFall += mPeakFallStep;
        SetPeakVolume(mPeakVolume - fall);
    }
    if (mVolume >= mPeakVolume)
        SetPeakVolume(mVolume);
}

void PeakmeterWidget::SetPeakVolume(double gain)
{
    if (!std::isfinite(gain))
        return;
    if (gain <= 0)
        gain = 0.0;
    if (gain == mPeakVolume)
        return;
    if (gain > mPeakVolume)
        mPeakFall = 0.0;
    const double old = mPeakVolume;
    mPeakVolume = gain;
    emit PeakVolumeChanged(gain);
    mPeakTime = ClockMicroseconds();
    RepaintBand(old, gain);
}

void PeakmeterWidget::SetPeakValueHoldState(bool hold)
{
    mPeakHold = hold;
}

void PeakmeterWidget::ResetPeakValue()
{
    SetPeakVolume(mVolume);
}

int64_t PeakmeterWidget::ClockMicroseconds() const
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

double PeakmeterWidget::Fraction(double gain) const
{
    const double decibel = 20.0 * std::log10(gain > 1e-9 ? gain : 1e-9);
    const double clamped = std::max(std::min(decibel, mMaximumDb), mMinimumDb);
    const double low = std::pow(mpScaleBase, std::min(mMinimumDb, mMaximumDb) / 20.0);
    const double high = std::pow(mpScaleBase, mMaximumDb / 20.0);
    // An empty or reversed range has no scale: everything sits at the floor.
    if (!(high > low))
        return 0.0;
    const double fraction = (std::pow(mpScaleBase, clamped / 20.0) - low) / (high - low);
    return std::isfinite(fraction) ? std::max(std::min(fraction, 1.0), 0.0) : 0.0;
}

int PeakmeterWidget::RowOf(double gain) const
{
    const QRect area = contentsRect();
    return static_cast<int>(area.bottom() + 1 - area.height() * Fraction(gain) + 0.5);
}

void PeakmeterWidget::RepaintBand(double gainA, double gainB)
{
    const int a = RowOf(gainA);
    const int b = RowOf(gainB);
    const int pitch = std::max(1, mSegmentHeight + mSegmentGap);
    const int top = pitch * ((std::min(a, b) - 1) / pitch);
    const int bottom = pitch * ((std::max(a, b) + 1) / pitch + 1);
    update(QRect(0, top, width(), bottom - top + 1));
}

void PeakmeterWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.fillRect(rect(), StylePalette::ColorWindow);
    const int pitch = std::max(1, mSegmentHeight + mSegmentGap);
    const int level = RowOf(mVolume);
    const int peak = RowOf(mPeakVolume);
    for (int bottom = area.bottom(); bottom >= area.top(); bottom -= pitch) {
        const int top = std::max(area.top(), bottom - mSegmentHeight + 1);
        const QRect segment(QPoint(area.left(), top), QPoint(area.right(), bottom));
        QColor color = StylePalette::ColorPanel;
        if (mVolume > 0 && bottom >= level && level <= area.bottom())
            color = StylePalette::ColorAccent;
        if (mPeakVolume > 0 && peak >= top - mSegmentGap && peak <= bottom && peak <= area.bottom())
            color = kPeakColor;
        painter.fillRect(segment, color);
    }
}

} // namespace JoxGui
