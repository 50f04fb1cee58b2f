#include <clientview/ConnectionModel.h>

#include <joxwsdd/ChannelStateGroupInfo.h>

#include <boost/make_shared.hpp>

#include <QDomDocument>
#include <QDomElement>
#include <QMimeData>
#include <QMutexLocker>
#include <QPixmap>

#include <algorithm>
#include <string>

namespace JoxWsdd {

namespace {

const char* const cGroupServiceName = "Channel";
const char* const cStatusActive = "active";
const char* const cStatusBlocked = "blocked";
const char* const cDragFormat = "text/xml";
const char* const cRootElement = "webserviceinfo";
const char* const cUriList = "text/uri-list";
const char* const cPixmapFolder = ":/data/HarlenStyle/";

typedef QMutexLocker<QRecursiveMutex> Locker;

QString FromUtf8(const std::string& rText)
{
    return QString::fromUtf8(rText.c_str());
}

// The Types item that names s as the holder of the group's channel.
std::string BlockedByItem(const std::string& rServiceName)
{
    return std::string(JoxTypesMaster::mpTypeNames[JoxTypesMaster::eStatusBlockedBy]) +
           JoxTypesMaster::mpKeyValueSeparator + rServiceName;
}

// Label, value and a line break; nothing when either is empty.
QString FormatToolTipLine(const QString& rLabel, const QString& rValue)
{
    if (rLabel.isEmpty() || rValue.isEmpty())
        return QString();
    return rLabel + rValue + QLatin1Char('\n');
}

QString FormatToolTipLine(const char* pLabel, const std::string& rValue)
{
    return FormatToolTipLine(QString::fromLatin1(pLabel), FromUtf8(rValue));
}

QString ChannelNumberLine(const WebServiceInfo& rEntry)
{
    const unsigned int channel = rEntry.GetChannelNumber();
    if (channel == 0)
        return QString();
    return QStringLiteral("Channel number: %1\n").arg(channel);
}

QString PixmapPath(const char* pName)
{
    return QString::fromLatin1(cPixmapFolder) + QString::fromLatin1(pName);
}

// The index of the first member whose address the URL contains, else -1.
int FirstContainedMember(const WebServiceInfo& rEntry)
{
    const QString url = rEntry.GetUrl();
    const QVector<JoxCore::ChannelStateGroupMember>& rMembers = rEntry.GetGroupInformation().GetMembers();
    for (int index = 0; index < rMembers.size(); ++index)
    {
        if (url.contains(rMembers[index].mAddress.toString(), Qt::CaseSensitive))
            return index;
    }
    return -1;
}

// Whether the URL contains the master member's address; false when the
// master index names no member.
bool ContainsMaster(const WebServiceInfo& rEntry)
{
    const JoxCore::ChannelStateGroupInfo& rGroup = rEntry.GetGroupInformation();
    const int master = rGroup.GetMasterIndex();
    if (master < 0 || master >= rGroup.GetMembers().size())
        return false;
    return rEntry.GetUrl().contains(rGroup.GetMembers()[master].mAddress.toString(), Qt::CaseSensitive);
}

bool InGroup(const WebServiceInfo& rEntry)
{
    return rEntry.GetGroupInformation().GetGroupType() != 0;
}

} // namespace

ConnectionModel::ConnectionModel(QObject* pParent)
    : QAbstractItemModel(pParent), mGrouping(true)
{
}

ConnectionModel::~ConnectionModel() = default;

void ConnectionModel::Insert(int row, WebServiceInfoPtr pEntry)
{
    Locker lock(&mMutex);
    if (row < 0 || row > mEntries.size() || !pEntry)
        return;
    beginInsertRows(QModelIndex(), row, row);
    mOutOfOrder -= OutOfOrder(row) ? 1 : 0;
    mEntries.insert(row, pEntry);
    mOutOfOrder += (OutOfOrder(row) ? 1 : 0) + (OutOfOrder(row + 1) ? 1 : 0);
    endInsertRows();
}

void ConnectionModel::Remove(int row)
{
    Locker lock(&mMutex);
    if (row < 0 || row >= mEntries.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    mOutOfOrder -= (OutOfOrder(row) ? 1 : 0) + (OutOfOrder(row + 1) ? 1 : 0);
    mEntries.removeAt(row);
    mOutOfOrder += OutOfOrder(row) ? 1 : 0;
    endRemoveRows();
}

void ConnectionModel::Clear()
{
    Locker lock(&mMutex);
    beginResetModel();
    mEntries.clear();
    mOutOfOrder = 0;
    endResetModel();
}

WebServiceInfoPtr ConnectionModel::GetService(int row) const
{
    Locker lock(&mMutex);
    if (row < 0 || row >= mEntries.size())
        return boost::make_shared<WebServiceInfo>();
    return mEntries[row];
}

int ConnectionModel::GetServiceCount() const
{
    Locker lock(&mMutex);
    return mEntries.size();
}

void ConnectionModel::SetGrouping(bool grouping)
{
    mGrouping = grouping;
}

bool ConnectionModel::GetGrouping() const
{
    return mGrouping;
}

void ConnectionModel::Regroup()
{
    Locker lock(&mMutex);
    if (mEntries.isEmpty())
        return;
    emit dataChanged(index(0, 0), index(mEntries.size() - 1, 0));
}

void ConnectionModel::SetError(QString text)
{
    emit SignalError(text);
}

void ConnectionModel::SetDragTypes(const ServiceTypeList& rTypes)
{
    mDragTypes = rTypes;
}

ConnectionModel::ServiceTypeList ConnectionModel::GetDragTypes() const
{
    return mDragTypes;
}

void ConnectionModel::SetRelevantTypes(const ServiceTypeList& rTypes)
{
    mRelevantTypes = rTypes;
}

ConnectionModel::ServiceTypeList ConnectionModel::GetRelevantTypes() const
{
    return mRelevantTypes;
}

bool ConnectionModel::OutOfOrder(int row) const
{
    return row > 0 && row < mEntries.size() && mEntries[row]->GetUrl() < mEntries[row - 1]->GetUrl();
}

void ConnectionModel::ReplaceRow(int row, const WebServiceInfoPtr& rEntry)
{
    mOutOfOrder -= (OutOfOrder(row) ? 1 : 0) + (OutOfOrder(row + 1) ? 1 : 0);
    mEntries[row] = rEntry;
    mOutOfOrder += (OutOfOrder(row) ? 1 : 0) + (OutOfOrder(row + 1) ? 1 : 0);
}

void ConnectionModel::ReportRowChanged(int row)
{
    const QModelIndex changed = index(row, 0);
    emit dataChanged(changed, changed);
}

int ConnectionModel::FindGroupEntry(const QString& rUrl) const
{
    for (int row = 0; row < mEntries.size(); ++row)
    {
        if (mEntries[row]->GetServiceType() == WebServiceInfo::ServiceTypeChannel && mEntries[row]->GetUrl() == rUrl)
            return row;
    }
    return -1;
}

void ConnectionModel::UpdateGroupEntry(WebServiceInfo& rGroup, const WebServiceInfo& rService, GroupUpdate kind)
{
    rGroup.SetDisplayName(rService.GetDisplayName());
    rGroup.SetHostName(rService.GetHostName());
    rGroup.SetTypeValue(JoxTypesMaster::eHardwareManufacturer, rService.GetHardwareManufacturer());
    rGroup.SetTypeValue(JoxTypesMaster::eHardwareName, rService.GetHardwareName());
    rGroup.SetTypeValue(JoxTypesMaster::eHardwareRevision, rService.GetHardwareRevision());
    rGroup.SetTypeValue(JoxTypesMaster::eSoftwareManufacturer, rService.GetSoftwareManufacturer());
    rGroup.SetTypeValue(JoxTypesMaster::eSoftwareName, rService.GetSoftwareName());
    rGroup.SetTypeValue(JoxTypesMaster::eSoftwareVersion, rService.GetSoftwareVersion());
    rGroup.SetTypeValue(JoxTypesMaster::eDescriptionNumber, rService.GetDescriptionNumber());
    rGroup.AddServiceTypeToList(rService.GetServiceType());

    const std::string status = rService.GetStatusName();
    if (status == cStatusActive)
        rGroup.SetStatusBlockedBy(rService.GetServiceName());
    else if (status == cStatusBlocked)
        rGroup.SetStatusBlockedBy(rService.GetStatusBlockedBy());
    else if (kind == UpdateOnChange)
        rGroup.RemoveType(BlockedByItem(rService.GetServiceName()));
}

void ConnectionModel::AddSorted(WebServiceInfoPtr pEntry)
{
    if (!pEntry)
        return;
    Locker lock(&mMutex);
    const QString url = pEntry->GetUrl();
    const bool channelService = pEntry->IsChannelService();
    // Rows whose URL sorts before the new one only move the position past
    // them; in URL order they are skipped by a binary search.
    int start = 0;
    if (mOutOfOrder == 0)
    {
        start = static_cast<int>(std::lower_bound(mEntries.cbegin(), mEntries.cend(), url,
                                                  [](const WebServiceInfoPtr& rRow, const QString& rUrl) {
                                                      return rRow->GetUrl() < rUrl;
                                                  }) -
                                 mEntries.cbegin());
    }
    int position = start;
    bool insertNew = true;
    bool needGroupEntry = true;
    for (int row = start; row < mEntries.size(); ++row)
    {
        const WebServiceInfoPtr pCurrent = mEntries[row];
        const QString currentUrl = pCurrent->GetUrl();
        if (url < currentUrl)
        {
            position = row;
            break;
        }
        if (url == currentUrl)
        {
            if (pCurrent->GetServiceType() == WebServiceInfo::ServiceTypeChannel && channelService)
            {
                const WebServiceInfo before(*pCurrent);
                UpdateGroupEntry(*pCurrent, *pEntry, UpdateOnAdd);
                needGroupEntry = false;
                emit SignalServiceChanged(before, *pCurrent);
                ReportRowChanged(row);
            }
            else if (pCurrent->GetServiceType() == pEntry->GetServiceType())
            {
                if (pCurrent->IsStatic())
                    pEntry->SetStatic(true);
                emit SignalServiceChanged(*pCurrent, *pEntry);
                ReplaceRow(row, pEntry);
                ReportRowChanged(row);
                insertNew = false;
            }
        }
        position = row + 1;
    }

    if (insertNew)
    {
        Insert(position, pEntry);
        emit SignalServiceAdded(*pEntry);
    }
    if (needGroupEntry && channelService)
    {
        const WebServiceInfoPtr pGroup = boost::make_shared<WebServiceInfo>(*pEntry);
        pGroup->AddServiceTypeToList(pEntry->GetServiceType());
        pGroup->SetServiceType(WebServiceInfo::ServiceTypeChannel);
        pGroup->SetStatus(JoxTypesMaster::eStatusNone, nullptr);
        pGroup->SetServiceName(cGroupServiceName);
        Insert(position, pGroup);
        emit SignalServiceAdded(*pGroup);
    }
}

void ConnectionModel::Changed(WebServiceInfoPtr pPrevious, WebServiceInfoPtr pEntry)
{
    if (!pEntry)
        return;
    Locker lock(&mMutex);
    int found = -1;
    for (int row = 0; row < mEntries.size() && found < 0; ++row)
    {
        if (pEntry->Equals(*mEntries[row]))
            found = row;
    }
    if (found < 0)
    {
        AddSorted(pEntry);
        return;
    }

    // A configured row stays configured, as when it is replaced on arrival.
    if (mEntries[found]->IsStatic())
        pEntry->SetStatic(true);
    emit SignalServiceChanged(pPrevious ? *pPrevious : WebServiceInfo(), *pEntry);
    ReplaceRow(found, pEntry);
    ReportRowChanged(found);

    if (!pEntry->IsChannelService())
        return;
    const int groupRow = FindGroupEntry(pEntry->GetUrl());
    if (groupRow < 0)
        return;
    WebServiceInfo& rGroup = *mEntries[groupRow];
    const WebServiceInfo before(rGroup);
    UpdateGroupEntry(rGroup, *pEntry, UpdateOnChange);
    emit SignalServiceChanged(before, rGroup);
    ReportRowChanged(groupRow);
}

void ConnectionModel::Remove(WebServiceInfoPtr pEntry)
{
    if (!pEntry)
        return;
    Locker lock(&mMutex);
    if (pEntry->IsStatic())
    {
        // The shown state changes on a copy; the reported object may still be
        // read by the discovery threads.
        const WebServiceInfoPtr pKept = boost::make_shared<WebServiceInfo>(*pEntry);
        pKept->SetStatus(JoxTypesMaster::eStatusNone, nullptr);
        Changed(pEntry, pKept);
        return;
    }

    // A row the user configured stays, with status 5, also when the report
    // of its departure (a Bye) is not flagged static itself. The row gets a
    // copy: the reported objects are shared with the discovery threads.
    for (int row = 0; row < mEntries.size(); ++row)
    {
        const WebServiceInfoPtr pRow = mEntries[row];
        if (!pRow->IsStatic() || !pRow->Equals(*pEntry))
            continue;
        const WebServiceInfoPtr pKept = boost::make_shared<WebServiceInfo>(*pRow);
        pKept->SetStatus(JoxTypesMaster::eStatusNone, nullptr);
        emit SignalServiceChanged(*pRow, *pKept);
        ReplaceRow(row, pKept);
        ReportRowChanged(row);
    }

    // Searched from the top each time: removing from the group entry may
    // take a row above the next match.
    for (int pass = mEntries.size(); pass > 0; --pass)
    {
        int found = -1;
        for (int row = 0; row < mEntries.size() && found < 0; ++row)
        {
            if (!mEntries[row]->IsStatic() && mEntries[row]->Equals(*pEntry))
                found = row;
        }
        if (found < 0)
            break;
        Remove(found);
        emit SignalServiceRemoved(*pEntry);
        if (pEntry->IsChannelService())
            RemoveFromGroupLeader(*pEntry);
    }
}

void ConnectionModel::RemoveFromGroupLeader(const WebServiceInfo& rService)
{
    const int row = FindGroupEntry(rService.GetUrl());
    if (row < 0)
        return;
    const WebServiceInfoPtr pGroup = mEntries[row];
    const WebServiceInfoPtr pBefore = boost::make_shared<WebServiceInfo>(*pGroup);
    pGroup->RemoveServiceTypeFromList(rService.GetServiceType());
    const std::string serviceName = rService.GetServiceName();
    if (pGroup->GetStatusBlockedBy() == serviceName)
        pGroup->RemoveType(BlockedByItem(serviceName));

    if (!pGroup->GetServiceTypeList().isEmpty())
    {
        emit SignalServiceChanged(*pBefore, *pGroup);
        ReportRowChanged(row);
    }
    else if (pGroup->IsStatic())
    {
        pGroup->SetStatus(JoxTypesMaster::eStatusNone, nullptr);
        Changed(pBefore, pGroup);
    }
    else
    {
        Remove(row);
        emit SignalServiceRemoved(*pGroup);
    }
}

int ConnectionModel::GetGroupSize(const WebServiceInfo& rEntry)
{
    return InGroup(rEntry) ? rEntry.GetGroupInformation().GetMembers().size() : 0;
}

int ConnectionModel::GetGroupPosition(const WebServiceInfo& rEntry)
{
    return InGroup(rEntry) ? FirstContainedMember(rEntry) : -1;
}

QColor ConnectionModel::GetGroupColor(const WebServiceInfo& rEntry)
{
    const int member = GetGroupPosition(rEntry);
    if (member < 0)
        return QColor(Qt::black);
    const JoxCore::ChannelStateGroupMember::Color& rColor =
        rEntry.GetGroupInformation().GetMembers()[member].mColor;
    return QColor(rColor.mRed, rColor.mGreen, rColor.mBlue, 255);
}

bool ConnectionModel::IsGroupLeader(const WebServiceInfo& rEntry)
{
    return InGroup(rEntry) && ContainsMaster(rEntry);
}

bool ConnectionModel::IsGroupMember(const WebServiceInfo& rEntry)
{
    return InGroup(rEntry) && !ContainsMaster(rEntry);
}

QStringList ConnectionModel::GetGroupUrls(const WebServiceInfo& rEntry)
{
    QStringList urls;
    if (!IsGroupLeader(rEntry))
        return urls;
    for (const JoxCore::ChannelStateGroupMember& rMember : rEntry.GetGroupInformation().GetMembers())
        urls.append(rMember.mAddress.toString());
    return urls;
}

QModelIndex ConnectionModel::index(int row, int column, const QModelIndex& rParent) const
{
    if (row < 0 || row >= rowCount(rParent) || column < 0 || column >= columnCount(rParent))
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex ConnectionModel::parent(const QModelIndex& rIndex) const
{
    (void)rIndex;
    return QModelIndex();
}

int ConnectionModel::rowCount(const QModelIndex& rParent) const
{
    Locker lock(&mMutex);
    return rParent.isValid() ? 0 : mEntries.size();
}

int ConnectionModel::columnCount(const QModelIndex& rParent) const
{
    return rParent.isValid() ? 0 : 2;
}

bool ConnectionModel::IsValidRow(const QModelIndex& rIndex) const
{
    return rIndex.isValid() && rIndex.model() == this && rIndex.row() >= 0 && rIndex.row() < mEntries.size() &&
           rIndex.column() >= 0 && rIndex.column() < columnCount();
}

Qt::ItemFlags ConnectionModel::flags(const QModelIndex& rIndex) const
{
    Locker lock(&mMutex);
    Qt::ItemFlags result = QAbstractItemModel::flags(rIndex);
    if (rIndex.isValid())
        result |= Qt::ItemIsDragEnabled;
    return result;
}

QStringList ConnectionModel::mimeTypes() const
{
    return QStringList(QString::fromLatin1(cUriList));
}

QMimeData* ConnectionModel::mimeData(const QModelIndexList& rIndexes) const
{
    Locker lock(&mMutex);
    QMimeData* pData = new QMimeData;
    if (rIndexes.isEmpty())
        return pData;
    QByteArray bytes;
    const QModelIndex& rFirst = rIndexes.front();
    if (IsValidRow(rFirst) && rFirst.column() == 0)
    {
        QDomDocument document;
        QDomElement root = document.createElement(QString::fromLatin1(cRootElement));
        document.appendChild(root);
        mEntries[rFirst.row()]->ToXml(root);
        bytes = document.toByteArray(1);
    }
    pData->setData(QString::fromLatin1(cDragFormat), bytes);
    return pData;
}

bool ConnectionModel::IsGrouped(const WebServiceInfo& rEntry) const
{
    return mGrouping && InGroup(rEntry);
}

QVariant ConnectionModel::DisplayText(const WebServiceInfo& rEntry) const
{
    const int groupSize = GetGroupSize(rEntry);
    if (groupSize > 0)
    {
        if (mGrouping)
            return QStringLiteral("( %1 )").arg(groupSize);
        return QStringLiteral("%1 / %2").arg(GetGroupPosition(rEntry) + 1).arg(groupSize);
    }
    const unsigned int channel = rEntry.GetChannelNumber();
    if (channel != 0)
        return QStringLiteral("CH %1").arg(channel);
    return QStringLiteral(" - ");
}

QVariant ConnectionModel::Decoration(const WebServiceInfo& rEntry) const
{
    const bool grouped = IsGrouped(rEntry);
    const JoxTypesMaster::eStatus status = rEntry.GetStatus();
    const char* pName = "icon_discovery_unknown.png";
    switch (rEntry.GetServiceType())
    {
    case WebServiceInfo::ServiceTypeMos:
        if (status == JoxTypesMaster::eStatusFree)
            pName = "icon_discovery_harlen_playout.png";
        else if (grouped)
            pName = "icon_discovery_harlen_playout_group.png";
        else if (status == JoxTypesMaster::eStatusActive)
            pName = "icon_discovery_harlen_playout_active.png";
        break;
    case WebServiceInfo::ServiceTypeFimsCapture:
        pName = "icon_discovery_harlen_capture.png";
        break;
    case WebServiceInfo::ServiceTypeFimsTransfer:
        pName = "icon_discovery_harlen_transfer.png";
        break;
    case WebServiceInfo::ServiceTypeFimsTransform:
        pName = "icon_discovery_harlen_transform.png";
        break;
    case WebServiceInfo::ServiceTypeQuorel:
        pName = "icon_discovery_quorel.png";
        break;
    case WebServiceInfo::ServiceTypeHarlen:
        pName = mDragTypes.contains(WebServiceInfo::ServiceTypeHarlen) ? "icon_discovery_harlen_playout.png"
                                                                       : "icon_discovery_harlen_blocked.png";
        break;
    case WebServiceInfo::ServiceTypeMaintenance:
        pName = "icon_discovery_maintenance.png";
        break;
    case WebServiceInfo::ServiceTypeChannel:
        switch (rEntry.GetActiveType())
        {
        case WebServiceInfo::ServiceTypeMos:
        case WebServiceInfo::ServiceTypeHarlen:
            pName = grouped ? "icon_discovery_harlen_playout_group.png" : "icon_discovery_harlen_playout_active.png";
            break;
        case WebServiceInfo::ServiceTypeFimsCapture:
            pName = grouped ? "icon_discovery_harlen_capture_group.png" : "icon_discovery_harlen_capture_active.png";
            break;
        case WebServiceInfo::ServiceTypeFimsTransfer:
            pName =
                grouped ? "icon_discovery_harlen_transfer_group.png" : "icon_discovery_harlen_transfer_active.png";
            break;
        case WebServiceInfo::ServiceTypeFimsTransform:
            pName =
                grouped ? "icon_discovery_harlen_transform_group.png" : "icon_discovery_harlen_transform_active.png";
            break;
        default:
            pName = "icon_discovery_harlen_playout.png";
            break;
        }
        break;
    default:
        break;
    }
    return QPixmap(PixmapPath(pName));
}

QVariant ConnectionModel::Foreground(const WebServiceInfo& rEntry) const
{
    if (rEntry.GetStatus() == JoxTypesMaster::eStatusFree || IsGrouped(rEntry) ||
        mDragTypes.contains(WebServiceInfo::ServiceTypeChannel))
        return QColor(Qt::white);
    return QColor(Qt::gray);
}

QString ConnectionModel::Name(const WebServiceInfo& rEntry) const
{
    if (!IsGrouped(rEntry))
        return rEntry.GetDisplayName();
    const QString groupName = rEntry.GetGroupInformation().GetGroupName();
    return groupName.isEmpty() ? QStringLiteral("AB Group") : groupName;
}

QString ConnectionModel::ToolTip(const WebServiceInfo& rEntry)
{
    QString text;
    text += FormatToolTipLine(QStringLiteral("Host: "), rEntry.GetHostName());
    text += FormatToolTipLine(QStringLiteral("Name: "), rEntry.GetDisplayName());
    text += FormatToolTipLine(QStringLiteral("Status: "), rEntry.GetActiveType() == WebServiceInfo::ServiceTypeUnknown
                                                               ? QStringLiteral("Free")
                                                               : QStringLiteral("In use"));
    if (rEntry.GetServiceType() == WebServiceInfo::ServiceTypeChannel)
    {
        text += FormatToolTipLine("Active service: ", rEntry.GetStatusBlockedBy());
        QString services;
        for (WebServiceInfo::ServiceType type : rEntry.GetServiceTypeList())
            services += WebServiceInfo::ConvertServiceTypeToQString(type) + QLatin1Char(',');
        services.chop(1);
        text += FormatToolTipLine(QStringLiteral("Services: "), services);
    }
    else
    {
        text += FormatToolTipLine("Blocked by: ", rEntry.GetStatusBlockedBy());
        text += FormatToolTipLine("Service name: ", rEntry.GetServiceName());
        text += FormatToolTipLine("Service version: ", rEntry.GetServiceVersion());
    }
    text += ChannelNumberLine(rEntry);
    text += FormatToolTipLine("HW manufacturer: ", rEntry.GetHardwareManufacturer());
    text += FormatToolTipLine("HW name: ", rEntry.GetHardwareName());
    text += FormatToolTipLine("HW revision: ", rEntry.GetHardwareRevision());
    text += FormatToolTipLine("SW manufacturer: ", rEntry.GetSoftwareManufacturer());
    text += FormatToolTipLine("SW name: ", rEntry.GetSoftwareName());
    text += FormatToolTipLine("SW version: ", rEntry.GetSoftwareVersion());
    text += FormatToolTipLine(QStringLiteral("IP: "), rEntry.GetIps().join(QLatin1Char(' ')));
    return text;
}

QString ConnectionModel::Details(const WebServiceInfo& rEntry)
{
    QString text = rEntry.GetDisplayName() + QLatin1Char('\n') + FromUtf8(rEntry.GetSoftwareName()) +
                   QLatin1Char(' ') + FromUtf8(rEntry.GetSoftwareVersion());
    if (rEntry.GetServiceType() == WebServiceInfo::ServiceTypeChannel)
        return text + QStringLiteral("\nACTIVE: ") + FromUtf8(rEntry.GetStatusBlockedBy());
    text += QStringLiteral(", ") + FromUtf8(rEntry.GetServiceName()) + QLatin1Char(' ') +
            FromUtf8(rEntry.GetServiceVersion());
    const QString status = QString::fromLatin1(JoxTypesMaster::StatusToString(rEntry.GetStatus()));
    if (status == QLatin1String(cStatusBlocked))
        return text + QStringLiteral("\nBLOCKED BY: ") + FromUtf8(rEntry.GetStatusBlockedBy());
    return text + QStringLiteral("\nSTATUS: ") + status;
}

QVariant ConnectionModel::data(const QModelIndex& rIndex, int role) const
{
    Locker lock(&mMutex);
    if (!IsValidRow(rIndex))
        return QVariant();
    const WebServiceInfo& rEntry = *mEntries[rIndex.row()];
    const bool firstColumn = rIndex.column() == 0;
    switch (role)
    {
    case Qt::DisplayRole:
        return rIndex.column() == 1 ? DisplayText(rEntry) : QVariant();
    case Qt::DecorationRole:
        return firstColumn ? Decoration(rEntry) : QVariant();
    case Qt::ToolTipRole:
        return firstColumn ? QVariant(ToolTip(rEntry)) : QVariant();
    case Qt::ForegroundRole:
        return Foreground(rEntry);
    case NameRole:
        return firstColumn ? QVariant(Name(rEntry)) : QVariant();
    case DetailsRole:
        return firstColumn ? QVariant(Details(rEntry)) : QVariant();
    case UrlRole:
        return rEntry.GetUrl();
    case ServiceNameRole:
        return FromUtf8(rEntry.GetServiceName());
    case GroupMemberRole:
        return IsGroupMember(rEntry);
    case GroupLeaderRole:
        return IsGroupLeader(rEntry);
    case RelevantRole:
        return mRelevantTypes.contains(rEntry.GetServiceType());
    case GroupPositionRole:
        return GetGroupPosition(rEntry);
    case GroupColorRole:
        return GetGroupColor(rEntry);
    case GroupSizeRole:
        return GetGroupSize(rEntry);
    case GroupUrlsRole:
        return GetGroupUrls(rEntry);
    case DragTypeRole:
        return mDragTypes.contains(rEntry.GetServiceType());
    case ActiveRole:
        return rEntry.GetStatus() == JoxTypesMaster::eStatusActive;
    case GroupingRole:
        return mGrouping;
    default:
        return QVariant();
    }
}

} // namespace JoxWsdd
