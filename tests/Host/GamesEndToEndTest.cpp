// The five art-lesson games through the real host, headless on a fixed step,
// each started with --start game:NAME over the launcher stand-in on the
// generated title and played to its end by a script; and one game quit.
#include "HostRun.h"
#include "PngFile.h"

#include <gtest/gtest.h>

#ifdef TOVRANE_GAME_MODULE_FILE

#include <cstdlib>
#include <filesystem>

namespace
{
typedef std::vector<std::string> Lines;

class GamesEndToEndTest : public HostFolderTest
{
protected:
    GamesEndToEndTest() : HostFolderTest("games-end-to-end") {}

    // A run of the game with the script; the first screen is shot at frame 60.
    HostRun play(const std::string& game, const std::string& text, const std::string& shots = std::string())
    {
        std::filesystem::remove_all(file("data"));
        script(text);
        HostRun r = runHost("--start game:" + game + " --fixed-step 20 --frames 2000 --script '" + file("script.txt") +
                            "' --screenshot 60:'" + file(game + ".png") + "' " + shots);
        EXPECT_EQ(0, r.status) << r.output;
        for (const char* failure : {"Could not find file", "Could not load character"})
            EXPECT_EQ(std::string::npos, r.output.find(failure)) << r.output;
        EXPECT_EQ("PopApp", r.first("Exit").detail) << "the stand-in ends the run";
        return r;
    }
    // The usage log without its time stamps, fields joined by spaces.
    Lines log()
    {
        std::ifstream in(file("data/usage.log"));
        Lines records;
        for (std::string line; std::getline(in, line);)
        {
            line.erase(0, line.find('\t') + 1);
            std::replace(line.begin(), line.end(), '\t', ' ');
            records.push_back(line);
        }
        return records;
    }
    // The screenshot against its reviewed golden in tests/data/games/.
    void expectGolden(const std::string& name)
    {
        TovraneTools::Picture shot, golden;
        ASSERT_TRUE(TovraneTools::readPng(file(name + ".png"), shot)) << name;
        const std::string path = std::string(TOVRANE_TEST_DATA) + "/games/" + name + ".png";
        if (std::getenv("TOVRANE_WRITE_GOLDENS") && !std::ifstream(path).good())
        {
            ASSERT_TRUE(TovraneTools::writePng(path, shot));
        }
        ASSERT_TRUE(TovraneTools::readPng(path, golden)) << path;
        EXPECT_TRUE(shot.bytes() == golden.bytes()) << name << " differs from " << path;
    }
};

// Drags from a point into the colour pie's centre (156, 64) of the generated title.
std::string drop(const std::string& at, const std::string& from)
{
    return at + " down " + from + "\n" + at + " move 156 64\n" + at + " up 156 64\n";
}

TEST_F(GamesEndToEndTest, EachGameIsPlayedToItsEndAndItsLauncherIsEnteredAgainOnce)
{
    const std::string red = "156 26", yellow = "189 83", blue = "123 83";
    const struct
    {
        const char* game;
        const char* state;
        std::string script;
        Lines records;
    } games[] = {
        {"sky_ground", "SkyGroundState", "3000ms tap 10 40\n7500ms tap 300 200\n",
         {"ActivityStart CPH NA 1", "CorrectAnswer 27  IDENTIFIED SKY", "CorrectAnswer 27  IDENTIFIED GROUND",
          "ActivityExit 0 1"}},
        {"mixing_colors", "MixingColorsState",
         drop("5000ms", red) + drop("8000ms", yellow) + drop("14000ms", red) + drop("17000ms", blue) +
             drop("23000ms", yellow) + drop("26000ms", blue),
         {"ActivityStart PSC NA 1", "CorrectAnswer 23  MIXED YELLOW-RED", "CorrectAnswer 23  MIXED BLUE-RED",
          "CorrectAnswer 23  DRAGGED BLUE", "ActivityExit 0 1"}},
        {"moving_objects", "MovingObjectsState",
         "3000ms down 83 53\n3000ms move 83 153\n3000ms up 83 153\n3500ms down 257 52\n3500ms move 257 152\n"
         "3500ms up 257 152\n4000ms down 233 191\n4000ms move 233 91\n4000ms up 233 91\n4500ms down 102 198\n"
         "4500ms move 102 98\n4500ms up 102 98\n",
         {"ActivityStart CPH NA 1", "CorrectAnswer 28  CORRECTLY PLACED OBJECTS", "ActivityExit 0 1"}},
        {"pick_pineapples", "PickPineapplesState", "2500ms tap 85 145\n7000ms tap 211 88\n",
         {"ActivityStart CPH NA 1", "CorrectAnswer 28  IDENTIFIED CLOSE OBJECT",
          "CorrectAnswer 28  IDENTIFIED FAR OBJECT", "ActivityExit 0 1"}},
        {"warm_cool", "WarmCoolState", "2500ms tap 64 48\n7500ms tap 160 20\n",
         {"ActivityStart WCC NA 1", "CorrectAnswer 24  IDENTIFIED WARM COLOR",
          "CorrectAnswer 25  IDENTIFIED COOL COLOR", "ActivityExit 0 1"}},
    };
    for (const auto& game : games)
    {
        SCOPED_TRACE(game.game);
        const HostRun r = play(game.game, game.script);
        EXPECT_EQ(game.records, log());
        EXPECT_EQ(1u, r.all("enter", game.state).size());
        EXPECT_EQ(2u, r.all("enter", "LauncherStandIn").size()) << "entered again once, after one pop";
        expectGolden(game.game);
        if (game.state != std::string("MixingColorsState"))
            continue;
        Lines sounds; // speaker and ".ogg" left out
        for (const TraceLine& line : r.all("audio-start", "/h_"))
            sounds.push_back(line.detail.substr(line.detail.find('_', line.detail.find("/h_") + 3) + 1));
        EXPECT_EQ(Lines({"LetsMkThClrOrng_3.ogg", "ItsMdByMxngPrmryClr_3.ogg", "UseYrStylsTDrgSmRdI_3.ogg",
                         "CorrectAnswerSfx_6.ogg", "NowDrgSmYllwIntMddl_3.ogg", "ColorsMixedSfx_6.ogg",
                         "ThatsRight_5.ogg", "NowLtsMkThClrPrpl_3.ogg", "ItsMdByMxngTwPrmryC_3.ogg",
                         "TheFrstClrWNdIsRdUs_3.ogg", "CorrectAnswerSfx_6.ogg", "NowLetsAddSomeBlue_3.ogg",
                         "ColorsMixedSfx_6.ogg", "ThatsRight_5.ogg", "NowLtsMkThClrGrn_3.ogg",
                         "ItsMdByMxngTwPrmryC_1.ogg", "TheFrstClrWNdIsYllw_3.ogg", "CorrectAnswerSfx_6.ogg",
                         "NowLetsAddSomeBlue_3.ogg", "ColorsMixedSfx_6.ogg", "ThatsRight_5.ogg"}),
                  sounds);
    }
}

// Escape opens the quit question over the game; yes leaves with the
// stand-in, which is not entered again.
TEST_F(GamesEndToEndTest, YesToTheQuitQuestionLeavesTheGameAndItsLauncher)
{
    const HostRun r = play("pick_pineapples", "2500ms click escape\n3500ms tap 115 160\n",
                           "--screenshot 160:'" + file("quit_dialog.png") + "'");
    EXPECT_EQ(Lines({"ActivityStart CPH NA 1", "ActivityExit 0 3"}), log());
    EXPECT_EQ(1u, r.all("enter", "LauncherStandIn").size());
    expectGolden("quit_dialog");
    EXPECT_EQ(2, runHost("--start game:tic_tac_toe --frames 5").status) << "a game the module does not know";
}
}

#endif
