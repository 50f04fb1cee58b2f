// The style's images: each loads at the size its widget expects, shows a
// drawing rather than a plain block, and the images of different states differ.

#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

QImage StyleImage(const QByteArray& rName)
{
    return QImage(QStringLiteral(":/data/HarlenStyle/%1.png").arg(QLatin1String(rName)))
        .convertToFormat(QImage::Format_ARGB32);
}

bool Painted(const QImage& rImage, int x, int y)
{
    return qAlpha(rImage.pixel(x, y)) > 127;
}

// True when the painted pixels are one colour filling their bounding box: a
// plain square or rectangle, or nothing at all.
bool IsFlatBlock(const QImage& rImage)
{
    QSet<QRgb> colours;
    int count = 0;
    QRect box;
    for (int y = 0; y < rImage.height(); ++y)
        for (int x = 0; x < rImage.width(); ++x)
            if (qAlpha(rImage.pixel(x, y)) > 0) {
                colours.insert(rImage.pixel(x, y));
                ++count;
                box |= QRect(x, y, 1, 1);
            }
    return colours.size() <= 1 && count == box.width() * box.height();
}

// The most frequent fully opaque colour.
QRgb MainColour(const QImage& rImage)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < rImage.height(); ++y)
        for (int x = 0; x < rImage.width(); ++x)
            if (qAlpha(rImage.pixel(x, y)) == 255)
                ++counts[rImage.pixel(x, y)];
    const auto it = std::max_element(counts.begin(), counts.end(),
                                     [](const auto& rA, const auto& rB) { return rA.second < rB.second; });
    return it == counts.end() ? 0 : it->first;
}

double ColourDistance(QRgb a, QRgb b)
{
    return std::hypot(std::hypot(qRed(a) - qRed(b), qGreen(a) - qGreen(b)), qBlue(a) - qBlue(b));
}

// What a pixel shows, whatever the colours: 0 nothing, 1 the main colour, 2 anything else.
std::vector<int> Layout(const QImage& rImage)
{
    const QRgb main = MainColour(rImage);
    std::vector<int> layout;
    for (int y = 0; y < rImage.height(); ++y)
        for (int x = 0; x < rImage.width(); ++x)
            layout.push_back(!Painted(rImage, x, y) ? 0 : ColourDistance(rImage.pixel(x, y), main) < 60 ? 1 : 2);
    return layout;
}

// Share of the painted pixels whose layout differs: 0 for images that differ in colour only.
double ShapeDifference(const QImage& rA, const QImage& rB)
{
    if (rA.size() != rB.size())
        return 1.0;
    const std::vector<int> a = Layout(rA);
    const std::vector<int> b = Layout(rB);
    int differing = 0;
    int painted = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        differing += a[i] != b[i];
        painted += a[i] != 0 || b[i] != 0;
    }
    return painted == 0 ? 0.0 : double(differing) / painted;
}

