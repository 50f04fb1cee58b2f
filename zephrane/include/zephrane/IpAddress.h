#pragma once

#include <string>

namespace zephrane {

// One address text with its family flag: IPv4 unless the text holds a ':'.
class IpAddress
{
public:
    IpAddress();
    explicit IpAddress(const std::string& rText);

    bool IsIpv4() const { return mIpv4 != 0; }
    std::string ToString() const { return mText; }

    bool operator==(const IpAddress& rOther) const;
    bool operator!=(const IpAddress& rOther) const { return !(*this == rOther); }

private:
    int mIpv4;
    std::string mText;
};

} // namespace zephrane
