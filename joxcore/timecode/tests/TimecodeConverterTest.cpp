#include <joxcore/SimpleTimecodeConverter.h>
#include <joxcore/TimecodeConverter.h>
#include <joxcore/TimecodeTexts.h>

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace JoxCore;

TEST(TimecodeConverterTest, TextsByRateAndSign)
{
    const int64_t oneHour = 3600;
    const struct
    {
        int rate;
        int64_t frames;
        const char* position; // "" when there is none
        const char* signedText;
    } cases[] = {
        {25, 0, "00:00:00:00", "00:00:00:00"},
        {25, 24, "00:00:00:24", "00:00:00:24"},
        {25, 25 * 61 + 3, "00:01:01:03", "00:01:01:03"},
        {30, 30 * 100 * oneHour + 29, "100:00:00:29", "100:00:00:29"},
        {25, -26, "", "-00:00:01:01"},
        {1, std::numeric_limits<int64_t>::min(), "", "-2562047788015215:30:08:00"},
        {0, 5, "", ""},
        {-25, 5, "", ""},
    };
    for (const auto& c : cases) {
        const SimpleTimecodeConverter converter(c.rate);
        EXPECT_EQ(converter.PositionToText(c.frames, nullptr).toStdString(), c.position) << c.rate << " " << c.frames;
        EXPECT_EQ(converter.OffsetToText(c.frames, nullptr).toStdString(), c.signedText) << c.rate << " " << c.frames;
        EXPECT_EQ(converter.DurationToText(c.frames, nullptr).toStdString(), c.signedText) << c.rate << " " << c.frames;
    }
    // Through the text functions a position without timecode shows the placeholder.
    const SimpleTimecodeConverter converter(25);
    EXPECT_EQ(PositionText(&converter, TimecodeFormatTimecode, -1, nullptr), EmptyTimecodeText);
    EXPECT_EQ(OffsetText(&converter, TimecodeFormatTimecode, -1, nullptr).toStdString(), "-00:00:00:01");
}

TEST(TimecodeConverterTest, ChangesAreSignalledOnce)
{
    TimecodeConverter converter(25);
    int updates = 0;
    int modeChanges = 0;
    QObject::connect(&converter, &BaseTimecodeConverter::UpdateTimecode, [&updates] { ++updates; });
    QObject::connect(&converter, &TimecodeConverter::ModeChanged, [&modeChanges] { ++modeChanges; });
    EXPECT_EQ(converter.GetTimecodeMode(), 0);
    converter.SetTimecodeMode(1);
    EXPECT_EQ(converter.GetTimecodeMode(), 1);
    converter.SetTimecodeMode(7); // still timecode
    EXPECT_EQ(converter.GetTimecodeMode(), 1);
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(modeChanges, 1);
    converter.SetFramesPerSecond(30);
    converter.SetFramesPerSecond(30);
    EXPECT_EQ(updates, 2);
    EXPECT_EQ(modeChanges, 1);
    converter.SetTimecodeMode(0);
    EXPECT_EQ(updates, 3);
    EXPECT_EQ(modeChanges, 2);

    // Through a base pointer the override still signals the mode.
    BaseTimecodeConverter* pBase = &converter;
    pBase->SetTimecodeMode(1);
    EXPECT_EQ(modeChanges, 3);
    EXPECT_TRUE(qobject_cast<SimpleTimecodeConverter*>(pBase) != nullptr);
}

} // namespace
