#include "LocalInterfacesRules.h"

#include <zephrane/LocalInterfaces.h>

#include "NetnsSandbox.h"

#include <gtest/gtest.h>

using zephrane::IpAddress;
using zephrane::NetworkInterface;
using zephrane::platform::AdapterAddress;

namespace {

AdapterAddress Entry(const std::string& rAddress, const std::string& rMask)
{
    AdapterAddress entry;
    entry.mAddress = rAddress;
    entry.mNetmask = rMask;
    entry.mHardwareAddress[0] = 0x02;
    entry.mHardwareAddress[5] = 0x07;
    return entry;
}

std::vector<std::string> Names(const std::vector<NetworkInterface>& rList)
{
    std::vector<std::string> names;
    for (const NetworkInterface& rRecord : rList)
        names.push_back(rRecord.mName + "=" + rRecord.mAddress.ToString());
    return names;
}

} // namespace

TEST(IpAddressTest, FamilyFollowsTheText)
{
    EXPECT_TRUE(IpAddress().IsIpv4());
    EXPECT_EQ(IpAddress().ToString(), "");
    EXPECT_TRUE(IpAddress("10.0.0.1").IsIpv4());
    EXPECT_FALSE(IpAddress("fe80::1").IsIpv4());
    EXPECT_EQ(IpAddress("10.0.0.1"), IpAddress("10.0.0.1"));
    EXPECT_NE(IpAddress("10.0.0.1"), IpAddress("10.0.0.2"));
}

TEST(LocalInterfacesTest, OneAddressGivesEth0ThenLoopback)
{
    const auto list = zephrane::InterfacesFromAdapterTable(true, {Entry("192.168.1.10", "255.255.255.0")});
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].mName, "eth0");
    EXPECT_EQ(list[0].mAddress.ToString(), "192.168.1.10");
    EXPECT_EQ(list[0].mNetmask.ToString(), "255.255.255.0");
    EXPECT_EQ(list[0].mBroadcast.ToString(), "192.168.1.255");
    EXPECT_EQ(list[0].mStatus, 1);
    EXPECT_EQ(list[0].mHardwareAddress[0], 0x02);
    EXPECT_EQ(list[0].mHardwareAddress[5], 0x07);
    EXPECT_EQ(list[1].mName, "local");
    EXPECT_EQ(list[1].mAddress.ToString(), "127.0.0.1");
    EXPECT_EQ(list[1].mNetmask.ToString(), "255.0.0.0");
    EXPECT_EQ(list[1].mBroadcast.ToString(), "127.255.255.255");
    EXPECT_EQ(list[1].mHardwareAddress[0], 0);

    const auto usable = zephrane::UsableFromInterfaces(list);
    EXPECT_EQ(Names(usable), std::vector<std::string>({"eth0=192.168.1.10"}));
}

TEST(LocalInterfacesTest, NumberingSkipsUnsetAddressesAndCountsAddresses)
{
    const auto list = zephrane::InterfacesFromAdapterTable(true,
        {Entry("0.0.0.0", "0.0.0.0"), Entry("10.0.0.7", "255.0.0.0"),
         Entry("10.0.0.8", "255.255.0.0"), Entry("172.16.4.1", "255.255.252.0")});
    EXPECT_EQ(Names(list), std::vector<std::string>({"eth0=10.0.0.7", "eth1=10.0.0.8",
                                                     "eth2=172.16.4.1", "local=127.0.0.1"}));
    EXPECT_EQ(list[1].mBroadcast.ToString(), "10.0.255.255");
    EXPECT_EQ(list[2].mBroadcast.ToString(), "172.16.7.255");
}

TEST(LocalInterfacesTest, LoopbackRulesAndPlaceholder)
{
    // Only "0.0.0.0": the list is the loopback record, and so is the usable list.
    const auto onlyUnset = zephrane::InterfacesFromAdapterTable(true, {Entry("0.0.0.0", "0.0.0.0")});
    EXPECT_EQ(Names(onlyUnset), std::vector<std::string>({"local=127.0.0.1"}));
    EXPECT_EQ(Names(zephrane::UsableFromInterfaces(onlyUnset)),
              std::vector<std::string>({"local=127.0.0.1"}));

    // A listed 127.0.0.1 suppresses the extra loopback record.
    const auto listed = zephrane::InterfacesFromAdapterTable(true, {Entry("127.0.0.1", "255.0.0.0")});
    EXPECT_EQ(Names(listed), std::vector<std::string>({"eth0=127.0.0.1"}));

    // An unreadable table: nothing listed, a placeholder to listen on.
    const auto unreadable = zephrane::InterfacesFromAdapterTable(false, {Entry("10.0.0.1", "255.0.0.0")});
    EXPECT_TRUE(unreadable.empty());
    const auto placeholder = zephrane::UsableFromInterfaces(unreadable);
    ASSERT_EQ(placeholder.size(), 1u);
    EXPECT_EQ(placeholder[0].mName, "empty");
    EXPECT_EQ(placeholder[0].mAddress.ToString(), "");
    EXPECT_EQ(placeholder[0].mStatus, 0);
}

TEST(LocalInterfacesSystemTest, ReadsTheKernelTableInOrder)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    // A fresh namespace with loopback alone: only the loopback record.
    EXPECT_EQ(Names(zephrane::ListNetworkInterfaces()), std::vector<std::string>({"local=127.0.0.1"}));
    EXPECT_EQ(Names(zephrane::UsableNetworkInterfaces()), std::vector<std::string>({"local=127.0.0.1"}));

    ASSERT_TRUE(tandriltest::NetnsSandbox::Run("ip link add tndd0 type veth peer name tndd1"));
    ASSERT_TRUE(tandriltest::NetnsSandbox::Run("ip addr add 192.168.1.10/24 dev tndd0"));
    ASSERT_TRUE(tandriltest::NetnsSandbox::Run("ip addr add 10.1.2.3/8 dev tndd0"));
    ASSERT_TRUE(tandriltest::NetnsSandbox::Run("ip link set tndd0 up"));

    const auto list = zephrane::ListNetworkInterfaces();
    EXPECT_EQ(Names(list), std::vector<std::string>({"eth0=192.168.1.10", "eth1=10.1.2.3",
                                                     "local=127.0.0.1"}));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].mBroadcast.ToString(), "192.168.1.255");
    EXPECT_EQ(list[1].mBroadcast.ToString(), "10.255.255.255");
    EXPECT_EQ(Names(zephrane::UsableNetworkInterfaces()),
              std::vector<std::string>({"eth0=192.168.1.10", "eth1=10.1.2.3"}));
}
