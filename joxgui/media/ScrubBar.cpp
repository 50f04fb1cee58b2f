#include <joxgui/ScrubBar.h>

#include <styles/StylePalette.h>

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace JoxGui {

namespace {

const QColor kInOutColor(167, 175, 190);
const QColor kSpecialColor(236, 117, 0);
const double kGrabDistance = 4.0;

MESK_QUAD Clamp(MESK_QUAD value, MESK_QUAD low, MESK_QUAD high)
{
    // Upper bound first, then the lower one.
    return std::max(std::min(value, high), low);
}

ScrubBar::AreaMode ValidMode(ScrubBar::AreaMode mode)
{
    return mode == 1 || mode == 2 ? mode : 0;
}

// Runs the Begin signal, the body and the End signal of a slot.
template <typename Body>
void Moving(ScrubBar* pBar, void (ScrubBar::*pBegin)(), void (ScrubBar::*pEnd)(), Body body)
{
    emit(pBar->*pBegin)();
    body();
    emit(pBar->*pEnd)();
}

} // namespace

ScrubBar::ScrubBar(QWidget* pParent)
    : QWidget(pParent)
    , mPositionMarker(QStringLiteral(":/data/scrubbar_playhead.png"))
{
    UpdateFixedHeight();
}

MESK_QUAD ScrubBar::GetMinimum() const { return mMinimum; }
MESK_QUAD ScrubBar::GetMaximum() const { return mMaximum; }
MESK_QUAD ScrubBar::GetPosition() const { return mPosition; }
MESK_QUAD ScrubBar::GetInpoint() const { return mInpoint; }
MESK_QUAD ScrubBar::GetOutpoint() const { return mOutpoint; }
MESK_QUAD ScrubBar::GetSpecialIn() const { return mSpecialIn; }
MESK_QUAD ScrubBar::GetSpecialOut() const { return mSpecialOut; }
int ScrubBar::GetMovingElement() const { return mMovingElement; }

double ScrubBar::ValueToX(MESK_QUAD value) const
{
    return (contentsRect().width() - 3) * (double(value) - double(mMinimum))
               / (double(mMaximum) - double(mMinimum))
           + 1;
}

MESK_QUAD ScrubBar::XToValue(double x) const
{
    const double span = contentsRect().width() - 3;
    if (span <= 0)
        return mMinimum;
    const double value = double(mMinimum) + (x - 1) * (double(mMaximum) - double(mMinimum)) / span;
    if (value <= double(mMinimum))
        return mMinimum;
    if (value >= double(mMaximum))
        return mMaximum;
    return static_cast<MESK_QUAD>(std::llround(value));
}

void ScrubBar::ClampValues(bool bRepaint)
{
    if (mMinimum < 1)
        mMinimum = 0;
    // mMinimum + 1 must exist: at the top of the range the minimum steps down.
    if (mMinimum == std::numeric_limits<MESK_QUAD>::max())
        mMinimum = mMinimum - 1;
    mMaximum = std::max(mMaximum, mMinimum + 1);
    mPosition = Clamp(mPosition, mMinimum, mMaximum);
    mInpoint = Clamp(mInpoint, mMinimum, mMaximum - 1);
    mOutpoint = Clamp(mOutpoint, mInpoint + 1, mMaximum);
    mSpecialIn = Clamp(mSpecialIn, mMinimum, mMaximum - 1);
    mSpecialOut = Clamp(mSpecialOut, mSpecialIn + 1, mMaximum);
    if (bRepaint)
        update();
}

void ScrubBar::UpdateFixedHeight()
{
    const int height = mTrimMode == 2 && !mTextHidden ? fontMetrics().height() + 15 : 23;
    setMinimumWidth(16);
    setMinimumHeight(height);
    setMaximumHeight(height);
}

void ScrubBar::SetTrimMode(AreaMode mode)
{
    mTrimMode = ValidMode(mode);
    UpdateFixedHeight();
    update();
}

void ScrubBar::SetSpecialMode(AreaMode mode)
{
    mSpecialMode = ValidMode(mode);
    UpdateFixedHeight();
    update();
}

void ScrubBar::SetMinimum(MESK_QUAD minimum)
{
    mMinimum = minimum;
    ClampValues(true);
}

void ScrubBar::SetMaximum(MESK_QUAD maximum)
{
    mMaximum = maximum;
    ClampValues(true);
}

void ScrubBar::SetRange(MESK_QUAD minimum, MESK_QUAD maximum)
{
    mMinimum = minimum;
    mMaximum = maximum;
    ClampValues(true);
}

void ScrubBar::UpdatePosition(MESK_QUAD position)
{
    const MESK_QUAD old = mPosition;
    mPosition = position;
    ClampValues(false);
    const double markerWidth = mPositionMarker.width();
    const int left = int(std::lround(ValueToX(std::min(old, mPosition)) - markerWidth));
    const int right = int(std::lround(ValueToX(std::max(old, mPosition)) + markerWidth)) - 1;
    update(QRect(QPoint(left, 0), QPoint(right, height() - 1)));
    if (mPosition != old)
        emit PositionChanged(mPosition);
}

void ScrubBar::UpdateInpoint(MESK_QUAD inpoint, bool bPush)
{
    UpdateInOut(inpoint, bPush && inpoint >= mOutpoint ? mMaximum : mOutpoint);
}

void ScrubBar::UpdateOutpoint(MESK_QUAD outpoint, bool bPush)
{
    UpdateInOut(bPush && mInpoint >= outpoint ? mMinimum : mInpoint, outpoint);
}

void ScrubBar::UpdateInOut(MESK_QUAD inpoint, MESK_QUAD outpoint)
{
    const MESK_QUAD oldIn = mInpoint;
    const MESK_QUAD oldOut = mOutpoint;
    StoreRange(mInpoint, mOutpoint, inpoint, outpoint);
    if (mInpoint != oldIn)
        emit InpointChanged(mInpoint);
    if (mOutpoint != oldOut)
        emit OutpointChanged(mOutpoint);
}

bool ScrubBar::StorePoint(MESK_QUAD& rPoint, MESK_QUAD value)
{
    const MESK_QUAD old = rPoint;
    rPoint = value;
    ClampValues(false);
    update();
    return rPoint != old;
}

bool ScrubBar::StoreRange(MESK_QUAD& rIn, MESK_QUAD& rOut, MESK_QUAD inpoint, MESK_QUAD outpoint)
{
    const MESK_QUAD oldIn = rIn;
    const MESK_QUAD oldOut = rOut;
    rIn = inpoint;
    rOut = outpoint;
    ClampValues(false);
    update();
    return rIn != oldIn || rOut != oldOut;
}

bool ScrubBar::DragRange(MESK_QUAD& rIn, MESK_QUAD& rOut, double x)
{
    const MESK_QUAD length = rOut - rIn;
    const MESK_QUAD in = std::min(XToValue(x - mDragOffset), mMaximum - length);
    if (in == rIn)
        return false;
    rIn = in;
    rOut = in + length;
    ClampValues(true);
    return true;
}

void ScrubBar::SetPosition(MESK_QUAD position)
{
    if (mMovingElement == MovingPosition)
        return;
    Moving(this, &ScrubBar::BeginPositionMoving, &ScrubBar::EndPositionMoving,
           [&] { UpdatePosition(position); });
}

void ScrubBar::SetInpoint(MESK_QUAD inpoint, bool bPush)
{
    if (mMovingElement == MovingIn || mMovingElement == MovingInOut)
        return;
    Moving(this, &ScrubBar::BeginInpointMoving, &ScrubBar::EndInpointMoving,
           [&] { UpdateInpoint(inpoint, bPush); });
}

void ScrubBar::SetInpoint(MESK_QUAD inpoint)
{
    SetInpoint(inpoint, false);
}

void ScrubBar::SetOutpoint(MESK_QUAD outpoint, bool bPush)
{
    if (mMovingElement == MovingOut || mMovingElement == MovingInOut)
        return;
    Moving(this, &ScrubBar::BeginOutpointMoving, &ScrubBar::EndOutpointMoving,
           [&] { UpdateOutpoint(outpoint, bPush); });
}

void ScrubBar::SetOutpoint(MESK_QUAD outpoint)
{
    SetOutpoint(outpoint, false);
}

void ScrubBar::SetInOut(MESK_QUAD inpoint, MESK_QUAD outpoint)
{
    if (mMovingElement == MovingIn || mMovingElement == MovingOut || mMovingElement == MovingInOut)
        return;
    Moving(this, &ScrubBar::BeginInOutMoving, &ScrubBar::EndInOutMoving, [&] {
        if (StoreRange(mInpoint, mOutpoint, inpoint, outpoint))
            emit InOutChanged(mInpoint, mOutpoint);
    });
}

void ScrubBar::SetSpecialIn(MESK_QUAD inpoint)
{
    if (mMovingElement == MovingSpecial)
        return;
    Moving(this, &ScrubBar::BeginSpecialInMoving, &ScrubBar::EndSpecialInMoving, [&] {
        if (StorePoint(mSpecialIn, Clamp(inpoint, mMinimum, mSpecialOut - 1)))
            emit SpecialInChanged(mSpecialIn);
    });
}

void ScrubBar::SetSpecialOut(MESK_QUAD outpoint)
{
    if (mMovingElement == MovingSpecial)
        return;
    Moving(this, &ScrubBar::BeginSpecialOutMoving, &ScrubBar::EndSpecialOutMoving, [&] {
        if (StorePoint(mSpecialOut, Clamp(outpoint, mSpecialIn + 1, mMaximum)))
            emit SpecialOutChanged(mSpecialOut);
    });
}

void ScrubBar::SetSpecialInOut(MESK_QUAD inpoint, MESK_QUAD outpoint)
{
    if (mMovingElement == MovingSpecial)
        return;
    Moving(this, &ScrubBar::BeginSpecialInOutMoving, &ScrubBar::EndSpecialInOutMoving, [&] {
        if (StoreRange(mSpecialIn, mSpecialOut, inpoint, outpoint))
            emit SpecialInOutChanged(mSpecialIn, mSpecialOut);
    });
}

void ScrubBar::StepBack()
{
    if (mMovingElement == MovingPosition)
        return;
    if (mOutpoint < mPosition)
        UpdatePosition(mOutpoint);
    else if (mInpoint < mPosition)
        UpdatePosition(mInpoint);
    else if (mMinimum < mPosition)
        UpdatePosition(mMinimum);
}

void ScrubBar::StepForward()
{
    if (mMovingElement == MovingPosition)
        return;
    if (mInpoint > mPosition)
        UpdatePosition(mInpoint);
    else if (mOutpoint > mPosition)
        UpdatePosition(mOutpoint);
    else if (mMaximum > mPosition)
        UpdatePosition(mMaximum);
}

void ScrubBar::SetInpointFixed(bool fixed)
{
    mInpointFixed = fixed;
    UpdateFixedHeight();
    update();
}

void ScrubBar::SetOutpointFixed(bool fixed)
{
    mOutpointFixed = fixed;
    UpdateFixedHeight();
    update();
}

void ScrubBar::SetPositionHidden(bool hidden)
{
    mPositionHidden = hidden;
    UpdateFixedHeight();
    update();
}

void ScrubBar::SetTextHidden(bool hidden)
{
    mTextHidden = hidden;
    UpdateFixedHeight();
    update();
}

void ScrubBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.fillRect(area, StylePalette::ColorPanel);
    auto band = [&](MESK_QUAD from, MESK_QUAD to, int top, int bottom, const QColor& rColor) {
        const int left = area.left() + int(std::lround(ValueToX(from)));
        const int right = area.left() + int(std::lround(ValueToX(to)));
        painter.fillRect(QRect(QPoint(left, top), QPoint(right, bottom)), rColor);
    };
    const int barBottom = mTrimMode == 2 && !mTextHidden ? area.top() + 22 : area.bottom();
    if (mTrimMode != 0)
        band(mInpoint, mOutpoint, area.top() + 4, barBottom - 4, kInOutColor);
    if (mSpecialMode != 0)
        band(mSpecialIn, mSpecialOut, barBottom - 3, barBottom - 1, kSpecialColor);
    if (!mPositionHidden) {
        const int x = area.left() + int(std::lround(ValueToX(mPosition)));
        painter.fillRect(QRect(x, area.top(), 1, barBottom - area.top() + 1), StylePalette::ColorAccent);
        if (!mPositionMarker.isNull())
            painter.drawPixmap(x - mPositionMarker.width() / 2, area.top() - mPositionMarker.height() / 2,
                               mPositionMarker);
    }
    if (mTrimMode == 2 && !mTextHidden) {
        painter.setPen(StylePalette::ColorText);
        painter.drawText(QRect(area.left(), barBottom + 1, area.width(), area.bottom() - barBottom),
                         Qt::AlignCenter,
                         QStringLiteral("%1 - %2").arg(mInpoint).arg(mOutpoint));
    }
}

