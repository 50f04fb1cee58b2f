#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace pelwicktest {

// A plain UDP socket on a loopback port, for hand-built datagrams and for
// checking that nothing answers.
class UdpPeer
{
public:
    explicit UdpPeer(const std::string& rIp = "127.0.0.1");
    // A socket on 0.0.0.0:3702 (shared) that joined the group on the interface.
    static std::unique_ptr<UdpPeer> GroupMember(const std::string& rInterfaceIp);
    ~UdpPeer();
    UdpPeer(const UdpPeer&) = delete;
    UdpPeer& operator=(const UdpPeer&) = delete;

    unsigned short GetPort() const { return mPort; }
    // "soap.udp://<ip>:<port>"
    std::string GetEndpoint() const;
    bool SendTo(const std::string& rIp, unsigned short port, const std::string& rDatagram);
    // Sends to the WS-Discovery group through the given interface.
    bool SendToGroup(const std::string& rInterfaceIp, const std::string& rDatagram);
    // The next datagram received within the timeout; "" when none came.
    std::string Receive(std::chrono::milliseconds timeout);

private:
    int mSocket;
    std::string mIp;
    unsigned short mPort;
};

} // namespace pelwicktest
