#include <joxcore/AbstractContainerAtomReal.h>

namespace {

// The double epsilon: values this close beyond a limit still pass.
constexpr double cTolerance = 2.220446049250313e-16;

} // namespace

namespace JoxCore {

AbstractContainerAtomReal::AbstractContainerAtomReal(AbstractContainer* pContainer) : AbstractContainerAtom(pContainer)
{}

AbstractContainerAtomReal::~AbstractContainerAtomReal() = default;

bool AbstractContainerAtomReal::IsValueValid(const QVariant& rValue) const
{
    if (rValue.typeId() != QMetaType::Double)
        return false;
    const double value = rValue.toDouble();
    return value >= GetMinReal() - cTolerance && value <= GetMaxReal() + cTolerance;
}

QString AbstractContainerAtomReal::GetTypeName() const
{
    return QStringLiteral("AtomReal");
}

} // namespace JoxCore
