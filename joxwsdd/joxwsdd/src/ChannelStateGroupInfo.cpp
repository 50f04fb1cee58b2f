#include <joxwsdd/ChannelStateGroupInfo.h>

#include "XmlElementCursor.h"

#include <cstdio>

namespace JoxCore {

ChannelStateGroupMember::Color ChannelStateGroupMember::ColorFromString(const QString& rText)
{
    Color color;
    unsigned int red = 0;
    unsigned int green = 0;
    unsigned int blue = 0;
    const QByteArray text = rText.toLatin1();
    if (std::sscanf(text.constData(), "%2X%2X%2X", &red, &green, &blue) == 3)
    {
        color.mRed = static_cast<unsigned char>(red);
        color.mGreen = static_cast<unsigned char>(green);
        color.mBlue = static_cast<unsigned char>(blue);
    }
    return color;
}

ChannelStateGroupInfo::ChannelStateGroupInfo()
    : mGroupType(0), mMasterIndex(0), mOwnIndex(-1)
{
}

void ChannelStateGroupInfo::Reset()
{
    mGroupType = 0;
    mMasterIndex = 0;
    mOwnIndex = -1;
    mGroupName.clear();
    mMembers.clear();
}

bool ChannelStateGroupInfo::SetGroup(int type, const QVector<ChannelStateGroupMember>& rMembers, int masterIndex,
                                     int ownIndex)
{
    if (type == 0)
    {
        mGroupType = 0;
        mMembers.clear();
        mMasterIndex = 0;
        mOwnIndex = -1;
        return true;
    }
    const unsigned int count = static_cast<unsigned int>(rMembers.size());
    if (count < 2 || static_cast<unsigned int>(masterIndex) >= count
        || (ownIndex != -1 && static_cast<unsigned int>(ownIndex) >= count))
        return false;
    mGroupType = type;
    mMembers = rMembers;
    mMasterIndex = masterIndex;
    mOwnIndex = ownIndex;
    return true;
}

void ChannelStateGroupInfo::ToXml(QDomNode node) const
{
    JoxWsdd::XmlElementCursor cursor(node.toElement(), JoxWsdd::XmlElementCursor::ForWriting);
    cursor.WriteInt("grouptype", mGroupType, true);
    cursor.WriteUInt("groupmasterindex", static_cast<unsigned int>(mMasterIndex), true);
    cursor.WriteUInt("groupownindex", static_cast<unsigned int>(mOwnIndex), true);
    cursor.WriteString("groupname", mGroupName.toUtf8().toStdString(), true);
    cursor.Enter("groupmembers");
    for (const ChannelStateGroupMember& rMember : mMembers)
    {
        cursor.Enter("groupmember");
        cursor.WriteString("groupmemberaddress", rMember.mAddress.toString().toUtf8().toStdString(), true);
        const unsigned int color = (static_cast<unsigned int>(rMember.mColor.mExtra) << 24)
                                   | (static_cast<unsigned int>(rMember.mColor.mRed) << 16)
                                   | (static_cast<unsigned int>(rMember.mColor.mGreen) << 8)
                                   | rMember.mColor.mBlue;
        cursor.WriteInt("groupmembercolor", static_cast<int>(color), true);
        cursor.Leave();
    }
    cursor.Leave();
}

void ChannelStateGroupInfo::FromXml(const QDomElement& rElement)
{
    Reset();
    JoxWsdd::XmlElementCursor cursor(rElement, JoxWsdd::XmlElementCursor::ForReading);
    if (!cursor.IsReadable())
        return;
    mGroupType = cursor.ReadInt("grouptype", 0, true);
    mMasterIndex = static_cast<int>(cursor.ReadUInt("groupmasterindex", 0, true));
    mOwnIndex = static_cast<int>(cursor.ReadUInt("groupownindex", static_cast<unsigned int>(-1), true));
    mGroupName = QString::fromUtf8(cursor.ReadString("groupname", std::string(), true).c_str());
    if (!cursor.Enter("groupmembers"))
        return;
    while (cursor.Enter("groupmember"))
    {
        ChannelStateGroupMember member;
        member.mAddress = QUrl(QString::fromUtf8(cursor.ReadString("groupmemberaddress", std::string(), true).c_str()));
        const unsigned int color = static_cast<unsigned int>(cursor.ReadInt("groupmembercolor", 0, true));
        member.mColor.mExtra = static_cast<unsigned char>((color >> 24) & 0xFF);
        member.mColor.mRed = static_cast<unsigned char>((color >> 16) & 0xFF);
        member.mColor.mGreen = static_cast<unsigned char>((color >> 8) & 0xFF);
        member.mColor.mBlue = static_cast<unsigned char>(color & 0xFF);
        mMembers.push_back(member);
        cursor.Leave();
    }
    cursor.Leave();
}

} // namespace JoxCore
