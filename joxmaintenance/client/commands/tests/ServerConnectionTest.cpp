#include <joxmaintenance/ServerConnection.h>

#include "joxmaintenanceServiceProxy.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include <sys/socket.h>

using namespace joxmaintenance;

namespace {

TEST(ServerConnectionTest, UrlCheck)
{
    const struct
    {
        const char* mpUrl;
        bool mAccepted;
    } cases[] = {{"http://192.168.10.20:8080", true}, {"https://10.0.0.1:443", true}, {"https://1.2.3.4:80", true},
                 {"http://10.0.0.1.:1234", true},      {"http://:1234", false},        {"http://127.0.0.1:1", true},
                 {"http://10.0.0.1", false},           {"http://10.0.0.1:12345", false}, {"http://server:8080", false},
                 {"http://10.0.0.1:8080/", false},     {"http://10.0.0.1:8080/svc", false}, {"ftp://10.0.0.1:21", false},
                 {"HTTP://10.0.0.1:80", false},        {" http://10.0.0.1:80", false}, {"", false}};
    for (const auto& rCase : cases)
    {
        if (rCase.mAccepted)
        {
            EXPECT_NO_THROW(ServerConnection(rCase.mpUrl, "n", "s", "v")) << rCase.mpUrl;
            continue;
        }
        try
        {
            ServerConnection connection(rCase.mpUrl, "n", "s", "v");
            ADD_FAILURE() << "accepted " << rCase.mpUrl;
        }
        catch (const std::runtime_error& rError)
        {
            EXPECT_STREQ("Your URL is not formatted correctly!", rError.what());
        }
    }
    ServerConnection connection("http://10.0.0.1:80", "name", "4.2", "1.0");
    EXPECT_EQ("http://10.0.0.1:80", connection.GetUrl());
    connection.SetName("other");
    EXPECT_EQ("other", connection.GetName());
    EXPECT_EQ("4.2", connection.GetSoftwareVersion());
    EXPECT_EQ("1.0", connection.GetServiceVersion());
}

TEST(ServerConnectionTest, ProxiesComeReadyForStreamedDownloadsOfAnySize)
{
    boost::shared_ptr<ServiceProxy> pProxy = CreateServiceClient();
    ASSERT_NE(nullptr, pProxy);
    struct soap* pSoap = pProxy->soap;
    EXPECT_EQ(SOAP_IO_CHUNK, pSoap->omode & SOAP_IO);
    EXPECT_NE(nullptr, pSoap->fdimewriteopen);
    EXPECT_NE(nullptr, pSoap->fdimewrite);
    EXPECT_NE(nullptr, pSoap->fdimewriteclose);
    EXPECT_EQ(kReplyLimitBytes, pSoap->recv_maxlength);
    EXPECT_EQ(10, pSoap->connect_timeout);
    EXPECT_EQ(60, pSoap->send_timeout);
    EXPECT_EQ(60, pSoap->recv_timeout);
    EXPECT_EQ(0, pSoap->transfer_timeout);
    EXPECT_EQ(0, pSoap->rcvbuf);
    EXPECT_EQ(1, pSoap->tcp_keep_alive);
    EXPECT_EQ(30u, pSoap->tcp_keep_idle);
    EXPECT_EQ(10u, pSoap->tcp_keep_intvl);
    EXPECT_EQ(3u, pSoap->tcp_keep_cnt);
    EXPECT_EQ(MSG_NOSIGNAL, pSoap->socket_flags);
    EXPECT_EQ(nullptr, pProxy->soap_endpoint);

    // A call that has the server build a collection waits half an hour for
    // its reply to begin.
    AwaitCollectionBuild(*pProxy);
    EXPECT_EQ(30 * 60, pSoap->recv_timeout);
}

} // namespace
