// The five art-lesson games through the real host, headless on a fixed step,
// each started with --start game:NAME over the launcher stand-in on the
// generated title and played to its end by a script; and one game quit.
#include "GameAnswers.h"
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
    void expectGolden(const std::string& name) const { expectShotGolden(name + ".png", "games/" + name + ".png"); }
};

TEST_F(GamesEndToEndTest, EachGameIsPlayedToItsEndAndItsLauncherIsEnteredAgainOnce)
{
    for (const GameAnswers& game : gameAnswers())
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
