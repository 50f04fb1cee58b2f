#pragma once

#include <QLabel>

class QTextLayout;

namespace joxmaintenance {

// A label of plain text whose lines break between words, and inside a word
// wider than a line (a long path without break points), so that no line
// runs past its right edge. Its lines lie LineHeight apart, and it is as
// high as its wrapped text; a line's width is enough for it to shrink to.
class WrapAnywhereLabel : public QLabel
{
    Q_OBJECT

public:
    explicit WrapAnywhereLabel(QWidget* pParent = nullptr);

    // The height of each line in whole pixels.
    int LineHeight() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    // Lays the text out in lines of rWidth pixels; the height it takes.
    int Layout(QTextLayout& rLayout, int width) const;
};

} // namespace joxmaintenance
