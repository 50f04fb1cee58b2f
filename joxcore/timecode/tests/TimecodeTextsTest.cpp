#include <joxcore/BaseTimecodeConverter.h>
#include <joxcore/TimecodeTexts.h>

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace JoxCore;

// Answers with the operation's letter, the frames and the context's text, or
// the empty text when told to.
class FakeConverter : public BaseTimecodeConverter
{
public:
    explicit FakeConverter(bool empty) : mEmpty(empty) {}
    int GetTimecodeMode() const override { return mMode; }
    void SetTimecodeMode(int mode) override { mMode = mode; }
    QString PositionToText(int64_t frames, void* pContext) const override
    {
        return Text('P', frames, pContext);
    }
    QString OffsetToText(int64_t frames, void* pContext) const override
    {
        return Text('O', frames, pContext);
    }
    QString DurationToText(int64_t frames, void* pContext) const override
    {
        return Text('D', frames, pContext);
    }

private:
    QString Text(char kind, int64_t frames, void* pContext) const
    {
        if (mEmpty)
            return QString();
        return QStringLiteral("%1%2@%3")
            .arg(QChar::fromLatin1(kind))
            .arg(static_cast<qlonglong>(frames))
            .arg(*static_cast<const QString*>(pContext));
    }
    bool mEmpty;
    int mMode = 0;
};

using TextFunction = QString (*)(const BaseTimecodeConverter*, int, int64_t, void*);

TEST(TimecodeTextsTest, NameTables)
{
    EXPECT_EQ(TimecodeFormatNames, (std::map<int, std::string>{{0, "Frames"}, {1, "Timecode"}}));
    EXPECT_EQ(TimecodeFormatKeys, (std::map<int, std::string>{{0, "frames"}, {1, "timecode"}}));
    EXPECT_EQ(EmptyFrameText, QStringLiteral("---"));
    EXPECT_EQ(EmptyTimecodeText, QStringLiteral("--:--:--:--"));
}

TEST(TimecodeTextsTest, TextsByConverterFormatAndFrames)
{
    FakeConverter converter(false);
    FakeConverter emptyConverter(true);
    QString context = QStringLiteral("ctx");
    const int64_t big = std::numeric_limits<int64_t>::max();
    const int64_t least = std::numeric_limits<int64_t>::min();
    struct Case
    {
        const char* function;
        TextFunction text;
        const BaseTimecodeConverter* converter;
        int format;
        int64_t frames;
        const char* expected;
    };
    const Case cases[] = {
        // Frame format, or no converter: the plain number; negative
        // positions and offsets have no number, durations keep their sign.
        {"Position", &PositionText, nullptr, 0, 25, "25"},
        {"Position", &PositionText, nullptr, 1, 25, "25"},
        {"Position", &PositionText, &converter, 0, 25, "25"},
        {"Position", &PositionText, &converter, 2, 25, "25"},
        {"Position", &PositionText, nullptr, 0, -1, "---"},
        {"Position", &PositionText, nullptr, 1, least, "---"},
        {"Position", &PositionText, nullptr, 0, 0, "0"},
        {"Position", &PositionText, nullptr, 0, big, "9223372036854775807"},
        {"Offset", &OffsetText, nullptr, 0, -1, "---"},
        {"Offset", &OffsetText, &converter, 0, 7, "7"},
        {"Duration", &DurationText, nullptr, 0, -1, "-1"},
        {"Duration", &DurationText, nullptr, 1, least, "-9223372036854775808"},
        {"Duration", &DurationText, &converter, 0, 3, "3"},
        // Timecode format with a converter: its text, with frames and context
        // passed through, negative frames included.
        {"Position", &PositionText, &converter, 1, 25, "P25@ctx"},
        {"Position", &PositionText, &converter, 1, -4, "P-4@ctx"},
        {"Offset", &OffsetText, &converter, 1, 12, "O12@ctx"},
        {"Duration", &DurationText, &converter, 1, -2, "D-2@ctx"},
        // ... and the timecode placeholder when the converter has no text.
        {"Position", &PositionText, &emptyConverter, 1, 25, "--:--:--:--"},
        {"Offset", &OffsetText, &emptyConverter, 1, -1, "--:--:--:--"},
        {"Duration", &DurationText, &emptyConverter, 1, 0, "--:--:--:--"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text(c.converter, c.format, c.frames, &context).toStdString(), c.expected)
            << c.function << " format " << c.format << " frames " << c.frames;
}

} // namespace
