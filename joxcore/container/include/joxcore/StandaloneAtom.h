#pragma once

#include <joxcore/AbstractContainerAtom.h>

namespace JoxCore {

// What a container hands to readers: a detached copy of an atom and whether
// an atom was found (when not, the copy is a default plain atom).
class StandaloneAtom
{
public:
    StandaloneAtom() = default;
    explicit StandaloneAtom(const AbstractContainerAtom& rAtom) : mAtom(rAtom), mValid(true) {}

    bool IsValid() const { return mValid; }
    const AbstractContainerAtom& GetAtom() const { return mAtom; }
    AbstractContainerAtom& GetAtom() { return mAtom; }

private:
    AbstractContainerAtom mAtom;
    bool mValid = false;
};

} // namespace JoxCore
