#pragma once

// A fixture with the simulated media server running on loopback from a
// scratch folder, and an empty download folder beside it.

#include "TempDir.h"
#include "simserver/SimServer.h"

#include <gtest/gtest.h>

#include <QString>

#include <sys/stat.h>

class SimServerTest : public ::testing::Test
{
protected:
    SimServerTest()
        : mServer(mFolder.File("server"))
        , mDownloads(QString::fromStdString(mFolder.File("downloads")))
    {
    }

    void SetUp() override
    {
        ASSERT_EQ(0, ::mkdir(mFolder.File("downloads").c_str(), 0755));
        ASSERT_TRUE(mServer.Start()) << mServer.GetError();
        mUrl = QString::fromStdString(mServer.GetUrl());
    }

    tandriltest::TempDir mFolder;
    simserver::SimServer mServer;
    QString mDownloads; // the download folder
    QString mUrl;       // the server's service address
};
