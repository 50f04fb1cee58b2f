#pragma once

#include <QWidget>

#include <cstdint>

namespace JoxGui {

// A segmented vertical audio level meter with a peak mark that holds for
// 100 ms and then falls ever faster.
class PeakmeterWidget : public QWidget
{
    Q_OBJECT

public:
    PeakmeterWidget(double minimumDb = -60.0, double maximumDb = 0.0, QWidget* pParent = nullptr);

    void SetRange(double minimumDb, double maximumDb);
    // The pitch (height + gap) is kept at 1 or more.
    void SetSegments(int height, int gap);
    // What each fall of the peak adds to the next one.
    void SetPeakFallStep(double step);
    double GetVolume() const;
    double GetPeakVolume() const;
    // The contents row of a gain's place on the meter scale.
    int RowOf(double gain) const;
    QSize sizeHint() const override;

    // The meter scale's base and the factors for logarithms to the two bases.
    static const double mpScaleBase;
    static const double mpInverseLog10ScaleBase;
    static const double mpInverseLog10Of2_5;

signals:
    void VolumeChanged(double gain);
    void PeakVolumeChanged(double gain);

public slots:
    // Silence, no peak, no hold; no signals.
    void Reset();
    void SetDecibel(double decibel);
    void SetPeakDecibel(double decibel);
    // A gain that is not finite is ignored.
    void SetVolume(double gain);
    void SetPeakVolume(double gain);
    void SetPeakValueHoldState(bool hold);
    void ResetPeakValue();

protected:
    // The microsecond clock the peak's hold and fall are timed by.
    virtual int64_t ClockMicroseconds() const;
    void paintEvent(QPaintEvent* pEvent) override;

private:
    double Fraction(double gain) const;
    void RepaintBand(double gainA, double gainB);

    double mMinimumDb;
    double mMaximumDb;
    double mVolume = 0.0;
    double mPeakVolume = 0.0;
    int mSegmentHeight = 2;
    int mSegmentGap = 1;
    bool mPeakHold = false;
    double mPeakFall = 0.0;
    double mPeakFallStep = 0.01;
    int64_t mPeakTime = 0;
};

} // namespace JoxGui
