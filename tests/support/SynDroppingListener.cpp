#include "SynDroppingListener.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace tandriltest {

namespace {

// The inodes of the IPv4 sockets in SYN_SENT towards the port, from the
// kernel's table of the calling thread's namespace.
std::set<unsigned long> ConnectingInodes(int port)
{
    std::set<unsigned long> inodes;
    std::ifstream table("/proc/thread-self/net/tcp");
    std::string line;
    std::getline(table, line); // the column titles
    while (std::getline(table, line))
    {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout;
        unsigned long inode = 0;
        if (!(fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode))
            continue;
        const std::string::size_type colon = remote.find(':');
        const bool toPort = colon != std::string::npos &&
                            std::strtol(remote.c_str() + colon + 1, nullptr, 16) == static_cast<long>(port);
        if (toPort && state == "02")
            inodes.insert(inode);
    }
    return inodes;
}

} // namespace

SynDroppingListener::SynDroppingListener(int port)
{
    mListener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    socklen_t length = sizeof address;
    // A backlog of 0 lets one connection wait for its accept; with it there
    // the queue is full.
    if (mListener < 0 || ::setsockopt(mListener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(mListener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(mListener, 0) != 0 ||
        ::getsockname(mListener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    mPort = ntohs(address.sin_port);
    const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (filler < 0)
        return;
    pollfd queued{mListener, POLLIN, 0};
    if (::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::poll(&queued, 1, 10000) != 1)
    {
        ::close(filler);
        return;
    }
    mFiller = filler;
}

SynDroppingListener::~SynDroppingListener()
{
    if (mFiller >= 0)
        ::close(mFiller);
    if (mListener >= 0)
        ::close(mListener);
}

std::string SynDroppingListener::GetUrl() const
{
    return "http://127.0.0.1:" + std::to_string(mPort);
}

std::vector<int> SynDroppingListener::ConnectingDescriptors() const
{
    const std::set<unsigned long> inodes = ConnectingInodes(mPort);
    std::vector<int> descriptors;
    DIR* pFolder = ::opendir("/proc/self/fd");
    if (!pFolder)
        return descriptors;
    while (const dirent* pEntry = ::readdir(pFolder))
    {
        char target[64] = {};
        const std::string path = std::string("/proc/self/fd/") + pEntry->d_name;
        if (::readlink(path.c_str(), target, sizeof target - 1) <= 0)
            continue;
        unsigned long inode = 0;
        if (std::sscanf(target, "socket:[%lu]", &inode) == 1 && inodes.count(inode) > 0)
            descriptors.push_back(std::atoi(pEntry->d_name));
    }
    ::closedir(pFolder);
    return descriptors;
}

} // namespace tandriltest
