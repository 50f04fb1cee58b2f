#pragma once

#include <QStyledItemDelegate>

namespace JoxWsdd {

// Draws column 0 of the servers list: the icon, then the name or (with
// details) a multi-line text whose lines after the first are three quarters
// as large, coloured by state or by channel group.
class WsddConnectionItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit WsddConnectionItemDelegate(QObject* pParent = nullptr);

    void SetDetails(bool details) { mDetails = details; }
    bool GetDetails() const { return mDetails; }

    // Nothing unless the index comes from a WsddConnectionProxyModel over a
    // ConnectionModel.
    void paint(QPainter* pPainter, const QStyleOptionViewItem& rOption, const QModelIndex& rIndex) const override;
    // 20 by 24, or 20 by 50 with details.
    QSize sizeHint(const QStyleOptionViewItem& rOption, const QModelIndex& rIndex) const override;

private:
    bool mDetails;
};

} // namespace JoxWsdd
