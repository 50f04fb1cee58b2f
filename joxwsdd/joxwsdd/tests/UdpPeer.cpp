#include "UdpPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace pelwicktest {

UdpPeer::UdpPeer(const std::string& rIp)
    : mSocket(socket(AF_INET, SOCK_DGRAM, 0)), mIp(rIp), mPort(0)
{
    sockaddr_in address;
    std::memset(&address, 0, sizeof(address));
    address.sin_family = AF_INET;
    inet_pton(AF_INET, rIp.c_str(), &address.sin_addr);
    if (bind(mSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0)
    {
        socklen_t length = sizeof(address);
        getsockname(mSocket, reinterpret_cast<sockaddr*>(&address), &length);
        mPort = ntohs(address.sin_port);
    }
}

std::unique_ptr<UdpPeer> UdpPeer::GroupMember(const std::string& rInterfaceIp)
{
    std::unique_ptr<UdpPeer> pPeer(new UdpPeer(rInterfaceIp));
    close(pPeer->mSocket);
    pPeer->mSocket = socket(AF_INET, SOCK_DGRAM, 0);
    const int one = 1;
    setsockopt(pPeer->mSocket, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    const int none = 0;
    setsockopt(pPeer->mSocket, IPPROTO_IP, IP_MULTICAST_ALL, &none, sizeof(none));
    sockaddr_in address;
    std::memset(&address, 0, sizeof(address));
    address.sin_family = AF_INET;
    address.sin_port = htons(3702);
    bind(pPeer->mSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    ip_mreq request;
    std::memset(&request, 0, sizeof(request));
    inet_pton(AF_INET, rInterfaceIp.c_str(), &request.imr_interface);
    inet_pton(AF_INET, "239.255.255.250", &request.imr_multiaddr);
    setsockopt(pPeer->mSocket, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof(request));
    pPeer->mPort = 3702;
    return pPeer;
}

UdpPeer::~UdpPeer()
{
    if (mSocket >= 0)
        close(mSocket);
}

std::string UdpPeer::GetEndpoint() const
{
    return "soap.udp://" + mIp + ":" + std::to_string(mPort);
}

bool UdpPeer::SendTo(const std::string& rIp, unsigned short port, const std::string& rDatagram)
{
    sockaddr_in address;
    std::memset(&address, 0, sizeof(address));
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    inet_pton(AF_INET, rIp.c_str(), &address.sin_addr);
    return sendto(mSocket, rDatagram.data(), rDatagram.size(), 0, reinterpret_cast<sockaddr*>(&address),
                  sizeof(address)) == static_cast<ssize_t>(rDatagram.size());
}

bool UdpPeer::SendToGroup(const std::string& rInterfaceIp, const std::string& rDatagram)
{
    in_addr interfaceAddress;
    inet_pton(AF_INET, rInterfaceIp.c_str(), &interfaceAddress);
    setsockopt(mSocket, IPPROTO_IP, IP_MULTICAST_IF, &interfaceAddress, sizeof(interfaceAddress));
    return SendTo("239.255.255.250", 3702, rDatagram);
}

std::string UdpPeer::Receive(std::chrono::milliseconds timeout)
{
    pollfd entry = {mSocket, POLLIN, 0};
    if (poll(&entry, 1, static_cast<int>(timeout.count())) <= 0)
        return std::string();
    char buffer[65536];
    const ssize_t received = recv(mSocket, buffer, sizeof(buffer), 0);
    return received > 0 ? std::string(buffer, static_cast<size_t>(received)) : std::string();
}

} // namespace pelwicktest
