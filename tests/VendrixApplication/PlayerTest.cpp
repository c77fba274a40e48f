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
// The data root of this test program, unless another test configured the
// system data first; the tests work below whatever root is in use.
struct DataRoot
{
    DataRoot()
    {
        char name[] = "/tmp/tovrane-player-XXXXXX";
        if (!::mkdtemp(name))
            return;
        CSystemData::Config config;
        config.dataRoot = name;
        if (CSystemData::Configure(config))
            owned = name;
        else
            fs::remove_all(name);
    }
    ~DataRoot()
    {
        if (!owned.empty())
            fs::remove_all(owned);
    }
    std::string owned;
};

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
        static DataRoot root;
        for (tPlayerID id = 0; id < 3; ++id)
        {
            fs::remove_all(XQM::CMicroDownloads::GetDownloadsPath(id).raw());
            fs::remove(XQM::CPlayerProfile::GetBadgeFilePath(id).raw());
        }
        configure(0);
    }
    void TearDown() override { configure(0); }
};

struct LocaleCase
{
    const char* text;
    int code;
};

class PlayerLocale : public PlayerBase, public ::testing::WithParamInterface<LocaleCase>
{
};
}

TEST_P(PlayerLocale, MapsThePlatformLocaleExactly)
{
    configure(0, GetParam().text);
    EXPECT_EQ(GetParam().code, RecordingPlayer().locale);
}

INSTANTIATE_TEST_SUITE_P(Locales, PlayerLocale,
                         ::testing::Values(LocaleCase{"en-ca", 1}, LocaleCase{"en-gb", 2}, LocaleCase{"en-au", 3},
                                           LocaleCase{"en-nz", 4}, LocaleCase{"en-us", 0}, LocaleCase{"EN-GB", 0},
                                           LocaleCase{"en_gb", 0}, LocaleCase{"en-gb ", 0}, LocaleCase{"", 0}));

TEST_F(PlayerBase, OnlyPlayersZeroToTwoHaveAProfile)
{
    CSystemData* data = CSystemData::Instance();
    std::string package = data->GetCurrentGamePackageID().raw();
    for (tPlayerID id : {0u, 1u, 2u})
    {
        configure(id);
        RecordingPlayer player;
        EXPECT_EQ(id, player.playerId);
        EXPECT_TRUE(player.hasPlayer());
        EXPECT_EQ(data->GetLocalDataPath(id, package).raw(), player.localDataPath);
    }
    for (tPlayerID id : {3u, 5u, static_cast<tPlayerID>(-1)})
    {
        configure(id);
        RecordingPlayer player;
        EXPECT_EQ(Player::noPlayer, player.playerId);
        EXPECT_FALSE(player.hasPlayer());
        // The folder is still the one the platform names for its own id.
        EXPECT_EQ(data->GetLocalDataPath(id, package).raw(), player.localDataPath);
    }
    EXPECT_EQ('/', RecordingPlayer().localDataPath.back());
}

TEST_F(PlayerBase, CheatsFlagComesFromThePlatform)
{
    EXPECT_FALSE(RecordingPlayer().cheatsEnabled);
    configure(1, "en-us", true);
    EXPECT_TRUE(RecordingPlayer().cheatsEnabled);
}

TEST_F(PlayerBase, HooksRunInOrder)
{
    RecordingPlayer player;
    player.create();
    EXPECT_EQ((Calls{"new", "reset"}), player.calls);

    player.calls.clear();
    player.reset();
    EXPECT_EQ((Calls{"reset"}), player.calls);

    player.calls.clear();
    player.load();
    EXPECT_EQ((Calls{"load", "built-in content"}), player.calls);

    player.calls.clear();
    player.save();
    EXPECT_EQ((Calls{"save player", "save persistent", "save achievements"}), player.calls);
}

TEST_F(PlayerBase, WithoutAPlayerNothingIsReadOrSaved)
{
    configure(7);
    RecordingPlayer player;
    player.load();
    EXPECT_EQ((Calls{"new", "reset", "built-in content"}), player.calls);
    player.calls.clear();
    player.save();
    EXPECT_TRUE(player.calls.empty());
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
