#include <joxcore/AbstractContainerAtomNumeric.h>

namespace JoxCore {

AbstractContainerAtomNumeric::AbstractContainerAtomNumeric(AbstractContainer* pContainer) : AbstractContainerAtom(pContainer)
{}

AbstractContainerAtomNumeric::~AbstractContainerAtomNumeric() = default;

bool AbstractContainerAtomNumeric::IsValueValid(const QVariant& rValue) const
{
    if (rValue.typeId() != QMetaType::Int)
        return false;
    const int value = rValue.toInt();
    return value >= GetMin() && (GetMax() == -1 || GetMax() >= value);
}

QString AbstractContainerAtomNumeric::GetTypeName() const
{
    return QStringLiteral("AtomNumeric");
}

} // namespace JoxCore
