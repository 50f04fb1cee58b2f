#include <zephrane/Exception/Generic.h>

namespace zephrane {
namespace Exception {

Generic::Generic(const std::string& rMessage)
    : std::runtime_error(rMessage)
    , mMessage(rMessage)
{
}

const char* Generic::what() const noexcept
{
    return mMessage.c_str();
}

} // namespace Exception
} // namespace zephrane
