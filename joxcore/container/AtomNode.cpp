#include <joxcore/AtomNode.h>

#include <joxcore/AbstractContainerAtom.h>
#include <joxcore/AtomPath.h>

#include <QHash>
#include <QStringList>

namespace JoxCore {

namespace {

const QString cWildcard = QStringLiteral("*");

// Appends rNodes to the candidates, each numbered by its position among its
// namesakes in rNodes.
void AppendNumbered(const QList<AtomNode*>& rNodes, QList<AtomNode*>& rCandidates, QList<int>& rNumbers)
{
    QHash<QString, int> perName;
    for (AtomNode* pNode : rNodes) {
        rCandidates.append(pNode);
        rNumbers.append(perName[pNode->GetName()]++);
    }
}

// Puts each candidate, named at `level` of rPath, into rResult when that is
// the path's last element, and hands it to descend with its path otherwise.
template <typename Descend>
void TakeCandidates(const AtomPath& rPath, int level, const QList<AtomNode*>& rCandidates,
                    const QList<int>& rNumbers, AtomNode::NodeMap& rResult, Descend descend)
{
    for (int i = 0; i < rCandidates.size(); ++i) {
        AtomPath copy = rPath;
        copy.SetElement(level, rCandidates.at(i)->GetName(), rNumbers.at(i));
        if (rPath.IsLast(level))
            rResult.insert(copy.ToString(), rCandidates.at(i));
        else
            descend(rCandidates.at(i), copy);
    }
}

} // namespace

AtomNode::AtomNode(const QString& rName) : mName(rName) {}

AtomNode::~AtomNode()
{
    delete mAtom;
    mAtom = nullptr;
    const QList<AtomNode*> children = mChildren;
    mChildren.clear();
    mChildrenByName.clear();
    for (AtomNode* pChild : children)
        delete pChild;
}

QList<AtomNode*> AtomNode::ChildrenNamed(const QString& rName) const
{
    return mChildrenByName.value(rName);
}

int AtomNode::IndexAmongNamesakes() const
{
    if (mParent == nullptr)
        return -1;
    return static_cast<int>(mParent->mChildrenByName.value(mName).indexOf(const_cast<AtomNode*>(this)));
}

void AtomNode::AddChild(AtomNode* pChild)
{
    if (pChild == nullptr)
        return;
    pChild->mParent = this;
    mChildren.append(pChild);
    RebuildNameIndex();
}

bool AtomNode::RemoveChild(int position)
{
    if (position < 0 || position >= mChildren.size())
        return false;
    AtomNode* pChild = mChildren.takeAt(position);
    RebuildNameIndex();
    pChild->mParent = nullptr;
    delete pChild;
    return true;
}

bool AtomNode::Delete(AtomNode* pNode)
{
    if (pNode == nullptr)
        return false;
    if (pNode->mParent != nullptr) {
        const int position = static_cast<int>(pNode->mParent->mChildren.indexOf(pNode));
        if (position >= 0)
            return pNode->mParent->RemoveChild(position);
    }
    delete pNode;
    return true;
}

void AtomNode::AttachAtom(AbstractContainerAtom* pAtom)
{
    if (pAtom == mAtom)
        return;
    AbstractContainerAtom* pOld = mAtom;
    mAtom = pAtom;
    if (pAtom != nullptr)
        pAtom->SetNode(this);
    delete pOld;
}

void AtomNode::RebuildNameIndex()
{
    mChildrenByName.clear();
    for (AtomNode* pChild : mChildren)
        mChildrenByName[pChild->mName].append(pChild);
}

void AtomNode::Search(const AtomPath& rPath, int level, NodeMap& rResult) const
{
    if (!rPath.IsValid() || mChildren.isEmpty() || level < 0 || level >= rPath.Count())
        return;
    const QString text = rPath.ElementText(level);
    if (text.isEmpty())
        return;
    QList<AtomNode*> candidates;
    QList<int> numbers;
    if (text == cWildcard) {
        AppendNumbered(mChildren, candidates, numbers);
    } else if (rPath.ElementIndex(level) != -1) {
        const int index = rPath.ElementIndex(level);
        const QList<AtomNode*> named = mChildrenByName.value(rPath.ElementName(level));
        if (index >= 0 && index < named.size()) {
            candidates.append(named.at(index));
            numbers.append(index);
        }
    } else {
        AppendNumbered(mChildrenByName.value(rPath.ElementName(level)), candidates, numbers);
    }
    TakeCandidates(rPath, level, candidates, numbers, rResult, [&](AtomNode* pNode, const AtomPath& rCopy) {
        pNode->Search(rCopy, level + 1, rResult);
    });
}

void AtomNode::FindOrCreate(const AtomPath& rPath, int level, NodeMap* pResult, bool create,
                            AbstractContainerAtom** ppAtom)
{
    NodeMap found;
    FindOrCreateLevel(rPath, level, found, create);
    if (ppAtom != nullptr && *ppAtom != nullptr && !found.isEmpty()) {
        found.first()->AttachAtom(*ppAtom);
        *ppAtom = nullptr;
    }
    if (pResult != nullptr)
        pResult->insert(found);
}

void AtomNode::FindOrCreateLevel(const AtomPath& rPath, int level, NodeMap& rResult, bool create)
{
    if (!rPath.IsValid() || rPath.HasEmptyElement() || level < 0 || level >= rPath.Count())
        return;
    const QString name = rPath.ElementName(level);
    const int index = rPath.ElementIndex(level);
    QList<AtomNode*> candidates;
    QList<int> numbers;
    if (name == cWildcard) {
        // "*[n]" names no node (Search reads it as a child named "*").
        if (index != -1)
            return;
        AppendNumbered(mChildren, candidates, numbers);
    } else if (index != -1) {
        if (index < 0 || index > AtomPath::MaxIndex)
            return;
        if (create && mChildrenByName.value(name).size() <= index) {
            while (mChildrenByName.value(name).size() <= index) {
                AtomNode* pChild = new AtomNode(name);
                pChild->mParent = this;
                mChildren.append(pChild);
                mChildrenByName[name].append(pChild);
            }
            RebuildNameIndex();
        }
        const QList<AtomNode*> named = mChildrenByName.value(name);
        if (index < named.size()) {
            candidates.append(named.at(index));
            numbers.append(index);
        }
    } else {
        if (create && !mChildrenByName.contains(name))
            AddChild(new AtomNode(name));
        AppendNumbered(mChildrenByName.value(name), candidates, numbers);
    }
    TakeCandidates(rPath, level, candidates, numbers, rResult, [&](AtomNode* pNode, const AtomPath& rCopy) {
        pNode->FindOrCreateLevel(rCopy, level + 1, rResult, create);
    });
}

void AtomNode::CollectAll(const AtomPath& rSoFar, NodeMap& rResult) const
{
    if (rSoFar.Count() > 0)
        rResult.insert(rSoFar.ToString(), const_cast<AtomNode*>(this));
    QStringList order;
    for (AtomNode* pChild : mChildren)
        if (!order.contains(pChild->mName))
            order.append(pChild->mName);
    for (const QString& rName : order) {
        const QList<AtomNode*> named = mChildrenByName.value(rName);
        for (int i = 0; i < named.size(); ++i) {
            AtomPath path = rSoFar;
            path.Append(QString());
            path.SetElement(path.Count() - 1, rName, named.size() == 1 ? -1 : i);
            named.at(i)->CollectAll(path, rResult);
        }
    }
}

AtomPath AtomNode::NodePath(const AtomNode* pNode)
{
    AtomPath path;
    for (const AtomNode* pAt = pNode; pAt != nullptr && pAt->mParent != nullptr; pAt = pAt->mParent) {
        path.Prepend(QString());
        path.SetElement(0, pAt->mName, pAt->IndexAmongNamesakes());
    }
    return path;
}

bool AtomNode::RemoveMatches(const AtomPath& rPath)
{
    NodeMap found;
    Search(rPath, 0, found);
    bool result = true;
    // Deepest first, so no node is deleted before a match below it.
    const QList<AtomNode*> nodes = found.values();
    for (auto it = nodes.crbegin(); it != nodes.crend(); ++it)
        result = Delete(*it) && result;
    return result;
}

QString AtomNode::Dump(const QString& rIndentation) const
{
    QString text;
    QHash<QString, int> perName;
    for (const AtomNode* pChild : mChildren) {
        text += QStringLiteral("%1%2[%3]").arg(rIndentation, pChild->mName, QString::number(perName[pChild->mName]++));
        if (pChild->mAtom != nullptr) {
            const QList<QVariant> values = pChild->mAtom->GetValues(0);
            text += QStringLiteral(" = %1").arg(values.isEmpty() ? QString() : values.first().toString());
        }
        text += QLatin1Char('\n');
        text += pChild->Dump(rIndentation + QLatin1Char('\t'));
    }
    return text;
}

} // namespace JoxCore
