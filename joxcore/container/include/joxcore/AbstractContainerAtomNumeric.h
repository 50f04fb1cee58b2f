#pragma once

#include <joxcore/AbstractContainerAtom.h>

namespace JoxCore {

// An integer atom: a QVariant of type int (unsigned fails) within min..max (max -1: no upper limit).
class AbstractContainerAtomNumeric : public AbstractContainerAtom
{
public:
    explicit AbstractContainerAtomNumeric(AbstractContainer* pContainer = nullptr);
    ~AbstractContainerAtomNumeric() override;

    bool IsValueValid(const QVariant& rValue) const override;
    QString GetTypeName() const override;
};

} // namespace JoxCore
