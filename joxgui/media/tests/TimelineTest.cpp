#include "WidgetRender.h"

#include <joxgui/ScrubBar.h>
#include <joxgui/TimeScale.h>
#include <joxgui/TimecodeEdit.h>
#include <joxcore/BaseTimecodeConverter.h>
#include <styles/StylePalette.h>

#include <QElapsedTimer>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using namespace JoxGui;
using joxguitest::Render;

namespace {

// 25 frames per second; no text for negative frames.
class Converter : public JoxCore::BaseTimecodeConverter
{
public:
    int mMode = 1;
    int GetTimecodeMode() const override { return mMode; }
    void SetTimecodeMode(int mode) override
    {
        mMode = mode;
        emit UpdateTimecode();
    }
    QString PositionToText(int64_t frames, void*) const override { return Text(frames); }
    QString OffsetToText(int64_t frames, void*) const override { return Text(frames); }
    QString DurationToText(int64_t frames, void*) const override { return Text(frames); }

private:
    static QString Text(int64_t frames)
    {
        if (frames < 0)
            return QString();
        const int64_t seconds = frames / 25;
        return QStringLiteral("%1:%2:%3:%4")
            .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
            .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'))
            .arg(frames % 25, 2, 10, QLatin1Char('0'));
    }
};

TEST(TimecodeEditTest, ClampsByDisplayModeAndSignalsChanges)
{
    TimecodeEdit edit;
    edit.SetRange(-10, 1000);
    QSignalSpy changed(&edit, &TimecodeEdit::FrameChanged);
    const struct { int mMode; qint64 mIn; qint64 mFrame; const char* mText; } cases[] = {
        {TimecodeEdit::ModePosition, -1, -1, "---"},
        {TimecodeEdit::ModePosition, -5, -1, "---"},
        {TimecodeEdit::ModeOffset, -5, -1, "---"},
        {TimecodeEdit::ModeDelta, -5, -5, "-5"},
        {TimecodeEdit::ModeTodo, -50, -10, "-10"},
        {TimecodeEdit::ModePosition, 5000, 1000, "1000"},
        {7, 20, 20, ""},
    };
    for (const auto& rCase : cases) {
        edit.SetDisplayMode(rCase.mMode);
        edit.SetFrame(rCase.mIn);
        EXPECT_EQ(edit.GetFrame(), rCase.mFrame) << rCase.mIn;
        EXPECT_EQ(edit.text(), QString::fromLatin1(rCase.mText)) << rCase.mIn;
    }
    // The same frame again rewrites the text but signals nothing.
    changed.clear();
    edit.setText(QStringLiteral("999"));
    edit.SetDisplayMode(TimecodeEdit::ModePosition);
    edit.SetFrame(20);
    EXPECT_EQ(edit.text(), QStringLiteral("20"));
    EXPECT_EQ(changed.count(), 0);
    edit.SetFrame(21);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toLongLong(), 21);
    EXPECT_EQ(edit.GetPreviousFrame(), 20);
}

TEST(TimecodeEditTest, FormatsFollowTheConverterAndKeysEditTheFrame)
{
    Converter converter;
    TimecodeEdit edit;
    edit.SetRange(0, 100000);
    edit.SetConverter(&converter);
    edit.SetFrame(26);
    EXPECT_EQ(edit.text(), QStringLiteral("26"));
    edit.SetDisplayFormat(TimecodeEdit::FormatTimecode);
    EXPECT_EQ(edit.text(), QStringLiteral("00:00:01:01"));
    edit.SetDisplayFormat(TimecodeEdit::FormatConverter);
    EXPECT_EQ(edit.text(), QStringLiteral("00:00:01:01"));
    QMetaObject::invokeMethod(&edit, "ModeFrames");
    EXPECT_EQ(converter.mMode, 0);
    EXPECT_EQ(edit.text(), QStringLiteral("26"));

    edit.show();
    edit.setFocus();
    QSignalSpy changed(&edit, &TimecodeEdit::FrameChanged);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.GetFrame(), 27);
    edit.selectAll();
    QTest::keyClicks(&edit, QStringLiteral("1x50"));
    EXPECT_EQ(edit.text(), QStringLiteral("150")); // the validator drops the letter
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.GetFrame(), 150);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_FALSE(edit.hasFocus());
}

