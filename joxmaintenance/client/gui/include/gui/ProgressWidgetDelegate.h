#pragma once

#include <QStyledItemDelegate>

namespace joxmaintenance {

// Paints the percent column of the job table as a rounded blue bar on grey
// with a white frame and the value as "%1 %" (clamped to 100; a value that
// is not a finite number or is negative is not drawn). Cells whose text the
// column cuts show it whole in their tool tip.
class ProgressWidgetDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit ProgressWidgetDelegate(QObject* pParent = nullptr);

    void paint(QPainter* pPainter, const QStyleOptionViewItem& rOption, const QModelIndex& rIndex) const override;
    // The progress column is at least as wide as "100.0 %" in its frame.
    QSize sizeHint(const QStyleOptionViewItem& rOption, const QModelIndex& rIndex) const override;
    bool helpEvent(QHelpEvent* pEvent, QAbstractItemView* pView, const QStyleOptionViewItem& rOption,
                   const QModelIndex& rIndex) override;
};

} // namespace joxmaintenance
