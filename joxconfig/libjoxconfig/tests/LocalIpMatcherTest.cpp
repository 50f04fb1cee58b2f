#include <joxconfig/LocalIpMatcher.h>

#include <joxlog/JoxLog.h>

#include "NetnsSandbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<std::string> gLogged;

void CaptureLog(int level, int, const char* category, const char* message, const char*, int, const char*,
                const JoxCore::TimeStamp*)
{
    gLogged.push_back(std::to_string(level) + " " + category + ": " + message);
}

bool Logged(const std::string& rText)
{
    return std::find(gLogged.begin(), gLogged.end(), rText) != gLogged.end();
}

} // namespace

// The matcher reads the machine's interfaces; a private namespace with two
// addresses on a veth pair stands in for the machine.
TEST(LocalIpMatcherTest, MatchesUrlsInLocalSubnets)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    ASSERT_TRUE(tandriltest::NetnsSandbox::Run("ip link add tndm0 type veth peer name tndm1"));
    ASSERT_TRUE(tandriltest::NetnsSandbox::Run("ip addr add 10.0.0.7/24 dev tndm0"));
    ASSERT_TRUE(tandriltest::NetnsSandbox::Run("ip addr add 192.168.1.4/16 dev tndm0"));
    ASSERT_TRUE(tandriltest::NetnsSandbox::Run("ip addr add 10.0.0.9/24 dev tndm1"));

    JoxCore::SetLogHandler handler(CaptureLog);
    gLogged.clear();
    const JoxConfig::LocalIpMatcher matcher;

    EXPECT_EQ(matcher.DetermineMatchingUrls({"http://10.0.0.5:8080/a", "http://10.0.1.5:8080/b",
                                             "http://192.168.7.9:80/c"}),
              std::list<std::string>({"http://10.0.0.5:8080/a", "http://192.168.7.9:80/c"}));
    // Two interfaces in one subnet: the URL stands once. A URL without port
    // ends its host at the path.
    EXPECT_EQ(matcher.DetermineMatchingUrls({"http://10.0.0.200/x"}), std::list<std::string>({"http://10.0.0.200/x"}));
    // The same URL twice with another between them stays twice.
    EXPECT_EQ(matcher.DetermineMatchingUrls({"10.0.0.1:1", "http://10.0.0.2", "10.0.0.1:1"}),
              std::list<std::string>({"10.0.0.1:1", "http://10.0.0.2", "10.0.0.1:1"}));

    // Names, the unspecified address and IPv6 never match; the rest are still examined.
    EXPECT_EQ(matcher.DetermineMatchingUrls({"http://server.local:80/", "http://0.0.0.0:80/", "http://::1",
                                             "http://10.0.0.6:1/"}),
              std::list<std::string>({"http://10.0.0.6:1/"}));
    EXPECT_TRUE(Logged("3 LocalIpMatcher: Given Url is malformed. Ignore :server.local"));
    EXPECT_TRUE(Logged("3 LocalIpMatcher: Given Url is malformed. Ignore :0.0.0.0"));
    EXPECT_TRUE(matcher.DetermineMatchingUrls({}).empty());
}