TEST(TimecodeEditTest, DeletedConverterCountsAsNone)
{
    // Each operation that reads the converter, after it was deleted.
    const struct { const char* mName; std::function<void(TimecodeEdit&)> mCall; const char* mText; } cases[] = {
        {"SetFrame", [](TimecodeEdit& rEdit) { rEdit.SetFrame(26); }, "26"},
        {"SetRange", [](TimecodeEdit& rEdit) { rEdit.SetRange(0, 20); }, "20"},
        {"SetDisplayMode", [](TimecodeEdit& rEdit) { rEdit.SetDisplayMode(TimecodeEdit::ModeDelta); }, "25"},
        {"ModeTimecode", [](TimecodeEdit& rEdit) {
             QMetaObject::invokeMethod(&rEdit, "ModeTimecode");
             QMetaObject::invokeMethod(&rEdit, "UpdateGuiTimecode");
         }, "25"},
    };
    for (const auto& rCase : cases) {
        TimecodeEdit edit;
        edit.SetRange(0, 100000);
        edit.SetDisplayFormat(TimecodeEdit::FormatConverter);
        auto* pConverter = new Converter;
        edit.SetConverter(pConverter);
        edit.SetFrame(25);
        ASSERT_EQ(edit.text(), QStringLiteral("00:00:01:00"));
        delete pConverter;
        rCase.mCall(edit);
        EXPECT_EQ(edit.text(), QString::fromLatin1(rCase.mText)) << rCase.mName;
    }
}

TEST(TimecodeEditTest, IndentNeverTurnsNegative)
{
    TimecodeEdit edit;
    edit.show();
    edit.SetIndented(true, 0);
    const int minus = edit.fontMetrics().horizontalAdvance(QLatin1Char('-'));
    edit.resize(400, 30);
    const int wide = edit.textMargins().left();
    EXPECT_GT(wide, minus);
    edit.resize(40, 30); // narrower than "-99:99:99:99*"
    EXPECT_EQ(edit.textMargins().left(), minus);
    edit.SetIndented(true, 2);
    EXPECT_EQ(edit.textMargins().top(), 9);
}

struct ScrubFixture
{
    ScrubFixture()
    {
        bar.SetRange(0, 100);
        bar.resize(203, 23);
    }
    ScrubBar bar;
};

TEST(ScrubBarTest, RangeAndPointsAreClamped)
{
    ScrubBar bar;
    QSignalSpy in(&bar, &ScrubBar::InpointChanged);
    bar.SetRange(5, 5);
    EXPECT_EQ(bar.GetMaximum(), 6);
    bar.SetInpoint(6);
    EXPECT_EQ(bar.GetInpoint(), 5);
    EXPECT_EQ(bar.GetOutpoint(), 6);
    bar.SetRange(-20, 10);
    EXPECT_EQ(bar.GetMinimum(), 0);

    // At the top of the frame numbers the range still opens upwards.
    const MESK_QUAD top = std::numeric_limits<MESK_QUAD>::max();
    bar.SetRange(top, top);
    EXPECT_GT(bar.GetMaximum(), bar.GetMinimum());
    EXPECT_LT(bar.GetInpoint(), bar.GetOutpoint());
}