void ScrubBar::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton || mMovingElement != MovingNone)
        return;
    const double x = pEvent->position().x() - contentsRect().left();
    const bool between = x > ValueToX(mInpoint) && x < ValueToX(mOutpoint);
    if (mTrimMode != 0 && (pEvent->modifiers() & Qt::ShiftModifier) && between && !mInpointFixed
        && !mOutpointFixed) {
        mMovingElement = MovingInOut;
        mDragOffset = x - ValueToX(mInpoint);
        emit BeginInOutMoving();
    } else if (mSpecialMode != 0 && (pEvent->modifiers() & Qt::ControlModifier)
               && x > ValueToX(mSpecialIn) && x < ValueToX(mSpecialOut)) {
        mMovingElement = MovingSpecial;
        mDragOffset = x - ValueToX(mSpecialIn);
        emit BeginSpecialInOutMoving();
    } else if (mTrimMode != 0 && !mInpointFixed && std::abs(x - ValueToX(mInpoint)) <= kGrabDistance) {
        mMovingElement = MovingIn;
        emit BeginInpointMoving();
    } else if (mTrimMode != 0 && !mOutpointFixed && std::abs(x - ValueToX(mOutpoint)) <= kGrabDistance) {
        mMovingElement = MovingOut;
        emit BeginOutpointMoving();
    } else if (!mPositionHidden) {
        mMovingElement = MovingPosition;
        emit BeginPositionMoving();
        UpdatePosition(XToValue(x));
    }
}

