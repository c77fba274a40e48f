#include "Tovrane/AnimatedSprite.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, AnimatedSprite, Node);

AnimatedSprite::AnimatedSprite() : currentFrame(0) {}

AnimatedSprite::~AnimatedSprite() = default;

void AnimatedSprite::setFrame(SpatialPtr frame, int index)
{
    if (frame)
        frame->cullingMode = index == currentFrame ? CullingMode::Show : CullingMode::Hide;
    setChild(frame, index);
}

void AnimatedSprite::showFrame(int index)
{
    if (index == currentFrame || index < 0 || index >= getFrameCount())
        return;
    if (SpatialPtr shown = getChild(currentFrame))
        shown->cullingMode = CullingMode::Hide;
    if (SpatialPtr next = getChild(index))
        next->cullingMode = CullingMode::Show;
    currentFrame = index;
    if (frameChange.getDelegateQuantity() > 0)
    {
        // A delegate may drop the last owner of this sprite.
        const ObjectPtr self = weak_from_this().lock();
        frameChange(FrameChangeEventArgs(index));
    }
}
}
