#include <gui/WrapAnywhereLabel.h>

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace joxmaintenance {

namespace {

// The widest a line is laid out for the size hint, as QLabel's own.
constexpr int kHintCharacters = 80;

} // namespace

WrapAnywhereLabel::WrapAnywhereLabel(QWidget* pParent)
    : QLabel(pParent)
{
    setTextFormat(Qt::PlainText);
    // QLabel keeps its size policy's height for width only for word wrap,
    // which the own hints and painting then replace.
    setWordWrap(true);
}

int WrapAnywhereLabel::Layout(QTextLayout& rLayout, int width) const
{
    QString text = this->text();
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    rLayout.setText(text);
    rLayout.setFont(font());
    QTextOption option(alignment() & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    rLayout.setTextOption(option);
    // Each line LineHeight below the one before, so that the text scrolls
    // by whole lines.
    const int lineHeight = LineHeight();
    int y = 0;
    rLayout.beginLayout();
    for (QTextLine line = rLayout.createLine(); line.isValid(); line = rLayout.createLine())
    {
        line.setLeadingIncluded(true);
        line.setLineWidth(std::max(1, width));
        line.setPosition(QPointF(0, y));
        y += lineHeight;
    }
    rLayout.endLayout();
    return y;
}

int WrapAnywhereLabel::LineHeight() const
{
    // The layout's line of the font, which may be a pixel more than the
    // font's line spacing.
    QTextLayout layout(QStringLiteral("X"), font());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLeadingIncluded(true);
    layout.endLayout();
    return std::max({1, fontMetrics().lineSpacing(), static_cast<int>(std::ceil(line.height()))});
}

int WrapAnywhereLabel::heightForWidth(int width) const
{
    const QMargins margins = contentsMargins();
    QTextLayout layout;
    return Layout(layout, width - margins.left() - margins.right()) + margins.top() + margins.bottom();
}

QSize WrapAnywhereLabel::sizeHint() const
{
    const QMargins margins = contentsMargins();
    QTextLayout layout;
    Layout(layout, fontMetrics().averageCharWidth() * kHintCharacters);
    const int width = static_cast<int>(std::ceil(layout.maximumWidth())) + margins.left() + margins.right();
    return QSize(width, heightForWidth(width));
}

QSize WrapAnywhereLabel::minimumSizeHint() const
{
    const QMargins margins = contentsMargins();
    const QFontMetrics metrics = fontMetrics();
    return QSize(metrics.maxWidth() + margins.left() + margins.right(),
                 metrics.lineSpacing() + margins.top() + margins.bottom());
}

void WrapAnywhereLabel::paintEvent(QPaintEvent*)
{
    const QRect area = contentsRect();
    QTextLayout layout;
    Layout(layout, area.width());
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    layout.draw(&painter, area.topLeft());
}

} // namespace joxmaintenance
