#include <joxwsdd/QNames.h>
#include <joxwsdd/WebServiceInfo.h>

#include <joxlog/JoxLog.h>

#include <gtest/gtest.h>

#include <QDomDocument>

#include <vector>

using JoxCore::ChannelStateGroupMember;
using JoxWsdd::WebServiceInfo;

namespace {

std::vector<std::string> gLogged;

void CaptureLog(int level, int, const char* category, const char* message, const char*, int, const char*,
                const JoxCore::TimeStamp*)
{
    gLogged.push_back(std::to_string(level) + " " + category + ": " + message);
}

std::list<std::string> Types(const char* pText)
{
    return JoxWsdd::SplitQNames(pText);
}

} // namespace

TEST(WebServiceInfoTest, DiscoveredEntryWithoutMetadata)
{
    const WebServiceInfo info("urn:uuid:a", {}, "http://10.0.0.5:8011 http://10.0.0.6:8011");
    EXPECT_EQ(info.GetDisplayName(), "10.0.0.5");
    EXPECT_EQ(info.GetHostName(), "http://10.0.0.5:8011");
    EXPECT_EQ(info.GetChannelNumber(), 1u);
    EXPECT_EQ(info.GetIps(), QStringList({"10.0.0.5", "10.0.0.6"}));
    EXPECT_EQ(info.GetIp(), "10.0.0.5");
    EXPECT_EQ(info.GetUrl(), "http://10.0.0.5:8011");
    EXPECT_EQ(info.GetServiceType(), WebServiceInfo::ServiceTypeUnknown);
    EXPECT_EQ(info.GetStatus(), WebServiceInfo::eStatusNone);
    EXPECT_TRUE(info.IsValid());
    EXPECT_FALSE(info.IsStatic());
    EXPECT_EQ(info.GetGroupInformation().GetGroupType(), 0);
    EXPECT_EQ(info.GetGroupInformation().GetOwnIndex(), -1);
}

TEST(WebServiceInfoTest, DiscoveredEntryReadsItsMetadata)
{
    const WebServiceInfo info("urn:uuid:b",
        Types("tds:Device service_name__MAINTENANCE description_name__Studio\xC3\xA4 host_name__mach1 "
              "status_name__blocked status_blockedby__HARLEN description_number__3"),
        "http://10.0.0.7:8012/path");
    EXPECT_EQ(info.GetDisplayName(), QString::fromUtf8("Studio\xC3\xA4"));
    EXPECT_EQ(info.GetHostName(), "mach1");
    EXPECT_EQ(info.GetServiceType(), WebServiceInfo::ServiceTypeMaintenance);
    EXPECT_TRUE(info.IsMachineService());
    EXPECT_FALSE(info.IsChannelService());
    EXPECT_EQ(info.GetStatus(), WebServiceInfo::eStatusBlocked);
    EXPECT_EQ(info.GetActiveType(), WebServiceInfo::ServiceTypeHarlen);
    EXPECT_EQ(info.GetChannelNumber(), 3u);
}

TEST(WebServiceInfoTest, EntryWithoutAddresses)
{
    const WebServiceInfo info("urn:uuid:c", {}, nullptr);
    EXPECT_EQ(info.GetDisplayName(), "<unknown>");
    EXPECT_TRUE(info.GetUrl().isNull());
    EXPECT_EQ(info.GetIp(), "");
    EXPECT_FALSE(info.HasXAddress());
    EXPECT_EQ(info.GetChannelNumber(), 0u);
    ASSERT_EQ(info.GetBroadcastChannelUrls().size(), 1);
    EXPECT_TRUE(info.GetBroadcastChannelUrls().front().isNull());
}

TEST(WebServiceInfoTest, ChannelNumberFromPort)
{
    const struct
    {
        const char* mUrl;
        unsigned int mChannel;
    } cases[] = {{"http://h:8011", 1}, {"http://h:8026", 16}, {"http://h:8027", 0}, {"http://h:8010", 0},
                 {"http://h:8011/path", 0}, {"http://h", 0}};
    for (const auto& rCase : cases)
        EXPECT_EQ(WebServiceInfo("urn:uuid:x", {}, rCase.mUrl).GetChannelNumber(), rCase.mChannel) << rCase.mUrl;
    // A path after the port still gives two parts for the display name.
    EXPECT_EQ(WebServiceInfo("urn:uuid:x", {}, "http://10.1.1.1:8011/path").GetDisplayName(), "10.1.1.1");
}

