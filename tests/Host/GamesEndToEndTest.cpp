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
    // The speech and sounds started, without their speaker: "No_3.ogg".
    static Lines sounds(const HostRun& r)
    {
        Lines started;
        for (const TraceLine& line : r.all("audio-start", "/h_"))
            started.push_back(line.detail.substr(line.detail.find('_', line.detail.find("/h_") + 3) + 1));
        return started;
    }
    // The clock of the first start of that sound.
    static unsigned int startOf(const HostRun& r, const std::string& sound) { return r.first("audio-start", sound).time; }
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
        EXPECT_EQ(Lines({"LetsMkThClrOrng_3.ogg", "ItsMdByMxngPrmryClr_3.ogg", "UseYrStylsTDrgSmRdI_3.ogg",
                         "CorrectAnswerSfx_6.ogg", "NowDrgSmYllwIntMddl_3.ogg", "ColorsMixedSfx_6.ogg",
                         "ThatsRight_5.ogg", "NowLtsMkThClrPrpl_3.ogg", "ItsMdByMxngTwPrmryC_3.ogg",
                         "TheFrstClrWNdIsRdUs_3.ogg", "CorrectAnswerSfx_6.ogg", "NowLetsAddSomeBlue_3.ogg",
                         "ColorsMixedSfx_6.ogg", "ThatsRight_5.ogg", "NowLtsMkThClrGrn_3.ogg",
                         "ItsMdByMxngTwPrmryC_1.ogg", "TheFrstClrWNdIsYllw_3.ogg", "CorrectAnswerSfx_6.ogg",
                         "NowLetsAddSomeBlue_3.ogg", "ColorsMixedSfx_6.ogg", "ThatsRight_5.ogg"}),
                  sounds(r));
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

// The placement game's question, reminder and repeat button: the repeat
// button before anything was judged says nothing; a lift while the quit
// question is open goes to the question alone, so after no the house is still
// held and the next move carries it on; the question stops the reminder and
// the answer starts it again; a cow held still is judged by the reminder, and
// the same touch, moved on, takes nothing.
TEST_F(GamesEndToEndTest, TheMovingObjectsQuestionKeepsTheDragAndTheReminderKeepsTheTouch)
{
    const HostRun r = play("moving_objects", "after audio-start CanYHlpMByPttngThsO\n"
                                             "+100 click h\n"
                                             "+150 down 83 53\n+151 move 83 83\n+152 click escape\n+153 up 83 83\n"
                                             "+452 tap 205 160\n"
                                             "after audio-start VIDORIV_No\n"
                                             "+10 move 83 183\n+11 up 83 183\n+30 down 257 52\n"
                                             "after audio-start DragObjctsWthYrStyl\n"
                                             "+150 move 257 60\n+151 up 257 60\n"
                                             "+160 down 257 52\n+161 move 257 152\n+162 up 257 152\n"
                                             "+170 down 233 191\n+171 move 233 91\n+172 up 233 91\n"
                                             "+180 down 102 198\n+181 move 102 98\n+182 up 102 98\n");
    EXPECT_EQ(Lines({"CanYHlpMByPttngThsO_3.ogg", "AreYSrYWntTQt_4.ogg", "No_3.ogg", "CorrectAnswerSfx_6.ogg",
                     "DragObjctsWthYrStyl_3.ogg", "CorrectAnswerSfx_6.ogg", "CorrectAnswerSfx_6.ogg",
                     "CorrectAnswerSfx_6.ogg", "MuchBetter_5.ogg", "YouCnFndHrznLnMstDr_3.ogg"}),
              sounds(r));
    EXPECT_GT(startOf(r, "VIDORIV_No") - startOf(r, "AreYSrYWntTQt"), 5500u) << "open longer than the reminder waits";
    const unsigned int reminder = startOf(r, "DragObjctsWthYrStyl") - startOf(r, "VIDORIV_No");
    EXPECT_TRUE(reminder >= 600 + 5000 && reminder <= 600 + 5500) << reminder << " ms: 5 s after the cow's touch-down";
    EXPECT_EQ(Lines({"ActivityStart CPH NA 1", "CorrectAnswer 28  CORRECTLY PLACED OBJECTS", "ActivityExit 0 1"}),
              log())
        << "one wrong drop, the cow's";
    EXPECT_EQ(1u, r.all("enter", "MovingObjectsState").size());
    EXPECT_EQ(2u, r.all("enter", "LauncherStandIn").size());
}
}

#endif
