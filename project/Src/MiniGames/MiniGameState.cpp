#include "Resources/MiniGames/MiniGameState.h"

#include "Resources/Dialogs/DialogBox.h"
#include "Resources/Dialogs/DialogBoxController.h"
#include "Tovrane/Application.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/Character.h"
#include "Tovrane/CharacterController.h"
#include "Tovrane/GameLog.h"

#include <cstdlib>

namespace Tovrane
{
namespace
{
// Every third wrong answer is recorded.
const int WrongAnswersPerRecord = 3;
}

MiniGameState::MiniGameState(const std::string& activityCode)
    : GameState(true, true), dialogOpen(false), inputReady(false), exitReason(ActivityExitReason::Unfinished),
      wrongCount(0), state(0), step(0), left(false)
{
    GameLog::activityStart(activityCode, "NA", "1");
}

MiniGameState::~MiniGameState() { GameLog::activityEnd(exitReason); }

CharacterPtr MiniGameState::makeCharacter(const std::string& name, CharacterControllerPtr& controller, bool blink)
{
    controller.reset(new CharacterController);
    CharacterPtr character = sceneManager.getCharacter(name);
    if (!character)
        return character;
    character->addController(controller);
    controller->setIdleAnimation("p1_idle");
    if (blink)
        controller->setBlinkAnimation("p1_blink");
    return character;
}

void MiniGameState::makeGuide(bool blink)
{
    guide = makeCharacter("scv", guideController, blink);
    guideController->setLipFlapAnimation("p1_talk", true);
    guideController->play();
}

void MiniGameState::buildQuitDialog()
{
    dialogHolder.reset(new Node);
    dialogController.reset(new DialogBoxController);
    dialogController->audioPlayer = audioPlayer;
    dialogController->promptSpeech = "h_SCRIVLET_AreYSrYWntTQt_4.ogg";
    dialogBox.reset(new DialogBox(true));
    // Drawn after the scene.
    dialogBox->movePosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(3)));
    dialogBox->addController(dialogController);
    dialogBox->cullingMode = CullingMode::Show;
    dialogBox->dialogEvent += new DialogBox::DialogEvent::MethodDelegate<MiniGameState>(
        this, &MiniGameState::dialogBoxCallback);
    dialogHolder->cullingMode = CullingMode::Hide;
    dialogHolder->addChild(dialogBox);
    sceneRoot->addChild(dialogHolder);
    dialogOpen = false;
    picker.addUIElements(dialogHolder);
}

bool MiniGameState::isQuitButton(const Vantorel::Kelm::tButtonData2& button)
{
    return button.buttonState == BackButton || button.buttonState == MenuButton;
}

bool MiniGameState::isRepeatButton(const Vantorel::Kelm::tButtonData2& button)
{
    return button.buttonState == RepeatButton;
}

bool MiniGameState::openQuitDialog()
{
    // The question never interrupts the guide.
    if (audioPlayer->isSpeechPlaying())
        return false;
    dialogHolder->cullingMode = CullingMode::Show;
    dialogBox->cullingMode = CullingMode::Show;
    dialogController->restart();
    dialogOpen = true;
    return true;
}

void MiniGameState::dialogBoxCallback(const DialogEventArgs& args)
{
    if (args.result == DialogEventArgs::Yes && !left)
    {
        exitReason = ActivityExitReason::QuitByChild;
        audioPlayer->playSpeech("h_VIDORIV_Yes_3.ogg");
        // The game and the launcher below it.
        left = true;
        Application::PopGameState();
        Application::PopGameState();
    }
    else if (args.result == DialogEventArgs::No)
        audioPlayer->playSpeech("h_VIDORIV_No_3.ogg");
    dialogOpen = false;
    onQuitAnswered(args.result);
}

void MiniGameState::onQuitAnswered(int) {}

void MiniGameState::turnToChild(bool blink)
{
    guideController->pushAnimation("p2_to_p1");
    guideController->setIdleAnimation("p1_idle");
    if (blink)
        guideController->setBlinkAnimation("p1_blink");
}

void MiniGameState::turnAway(bool blink)
{
    guideController->pushAnimation("p1_to_p2");
    guideController->setIdleAnimation("p2_idle");
    if (blink)
        guideController->setBlinkAnimation("p2_blink");
}

void MiniGameState::stepQuestionTalk(int& state, int& step, int& phase, const char* secondQuestion, bool afterSound)
{
    switch (step)
    {
    case 0:
        turnToChild(true);
        break;
    case 1:
        if (!isGuideIdle() || (afterSound && audioPlayer->isSfxPlaying()))
            return;
        guideController->playLipFlapAnimation(true);
        audioPlayer->playSpeech(currentInstruction);
        break;
    case 2:
        if (isSpeaking())
            return;
        guideController->stopLipFlapAnimation();
        turnAway(true);
        break;
    case 3:
        // Without waiting for the turn: the next step follows at once.
        if (phase == 1)
        {
            currentInstruction = secondQuestion;
            phase = 2;
            step = 0;
        }
        else if (phase == 0 || phase == 2)
        {
            step = 0;
            inputReady = true;
            state = 0;
        }
        else if (phase == 3)
            finish();
        return;
    default:
        return;
    }
    ++step;
}

bool MiniGameState::isGuideIdle() const { return guideController->isAnimationQueueEmpty(); }

bool MiniGameState::isSpeaking() const { return audioPlayer->isSpeechPlaying(); }

bool MiniGameState::sayInstructionWhenIdle()
{
    if (!isGuideIdle())
        return false;
    audioPlayer->playSpeech(currentInstruction);
    guideController->playLipFlapAnimation(true);
    return true;
}

void MiniGameState::setState(int newState, int newStep)
{
    state = newState;
    step = newStep;
}

void MiniGameState::logCorrect(int answerId, const std::string& text) { GameLog::correctAnswer(answerId, "", text); }

void MiniGameState::logWrong(int answerId, const std::string& text)
{
    if (++wrongCount < WrongAnswersPerRecord)
        return;
    GameLog::wrongAnswer(answerId, "", text);
    wrongCount = 0;
}

void MiniGameState::finish()
{
    if (left)
        return;
    left = true;
    Application::PopGameState();
}

int MiniGameState::nextRandom()
{
    // Never negative, whatever a scripted source gives: the games index
    // tables with it.
    return (randomSource ? randomSource() : std::rand()) & 0x7FFFFFFF;
}
}
