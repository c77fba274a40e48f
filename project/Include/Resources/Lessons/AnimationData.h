#ifndef RESOURCES_ANIMATIONDATA_H
#define RESOURCES_ANIMATIONDATA_H

#include "Tovrane/Character.h"
#include "Tovrane/CharacterController.h"

#include <string>

namespace Tovrane
{
// A scene character that plays an animation over a line once it is finished.
struct AnimationData
{
    // The line has an animation ("animation_name" not empty).
    bool present = false;
    std::string characterName;
    std::string animationID;
    // Made by the task studio when it loads.
    CharacterPtr character;
    CharacterControllerPtr characterController;
};
}

#endif
