#ifndef RESOURCES_FLIPBOOKCONTROLLER_H
#define RESOURCES_FLIPBOOKCONTROLLER_H

#include "Tovrane/Controller.h"

namespace Tovrane
{
class FlipbookController;
typedef boost::shared_ptr<FlipbookController> FlipbookControllerPtr;

// Plays a studio's flipbook: attached to a Studio, it turns its running time
// into a frame number (each frame shown msPerFrame milliseconds) and shows
// that frame whenever the number changes. With repeat type Wrap it loops.
class FlipbookController : public Controller
{
    TOVRANE_DECLARE_RTTI(FlipbookController)

public:
    FlipbookController();
    ~FlipbookController() override;

    void setFrameCount(int n);
    // True when it showed another frame.
    bool update(unsigned int appTime) override;

    int frameCount;
    int msPerFrame;
};
}

#endif
