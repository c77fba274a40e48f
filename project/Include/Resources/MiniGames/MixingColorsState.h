#ifndef RESOURCES_MIXINGCOLORSSTATE_H
#define RESOURCES_MIXINGCOLORSSTATE_H

#include "Resources/MiniGames/MiniGameState.h"
#include "Resources/Studio/ColorPieArgs.h"

#include <deque>

namespace Tovrane
{
class BlinkController;
class Geometry;
class LessonColorPie;
typedef boost::shared_ptr<BlinkController> BlinkControllerPtr;
typedef boost::shared_ptr<Geometry> GeometryPtr;
typedef boost::shared_ptr<LessonColorPie> LessonColorPiePtr;

// The colour-mixing game: the child drags two primaries from the colour pie
// into its centre to make orange (red, yellow), purple (red, blue) and green
// (yellow, blue). The guide names every wrong colour; after three misses the
// colour to drag blinks; each finished mix uncovers its segment.
class MixingColorsState : public MiniGameState
{
public:
    static const int AnswerId = 23;
    // The awaited primaries, and the game's end.
    static const int AwaitRed = 4, AwaitYellow = 6, AwaitBlue = 8, Finished = 9;
    // The secondary being made.
    static const int MakeGreen = 0, MakeOrange = 1, MakePurple = 2;

    MixingColorsState();
    ~MixingColorsState() override;

    void load() override;
    void update(unsigned int appTime) override;
    void exit() override;
    void processTouchEvent(const Vantorel::Kelm::tTouchData& touch) override;
    void processButtonEvent(const Vantorel::Kelm::tButtonData2& button) override;

    // Asked when a colour is pressed: true lets it be picked up.
    bool colorWheelPreCallback(const ColorPieArgs& args);
    // Judges a colour (or nothing) dropped in the centre; true lets the
    // centre show it.
    bool colorWheelPostCallback(const ColorPieArgs& args);

    int getAwaitedColor() const { return awaitedColor; }
    int getTargetColor() const { return targetColor; }
    // 0 waiting, 1 talking, 2 repeating the instruction.
    int getPhase() const { return state; }
    bool isBlinking() const { return blinking; }
    int getMissCount() const { return missCount; }
    LessonColorPiePtr getPie() const { return pie; }
    NodePtr getPieNode() const { return pieNode; }

protected:
    void onQuitAnswered(int result) override;

private:
    // One step of the talk through the speech queue, or of the repeat.
    void talk();
    void hint();
    bool playNextSound();
    void playWrongAudio(int color);
    void startBlink();
    void stopBlink();
    BlinkControllerPtr awaitedBlink() const;

    NodePtr charactersNode;
    NodePtr pieNode;
    LessonColorPiePtr pie;
    GeometryPtr purpleOverlay, orangeOverlay, greenOverlay;
    BlinkControllerPtr redBlink, blueBlink, yellowBlink;
    int awaitedColor;
    int targetColor;
    int missCount;
    bool blinking;
    std::deque<std::string> speechQueue;
};
}

#endif
