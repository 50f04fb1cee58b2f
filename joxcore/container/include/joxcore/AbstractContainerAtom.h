#pragma once

#include <QList>
#include <QRegExp>
#include <QString>
#include <QVariant>

namespace JoxCore {

class AbstractContainer;
class AtomNode;

// One named parameter of a parameter container: four value lists, one per
// state (0 current, 1 default, 2 undo, 3 auto), and the rules its values obey.
// The plain kind accepts every value. Once attached to a node, the node owns
// the atom; a copy is detached (no container, no node) and of the plain kind.
class AbstractContainerAtom
{
public:
    // Largest value index SetValue accepts.
    static constexpr int MaxValueIndex = 65535;

    explicit AbstractContainerAtom(AbstractContainer* pContainer = nullptr);
    // A detached copy: lists and rules as they are, no container, no node.
    AbstractContainerAtom(const AbstractContainerAtom& rOther);
    AbstractContainerAtom& operator=(const AbstractContainerAtom& rOther);
    virtual ~AbstractContainerAtom();

    // The kind's value check.
    virtual bool IsValueValid(const QVariant& rValue) const;
    virtual QString GetTypeName() const;
    // Verdict on new current values; SetValues returns it (the values are
    // stored regardless).
    virtual bool AcceptValues(const QString& rName, const QList<QVariant>& rNewValues,
                              const QList<QVariant>& rCurrentValues);
    // Called after every change with the current values before and now.
    virtual void ValuesChanged(const QString& rName, const QList<QVariant>& rOldCurrentValues,
                               const QList<QVariant>& rCurrentValues);

    // A copy of the state's values; never empty (one empty string at least).
    QList<QVariant> GetValues(int state) const;
    // Replaces the state's values. False for a state outside 0..3 or when a
    // value other than the empty string breaks the rules (nothing is stored
    // then). A list longer than the maximum count is not stored, yet the
    // listeners run and the AcceptValues verdict is returned.
    bool SetValues(int state, const QList<QVariant>& rValues);
    // Puts one value at index (-1 means 0), padding with empty strings. False
    // for a bad state, an index below -1 or above MaxValueIndex, or a value
    // the rules reject.
    bool SetValue(int state, const QVariant& rValue, int index);

    // The value passes the allowed list (when not empty) or the kind's check.
    bool IsValueAllowed(const QVariant& rValue) const;

    QList<QVariant> GetAllowedValues() const { return mAllowedValues; }
    // Replaces the allowed values and revalidates.
    bool SetAllowedValues(const QList<QVariant>& rValues);
    QRegExp GetRegExp() const { return mRegExp; }
    int GetMaxNumberStateValues() const { return mMaxNumberStateValues; }
    int GetMin() const { return mMin; }
    // -1 means no upper limit.
    int GetMax() const { return mMax; }
    double GetMinReal() const { return mMinReal; }
    double GetMaxReal() const { return mMaxReal; }
    // -1 means no limit.
    int GetMaxLength() const { return mMaxLength; }

    // Rule setters; the caller runs Revalidate afterwards.
    void SetMaxNumberStateValues(int count) { mMaxNumberStateValues = count; }
    void SetMin(int value) { mMin = value; }
    void SetMax(int value) { mMax = value; }
    void SetMinReal(double value) { mMinReal = value; }
    void SetMaxReal(double value) { mMaxReal = value; }
    void SetMaxLength(int length) { mMaxLength = length; }
    void SetRegExp(const QRegExp& rRegExp) { mRegExp = rRegExp; }
    // Drops values that break the rules from every state, then notifies.
    void Revalidate(const QList<QVariant>& rOldCurrentValues);

    // current := default.
    bool Reset();
    // current := undo.
    bool Undo();
    // current := auto.
    bool Auto();
    // undo := current.
    bool SaveCurrentStateAsUndoState();

    AbstractContainer* GetContainer() const { return mContainer; }
    void SetContainer(AbstractContainer* pContainer) { mContainer = pContainer; }
    AtomNode* GetNode() const { return mNode; }
    void SetNode(AtomNode* pNode) { mNode = pNode; }
    // The node's full path in the container; empty without container or node.
    QString GetName() const;

protected:
    // The constructors of the kinds run with change notifications off.
    bool mConstructed = false;

private:
    QList<QVariant>* StateList(int state);
    void NotifyChanged(const QList<QVariant>& rOldCurrentValues, int state);
    void NormalizeValues(QList<QVariant>& rValues) const;
    // The empty string (no value) or a value that passes the rules.
    bool IsStorable(const QVariant& rValue) const;
    void CopyFrom(const AbstractContainerAtom& rOther);

    AbstractContainer* mContainer = nullptr;
    AtomNode* mNode = nullptr;
    QList<QVariant> mCurrent;
    QList<QVariant> mDefault;
    QList<QVariant> mUndo;
    QList<QVariant> mAuto;
    int mMaxNumberStateValues = 1;
    QList<QVariant> mAllowedValues;
    int mMin = -2147483647 - 1;
    int mMax = 2147483647;
    double mMinReal = 2.2250738585072014e-308;
    double mMaxReal = 1.7976931348623157e+308;
    int mMaxLength = -1;
    QRegExp mRegExp{QString(), Qt::CaseSensitive, QRegExp::RegExp};
};

} // namespace JoxCore
