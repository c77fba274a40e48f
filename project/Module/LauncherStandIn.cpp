#include "LauncherStandIn.h"

#include "Tovrane/Application.h"

namespace Tovrane
{
LauncherStandIn::LauncherStandIn(StepMaker step) : GameState(false, true), step(step), entries(0), done(false) {}

LauncherStandIn::~LauncherStandIn() = default;

void LauncherStandIn::enter()
{
    GameState::enter();
    ++entries;
    done = false;
}

void LauncherStandIn::update(unsigned int appTime)
{
    GameState::update(appTime);
    if (done)
        return;
    done = true;
    if (entries == 1)
        Application::PushGameState(step());
    else
        popGameState();
}
}
