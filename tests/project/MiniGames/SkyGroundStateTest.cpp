// The horizon game: rows judged against row 143 in both questions, the
// explanations, the repeat button and the records, to the game's end.
#include "GamesTestSupport.h"

#include "Resources/MiniGames/SkyGroundState.h"

using namespace GamesTest;

using SkyGroundThreadTest = GameFixture;

// Row -5 as sky and 239 as ground are played by the frame tests.
TEST_F(SkyGroundThreadTest, RowsAboveTheHorizonAreSkyRowsBelowItGroundAndTheRowItselfNeither)
{
    SkyGroundState* game = new SkyGroundState;
    int draws = 0;
    game->randomSource = [&draws] { return draws++; };
    start(game);
    tap(160, 50); // while the guide asks: dropped
    const int rows[] = {143, 0, 144, 142, 143, 142, -5, 144}; // 0 presses the repeat button instead
    for (int i = 0; i < 8; ++i)
    {
        ASSERT_TRUE(waitingFor(*game));
        if (rows[i] == 0)
            press(MiniGameState::RepeatButton);
        else
            tap(i * 45, rows[i]); // x never matters
    }
    ASSERT_TRUE(until([this] { return stackSize() == 2; }));
    EXPECT_EQ(Lines({"WhichSdOfHrznLnIsSk_3", "WrongAnswerSfx_6", "TheSkyIsBlThsDrwng_3", "TheSkyIsBlThsDrwng_3",
                     "WrongAnswerSfx_6", "TheSkyIsAbvThHrznLn_3", "CorrectAnswerSfx_6", "YesThatsIt_5",
                     "NowTchGrndWthYrStyl_3", "WrongAnswerSfx_6", "TheGrndIsGrnThsDrwn_3", "WrongAnswerSfx_6",
                     "TheGrndIsBlwHrznLn_3", "WrongAnswerSfx_6", "TheGrndIsGrnThsDrwn_3", "CorrectAnswerSfx_6",
                     "YesGrndIsBlwHrznLn_3"}),
              spoken());
    EXPECT_EQ(Lines({"ActivityStart CPH NA 1", "CorrectAnswer 27  IDENTIFIED SKY",
                     "WrongAnswer 27  MISTOOK SKY FOR GORUND", "CorrectAnswer 27  IDENTIFIED GROUND",
                     "ActivityExit 0 1"}),
              log());
    EXPECT_EQ(1, launcherEntries);
}
