#pragma once

#include <joxcore/AbstractContainerAtom.h>

namespace JoxCore {

// A real atom: a double within the real limits, give or take the double epsilon.
class AbstractContainerAtomReal : public AbstractContainerAtom
{
public:
    explicit AbstractContainerAtomReal(AbstractContainer* pContainer = nullptr);
    ~AbstractContainerAtomReal() override;

    bool IsValueValid(const QVariant& rValue) const override;
    QString GetTypeName() const override;
};

} // namespace JoxCore
