#include "Resources/MiniGames/MixingColorsState.h"

#include "Resources/Dialogs/DialogBox.h"
#include "Resources/Studio/LessonColorPie.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/BlinkController.h"
#include "Tovrane/Character.h"
#include "Tovrane/CharacterController.h"

namespace Tovrane
{
namespace
{
const char* const MixedSound = "h_SX_ColorsMixedSfx_6.ogg";
typedef ColorPie::PieColor PieColor;

// What a correct drop does, by the colour being made and the primary awaited.
struct MixStep
{
    int target, awaited;
    int nextTarget, nextAwaited;
    // The record of a finished mix (which then uncovers its segment and
    // empties the pie), or none for the first colour of a pair.
    const char* record;
    GeometryPtr MixingColorsState::*overlay;
    const char* lines[4];
};
}

MixingColorsState::MixingColorsState()
    : MiniGameState("PSC"), awaitedColor(AwaitRed), targetColor(MakeOrange), missCount(0),
      blinking(false)
{
}

MixingColorsState::~MixingColorsState() = default;

void MixingColorsState::load()
{
    typedef LessonColorPie::PieEvent::MethodDelegate<MixingColorsState> PieDelegate;
    const PixelFormat::Type format = PixelFormat::RGBA4444;
    // The pie and its centre one step above the scene.
    const tFixed pieDepth = tFixed::fromRaw(0x11999);
    picker.elements.clear();
    speechQueue.clear();
    missCount = 0;
    blinking = false;

    charactersNode.reset(new Node);
    pieNode.reset(new Node);
    sceneManager.addSceneInfo("color_pie");
    GeometryPtr center = sceneManager.getSprite("color_pie/center_mask.png", format);
    pie.reset(new LessonColorPie(sceneManager.getSprite("color_pie/color_wheel.png", format),
                                 sceneManager.getSprite("studio/color_picker/color_cursor_big.png", format)));
    pie->setCenter(center);
    pie->audioPlayer = audioPlayer;
    pie->releaseEvent += new PieDelegate(this, &MixingColorsState::colorWheelPostCallback);
    pie->pressEvent += new PieDelegate(this, &MixingColorsState::colorWheelPreCallback);
    pie->movePosition(Vector3<tFixed>(tFixed(100), tFixed(120), pieDepth));
    center->movePosition(Vector3<tFixed>(tFixed(0), tFixed(0), pieDepth));
    pieNode->cullingMode = CullingMode::Show;
    pieNode->addChild(pie);
    picker.addUIElements(pieNode);
    sceneRoot->addChild(pieNode);

    purpleOverlay = sceneManager.getSprite("color_pie/purple_overlay.png", format);
    orangeOverlay = sceneManager.getSprite("color_pie/orange_overlay.png", format);
    greenOverlay = sceneManager.getSprite("color_pie/green_overlay.png", format);
    const struct
    {
        const char* picture;
        BlinkControllerPtr MixingColorsState::*blink;
    } highlights[] = {{"color_pie/red_highlight.png", &MixingColorsState::redBlink},
                      {"color_pie/blue_highlight.png", &MixingColorsState::blueBlink},
                      {"color_pie/yellow_highlight.png", &MixingColorsState::yellowBlink}};
    for (const auto& entry : highlights)
    {
        GeometryPtr highlight = sceneManager.getSprite(entry.picture, format);
        highlight->cullingMode = CullingMode::Hide;
        (this->*entry.blink).reset(new BlinkController(500));
        highlight->addController(this->*entry.blink);
        pie->addChild(highlight);
    }
    for (const GeometryPtr& overlay : {purpleOverlay, orangeOverlay, greenOverlay})
        pie->addChild(overlay);

    sceneManager.addSceneInfo("colors");
    makeGuide(true);
    if (guide)
    {
        guide->movePosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(2)));
        charactersNode->addChild(guide);
    }
    // The three colour friends only idle and blink.
    for (const char* name : {"red", "blu", "yel"})
    {
        CharacterControllerPtr controller;
        if (CharacterPtr friendly = makeCharacter(name, controller, true))
        {
            controller->play();
            charactersNode->addChild(friendly);
        }
    }
    buildQuitDialog();
    sceneRoot->addChild(charactersNode);

    speechQueue = {"h_SCRIVLET_LetsMkThClrOrng_3.ogg", "h_SCRIVLET_ItsMdByMxngPrmryClr_3.ogg",
                   "h_SCRIVLET_UseYrStylsTDrgSmRdI_3.ogg"};
    currentInstruction = speechQueue.back();
    awaitedColor = AwaitRed;
    targetColor = MakeOrange;
    // The guide already faces the child: the talk starts with the mouth.
    setState(1, 1);
    GameState::load();
}

