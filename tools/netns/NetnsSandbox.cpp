#include "NetnsSandbox.h"

#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tandriltest {

std::string NetnsSandbox::RefusalReason()
{
    const char* pFlag = std::getenv("TANDRIL_PRIVATE_NETNS");
    if (pFlag == nullptr || std::string(pFlag) != "1")
        return "opens discovery sockets: runs only inside tools/in-test-netns.sh "
               "(TANDRIL_PRIVATE_NETNS=1), never on the machine's real interfaces";
    if (geteuid() != 0)
        return "needs root inside the test namespace to create network namespaces";
    return std::string();
}

bool NetnsSandbox::EnterFreshNamespace(std::string& rError)
{
    if (unshare(CLONE_NEWNET) != 0)
    {
        rError = std::string("unshare(CLONE_NEWNET) failed: ") + std::strerror(errno);
        return false;
    }
    if (!Run("ip link set lo up") || !Run("ip link set lo multicast on")
        || !Run("ip route add 239.0.0.0/8 dev lo"))
    {
        rError = "could not bring up loopback with a multicast route";
        return false;
    }
    return true;
}

bool NetnsSandbox::Run(const std::string& rCommand)
{
    const int status = std::system((rCommand + " >/dev/null 2>&1").c_str());
    return status == 0;
}

} // namespace tandriltest
