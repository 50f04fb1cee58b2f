#include <gui/ProgressWidgetDelegate.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace joxmaintenance {

namespace {

// A rectangle from two inclusive corners.
QRectF Corners(int left, int top, int right, int bottom)
{
    return QRectF(QRect(QPoint(left, top), QPoint(right, bottom)));
}

// The widest text the progress column shows, and the room around it: the
// frame's inset on both sides and its rounded corners.
const char* const kWidestProgressText = "100.0 %";
const int kProgressTextRoom = 2 * 4 + 2 * 8;

QString ProgressText(double value)
{
    return QStringLiteral("%1 %").arg(QString::number(value, 'f', 1));
}

} // namespace

ProgressWidgetDelegate::ProgressWidgetDelegate(QObject* pParent)
    : QStyledItemDelegate(pParent)
{
}

void ProgressWidgetDelegate::paint(QPainter* pPainter, const QStyleOptionViewItem& rOption,
                                   const QModelIndex& rIndex) const
{
    QStyleOptionViewItem option(rOption);
    QStyledItemDelegate::paint(pPainter, option, rIndex);
    if (rIndex.column() != 1)
        return;

    bool isNumber = false;
    double value = rIndex.data(Qt::DisplayRole).toDouble(&isNumber);
    // Not a number, infinite or negative: nothing is drawn. Above 100 the
    // bar and its text stop at 100.
    if (!isNumber || !std::isfinite(value) || value < 0.0)
        return;
    value = std::min(value, 100.0);

    const QRect& rCell = rOption.rect;
    const int left = rCell.left();
    const int top = rCell.top();
    const int right = rCell.right();
    const int bottom = rCell.bottom();
    const int width = right - left + 1;
    const QColor blue(65, 105, 255);

    pPainter->save();
    pPainter->setRenderHint(QPainter::Antialiasing, true);
    pPainter->setPen(QColor(QStringLiteral("transparent")));
    pPainter->setBrush(QBrush(QColor(75, 75, 75), Qt::SolidPattern));
    pPainter->drawRoundedRect(Corners(left + 3, top + 3, right - 2, bottom - 4), 5, 5, Qt::AbsoluteSize);
    pPainter->restore();

    int bar = static_cast<int>(width * value / 100.0);
    if (bar > 5)
    {
        pPainter->save();
        pPainter->setRenderHint(QPainter::Antialiasing, true);
        pPainter->setPen(QColor(QStringLiteral("transparent")));
        pPainter->setBrush(QBrush(blue, Qt::SolidPattern));
        pPainter->drawRoundedRect(Corners(left + 3, top + 3, left + bar - 1, bottom - 4), 5, 5, Qt::AbsoluteSize);
        pPainter->restore();
    }
    else
    {
        bar = 5;
    }

    pPainter->save();
    pPainter->setRenderHint(QPainter::Antialiasing, true);
    pPainter->setPen(QColor(QStringLiteral("transparent")));
    pPainter->setBrush(QBrush(blue, Qt::SolidPattern));
    pPainter->drawRect(Corners(left + 5, top + 3, left + bar - 1, bottom - 4));
    pPainter->restore();

    pPainter->save();
    pPainter->setRenderHint(QPainter::Antialiasing, true);
    pPainter->setPen(QColor(QStringLiteral("white")));
    pPainter->setBrush(QBrush(QColor(QStringLiteral("transparent")), Qt::SolidPattern));
    const QRectF frame = Corners(left + 4, top + 4, right - 4, bottom - 4);
    pPainter->drawRoundedRect(frame, 5, 5, Qt::AbsoluteSize);
    pPainter->drawText(frame, Qt::AlignHCenter | Qt::AlignVCenter,
                       ProgressText(value));
    pPainter->restore();
}

QSize ProgressWidgetDelegate::sizeHint(const QStyleOptionViewItem& rOption, const QModelIndex& rIndex) const
{
    QSize size = QStyledItemDelegate::sizeHint(rOption, rIndex);
    if (rIndex.column() == 1)
    {
        const int needed = rOption.fontMetrics.horizontalAdvance(QLatin1String(kWidestProgressText)) + kProgressTextRoom;
        size.setWidth(std::max(size.width(), needed));
    }
    return size;
}

bool ProgressWidgetDelegate::helpEvent(QHelpEvent* pEvent, QAbstractItemView* pView,
                                       const QStyleOptionViewItem& rOption, const QModelIndex& rIndex)
{
    if (!pEvent || pEvent->type() != QEvent::ToolTip || !rIndex.isValid() || rIndex.column() == 1)
        return QStyledItemDelegate::helpEvent(pEvent, pView, rOption, rIndex);

    // A text the cell cuts shows whole in the tool tip.
    QStyleOptionViewItem option(rOption);
    initStyleOption(&option, rIndex);
    const QWidget* pWidget = option.widget;
    const QStyle* pStyle = pWidget ? pWidget->style() : QApplication::style();
    const int margin = pStyle->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, pWidget) + 1;
    const int room = pStyle->subElementRect(QStyle::SE_ItemViewItemText, &option, pWidget).width() - 2 * margin;
    if (!option.text.isEmpty() && option.fontMetrics.horizontalAdvance(option.text) > room)
    {
        QToolTip::showText(pEvent->globalPos(), option.text, pView);
        return true;
    }
    return QStyledItemDelegate::helpEvent(pEvent, pView, rOption, rIndex);
}

} // namespace joxmaintenance