// The description number as boost's lexical conversion reads it (sign
// accepted, a minus wrapping around); anything else falls back to the port.
TEST(WebServiceInfoTest, ChannelNumberFromDescriptionNumber)
{
    const struct
    {
        const char* mNumber;
        unsigned int mChannel;
    } cases[] = {{"7", 7}, {"+7", 7}, {"-1", 4294967295u}, {"4294967295", 4294967295u}, {"4294967296", 2},
                 {"", 2}, {"7a", 2}, {"0x7", 2}, {"-", 2}};
    for (const auto& rCase : cases)
    {
        WebServiceInfo info("urn:uuid:x", {}, "http://h:8012");
        info.SetDescriptionNumber(rCase.mNumber);
        EXPECT_EQ(info.GetChannelNumber(), rCase.mChannel) << '"' << rCase.mNumber << '"';
    }
}

TEST(WebServiceInfoTest, StaticEntries)
{
    const WebServiceInfo info("10.0.0.9:8080", true, WebServiceInfo::ServiceTypeMaintenance);
    EXPECT_TRUE(info.IsStatic());
    EXPECT_EQ(info.GetDisplayName(), "10.0.0.9");
    EXPECT_EQ(info.GetHostName(), "10.0.0.9");
    EXPECT_EQ(info.GetStatus(), WebServiceInfo::eStatusNone);
    EXPECT_TRUE(info.GetTypesList().empty());
    EXPECT_FALSE(info.IsValid());
    EXPECT_TRUE(info.GetMatchingUrls().isEmpty());

    const WebServiceInfo noColon("http://machine", true, WebServiceInfo::ServiceTypeMos);
    EXPECT_TRUE(noColon.GetDisplayName().isEmpty());
    EXPECT_TRUE(noColon.GetHostName().isEmpty());
}

TEST(WebServiceInfoTest, ComparisonRules)
{
    const WebServiceInfo discovered("urn:uuid:d", Types("service_name__MAINTENANCE status_name__free"),
                                    "10.0.0.9:8080");
    const WebServiceInfo configured("10.0.0.9:8080", true, WebServiceInfo::ServiceTypeMaintenance);
    const WebServiceInfo otherType("10.0.0.9:8080", true, WebServiceInfo::ServiceTypeMos);
    EXPECT_TRUE(discovered.Equals(configured));
    EXPECT_FALSE(discovered.Equals(otherType));

    WebServiceInfo changed("urn:uuid:d", Types("service_name__MAINTENANCE status_name__active"), "10.0.0.1:1");
    EXPECT_TRUE(discovered.Equals(changed));      // the endpoints decide
    EXPECT_FALSE(discovered.IsIdentical(changed));
    WebServiceInfo renamed(discovered);
    renamed.SetDisplayName("other");
    renamed.SetServiceType(WebServiceInfo::ServiceTypeMos);
    renamed.SetStatus(WebServiceInfo::eStatusActive, nullptr);
    renamed.SetTypesList(discovered.GetTypesList());
    EXPECT_TRUE(discovered.IsIdentical(renamed));

    // Update takes all but the status cache and the matching URLs, then re-reads the status.
    WebServiceInfo target("urn:uuid:e", {}, "10.0.0.2:2");
    target.Update(changed);
    EXPECT_EQ(target.GetEndpoint(), "urn:uuid:d");
    EXPECT_EQ(target.GetStatus(), WebServiceInfo::eStatusActive);
    const auto pClone = changed.Clone();
    EXPECT_TRUE(pClone->IsIdentical(changed));
}

