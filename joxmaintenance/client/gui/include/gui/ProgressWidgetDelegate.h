#pragma once

#include <QStyledItemDelegate>

namespace joxmaintenance {

// Paints the percent column of the job table as a rounded blue bar on grey
// with a white frame and the value as "%1 %".
class ProgressWidgetDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit ProgressWidgetDelegate(QObject* pParent = nullptr);

    void paint(QPainter* pPainter, const QStyleOptionViewItem& rOption, const QModelIndex& rIndex) const override;
};

} // namespace joxmaintenance
