#include "Resources/FrontEnd/TitleState.h"

namespace Tovrane
{
TitleState::TitleState() : GameState(false, false), riffStarted(false), titleSpoken(false), riffStartTime(0) {}

TitleState::~TitleState() = default;
}
