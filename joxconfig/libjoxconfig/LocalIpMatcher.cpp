#include <joxconfig/LocalIpMatcher.h>

#include <zephrane/LocalInterfaces.h>

#include <joxlog/JoxLog.h>

#include <boost/asio/ip/address.hpp>

namespace JoxConfig {

namespace {

const char* const cCategory = "LocalIpMatcher";

// IPv6 form first, then IPv4; false for text that is neither and for the
// unspecified address.
bool ParseAddress(const std::string& rText, boost::asio::ip::address& rOut)
{
    boost::system::error_code error;
    const boost::asio::ip::address_v6 v6 = boost::asio::ip::make_address_v6(rText, error);
    if (!error)
    {
        rOut = v6;
    }
    else
    {
        const boost::asio::ip::address_v4 v4 = boost::asio::ip::make_address_v4(rText, error);
        if (error)
            return false;
        rOut = v4;
    }
    return !rOut.is_unspecified();
}

void LogIgnored(const char* pText, const std::string& rValue)
{
    JoxCore::Log(3, 0, cCategory, (std::string(pText) + rValue).c_str(), __FILE__, __LINE__, __func__);
}

} // namespace

LocalIpMatcher::LocalIpMatcher()
    : mInterfaces(zephrane::UsableNetworkInterfaces())
{
}

std::list<std::string> LocalIpMatcher::DetermineMatchingUrls(const std::list<std::string>& rUrls) const
{
    std::list<std::string> result;
    for (const std::string& rUrl : rUrls)
    {
        std::string rest = rUrl;
        const std::string scheme = "http://";
        const std::string::size_type schemeAt = rest.find(scheme);
        if (schemeAt != std::string::npos)
            rest.erase(schemeAt, scheme.size());
        // The host ends at the port or, for a URL without port, at its path.
        const std::string host = rest.substr(0, rest.find_first_of(":/"));

        boost::asio::ip::address urlAddress;
        if (!ParseAddress(host, urlAddress))
        {
            LogIgnored("Given Url is malformed. Ignore :", host);
            continue;
        }
        for (const zephrane::NetworkInterface& rInterface : mInterfaces)
        {
            boost::asio::ip::address interfaceAddress;
            if (!ParseAddress(rInterface.mAddress.ToString(), interfaceAddress))
            {
                LogIgnored("System Ip is malformed. Ignore :", rInterface.mAddress.ToString());
                continue;
            }
            if (urlAddress.is_v6() || interfaceAddress.is_v6())
                continue;
            boost::system::error_code error;
            const boost::asio::ip::address_v4 mask =
                boost::asio::ip::make_address_v4(rInterface.mNetmask.ToString(), error);
            const unsigned long maskValue = error ? 0 : mask.to_ulong();
            if ((urlAddress.to_v4().to_ulong() & maskValue) == (interfaceAddress.to_v4().to_ulong() & maskValue))
                result.push_back(rUrl);
        }
    }
    result.unique();
    return result;
}

} // namespace JoxConfig
