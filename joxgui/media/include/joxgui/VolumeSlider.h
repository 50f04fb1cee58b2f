#pragma once

#include <QWidget>

namespace JoxGui {

// A volume control: a bar filled to the volume's place on a decibel scale;
// clicking or dragging sets the volume.
class VolumeSlider : public QWidget
{
    Q_OBJECT

public:
    VolumeSlider(double minimumDb = -60.0, double maximumDb = 6.0, QWidget* pParent = nullptr);

    // The linear gain.
    double GetVolume() const;
    double GetDecibel() const;
    QSize sizeHint() const override;

signals:
    void VolumeChanged(double gain);

public slots:
    // Back to 0 dB (unity gain), clamped to the range.
    virtual void Reset();
    // The gain of the decibels clamped to the range; not finite is ignored.
    void SetDecibel(double decibel);
    // A gain that is not finite is ignored.
    void SetVolume(double gain);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;

private:
    double Fraction() const;
    void SetFromPoint(const QPoint& rPoint);

    double mMinimumDb;
    double mMaximumDb;
    double mVolume = 1.0;
};

} // namespace JoxGui
