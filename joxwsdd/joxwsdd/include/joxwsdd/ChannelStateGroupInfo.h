#pragma once

#include <joxwsdd/ChannelStateGroupMember.h>
#include <joxwsdd/PelwickExport.h>

#include <QDomElement>
#include <QDomNode>
#include <QString>
#include <QVector>

namespace JoxCore {

// The group of channels a service belongs to; group type 0 means none.
class PELWICK_EXPORT ChannelStateGroupInfo
{
public:
    ChannelStateGroupInfo();

    // Type 0 clears the group (the name stays). Otherwise false, changing
    // nothing, with fewer than two members or an index outside them.
    bool SetGroup(int type, const QVector<ChannelStateGroupMember>& rMembers, int masterIndex, int ownIndex);
    // Type 0, master 0, own -1, no name, no members.
    void Reset();

    int GetGroupType() const { return mGroupType; }
    int GetMasterIndex() const { return mMasterIndex; }
    // -1 when this service is no member.
    int GetOwnIndex() const { return mOwnIndex; }
    const QString& GetGroupName() const { return mGroupName; }
    void SetGroupName(const QString& rName) { mGroupName = rName; }
    const QVector<ChannelStateGroupMember>& GetMembers() const { return mMembers; }

    // Writes the attributes and the "groupmembers" child into the node.
    void ToXml(QDomNode node) const;
    // Reads what ToXml wrote, without the checks of SetGroup.
    void FromXml(const QDomElement& rElement);

private:
    int mGroupType;
    int mMasterIndex;
    int mOwnIndex;
    QString mGroupName;
    QVector<ChannelStateGroupMember> mMembers;
};

} // namespace JoxCore
