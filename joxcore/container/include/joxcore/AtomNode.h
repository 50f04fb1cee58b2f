#pragma once

#include <QList>
#include <QMap>
#include <QString>

namespace JoxCore {

class AbstractContainerAtom;
class AtomPath;

// One node of a parameter container's atom tree: a name, an optional atom
// (owned), and children in insertion order (several may share a name; a
// child's index is its position among its namesakes).
class AtomNode
{
public:
    // Full atom name (AtomPath::ToString, indexes zero-filled) to node.
    using NodeMap = QMap<QString, AtomNode*>;

    explicit AtomNode(const QString& rName);
    // Deletes the atom, then the children first to last.
    ~AtomNode();
    AtomNode(const AtomNode&) = delete;
    AtomNode& operator=(const AtomNode&) = delete;

    const QString& GetName() const { return mName; }
    AbstractContainerAtom* GetAtom() const { return mAtom; }
    AtomNode* GetParent() const { return mParent; }
    const QList<AtomNode*>& GetChildren() const { return mChildren; }
    // Children named rName, in insertion order.
    QList<AtomNode*> ChildrenNamed(const QString& rName) const;
    // Position among the parent's children of the same name; -1 without parent.
    int IndexAmongNamesakes() const;

    // Takes ownership of pChild and appends it.
    void AddChild(AtomNode* pChild);
    // Deletes the child at that position with its subtree; false when out of range.
    bool RemoveChild(int position);
    // Detaches pNode from its parent and deletes it (a parentless node is
    // deleted outright); false for a null node.
    static bool Delete(AtomNode* pNode);

    // Deletes the previous atom (unless it is pAtom itself), stores pAtom and
    // sets its node to this one.
    void AttachAtom(AbstractContainerAtom* pAtom);

    // Resolves rPath from element `level` on among the descendants into rResult.
    void Search(const AtomPath& rPath, int level, NodeMap& rResult) const;
    // As Search, creating missing nodes when create is set, and attaching
    // *ppAtom (when given and not null) to the node found under the lowest
    // key; *ppAtom is set to null once attached. Creates nothing for a
    // malformed path or one with an empty element. pResult may be null.
    void FindOrCreate(const AtomPath& rPath, int level, NodeMap* pResult, bool create,
                      AbstractContainerAtom** ppAtom);
    // Every node below this one; an only child is named without index.
    void CollectAll(const AtomPath& rSoFar, NodeMap& rResult) const;
    // The node's path up to (not including) the root, every level indexed.
    static AtomPath NodePath(const AtomNode* pNode);
    // Deletes every node Search finds; true when every deletion succeeded.
    bool RemoveMatches(const AtomPath& rPath);
    // One line per descendant: "<indent><name>[<n>]", " = <first current
    // value>" when it has an atom, then its children indented by a tab more.
    QString Dump(const QString& rIndentation) const;

private:
    void RebuildNameIndex();
    void FindOrCreateLevel(const AtomPath& rPath, int level, NodeMap& rResult, bool create);

    QString mName;
    AbstractContainerAtom* mAtom = nullptr;
    AtomNode* mParent = nullptr;
    QList<AtomNode*> mChildren;
    QMap<QString, QList<AtomNode*>> mChildrenByName;
};

} // namespace JoxCore
