#include "Tovrane/Character.h"

#include "Tovrane/AnimatedSprite.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Character, Node);

Character::Character() = default;

Character::~Character() { animations.clear(); }

void Character::addAnimation(const std::string& name, AnimatedSpritePtr sprite)
{
    if (!sprite)
        return;
    if (!getAnimationController(sprite))
        sprite->addController(ControllerPtr(new AnimationController));
    sprite->cullingMode = CullingMode::Hide;

    std::map<std::string, int>::const_iterator entry = animations.find(name);
    if (entry == animations.end())
        animations[name] = addChild(sprite);
    else if (getChild(entry->second) != sprite)
        setChild(sprite, entry->second);
}

bool Character::hasAnimation(const std::string& name) const { return animations.count(name) > 0; }

SpatialPtr Character::getAnimation(const std::string& name) const
{
    std::map<std::string, int>::const_iterator entry = animations.find(name);
    if (entry == animations.end())
        return SpatialPtr();
    return getChild(entry->second);
}

AnimationControllerPtr Character::getAnimationController(SpatialPtr node) const
{
    if (!node)
        return AnimationControllerPtr();
    for (int i = 0; i < node->getControllerQuantity(); ++i)
    {
        ControllerPtr controller = node->getController(i);
        if (controller->getType().isDerived(AnimationController::RuntimeType))
            return boost::static_pointer_cast<AnimationController>(controller);
    }
    return AnimationControllerPtr();
}

void Character::playAnimation(const std::string& name, RepeatType::Type repeat)
{
    SpatialPtr sprite = getAnimation(name);
    if (!sprite)
        return;
    sprite->cullingMode = CullingMode::Show;
    if (AnimationControllerPtr controller = getAnimationController(sprite))
    {
        controller->repeatType = repeat;
        controller->restart();
    }
}

void Character::hideAnimation(const std::string& name)
{
    if (SpatialPtr sprite = getAnimation(name))
        sprite->cullingMode = CullingMode::Hide;
}

void Character::hideAnimation(AnimationControllerPtr controller)
{
    if (!controller)
        return;
    Object* object = controller->getObject();
    if (object && object->getType().isDerived(Spatial::RuntimeType))
        static_cast<Spatial*>(object)->cullingMode = CullingMode::Hide;
    controller->stop();
}

bool Character::isAnimating(const std::string& name) const
{
    AnimationControllerPtr controller = getAnimationController(getAnimation(name));
    return controller && controller->isPlaying();
}

void Character::replaceAnimationController(const std::string& name, AnimationControllerPtr controller)
{
    SpatialPtr sprite = getAnimation(name);
    if (!sprite)
        return;
    if (AnimationControllerPtr old = getAnimationController(sprite))
        sprite->removeController(old);
    if (controller)
        sprite->addController(controller);
}
}
