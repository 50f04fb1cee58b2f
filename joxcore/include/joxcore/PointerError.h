#pragma once

#include <stdexcept>
#include <string>

namespace Exception {

// A pointer that a call cannot work with.
class pointer_error : public std::runtime_error
{
public:
    explicit pointer_error(const std::string& rMessage);
    const char* what() const noexcept override;

private:
    std::string mMessage;
};

// A null or otherwise invalid pointer: "Invalid pointer".
class pointer_invalid_error : public pointer_error
{
public:
    pointer_invalid_error();
};

} // namespace Exception
