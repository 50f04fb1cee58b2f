#include <styles/HarlenStyle.h>
#include <styles/StyleMetrics.h>
#include <styles/StylePalette.h>

#include <QApplication>
#include <QCheckBox>
#include <QDirIterator>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QStyleOption>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

// A style with its own metric table, to see which style is current.
class FixedStyle : public BaseStyle
{
public:
    explicit FixedStyle(int value) : mValue(value) {}
    bool GetFlag() const override { return false; }
    int GetMetric(int) const override { return mValue; }

private:
    int mValue;
};

int CountFiles(const QString& rRoot)
{
    int count = 0;
    QDirIterator it(rRoot, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++count;
    }
    return count;
}

QString StyleSheetText()
{
    QFile file(QStringLiteral(":/data/HarlenStyle/HarlenStyle.css"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll());
}

class HarlenStyleTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        mpStyle.reset();
        qApp->setStyleSheet(QString());
    }
    std::unique_ptr<HarlenStyle> mpStyle = std::make_unique<HarlenStyle>();
};

TEST(StyleMetricsTest, DefaultsWithoutAStyle)
{
    ASSERT_EQ(BaseStyle::Current(), nullptr);
    const int expected[] = {21, 3, 45, 15, 3, 24, 10, 15, 3, 5, 93, 45, 0};
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(StyleMetric(i), expected[i]) << i;
    EXPECT_EQ(StyleMetric(-1), 0);
    EXPECT_FALSE(StyleFlag());
    EXPECT_EQ(UnitsWidth(1), 45);
    EXPECT_EQ(UnitsWidth(5), 237);
    EXPECT_EQ(UnitsWidth(7), 333);
}

TEST_F(HarlenStyleTest, MetricsFollowTheStyleUntilItIsDestroyed)
{
    EXPECT_EQ(BaseStyle::Current(), mpStyle.get());
    const int expected[] = {20, 2, 40, 22, 4, 32, 6, 8, 8, 8, 128, 84, 0};
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(StyleMetric(i), expected[i]) << i;
    EXPECT_EQ(StyleMetric(10), UnitsWidth(3));
    EXPECT_EQ(StyleMetric(11), UnitsWidth(2));
    EXPECT_EQ(UnitsWidth(1), StyleMetric(2));
    EXPECT_EQ(UnitsWidth(5), 216);
    EXPECT_EQ(UnitsWidth(7), 304);
    EXPECT_TRUE(StyleFlag());

    mpStyle.reset();
    EXPECT_EQ(BaseStyle::Current(), nullptr);
    EXPECT_EQ(StyleMetric(2), 45);
    EXPECT_FALSE(StyleFlag());
}

TEST(BaseStyleTest, FirstStyleBuiltStaysCurrent)
{
    auto pFirst = std::make_unique<FixedStyle>(7);
    {
        FixedStyle second(9);
        EXPECT_EQ(BaseStyle::Current(), pFirst.get());
        EXPECT_EQ(StyleMetric(3), 7);
    }
    EXPECT_EQ(BaseStyle::Current(), pFirst.get());
    pFirst.reset();
    EXPECT_EQ(BaseStyle::Current(), nullptr);
}

TEST(ResourceTest, BundlesAreRegisteredBeforeAnyStyleExists)
{
    EXPECT_EQ(CountFiles(QStringLiteral(":/data/HarlenStyle")), 190);
    EXPECT_EQ(CountFiles(QStringLiteral(":/data")) - 190, 202);
    EXPECT_FALSE(QPixmap(QStringLiteral(":/About.png")).isNull());
    EXPECT_FALSE(QPixmap(QStringLiteral(":/JOX_Logo.png")).isNull());
    EXPECT_TRUE(QFile::exists(QStringLiteral(":/data/not_supported.yuv")));
    EXPECT_FALSE(QPixmap(QStringLiteral(":/data/style/pushbutton_normal_5.png")).isNull());
    // Paths outside every bundle give null pixmaps and nothing else.
    EXPECT_TRUE(QPixmap(QStringLiteral(":/GuiIcons/service.png")).isNull());
}

