#include "WidgetRender.h"

#include <joxgui/PeakmeterWidget.h>
#include <joxgui/SliderWidget.h>
#include <joxgui/StylableSlider.h>
#include <joxgui/VolumeSlider.h>
#include <styles/StylePalette.h>

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace JoxGui;
using joxguitest::Render;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

TEST(SliderWidgetTest, PositionsKeepTheRangeOpen)
{
    SliderWidget slider;
    slider.SetMinimum(0);
    slider.SetMaximum(0);
    QSignalSpy x(&slider, &SliderWidget::PositionChangedX);
    QSignalSpy y(&slider, &SliderWidget::PositionChangedY);
    slider.SetPositionX(5);
    EXPECT_EQ(slider.GetMaximum(), 1);
    EXPECT_EQ(slider.GetPositionX(), 0);
    EXPECT_LE(slider.GetPositionY(), 1);
    EXPECT_EQ(x.count(), 0);
    slider.SetPositionY(5);
    EXPECT_EQ(slider.GetPositionY(), 1);
    EXPECT_EQ(y.count(), 1);

    slider.SetMaximum(100);
    slider.UpdateSlider(42.9);
    EXPECT_EQ(slider.GetPositionX(), 42);
    EXPECT_EQ(slider.GetPositionY(), 42);
    slider.UpdateSlider(-7.9);
    EXPECT_EQ(slider.GetPositionX(), 0);

    // At the top of int the range still opens upwards.
    slider.SetMinimum(std::numeric_limits<int>::max());
    slider.SetMaximum(std::numeric_limits<int>::max());
    slider.SetPositionX(0);
    EXPECT_GT(slider.GetMaximum(), slider.GetMinimum());
    EXPECT_GE(slider.GetPositionX(), slider.GetMinimum());
    EXPECT_LT(slider.GetPositionX(), slider.GetMaximum());
}

TEST(SliderWidgetTest, UpdateSliderIgnoresValuesThatAreNotFinite)
{
    SliderWidget slider;
    slider.UpdateSlider(30);
    for (double value : {kNaN, kInf, -kInf}) {
        slider.UpdateSlider(value);
        EXPECT_EQ(slider.GetPositionX(), 30) << value;
        EXPECT_EQ(slider.GetPositionY(), 30) << value;
    }
    slider.UpdateSlider(1e300);
    EXPECT_EQ(slider.GetPositionY(), 100);
    slider.UpdateSlider(-1e300);
    EXPECT_EQ(slider.GetPositionY(), 0);
}

TEST(SliderWidgetTest, ValueSignalsOnceInOrderWithTheRealValue)
{
    SliderWidget slider;
    QList<QString> order;
    QObject::connect(&slider, qOverload<MESK_QUAD>(&SliderWidget::ValueChanged),
                     [&](MESK_QUAD v) { order << QStringLiteral("quad %1").arg(v); });
    QObject::connect(&slider, qOverload<double>(&SliderWidget::ValueChanged),
                     [&](double v) { order << QStringLiteral("double %1").arg(v); });
    QObject::connect(&slider, &SliderWidget::PositionChanged,
                     [&](int v) { order << QStringLiteral("position %1").arg(v); });
    slider.SetValue(150);
    slider.SetValue(150);
    EXPECT_EQ(order, (QList<QString>{QStringLiteral("quad 150"), QStringLiteral("double 1.5"),
                                     QStringLiteral("position 150")}));
    order.clear();
    slider.setTracking(false);
    slider.SetValue(7);
    EXPECT_TRUE(order.isEmpty());
    EXPECT_EQ(slider.GetValue(), 7);
}

