#include <clientview/WsddConnectionItemDelegate.h>

#include <clientview/ConnectionModel.h>
#include <clientview/WsddConnectionProxyModel.h>

#include <styles/StyleMetrics.h>

#include <QFontMetrics>
#include <QMutexLocker>
#include <QPainter>
#include <QPersistentModelIndex>
#include <QPixmap>

namespace JoxWsdd {

WsddConnectionItemDelegate::WsddConnectionItemDelegate(QObject* pParent)
    : QStyledItemDelegate(pParent), mDetails(false)
{
}

QSize WsddConnectionItemDelegate::sizeHint(const QStyleOptionViewItem& rOption, const QModelIndex& rIndex) const
{
    (void)rOption;
    (void)rIndex;
    return QSize(20, mDetails ? 50 : 24);
}

void WsddConnectionItemDelegate::paint(QPainter* pPainter, const QStyleOptionViewItem& rOption,
                                       const QModelIndex& rIndex) const
{
    const auto* pProxy = dynamic_cast<const WsddConnectionProxyModel*>(rIndex.model());
    ConnectionModel* pModel = pProxy != nullptr ? qobject_cast<ConnectionModel*>(pProxy->sourceModel()) : nullptr;
    if (pPainter == nullptr || pModel == nullptr)
        return;

    pPainter->save();
    QMutexLocker<QRecursiveMutex> lock(&pModel->GetMutex());
    const QPersistentModelIndex index(rIndex);
    if (!index.isValid())
    {
        lock.unlock();
        pPainter->restore();
        return;
    }
    QStyledItemDelegate::paint(pPainter, rOption, rIndex);
    const QPixmap icon = index.data(Qt::DecorationRole).value<QPixmap>();
    const int iconWidth = icon.isNull() ? 0 : icon.width();
    const QString text = index.data(mDetails ? ConnectionModel::DetailsRole : ConnectionModel::NameRole).toString();
    QColor color = index.data(Qt::ForegroundRole).value<QColor>();
    if (index.data(ConnectionModel::GroupPositionRole).toInt() >= 0)
        color = index.data(ConnectionModel::GroupColorRole).value<QColor>();
    lock.unlock();

    const int margin = StyleMetric(4);
    const QRect frame = rOption.rect.adjusted(margin, margin, -margin, -margin);
    QRect textRect = frame;
    textRect.setLeft(frame.left() + (iconWidth < 1 ? margin : iconWidth + 2 * margin));
    pPainter->setPen(color);
    int lineSpacing = pPainter->fontMetrics().lineSpacing();
    const int alignment = Qt::AlignLeft | (mDetails ? Qt::AlignTop : Qt::AlignVCenter);

    const QStringList lines = text.split(QLatin1Char('\n'), Qt::KeepEmptyParts);
    for (int line = 0; line < lines.size(); ++line)
    {
        const QString shown =
            pPainter->fontMetrics().elidedText(lines[line], Qt::ElideRight, textRect.right() - textRect.left() + 1);
        pPainter->drawText(textRect, alignment, shown);
        textRect.translate(0, lineSpacing);
        if (line == 0)
        {
            QFont smaller = pPainter->font();
            const int pixelSize = static_cast<int>(smaller.pixelSize() * 0.75);
            if (pixelSize > 0)
                smaller.setPixelSize(pixelSize);
            else if (smaller.pointSizeF() > 0)
                smaller.setPointSizeF(smaller.pointSizeF() * 0.75);
            pPainter->setFont(smaller);
            lineSpacing = QFontMetrics(smaller).lineSpacing();
        }
    }
    pPainter->restore();
}

} // namespace JoxWsdd
