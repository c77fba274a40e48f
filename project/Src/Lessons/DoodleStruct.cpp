#include "Resources/Lessons/DoodleStruct.h"

namespace Tovrane
{
DoodleStruct::DoodleStruct()
    : controller(new DoodleCharacterController2), talkerPrologue(false), talkerEpilogue(false), talking(false),
      pos{0, 0, 0}, scale{0.0f, 0.0f, 0.0f}
{
}
}