TEST(WebServiceInfoTest, FilterAddresses)
{
    const WebServiceInfo info("urn:uuid:f", {}, "http://10.0.0.15:8080/x http://192.168.1.2:80/");
    const struct
    {
        const char* mAddress;
        bool mMatch;
    } cases[] = {{"10.0.0.15:8080", true},  {"10.0.0.15:8081", false}, {"10.0.0.1:*", true},
                 {"192.168.1.2:*", true},   {"http:10.0.0.15:8080", true}, {" 10.0.0.15 : 8080 ", true},
                 {"10.0.0.15", false},      {"a:b:c:d", false},        {"10.0.0.16:*", false}};
    for (const auto& rCase : cases)
        EXPECT_EQ(info.HasXAddress(rCase.mAddress), rCase.mMatch) << rCase.mAddress;
}

TEST(WebServiceInfoTest, ServiceTypeTexts)
{
    EXPECT_EQ(WebServiceInfo::ServiceTypeFromString("FIMS_transfer"), WebServiceInfo::ServiceTypeFimsTransfer);
    EXPECT_EQ(WebServiceInfo::ServiceTypeFromString("maintenance"), WebServiceInfo::ServiceTypeUnknown);
    EXPECT_EQ(WebServiceInfo::ServiceTypeFromString("MACHINE"), WebServiceInfo::ServiceTypeMachine);
    EXPECT_EQ(WebServiceInfo::ConvertServiceTypeToQString(WebServiceInfo::ServiceTypeFimsCapture), "FIMS capture");
    EXPECT_EQ(WebServiceInfo::ConvertServiceTypeToQString(WebServiceInfo::ServiceTypeQuorel), "Quorel");
    EXPECT_TRUE(WebServiceInfo::ConvertServiceTypeToQString(WebServiceInfo::ServiceTypeUnknown).isNull());

    WebServiceInfo info;
    info.AddServiceTypeToList(WebServiceInfo::ServiceTypeMos);
    info.AddServiceTypeToList(WebServiceInfo::ServiceTypeMos);
    info.AddServiceTypeToList(WebServiceInfo::ServiceTypeHarlen);
    EXPECT_EQ(info.GetServiceTypeList().size(), 2);
    info.RemoveServiceTypeFromList(WebServiceInfo::ServiceTypeMos);
    EXPECT_EQ(info.GetServiceTypeList().size(), 1);
    info.SetTypesList({"a", "b", "a"});
    info.RemoveType("a");
    EXPECT_EQ(info.GetTypesList(), std::list<std::string>({"b"}));
}

