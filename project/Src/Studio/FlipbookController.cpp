#include "Resources/Studio/FlipbookController.h"

#include "Resources/Studio/Studio.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, FlipbookController, Controller);

FlipbookController::FlipbookController() : frameCount(1), msPerFrame(166) { maxTime = 166; }

FlipbookController::~FlipbookController() {}

void FlipbookController::setFrameCount(int n)
{
    frameCount = n;
    maxTime = static_cast<unsigned int>(msPerFrame * n);
}

bool FlipbookController::update(unsigned int appTime)
{
    if (!Controller::update(appTime) || !getObject() || msPerFrame <= 0 || frameCount < 1)
        return false;
    StudioPtr studio = boost::dynamic_pointer_cast<Studio>(getObject()->getSharedPointer());
    if (!studio)
        return false;
    unsigned int frame = computeControlTime() / static_cast<unsigned int>(msPerFrame);
    if (frame >= static_cast<unsigned int>(frameCount))
        frame = static_cast<unsigned int>(frameCount - 1);
    if (static_cast<int>(frame) == studio->currentFrame)
        return false;
    studio->setFrame(static_cast<int>(frame));
    return true;
}
}