void MixingColorsState::update(unsigned int appTime)
{
    GameState::update(appTime);
    if (state == 1)
        talk();
    else if (state == 2)
        hint();
}

void MixingColorsState::talk()
{
    switch (step)
    {
    case 0:
        turnToChild(true);
        step = 1;
        break;
    case 1:
        if (!isGuideIdle())
            return;
        guideController->playLipFlapAnimation(true);
        step = 2;
        break;
    case 2:
        // The queued lines back to back, each on the first silent frame.
        if (isSpeaking() || playNextSound())
            return;
        guideController->stopLipFlapAnimation();
        turnAway(true);
        step = 3;
        break;
    default:
        if (awaitedColor == Finished)
            finish();
        setState(0, 0);
        inputReady = true;
        break;
    }
}

void MixingColorsState::hint()
{
    switch (step)
    {
    case 0:
        turnToChild(true);
        inputReady = false;
        step = 1;
        break;
    case 1:
        if (!sayInstructionWhenIdle())
            return;
        step = 2;
        break;
    default:
        if (isSpeaking())
            return;
        turnAway(true);
        guideController->stopLipFlapAnimation();
        setState(0, 0);
        inputReady = true;
        break;
    }
}

bool MixingColorsState::playNextSound()
{
    if (speechQueue.empty())
        return false;
    audioPlayer->playSpeech(speechQueue.front());
    speechQueue.pop_front();
    return true;
}

void MixingColorsState::exit()
{
    waitForLoader();
    pie.reset();
    charactersNode.reset();
    pieNode.reset();
    purpleOverlay.reset();
    orangeOverlay.reset();
    greenOverlay.reset();
    redBlink.reset();
    blueBlink.reset();
    yellowBlink.reset();
    GameState::exit();
}

void MixingColorsState::processTouchEvent(const Vantorel::Kelm::tTouchData& touch)
{
    if (inputReady)
        picker.doPick(touch.x, touch.y, touch.touchState);
}

void MixingColorsState::processButtonEvent(const Vantorel::Kelm::tButtonData2& button)
{
    if (isQuitButton(button))
    {
        if (openQuitDialog())
            pieNode->cullingMode = CullingMode::Hide;
    }
    else if (isRepeatButton(button) && inputReady)
        setState(2, 0);
}

void MixingColorsState::onQuitAnswered(int) { pieNode->cullingMode = CullingMode::Show; }

bool MixingColorsState::colorWheelPreCallback(const ColorPieArgs& args)
{
    // A secondary only once it has been mixed; green never.
    if (args.color == PieColor::Green)
        return false;
    switch (targetColor)
    {
    case MakeOrange:
        return args.color == PieColor::Red || args.color == PieColor::Blue || args.color == PieColor::Yellow;
    case MakePurple:
        return args.color != PieColor::Purple;
    default:
        return true;
    }
}

