#pragma once

#include <joxcore/AbstractContainerAtom.h>

namespace JoxCore {

// A switch atom: allowed values true and false unless replaced.
class AbstractContainerAtomBoolean : public AbstractContainerAtom
{
public:
    explicit AbstractContainerAtomBoolean(AbstractContainer* pContainer = nullptr);
    ~AbstractContainerAtomBoolean() override;

    bool IsValueValid(const QVariant& rValue) const override;
    QString GetTypeName() const override;
};

} // namespace JoxCore
