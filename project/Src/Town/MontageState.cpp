#include "Resources/Town/MontageState.h"

#include "Tovrane/Geometry.h"

namespace Tovrane
{
MontageState::MontageState() : GameState(true, false), startTime(0), started(false) {}

MontageState::~MontageState() = default;

void MontageState::enter()
{
    GameState::enter();
    started = false;
}

void MontageState::load()
{
    sceneManager.addSceneInfo("montage");
    sceneRoot->addChild(sceneManager.getSprite("montage/card.png", PixelFormat::RGBA4444));
    GameState::load();
}

void MontageState::update(unsigned int appTime)
{
    GameState::update(appTime);
    if (!started)
    {
        started = true;
        startTime = appTime;
    }
    else if (appTime - startTime >= Duration)
        popGameState();
}

void MontageState::processTouchEvent(const Vantorel::Kelm::tTouchData& touch)
{
    if (touch.touchState == 0)
        popGameState();
}
}
