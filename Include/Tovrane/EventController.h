#ifndef TOVRANE_EVENTCONTROLLER_H
#define TOVRANE_EVENTCONTROLLER_H

#include "Tovrane/Controller.h"
#include "Tovrane/Event.h"

namespace Tovrane
{
// A timer: fires its event every interval of control time, a given number of
// times (negative: without limit). At most one firing per step, so firings
// missed in a long frame follow one per step.
class EventController : public Controller
{
    TOVRANE_DECLARE_RTTI(EventController)

public:
    EventController(unsigned int interval, int count);
    ~EventController() override;

    // True only on a step that fired.
    bool update(unsigned int appTime) override;

    // Starts the interval again from now (restart); the firings already made
    // still count against the limit.
    void reset();

    int getCount() const { return count; }
    int getFired() const { return fired; }
    unsigned int getInterval() const { return interval; }
    unsigned int getNextTime() const { return nextTime; }

    Event<void, VOID> event;

private:
    int count;
    int fired;
    unsigned int interval;
    unsigned int nextTime;
};

typedef boost::shared_ptr<EventController> EventControllerPtr;
}

#endif
