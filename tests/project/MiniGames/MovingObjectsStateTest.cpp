// The placement game: the heights that judge each object, the screen edges,
// the overlap, the reminder after 5000 ms, and a touch that goes on through
// the quit question and the reminder.
#include "GamesTestSupport.h"

#include "Resources/MiniGames/MovingObjectsState.h"

using namespace GamesTest;

namespace
{
class MovingObjectsThreadTest : public GameFixture
{
public:
    void SetUp() override
    {
        GameFixture::SetUp();
        if (!IsSkipped())
            game = start(new MovingObjectsState);
    }
    Vector3<tFixed> at(int index) const { return game->getPickups()[index].sprite->getPosition(); }
    void drag(int index, int dx, int dy) { GameFixture::drag(game->getPickups()[index].sprite, dx, dy); }
    MovingObjectsState* game = nullptr;
};

TEST_F(MovingObjectsThreadTest, EachObjectIsJudgedByTheHeightOfItsCentreAndTheLastRightDropEndsTheGame)
{
    // Object, height of its centre, judged right: each limit and one beyond.
    const int drops[8][3] = {{0, 133, 0}, {0, 132, 1}, {1, 128, 0}, {1, 127, 1},
                             {2, 143, 0}, {2, 144, 1}, {3, 130, 0}, {3, 131, 1}};
    for (const auto& drop : drops)
    {
        ASSERT_TRUE(waitingFor(*game));
        drag(drop[0], 0, at(drop[0]).y.toInt() - drop[1]);
        EXPECT_EQ(drop[1], at(drop[0]).y.toInt());
        EXPECT_EQ(drop[2] == 1, game->getPickups()[drop[0]].placedRight) << drop[0] << " at " << drop[1];
    }
    ASSERT_TRUE(until([this] { return stackSize() == 2; })); // one pop
    // After all four have moved, a wrong drop hears the general instruction.
    EXPECT_EQ(Lines({"CanYHlpMByPttngThsO_3", "HousesDntFltInThSky_3", "CorrectAnswerSfx_6", "ThatAnimalCantFly_3",
                     "CorrectAnswerSfx_6", "TheSnCntTchThGrnd_3", "CorrectAnswerSfx_6", "DragObjctsWthYrStyl_3",
                     "CorrectAnswerSfx_6", "MuchBetter_5", "YouCnFndHrznLnMstDr_3"}),
              spoken());
    EXPECT_EQ(Lines({"ActivityStart CPH NA 1", "WrongAnswer 28  MISPLACED OBJECT",
                     "CorrectAnswer 28  CORRECTLY PLACED OBJECTS", "ActivityExit 0 1"}),
              log());
}

TEST_F(MovingObjectsThreadTest, PicturesStopWholeOnScreenAndWhereTheyOverlapTheLastOneIsTaken)
{
    // The range of each centre: x from, x to, y from, y to.
    const int ranges[4][4] = {{44, 276, 40, 200}, {26, 294, 29, 211}, {40, 280, 38, 202}, {58, 262, 24, 216}};
    for (int index = 0; index < 4; ++index)
        for (int corner = 0; corner < 2; ++corner)
        {
            ASSERT_TRUE(waitingFor(*game));
            drag(index, corner ? 999 : -999, corner ? 999 : -999); // up left, then down right
            EXPECT_EQ(ranges[index][corner], at(index).x.toInt()) << index;
            EXPECT_EQ(ranges[index][3 - corner], at(index).y.toInt()) << index;
        }
    // The sun and the cloud now share the lower right corner: the cloud goes.
    ASSERT_TRUE(waitingFor(*game));
    stroke(270, 210, 170, 210);
    EXPECT_EQ(162, at(3).x.toInt());
    EXPECT_EQ(280, at(2).x.toInt());
}

TEST_F(MovingObjectsThreadTest, TheReminderComesAfter5000msAndNeitherItNorTheQuestionEndsTheTouch)
{
    ASSERT_TRUE(waitingFor(*game));
    spoken();
    press(MiniGameState::RepeatButton);
    ASSERT_TRUE(waitingFor(*game));
    EXPECT_EQ(Lines{}, spoken()) << "nothing judged, no reminder yet: nothing to repeat";
    EXPECT_EQ("", game->getCurrentInstruction());

    int frames = 0;
    ASSERT_TRUE(until([&] { return ++frames && !spoken().empty(); }));
    EXPECT_NEAR(5000 + 250, frames * 20, 300) << "the reminder and the guide's turn";

    // A drag whose lift goes to the quit question goes on after no, from
    // where the stylus was last.
    ASSERT_TRUE(waitingFor(*game));
    const std::pair<int, int> house = screenOf(game->getPickups()[0].sprite);
    touch(house.first, house.second, 1), touch(house.first, house.second + 30, 1);
    frame();
    press(MiniGameState::MenuButton);
    touch(10, 230, 0), frame();
    EXPECT_TRUE(game->isHolding() && game->isTouchActive());
    tap(dialogButton(*game, 2));
    EXPECT_TRUE(game->isHolding() && game->isTouchActive());
    EXPECT_EQ(Lines({"AreYSrYWntTQt_4", "No_3"}), spoken()) << "the house is not judged meanwhile";
    touch(house.first + 10, house.second + 60, 1), touch(house.first + 10, house.second + 60, 0), frame();
    EXPECT_EQ(Vector3<tFixed>(tFixed(83 + 10), tFixed(187 - 60), tFixed(0)), at(0));
    EXPECT_TRUE(game->getPickups()[0].placedRight);

    // An object held still until the reminder is judged and let go; the same
    // touch moved on holds nothing, and only its lift ends it.
    ASSERT_TRUE(waitingFor(*game));
    const std::pair<int, int> cow = screenOf(game->getPickups()[1].sprite);
    touch(cow.first, cow.second, 1), frame();
    ASSERT_TRUE(game->isHolding());
    ASSERT_TRUE(until([&] { return !game->isHolding(); }));
    EXPECT_TRUE(game->isTouchActive());
    ASSERT_TRUE(waitingFor(*game));
    EXPECT_EQ(Lines({"CorrectAnswerSfx_6", "DragObjctsWthYrStyl_3"}), spoken());
    touch(cow.first, cow.second + 20, 1), touch(cow.first, cow.second + 20, 0), frame();
    EXPECT_EQ(188, at(1).y.toInt());
    EXPECT_FALSE(game->isTouchActive());
    drag(1, 0, 20);
    EXPECT_EQ(188 - 20, at(1).y.toInt()) << "the next press takes the cow anew";
}
}
