#pragma once

#include <joxwsdd/WebServiceInfo.h>

#include <QAbstractItemModel>
#include <QColor>
#include <QList>
#include <QMetaType>
#include <QModelIndexList>
#include <QRecursiveMutex>
#include <QString>
#include <QStringList>

class QMimeData;

namespace JoxWsdd {

// The list behind the servers panel: service entries in order of their first
// URL, in two columns (entry, channel label). Beside the reported services it
// keeps one channel group entry (type CHANNEL) per URL of channel services,
// which collects their service types and names the one holding the channel.
// Every addition, change and removal is re-published as a signal carrying
// copies of the entries. GUI thread only; the recursive mutex guards the
// entries and is also held by the proxy and the delegate while they read
// roles.
class ConnectionModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Role
    {
        NameRole = 32,
        DetailsRole = 33,
        UrlRole = 34,
        ServiceNameRole = 36,
        GroupMemberRole = 37,
        GroupLeaderRole = 38,
        RelevantRole = 39,
        GroupPositionRole = 41,
        GroupColorRole = 42,
        GroupSizeRole = 43,
        GroupUrlsRole = 44,
        DragTypeRole = 45,
        ActiveRole = 46,
        GroupingRole = 47
    };

    typedef QList<WebServiceInfo::ServiceType> ServiceTypeList;

    explicit ConnectionModel(QObject* pParent = nullptr);
    ~ConnectionModel() override;
    ConnectionModel(const ConnectionModel&) = delete;
    ConnectionModel& operator=(const ConnectionModel&) = delete;

    // Empties the list (a model reset).
    void Clear();
    // The entry of the row; a new default entry (never null) outside the list.
    WebServiceInfoPtr GetService(int row) const;
    int GetServiceCount() const;
    // Reports column 0 of every row as changed, so that roles depending on
    // the grouping switch are read again.
    void Regroup();

    // Types whose rows may be dragged.
    void SetDragTypes(const ServiceTypeList& rTypes);
    ServiceTypeList GetDragTypes() const;
    // Types the panel shows unless "Show all" is on.
    void SetRelevantTypes(const ServiceTypeList& rTypes);
    ServiceTypeList GetRelevantTypes() const;

    // The lock of the entries; recursive.
    QRecursiveMutex& GetMutex() const { return mMutex; }

    // Group queries on an entry's group information; none looks at the
    // grouping switch. "Contains" means the entry's URL contains a member's
    // address as text.
    static int GetGroupSize(const WebServiceInfo& rEntry);
    // Index of the first member the URL contains; -1 without group or match.
    static int GetGroupPosition(const WebServiceInfo& rEntry);
    // The colour of the first member the URL contains; black otherwise.
    static QColor GetGroupColor(const WebServiceInfo& rEntry);
    // The URL contains the master member's address.
    static bool IsGroupLeader(const WebServiceInfo& rEntry);
    // In a group whose master address the URL does not contain.
    static bool IsGroupMember(const WebServiceInfo& rEntry);
    // The leader's list of all member addresses; empty for others.
    static QStringList GetGroupUrls(const WebServiceInfo& rEntry);

    QModelIndex index(int row, int column, const QModelIndex& rParent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& rIndex) const override;
    int rowCount(const QModelIndex& rParent = QModelIndex()) const override;
    int columnCount(const QModelIndex& rParent = QModelIndex()) const override;
    QVariant data(const QModelIndex& rIndex, int role = Qt::DisplayRole) const override;
    // "text/uri-list".
    QStringList mimeTypes() const override;
    Qt::ItemFlags flags(const QModelIndex& rIndex) const override;

signals:
    void SignalServiceChanged(JoxWsdd::WebServiceInfo previous, JoxWsdd::WebServiceInfo current);
    void SignalServiceAdded(JoxWsdd::WebServiceInfo entry);
    void SignalServiceRemoved(JoxWsdd::WebServiceInfo entry);
    void SignalError(QString text);

public slots:
    // Inserts one row when 0 <= row <= count; no signal of its own.
    void Insert(int row, JoxWsdd::WebServiceInfoPtr pEntry);
    // Places the entry by URL, replacing a row of the same URL and type, and
    // creates or updates the URL's channel group entry.
    void AddSorted(JoxWsdd::WebServiceInfoPtr pEntry);
    void Remove(int row);
    // Removes every row the entry equals; a static entry stays with status 5.
    void Remove(JoxWsdd::WebServiceInfoPtr pEntry);
    // Replaces the row the new state equals (in place), else adds it sorted.
    void Changed(JoxWsdd::WebServiceInfoPtr pPrevious, JoxWsdd::WebServiceInfoPtr pEntry);
    // "text/xml": a "webserviceinfo" document of the first index's entry.
    QMimeData* mimeData(const QModelIndexList& rIndexes) const override;
    void SetGrouping(bool grouping);
    bool GetGrouping() const;
    // Emits SignalError.
    void SetError(QString text);

private:
    enum GroupUpdate
    {
        UpdateOnAdd,
        UpdateOnChange
    };

    bool IsValidRow(const QModelIndex& rIndex) const;
    void ReportRowChanged(int row);
    // Replaces a row's entry without a signal, keeping the order count.
    void ReplaceRow(int row, const WebServiceInfoPtr& rEntry);
    // Whether the row's URL sorts before the previous row's.
    bool OutOfOrder(int row) const;
    int FindGroupEntry(const QString& rUrl) const;
    void RemoveFromGroupLeader(const WebServiceInfo& rService);
    static void UpdateGroupEntry(WebServiceInfo& rGroup, const WebServiceInfo& rService, GroupUpdate kind);

    QVariant DisplayText(const WebServiceInfo& rEntry) const;
    QVariant Decoration(const WebServiceInfo& rEntry) const;
    QVariant Foreground(const WebServiceInfo& rEntry) const;
    QString Name(const WebServiceInfo& rEntry) const;
    bool IsGrouped(const WebServiceInfo& rEntry) const;
    static QString ToolTip(const WebServiceInfo& rEntry);
    static QString Details(const WebServiceInfo& rEntry);

    mutable QRecursiveMutex mMutex;
    QList<WebServiceInfoPtr> mEntries;
    // Neighbouring rows out of URL order (a change may move a URL); while
    // there are none, AddSorted finds its place by binary search.
    int mOutOfOrder = 0;
    bool mGrouping;
    ServiceTypeList mDragTypes;
    ServiceTypeList mRelevantTypes;
};

} // namespace JoxWsdd

Q_DECLARE_METATYPE(JoxWsdd::WebServiceInfo)
