#include "Resources/MiniGames/SkyGroundState.h"

#include "Tovrane/AudioPlayer.h"
#include "Tovrane/Character.h"
#include "Tovrane/CharacterController.h"
#include "Tovrane/TiledBillboard.h"

namespace Tovrane
{
namespace
{
const char* const SkyQuestion = "h_SCRIVLET_WhichSdOfHrznLnIsSk_3.ogg";
const char* const GroundQuestion = "h_SCRIVLET_NowTchGrndWthYrStyl_3.ogg";
}

SkyGroundState::TalkState::TalkState(const std::string& speech) : step(0), speech(speech) {}

void SkyGroundState::TalkState::enter(SkyGroundState* game)
{
    game->guideController->setIdleAnimation("p1_idle");
    game->guideController->pushAnimation("p2_to_p1");
    game->inputReady = false;
}

void SkyGroundState::TalkState::update(SkyGroundState* game)
{
    switch (step)
    {
    case 0:
        if (!game->isGuideIdle())
            return;
        game->guideController->playLipFlapAnimation(true);
        game->audioPlayer->playSpeech(speech);
        step = 1;
        break;
    case 1:
        if (game->isSpeaking())
            return;
        game->guideController->stopLipFlapAnimation();
        game->guideController->setIdleAnimation("p2_idle");
        game->guideController->pushAnimation("p1_to_p2");
        step = 2;
        break;
    default:
        if (game->isGuideIdle())
            game->endTalk(); // destroys this talk
        break;
    }
}

void SkyGroundState::TalkState::exit(SkyGroundState* game) { game->inputReady = true; }

SkyGroundState::SkyGroundState() : MiniGameState("CPH"), phase(0) {}

SkyGroundState::~SkyGroundState() = default;

void SkyGroundState::load()
{
    currentState.reset();
    picker.elements.clear();
    phase = 0;
    sceneManager.addSceneInfo("composition_p0");
    sceneManager.addSceneInfo("composition_p1");
    TiledBillboardPtr background(new TiledBillboard(sceneManager.getTexture("composition_p0/sky_ground.png"), 128));
    makeGuide(false);
    buildQuitDialog();
    currentInstruction = SkyQuestion;
    setState(new TalkState(currentInstruction));
    sceneRoot->addChild(background);
    if (guide)
        sceneRoot->addChild(guide);
    GameState::load();
}

void SkyGroundState::setState(BaseState* next)
{
    if (currentState)
        currentState->exit(this);
    currentState.reset(next);
    if (currentState)
        currentState->enter(this);
}

void SkyGroundState::endTalk() { setState(nullptr); }

void SkyGroundState::update(unsigned int appTime)
{
    GameState::update(appTime);
    if (currentState)
    {
        currentState->update(this);
        return;
    }
    if (phase == 1)
    {
        currentInstruction = GroundQuestion;
        setState(new TalkState(currentInstruction));
        phase = 2;
        currentState->update(this);
    }
    else if (phase == 3)
        finish();
}

void SkyGroundState::exit()
{
    waitForLoader();
    // Dropped without its exit: input does not matter any more.
    currentState.reset();
    GameState::exit();
}

void SkyGroundState::processTouchEvent(const Vantorel::Kelm::tTouchData& touch)
{
    if (dialogOpen)
    {
        picker.doPick(touch.x, touch.y, touch.touchState);
        return;
    }
    if (inputReady)
        judge(touch.y);
}

void SkyGroundState::judge(int row)
{
    if (phase == 0)
    {
        if (row <= SkyRow)
        {
            audioPlayer->playSfx(BaseAudio::CorrectAnswer);
            currentInstruction = "h_SCRIVLET_YesThatsIt_5.ogg";
            setState(new TalkState(currentInstruction));
            phase = 1;
            logCorrect(AnswerId, "IDENTIFIED SKY");
            return;
        }
        currentInstruction = nextRandom() % 2 == 0 ? "h_SCRIVLET_TheSkyIsBlThsDrwng_3.ogg"
                                                   : "h_SCRIVLET_TheSkyIsAbvThHrznLn_3.ogg";
        setState(new TalkState(currentInstruction));
        audioPlayer->playSfx(BaseAudio::WrongAnswer);
        logWrong(AnswerId, "MISTOOK GROUND FOR SKY");
    }
    else if (phase == 2)
    {
        if (row >= GroundRow)
        {
            audioPlayer->playSfx(BaseAudio::CorrectAnswer);
            currentInstruction = "h_SCRIVLET_YesGrndIsBlwHrznLn_3.ogg";
            setState(new TalkState(currentInstruction));
            phase = 3;
            exitReason = ActivityExitReason::Completed;
            logCorrect(AnswerId, "IDENTIFIED GROUND");
            return;
        }
        currentInstruction = nextRandom() % 2 == 0 ? "h_SCRIVLET_TheGrndIsGrnThsDrwn_3.ogg"
                                                   : "h_SCRIVLET_TheGrndIsBlwHrznLn_3.ogg";
        setState(new TalkState(currentInstruction));
        audioPlayer->playSfx(BaseAudio::WrongAnswer);
        logWrong(AnswerId, "MISTOOK SKY FOR GORUND");
    }
}

void SkyGroundState::processButtonEvent(const Vantorel::Kelm::tButtonData2& button)
{
    if (isQuitButton(button))
        openQuitDialog();
    if (inputReady && isRepeatButton(button))
    {
        inputReady = false;
        setState(new TalkState(currentInstruction));
    }
}
}
