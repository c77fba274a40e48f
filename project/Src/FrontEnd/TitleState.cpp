#include "Resources/FrontEnd/TitleState.h"

#include "Resources/FrontEnd/MainMenuState.h"
#include "Resources/Profile/ScrivletPlayer.h"
#include "Tovrane/Application.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/Geometry.h"

namespace Tovrane
{
const char* const TitleState::RiffFile = "h_MUSIC_TitleIntroRiff_6.ogg";
const char* const TitleState::TitleSpeech = "h_SCRIVLET_ScrvltAndFrndsSvTnd_5.ogg";

TitleState::TitleState()
    : GameState(false, false), riffStarted(false), titleSpoken(false), riffStartTime(0), handedOver(false)
{
}

TitleState::~TitleState() = default;

void TitleState::load()
{
    sceneManager.addSceneInfo("title");
    sceneRoot->addChild(sceneManager.getSprite("title/background.png", PixelFormat::RGBA4444));
    GameState::load();
}

void TitleState::update(unsigned int appTime)
{
    GameState::update(appTime);
    if (!audioPlayer->isSfxPlaying())
    {
        if (!riffStarted)
        {
            audioPlayer->playSfx(RiffFile);
            riffStarted = true;
            riffStartTime = appTime;
        }
        else if (!handedOver)
        {
            // The riff has been heard to its end: from now on a tap skips it.
            ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
            player->firstLaunch = 0;
            player->save();
            openMenu();
        }
    }
    // Not once the menu is on its way: the title's exit would cut it at once.
    if (!handedOver && !titleSpoken && !audioPlayer->isSpeechPlaying() && appTime - riffStartTime >= SpeechDelay)
    {
        audioPlayer->playSpeech(TitleSpeech);
        titleSpoken = true;
    }
}

void TitleState::processTouchEvent(const Vantorel::Kelm::tTouchData& touch)
{
    if (touch.touchState == 0 && ScrivletPlayer::getCurrentPlayerData()->firstLaunch == 0)
        openMenu();
}

void TitleState::openMenu()
{
    if (handedOver)
        return;
    handedOver = true;
    Application::PushGameState(new MainMenuState);
}
}
