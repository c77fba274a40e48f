#include "Tovrane/CharacterController.h"

#include "Tovrane/Character.h"
#include "Tovrane/LipFlapController.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, CharacterController, Controller);

CharacterController::CharacterController() : idleAnimation("idle"), nextBlinkTime(0), lipFlapPlaying(false)
{
    // With Clamp the control time then simply counts the milliseconds of play.
    maxTime = 0xFFFFFFFFu;
}

CharacterController::~CharacterController() = default;

Character* CharacterController::getCharacter() const
{
    Object* object = getObject();
    if (!object || !object->getType().isDerived(Character::RuntimeType))
        return nullptr;
    return static_cast<Character*>(object);
}

unsigned int CharacterController::nextBlinkDelay()
{
    return ShortestBlinkDelay + randomBelow(randomSource, LongestBlinkDelay - ShortestBlinkDelay + 1);
}

void CharacterController::pushAnimation(const std::string& name)
{
    Character* character = getCharacter();
    if (!character || !character->hasAnimation(name))
        return;
    if (queue.empty())
    {
        character->hideAnimation(currentAnimation);
        character->hideAnimation(blinkAnimation);
        currentAnimation = name;
        character->playAnimation(name, RepeatType::Clamp);
    }
    queue.push_back(name);
}

void CharacterController::popAnimation() { playNextAnimation(); }

void CharacterController::playNextAnimation()
{
    Character* character = getCharacter();
    if (!character)
        return;
    character->hideAnimation(currentAnimation);
    if (!queue.empty())
        queue.pop_front();
    if (!queue.empty())
    {
        currentAnimation = queue.front();
        character->playAnimation(currentAnimation, RepeatType::Clamp);
    }
    else
    {
        playIdleAnimation();
    }
}

void CharacterController::playIdleAnimation()
{
    Character* character = getCharacter();
    if (!character)
        return;
    character->playAnimation(idleAnimation, RepeatType::Wrap);
    currentAnimation = idleAnimation;
    nextBlinkTime = computeControlTime() + nextBlinkDelay();
}

void CharacterController::setIdleAnimation(const std::string& name)
{
    Character* character = getCharacter();
    if (!character || !character->hasAnimation(name))
        return;
    idleAnimation = name;
    if (queue.empty())
        playNextAnimation();
}

void CharacterController::placeOverlay(const std::string& name)
{
    // In front of the body animations (z about 0.1).
    if (Character* character = getCharacter())
        if (SpatialPtr sprite = character->getAnimation(name))
            sprite->setPosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed::fromRaw(0x1999)));
}

void CharacterController::setBlinkAnimation(const std::string& name)
{
    if (Character* character = getCharacter())
        character->hideAnimation(blinkAnimation);
    blinkAnimation = name;
    placeOverlay(name);
}

void CharacterController::setLipFlapAnimation(const std::string& name, bool random)
{
    Character* character = getCharacter();
    if (character)
        character->hideAnimation(lipFlapAnimation);
    lipFlapAnimation = name;
    if (!character || !character->hasAnimation(name))
        return;
    AnimationControllerPtr controller;
    if (random)
    {
        LipFlapControllerPtr lipFlap(new LipFlapController);
        lipFlap->setRandomSource(randomSource);
        controller = lipFlap;
    }
    else
    {
        controller.reset(new AnimationController);
    }
    character->replaceAnimationController(name, controller);
    placeOverlay(name);
}

void CharacterController::playLipFlapAnimation(bool loop)
{
    if (Character* character = getCharacter())
        character->playAnimation(lipFlapAnimation, loop ? RepeatType::Wrap : RepeatType::Clamp);
    lipFlapPlaying = true;
}

void CharacterController::stopLipFlapAnimation()
{
    if (Character* character = getCharacter())
        character->hideAnimation(lipFlapAnimation);
    lipFlapPlaying = false;
}

bool CharacterController::hasAnimation(const std::string& name) const
{
    Character* character = getCharacter();
    return character && character->hasAnimation(name);
}

std::string CharacterController::getCurrentAnimationName() const
{
    return queue.empty() ? idleAnimation : queue.front();
}

bool CharacterController::update(unsigned int appTime)
{
    if (!Controller::update(appTime))
        return false;
    Character* character = getCharacter();
    if (!character)
        return false;
    if (!character->isAnimating(currentAnimation))
    {
        playNextAnimation();
    }
    else if (queue.empty())
    {
        const unsigned int t = computeControlTime();
        if (t > nextBlinkTime)
        {
            character->playAnimation(blinkAnimation, RepeatType::Clamp);
            nextBlinkTime = t + nextBlinkDelay();
        }
    }
    return true;
}
}