bool MixingColorsState::colorWheelPostCallback(const ColorPieArgs& args)
{
    static const MixStep steps[] = {
        {MakeOrange, AwaitRed, MakeOrange, AwaitYellow, nullptr, nullptr,
         {"h_SCRIVLET_NowDrgSmYllwIntMddl_3.ogg"}},
        {MakeOrange, AwaitYellow, MakePurple, AwaitRed, "MIXED YELLOW-RED", &MixingColorsState::orangeOverlay,
         {"h_SCRIVLET_ThatsRight_5.ogg", "h_SCRIVLET_NowLtsMkThClrPrpl_3.ogg", "h_SCRIVLET_ItsMdByMxngTwPrmryC_3.ogg",
          "h_SCRIVLET_TheFrstClrWNdIsRdUs_3.ogg"}},
        {MakePurple, AwaitRed, MakePurple, AwaitBlue, nullptr, nullptr, {"h_SCRIVLET_NowLetsAddSomeBlue_3.ogg"}},
        {MakePurple, AwaitBlue, MakeGreen, AwaitYellow, "MIXED BLUE-RED", &MixingColorsState::purpleOverlay,
         {"h_SCRIVLET_ThatsRight_5.ogg", "h_SCRIVLET_NowLtsMkThClrGrn_3.ogg", "h_SCRIVLET_ItsMdByMxngTwPrmryC_1.ogg",
          "h_SCRIVLET_TheFrstClrWNdIsYllw_3.ogg"}},
        {MakeGreen, AwaitYellow, MakeGreen, AwaitBlue, nullptr, nullptr, {"h_SCRIVLET_NowLetsAddSomeBlue_3.ogg"}},
        {MakeGreen, AwaitBlue, MakeGreen, Finished, "DRAGGED BLUE", &MixingColorsState::greenOverlay,
         {"h_SCRIVLET_ThatsRight_5.ogg"}},
    };
    inputReady = false;
    if (args.color == PieColor::None)
    {
        // Nothing was picked up: nothing to judge.
        inputReady = true;
        return false;
    }
    const int awaitedPrimary = awaitedColor == AwaitRed      ? PieColor::Red
                               : awaitedColor == AwaitYellow ? PieColor::Yellow
                                                             : PieColor::Blue;
    const MixStep* row = nullptr;
    for (const MixStep& candidate : steps)
        if (candidate.target == targetColor && candidate.awaited == awaitedColor)
            row = &candidate;
    setState(1, 0);
    if (!row || args.color != awaitedPrimary)
    {
        playWrongAudio(args.color);
        logWrong(AnswerId, "WRONG MIX");
        if (!blinking && ++missCount == 3)
        {
            startBlink();
            missCount = 0;
        }
        return false;
    }

    if (blinking)
        stopBlink();
    missCount = 0;
    for (const char* line : row->lines)
        if (line)
            speechQueue.push_back(line);
    if (row->nextAwaited != Finished)
        currentInstruction = speechQueue.back();
    targetColor = row->nextTarget;
    awaitedColor = row->nextAwaited;
    if (!row->record)
        return true;
    (this->*row->overlay)->cullingMode = CullingMode::Hide;
    logCorrect(AnswerId, row->record);
    audioPlayer->playSfx(MixedSound);
    pie->reset();
    if (awaitedColor == Finished)
        exitReason = ActivityExitReason::Completed;
    return false;
}

void MixingColorsState::playWrongAudio(int color)
{
    static const char* const lines[6][2] = {
        {"h_SCRIVLET_ThatsRed_3.ogg", "h_SCRIVLET_ThisIsTheColorRed_3.ogg"},
        {"h_SCRIVLET_ThatsBlue_3.ogg", "h_SCRIVLET_ThisIsTheColorBlue_3.ogg"},
        {"h_SCRIVLET_ThatsYellow_3.ogg", "h_SCRIVLET_ThisIsThClrYllw_3.ogg"},
        {"h_SCRIVLET_ThatsPurple_3.ogg", "h_SCRIVLET_ThisIsThClrPrpl_3.ogg"},
        {"h_SCRIVLET_ThatsGreen_3.ogg", "h_SCRIVLET_ThisIsTheColorGreen_3.ogg"},
        {"h_SCRIVLET_ThatsOrange_3.ogg", "h_SCRIVLET_ThisIsThClrOrng_3.ogg"}};
    if (color < PieColor::Red || color >= PieColor::None)
        return;
    // Odd: the first line, even: the second.
    speechQueue.push_back(lines[color][nextRandom() % 2 == 1 ? 0 : 1]);
}

BlinkControllerPtr MixingColorsState::awaitedBlink() const
{
    return awaitedColor == AwaitRed ? redBlink : awaitedColor == AwaitYellow ? yellowBlink : blueBlink;
}

void MixingColorsState::startBlink()
{
    awaitedBlink()->play();
    blinking = true;
}

void MixingColorsState::stopBlink()
{
    awaitedBlink()->stop();
    blinking = false;
}
}
