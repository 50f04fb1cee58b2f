#pragma once

#include <joxcore/StandaloneAtom.h>

#include <QList>
#include <QRecursiveMutex>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace JoxCore {

class AbstractContainerAtom;
class ContainerHook;

// A parameter model: named, typed atoms addressed by path, each with values
// per state (0 current, 1 default, 2 undo, 3 auto), limits and validation
// rules, actions between states, and hooks that follow changes. Every
// operation of an implementation holds mMutex (recursive) throughout.
class ModelInterface
{
public:
    ModelInterface();
    // Frees the hook list, not the hooks.
    virtual ~ModelInterface();
    ModelInterface(const ModelInterface&) = delete;
    ModelInterface& operator=(const ModelInterface&) = delete;

    // True when GetFirstAtomName of the name is not empty.
    virtual bool HasAtoms(const QString& rName);
    // The first match's values of that state.
    virtual QList<QVariant> GetState(const QString& rName, int state) = 0;
    virtual bool SetState(const QString& rName, int state, const QList<QVariant>& rValues) = 0;
    // Puts one value at index (-1: the first).
    virtual bool SetState(const QString& rName, int state, const QVariant& rValue, int index) = 0;
    // Lets a subclass rewrite values before they are set. Does nothing here.
    virtual void PrepareStateValues(const QString& rName, QList<QVariant>& rValues,
                                    const QList<QVariant>& rOldValues);
    // Lets a subclass veto a change. True here.
    virtual bool IsStateChangeAllowed(const QString& rName, const QList<QVariant>& rNewValues,
                                      const QList<QVariant>& rCurrentValues);
    // Called after a set with the current values before and now. Does nothing here.
    virtual void StateValuesChanged(const QString& rAtomName, const QList<QVariant>& rOldValues,
                                    const QList<QVariant>& rNewValues);
    // The tree dump.
    virtual QString ToString() = 0;
    // A copy of the first match.
    virtual StandaloneAtom GetAtom(const QString& rName) = 0;
    // Appends a copy per match (invalid for inner nodes).
    virtual void GetAtoms(const QString& rName, QList<StandaloneAtom>& rAtoms) = 0;
    // Number of entries GetAtoms yields.
    virtual int CountAtoms(const QString& rName);
    // Full names of the matches.
    virtual QStringList GetAtomNames(const QString& rName) = 0;
    // Removes matched subtrees.
    virtual bool RemoveAtoms(const QString& rName) = 0;
    virtual void Clear() = 0;
    // Full name of an atom in the tree; empty when it has none.
    virtual QString GetAtomName(const AbstractContainerAtom* pAtom) = 0;
    virtual QVariant GetAtomParameter(int parameter, const QString& rName,
                                      const QVariant& rDefault) = 0;
    virtual bool SetAtomParameter(int parameter, const QString& rName, const QVariant& rValue) = 0;
    virtual bool PerformAtomsAction(int action, const QString& rName) = 0;
    // Inserts an atom object; the container owns it once this returns true.
    virtual bool SetAtom(const QString& rName, AbstractContainerAtom* pAtom) = 0;

    // The first of GetAtomNames, or "" when there is none.
    QString GetFirstAtomName(const QString& rName);

    // Registers a hook (null and repeated registrations are ignored). The
    // caller keeps ownership unless the hook has the property "model".
    void AddHook(ContainerHook* pHook);
    // Drops a hook from the list without deleting it.
    void RemoveHook(ContainerHook* pHook);

protected:
    QRecursiveMutex mMutex;
    // Registered hooks in registration order.
    QList<ContainerHook*> mHooks;
};

} // namespace JoxCore
