#pragma once

#include <string>

namespace tandriltest {

// Guards tests that send datagrams: they run only inside the private network
// namespace of tools/in-test-netns.sh (TANDRIL_PRIVATE_NETNS=1), and each test
// process moves into a fresh namespace of its own on top of it, so that
// parallel tests never hear each other.
class NetnsSandbox
{
public:
    // Empty when sockets may be opened, else the reason why not.
    static std::string RefusalReason();

    // Moves the calling thread (and every thread it starts later) into a new
    // network namespace with only loopback up, multicast on and a route for
    // 239.0.0.0/8. Threads started before keep their namespace. Returns
    // false with rError set when the namespace cannot be made.
    static bool EnterFreshNamespace(std::string& rError);

    // Runs a shell command in the caller's namespace; true on exit code 0.
    static bool Run(const std::string& rCommand);
};

} // namespace tandriltest

// Skips the current test unless it may open sockets; then enters a fresh
// namespace or fails.
#define TANDRIL_REQUIRE_PRIVATE_NETNS()                                              \
    do                                                                               \
    {                                                                                \
        const std::string tandrilRefusal = ::tandriltest::NetnsSandbox::RefusalReason(); \
        if (!tandrilRefusal.empty())                                                 \
            GTEST_SKIP() << tandrilRefusal;                                          \
        std::string tandrilNetnsError;                                               \
        ASSERT_TRUE(::tandriltest::NetnsSandbox::EnterFreshNamespace(tandrilNetnsError)) \
            << tandrilNetnsError;                                                    \
    } while (false)
