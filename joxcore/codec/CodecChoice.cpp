#include <joxcore/CodecChoice.h>

namespace JoxCore {

int ValidateChoice(const CodecChoiceList& rList, int value)
{
    if (rList.isEmpty())
        return -1;
    for (const CodecChoice& rChoice : rList) {
        if (rChoice.value == value)
            return value;
    }
    return rList.first().value;
}

} // namespace JoxCore
