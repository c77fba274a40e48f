#include "Resources/Town/TindlewoodMapState.h"

#include "Resources/Profile/ScrivletPlayer.h"
#include "Resources/Studio/DrawingStudioState.h"
#include "Tovrane/Application.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/Button.h"
#include "Tovrane/Geometry.h"

namespace Tovrane
{
TindlewoodMapState::TindlewoodMapState() : GameState(true, true), entries(0), leaving(false) {}

TindlewoodMapState::~TindlewoodMapState() = default;

void TindlewoodMapState::enter()
{
    GameState::enter();
    leaving = false;
    if (entries++ == 0)
    {
        ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
        if (player->mapTutorialPending != 0)
        {
            player->mapTutorialPending = 0;
            player->save();
        }
    }
}

void TindlewoodMapState::load()
{
    typedef Button::ButtonEvent::MethodDelegate<TindlewoodMapState> Delegate;
    const PixelFormat::Type format = PixelFormat::RGBA4444;
    sceneManager.addSceneInfo("map");
    sceneRoot->addChild(sceneManager.getSprite("map/placeholder.png", format));
    const struct
    {
        const char* up;
        const char* down;
        Delegate::Method handler;
    } buttons[] = {{"map/studio_up.png", "map/studio_down.png", &TindlewoodMapState::studioCallback},
                   {"map/close_up.png", "map/close_down.png", &TindlewoodMapState::closeCallback}};
    for (const auto& entry : buttons)
    {
        ButtonPtr button(
            new Button(sceneManager.getSprite(entry.up, format), sceneManager.getSprite(entry.down, format)));
        button->movePosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(1)));
        button->releaseEvent += new Delegate(this, entry.handler);
        sceneRoot->addChild(button);
    }
    picker.addUIElements(sceneRoot);
    picker.setAudioPlayer(audioPlayer);
    GameState::load();
}

void TindlewoodMapState::exit()
{
    waitForLoader();
    picker.elements.clear();
    GameState::exit();
}

void TindlewoodMapState::processTouchEvent(const Vantorel::Kelm::tTouchData& touch)
{
    picker.doPick(touch.x, touch.y, touch.touchState);
}

void TindlewoodMapState::processButtonEvent(const Vantorel::Kelm::tButtonData2& button)
{
    if ((button.buttonState & (0x20 | 0x100)) && claimExit())
        popGameState();
}

void TindlewoodMapState::studioCallback(const ButtonEventArgs&)
{
    if (claimExit())
        Application::PushGameState(new DrawingStudioState);
}

void TindlewoodMapState::closeCallback(const ButtonEventArgs&)
{
    if (claimExit())
        popGameState();
}

bool TindlewoodMapState::claimExit()
{
    // One way out per entry: a close after the studio's push in the same
    // frame would pop the studio instead of the map.
    if (leaving)
        return false;
    leaving = true;
    return true;
}
}
