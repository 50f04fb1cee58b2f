#pragma once

#include <stdexcept>
#include <string>

namespace zephrane {
namespace Exception {

// The utility library's one exception type: carries a complete message.
class Generic : public std::runtime_error
{
public:
    explicit Generic(const std::string& rMessage);

    const char* what() const noexcept override;

private:
    std::string mMessage;
};

} // namespace Exception
} // namespace zephrane
