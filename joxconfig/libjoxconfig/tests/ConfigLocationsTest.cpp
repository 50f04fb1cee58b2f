#include <joxconfig/ConfigLocations.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

QString CommonFolder()
{
    return QString::fromLocal8Bit(std::getenv("PROGRAMDATA")) + QLatin1Char('/');
}

TEST(ConfigLocationsTest, Tables)
{
    EXPECT_EQ(JoxConfig::ProductFolder(0), "");
    EXPECT_EQ(JoxConfig::ProductFolder(5), "Tandril/");
    EXPECT_EQ(JoxConfig::ProductFolder(6), "");
    EXPECT_EQ(JoxConfig::ConfigFileName(1), "wsdd_client.conf");
    EXPECT_EQ(JoxConfig::ConfigFileName(2), "mos_services.cfg");
    EXPECT_EQ(JoxConfig::ConfigFileName(9), JoxConfig::ConfigFileName(4));
    EXPECT_EQ(JoxConfig::ConfigFileName(10), "Network.conf");
    EXPECT_EQ(JoxConfig::ConfigFileName(11), "");
    EXPECT_EQ(JoxConfig::FurtherFileName(5), "JoxHarlenWebservice.wsdl");
    EXPECT_EQ(JoxConfig::FurtherFileName(4), "");
}

TEST(ConfigLocationsTest, Paths)
{
    EXPECT_EQ(JoxConfig::ConfigFilePath(1, 0), CommonFolder() + QStringLiteral("JOX/wsdd_client.conf"));
    EXPECT_EQ(JoxConfig::ConfigFilePath(1, 5),
              CommonFolder() + QStringLiteral("JOX/Tandril/wsdd_client.conf"));
    EXPECT_EQ(JoxConfig::ConfigFilePath(11, 5), CommonFolder() + QStringLiteral("JOX/Tandril/"));
    EXPECT_EQ(JoxConfig::ConfigDirectory(99), CommonFolder() + QStringLiteral("JOX/"));
}

} // namespace
