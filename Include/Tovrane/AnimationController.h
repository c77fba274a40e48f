#ifndef TOVRANE_ANIMATIONCONTROLLER_H
#define TOVRANE_ANIMATIONCONTROLLER_H

#include "Tovrane/Controller.h"

namespace Tovrane
{
class AnimatedSprite;
class AnimationController;
typedef boost::shared_ptr<AnimationController> AnimationControllerPtr;

// Turns control time into the frame of the animated sprite it is attached to:
// frame = time / milliseconds per frame. Its maximum time is always frame
// count x milliseconds per frame (saturated at the largest time), so with the
// repeat type Clamp the animation runs once and holds its last frame, with
// Wrap it loops. The period is never 0: setters keep it at least 1 ms, and
// frames per second of 0 or less leave it unchanged.
class AnimationController : public Controller
{
    TOVRANE_DECLARE_RTTI(AnimationController)

public:
    AnimationController();
    ~AnimationController() override;

    // 1000 / fps in whole milliseconds (12 gives 83, above 1000 gives 1).
    void setFramesPerSecond(int framesPerSecond);
    void setMillisecondsPerFrame(unsigned int milliseconds);
    // Negative counts are taken as 0.
    void setFrameCount(int count);

    unsigned int getMillisecondsPerFrame() const { return millisecondsPerFrame; }
    int getFrameCount() const { return frameCount; }

    // True when another frame was shown. The sprite's frame count is taken
    // over first, so frames added while the animation plays are counted.
    bool update(unsigned int appTime) override;

protected:
    // The controlled sprite, or null when the controller drives no sprite.
    AnimatedSprite* getSprite() const;
    // Takes over the sprite's frame count when it changed.
    void followFrameCount(const AnimatedSprite& sprite);

private:
    void updateMaxTime();

    unsigned int millisecondsPerFrame;
    int frameCount;
};
}

#endif
