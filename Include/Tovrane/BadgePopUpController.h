#ifndef TOVRANE_BADGEPOPUPCONTROLLER_H
#define TOVRANE_BADGEPOPUPCONTROLLER_H

#include "Tovrane/Controller.h"
#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/Mathematics/Vector3.h"

namespace Tovrane
{
class BadgePopUpController;
typedef boost::shared_ptr<BadgePopUpController> BadgePopUpControllerPtr;

// Moves the achievement window it is attached to: from start to end during
// the first 500 ms of its control time, resting at end while the time stays
// at 500 or above. Played ping-pong over 2000 ms, the window slides in, rests
// for 3000 ms, slides out and stays at start.
class BadgePopUpController : public Controller
{
    TOVRANE_DECLARE_RTTI(BadgePopUpController)

public:
    // Milliseconds of the slide.
    static const unsigned int SlideTime = 500;

    BadgePopUpController();
    ~BadgePopUpController() override;

    bool update(unsigned int appTime) override;

    // Position at control time 0 (off-screen) and the resting position.
    Vector3<tFixed> start;
    Vector3<tFixed> end;
};
}

#endif
