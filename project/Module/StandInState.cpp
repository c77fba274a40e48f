#include "StandInState.h"

#include "Tovrane/Application.h"

namespace Tovrane
{
StandInState::StandInState(Maker above) : GameState(false, true), above(above), pushed(false) {}

void StandInState::enter()
{
    GameState::enter();
    if (pushed)
    {
        Application::PopGameState();
        return;
    }
    pushed = true;
    Application::PushGameState(above());
}
}
