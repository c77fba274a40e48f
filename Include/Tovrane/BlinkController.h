#ifndef TOVRANE_BLINKCONTROLLER_H
#define TOVRANE_BLINKCONTROLLER_H

#include "Tovrane/Controller.h"

namespace Tovrane
{
class BlinkController;
typedef boost::shared_ptr<BlinkController> BlinkControllerPtr;

// Makes the scene element it is attached to flash: shown and hidden in turn,
// every interval of application time. Stopping leaves the element hidden.
class BlinkController : public Controller
{
    TOVRANE_DECLARE_RTTI(BlinkController)

public:
    explicit BlinkController(unsigned int interval);
    ~BlinkController() override;

    void stop() override;
    bool update(unsigned int appTime) override;

    unsigned int getInterval() const { return interval; }
    // A new interval, from the next toggle on.
    void setInterval(unsigned int newInterval) { interval = newInterval; }

private:
    unsigned int interval;
    unsigned int lastToggleTime;
};
}

#endif