QRect PaintedBox(const QImage& rImage)
{
    QRect box;
    for (int y = 0; y < rImage.height(); ++y)
        for (int x = 0; x < rImage.width(); ++x)
            if (Painted(rImage, x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

// Length of the painted part of row (or column) i, from its first to its last painted pixel.
int Span(const QImage& rImage, int i, bool column)
{
    int first = -1;
    int last = -1;
    for (int j = 0; j < (column ? rImage.height() : rImage.width()); ++j)
        if (column ? Painted(rImage, i, j) : Painted(rImage, j, i)) {
            if (first < 0)
                first = j;
            last = j;
        }
    return first < 0 ? 0 : last - first + 1;
}

// The way an arrow points: towards its narrow end, on the axis where the ends differ most.
std::string Direction(const QImage& rImage)
{
    const QRect box = PaintedBox(rImage);
    const int top = Span(rImage, box.top(), false);
    const int bottom = Span(rImage, box.bottom(), false);
    const int left = Span(rImage, box.left(), true);
    const int right = Span(rImage, box.right(), true);
    if (std::abs(top - bottom) >= std::abs(left - right))
        return top > bottom ? "down" : "up";
    return left > right ? "right" : "left";
}

QSize ExpectedSize(const QString& rName)
{
    if (rName.endsWith(QLatin1String("Logo")))
        return {160, 32};
    if (rName.startsWith(QLatin1String("btn_header")) || rName.startsWith(QLatin1String("btn_command_header"))
        || rName.startsWith(QLatin1String("btn_pin_")))
        return {40, 40};
    if (rName.startsWith(QLatin1String("btn_scrollbar")) || rName.startsWith(QLatin1String("indicator_"))
        || rName.startsWith(QLatin1String("monitoring_")))
        return {16, 16};
    return {24, 24};
}

TEST(StyleImagesTest, EveryImageLoadsAtTheSizeItsWidgetExpects)
{
    int count = 0;
    for (QDirIterator it(QStringLiteral(":/data/HarlenStyle"), {QStringLiteral("*.png")}, QDir::Files);
         it.hasNext();) {
        const QString path = it.next();
        const QImage image(path);
        ASSERT_FALSE(image.isNull()) << path.toStdString();
        EXPECT_EQ(image.size(), ExpectedSize(QFileInfo(path).baseName())) << path.toStdString();
        ++count;
    }
    EXPECT_EQ(count, 189);
    EXPECT_EQ(QImage(QStringLiteral(":/About.png")).size(), QSize(240, 440));
    EXPECT_EQ(QImage(QStringLiteral(":/JOX_Logo.png")).size(), QSize(120, 40));
}

TEST(StyleImagesTest, ShownImagesAreDrawingsNotPlainBlocks)
{
    const char* const names[] = {
        "btn_header_pin", "btn_header_pin_over", "btn_pin_left", "btn_pin_right", "btn_pin_bottom",
        "btn_header_fold", "btn_header_fold_on", "btn_header_fold_over", "btn_header_fold_on_over",
        "btn_header_close", "btn_header_settings", "icon_refresh", "icon_refresh_over",
        "indicator_checkbox", "indicator_radiobutton", "indicator_slider_h", "indicator_slider_v",
        "icon_discovery_unknown", "icon_discovery_maintenance", "icon_discovery_quorel",
        "icon_discovery_harlen_blocked", "icon_discovery_harlen_playout", "icon_discovery_harlen_playout_active",
        "icon_discovery_harlen_playout_group", "icon_message_message", "icon_message_info",
        "icon_message_warning", "icon_message_error", "icon_dropdown", "icon_dropup", "icon_fold_up",
        "icon_fold_down", "icon_scroll_up", "icon_scroll_down", "btn_scrollbar_up", "btn_scrollbar_left"};
    for (const char* pName : names)
        EXPECT_FALSE(IsFlatBlock(StyleImage(pName))) << pName;
    EXPECT_FALSE(IsFlatBlock(QImage(QStringLiteral(":/JOX_Logo.png")).convertToFormat(QImage::Format_ARGB32)));
}

TEST(StyleImagesTest, PinStandsWhenPinnedAndLiesWhenNot)
{
    const QRect pinned = PaintedBox(StyleImage("btn_header_pin"));
    EXPECT_GT(pinned.height(), pinned.width() * 3 / 2);
    for (const char* pName : {"btn_pin_left", "btn_pin_right"}) {
        const QRect lying = PaintedBox(StyleImage(pName));
        EXPECT_GT(lying.width(), lying.height() * 3 / 2) << pName;
    }
    for (const char* pName : {"btn_pin_left", "btn_pin_right", "btn_pin_bottom"})
        EXPECT_GT(ShapeDifference(StyleImage("btn_header_pin"), StyleImage(pName)), 0.3) << pName;
    // The hover image stays a pin.
    EXPECT_LT(ShapeDifference(StyleImage("btn_header_pin"), StyleImage("btn_header_pin_over")), 0.1);
}

TEST(StyleImagesTest, ArrowsPointTheirWay)
{
    // Folded buttons offer to open downwards; unfolded ones to close upwards.
    const std::pair<const char*, const char*> cases[] = {
        {"btn_header_fold", "down"},         {"btn_header_fold_over", "down"},
        {"btn_header_fold_on", "up"},        {"btn_header_fold_on_over", "up"},
        {"btn_command_header_fold", "down"}, {"btn_command_header_fold_on_over", "up"},
        {"icon_fold_down", "down"},          {"icon_fold_up", "up"},
        {"icon_dropdown", "down"},           {"icon_dropup", "up"},
        {"icon_scroll_down", "down"},        {"icon_scroll_up_over", "up"},
        {"btn_scrollbar_up", "up"},          {"btn_scrollbar_down_on", "down"},
        {"btn_scrollbar_left", "left"},      {"btn_scrollbar_right_on", "right"}};
    for (const auto& rCase : cases)
        EXPECT_EQ(Direction(StyleImage(rCase.first)), rCase.second) << rCase.first;
}

TEST(StyleImagesTest, ServerStatesDifferInColourAndShape)
{
    // Free, busy and grouped services of each kind.
    for (const char* pKind : {"playout", "capture", "transfer", "transform"}) {
        const QByteArray stem = QByteArray("icon_discovery_harlen_") + pKind;
        const QImage states[] = {StyleImage(stem), StyleImage(stem + "_active"), StyleImage(stem + "_group")};
        for (int i = 0; i < 3; ++i)
            for (int j = i + 1; j < 3; ++j) {
                EXPECT_GT(ShapeDifference(states[i], states[j]), 0.15) << pKind << ' ' << i << ' ' << j;
                EXPECT_GT(ColourDistance(MainColour(states[i]), MainColour(states[j])), 60.0)
                    << pKind << ' ' << i << ' ' << j;
            }
    }
    // Every service state and kind the server list shows has a colour of its own.
    const char* const distinct[] = {"icon_discovery_harlen_playout", "icon_discovery_harlen_playout_active",
                                    "icon_discovery_harlen_playout_group", "icon_discovery_harlen_blocked",
                                    "icon_discovery_unknown", "icon_discovery_quorel",
                                    "icon_discovery_maintenance"};
    for (size_t i = 0; i < std::size(distinct); ++i)
        for (size_t j = i + 1; j < std::size(distinct); ++j)
            EXPECT_GT(ColourDistance(MainColour(StyleImage(distinct[i])), MainColour(StyleImage(distinct[j]))),
                      40.0)
                << distinct[i] << " / " << distinct[j];
    // Each of the sixteen discovery images is its own.
    std::vector<QImage> all;
    for (QDirIterator it(QStringLiteral(":/data/HarlenStyle"), {QStringLiteral("icon_discovery_*.png")});
         it.hasNext();)
        all.push_back(QImage(it.next()));
    ASSERT_EQ(all.size(), 16u);
    for (size_t i = 0; i < all.size(); ++i)
        for (size_t j = i + 1; j < all.size(); ++j)
            EXPECT_NE(all[i], all[j]) << i << ' ' << j;
}

TEST(StyleImagesTest, MonitoringStatesDifferInShape)
{
    const char* const states[] = {"good", "ok", "warning", "error", "critical", "bad", "off", "unknown"};
    for (size_t i = 0; i < std::size(states); ++i)
        for (size_t j = i + 1; j < std::size(states); ++j)
            EXPECT_GT(ShapeDifference(StyleImage(QByteArray("monitoring_") + states[i]),
                                      StyleImage(QByteArray("monitoring_") + states[j])),
                      0.15)
                << states[i] << " / " << states[j];
}

TEST(StyleImagesTest, AboutPictureIsAPicture)
{
    const QImage picture = QImage(QStringLiteral(":/About.png")).convertToFormat(QImage::Format_ARGB32);
    QSet<QRgb> colours;
    int mixedRows = 0;
    for (int y = 0; y < picture.height(); ++y) {
        QSet<QRgb> row;
        for (int x = 0; x < picture.width(); ++x)
            row.insert(picture.pixel(x, y));
        mixedRows += row.size() > 1;
        colours.unite(row);
    }
    // More than a gradient: most rows hold several colours.
    EXPECT_GT(mixedRows, picture.height() / 2);
    EXPECT_GT(colours.size(), 200);
}

} // namespace
