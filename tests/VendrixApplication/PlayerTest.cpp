#include "support/DataRoot.h"

#include "Tovrane/MicroDownload.h"
#include "Tovrane/Player.h"

#include "CMicroDownloads.h"
#include "CPlayerProfile.h"
#include "CSystem.h"
#include "CSystemData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>
using namespace Tovrane;
namespace fs = std::filesystem;

namespace
{
// A profile that only records which hooks run, in order.
class RecordingPlayer : public Player
{
public:
    void onReset() override { calls.push_back("reset"); }
    void onNew() override { calls.push_back("new"); }
    void onLoad() override { calls.push_back("load"); }
    void onSavePlayer() override { calls.push_back("save player"); }
    void onSavePersistent() override { calls.push_back("save persistent"); }
    void onSaveAchievements() override { calls.push_back("save achievements"); }
    void onLoadMicroDownloads() override { calls.push_back("built-in content"); }
    void loadMicroDownload(const std::string& folder) override { calls.push_back("download " + folder); }

    std::vector<std::string> calls;
};

typedef std::vector<std::string> Calls;

void configure(tPlayerID id, const std::string& locale = "en-us", bool cheats = false)
{
    XQM::CSystem::Config config;
    config.playerID = id;
    config.locale = locale;
    config.cheats = cheats;
    XQM::CSystem::Configure(config);
}

class PlayerBase : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestSupport::useDataRoot();
        for (tPlayerID id = 0; id < 3; ++id)
        {
            fs::remove_all(XQM::CMicroDownloads::GetDownloadsPath(id).raw());
            fs::remove(XQM::CPlayerProfile::GetBadgeFilePath(id).raw());
        }
        configure(0);
    }
    void TearDown() override { configure(0); }
};
}

TEST_F(PlayerBase, LocalesMapExactlyOnlyPlayersZeroToTwoHaveAProfileAndCheatsComeFromThePlatform)
{
    const std::pair<const char*, int> locales[] = {{"en-ca", 1}, {"en-gb", 2}, {"en-au", 3},
                                                   {"en-nz", 4}, {"en-us", 0}, {"EN-GB", 0},
                                                   {"en_gb", 0}, {"en-gb ", 0}, {"", 0}};
    for (const auto& locale : locales)
    {
        configure(0, locale.first);
        EXPECT_EQ(locale.second, RecordingPlayer().locale) << "\"" << locale.first << "\"";
    }

    CSystemData* data = CSystemData::Instance();
    std::string package = data->GetCurrentGamePackageID().raw();
    EXPECT_FALSE(RecordingPlayer().cheatsEnabled);
    for (tPlayerID id : {0u, 1u, 2u, 3u, 5u, static_cast<tPlayerID>(-1)})
    {
        configure(id, "en-us", id == 1);
        RecordingPlayer player;
        EXPECT_EQ(id < 3 ? id : Player::noPlayer, player.playerId);
        EXPECT_EQ(id < 3, player.hasPlayer());
        EXPECT_EQ(id == 1, player.cheatsEnabled);
        // The folder is the one the platform names for its own id, even without a player.
        EXPECT_EQ(data->GetLocalDataPath(id, package).raw(), player.localDataPath);
        EXPECT_EQ('/', player.localDataPath.back());
    }
}

TEST_F(PlayerBase, HooksRunInOrderAndWithoutAPlayerNothingIsReadOrSaved)
{
    RecordingPlayer player;
    player.create();
    player.reset();
    player.load();
    player.save();
    EXPECT_EQ((Calls{"new", "reset", "reset", "load", "built-in content", "save player", "save persistent",
                     "save achievements"}),
              player.calls);

    configure(7);
    RecordingPlayer nobody;
    nobody.load();
    nobody.save();
    EXPECT_EQ((Calls{"new", "reset", "built-in content"}), nobody.calls);
}
TEST_F(PlayerBase, DownloadsFollowTheBuiltInContentInThePlatformsOrder)
{
    std::string folder = XQM::CMicroDownloads::GetDownloadsPath(1).raw();
    fs::create_directories(folder + "second");
    fs::create_directories(folder + "first");
    configure(1);
    RecordingPlayer player;
    player.loadMicroDownloads();
    EXPECT_EQ((Calls{"built-in content", "download " + folder + "first/", "download " + folder + "second/"}),
              player.calls);
}

TEST_F(PlayerBase, BadgesReachTheCurrentPlayersPlatformProfile)
{
    configure(2);
    RecordingPlayer player;
    player.addBadge(4);
    player.addBadge(27);
    EXPECT_EQ((std::vector<unsigned long>{4, 27}), XQM::CPlayerProfile(2).GetBadges());
    EXPECT_TRUE(XQM::CPlayerProfile(0).GetBadges().empty());
}

TEST_F(PlayerBase, UploadFolderOfADataType)
{
    RecordingPlayer player;
    std::string art = player.getUploadPath("Art");
    EXPECT_EQ(CSystemData::Instance()->GetUploadDataPath("Art").raw(), art);
    EXPECT_EQ("Art/", art.substr(art.size() - 4));
    EXPECT_TRUE(fs::is_directory(art));
}