TEST(ScrubBarTest, PushingInAndOutPoints)
{
    ScrubFixture f;
    f.bar.SetInOut(2, 7);
    QSignalSpy in(&f.bar, &ScrubBar::InpointChanged);
    QSignalSpy out(&f.bar, &ScrubBar::OutpointChanged);
    f.bar.SetInpoint(8, true);
    EXPECT_EQ(f.bar.GetInpoint(), 8);
    EXPECT_EQ(f.bar.GetOutpoint(), 100);
    EXPECT_EQ(in.count(), 1);
    EXPECT_EQ(out.count(), 1);

    f.bar.SetInOut(2, 7);
    f.bar.SetInpoint(8);
    EXPECT_EQ(f.bar.GetInpoint(), 8);
    EXPECT_EQ(f.bar.GetOutpoint(), 9);
    f.bar.SetOutpoint(3, true);
    EXPECT_EQ(f.bar.GetInpoint(), 0);
    EXPECT_EQ(f.bar.GetOutpoint(), 3);

    QSignalSpy special(&f.bar, &ScrubBar::SpecialInChanged);
    f.bar.SetSpecialInOut(10, 20);
    f.bar.SetSpecialIn(30);
    EXPECT_EQ(f.bar.GetSpecialIn(), 19);
    f.bar.SetSpecialOut(5);
    EXPECT_EQ(f.bar.GetSpecialOut(), 20);
    EXPECT_EQ(special.count(), 1);

    f.bar.SetInOut(20, 40);
    f.bar.SetPosition(30);
    const MESK_QUAD back[] = {20, 0, 0};
    for (MESK_QUAD expected : back) {
        f.bar.StepBack();
        EXPECT_EQ(f.bar.GetPosition(), expected);
    }
    const MESK_QUAD forward[] = {20, 40, 100, 100};
    for (MESK_QUAD expected : forward) {
        f.bar.StepForward();
        EXPECT_EQ(f.bar.GetPosition(), expected);
    }
}

