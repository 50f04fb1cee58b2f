// What the connection model shows: texts, icons, tool tips, colours, group
// roles, flags and the drag data of a service.

#include "ServiceFactory.h"

#include <clientview/ConnectionModel.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <QDomDocument>
#include <QImage>
#include <QMimeData>
#include <QPixmap>

#include <memory>

using clientviewtest::Service;
using JoxWsdd::ConnectionModel;
using JoxWsdd::WebServiceInfo;
using JoxWsdd::WebServiceInfoPtr;

namespace {

const char* const cGroupTypes = "service_name__MOS status_name__active group_type__ab group_master__0 "
                                "group_members__http://10.0.0.1:8011;FF8000_http://10.0.0.2:8012;00FF00";

QVariant Data(const ConnectionModel& rModel, int row, int column, int role)
{
    return rModel.data(rModel.index(row, column), role);
}

// True when the pixmap looks like the bundle's image of that name.
bool IsPixmap(const QVariant& rValue, const char* pName)
{
    const QPixmap expected(QStringLiteral(":/data/HarlenStyle/") + QString::fromLatin1(pName));
    if (expected.isNull() || rValue.userType() != QMetaType::QPixmap)
        return false;
    return rValue.value<QPixmap>().toImage() == expected.toImage();
}

} // namespace

TEST(ModelRolesTest, ColumnsCarryEntryAndChannelLabel)
{
    ConnectionModel model;
    model.AddSorted(Service("http://10.0.0.9:8080", "service_name__MAINTENANCE description_name__Srv"));
    model.AddSorted(Service("http://10.0.0.3:8013", "service_name__QUOREL"));
    // Row 0: the QUOREL service on a channel port; row 1: the maintenance service.
    EXPECT_FALSE(Data(model, 0, 0, Qt::DisplayRole).isValid());
    EXPECT_EQ(Data(model, 0, 1, Qt::DisplayRole).toString(), QStringLiteral("CH 3"));
    EXPECT_EQ(Data(model, 1, 1, Qt::DisplayRole).toString(), QStringLiteral(" - "));
    EXPECT_EQ(Data(model, 1, 0, ConnectionModel::NameRole).toString(), QStringLiteral("Srv"));
    EXPECT_FALSE(Data(model, 1, 1, ConnectionModel::NameRole).isValid());
    EXPECT_FALSE(Data(model, 1, 1, Qt::DecorationRole).isValid());
    EXPECT_FALSE(Data(model, 1, 1, Qt::ToolTipRole).isValid());
    EXPECT_EQ(Data(model, 1, 1, ConnectionModel::UrlRole).toString(), QStringLiteral("http://10.0.0.9:8080"));
    EXPECT_EQ(Data(model, 1, 1, ConnectionModel::ServiceNameRole).toString(), QStringLiteral("MAINTENANCE"));
    EXPECT_FALSE(Data(model, 1, 0, 35).isValid());
    EXPECT_FALSE(Data(model, 1, 0, Qt::EditRole).isValid());
    EXPECT_FALSE(model.data(QModelIndex(), ConnectionModel::UrlRole).isValid());

    EXPECT_TRUE(model.flags(model.index(0, 1)).testFlag(Qt::ItemIsDragEnabled));
    EXPECT_FALSE(model.flags(QModelIndex()).testFlag(Qt::ItemIsDragEnabled));
}

