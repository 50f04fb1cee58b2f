#include <joxgui/VolumeSlider.h>

#include <styles/StylePalette.h>

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace JoxGui {

VolumeSlider::VolumeSlider(double minimumDb, double maximumDb, QWidget* pParent)
    : QWidget(pParent)
    , mMinimumDb(minimumDb)
    , mMaximumDb(maximumDb)
{
}

double VolumeSlider::GetVolume() const
{
    return mVolume;
}

double VolumeSlider::GetDecibel() const
{
    return 20.0 * std::log10(std::max(mVolume, 1e-9));
}

QSize VolumeSlider::sizeHint() const
{
    return QSize(120, 16);
}

void VolumeSlider::Reset()
{
    SetDecibel(0.0);
}

void VolumeSlider::SetDecibel(double decibel)
{
    if (!std::isfinite(decibel))
        return;
    const double clamped = std::max(std::min(decibel, mMaximumDb), mMinimumDb);
    SetVolume(std::pow(10.0, clamped / 20.0));
}

void VolumeSlider::SetVolume(double gain)
{
    if (!std::isfinite(gain) || gain == mVolume)
        return;
    mVolume = gain;
    emit VolumeChanged(gain);
    update();
}

double VolumeSlider::Fraction() const
{
    const double span = mMaximumDb - mMinimumDb;
    if (!(span > 0))
        return 0.0;
    const double fraction = (GetDecibel() - mMinimumDb) / span;
    return std::max(std::min(fraction, 1.0), 0.0);
}

void VolumeSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.fillRect(area, StylePalette::ColorPanel);
    const int filled = static_cast<int>(std::lround(Fraction() * area.width()));
    if (filled > 0)
        painter.fillRect(QRect(area.left(), area.top(), filled, area.height()), StylePalette::ColorAccent);
}

void VolumeSlider::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() == Qt::LeftButton)
        SetFromPoint(pEvent->position().toPoint());
}

void VolumeSlider::mouseMoveEvent(QMouseEvent* pEvent)
{
    if (pEvent->buttons() & Qt::LeftButton)
        SetFromPoint(pEvent->position().toPoint());
}

void VolumeSlider::SetFromPoint(const QPoint& rPoint)
{
    const QRect area = contentsRect();
    if (area.width() <= 0)
        return;
    const double fraction = std::max(std::min(double(rPoint.x() - area.left()) / area.width(), 1.0), 0.0);
    SetDecibel(mMinimumDb + fraction * (mMaximumDb - mMinimumDb));
}

} // namespace JoxGui
