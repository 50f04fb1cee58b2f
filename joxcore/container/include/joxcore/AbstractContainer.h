#pragma once

#include <joxcore/AtomNode.h>
#include <joxcore/ModelInterface.h>

#include <QMap>

namespace JoxCore {

// The parameter container: a tree of atoms behind a recursive mutex, a
// cache of path lookups and the hooks. Names select atoms by AtomPath; the
// empty name selects every node where noted.
//
// Hooks and callbacks run with the lock held and may call back into the
// container, but while any operation is running on it, changes that would
// free nodes or atoms (RemoveAtoms, Clear, SetAtom) are refused.
class AbstractContainer : public ModelInterface
{
public:
    enum State { CurrentState = 0, DefaultState = 1, UndoState = 2, AutoState = 3 };
    enum Action {
        ActionReset = 0,
        ActionUndo = 1,
        ActionAuto = 2,
        ActionSaveCurrentStateAsUndoState = 3
    };
    enum Parameter {
        ParameterMin = 0,
        ParameterMax = 1,
        ParameterMinReal = 2,
        ParameterMaxReal = 3,
        ParameterMaxLength = 4,
        ParameterRegExp = 5,
        ParameterMaxNumberStateValues = 6,
        ParameterAllowedValues = 7,
        ParameterName = 8
    };
    // Most entries the lookup cache keeps before it starts afresh.
    static constexpr int MaxCachedLookups = 1024;

    // "CurrentState" ... "AutoState", else "UnknownState".
    static QString StateText(int state);
    // "ActionReset" ... "ActionSaveCurrentStateAsUndoState", else "UnknownAction".
    static QString ActionText(int action);
    // "ParameterMin" ... "ParameterName", else "UnknownParameter".
    static QString ParameterText(int parameter);

    AbstractContainer();
    // Deletes the hooks with the property "model", then the tree.
    ~AbstractContainer() override;

    QList<QVariant> GetState(const QString& rName, int state) override;
    bool SetState(const QString& rName, int state, const QList<QVariant>& rValues) override;
    bool SetState(const QString& rName, int state, const QVariant& rValue, int index) override;
    QString ToString() override;
    StandaloneAtom GetAtom(const QString& rName) override;
    void GetAtoms(const QString& rName, QList<StandaloneAtom>& rAtoms) override;
    QStringList GetAtomNames(const QString& rName) override;
    bool RemoveAtoms(const QString& rName) override;
    void Clear() override;
    QString GetAtomName(const AbstractContainerAtom* pAtom) override;
    QVariant GetAtomParameter(int parameter, const QString& rName, const QVariant& rDefault) override;
    bool SetAtomParameter(int parameter, const QString& rName, const QVariant& rValue) override;
    bool PerformAtomsAction(int action, const QString& rName) override;
    // Attaches the atom at the first node the path selects (creating the
    // path), replacing the atom held there. False, with the caller keeping
    // the atom, when the path selects no node, the atom is held by another
    // node, or the container is busy.
    bool SetAtom(const QString& rName, AbstractContainerAtom* pAtom) override;

    // Runs the hooks whose kind (and path, when given) fit the atom.
    void RunHooks(const QString& rKind, const QString& rAtomName,
                  const QList<QVariant>& rOldValues);

    // Number of cached lookups (for tests of the cache bound).
    int CachedLookupCount();

protected:
    // Common body of both SetState forms.
    bool InternalSetState(const QString& rName, int state, const QList<QVariant>& rValues,
                          const QVariant& rValue, int index, bool single);

private:
    class BusyScope;

    // Matches of a name; an empty name selects every node when emptyIsAll.
    AtomNode::NodeMap Resolve(const QString& rName, bool emptyIsAll);
    // Logs and returns true when a tree change must be refused now.
    bool RefuseWhileBusy(const char* pFunction, const QString& rCall);

    AtomNode* mRoot = nullptr;
    QMap<QString, AtomNode::NodeMap> mLookupCache;
    // Operations running on this container (only the lock holder changes it).
    int mBusy = 0;
};

} // namespace JoxCore
