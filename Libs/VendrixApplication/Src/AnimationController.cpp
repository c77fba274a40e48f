#include "Tovrane/AnimationController.h"

#include "Tovrane/AnimatedSprite.h"

#include <cstdint>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, AnimationController, Controller);

AnimationController::AnimationController() : millisecondsPerFrame(83), frameCount(0) { maxTime = 0; }

AnimationController::~AnimationController() = default;

void AnimationController::setFramesPerSecond(int framesPerSecond)
{
    // No rate, no change: the period stays usable as a divisor.
    if (framesPerSecond <= 0)
        return;
    setMillisecondsPerFrame(static_cast<unsigned int>(1000 / framesPerSecond));
}

void AnimationController::setMillisecondsPerFrame(unsigned int milliseconds)
{
    millisecondsPerFrame = milliseconds > 0 ? milliseconds : 1;
    updateMaxTime();
}

void AnimationController::setFrameCount(int count)
{
    frameCount = count > 0 ? count : 0;
    updateMaxTime();
}

void AnimationController::updateMaxTime()
{
    const std::uint64_t span = static_cast<std::uint64_t>(frameCount) * millisecondsPerFrame;
    maxTime = span > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<unsigned int>(span);
}

AnimatedSprite* AnimationController::getSprite() const
{
    Object* object = getObject();
    if (!object || !object->getType().isDerived(AnimatedSprite::RuntimeType))
        return nullptr;
    return static_cast<AnimatedSprite*>(object);
}

void AnimationController::followFrameCount(const AnimatedSprite& sprite)
{
    if (sprite.getFrameCount() != frameCount)
        setFrameCount(sprite.getFrameCount());
}

bool AnimationController::update(unsigned int appTime)
{
    if (!Controller::update(appTime))
        return false;
    AnimatedSprite* sprite = getSprite();
    if (!sprite)
        return false;
    followFrameCount(*sprite);
    // A sprite without frames has nothing to show.
    if (frameCount == 0)
        return false;

    const unsigned int t = computeControlTime();
    unsigned int frame = t / millisecondsPerFrame;
    if (frame >= static_cast<unsigned int>(frameCount))
        frame = static_cast<unsigned int>(frameCount - 1);
    if (static_cast<int>(frame) == sprite->getCurrentFrame())
        return false;
    sprite->showFrame(static_cast<int>(frame));
    return true;
}
}
