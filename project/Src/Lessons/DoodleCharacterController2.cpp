#include "Resources/Lessons/DoodleCharacterController2.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, DoodleCharacterController2, CharacterController);

DoodleCharacterController2::DoodleCharacterController2()
    : talking(false), body("idle"), eyes("blink"), mouth("mouth")
{
}

DoodleCharacterController2::~DoodleCharacterController2() = default;

std::string DoodleCharacterController2::getBodyAnimationName() const { return pose + "_" + body; }

std::string DoodleCharacterController2::getMouthAnimationName() const
{
    return pose + "_" + body + "_" + mouth + (mood.empty() ? std::string() : "_" + mood);
}

void DoodleCharacterController2::setPose(std::string newPose)
{
    if (newPose == pose || !hasAnimation(newPose + "_idle"))
        return;
    if (!pose.empty())
        pushAnimation(pose + "_to_" + newPose);
    pose = newPose;
    if (!hasAnimation(getBodyAnimationName()))
        body = "idle";
    setBlinkAnimation(pose + "_" + eyes);
    startBody();
    if (isLipFlapPlaying())
        startMouth();
}

void DoodleCharacterController2::setMood(std::string newMood) { mood = newMood; }

void DoodleCharacterController2::playBodyAction(std::string action, bool stopMouth)
{
    body = action;
    if (stopMouth)
        stopLipFlapAnimation();
    else
        startMouth();
    startBody();
}

void DoodleCharacterController2::playMouthAction(std::string action)
{
    mouth = action;
    startMouth();
}

void DoodleCharacterController2::startBody() { setIdleAnimation(getBodyAnimationName()); }

void DoodleCharacterController2::startMouth()
{
    setLipFlapAnimation(getMouthAnimationName(), true);
    playLipFlapAnimation(true);
}
}
