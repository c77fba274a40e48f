#include "Resources/MiniGames/WarmCoolState.h"

#include "Tovrane/AudioPlayer.h"
#include "Tovrane/Character.h"
#include "Tovrane/CharacterController.h"
#include "Tovrane/Texture.h"
#include "Tovrane/TiledBillboard.h"

#include <cstdio>

namespace Tovrane
{
namespace
{
const char* const WarmQuestion = "h_SCRIVLET_TapWrmClrSmwhrThsPc_3.ogg";
const char* const CoolQuestion = "h_SCRIVLET_NowLkFrSmClClrsTpTh_3.ogg";

// The six mask colours by region, and whether the region is warm.
const struct
{
    unsigned char r, g, b;
    bool warm;
    const char* praise;
} Regions[6] = {{255, 0, 0, true, "h_SCRIVLET_TheSnIsBtOfPntrHmsl_4.ogg"},
                {0, 0, 255, false, "h_SCRIVLET_IdLkTTkClSwmThtLk_3.ogg"},
                {0, 255, 0, false, "h_SCRIVLET_IdLvTTkClStrllAlngT_3.ogg"},
                {255, 255, 0, true, "h_SCRIVLET_WarmChrflFlwrsIShld_3.ogg"},
                {0, 255, 255, false, "h_SCRIVLET_IBetThrsClBrzBlwngT_3.ogg"},
                {255, 0, 255, false, "h_SCRIVLET_IdLvTTkWlkThrghThtC_3.ogg"}};

// The explanations of a wrong tap, by the phase asked (warm, cool).
const char* const WrongLines[2][3] = {
    {"h_SCRIVLET_ThatsACoolColor_3.ogg", "h_SCRIVLET_DoYSAnyWrmClrsLkAFr_4.ogg", "h_SCRIVLET_WarmClrsArRdYllwAnd_3.ogg"},
    {"h_SCRIVLET_ThatsAWarmColor_3.ogg", "h_SCRIVLET_DoYSAnyClClrsLkAnIc_4.ogg", "h_SCRIVLET_CoolClrsArBlGrnAndP_3.ogg"}};
}

WarmCoolState::WarmCoolState()
    : MiniGameState("WCC"), phase(0), lastWrongLine(-1), touchReleased(true)
{
}

WarmCoolState::~WarmCoolState() = default;

void WarmCoolState::load()
{
    picker.elements.clear();
    sceneManager.addSceneInfo("warm_cool");
    sceneNode.reset(new Node);
    makeGuide(true);
    if (guide)
    {
        guide->movePosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(2)));
        sceneNode->addChild(guide);
    }
    currentInstruction = WarmQuestion;
    colorMask = sceneManager.getTexture("warm_cool/bg_mask.png");
    sceneNode->addChild(TiledBillboardPtr(new TiledBillboard(sceneManager.getTexture("warm_cool/bg.png"), 128)));
    buildQuitDialog();
    sceneRoot->addChild(sceneNode);
    // The guide already faces the child: the first talk starts speaking.
    setState(1, 1);
    GameState::load();
}

void WarmCoolState::update(unsigned int appTime)
{
    GameState::update(appTime);
    if (state == 1)
        stepQuestionTalk(state, step, phase, CoolQuestion, true);
}

void WarmCoolState::exit()
{
    waitForLoader();
    sceneNode.reset();
    colorMask.reset();
    GameState::exit();
}

int WarmCoolState::getColorMaskEnum(int x, int y)
{
    if (!colorMask || x < 0 || y < 0 || x >= colorMask->getWidth() || y >= colorMask->getHeight())
    {
        std::printf("(X:%d, Y:%d) outside the mask\n", x, y);
        std::fflush(stdout);
        return NoRegion;
    }
    const ColorRGBA<unsigned char> pixel = colorMask->getPixel(x, y);
    std::printf("(X:%d, Y:%d) R:%d, G:%d, B:%d\n", x, y, pixel.r, pixel.g, pixel.b);
    std::fflush(stdout);
    for (int region = 0; region < NoRegion; ++region)
        if (pixel.r == Regions[region].r && pixel.g == Regions[region].g && pixel.b == Regions[region].b)
            return region;
    return NoRegion;
}

void WarmCoolState::processTouchEvent(const Vantorel::Kelm::tTouchData& touch)
{
    if (dialogOpen)
        picker.doPick(touch.x, touch.y, touch.touchState);
    else if (!inputReady || touch.touchState == 0)
        touchReleased = true;
    else if (touchReleased)
    {
        // One answer per press, at its first sample.
        colorCallback(touch.x, touch.y);
        touchReleased = false;
    }
}

void WarmCoolState::colorCallback(int x, int y)
{
    const int region = getColorMaskEnum(x, y);
    if (region == NoRegion || (phase != 0 && phase != 2))
        return;
    const bool warmAsked = phase == 0;
    const bool right = Regions[region].warm == warmAsked;
    if (right)
    {
        std::printf("CORRECT\n");
        audioPlayer->playSfx(BaseAudio::CorrectAnswer);
        ++phase;
        currentInstruction = Regions[region].praise;
        if (!warmAsked)
            exitReason = ActivityExitReason::Completed;
    }
    else
    {
        std::printf("WRONG\n");
        int line;
        do
            line = nextRandom() % 3;
        while (line == lastWrongLine);
        lastWrongLine = line;
        currentInstruction = WrongLines[warmAsked ? 0 : 1][line];
    }
    std::fflush(stdout);
    if (warmAsked)
        logWarmAnswer(right);
    else
        logCoolAnswer(right);
    setState(1, 0);
    inputReady = false;
}

void WarmCoolState::logWarmAnswer(bool correct)
{
    if (correct)
        logCorrect(WarmAnswerId, "IDENTIFIED WARM COLOR");
    else
        logWrong(WarmAnswerId, "MISTOOK COOL FOR WARM");
}

void WarmCoolState::logCoolAnswer(bool correct)
{
    if (correct)
        logCorrect(CoolAnswerId, "IDENTIFIED COOL COLOR");
    else
        logWrong(CoolAnswerId, "MISTOOK WARM FOR COOL");
}

void WarmCoolState::processButtonEvent(const Vantorel::Kelm::tButtonData2& button)
{
    if (isQuitButton(button))
        openQuitDialog();
    else if (isRepeatButton(button) && (phase == 0 || phase == 2))
    {
        // Also cuts a running talk short: the question starts again.
        currentInstruction = phase == 0 ? WarmQuestion : CoolQuestion;
        setState(1, 0);
    }
}
}
