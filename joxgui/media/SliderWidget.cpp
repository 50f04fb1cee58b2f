#include <joxgui/SliderWidget.h>

#include <styles/StylePalette.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace JoxGui {

namespace {

template <typename T>
T Clamp(T value, T low, T high)
{
    // Upper bound first, then the lower one.
    return std::max(std::min(value, high), low);
}

QColor ColorOf(SliderWidget::SliderColor color)
{
    switch (color) {
    case SliderWidget::ColorAccent: return StylePalette::ColorAccent;
    case SliderWidget::ColorGrey: return StylePalette::ColorGrey;
    case SliderWidget::ColorRed: return QColor(255, 0, 0);
    case SliderWidget::ColorOrange: return QColor(236, 117, 0);
    case SliderWidget::ColorYellow: return QColor(255, 255, 100);
    case SliderWidget::ColorWhite: break;
    }
    return QColor(255, 255, 255);
}

} // namespace

SliderWidget::SliderWidget(QWidget* pParent)
    : QAbstractSlider(pParent)
{
    setFocusPolicy(Qt::StrongFocus);
}

int SliderWidget::GetMinimum() const { return mMinimum; }
int SliderWidget::GetMaximum() const { return mMaximum; }
int SliderWidget::GetValue() const { return static_cast<int>(mValue); }
MESK_QUAD SliderWidget::GetPositionX() const { return mPositionX; }
MESK_QUAD SliderWidget::GetPositionY() const { return mPositionY; }

void SliderWidget::SetMinimum(int minimum)
{
    mMinimum = minimum;
    update();
}

void SliderWidget::SetMaximum(int maximum)
{
    mMaximum = maximum;
    update();
}

void SliderWidget::SetStep(int step)
{
    mStep = step;
}

QSize SliderWidget::sizeHint() const
{
    return mViewType == ViewHorizontal ? QSize(160, 20) : QSize(20, 160);
}

void SliderWidget::KeepRangeOpen()
{
    // mMinimum + 1 must exist: at the top of int the minimum steps down.
    if (mMinimum == std::numeric_limits<int>::max())
        mMinimum = mMinimum - 1;
    mMaximum = std::max(mMaximum, mMinimum + 1);
}

void SliderWidget::UpdateSlider(int value)
{
    SetPositionX(value);
    SetPositionY(value);
    update();
}

void SliderWidget::UpdateSlider(double value)
{
    if (!std::isfinite(value))
        return;
    // 2^63 is the first double beyond the range; the cast of a truncated
    // value inside it is exact.
    const double limit = 9223372036854775808.0;
    const double truncated = std::trunc(value);
    const MESK_QUAD position = truncated >= limit ? std::numeric_limits<MESK_QUAD>::max()
                               : truncated < -limit ? std::numeric_limits<MESK_QUAD>::min()
                                                    : static_cast<MESK_QUAD>(truncated);
    SetPositionX(position);
    SetPositionY(position);
    update();
}

void SliderWidget::SetPositionX(MESK_QUAD position)
{
    const MESK_QUAD old = mPositionX;
    StorePositions(position, mPositionY);
    if (mPositionX != old)
        emit PositionChangedX(mPositionX);
}

void SliderWidget::SetPositionY(MESK_QUAD position)
{
    const MESK_QUAD old = mPositionY;
    StorePositions(mPositionX, position);
    if (mPositionY != old)
        emit PositionChangedY(mPositionY);
}

void SliderWidget::StorePositions(MESK_QUAD positionX, MESK_QUAD positionY)
{
    KeepRangeOpen();
    mPositionX = Clamp<MESK_QUAD>(positionX, mMinimum, static_cast<MESK_QUAD>(mMaximum) - 1);
    mPositionY = Clamp<MESK_QUAD>(positionY, mMinimum, mMaximum);
    update();
}

void SliderWidget::SetValue(int value)
{
    if (value == mValue)
        return;
    mValue = value;
    update();
    if (hasTracking()) {
        emit ValueChanged(static_cast<MESK_QUAD>(value));
        emit ValueChanged(value / 100.0);
        emit PositionChanged(value);
    }
}

