#pragma once

#include <QDateTime>
#include <QList>
#include <QWidget>

namespace JoxGui {

// A date-and-time ruler: its width shows one scope (zoom step) of seconds
// from a start time, with labelled major ticks and minor ticks. The wheel
// zooms about the mouse, dragging moves the start.
class TimeScale : public QWidget
{
    Q_OBJECT

public:
    explicit TimeScale(QWidget* pParent = nullptr);

    // The zoom steps: seconds across the width, and seconds between major
    // and between minor ticks. Selects step 0.
    void SetScopes(const QList<int>& rScopes, const QList<int>& rMajorSteps, const QList<int>& rMinorSteps);
    void SetStart(const QDateTime& rStart);
    int GetScope() const;
    int GetMajorStep() const;
    int GetMinorStep() const;
    QDateTime GetStart() const;
    // Selects a zoom step keeping the time under pixel x in place; nothing
    // happens for an x that is not finite or would move the start out of range.
    void SetScopeIndex(int index, double x);
    // The pixel column of a time.
    double TimeToX(const QDateTime& rTime) const;
    QSize sizeHint() const override;

signals:
    void SignalScopeChanged(int scope);
    void SignalStartChanged(const QDateTime& rStart);

public slots:
    // Shows the whole day of the date (step 5) from its midnight.
    void SlotSetDate(const QDate& rDate);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;

private:
    int mScope = 0;
    int mMajorStep = 0;
    int mMinorStep = 0;
    QList<int> mScopes;
    QList<int> mMajorSteps;
    QList<int> mMinorSteps;
    QDateTime mStart;
    int mScopeIndex = 0;
    double mDragX = 0.0;
    QDateTime mDragStart;
};

} // namespace JoxGui
