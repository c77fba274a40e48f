#include "Tovrane/Controller.h"

#include <gtest/gtest.h>

#include <string>

using namespace Tovrane;

namespace
{
// A controller whose span is set the way owners set it, directly.
struct Spanned : Controller
{
    Spanned(RepeatType::Type type, unsigned int min, unsigned int max)
    {
        repeatType = type;
        minTime = min;
        maxTime = max;
    }
};

unsigned int mapped(Controller& c, unsigned int controlTime)
{
    c.controlTime = controlTime;
    return c.computeControlTime();
}

// Records the order in which the virtual play and stop run.
class Logging : public Controller
{
public:
    void play() override
    {
        log += "play ";
        Controller::play();
    }
    void stop() override
    {
        log += "stop ";
        Controller::stop();
    }
    std::string log;
};
}

TEST(Controller, StartsStoppedWithZeroTimes)
{
    Controller c;
    EXPECT_FALSE(c.playing);
    EXPECT_FALSE(c.isPlaying());
    EXPECT_EQ(0u, c.minTime);
    EXPECT_EQ(0u, c.maxTime);
    EXPECT_EQ(RepeatType::Clamp, c.repeatType);
    EXPECT_EQ(0u, c.controlTime);
    EXPECT_EQ(nullptr, c.getObject());
}

TEST(Controller, FirstStepOnlyRecordsTheTime)
{
    Controller c;
    c.play();
    EXPECT_TRUE(c.update(1000));
    EXPECT_EQ(0u, c.controlTime);
    EXPECT_TRUE(c.update(1016));
    EXPECT_EQ(16u, c.controlTime);
    EXPECT_FALSE(c.update(1016));
    EXPECT_EQ(16u, c.controlTime);
    EXPECT_TRUE(c.update(1100));
    EXPECT_EQ(100u, c.controlTime);
}

TEST(Controller, StepAtTheRecordedTimeDoesNotCount)
{
    // Also at the very first step, when both times are 0.
    Controller c;
    c.play();
    EXPECT_FALSE(c.update(0));
    EXPECT_EQ(0u, c.controlTime);
    EXPECT_TRUE(c.update(40));
    EXPECT_EQ(0u, c.controlTime);
}

TEST(Controller, StoppedControllerFollowsTheTimeWithoutCounting)
{
    Controller c;
    EXPECT_FALSE(c.update(500));
    EXPECT_EQ(500u, c.lastAppTime);
    EXPECT_EQ(0u, c.controlTime);
}

TEST(Controller, PausedControllerResumesWhereItStopped)
{
    Controller c;
    c.play();
    c.update(1000);
    c.update(1500);
    ASSERT_EQ(500u, c.controlTime);

    c.pause();
    EXPECT_FALSE(c.playing);
    for (unsigned int t = 1516; t <= 3500; t += 16)
        EXPECT_FALSE(c.update(t));
    EXPECT_EQ(500u, c.controlTime);

    c.play();
    EXPECT_TRUE(c.update(3516));
    EXPECT_EQ(516u, c.controlTime);
}

TEST(Controller, PausedTimeIsNotCounted)
{
    Controller c;
    c.play();
    c.update(100);
    c.update(600);
    c.pause();
    c.update(2600);
    c.play();
    c.update(2610);
    EXPECT_EQ(510u, c.controlTime);
}

TEST(Controller, StopResetsTheClockAndTheNextStepRecordsAgain)
{
    Controller c;
    c.play();
    c.update(100);
    c.update(400);
    c.stop();
    EXPECT_FALSE(c.playing);
    EXPECT_EQ(0u, c.controlTime);
    EXPECT_EQ(0u, c.lastAppTime);

    c.play();
    EXPECT_TRUE(c.update(9000));
    EXPECT_EQ(0u, c.controlTime);
    c.update(9020);
    EXPECT_EQ(20u, c.controlTime);
}

TEST(Controller, RestartRunsTheVirtualStopThenPlay)
{
    Logging c;
    c.play();
    c.update(100);
    c.update(300);
    c.log.clear();
    c.restart();
    EXPECT_EQ("stop play ", c.log);
    EXPECT_TRUE(c.playing);
    EXPECT_EQ(0u, c.controlTime);
    EXPECT_TRUE(c.update(5000));
    EXPECT_EQ(0u, c.controlTime);
}

