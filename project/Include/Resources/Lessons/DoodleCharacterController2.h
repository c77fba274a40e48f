#ifndef RESOURCES_DOODLECHARACTERCONTROLLER2_H
#define RESOURCES_DOODLECHARACTERCONTROLLER2_H

#include "Tovrane/CharacterController.h"

#include <string>

namespace Tovrane
{
class DoodleCharacterController2;
typedef boost::shared_ptr<DoodleCharacterController2> DoodleCharacterController2Ptr;

// A task character in layers: a pose with its body, eyes and mouth, and a mood.
// The character's animations are named after the layers:
//   <pose>_idle              the pose exists (and is its plain body)
//   <old>_to_<new>           the turn from one pose to another, played once
//   <pose>_<body>            the body, looping (body "idle" by default)
//   <pose>_<eyes>            the blink laid over the body (eyes "blink")
//   <pose>_<body>_<mouth>_<mood>, or <pose>_<body>_<mouth> when the mood is
//                            empty: the mouth, through the lip flap ("mouth"
//                            a closed mouth, "talk" speaking)
// Names the character lacks are ignored.
class DoodleCharacterController2 : public CharacterController
{
    TOVRANE_DECLARE_RTTI(DoodleCharacterController2)

public:
    DoodleCharacterController2();
    ~DoodleCharacterController2() override;

    // Turns to the pose when the character has <pose>_idle and it is not the
    // current one; the body keeps its action when the new pose has it.
    void setPose(std::string pose);
    // Used by the mouth names from now on.
    void setMood(std::string mood);
    // The body's action: the mouth restarts with it, or, with stopMouth,
    // the lip flap stops.
    void playBodyAction(std::string action, bool stopMouth);
    // The mouth's action, started at once.
    void playMouthAction(std::string action);

    const std::string& getPose() const { return pose; }
    const std::string& getMood() const { return mood; }
    std::string getBodyAnimationName() const;
    std::string getMouthAnimationName() const;

    // Copied from the task character's own flag after every change.
    bool talking;

private:
    void startBody();
    void startMouth();

    std::string pose;
    std::string body;
    std::string eyes;
    std::string mouth;
    std::string mood;
};
}

#endif