TEST(SliderWidgetTest, StepsKeysDragAndPaint)
{
    SliderWidget slider;
    slider.setProperty("sliderStepNormal", 30);
    slider.SetValue(80);
    slider.Increment();
    EXPECT_EQ(slider.GetValue(), 100);
    slider.SetValue(10);
    slider.Decrement();
    EXPECT_EQ(slider.GetValue(), 0);

    slider.resize(101, 10);
    slider.show();
    QSignalSpy pressed(&slider, &SliderWidget::SliderPressed);
    QSignalSpy released(&slider, &SliderWidget::SliderReleased);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(20, 5));
    QTest::mouseMove(&slider, QPoint(60, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(60, 5), slider.mapToGlobal(QPointF(60, 5)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&slider, &move);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(60, 5));
    EXPECT_EQ(pressed.count(), 1);
    EXPECT_EQ(released.count(), 1);
    EXPECT_EQ(slider.GetValue(), 60);

    const QImage image = Render(slider);
    EXPECT_EQ(image.pixelColor(55, 5), StylePalette::ColorAccent);
    EXPECT_EQ(image.pixelColor(65, 5), StylePalette::ColorGrey);

    QSignalSpy keys(&slider, &SliderWidget::KeyPressed);
    slider.setProperty("sliderStepNormal", 1);
    QTest::keyClick(&slider, Qt::Key_Right);
    EXPECT_EQ(slider.GetValue(), 61);
    EXPECT_EQ(keys.count(), 1);
}

TEST(StylableSliderTest, StepsStayInTheRange)
{
    StylableSlider slider;
    slider.setRange(0, 10);
    slider.SetStep(4);
    slider.setValue(8);
    slider.Increment();
    EXPECT_EQ(slider.value(), 10);
    slider.Decrement();
    slider.Decrement();
    slider.Decrement();
    EXPECT_EQ(slider.value(), 0);
}

TEST(VolumeSliderTest, DecibelsAreClampedAndBadInputRefused)
{
    VolumeSlider slider(-60.0, 6.0);
    QSignalSpy changed(&slider, &VolumeSlider::VolumeChanged);
    slider.SetDecibel(20.0);
    EXPECT_DOUBLE_EQ(slider.GetVolume(), std::pow(10.0, 6.0 / 20.0));
    slider.SetDecibel(-200.0);
    EXPECT_DOUBLE_EQ(slider.GetVolume(), std::pow(10.0, -60.0 / 20.0));
    EXPECT_EQ(changed.count(), 2);
    for (double bad : {kNaN, kInf, -kInf}) {
        slider.SetDecibel(bad);
        slider.SetVolume(bad);
    }
    EXPECT_EQ(changed.count(), 2);
    EXPECT_DOUBLE_EQ(slider.GetVolume(), std::pow(10.0, -60.0 / 20.0));
    slider.Reset();
    EXPECT_DOUBLE_EQ(slider.GetVolume(), 1.0);

    slider.resize(66, 10);
    slider.show();
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(33, 5));
    EXPECT_NEAR(slider.GetDecibel(), -27.0, 0.01);
    const QImage image = Render(slider);
    EXPECT_EQ(image.pixelColor(30, 5), StylePalette::ColorAccent);
    EXPECT_EQ(image.pixelColor(36, 5), StylePalette::ColorPanel);
}

// A meter whose clock the test advances.
class ClockedMeter : public PeakmeterWidget
{
public:
    using PeakmeterWidget::PeakmeterWidget;
    int64_t mNow = 1000000;

protected:
    int64_t ClockMicroseconds() const override { return mNow; }
};

