#include <joxcore/AbstractContainerAtomTextual.h>

namespace JoxCore {

AbstractContainerAtomTextual::AbstractContainerAtomTextual(AbstractContainer* pContainer) : AbstractContainerAtom(pContainer)
{}

AbstractContainerAtomTextual::~AbstractContainerAtomTextual() = default;

bool AbstractContainerAtomTextual::IsValueValid(const QVariant& rValue) const
{
    if (rValue.typeId() != QMetaType::QString)
        return false;
    const QString text = rValue.toString();
    const QRegExp pattern = GetRegExp();
    if (!pattern.pattern().isEmpty() && !pattern.exactMatch(text))
        return false;
    return GetMaxLength() == -1 || text.size() <= GetMaxLength();
}

QString AbstractContainerAtomTextual::GetTypeName() const
{
    return QStringLiteral("AtomTextual");
}

} // namespace JoxCore
