// The flipbook player: application time to frames, 166 ms each, looping.
#include "StudioTestSupport.h"

#include "Resources/Studio/FlipbookController.h"

using namespace Tovrane;
using namespace StudioTest;

class FlipbookPlayer : public StudioFixture
{
protected:
    void start(int frames)
    {
        make(320, 240, StudioMode::Flipbook);
        player.reset(new FlipbookController);
        player->repeatType = RepeatType::Wrap;
        studio->addController(player);
        player->setFrameCount(frames);
        player->restart();
    }

    FlipbookControllerPtr player;
};

TEST_F(FlipbookPlayer, FiveFramesLoopAt166MillisecondsEach)
{
    start(5);
    studio->setFrame(3);
    // Application time, whether a frame change was reported, and the frame shown.
    const struct
    {
        unsigned int time;
        bool changed;
        int frame;
    } steps[] = {{1000, true, 0},  {1100, false, 0}, {1166, true, 1},  {1331, false, 1}, {1332, true, 2},
                 {1498, true, 3},  {1664, true, 4},  {1830, false, 4}, {1830, false, 4}, {1831, true, 0},
                 {1995, false, 0}, {1996, true, 1},  {2500, true, 4}};
    for (const auto& step : steps)
    {
        EXPECT_EQ(step.changed, player->update(step.time)) << step.time;
        EXPECT_EQ(step.frame, studio->currentFrame) << step.time;
    }
    // Through the studio's controllers, as its owner runs them each frame.
    studio->updateControllers(2900);
    EXPECT_EQ(1, studio->currentFrame);

    player->stop();
    EXPECT_FALSE(player->update(5000));
    EXPECT_EQ(1, studio->currentFrame);
    player->restart();
    EXPECT_TRUE(player->update(5100)) << "the first update after a restart shows frame 0";
    EXPECT_EQ(0, studio->currentFrame);
}

TEST_F(FlipbookPlayer, OneFrameShowsFrameZeroOnly)
{
    start(1);
    studio->setFrame(2);
    EXPECT_TRUE(player->update(40));
    EXPECT_EQ(0, studio->currentFrame);
    for (unsigned int t : {100u, 206u, 250u, 1000u})
    {
        EXPECT_FALSE(player->update(t)) << t;
        EXPECT_EQ(0, studio->currentFrame);
    }
}
