#pragma once

#include <QSortFilterProxyModel>

namespace joxmaintenance {

// Hides the successfully finished jobs of a ListLogStatusModel on demand;
// rows keep the model's order.
class LogStatusFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit LogStatusFilterProxyModel(QObject* pParent = nullptr);

    void SetFilterFinished(bool hideFinished);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& rSourceParent) const override;

private:
    bool mHideFinished = false;
};

} // namespace joxmaintenance