void ScrubBar::mouseMoveEvent(QMouseEvent* pEvent)
{
    const double x = pEvent->position().x() - contentsRect().left();
    switch (mMovingElement) {
    case MovingPosition:
        UpdatePosition(XToValue(x));
        break;
    case MovingIn:
        UpdateInpoint(XToValue(x), false);
        break;
    case MovingOut:
        UpdateOutpoint(XToValue(x), false);
        break;
    case MovingInOut:
        if (DragRange(mInpoint, mOutpoint, x))
            emit InOutChanged(mInpoint, mOutpoint);
        break;
    case MovingSpecial:
        if (DragRange(mSpecialIn, mSpecialOut, x))
            emit SpecialInOutChanged(mSpecialIn, mSpecialOut);
        break;
    default:
        break;
    }
}

void ScrubBar::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton)
        return;
    const int element = mMovingElement;
    mMovingElement = MovingNone;
    switch (element) {
    case MovingPosition: emit EndPositionMoving(); break;
    case MovingIn: emit EndInpointMoving(); break;
    case MovingOut: emit EndOutpointMoving(); break;
    case MovingInOut: emit EndInOutMoving(); break;
    case MovingSpecial: emit EndSpecialInOutMoving(); break;
    default: break;
    }
}

} // namespace JoxGui
