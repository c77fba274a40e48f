#include "Tovrane/Controller.h"

#include <gtest/gtest.h>

#include <string>

using namespace Tovrane;

namespace
{
// Records the order in which the virtual play and stop run.
struct Logging : Controller
{
    void play() override { log += "play "; Controller::play(); }
    void stop() override { log += "stop "; Controller::stop(); }
    std::string log;
};
}

TEST(Controller, FirstStepRecordsTheTimePauseHoldsTheClockStopAndRestartReset)
{
    // Actions: 'u' update at the time, 'p' play, 'z' pause, 's' stop, 'r' restart.
    const struct
    {
        char action;
        unsigned int time;
        bool counted;
        unsigned int clock, last;
    } steps[] = {
        {'u', 500, false, 0, 500}, // a stopped controller follows the time without counting
        {'s', 0, false, 0, 0}, {'p', 0, false, 0, 0},
        {'u', 0, false, 0, 0}, // a step at the recorded time does not count, even the first at 0
        {'u', 1000, true, 0, 1000}, {'u', 1016, true, 16, 1016}, {'u', 1016, false, 16, 1016},
        {'u', 1500, true, 500, 1500}, {'z', 0, false, 500, 1500}, {'u', 1516, false, 500, 1516},
        {'u', 3500, false, 500, 3500}, {'p', 0, false, 500, 3500}, {'u', 3516, true, 516, 3516},
        {'s', 0, false, 0, 0}, {'p', 0, false, 0, 0}, {'u', 9000, true, 0, 9000}, {'u', 9020, true, 20, 9020},
        {'r', 0, false, 0, 0}, {'u', 5000, true, 0, 5000}, {'u', 5040, true, 40, 5040},
    };
    Logging c;
    for (const auto& step : steps)
    {
        SCOPED_TRACE(testing::Message() << step.action << " " << step.time);
        const bool counted = step.action == 'u' && c.update(step.time);
        if (step.action == 'p')
            c.play();
        if (step.action == 'z')
            c.pause();
        if (step.action == 's')
            c.stop();
        if (step.action == 'r')
        {
            c.log.clear();
            c.restart();
            EXPECT_EQ("stop play ", c.log);
        }
        EXPECT_EQ(step.counted, counted);
        EXPECT_EQ(step.clock, c.controlTime);
        EXPECT_EQ(step.last, c.lastAppTime);
    }
}

TEST(Controller, RepeatTypesMapTheClock)
{
    const RepeatType::Type C = RepeatType::Clamp, R = RepeatType::Reverse, P = RepeatType::PingPong,
                           W = RepeatType::Wrap;
    // Any other value, as read from a file or a number, behaves as PingPong.
    const RepeatType::Type O = static_cast<RepeatType::Type>(7), N = static_cast<RepeatType::Type>(-1);
    // Only Clamp and PingPong stop playing past their end.
    const struct
    {
        RepeatType::Type type;
        unsigned int min, max, clock, mapped, clockAfter;
        bool playing;
    } cases[] = {
        {C, 0, 1000, 0, 0, 0, true}, {C, 0, 1000, 400, 400, 400, true}, {C, 200, 1000, 50, 200, 50, true},
        {C, 0, 1000, 1000, 1000, 1000, true}, {C, 0, 1000, 1500, 1000, 1500, false}, // the clock is kept
        {R, 0, 1000, 0, 1000, 0, true}, {R, 0, 1000, 250, 750, 250, true}, {R, 0, 1000, 1200, 0, 1200, true},
        {R, 100, 1000, 50, 1000, 50, true}, {R, 100, 1000, 1001, 100, 1001, true},
        {P, 0, 1000, 400, 400, 400, true}, {P, 0, 1000, 1000, 1000, 1000, true},
        {P, 0, 1000, 1400, 600, 1400, true}, {P, 0, 1000, 2000, 0, 2000, true}, {P, 0, 1000, 2001, 0, 2001, false},
        {O, 0, 1000, 1400, 600, 1400, true}, {N, 0, 1000, 2001, 0, 2001, false},
        {W, 0, 1000, 1000, 1000, 1000, true}, {W, 0, 1000, 1001, 1, 1, true}, {W, 0, 1000, 2000, 1000, 1000, true},
        {W, 0, 1000, 2300, 300, 300, true}, {W, 200, 1000, 100, 200, 100, true},
        {W, 0, 1000, 4000000000u, 1000, 1000, true}, {W, 0, 1000, 3999999295u, 295, 295, true}, // in (0, max]
        {W, 200, 1000, 1150, 150, 150, true}, // subtracts maxTime, not the span
    };
    for (const auto& k : cases)
    {
        SCOPED_TRACE(testing::Message() << k.type << " [" << k.min << ", " << k.max << "] at " << k.clock);
        Controller c;
        c.repeatType = k.type;
        c.minTime = k.min;
        c.maxTime = k.max;
        c.controlTime = k.clock;
        EXPECT_EQ(k.mapped, c.computeControlTime());
        EXPECT_EQ(k.clockAfter, c.controlTime);
        c.play();
        EXPECT_EQ(k.playing, c.isPlaying());
        EXPECT_TRUE(c.playing); // the flag itself stays until stop or pause
    }
}

TEST(Controller, WrapDrivenByUpdatesKeepsLooping)
{
    Controller c;
    c.repeatType = RepeatType::Wrap;
    c.maxTime = 100;
    c.play();
    c.update(1);
    for (unsigned int frame = 1, t = 1; frame <= 50; ++frame)
    {
        ASSERT_TRUE(c.update(t += 33));
        EXPECT_EQ((33u * frame - 1) % 100u + 1, c.computeControlTime());
    }
}
