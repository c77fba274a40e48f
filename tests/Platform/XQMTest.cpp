#include "CMicroDownloads.h"
#include "CPlayerProfile.h"
#include "CSystem.h"
#include "CSystemData.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace
{
// The data root of this test program: a fresh folder, unless another test of
// the program configured the system data first.
struct DataRoot
{
    DataRoot()
    {
        char name[] = "/tmp/tovrane-xqm-XXXXXX";
        if (::mkdtemp(name))
        {
            CSystemData::Config config;
            config.dataRoot = name;
            if (CSystemData::Configure(config))
                owned = name;
            else
                fs::remove_all(name);
        }
    }
    ~DataRoot()
    {
        if (!owned.empty())
            fs::remove_all(owned);
    }
    std::string owned;
};

void useDataRoot() { static DataRoot root; }

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class XQMPlatform : public ::testing::Test
{
protected:
    void SetUp() override
    {
        useDataRoot();
        for (tPlayerID id = 0; id < 3; ++id)
        {
            fs::remove_all(XQM::CMicroDownloads::GetDownloadsPath(id).raw());
            std::remove(XQM::CPlayerProfile::GetBadgeFilePath(id).c_str());
        }
    }
};
}

TEST_F(XQMPlatform, SystemAnswersFromTheHostsConfiguration)
{
    XQM::CSystem::Config config;
    config.locale = "en-gb";
    config.playerID = 2;
    config.cheats = true;
    XQM::CSystem::Configure(config);
    XQM::CSystem system;
    EXPECT_EQ("en-gb", system.GetLocale().raw());
    EXPECT_EQ(2u, system.GetCurrentPlayerID());
    EXPECT_TRUE(system.AreCheatsEnabled());

    XQM::CSystem::Configure(XQM::CSystem::Config());
    XQM::CSystem fresh;
    EXPECT_EQ("en-us", fresh.GetLocale().raw());
    EXPECT_EQ(0u, fresh.GetCurrentPlayerID());
    EXPECT_FALSE(fresh.AreCheatsEnabled());
}

TEST_F(XQMPlatform, BadgesAreRecordedOnceInThePlayersFile)
{
    XQM::CPlayerProfile profile(1);
    EXPECT_TRUE(profile.GetBadges().empty());
    EXPECT_TRUE(profile.AddBadge(4));
    EXPECT_TRUE(profile.AddBadge(27));
    EXPECT_TRUE(profile.AddBadge(2));
    EXPECT_TRUE(profile.AddBadge(4));
    EXPECT_EQ("2\n4\n27\n", readFile(XQM::CPlayerProfile::GetBadgeFilePath(1).raw()));

    // Another object, as the game makes one for each badge, sees them all; the
    // other players see none.
    XQM::CPlayerProfile again(1);
    EXPECT_TRUE(again.HasBadge(27));
    EXPECT_FALSE(again.HasBadge(3));
    EXPECT_TRUE(XQM::CPlayerProfile(0).GetBadges().empty());
}

TEST_F(XQMPlatform, DamagedBadgeLinesAreIgnored)
{
    std::ofstream(XQM::CPlayerProfile::GetBadgeFilePath(0).raw()) << "5\nxx\n-3\n7 8\n\n9";
    XQM::CPlayerProfile profile(0);
    EXPECT_EQ((std::vector<unsigned long>{5, 9}), profile.GetBadges());
    EXPECT_TRUE(profile.AddBadge(1));
    EXPECT_EQ("1\n5\n9\n", readFile(XQM::CPlayerProfile::GetBadgeFilePath(0).raw()));
}

TEST_F(XQMPlatform, NoProfileOutsideTheThreePlayers)
{
    XQM::CPlayerProfile nobody(3);
    EXPECT_FALSE(nobody.AddBadge(1));
    EXPECT_TRUE(nobody.GetBadges().empty());
    EXPECT_FALSE(XQM::CPlayerProfile(static_cast<tPlayerID>(-1)).AddBadge(1));
}

TEST_F(XQMPlatform, DownloadsAreThePackageFoldersInNameOrder)
{
    std::string folder = XQM::CMicroDownloads::GetDownloadsPath(0).raw();
    ASSERT_EQ('/', folder.back());
    for (const char* name : {"pkg_b", "pkg_a", "Pkg_c", ".hidden"})
        fs::create_directories(folder + name);
    std::ofstream(folder + "loose_file");

    std::vector<Glib::ustring> downloads = XQM::CMicroDownloads().get(0);
    ASSERT_EQ(3u, downloads.size());
    EXPECT_EQ(folder + "Pkg_c", downloads[0].raw());
    EXPECT_EQ(folder + "pkg_a", downloads[1].raw());
    EXPECT_EQ(folder + "pkg_b", downloads[2].raw());

    EXPECT_TRUE(XQM::CMicroDownloads().get(1).empty());
    EXPECT_TRUE(XQM::CMicroDownloads().get(3).empty());
}
