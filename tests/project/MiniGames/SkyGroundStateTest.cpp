// The horizon game: rows judged against row 143 in both questions, the
// explanations, the repeat button and the records, to the game's end.
#include "GamesTestSupport.h"

#include "Resources/MiniGames/SkyGroundState.h"

using namespace GamesTest;

namespace
{
class SkyGroundThreadTest : public GameFixture
{
};

TEST_F(SkyGroundThreadTest, RowsAboveTheHorizonAreSkyRowsBelowItGroundAndTheRowItselfNeither)
{
    const struct
    {
        std::vector<int> rows; // 0 presses the repeat button instead
        Lines speech, records;
    } plays[] = {
        {{143, 0, 144, 142, 143, 142, -5, 144},
         {"WhichSdOfHrznLnIsSk_3", "WrongAnswerSfx_6", "TheSkyIsBlThsDrwng_3", "TheSkyIsBlThsDrwng_3",
          "WrongAnswerSfx_6", "TheSkyIsAbvThHrznLn_3", "CorrectAnswerSfx_6", "YesThatsIt_5", "NowTchGrndWthYrStyl_3",
          "WrongAnswerSfx_6", "TheGrndIsGrnThsDrwn_3", "WrongAnswerSfx_6", "TheGrndIsBlwHrznLn_3", "WrongAnswerSfx_6",
          "TheGrndIsGrnThsDrwn_3", "CorrectAnswerSfx_6", "YesGrndIsBlwHrznLn_3"},
         {"ActivityStart CPH NA 1", "CorrectAnswer 27  IDENTIFIED SKY", "WrongAnswer 27  MISTOOK SKY FOR GORUND",
          "CorrectAnswer 27  IDENTIFIED GROUND", "ActivityExit 0 1"}},
        {{-5, 239}, {}, {"ActivityStart CPH NA 1", "CorrectAnswer 27  IDENTIFIED SKY",
                         "CorrectAnswer 27  IDENTIFIED GROUND", "ActivityExit 0 1"}},
    };
    for (const auto& play : plays)
    {
        if (&play != plays)
        {
            TearDown();
            SetUp();
        }
        SkyGroundState* game = new SkyGroundState;
        int draws = 0;
        game->randomSource = [&draws] { return draws++; };
        start(game);
        tap(160, 50); // while the guide asks: dropped
        for (size_t i = 0; i < play.rows.size(); ++i)
        {
            ASSERT_TRUE(waitingFor(*game));
            if (play.rows[i] == 0)
                press(MiniGameState::RepeatButton);
            else
                tap(static_cast<int>(i * 45 % 320), play.rows[i]); // x never matters
        }
        ASSERT_TRUE(until([this] { return stackSize() == 2; }));
        EXPECT_TRUE(play.speech.empty() || play.speech == spoken());
        EXPECT_EQ(play.records, log());
        EXPECT_EQ(1, launcherEntries);
    }
}
}
