#include <gui/ProgressWidgetDelegate.h>

#include <QPainter>

namespace joxmaintenance {

namespace {

// A rectangle from two inclusive corners.
QRectF Corners(int left, int top, int right, int bottom)
{
    return QRectF(QRect(QPoint(left, top), QPoint(right, bottom)));
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
    const double value = rIndex.data(Qt::DisplayRole).toDouble(&isNumber);
    if (!isNumber || !(value >= 0.0))
        return;

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
                       QStringLiteral("%1 %").arg(QString::number(value, 'f', 1)));
    pPainter->restore();
}

} // namespace joxmaintenance
