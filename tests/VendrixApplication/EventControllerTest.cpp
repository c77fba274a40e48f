#include "Tovrane/EventController.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Tovrane;

namespace
{
typedef std::vector<unsigned int> Times;
const unsigned int Play = 0xFFFFFFF0u, Pause = 0xFFFFFFF1u, Reset = 0xFFFFFFF2u;

// Application times from `from` to `to` in steps of `step`.
Times every(unsigned int from, unsigned int to, unsigned int step, Times before = {})
{
    for (unsigned int t = from; t <= to; t += step)
        before.push_back(t);
    return before;
}
Times operator+(Times a, const Times& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// One timer driven through a list of application times (and Play, Pause and
// Reset); the times of the steps that fired and the controller's control time
// at each firing.
struct Row
{
    const char* name;
    unsigned int interval;
    int count;
    Times steps, fired, controlTimes;
    bool resetInDelegate;
};

class Listener
{
public:
    Listener(EventController* controller, bool resetInside) : controller(controller), resetInside(resetInside)
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
    bool resetInside;
    Times times;
};

const Row rows[] = {
    {"a stopped timer never fires", 3000, 1, every(1000, 20000, 500), {}, {}, false},
    {"a one-shot fires once when the interval is reached", 3000, 1, every(1000, 20000, 16, {Play}), {4008}, {3008},
     false},
    {"an unlimited timer fires every interval", 5000, -1, every(200, 16000, 100, {Play, 100}),
     {5100, 10100, 15100}, {5000, 10000, 15000}, false},
    {"reset starts the interval again and keeps counting", 5000, -1,
     every(1100, 8000, 100, {Play, 1000}) + every(8100, 19000, 100, {Reset}), {6000, 13100, 18100},
     {5000, 5000, 10000}, false},
    {"count zero never fires", 100, 0, every(1, 5000, 10, {Play}), {}, {}, false},
    {"a used-up count stays silent after a reset", 100, 2, every(10, 1000, 10, {Play}) + every(1010, 3000, 10, {Reset}),
     {110, 210}, {100, 200}, false},
    {"a large step fires once per step until caught up", 100, -1, {Play, 1000, 1350, 1351, 1352, 1353, 1399, 1400},
     {1350, 1351, 1352, 1400}, {350, 351, 352, 400}, false},
    {"steps that do not advance never fire", 100, -1, {Play, 500, 500, 600, 600}, {600}, {100}, false},
    {"paused time does not count", 1000, -1,
     every(700, 5000, 100, {Play, 100, 600, Pause}) + every(5100, 5600, 100, {Play}), {5500}, {1000}, false},
    {"a delegate may reset the timer", 100, -1, every(20, 340, 10, {Play, 10}), {110, 220, 330}, {100, 100, 100},
     true},
};
}

TEST(EventController, FiringTable)
{
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.name);
        EventController c(row.interval, row.count);
        Listener listener(&c, row.resetInDelegate);
        Times fired;
        for (unsigned int t : row.steps)
        {
            if (t == Play)
                c.play();
            else if (t == Pause)
                c.pause();
            else if (t == Reset)
                c.reset();
            else if (c.update(t))
                fired.push_back(t);
        }
        EXPECT_EQ(row.fired, fired);
        EXPECT_EQ(row.controlTimes, listener.times);
        EXPECT_EQ(static_cast<int>(row.fired.size()), c.getFired());
    }
}

TEST(EventController, RunsAsAnAttachedController)
{
    ObjectPtr owner(new Object);
    EventControllerPtr c(new EventController(250, 3));
    Listener listener(c.get(), false);
    owner->addController(c);
    c->play();
    for (unsigned int t = 1000; t <= 3000; t += 50)
        owner->updateControllers(t);
    EXPECT_EQ((Times{250, 500, 750}), listener.times);
}
