#include <joxcore/PointerError.h>

namespace Exception {

pointer_error::pointer_error(const std::string& rMessage)
    : std::runtime_error(rMessage)
    , mMessage(rMessage)
{
}

const char* pointer_error::what() const noexcept
{
    return mMessage.c_str();
}

pointer_invalid_error::pointer_invalid_error()
    : pointer_error("Invalid pointer")
{
}

} // namespace Exception
