#include "Resources/MiniGames/PickPineapplesState.h"

#include "Tovrane/AudioPlayer.h"
#include "Tovrane/Button.h"
#include "Tovrane/Character.h"
#include "Tovrane/CharacterController.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/TiledBillboard.h"

namespace Tovrane
{
namespace
{
const char* const CloseQuestion = "h_SCRIVLET_TapOnPnpplThtSmsCls_3.ogg";
const char* const FarQuestion = "h_SCRIVLET_TapOnPnpplThtLksFrA_3.ogg";
}

PickPineapplesState::PickPineapplesState() : MiniGameState("CPH"), phase(0) {}

PickPineapplesState::~PickPineapplesState() = default;

void PickPineapplesState::load()
{
    typedef Button::ButtonEvent::MethodDelegate<PickPineapplesState> Delegate;
    picker.elements.clear();
    phase = 0;
    sceneManager.addSceneInfo("composition_p3");
    sceneNode.reset(new Node);
    makeGuide(true);
    if (guide)
        guide->movePosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(2)));
    currentInstruction = CloseQuestion;
    if (guide)
        sceneNode->addChild(guide);
    sceneNode->addChild(TiledBillboardPtr(new TiledBillboard(sceneManager.getTexture("composition_p3/bg.png"), 128)));
    const struct
    {
        const char* picture;
        Delegate::Method handler;
    } pineapples[] = {{"composition_p3/large_pineapple.png", &PickPineapplesState::largeCallback},
                      {"composition_p3/small_pineapple.png", &PickPineapplesState::smallCallback}};
    for (const auto& pineapple : pineapples)
    {
        ButtonPtr button(new Button(sceneManager.getSprite(pineapple.picture, PixelFormat::RGBA4444), SpatialPtr()));
        button->releaseEvent += new Delegate(this, pineapple.handler);
        sceneNode->addChild(button);
    }
    sceneRoot->addChild(sceneNode);
    buildQuitDialog();
    picker.addUIElements(sceneRoot);
    // The guide already faces the child: the first talk starts speaking.
    setState(1, 1);
    GameState::load();
}

void PickPineapplesState::update(unsigned int appTime)
{
    GameState::update(appTime);
    if (state == 1)
        stepQuestionTalk(state, step, phase, FarQuestion, false);
}

void PickPineapplesState::exit()
{
    waitForLoader();
    sceneNode.reset();
    GameState::exit();
}

void PickPineapplesState::processTouchEvent(const Vantorel::Kelm::tTouchData& touch)
{
    // The dialog's buttons and the pineapples alike, while the game waits.
    if (inputReady)
        picker.doPick(touch.x, touch.y, touch.touchState);
}

void PickPineapplesState::processButtonEvent(const Vantorel::Kelm::tButtonData2& button)
{
    if (isQuitButton(button))
        openQuitDialog();
    else if (isRepeatButton(button) && inputReady)
    {
        setState(1, 0);
        inputReady = false;
    }
}

void PickPineapplesState::largeCallback(const ButtonEventArgs&) { judge(true); }

void PickPineapplesState::smallCallback(const ButtonEventArgs&) { judge(false); }

void PickPineapplesState::judge(bool large)
{
    if (dialogOpen)
        return;
    setState(1, 0);
    // The large pineapple is the close one: right in phase 0 only.
    const bool right = large == (phase == 0);
    audioPlayer->playSfx(right ? BaseAudio::CorrectAnswer : BaseAudio::WrongAnswer);
    if (large)
    {
        currentInstruction = right ? "h_SCRIVLET_ThisPnpplLksClsrBcs_3.ogg" : FarQuestion;
        if (right)
            phase = 1;
        logLarge(right);
    }
    else
    {
        currentInstruction = right ? "h_SCRIVLET_ThisPnpplLksVryFrAw_3.ogg" : CloseQuestion;
        if (right)
        {
            phase = 3;
            exitReason = ActivityExitReason::Completed;
        }
        logSmall(right);
    }
    inputReady = false;
}

void PickPineapplesState::logLarge(bool correct)
{
    if (correct)
        logCorrect(AnswerId, "IDENTIFIED CLOSE OBJECT");
    else
        logWrong(AnswerId, "MISTOOK CLOSE OBJECT FOR FAR OBJECT");
}

void PickPineapplesState::logSmall(bool correct)
{
    if (correct)
        logCorrect(AnswerId, "IDENTIFIED FAR OBJECT");
    else
        logWrong(AnswerId, "MISTOOK FAR OBJECT FOR CLOSE OBJECT");
}
}
