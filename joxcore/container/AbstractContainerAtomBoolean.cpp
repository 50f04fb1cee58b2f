#include <joxcore/AbstractContainerAtomBoolean.h>

namespace JoxCore {

AbstractContainerAtomBoolean::AbstractContainerAtomBoolean(AbstractContainer* pContainer) : AbstractContainerAtom(pContainer)
{
    SetAllowedValues(QList<QVariant>{QVariant(true), QVariant(false)});
}

AbstractContainerAtomBoolean::~AbstractContainerAtomBoolean() = default;

bool AbstractContainerAtomBoolean::IsValueValid(const QVariant& rValue) const
{
    Q_UNUSED(rValue);
    return true;
}

QString AbstractContainerAtomBoolean::GetTypeName() const
{
    return QStringLiteral("AtomBoolean");
}

} // namespace JoxCore
