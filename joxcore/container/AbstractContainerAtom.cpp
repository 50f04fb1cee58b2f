#include <joxcore/AbstractContainerAtom.h>

#include <joxcore/AbstractContainer.h>

namespace JoxCore {

namespace {

const QString cPostSet = QStringLiteral("PostSet");

QList<QVariant> EmptyValue()
{
    return QList<QVariant>{QVariant(QString(""))};
}

} // namespace

AbstractContainerAtom::AbstractContainerAtom(AbstractContainer* pContainer) : mContainer(pContainer)
{
    mCurrent = EmptyValue();
    mDefault = EmptyValue();
    mUndo = EmptyValue();
    mAuto = EmptyValue();
    mConstructed = true;
}

AbstractContainerAtom::AbstractContainerAtom(const AbstractContainerAtom& rOther)
{
    CopyFrom(rOther);
}

AbstractContainerAtom& AbstractContainerAtom::operator=(const AbstractContainerAtom& rOther)
{
    if (this != &rOther)
        CopyFrom(rOther);
    return *this;
}

AbstractContainerAtom::~AbstractContainerAtom() = default;

void AbstractContainerAtom::CopyFrom(const AbstractContainerAtom& rOther)
{
    mConstructed = false;
    mContainer = nullptr;
    mNode = nullptr;
    mAllowedValues = rOther.mAllowedValues;
    mMaxNumberStateValues = rOther.mMaxNumberStateValues;
    mCurrent = rOther.mCurrent;
    mDefault = rOther.mDefault;
    mAuto = rOther.mAuto;
    mUndo = rOther.mUndo;
    mMin = rOther.mMin;
    mMax = rOther.mMax;
    mMinReal = rOther.mMinReal;
    mMaxReal = rOther.mMaxReal;
    mMaxLength = rOther.mMaxLength;
    mRegExp = rOther.mRegExp;
    mConstructed = true;
}

bool AbstractContainerAtom::IsValueValid(const QVariant&) const
{
    return true;
}

QString AbstractContainerAtom::GetTypeName() const
{
    return QStringLiteral("Atom");
}

bool AbstractContainerAtom::AcceptValues(const QString&, const QList<QVariant>&, const QList<QVariant>&)
{
    return true;
}

void AbstractContainerAtom::ValuesChanged(const QString&, const QList<QVariant>&, const QList<QVariant>&)
{
}

QList<QVariant>* AbstractContainerAtom::StateList(int state)
{
    switch (state) {
    case 0:
        return &mCurrent;
    case 1:
        return &mDefault;
    case 2:
        return &mUndo;
    case 3:
        return &mAuto;
    default:
        return nullptr;
    }
}

QList<QVariant> AbstractContainerAtom::GetValues(int state) const
{
    QList<QVariant>* pList = const_cast<AbstractContainerAtom*>(this)->StateList(state);
    QList<QVariant> result = pList != nullptr ? *pList : QList<QVariant>();
    if (result.isEmpty())
        result = EmptyValue();
    return result;
}

QString AbstractContainerAtom::GetName() const
{
    return mContainer != nullptr ? mContainer->GetAtomName(this) : QString();
}

bool AbstractContainerAtom::IsValueAllowed(const QVariant& rValue) const
{
    if (mAllowedValues.isEmpty())
        return IsValueValid(rValue);
    return mAllowedValues.contains(rValue);
}

bool AbstractContainerAtom::IsStorable(const QVariant& rValue) const
{
    if (rValue.typeId() == QMetaType::QString && rValue.toString().isEmpty())
        return true;
    return IsValueAllowed(rValue);
}

bool AbstractContainerAtom::SetValues(int state, const QList<QVariant>& rValues)
{
    QList<QVariant>* pList = StateList(state);
    if (pList == nullptr)
        return false;
    const QString name = GetName();
    bool result = true;
    if (!name.isEmpty() && state == 0)
        result = AcceptValues(name, rValues, mCurrent);
    const QList<QVariant> oldCurrent = mCurrent;
    if (*pList == rValues)
        return true;
    const bool storable = rValues.size() <= mMaxNumberStateValues || rValues.isEmpty();
    if (storable) {
        for (const QVariant& rValue : rValues)
            if (!IsStorable(rValue))
                return false;
    }
    if (storable)
        *pList = rValues;
    NotifyChanged(oldCurrent, state);
    return result;
}

bool AbstractContainerAtom::SetValue(int state, const QVariant& rValue, int index)
{
    QList<QVariant>* pList = StateList(state);
    if (pList == nullptr || index < -1 || index > MaxValueIndex || !IsStorable(rValue))
        return false;
    QList<QVariant> values = *pList;
    if (index == -1)
        index = 0;
    while (values.size() < index + 1)
        values.append(QVariant(QString("")));
    values[index] = rValue;
    return SetValues(state, values);
}

bool AbstractContainerAtom::SetAllowedValues(const QList<QVariant>& rValues)
{
    mAllowedValues = rValues;
    // A copy: Revalidate cleans mCurrent before it reports the old values.
    const QList<QVariant> oldCurrent = mCurrent;
    Revalidate(oldCurrent);
    return true;
}

void AbstractContainerAtom::NotifyChanged(const QList<QVariant>& rOldCurrentValues, int state)
{
    if (!mConstructed)
        return;
    const QString name = GetName();
    if (name.isEmpty())
        return;
    if (QList<QVariant>* pList = StateList(state))
        NormalizeValues(*pList);
    ValuesChanged(name, rOldCurrentValues, mCurrent);
    if (mContainer != nullptr)
        mContainer->RunHooks(cPostSet, name, rOldCurrentValues);
}

void AbstractContainerAtom::Revalidate(const QList<QVariant>& rOldCurrentValues)
{
    if (!mConstructed)
        return;
    const QString name = GetName();
    if (name.isEmpty())
        return;
    NormalizeValues(mCurrent);
    NormalizeValues(mDefault);
    NormalizeValues(mAuto);
    NormalizeValues(mUndo);
    ValuesChanged(name, rOldCurrentValues, mCurrent);
    if (mContainer != nullptr)
        mContainer->RunHooks(cPostSet, name, rOldCurrentValues);
}

void AbstractContainerAtom::NormalizeValues(QList<QVariant>& rValues) const
{
    for (int i = 0; i < rValues.size();) {
        if (IsValueAllowed(rValues.at(i)))
            ++i;
        else
            rValues.removeAt(i);
    }
    if (rValues.isEmpty())
        rValues = EmptyValue();
}

bool AbstractContainerAtom::Reset()
{
    return SetValues(0, GetValues(1));
}

bool AbstractContainerAtom::Undo()
{
    return SetValues(0, GetValues(2));
}

bool AbstractContainerAtom::Auto()
{
    return SetValues(0, GetValues(3));
}

bool AbstractContainerAtom::SaveCurrentStateAsUndoState()
{
    return SetValues(2, GetValues(0));
}

} // namespace JoxCore