TEST(WebServiceInfoTest, GroupInformationFromMetadata)
{
    JoxCore::SetLogHandler handler(CaptureLog);
    gLogged.clear();
    const WebServiceInfo member("urn:uuid:g",
        Types("service_name__MOS group_type__ab group_master__0 group_name__pair "
              "group_members__http://10.0.0.1:8011_http://10.0.0.2:8012;FF8000"),
        "http://10.0.0.2:8012");
    const JoxCore::ChannelStateGroupInfo& rGroup = member.GetGroupInformation();
    EXPECT_EQ(rGroup.GetGroupType(), 1);
    EXPECT_EQ(rGroup.GetMasterIndex(), 0);
    EXPECT_EQ(rGroup.GetOwnIndex(), 1);
    EXPECT_EQ(rGroup.GetGroupName(), "pair");
    ASSERT_EQ(rGroup.GetMembers().size(), 2);
    EXPECT_EQ(rGroup.GetMembers()[0].mColor.mRed, 0);
    EXPECT_EQ(rGroup.GetMembers()[1].mColor.mRed, 255);
    EXPECT_EQ(rGroup.GetMembers()[1].mColor.mGreen, 128);
    EXPECT_EQ(rGroup.GetMembers()[1].mColor.mBlue, 0);
    EXPECT_EQ(member.GetBroadcastChannelUrls(), QStringList({"http://10.0.0.1:8011", "http://10.0.0.2:8012"}));
    EXPECT_TRUE(gLogged.empty());

    // Refused groups are logged and reset, the name included.
    const struct
    {
        const char* mTypes;
        const char* mLog;
    } refused[] = {
        {"group_type__ab group_name__x group_members__http://10.0.0.1:8011",
         "2 WebServiceInfo: Failed to set group info: Type = ab, members count = 1"},
        {"group_type__clone group_name__x", "2 WebServiceInfo: Failed to set group info: Type = clone, members count = 1"},
        {"group_type__ab group_master__5 group_members__a_b", "2 WebServiceInfo: Failed to set group info: Type = ab, members count = 2"},
    };
    for (const auto& rCase : refused)
    {
        gLogged.clear();
        const WebServiceInfo info("urn:uuid:h", Types(rCase.mTypes), "http://10.0.0.3:8013");
        EXPECT_EQ(info.GetGroupInformation().GetGroupType(), 0) << rCase.mTypes;
        EXPECT_TRUE(info.GetGroupInformation().GetGroupName().isEmpty());
        EXPECT_TRUE(info.GetGroupInformation().GetMembers().isEmpty());
        EXPECT_EQ(gLogged, std::vector<std::string>({rCase.mLog}));
    }

    // A trailing separator adds an empty member; an unknown type parses no members but keeps the name.
    const WebServiceInfo trailing("urn:uuid:i", Types("group_type__ab group_members__a_b_"), "http://a");
    EXPECT_EQ(trailing.GetGroupInformation().GetMembers().size(), 3);
    const WebServiceInfo unknown("urn:uuid:j", Types("group_type__trio group_name__n group_members__a_b"), "http://a");
    EXPECT_EQ(unknown.GetGroupInformation().GetGroupType(), 0);
    EXPECT_EQ(unknown.GetGroupInformation().GetGroupName(), "n");
    EXPECT_TRUE(unknown.GetGroupInformation().GetMembers().isEmpty());

    // A master index that is no number counts as 0 instead of throwing.
    const WebServiceInfo badMaster("urn:uuid:k", Types("group_type__ab group_master__first group_members__a_b"), "http://a");
    EXPECT_EQ(badMaster.GetGroupInformation().GetGroupType(), 1);
    EXPECT_EQ(badMaster.GetGroupInformation().GetMasterIndex(), 0);
}

TEST(WebServiceInfoTest, ColorFromString)
{
    const auto color = ChannelStateGroupMember::ColorFromString("12345");
    EXPECT_EQ(color.mRed, 0x12);
    EXPECT_EQ(color.mGreen, 0x34);
    EXPECT_EQ(color.mBlue, 0x05);
    const auto none = ChannelStateGroupMember::ColorFromString("zz8000");
    EXPECT_EQ(none.mRed + none.mGreen + none.mBlue, 0);
    const auto partial = ChannelStateGroupMember::ColorFromString("FF80");
    EXPECT_EQ(partial.mRed + partial.mGreen + partial.mBlue, 0);
}