TEST(PeakmeterWidgetTest, PeakHoldsThenFallsFasterAndTheVolumeTakesOver)
{
    ClockedMeter meter;
    meter.SetPeakFallStep(0.1);
    meter.SetPeakVolume(0.8);
    QSignalSpy peaks(&meter, &PeakmeterWidget::PeakVolumeChanged);
    const double expected[] = {0.8, 0.7, 0.5, 0.2, 0.1};
    for (double peak : expected) {
        meter.mNow += 150000;
        meter.SetVolume(0.1);
        EXPECT_NEAR(meter.GetPeakVolume(), peak, 1e-9);
    }
    ASSERT_EQ(peaks.count(), 5);
    EXPECT_DOUBLE_EQ(peaks.at(3).at(0).toDouble(), 0.0);
    EXPECT_DOUBLE_EQ(peaks.at(4).at(0).toDouble(), 0.1);

    // Within 100 ms of a change, and while held, the peak stays.
    meter.SetPeakVolume(0.9);
    meter.mNow += 99999;
    meter.SetVolume(0.2);
    EXPECT_DOUBLE_EQ(meter.GetPeakVolume(), 0.9);
    meter.SetPeakValueHoldState(true);
    meter.mNow += 1000000;
    meter.SetVolume(0.3);
    meter.SetVolume(0.2);
    EXPECT_DOUBLE_EQ(meter.GetPeakVolume(), 0.9);
}

TEST(PeakmeterWidgetTest, GainsAndDecibelsAtTheEdges)
{
    ClockedMeter meter(-60.0, 0.0);
    QSignalSpy volumes(&meter, &PeakmeterWidget::VolumeChanged);
    meter.SetPeakVolume(-0.5);
    EXPECT_EQ(meter.GetPeakVolume(), 0.0);
    meter.SetDecibel(12.0);
    EXPECT_DOUBLE_EQ(meter.GetVolume(), 1.0);
    meter.SetDecibel(-100.0);
    EXPECT_DOUBLE_EQ(meter.GetVolume(), 0.001);
    EXPECT_EQ(volumes.count(), 2);
    for (double bad : {kNaN, kInf, -kInf}) {
        meter.SetVolume(bad);
        meter.SetDecibel(bad);
        meter.SetPeakVolume(bad);
        meter.SetPeakDecibel(bad);
    }
    EXPECT_EQ(volumes.count(), 2);
    EXPECT_DOUBLE_EQ(meter.GetVolume(), 0.001);
    EXPECT_DOUBLE_EQ(meter.GetPeakVolume(), 1.0);

    meter.Reset();
    EXPECT_EQ(meter.GetVolume(), 0.0);
    EXPECT_EQ(meter.GetPeakVolume(), 0.0);
}

int LitRows(const QImage& rImage)
{
    int lit = 0;
    for (int y = 0; y < rImage.height(); ++y)
        if (rImage.pixelColor(rImage.width() / 2, y) == StylePalette::ColorAccent)
            ++lit;
    return lit;
}

TEST(PeakmeterWidgetTest, PaintsTheLevelOnItsScale)
{
    ClockedMeter meter(-60.0, 0.0);
    meter.SetSegments(3, 1);
    meter.resize(10, 100);
    meter.SetVolume(1.0);
    QImage image = Render(meter);
    EXPECT_EQ(image.pixelColor(5, 99), StylePalette::ColorAccent);
    EXPECT_EQ(image.pixelColor(5, 96), StylePalette::ColorWindow); // a gap
    EXPECT_EQ(LitRows(image), 72); // 25 segments of 3 rows, the top one the peak mark

    meter.ResetPeakValue();
    meter.SetVolume(std::pow(10.0, -30.0 / 20.0));
    const int row = meter.RowOf(meter.GetVolume());
    EXPECT_GT(row, 50);
    EXPECT_LT(row, 99);
    image = Render(meter);
    EXPECT_EQ(image.pixelColor(5, row + 6), StylePalette::ColorAccent);
    EXPECT_NE(image.pixelColor(5, row - 6), StylePalette::ColorAccent);
    EXPECT_EQ(image.pixelColor(5, 1), QColor(255, 255, 100)); // the peak mark at the top

    // Equal or reversed ends have no scale: the meter shows its floor.
    for (const auto& rRange : {std::make_pair(0.0, 0.0), std::make_pair(0.0, -60.0)}) {
        meter.SetRange(rRange.first, rRange.second);
        meter.Reset();
        meter.SetVolume(0.5);
        EXPECT_EQ(meter.RowOf(0.5), 100);
        EXPECT_EQ(LitRows(Render(meter)), 0);
    }
}

} // namespace
