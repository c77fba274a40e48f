#include "Resources/FrontEnd/WelcomeBackState.h"

#include "Resources/Profile/ScrivletPlayer.h"
#include "Resources/Town/MontageState.h"
#include "Tovrane/Application.h"
#include "Tovrane/FlashState.h"

namespace Tovrane
{
const char* const WelcomeBackState::IntroMovie = "ActionNews_Middle_Intro.swf";
const char* const WelcomeBackState::EndMovie = "ActionNews_Middle_End.swf";

WelcomeBackState::WelcomeBackState() : GameState(true, true), step(0), done(false) {}

WelcomeBackState::~WelcomeBackState() = default;

bool WelcomeBackState::isSequenceDue()
{
    const ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    return player->locationStates[LocationName::Firehouse] == TaskState::Complete &&
           player->locationStates[LocationName::SpookyMansion] != TaskState::Complete;
}

void WelcomeBackState::enter()
{
    GameState::enter();
    if (!isSequenceDue())
        done = true;
    else if (step == 0)
        Application::PushGameState(new FlashState(IntroMovie));
    else if (step == 1)
        Application::PushGameState(new MontageState);
    else if (step == 2)
        Application::PushGameState(new FlashState(EndMovie));
    ++step;
}

void WelcomeBackState::update(unsigned int)
{
    if (step >= 4 || done)
        popGameState();
}
}