void SliderWidget::Increment()
{
    const MESK_QUAD next = static_cast<MESK_QUAD>(mValue) + mStep;
    SetValue(static_cast<int>(Clamp<MESK_QUAD>(next, mMinimum, mMaximum)));
}

void SliderWidget::Decrement()
{
    const MESK_QUAD next = static_cast<MESK_QUAD>(mValue) - mStep;
    SetValue(static_cast<int>(Clamp<MESK_QUAD>(next, mMinimum, mMaximum)));
}

double SliderWidget::Fraction(double value) const
{
    const double span = static_cast<double>(mMaximum) - mMinimum;
    if (!(span > 0))
        return 0.0;
    return Clamp((value - mMinimum) / span, 0.0, 1.0);
}

int SliderWidget::ValueAt(const QPoint& rPoint) const
{
    const QRect area = contentsRect();
    double fraction = 0.0;
    if (mViewType == ViewHorizontal)
        fraction = area.width() > 1 ? double(rPoint.x() - area.left()) / (area.width() - 1) : 0.0;
    else
        fraction = area.height() > 1 ? double(area.bottom() - rPoint.y()) / (area.height() - 1) : 0.0;
    fraction = Clamp(fraction, 0.0, 1.0);
    return static_cast<int>(std::lround(mMinimum + fraction * (double(mMaximum) - mMinimum)));
}

void SliderWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.fillRect(area, ColorOf(mColorBottom));
    auto span = [&](double from, double to) {
        if (mViewType == ViewHorizontal) {
            const int left = area.left() + int(std::lround(from * (area.width() - 1)));
            const int right = area.left() + int(std::lround(to * (area.width() - 1)));
            return QRect(QPoint(left, area.top()), QPoint(right, area.bottom()));
        }
        const int top = area.bottom() - int(std::lround(to * (area.height() - 1)));
        const int bottom = area.bottom() - int(std::lround(from * (area.height() - 1)));
        return QRect(QPoint(area.left(), top), QPoint(area.right(), bottom));
    };
    if (mMode == ModeRange) {
        painter.fillRect(span(Fraction(double(mPositionX)), Fraction(double(mPositionY))),
                         ColorOf(mColorTop));
    } else {
        const double value = Fraction(mValue);
        if (value > 0)
            painter.fillRect(span(0.0, value), ColorOf(mColorTop));
    }
}

void SliderWidget::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton)
        return;
    mDragging = true;
    emit SliderPressed();
    SetValue(ValueAt(pEvent->position().toPoint()));
}

void SliderWidget::mouseMoveEvent(QMouseEvent* pEvent)
{
    emit MouseMoved();
    if (!mDragging)
        return;
    SetValue(ValueAt(pEvent->position().toPoint()));
    emit SliderMoved();
}

void SliderWidget::mouseReleaseEvent(QMouseEvent* pEvent)
{
    emit MouseReleased();
    if (!mDragging || pEvent->button() != Qt::LeftButton)
        return;
    mDragging = false;
    emit SliderReleased();
}

void SliderWidget::mouseDoubleClickEvent(QMouseEvent*)
{
    SetValue(mDefaultValue);
    emit DoubleClick();
    emit DoubleClick(mDefaultValue);
}

void SliderWidget::wheelEvent(QWheelEvent* pEvent)
{
    if (pEvent->angleDelta().y() > 0)
        Increment();
    else if (pEvent->angleDelta().y() < 0)
        Decrement();
    emit WheelChanged();
}

void SliderWidget::keyPressEvent(QKeyEvent* pEvent)
{
    switch (pEvent->key()) {
    case Qt::Key_Right:
    case Qt::Key_Up:
        Increment();
        break;
    case Qt::Key_Left:
    case Qt::Key_Down:
        Decrement();
        break;
    default:
        QAbstractSlider::keyPressEvent(pEvent);
        return;
    }
    emit KeyPressed();
}

} // namespace JoxGui
