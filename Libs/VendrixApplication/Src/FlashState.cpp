#include "Tovrane/FlashState.h"

#include "Tovrane/System.h"

#include "CAppManager.h"

namespace Tovrane
{
FlashState::FlashState(const std::string& name)
    : GameState(true, true), moviePath(System::getPath() + "flash/" + name), movieStarted(false),
      inactivityOff(false)
{
}

FlashState::~FlashState() = default;

void FlashState::enter()
{
    GameState::enter();
    movieStarted = false;
}

void FlashState::update(unsigned int appTime)
{
    GameState::update(appTime);
    if (!movieStarted)
    {
        movieStarted = true;
        inactivityOff = true;
        CAppManager::Instance()->EnableInactivity(false);
        CAppManager::Instance()->PushApp(Glib::ustring(moviePath), nullptr);
    }
    else
    {
        // The first frame after the movie: back to the state below.
        if (inactivityOff)
        {
            inactivityOff = false;
            CAppManager::Instance()->EnableInactivity(true);
        }
        popGameState();
    }
}

void FlashState::exit()
{
    // Leaving in the middle of a movie (the application closing) must not
    // leave the device's inactivity timer off.
    if (inactivityOff)
    {
        inactivityOff = false;
        CAppManager::Instance()->EnableInactivity(true);
    }
    GameState::exit();
}
}
