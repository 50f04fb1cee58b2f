#pragma once

#include <joxcore/AbstractContainerAtom.h>

namespace JoxCore {

// A text atom: a QString, matching the pattern (when set) as a whole and no longer than the maximum length (when not -1).
class AbstractContainerAtomTextual : public AbstractContainerAtom
{
public:
    explicit AbstractContainerAtomTextual(AbstractContainer* pContainer = nullptr);
    ~AbstractContainerAtomTextual() override;

    bool IsValueValid(const QVariant& rValue) const override;
    QString GetTypeName() const override;
};

} // namespace JoxCore
