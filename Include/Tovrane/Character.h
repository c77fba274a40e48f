#ifndef TOVRANE_CHARACTER_H
#define TOVRANE_CHARACTER_H

#include "Tovrane/AnimationController.h"
#include "Tovrane/Controller.h"
#include "Tovrane/Node.h"

#include <map>
#include <string>

namespace Tovrane
{
class AnimatedSprite;
class Character;
typedef boost::shared_ptr<AnimatedSprite> AnimatedSpritePtr;
typedef boost::shared_ptr<Character> CharacterPtr;

// An animated figure: one animated sprite per named animation, each a child
// with its own animation controller. Animations are shown and hidden only on
// request, and several may be shown at once (a body with a blink or a mouth
// on top). Names the character lacks are ignored by every operation.
class Character : public Node
{
    TOVRANE_DECLARE_RTTI(Character)

public:
    Character();
    ~Character() override;

    // Adds the sprite (hidden, with a stopped animation controller if it has
    // none) under the name; a known name keeps its child slot and the new
    // sprite replaces the old one there.
    void addAnimation(const std::string& name, AnimatedSpritePtr sprite);
    bool hasAnimation(const std::string& name) const;
    // The animation's sprite, or null.
    SpatialPtr getAnimation(const std::string& name) const;
    // The first controller of the node derived from AnimationController, or null.
    AnimationControllerPtr getAnimationController(SpatialPtr node) const;

    // Shows the animation and restarts its controller with the repeat type.
    void playAnimation(const std::string& name, RepeatType::Type repeat);
    // Hides the animation; its controller keeps running.
    void hideAnimation(const std::string& name);
    // Hides the sprite the controller drives and stops the controller.
    void hideAnimation(AnimationControllerPtr controller);
    // Whether the animation's controller is still playing (a clamped one stops
    // once its last frame's time has passed).
    bool isAnimating(const std::string& name) const;
    // Puts `controller` on the animation in place of its animation controller.
    void replaceAnimationController(const std::string& name, AnimationControllerPtr controller);

private:
    std::map<std::string, int> animations;
};
}

#endif