TEST(ResourceTest, StyleSheetNamesTheWidgetsAndColours)
{
    const QString css = StyleSheetText();
    ASSERT_FALSE(css.isEmpty());
    for (const char* pName : {"LabelPlayHeader", "ButtonHeaderFold", "ButtonHeaderPin", "LabelMessage",
                              "ButtonRefresh", "HorizontalLine", "LabelHeadline", "LabelAboutTitle",
                              "LabelAboutRights", "AboutDialogButton", "ManagementButton",
                              "HarlenAboutWidget"})
        EXPECT_TRUE(css.contains(QLatin1Char('#') + QLatin1String(pName))) << pName;
    for (const char* pText : {"14px \"Arial\"", "#222222", "#424242", "#121212", "#626262", "#0093dd",
                              "#ff0000", "#b9b9b9"})
        EXPECT_TRUE(css.contains(QLatin1String(pText), Qt::CaseInsensitive)) << pText;
}

TEST(ResourceTest, EveryImageTheStyleSheetAsksForExists)
{
    const QString css = StyleSheetText();
    const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
    int count = 0;
    for (auto it = url.globalMatch(css); it.hasNext();) {
        const QString path = it.next().captured(1);
        EXPECT_FALSE(QPixmap(path).isNull()) << path.toStdString();
        ++count;
    }
    EXPECT_GT(count, 20);
}

TEST(PaletteTest, TellingColours)
{
    EXPECT_EQ(StylePalette::ColorAccent, QColor(0, 147, 221));
    EXPECT_EQ(StylePalette::ColorGrey, QColor(111, 111, 111));
    EXPECT_EQ(StylePalette::ColorOrange, QColor(236, 117, 0));
    EXPECT_EQ(StylePalette::BrushAccent.color(), StylePalette::ColorAccent);
    EXPECT_EQ(StylePalette::BrushAccent.style(), Qt::SolidPattern);
    EXPECT_TRUE(StylePalette::PenBorder.isCosmetic());
    EXPECT_EQ(StylePalette::PenBorder.width(), 0);
    EXPECT_EQ(StylePalette::PenSelection.color(), StylePalette::ColorSelection);
}

TEST(PaletteTest, GreyRampHoldsValidOpaqueGreys)
{
#define TANDRIL_GREYS(X) \
    X(008) X(016) X(024) X(032) X(040) X(048) X(056) X(064) X(072) X(080) X(088) X(096) X(104) X(112) X(120) \
    X(128) X(136) X(144) X(152) X(160) X(168) X(176) X(184) X(192) X(200) X(208) X(216) X(224) X(232) X(240) \
    X(248) X(256) X(264) X(272) X(280) X(288) X(296) X(304) X(312) X(320) X(328) X(336) X(344) X(352) X(360) \
    X(368) X(376)
#define TANDRIL_GREY_ENTRY(n) {#n, StylePalette::ColorGrey##n},
    const std::pair<const char*, QColor> greys[] = {TANDRIL_GREYS(TANDRIL_GREY_ENTRY)};
#undef TANDRIL_GREY_ENTRY
#undef TANDRIL_GREYS
    int previous = 0;
    for (const auto& rGrey : greys) {
        const QColor& rColor = rGrey.second;
        EXPECT_TRUE(rColor.isValid()) << rGrey.first;
        EXPECT_EQ(rColor.spec(), QColor::Rgb) << rGrey.first;
        EXPECT_EQ(rColor.alpha(), 255) << rGrey.first;
        EXPECT_TRUE(rColor.red() == rColor.green() && rColor.green() == rColor.blue()) << rGrey.first;
        // Named by value: exact up to 248, then white; never darker than the one before.
        const int named = QByteArray(rGrey.first).toInt();
        EXPECT_EQ(rColor.red(), std::min(named, 255)) << rGrey.first;
        EXPECT_GE(rColor.red(), previous) << rGrey.first;
        previous = rColor.red();
    }
}

TEST_F(HarlenStyleTest, InstallsStyleSheetAndBlackShadows)
{
    EXPECT_EQ(qApp->styleSheet(), StyleSheetText());
    const QPalette palette = QApplication::palette();
    EXPECT_EQ(palette.color(QPalette::Active, QPalette::Shadow), QColor(Qt::black));
    EXPECT_EQ(palette.color(QPalette::Inactive, QPalette::Shadow), QColor(Qt::black));
    EXPECT_EQ(mpStyle->baseStyle()->name().toLower(), QStringLiteral("windows"));
}

