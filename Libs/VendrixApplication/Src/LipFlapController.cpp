#include "Tovrane/LipFlapController.h"

#include "Tovrane/AnimatedSprite.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, LipFlapController, AnimationController);

LipFlapController::LipFlapController() = default;

LipFlapController::~LipFlapController() = default;

bool LipFlapController::update(unsigned int appTime)
{
    // The period the previous step ended in, held at the last frame like the
    // new one below: otherwise a clamped mouth would keep changing every step
    // once its time has run out.
    unsigned int before = computeControlTime() / getMillisecondsPerFrame();
    if (!Controller::update(appTime))
        return false;
    AnimatedSprite* sprite = getSprite();
    if (!sprite)
        return false;
    followFrameCount(*sprite);
    const int count = getFrameCount();
    if (count == 0)
        return false;

    unsigned int now = computeControlTime() / getMillisecondsPerFrame();
    const unsigned int last = static_cast<unsigned int>(count - 1);
    if (now > last)
        now = last;
    if (before > last)
        before = last;
    if (now == before)
        return false;
    sprite->showFrame(static_cast<int>(randomBelow(randomSource, static_cast<unsigned int>(count))));
    return true;
}
}
