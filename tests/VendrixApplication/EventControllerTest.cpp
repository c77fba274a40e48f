#include "Tovrane/EventController.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Tovrane;

namespace
{
// Counts firings and notes the controller's (unmapped) control time at each.
class Listener
{
public:
    explicit Listener(EventController* controller) : controller(controller)
    {
        controller->event += new Event<void, VOID>::MethodDelegate<Listener>(this, &Listener::onEvent);
    }
    void onEvent(VOID)
    {
        times.push_back(controller->controlTime);
        if (resetInside)
            controller->reset();
    }
    EventController* controller;
    std::vector<unsigned int> times;
    bool resetInside = false;
};

// Steps the controller at the given application times; returns the times of
// the steps that fired.
std::vector<unsigned int> stepAt(EventController& c, const std::vector<unsigned int>& appTimes)
{
    std::vector<unsigned int> firing;
    for (unsigned int t : appTimes)
        if (c.update(t))
            firing.push_back(t);
    return firing;
}

std::vector<unsigned int> everyFrame(unsigned int from, unsigned int to, unsigned int step)
{
    std::vector<unsigned int> times;
    for (unsigned int t = from; t <= to; t += step)
        times.push_back(t);
    return times;
}
}

TEST(EventController, BuildsStoppedWithItsFirstFiringOneIntervalAway)
{
    EventControllerPtr c(new EventController(3000, 1));
    EXPECT_FALSE(c->playing);
    EXPECT_EQ(3000u, c->maxTime);
    EXPECT_EQ(3000u, c->getNextTime());
    EXPECT_EQ(0, c->getFired());
    EXPECT_EQ(RepeatType::Clamp, c->repeatType);
    EXPECT_EQ("Tovrane.EventController", c->getType().getName());
    EXPECT_TRUE(c->getType().isDerived(Controller::RuntimeType));
    EXPECT_EQ(c, c->getSharedPointer());
    // A stopped timer never fires.
    EXPECT_TRUE(stepAt(*c, everyFrame(1000, 20000, 500)).empty());
}

TEST(EventController, OneShotFiresOnceWhenTheIntervalIsReached)
{
    EventController c(3000, 1);
    Listener listener(&c);
    c.play();
    // The first step only records the time; control time reaches 3000 at 4000.
    EXPECT_EQ(std::vector<unsigned int>{4008}, stepAt(c, everyFrame(1000, 20000, 16)));
    EXPECT_EQ(std::vector<unsigned int>{3008}, listener.times);
    EXPECT_EQ(1, c.getFired());
}

TEST(EventController, UnlimitedTimerFiresEveryInterval)
{
    EventController c(5000, -1);
    Listener listener(&c);
    c.play();
    c.update(100);
    EXPECT_EQ((std::vector<unsigned int>{5100, 10100, 15100}), stepAt(c, everyFrame(200, 16000, 100)));
    EXPECT_EQ((std::vector<unsigned int>{5000, 10000, 15000}), listener.times);
    EXPECT_EQ(3, c.getFired());
}

TEST(EventController, ResetStartsTheIntervalAgainAndKeepsCounting)
{
    EventController c(5000, -1);
    Listener listener(&c);
    c.play();
    c.update(1000);
    ASSERT_EQ(std::vector<unsigned int>{6000}, stepAt(c, everyFrame(1100, 8000, 100)));
    ASSERT_EQ(7000u, c.controlTime);

    c.reset();
    EXPECT_TRUE(c.playing);
    EXPECT_EQ(0u, c.controlTime);
    EXPECT_EQ(5000u, c.maxTime);
    EXPECT_EQ(5000u, c.getNextTime());
    // The step after the reset records the time; the next firing is 5000 ms later.
    EXPECT_EQ((std::vector<unsigned int>{13100, 18100}), stepAt(c, everyFrame(8100, 19000, 100)));
    EXPECT_EQ(3, c.getFired());
}

TEST(EventController, CountZeroNeverFires)
{
    EventController c(100, 0);
    Listener listener(&c);
    c.play();
    EXPECT_TRUE(stepAt(c, everyFrame(1, 5000, 10)).empty());
    EXPECT_TRUE(listener.times.empty());
}

TEST(EventController, UsedUpCountStaysSilentAfterAReset)
{
    EventController c(100, 2);
    Listener listener(&c);
    c.play();
    EXPECT_EQ((std::vector<unsigned int>{110, 210}), stepAt(c, everyFrame(10, 1000, 10)));
    c.reset();
    EXPECT_TRUE(stepAt(c, everyFrame(1010, 3000, 10)).empty());
    EXPECT_EQ(2, c.getFired());
}

TEST(EventController, LargeStepFiresOncePerStepUntilCaughtUp)
{
    EventController c(100, -1);
    Listener listener(&c);
    c.play();
    c.update(1000);
    EXPECT_TRUE(c.update(1350)); // control time 350: fires for 100
    EXPECT_EQ(200u, c.getNextTime());
    EXPECT_TRUE(c.update(1351)); // fires for 200
    EXPECT_TRUE(c.update(1352)); // fires for 300
    EXPECT_EQ(400u, c.getNextTime());
    EXPECT_FALSE(c.update(1353));
    EXPECT_FALSE(c.update(1399));
    EXPECT_TRUE(c.update(1400));
    EXPECT_EQ(4u, listener.times.size());
    EXPECT_EQ((std::vector<unsigned int>{350, 351, 352, 400}), listener.times);
}

TEST(EventController, StepsThatDoNotAdvanceNeverFire)
{
    EventController c(100, -1);
    c.play();
    c.update(500);
    EXPECT_FALSE(c.update(500));
    c.update(600);
    EXPECT_FALSE(c.update(600)); // same time twice: the second step does not count
    EXPECT_EQ(1, c.getFired());
}

TEST(EventController, PausedTimeDoesNotCount)
{
    EventController c(1000, -1);
    c.play();
    c.update(100);
    c.update(600);
    c.pause();
    EXPECT_TRUE(stepAt(c, everyFrame(700, 5000, 100)).empty());
    c.play();
    EXPECT_EQ(std::vector<unsigned int>{5500}, stepAt(c, everyFrame(5100, 5600, 100)));
}

TEST(EventController, DelegateMayResetTheTimer)
{
    EventController c(100, -1);
    Listener listener(&c);
    listener.resetInside = true;
    c.play();
    c.update(10);
    // Each firing restarts the interval: the step after records the time.
    EXPECT_EQ((std::vector<unsigned int>{110, 220, 330}), stepAt(c, everyFrame(20, 340, 10)));
    EXPECT_EQ(100u, c.getNextTime());
}

TEST(EventController, RunsAsAnAttachedController)
{
    ObjectPtr owner(new Object);
    EventControllerPtr c(new EventController(250, 3));
    Listener listener(c.get());
    owner->addController(c);
    c->play();
    for (unsigned int t = 1000; t <= 3000; t += 50)
        owner->updateControllers(t);
    EXPECT_EQ((std::vector<unsigned int>{250, 500, 750}), listener.times);
}
