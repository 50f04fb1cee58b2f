#pragma once

#include <QSortFilterProxyModel>

namespace JoxWsdd {

// Sorts the connection model by URL or name and hides the services the
// program does not ask for and, while grouping, the members of channel
// groups. Sorting and filtering follow the model's changes at once.
class WsddConnectionProxyModel : public QSortFilterProxyModel
{
public:
    enum SortKind
    {
        SortByUrl = 0,
        SortByName = 1
    };

    explicit WsddConnectionProxyModel(QObject* pParent = nullptr);
    ~WsddConnectionProxyModel() override;

    // Stores the settings, filters again and sorts column 0 by UrlRole (kind
    // 0) or NameRole (kind 1); nothing unless the source is a ConnectionModel.
    void SetFilter(int sortKind, bool descending, bool showAll, bool grouping);

    int GetSortKind() const { return mSortKind; }
    bool IsDescending() const { return mDescending; }
    bool IsShowAll() const { return mShowAll; }
    bool IsGrouping() const { return mGrouping; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& rSourceParent) const override;

private:
    int mSortKind;
    bool mDescending;
    bool mShowAll;
    bool mGrouping;
};

} // namespace JoxWsdd
