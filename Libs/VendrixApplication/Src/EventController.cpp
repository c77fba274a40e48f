#include "Tovrane/EventController.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, EventController, Controller);

EventController::EventController(unsigned int interval, int count)
    : count(count), fired(0), interval(interval), nextTime(interval)
{
    maxTime = interval;
}

EventController::~EventController() = default;

bool EventController::update(unsigned int appTime)
{
    if (!Controller::update(appTime))
        return false;
    // Clamped: the mapped time never passes the next firing time.
    const unsigned int t = computeControlTime();
    if (t < nextTime)
        return false;
    if (count >= 0 && fired >= count)
        return false;
    // The schedule moves on before the delegates run, so that a delegate may
    // reset the timer without its reset being undone afterwards.
    ++fired;
    nextTime += interval;
    maxTime = nextTime;
    event(VOID());
    return true;
}

void EventController::reset()
{
    restart();
    maxTime = interval;
    nextTime = interval;
}
}
