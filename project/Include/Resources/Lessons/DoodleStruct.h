#ifndef RESOURCES_DOODLESTRUCT_H
#define RESOURCES_DOODLESTRUCT_H

#include "Resources/Lessons/DoodleCharacterController2.h"

#include "Tovrane/Character.h"

#include <string>

namespace Tovrane
{
// One character of a task, as its file describes it. Every record makes its
// own controller; copies share the controller and the character.
struct DoodleStruct
{
    DoodleStruct();

    DoodleCharacterController2Ptr controller;
    // Fetched by the task studio when it loads; released when it leaves.
    CharacterPtr character;
    std::string directory;
    std::string name;
    std::string talkPose;
    std::string listenPose;
    std::string initialMood;
    bool talkerPrologue;
    bool talkerEpilogue;
    // The character speaks now.
    bool talking;
    // Position as read; the studio halves x and y when it places the character.
    int pos[3];
    float scale[3];
};
}

#endif