TEST(ModelRolesTest, TypeListsDecideRelevanceDragAndColours)
{
    ConnectionModel model;
    model.AddSorted(Service("http://10.0.0.9:8080", "service_name__MAINTENANCE status_name__active"));
    model.AddSorted(Service("http://10.0.0.8:8080", "service_name__QUOREL status_name__free"));
    EXPECT_FALSE(Data(model, 1, 0, ConnectionModel::RelevantRole).toBool());
    model.SetRelevantTypes({WebServiceInfo::ServiceTypeMaintenance});
    model.SetDragTypes({WebServiceInfo::ServiceTypeMaintenance});
    EXPECT_TRUE(Data(model, 1, 0, ConnectionModel::RelevantRole).toBool());
    EXPECT_TRUE(Data(model, 1, 1, ConnectionModel::DragTypeRole).toBool());
    EXPECT_FALSE(Data(model, 0, 0, ConnectionModel::RelevantRole).toBool());
    EXPECT_FALSE(Data(model, 0, 0, ConnectionModel::DragTypeRole).toBool());
    EXPECT_TRUE(Data(model, 1, 0, ConnectionModel::ActiveRole).toBool());
    EXPECT_FALSE(Data(model, 0, 0, ConnectionModel::ActiveRole).toBool());

    // Grey unless free, grouped or channel entries are draggable.
    EXPECT_EQ(Data(model, 1, 1, Qt::ForegroundRole).value<QColor>(), QColor(Qt::gray));
    EXPECT_EQ(Data(model, 0, 1, Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
    model.SetDragTypes({WebServiceInfo::ServiceTypeChannel});
    EXPECT_EQ(Data(model, 1, 0, Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
}

TEST(ModelRolesTest, GroupRolesFollowMembershipAndTheGroupingSwitch)
{
    ConnectionModel model;
    model.AddSorted(Service("http://10.0.0.1:8011", std::string(cGroupTypes) + " description_name__One"));
    model.AddSorted(Service("http://10.0.0.2:8012", std::string(cGroupTypes) + " description_name__Two"));
    // Rows: group entry and MOS of .1, group entry and MOS of .2.
    ASSERT_EQ(model.rowCount(), 4);
    const int leader = 1;
    const int member = 3;
    EXPECT_TRUE(Data(model, leader, 0, ConnectionModel::GroupLeaderRole).toBool());
    EXPECT_FALSE(Data(model, leader, 0, ConnectionModel::GroupMemberRole).toBool());
    EXPECT_TRUE(Data(model, member, 0, ConnectionModel::GroupMemberRole).toBool());
    EXPECT_EQ(Data(model, member, 0, ConnectionModel::GroupPositionRole).toInt(), 1);
    EXPECT_EQ(Data(model, member, 0, ConnectionModel::GroupColorRole).value<QColor>(), QColor(0, 255, 0));
    EXPECT_EQ(Data(model, leader, 0, ConnectionModel::GroupColorRole).value<QColor>(), QColor(255, 128, 0));
    EXPECT_EQ(Data(model, member, 0, ConnectionModel::GroupSizeRole).toInt(), 2);
    EXPECT_EQ(Data(model, leader, 0, ConnectionModel::GroupUrlsRole).toStringList(),
              (QStringList{QStringLiteral("http://10.0.0.1:8011"), QStringLiteral("http://10.0.0.2:8012")}));
    EXPECT_TRUE(Data(model, member, 0, ConnectionModel::GroupUrlsRole).toStringList().isEmpty());

    EXPECT_TRUE(Data(model, member, 0, ConnectionModel::GroupingRole).toBool());
    EXPECT_EQ(Data(model, member, 0, ConnectionModel::NameRole).toString(), QStringLiteral("AB Group"));
    EXPECT_EQ(Data(model, member, 1, Qt::DisplayRole).toString(), QStringLiteral("( 2 )"));
    EXPECT_TRUE(IsPixmap(Data(model, member, 0, Qt::DecorationRole), "icon_discovery_harlen_playout_group.png"));
    model.SetGrouping(false);
    EXPECT_FALSE(Data(model, member, 0, ConnectionModel::GroupingRole).toBool());
    EXPECT_EQ(Data(model, member, 0, ConnectionModel::NameRole).toString(), QStringLiteral("Two"));
    EXPECT_EQ(Data(model, member, 1, Qt::DisplayRole).toString(), QStringLiteral("2 / 2"));
    EXPECT_TRUE(IsPixmap(Data(model, member, 0, Qt::DecorationRole), "icon_discovery_harlen_playout_active.png"));

    // A service outside any group.
    model.AddSorted(Service("http://10.0.0.7:8080", "service_name__MAINTENANCE"));
    EXPECT_EQ(Data(model, 4, 0, ConnectionModel::GroupPositionRole).toInt(), -1);
    EXPECT_EQ(Data(model, 4, 0, ConnectionModel::GroupColorRole).value<QColor>(), QColor(Qt::black));
    EXPECT_EQ(Data(model, 4, 0, ConnectionModel::GroupSizeRole).toInt(), 0);
}

TEST(ModelRolesTest, DecorationsByTypeAndState)
{
    struct Case
    {
        const char* mTypes;
        const char* mPixmap;
    };
    const Case cases[] = {
        {"service_name__MOS status_name__free", "icon_discovery_harlen_playout.png"},
        {"service_name__MOS status_name__active", "icon_discovery_harlen_playout_active.png"},
        {"service_name__MOS status_name__blocked", "icon_discovery_unknown.png"},
        {"service_name__FIMS_capture", "icon_discovery_harlen_capture.png"},
        {"service_name__FIMS_transfer", "icon_discovery_harlen_transfer.png"},
        {"service_name__FIMS_transform", "icon_discovery_harlen_transform.png"},
        {"service_name__QUOREL", "icon_discovery_quorel.png"},
        {"service_name__HARLEN", "icon_discovery_harlen_blocked.png"},
        {"service_name__MAINTENANCE", "icon_discovery_maintenance.png"},
        {"service_name__FALDRUNE", "icon_discovery_unknown.png"},
        {"service_name__OTHER", "icon_discovery_unknown.png"},
    };
    for (const Case& rCase : cases)
    {
        ConnectionModel model;
        model.SetDragTypes({WebServiceInfo::ServiceTypeMaintenance});
        model.AddSorted(Service("http://10.0.0.1:8080", rCase.mTypes));
        const int row = model.rowCount() - 1; // below a group entry, if any
        EXPECT_TRUE(IsPixmap(Data(model, row, 0, Qt::DecorationRole), rCase.mPixmap)) << rCase.mTypes;
    }

    ConnectionModel model;
    model.SetDragTypes({WebServiceInfo::ServiceTypeHarlen});
    model.AddSorted(Service("http://10.0.0.1:8080", "service_name__HARLEN status_name__active"));
    EXPECT_TRUE(IsPixmap(Data(model, 1, 0, Qt::DecorationRole), "icon_discovery_harlen_playout.png"));
    // The group entry by its active type: none while it is new, then the holder's.
    EXPECT_TRUE(IsPixmap(Data(model, 0, 0, Qt::DecorationRole), "icon_discovery_harlen_playout.png"));
    model.Changed(WebServiceInfoPtr(),
                  Service("http://10.0.0.1:8080", "service_name__HARLEN status_name__active"));
    EXPECT_TRUE(IsPixmap(Data(model, 0, 0, Qt::DecorationRole), "icon_discovery_harlen_playout_active.png"));
    model.AddSorted(Service("http://10.0.0.1:8080", "service_name__FIMS_transfer status_name__active"));
    EXPECT_TRUE(IsPixmap(Data(model, 0, 0, Qt::DecorationRole), "icon_discovery_harlen_transfer_active.png"));
    model.Remove(Service("http://10.0.0.1:8080", "service_name__HARLEN"));
    model.Changed(WebServiceInfoPtr(), Service("http://10.0.0.1:8080", "service_name__FIMS_transfer status_name__free"));
    EXPECT_TRUE(IsPixmap(Data(model, 0, 0, Qt::DecorationRole), "icon_discovery_harlen_playout.png"));
}

TEST(ModelRolesTest, ToolTipAndDetailsTexts)
{
    ConnectionModel model;
    model.AddSorted(Service("http://10.0.0.5:8080 http://192.168.1.5:8080",
                            "service_name__MAINTENANCE service_version__1.0 status_name__blocked "
                            "status_blockedby__HARLEN description_name__Srv software_name__Tool "
                            "software_version__2.1 hardware_manufacturer__Maker"));
    EXPECT_EQ(Data(model, 0, 0, Qt::ToolTipRole).toString(),
              QStringLiteral("Host: http://10.0.0.5:8080\nName: Srv\nStatus: In use\nBlocked by: HARLEN\n"
                             "Service name: MAINTENANCE\nService version: 1.0\nHW manufacturer: Maker\n"
                             "SW name: Tool\nSW version: 2.1\nIP: 10.0.0.5 192.168.1.5\n"));
    EXPECT_EQ(Data(model, 0, 0, ConnectionModel::DetailsRole).toString(),
              QStringLiteral("Srv\nTool 2.1, MAINTENANCE 1.0\nBLOCKED BY: HARLEN"));

    ConnectionModel channels;
    channels.AddSorted(Service("http://10.0.0.5:8012", "service_name__MOS status_name__free description_name__Ch"));
    channels.AddSorted(Service("http://10.0.0.5:8012", "service_name__FIMS_capture status_name__active"));
    // The group entry: no blocking or version lines, its services and channel.
    EXPECT_EQ(Data(channels, 0, 0, Qt::ToolTipRole).toString(),
              QStringLiteral("Host: http://10.0.0.5:8012\nName: 10.0.0.5\nStatus: In use\nActive service: FIMS_capture\n"
                             "Services: MOS,FIMS capture\nChannel number: 2\nIP: 10.0.0.5\n"));
    EXPECT_EQ(Data(channels, 0, 0, ConnectionModel::DetailsRole).toString(),
              QStringLiteral("10.0.0.5\n \nACTIVE: FIMS_capture"));
    EXPECT_EQ(Data(channels, 1, 0, ConnectionModel::DetailsRole).toString(),
              QStringLiteral("Ch\n , MOS \nSTATUS: free"));

    // Without any value the tool tip is empty; a static entry has status 5.
    ConnectionModel bare;
    bare.AddSorted(boost::make_shared<WebServiceInfo>(QString(), true, WebServiceInfo::ServiceTypeQuorel));
    EXPECT_EQ(Data(bare, 0, 0, Qt::ToolTipRole).toString(), QStringLiteral("Status: Free\n"));
    EXPECT_EQ(Data(bare, 0, 0, ConnectionModel::DetailsRole).toString(), QStringLiteral("\n ,  \nSTATUS: "));
}

TEST(ModelRolesTest, DragDataHoldsTheFirstEntryAsServiceXml)
{
    ConnectionModel model;
    EXPECT_EQ(model.mimeTypes(), QStringList{QStringLiteral("text/uri-list")});
    model.AddSorted(Service("http://10.0.0.9:8080", "service_name__MAINTENANCE description_name__Srv"));
    model.AddSorted(Service("http://10.0.0.8:8080", "service_name__QUOREL"));

    std::unique_ptr<QMimeData> pEmpty(model.mimeData({}));
    ASSERT_TRUE(pEmpty);
    EXPECT_TRUE(pEmpty->formats().isEmpty());

    std::unique_ptr<QMimeData> pData(model.mimeData({model.index(1, 0), model.index(0, 0)}));
    ASSERT_TRUE(pData->hasFormat(QStringLiteral("text/xml")));
    QDomDocument document;
    ASSERT_TRUE(document.setContent(pData->data(QStringLiteral("text/xml"))));
    const QDomElement root = document.documentElement();
    EXPECT_EQ(root.tagName(), QStringLiteral("webserviceinfo"));
    WebServiceInfo parsed;
    parsed.FromXml(root, nullptr);
    EXPECT_EQ(parsed.GetUrl(), QStringLiteral("http://10.0.0.9:8080"));
    EXPECT_EQ(parsed.GetServiceType(), WebServiceInfo::ServiceTypeMaintenance);
    EXPECT_EQ(parsed.GetDisplayName(), QStringLiteral("Srv"));

    // Column 1 first, or a foreign index: the format is there, empty.
    std::unique_ptr<QMimeData> pColumnOne(model.mimeData({model.index(1, 1), model.index(0, 0)}));
    EXPECT_TRUE(pColumnOne->hasFormat(QStringLiteral("text/xml")));
    EXPECT_TRUE(pColumnOne->data(QStringLiteral("text/xml")).isEmpty());
    ConnectionModel other;
    other.AddSorted(Service("http://10.0.0.1:8080", "service_name__QUOREL"));
    std::unique_ptr<QMimeData> pForeign(model.mimeData({other.index(0, 0)}));
    EXPECT_TRUE(pForeign->data(QStringLiteral("text/xml")).isEmpty());
}
