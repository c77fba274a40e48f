#include "support/DataRoot.h"

#include "CMicroDownloads.h"
#include "CPlayerProfile.h"
#include "CSystem.h"
#include "CSystemData.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace fs = std::filesystem;
using TestSupport::readFile;

namespace
{
class XQMPlatform : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestSupport::useDataRoot();
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

    XQM::CSystem::Configure(XQM::CSystem::Config()); // replaces the whole configuration for later objects
    EXPECT_EQ("en-gb", system.GetLocale().raw());
    EXPECT_EQ("en-us", XQM::CSystem().GetLocale().raw());
    EXPECT_EQ(0u, XQM::CSystem().GetCurrentPlayerID());
    EXPECT_FALSE(XQM::CSystem().AreCheatsEnabled());
}

TEST_F(XQMPlatform, BadgesAreRecordedOnceInThePlayersFile)
{
    XQM::CPlayerProfile profile(1);
    EXPECT_TRUE(profile.GetBadges().empty());
    for (unsigned long badge : {4, 27, 2, 4})
        EXPECT_TRUE(profile.AddBadge(badge));
    EXPECT_EQ("2\n4\n27\n", readFile(XQM::CPlayerProfile::GetBadgeFilePath(1).raw()));
    // Another object, as the game makes one for each badge, sees them all; the other players see none.
    EXPECT_TRUE(XQM::CPlayerProfile(1).HasBadge(27));
    EXPECT_FALSE(XQM::CPlayerProfile(1).HasBadge(3));
    EXPECT_TRUE(XQM::CPlayerProfile(0).GetBadges().empty());
    // No profile outside the three players.
    EXPECT_FALSE(XQM::CPlayerProfile(3).AddBadge(1));
    EXPECT_TRUE(XQM::CPlayerProfile(3).GetBadges().empty());
    EXPECT_FALSE(XQM::CPlayerProfile(static_cast<tPlayerID>(-1)).AddBadge(1));

    // Damaged lines are ignored.
    std::ofstream(XQM::CPlayerProfile::GetBadgeFilePath(0).raw()) << "5\nxx\n-3\n7 8\n\n9";
    EXPECT_EQ((std::vector<unsigned long>{5, 9}), XQM::CPlayerProfile(0).GetBadges());
    EXPECT_TRUE(XQM::CPlayerProfile(0).AddBadge(1));
    EXPECT_EQ("1\n5\n9\n", readFile(XQM::CPlayerProfile::GetBadgeFilePath(0).raw()));

    // A pipe under the file's name is not waited on: no badges. A folder
    // there is not replaced, and the line says why.
    const std::string path = XQM::CPlayerProfile::GetBadgeFilePath(2).raw();
    ASSERT_EQ(0, ::mkfifo(path.c_str(), 0644));
    EXPECT_TRUE(XQM::CPlayerProfile(2).GetBadges().empty());
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_TRUE(XQM::CPlayerProfile(2).GetBadges().empty());
    testing::internal::CaptureStdout();
    EXPECT_FALSE(XQM::CPlayerProfile(2).AddBadge(1));
    EXPECT_EQ("Could not save file " + path + ": Is a directory\n", testing::internal::GetCapturedStdout());
    std::filesystem::remove(path);
}

TEST_F(XQMPlatform, DownloadsAreThePackageFoldersInNameOrder)
{
    std::string folder = XQM::CMicroDownloads::GetDownloadsPath(0).raw();
    ASSERT_EQ('/', folder.back());
    for (const char* name : {"pkg_b", "pkg_a", "Pkg_c", ".hidden"})
        fs::create_directories(folder + name);
    std::ofstream(folder + "loose_file");

    EXPECT_EQ((std::vector<Glib::ustring>{folder + "Pkg_c", folder + "pkg_a", folder + "pkg_b"}),
              XQM::CMicroDownloads().get(0));

    EXPECT_TRUE(XQM::CMicroDownloads().get(1).empty());
    EXPECT_TRUE(XQM::CMicroDownloads().get(3).empty());
}