TEST(ScrubBarTest, DraggingThePositionAndTheInPoint)
{
    ScrubFixture f;
    f.bar.SetTrimMode(1);
    f.bar.SetInOut(40, 80);
    f.bar.show();
    QSignalSpy begin(&f.bar, &ScrubBar::BeginPositionMoving);
    QSignalSpy end(&f.bar, &ScrubBar::EndPositionMoving);
    QSignalSpy position(&f.bar, &ScrubBar::PositionChanged);
    QTest::mousePress(&f.bar, Qt::LeftButton, {}, QPoint(21, 10)); // x = 2 * 10 + 1
    EXPECT_EQ(f.bar.GetMovingElement(), ScrubBar::MovingPosition);
    EXPECT_EQ(f.bar.GetPosition(), 10);
    f.bar.SetPosition(90); // ignored while dragged
    QMouseEvent move(QEvent::MouseMove, QPointF(61, 10), f.bar.mapToGlobal(QPointF(61, 10)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.bar, &move);
    EXPECT_EQ(f.bar.GetPosition(), 30);
    QTest::mouseRelease(&f.bar, Qt::LeftButton, {}, QPoint(61, 10));
    EXPECT_EQ(begin.count(), 1);
    EXPECT_EQ(end.count(), 1);
    EXPECT_EQ(position.count(), 2);
    EXPECT_EQ(f.bar.GetMovingElement(), ScrubBar::MovingNone);

    // Grabbing the in point: in-point and in/out calls wait, out-point calls do not.
    QTest::mousePress(&f.bar, Qt::LeftButton, {}, QPoint(82, 10));
    EXPECT_EQ(f.bar.GetMovingElement(), ScrubBar::MovingIn);
    f.bar.SetInpoint(5);
    f.bar.SetInOut(1, 2);
    f.bar.SetOutpoint(70);
    EXPECT_EQ(f.bar.GetInpoint(), 40);
    EXPECT_EQ(f.bar.GetOutpoint(), 70);
    QMouseEvent drag(QEvent::MouseMove, QPointF(101, 10), f.bar.mapToGlobal(QPointF(101, 10)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.bar, &drag);
    QTest::mouseRelease(&f.bar, Qt::LeftButton, {}, QPoint(101, 10));
    EXPECT_EQ(f.bar.GetInpoint(), 50);
}

TEST(ScrubBarTest, DraggingARangeKeepsItsLength)
{
    // Shift drags the in/out range, Control the special range; either stops
    // at the maximum and leaves the other range where it is.
    for (const bool special : {false, true}) {
        ScrubFixture f;
        f.bar.SetTrimMode(1);
        f.bar.SetSpecialMode(1);
        f.bar.SetInOut(40, 80);
        f.bar.SetSpecialInOut(40, 80);
        f.bar.show();
        QSignalSpy moved(&f.bar, special ? &ScrubBar::SpecialInOutChanged : &ScrubBar::InOutChanged);
        QSignalSpy end(&f.bar, special ? &ScrubBar::EndSpecialInOutMoving : &ScrubBar::EndInOutMoving);
        QTest::mousePress(&f.bar, Qt::LeftButton, special ? Qt::ControlModifier : Qt::ShiftModifier,
                          QPoint(121, 10)); // frame 60, 20 frames into the range
        EXPECT_EQ(f.bar.GetMovingElement(), special ? ScrubBar::MovingSpecial : ScrubBar::MovingInOut);
        for (int x : {141, 201, 201}) {
            QMouseEvent move(QEvent::MouseMove, QPointF(x, 10), f.bar.mapToGlobal(QPointF(x, 10)), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(&f.bar, &move);
        }
        QTest::mouseRelease(&f.bar, Qt::LeftButton, {}, QPoint(201, 10));
        EXPECT_EQ(special ? f.bar.GetSpecialIn() : f.bar.GetInpoint(), 60) << special;
        EXPECT_EQ(special ? f.bar.GetSpecialOut() : f.bar.GetOutpoint(), 100) << special;
        EXPECT_EQ(special ? f.bar.GetInpoint() : f.bar.GetSpecialIn(), 40) << special;
        EXPECT_EQ(special ? f.bar.GetOutpoint() : f.bar.GetSpecialOut(), 80) << special;
        ASSERT_EQ(moved.count(), 2) << special;
        EXPECT_EQ(moved.at(0).at(0).toLongLong(), 50);
        EXPECT_EQ(moved.at(0).at(1).toLongLong(), 90);
        EXPECT_EQ(end.count(), 1);
        EXPECT_EQ(f.bar.GetMovingElement(), ScrubBar::MovingNone);
    }
}

TEST(ScrubBarTest, PaintsTheRangeAndThePosition)
{
    ScrubFixture f;
    f.bar.SetTrimMode(1);
    f.bar.SetPositionHidden(false);
    f.bar.SetInOut(25, 75);
    f.bar.SetPosition(40);
    const QImage image = Render(f.bar);
    const QColor band(167, 175, 190);
    const int positionX = int(f.bar.ValueToX(40) + 0.5);
    EXPECT_EQ(positionX, 81);
    EXPECT_EQ(image.pixelColor(positionX, 12), StylePalette::ColorAccent);
    EXPECT_EQ(image.pixelColor(positionX + 5, 12), band);
    EXPECT_EQ(image.pixelColor(int(f.bar.ValueToX(20)), 12), StylePalette::ColorPanel);
    EXPECT_EQ(image.pixelColor(int(f.bar.ValueToX(80)), 12), StylePalette::ColorPanel);
}

// A 600 x 30 pixel scale that starts at 10:00:00.
class TimeScaleTest : public ::testing::Test
{
protected:
    TimeScaleTest()
    {
        scale.resize(600, 30);
        scale.SetStart(start);
    }

    const QDateTime start{QDate(2026, 3, 4), QTime(10, 0, 0)};
    TimeScale scale;
};

TEST_F(TimeScaleTest, ZoomKeepsTheTimeUnderThePointer)
{
    QSignalSpy scope(&scale, &TimeScale::SignalScopeChanged);
    QSignalSpy moved(&scale, &TimeScale::SignalStartChanged);
    EXPECT_EQ(scale.GetScope(), 60);
    scale.SetScopeIndex(1, 300); // 30 s under the pointer, then 300 s across
    EXPECT_EQ(scale.GetScope(), 300);
    EXPECT_EQ(scale.GetStart(), start.addSecs(30 - 150));
    ASSERT_EQ(scope.count(), 1);
    EXPECT_EQ(scope.at(0).at(0).toInt(), 300);
    EXPECT_EQ(moved.count(), 1);

    for (int bad : {-1, 7}) {
        scale.SetScopeIndex(bad, 0);
        EXPECT_EQ(scale.GetScope(), 300);
    }
    QWheelEvent wheel(QPointF(0, 5), scale.mapToGlobal(QPointF(0, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&scale, &wheel);
    EXPECT_EQ(scale.GetScope(), 60);
}

TEST_F(TimeScaleTest, PointerBeyondAnyTimeChangesNothing)
{
    QSignalSpy scope(&scale, &TimeScale::SignalScopeChanged);
    QSignalSpy moved(&scale, &TimeScale::SignalStartChanged);
    const double huge = std::numeric_limits<double>::max();
    for (double x : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), huge, -huge, 1e17, 9.3e18}) {
        scale.SetScopeIndex(1, x);
        EXPECT_EQ(scale.GetScope(), 60) << x;
        EXPECT_EQ(scale.GetStart(), start) << x;
    }
    EXPECT_EQ(scope.count(), 0);
    EXPECT_EQ(moved.count(), 0);
    // A far but representable time is still taken.
    scale.SetScopeIndex(1, 6e6);
    EXPECT_EQ(scale.GetScope(), 300);
    EXPECT_EQ(scale.GetStart(), start.addSecs(600000 - 3000000));
}

TEST_F(TimeScaleTest, DatesAndShortStepTables)
{
    QSignalSpy moved(&scale, &TimeScale::SignalStartChanged);
    scale.SlotSetDate(QDate(2026, 3, 4));
    scale.SlotSetDate(QDate());
    EXPECT_EQ(moved.count(), 0);
    EXPECT_EQ(scale.GetScope(), 60);
    EXPECT_EQ(scale.GetStart(), start);
    scale.SlotSetDate(QDate(2026, 3, 5));
    EXPECT_EQ(scale.GetScope(), 86400);
    EXPECT_EQ(scale.GetStart(), QDateTime(QDate(2026, 3, 5), QTime(0, 0)));

    scale.SetScopes({60, 120, 180}, {10}, {1});
    scale.SetScopeIndex(2, 0);
    EXPECT_EQ(scale.GetScope(), 180);
    EXPECT_EQ(scale.GetMajorStep(), 10);
    EXPECT_EQ(scale.GetMinorStep(), 1);
}

bool TickAt(const QImage& rImage, int x)
{
    return rImage.pixelColor(x, 2) == StylePalette::ColorText;
}

TEST_F(TimeScaleTest, PaintsTicksAtTheirTimes)
{
    scale.SetStart(QDateTime(QDate(2026, 3, 4), QTime(9, 59, 55)));
    const QImage image = Render(scale);
    // Major ticks every 10 s = 100 px, the first at 10:00:00, 5 s in.
    for (int x : {50, 150, 250, 550})
        EXPECT_TRUE(TickAt(image, x)) << x;
    for (int x : {0, 49, 51, 100, 200})
        EXPECT_FALSE(TickAt(image, x)) << x;
    EXPECT_EQ(image.pixelColor(60, 28), StylePalette::ColorText); // a minor tick, one second on
    EXPECT_EQ(image.pixelColor(60, 2), StylePalette::ColorPanel);

    // Steps far too fine for the scope, or none at all, draw in bounded time.
    const struct { int mScope, mMajor, mMinor; } extremes[] = {
        {2000000000, 1, 1}, {60, 0, 0}, {0, 10, 1}, {1, 1, 1}};
    for (const auto& rCase : extremes) {
        scale.SetScopes({rCase.mScope}, {rCase.mMajor}, {rCase.mMinor});
        QElapsedTimer clock;
        clock.start();
        (void)Render(scale);
        EXPECT_LT(clock.elapsed(), 2000) << rCase.mScope;
    }
}

} // namespace
