// The near-and-far game: taps on the two pineapples in both questions, the
// repeat button, the quit dialog over the pineapples, to the game's end.
#include "GamesTestSupport.h"

#include "Resources/MiniGames/PickPineapplesState.h"

using namespace GamesTest;

namespace
{
class PickPineapplesThreadTest : public GameFixture
{
};

TEST_F(PickPineapplesThreadTest, TheLargePineappleIsCloseTheSmallOneFarAndWrongTapsAskAgain)
{
    PickPineapplesState* game = start(new PickPineapplesState);
    const SpatialPtr small = pineapple(*game, false), large = pineapple(*game, true);
    ASSERT_TRUE(waitingFor(*game));
    press(MiniGameState::MenuButton);
    tap(small); // under the open dialog: ignored
    tap(dialogButton(*game, 3));
    EXPECT_EQ(0, game->getPhase());
    for (const SpatialPtr& pineapple : {small, large, large, SpatialPtr(), small})
    {
        ASSERT_TRUE(waitingFor(*game));
        if (pineapple)
            tap(pineapple);
        else
            press(MiniGameState::RepeatButton);
        tap(large); // while the guide talks: dropped
    }
    ASSERT_TRUE(until([this] { return stackSize() == 2; }));
    EXPECT_EQ(Lines({"TapOnPnpplThtSmsCls_3", "AreYSrYWntTQt_4", "WrongAnswerSfx_6", "TapOnPnpplThtSmsCls_3",
                     "CorrectAnswerSfx_6", "ThisPnpplLksClsrBcs_3", "TapOnPnpplThtLksFrA_3", "WrongAnswerSfx_6",
                     "TapOnPnpplThtLksFrA_3", "TapOnPnpplThtLksFrA_3", "CorrectAnswerSfx_6", "ThisPnpplLksVryFrAw_3"}),
              spoken());
    EXPECT_EQ(Lines({"ActivityStart CPH NA 1", "CorrectAnswer 28  IDENTIFIED CLOSE OBJECT",
                     "CorrectAnswer 28  IDENTIFIED FAR OBJECT", "ActivityExit 0 1"}),
              log());
}
}