TEST(WebServiceInfoTest, XmlRoundTripWithGroup)
{
    WebServiceInfo original("urn:uuid:l",
        Types("tds:Device service_name__MOS service_version__1.0 description_name__Chan\xC3\xA9 "
              "status_name__active group_type__ab group_master__1 group_name__g\xC3\xBC "
              "group_members__http://10.0.0.1:8011;00FF00_http://10.0.0.2:8012;FF8000"),
        "http://10.0.0.1:8011 http://10.0.0.9:8011");
    QDomDocument document;
    QDomElement root = document.createElement("webserviceinfo");
    document.appendChild(root);
    original.ToXml(root);

    // The written layout, read back element by element.
    QDomDocument parsed;
    ASSERT_TRUE(parsed.setContent(document.toString()));
    const QDomElement element = parsed.documentElement();
    const QStringList order = {"status", "statusblockedby", "servicename", "serviceversion", "descriptionnumber",
                               "descriptionname", "hardwaremanufacturer", "hardwarename", "hardwarerevision",
                               "softwaremanufacturer", "softwarename", "softwareversion", "displayname",
                               "hostname", "xaddresses", "types", "endpoint", "servicetype", "groupinformation"};
    QStringList seen;
    for (QDomElement child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
        seen.append(child.tagName());
    EXPECT_EQ(seen, order);
    EXPECT_EQ(element.firstChildElement("status").text(), "1");
    EXPECT_EQ(element.firstChildElement("servicetype").text(), "0");
    EXPECT_EQ(element.firstChildElement("descriptionname").text(), QString::fromUtf8("Chan\xC3\xA9"));
    const QDomElement group = element.firstChildElement("groupinformation");
    EXPECT_EQ(group.attribute("grouptype"), "1");
    EXPECT_EQ(group.attribute("groupmasterindex"), "1");
    EXPECT_EQ(group.attribute("groupownindex"), "0");
    const QDomElement secondMember = group.firstChildElement("groupmembers").firstChildElement("groupmember").nextSiblingElement();
    EXPECT_EQ(secondMember.attribute("groupmembercolor"), "16744448");

    WebServiceInfo copy("10.0.0.77:1", true, WebServiceInfo::ServiceTypeQuorel);
    copy.FromXml(parsed.documentElement(), nullptr);
    EXPECT_EQ(copy.GetStatus(), WebServiceInfo::eStatusActive);
    EXPECT_EQ(copy.GetDisplayName(), original.GetDisplayName());
    EXPECT_EQ(copy.GetHostName(), original.GetHostName());
    EXPECT_EQ(copy.GetUrls(), original.GetUrls());
    EXPECT_EQ(copy.GetEndpoint(), "urn:uuid:l");
    EXPECT_EQ(copy.GetServiceType(), WebServiceInfo::ServiceTypeMos);
    EXPECT_EQ(copy.GetServiceName(), "MOS");
    EXPECT_TRUE(copy.IsStatic());   // not part of the XML
    // The metadata items stand first, then the received items.
    EXPECT_EQ(copy.GetTypesList().front(), "status_name__active");
    EXPECT_EQ(copy.GetTypesList().size(), 4 + original.GetTypesList().size());
    const JoxCore::ChannelStateGroupInfo& rGroup = copy.GetGroupInformation();
    EXPECT_EQ(rGroup.GetGroupType(), 1);
    EXPECT_EQ(rGroup.GetMasterIndex(), 1);
    EXPECT_EQ(rGroup.GetOwnIndex(), 0);
    EXPECT_EQ(rGroup.GetGroupName(), QString::fromUtf8("g\xC3\xBC"));
    ASSERT_EQ(rGroup.GetMembers().size(), 2);
    EXPECT_EQ(rGroup.GetMembers()[1].mAddress, QUrl("http://10.0.0.2:8012"));
    EXPECT_EQ(rGroup.GetMembers()[0].mColor.mGreen, 255);
    EXPECT_EQ(rGroup.GetMembers()[1].mColor.mRed, 255);
    EXPECT_EQ(rGroup.GetMembers()[1].mColor.mGreen, 128);
}

TEST(WebServiceInfoTest, XmlWithoutGroupAndOwnIndexMinusOne)
{
    WebServiceInfo outside("urn:uuid:m", Types("group_type__ab group_members__http://a_http://b"), "http://c:1");
    EXPECT_EQ(outside.GetGroupInformation().GetOwnIndex(), -1);
    QDomDocument document;
    QDomElement root = document.createElement("webserviceinfo");
    document.appendChild(root);
    outside.ToXml(root);
    EXPECT_EQ(root.firstChildElement("groupinformation").attribute("groupownindex"), "4294967295");
    WebServiceInfo copy;
    copy.FromXml(root, nullptr);
    EXPECT_EQ(copy.GetGroupInformation().GetOwnIndex(), -1);
    EXPECT_EQ(copy.GetGroupInformation().GetMembers().size(), 2);

    root.removeChild(root.firstChildElement("groupinformation"));
    WebServiceInfo noGroup;
    noGroup.FromXml(root, nullptr);
    EXPECT_EQ(noGroup.GetGroupInformation().GetGroupType(), 0);
    EXPECT_TRUE(noGroup.GetGroupInformation().GetMembers().isEmpty());

    WebServiceInfo untouched("urn:uuid:n", {}, "http://d:1");
    untouched.FromXml(QDomElement(), nullptr);
    EXPECT_EQ(untouched.GetEndpoint(), "urn:uuid:n");
}
