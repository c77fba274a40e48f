#include "Resources/Studio/DrawingStudioState.h"

#include "Resources/Profile/ScrivletPlayer.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/GameLog.h"

#include "EscapeControls.h"

#include <cstdlib>
#include <iostream>

namespace Tovrane
{
namespace
{
const std::uint32_t Directions = 0xF;
const std::uint32_t ActionButtons = 0x3F0;
const char* const GameArea = "STUDIO";
}

const char* const DrawingStudioState::BlankIntroSpeech = "h_SCRIVLET_ChooseAnArtTlTUs_3.ogg";
const char* const DrawingStudioState::ArtTutorialSpeech = "h_VIDORIV_ThereArSMnyArtTlsTCh_5.ogg";
const char* const DrawingStudioState::FlipbookQuestionSpeech = "h_SCRIVLET_ChooseWhchPgsOfYrFl_3.ogg";
const char* const DrawingStudioState::FlipbookPlaySpeech = "h_SCRIVLET_PlayYrFlpBkAnmtnByP_3.ogg";
const char* const DrawingStudioState::MusicFiles[3] = {
    "h_MUSIC_ArtStudioMusic1_6.ogg", "h_MUSIC_ArtStudioMusic2_6.ogg", "h_MUSIC_ArtStudioMusic3_6.ogg"};

int DrawingStudioState::lastMusic = -1;
bool DrawingStudioState::firstArtModeActivation = true;
bool DrawingStudioState::firstAnimationModeActivation = true;

DrawingStudioState::DrawingStudioState()
    : GameState(false, true), tutorialStep(0), introSpeech(BlankIntroSpeech), tutorialAllowed(true)
{
    GameLog::gameAreaStart(GameArea);
}

DrawingStudioState::DrawingStudioState(const std::string& path, const std::string& speech)
    : GameState(false, true), tutorialStep(0), picturePath(path), introSpeech(speech), tutorialAllowed(false)
{
    GameLog::gameAreaStart(GameArea);
}

DrawingStudioState::~DrawingStudioState() { GameLog::gameAreaEnd(); }

void DrawingStudioState::load()
{
    repeatMask |= Directions;
    studio.reset();
    if (!picturePath.empty())
    {
        TexturePtr picture = Texture::fromFile(picturePath);
        if (!picture)
            std::cout << "Could not read the picture " << escapeControls(picturePath) << "; the studio starts blank"
                      << std::endl;
        else if (picture->getWidth() > MaxPictureSide || picture->getHeight() > MaxPictureSide)
            std::cout << "The picture " << escapeControls(picturePath) << " is larger than " << MaxPictureSide << " x "
                      << MaxPictureSide << "; the studio starts blank" << std::endl;
        else
            studio.reset(new Studio(picture, true));
    }
    if (!studio)
        studio.reset(new Studio(640, 480, false, true));
    studio->setUndoStackSize(3);
    studio->showToolbar(true);
    studio->setAudioPlayer(audioPlayer);
    studio->saveEvent += new Event<void, const ImageSaveEventArgs&>::MethodDelegate<DrawingStudioState>(
        this, &DrawingStudioState::saveCallback);
    if (firstAnimationModeActivation)
        studio->modeEvent += new Event<void, const StudioModeEventArgs&>::MethodDelegate<DrawingStudioState>(
            this, &DrawingStudioState::modeCallback);
    sceneRoot->addChild(studio->root);
    sceneRoot->addChild(studio->uiRoot);
    GameState::load();
}

void DrawingStudioState::begin()
{
    playMusic();
    if (tutorialAllowed && firstArtModeActivation)
    {
        tutorialStep = 1;
        firstArtModeActivation = false;
    }
    else
        tutorialStep = 0;
    audioPlayer->playSpeech(introSpeech);
    GameState::begin();
}

void DrawingStudioState::update(unsigned int appTime)
{
    GameState::update(appTime);
    studio->updateControllers(appTime);
    if (tutorialStep == 0 || audioPlayer->isSpeechPlaying())
        return;
    switch (tutorialStep)
    {
    case 1:
        audioPlayer->playSpeech(ArtTutorialSpeech);
        studio->showMainToolbarHighlight(true);
        tutorialStep = 2;
        break;
    case 2:
        studio->showMainToolbarHighlight(false);
        tutorialStep = 0;
        break;
    case 3:
        audioPlayer->playSpeech(FlipbookPlaySpeech);
        studio->showFlipbookToolbarHighlight(false);
        studio->showPlayButtonHighlight(true);
        tutorialStep = 4;
        break;
    default:
        studio->showPlayButtonHighlight(false);
        tutorialStep = 0;
        break;
    }
}

void DrawingStudioState::exit()
{
    waitForLoader();
    // A line whose end the studio listens for ends while the studio is there.
    if (studio)
        audioPlayer->stopSpeech();
    studio.reset();
    GameState::exit();
}

void DrawingStudioState::processTouchEvent(const Vantorel::Kelm::tTouchData& touch)
{
    if (tutorialStep == 0)
        studio->handleTouchEvent(touch.x, touch.y, touch.touchState);
}

void DrawingStudioState::processButtonEvent(const Vantorel::Kelm::tButtonData2& button)
{
    // A button held while another is pressed must not act again: the
    // actions come with the press only, the directions for as long as held.
    const std::uint32_t buttons =
        (button.buttonState & Directions) | (button.buttonState & button.buttonTransition & ActionButtons);
    if (tutorialStep == 0 && buttons)
        studio->handleButtonEvent(static_cast<int>(buttons));
}

void DrawingStudioState::playMusic()
{
    int track = std::rand() % 3;
    while (track == lastMusic)
        track = std::rand() % 3;
    lastMusic = track;
    audioPlayer->playMusic(MusicFiles[track]);
}

void DrawingStudioState::saveCallback(const ImageSaveEventArgs&)
{
    ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    const int used = player->getNumberOfImageSlotsInUse();
    if (used == 1 && player->unlockBadge(BadgeName::FirstGalleryPicture))
        showAchievementWindow("FIRST ART GALLERY IMAGE", false);
    else if (used == ScrivletPlayer::imageSlotCount && player->unlockBadge(BadgeName::FullGallery))
        showAchievementWindow("FILL THE ART GALLERY", false);
}

void DrawingStudioState::modeCallback(const StudioModeEventArgs& args)
{
    if (!firstAnimationModeActivation || args.mode != StudioMode::Flipbook)
        return;
    tutorialStep = 3;
    firstAnimationModeActivation = false;
    audioPlayer->playSpeech(FlipbookQuestionSpeech);
    studio->showFlipbookToolbarHighlight(true);
}
}