TEST(Controller, ClampHoldsTheEnds)
{
    Spanned c(RepeatType::Clamp, 0, 1000);
    EXPECT_EQ(0u, mapped(c, 0));
    EXPECT_EQ(400u, mapped(c, 400));
    EXPECT_EQ(1000u, mapped(c, 1000));
    EXPECT_EQ(1000u, mapped(c, 1500));
    EXPECT_EQ(1500u, c.controlTime); // clamping does not rewrite the clock

    Spanned late(RepeatType::Clamp, 200, 1000);
    EXPECT_EQ(200u, mapped(late, 50));
}

TEST(Controller, ClampStopsPlayingPastTheEnd)
{
    Spanned c(RepeatType::Clamp, 0, 1000);
    c.play();
    c.controlTime = 1000;
    EXPECT_TRUE(c.isPlaying());
    c.controlTime = 1500;
    EXPECT_FALSE(c.isPlaying());
    EXPECT_TRUE(c.playing); // the flag itself stays until stop or pause
}

TEST(Controller, ReverseRunsBackwardsOnce)
{
    Spanned c(RepeatType::Reverse, 0, 1000);
    EXPECT_EQ(1000u, mapped(c, 0));
    EXPECT_EQ(750u, mapped(c, 250));
    EXPECT_EQ(0u, mapped(c, 1000));
    EXPECT_EQ(0u, mapped(c, 1200));
    c.play();
    EXPECT_TRUE(c.isPlaying());

    Spanned late(RepeatType::Reverse, 100, 1000);
    EXPECT_EQ(1000u, mapped(late, 50));
    EXPECT_EQ(100u, mapped(late, 1001));
}

TEST(Controller, PingPongGoesThereAndBackOnce)
{
    Spanned c(RepeatType::PingPong, 0, 1000);
    EXPECT_EQ(0u, mapped(c, 0));
    EXPECT_EQ(400u, mapped(c, 400));
    EXPECT_EQ(1000u, mapped(c, 1000));
    EXPECT_EQ(600u, mapped(c, 1400));
    EXPECT_EQ(0u, mapped(c, 2000));
    EXPECT_EQ(0u, mapped(c, 2500));

    c.play();
    c.controlTime = 2000;
    EXPECT_TRUE(c.isPlaying());
    c.controlTime = 2001;
    EXPECT_FALSE(c.isPlaying());
}

TEST(Controller, WrapLoopsAndRewritesTheClock)
{
    Spanned c(RepeatType::Wrap, 0, 1000);
    EXPECT_EQ(999u, mapped(c, 999));
    EXPECT_EQ(1000u, mapped(c, 1000));
    EXPECT_EQ(1u, mapped(c, 1001));
    EXPECT_EQ(1u, c.controlTime);
    EXPECT_EQ(300u, mapped(c, 2300));
    EXPECT_EQ(300u, c.controlTime);
    EXPECT_EQ(1000u, mapped(c, 2000));
    EXPECT_EQ(1000u, c.controlTime);
    // A very late clock still lands in (0, maxTime].
    EXPECT_EQ(1000u, mapped(c, 4000000000u));
    EXPECT_EQ(295u, mapped(c, 4000000000u - 705u));
    c.play();
    EXPECT_TRUE(c.isPlaying());
}

TEST(Controller, WrapSubtractsMaxTimeNotTheSpan)
{
    Spanned c(RepeatType::Wrap, 200, 1000);
    EXPECT_EQ(200u, mapped(c, 100));
    EXPECT_EQ(150u, mapped(c, 1150)); // below minTime after the wrap
    EXPECT_EQ(150u, c.controlTime);
}

TEST(Controller, WrapDrivenByUpdatesKeepsLooping)
{
    Spanned c(RepeatType::Wrap, 0, 100);
    c.play();
    c.update(1);
    unsigned int t = 1;
    for (int frame = 0; frame < 50; ++frame)
    {
        t += 33;
        ASSERT_TRUE(c.update(t));
        const unsigned int m = c.computeControlTime();
        EXPECT_GT(m, 0u);
        EXPECT_LE(m, 100u);
        EXPECT_EQ((33u * (frame + 1) - 1) % 100u + 1, m);
    }
}
