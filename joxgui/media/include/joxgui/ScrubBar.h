#pragma once

#include <joxgui/MeskTypes.h>

#include <QPixmap>
#include <QWidget>

namespace JoxGui {

// A bar with a play position, an in and an out point, and a second in/out
// range (the special range), all frame numbers. Dragging moves the position,
// or in trim mode the in point, the out point or (with Shift) both.
class ScrubBar : public QWidget
{
    Q_OBJECT

public:
    // 1 or 2; any other value is stored as 0 (off).
    typedef int AreaMode;
    // What the user is moving: 0 none, 1 position, 2 in point, 3 out point,
    // 4 in and out point, 5 the special range.
    enum MovingElement { MovingNone, MovingPosition, MovingIn, MovingOut, MovingInOut, MovingSpecial };

    explicit ScrubBar(QWidget* pParent = nullptr);

    MESK_QUAD GetMinimum() const;
    MESK_QUAD GetMaximum() const;
    MESK_QUAD GetPosition() const;
    MESK_QUAD GetInpoint() const;
    MESK_QUAD GetOutpoint() const;
    MESK_QUAD GetSpecialIn() const;
    MESK_QUAD GetSpecialOut() const;
    int GetMovingElement() const;
    // The x of a frame: (contents width - 3) * (value - min) / (max - min) + 1.
    double ValueToX(MESK_QUAD value) const;

signals:
    void PositionChanged(MESK_QUAD position);
    void InpointChanged(MESK_QUAD inpoint);
    void OutpointChanged(MESK_QUAD outpoint);
    void InOutChanged(MESK_QUAD inpoint, MESK_QUAD outpoint);
    void SpecialInChanged(MESK_QUAD inpoint);
    void SpecialOutChanged(MESK_QUAD outpoint);
    void SpecialInOutChanged(MESK_QUAD inpoint, MESK_QUAD outpoint);
    void BeginPositionMoving();
    void BeginInpointMoving();
    void BeginOutpointMoving();
    void BeginInOutMoving();
    void BeginSpecialInMoving();
    void BeginSpecialOutMoving();
    void BeginSpecialInOutMoving();
    void EndPositionMoving();
    void EndInpointMoving();
    void EndOutpointMoving();
    void EndInOutMoving();
    void EndSpecialInMoving();
    void EndSpecialOutMoving();
    void EndSpecialInOutMoving();

public slots:
    void SetTrimMode(JoxGui::ScrubBar::AreaMode mode);
    void SetSpecialMode(JoxGui::ScrubBar::AreaMode mode);
    void SetMinimum(MESK_QUAD minimum);
    void SetMaximum(MESK_QUAD maximum);
    void SetRange(MESK_QUAD minimum, MESK_QUAD maximum);
    void SetPosition(MESK_QUAD position);
    // With bPush an in point at or beyond the out point moves the out point
    // to the maximum.
    void SetInpoint(MESK_QUAD inpoint, bool bPush);
    void SetInpoint(MESK_QUAD inpoint);
    // With bPush an out point at or before the in point moves the in point
    // to the minimum.
    void SetOutpoint(MESK_QUAD outpoint, bool bPush);
    void SetOutpoint(MESK_QUAD outpoint);
    void SetInOut(MESK_QUAD inpoint, MESK_QUAD outpoint);
    void SetSpecialIn(MESK_QUAD inpoint);
    void SetSpecialOut(MESK_QUAD outpoint);
    void SetSpecialInOut(MESK_QUAD inpoint, MESK_QUAD outpoint);
    // To the nearest of out point, in point and minimum before the position.
    void StepBack();
    // To the nearest of in point, out point and maximum after the position.
    void StepForward();
    void SetInpointFixed(bool fixed);
    void SetOutpointFixed(bool fixed);
    void SetPositionHidden(bool hidden);
    void SetTextHidden(bool hidden);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;

private:
    void ClampValues(bool bRepaint);
    void UpdatePosition(MESK_QUAD position);
    void UpdateInpoint(MESK_QUAD inpoint, bool bPush);
    void UpdateOutpoint(MESK_QUAD outpoint, bool bPush);
    // Stores both points, signalling each one that changed.
    void UpdateInOut(MESK_QUAD inpoint, MESK_QUAD outpoint);
    // Stores one value (or a pair), clamps all and repaints; true when it changed.
    bool StorePoint(MESK_QUAD& rPoint, MESK_QUAD value);
    bool StoreRange(MESK_QUAD& rIn, MESK_QUAD& rOut, MESK_QUAD inpoint, MESK_QUAD outpoint);
    // Moves a range to the pointer keeping its length; true when it moved.
    bool DragRange(MESK_QUAD& rIn, MESK_QUAD& rOut, double x);
    void UpdateFixedHeight();
    MESK_QUAD XToValue(double x) const;

    AreaMode mTrimMode = 0;
    AreaMode mSpecialMode = 0;
    int mMovingElement = MovingNone;
    MESK_QUAD mMinimum = 0;
    MESK_QUAD mMaximum = 100;
    MESK_QUAD mInpoint = 0;
    MESK_QUAD mOutpoint = 100;
    MESK_QUAD mSpecialIn = 0;
    MESK_QUAD mSpecialOut = 100;
    MESK_QUAD mPosition = 0;
    bool mInpointFixed = false;
    bool mOutpointFixed = false;
    bool mPositionHidden = false;
    bool mTextHidden = false;
    QPixmap mPositionMarker;
    double mDragOffset = 0.0;
};

} // namespace JoxGui
