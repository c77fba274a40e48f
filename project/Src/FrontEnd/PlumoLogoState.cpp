#include "Resources/FrontEnd/PlumoLogoState.h"

#include "Tovrane/Application.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/Character.h"

#include "Resources/Profile/ScrivletPlayer.h"
#include "Resources/FrontEnd/TitleState.h"

namespace Tovrane
{
const char* const PlumoLogoState::JingleFile = "h_SX_DeveloperLogoSfx_6.ogg";

PlumoLogoState::PlumoLogoState() : GameState(false, false), soundStarted(false), handedOver(false) {}

PlumoLogoState::~PlumoLogoState() = default;

void PlumoLogoState::load()
{
    sceneManager.addSceneInfo("plumo");
    characterController.reset(new CharacterController);
    // A missing logo is reported by the scene manager; the jingle still
    // plays and hands over.
    CharacterPtr logo = sceneManager.getCharacter("logo");
    if (logo)
    {
        logo->addController(characterController);
        // A stopped controller would never hand "on" over to "off".
        characterController->play();
        characterController->pushAnimation("on");
        characterController->pushAnimation("off");
        sceneRoot->addChild(logo);
    }
    soundStarted = false;
    handedOver = false;
    GameState::load();
}

void PlumoLogoState::update(unsigned int appTime)
{
    GameState::update(appTime);
    if (!soundStarted)
    {
        audioPlayer->playSfx(JingleFile);
        soundStarted = true;
    }
    else if (!audioPlayer->isSfxPlaying())
        pushGameState();
}

void PlumoLogoState::exit()
{
    waitForLoader();
    characterController.reset();
    GameState::exit();
}

void PlumoLogoState::processTouchEvent(const Vantorel::Kelm::tTouchData& touch)
{
    if (touch.touchState == 0 && ScrivletPlayer::getCurrentPlayerData()->firstLaunch == 0)
        pushGameState();
}

void PlumoLogoState::pushGameState()
{
    // However many taps arrive in the frame the jingle ends, one title.
    if (handedOver)
        return;
    handedOver = true;
    Application::PushGameState(new TitleState);
}
}
