#ifndef TOVRANE_ANIMATEDSPRITE_H
#define TOVRANE_ANIMATEDSPRITE_H

#include "Tovrane/Event.h"
#include "Tovrane/FrameChangeEventArgs.h"
#include "Tovrane/Node.h"

namespace Tovrane
{
class AnimatedSprite;
typedef boost::shared_ptr<AnimatedSprite> AnimatedSpritePtr;

// A flip-book animation: child i is frame i, and exactly the current frame is
// shown (culling mode Show); every other frame is hidden (Hide). Showing a
// frame changes two culling modes and nothing else.
class AnimatedSprite : public Node
{
    TOVRANE_DECLARE_RTTI(AnimatedSprite)

public:
    AnimatedSprite();
    ~AnimatedSprite() override;

    // Puts the frame into child slot `index`, shown when it is the current
    // frame and hidden otherwise.
    void setFrame(SpatialPtr frame, int index);
    // Hides the current frame, shows frame `index` and tells the frame-change
    // delegates. Nothing happens for the frame already shown or for an index
    // that is not a frame.
    void showFrame(int index);
    // The number of child slots.
    int getFrameCount() const { return getChildQuantity(); }
    int getCurrentFrame() const { return currentFrame; }

    // Called with the new frame each time another frame is shown.
    Event<void, const FrameChangeEventArgs> frameChange;

private:
    int currentFrame;
};
}

#endif