TEST_F(HarlenStyleTest, StyleSheetReachesNamedWidgets)
{
    QWidget window;
    window.resize(200, 80);
    auto* pMessage = new QLabel(QStringLiteral("x"), &window);
    pMessage->setObjectName(QStringLiteral("LabelMessage"));
    pMessage->setGeometry(10, 10, 120, 40);
    window.ensurePolished();
    pMessage->ensurePolished();
    const QImage image = pMessage->grab().toImage();
    EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() - 6), QColor(255, 0, 0));
    EXPECT_EQ(pMessage->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(pMessage->font().pixelSize(), 14);
    // The installed font answering for Arial must be metric-compatible.
    const QString resolved = QFontInfo(pMessage->font()).family();
    EXPECT_TRUE(resolved == QStringLiteral("Arial") || resolved == QStringLiteral("Liberation Sans"))
        << resolved.toStdString();
}

// The inside of a check box's indicator, as the style sheet paints it.
QImage CheckIndicator(bool checked)
{
    QCheckBox box(QStringLiteral("Details"));
    box.setChecked(checked);
    box.resize(box.sizeHint());
    box.ensurePolished();
    QStyleOptionButton option;
    option.initFrom(&box);
    const QRect indicator = box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
    return box.grab().toImage().convertToFormat(QImage::Format_ARGB32).copy(indicator.adjusted(2, 2, -2, -2));
}

TEST_F(HarlenStyleTest, OnlyACheckedBoxShowsATick)
{
    const QImage unchecked = CheckIndicator(false);
    ASSERT_GE(unchecked.width(), 8);
    for (int y = 0; y < unchecked.height(); ++y)
        for (int x = 0; x < unchecked.width(); ++x)
            ASSERT_EQ(unchecked.pixelColor(x, y), QColor(0x12, 0x12, 0x12)) << x << ',' << y;

    const QImage checked = CheckIndicator(true);
    int tick = 0;
    int fill = 0;
    for (int y = 0; y < checked.height(); ++y)
        for (int x = 0; x < checked.width(); ++x) {
            const QColor c = checked.pixelColor(x, y);
            tick += c.red() > 200 && c.green() > 200 && c.blue() > 200;
            fill += c == QColor(0x00, 0x93, 0xdd);
        }
    EXPECT_GE(tick, 10);
    EXPECT_GE(fill, 40);
}

TEST_F(HarlenStyleTest, ShadowOnlyUnderEnabledTextAndNoEtching)
{
    QPalette palette;
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    QFont font;
    font.setPixelSize(20);

    auto countDark = [&](bool enabled) {
        QImage image(80, 40, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setFont(font);
        mpStyle->drawItemText(&painter, image.rect(), Qt::AlignCenter, palette, enabled,
                              QStringLiteral("HH"), QPalette::WindowText);
        painter.end();
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.alpha() > 200 && c.red() < 40 && c.green() < 40 && c.blue() < 40)
                    ++dark;
            }
        return dark;
    };
    EXPECT_GT(countDark(true), 0);
    EXPECT_EQ(countDark(false), 0);

    EXPECT_EQ(mpStyle->styleHint(QStyle::SH_EtchDisabledText), 0);
    EXPECT_EQ(mpStyle->styleHint(QStyle::SH_DitherDisabledText), 0);
}

TEST_F(HarlenStyleTest, DropIndicatorIsTranslucentWhiteGrownVertically)
{
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QStyleOption option;
    option.rect = QRect(5, 10, 30, 10);
    QPainter painter(&image);
    mpStyle->drawPrimitive(QStyle::PE_IndicatorItemViewItemDrop, &option, &painter);
    painter.end();
    const QColor inside = image.pixelColor(20, 15);
    EXPECT_NEAR(inside.red(), 128, 2);
    EXPECT_EQ(image.pixelColor(20, 8), inside); // grown by 3 at the top
    EXPECT_EQ(image.pixelColor(20, 22), inside); // and at the bottom
    EXPECT_EQ(image.pixelColor(20, 4), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(2, 15), QColor(Qt::black));
}

} // namespace
