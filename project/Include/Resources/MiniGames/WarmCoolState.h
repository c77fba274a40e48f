#ifndef RESOURCES_WARMCOOLSTATE_H
#define RESOURCES_WARMCOOLSTATE_H

#include "Resources/MiniGames/MiniGameState.h"

namespace Tovrane
{
class Texture;
typedef boost::shared_ptr<Texture> TexturePtr;

// The warm-and-cool game: the child taps a warm colour in a painting, then a
// cool one. A hidden mask of the painting's layout paints every answer area
// in one of six pure colours; its pixel under the stylus is the answer.
class WarmCoolState : public MiniGameState
{
public:
    static const int WarmAnswerId = 24;
    static const int CoolAnswerId = 25;
    // The region of a mask colour that is none of the six.
    static const int NoRegion = 6;

    WarmCoolState();
    ~WarmCoolState() override;

    void load() override;
    void update(unsigned int appTime) override;
    void exit() override;
    void processTouchEvent(const Vantorel::Kelm::tTouchData& touch) override;
    void processButtonEvent(const Vantorel::Kelm::tButtonData2& button) override;

    // The region (0 to 5, or 6 for none) of the mask under the screen point;
    // a point outside the mask is region 6.
    int getColorMaskEnum(int x, int y);
    // Judges a tap at the screen point.
    void colorCallback(int x, int y);

    // 0 warm asked, 1 warm found, 2 cool asked, 3 cool found.
    int getPhase() const { return phase; }
    // 1 while the guide talks, at a step from 0 to 3.

private:
    void logWarmAnswer(bool correct);
    void logCoolAnswer(bool correct);

    TexturePtr colorMask;
    NodePtr sceneNode;
    int phase;
    // The wrong-answer line said last (0 to 2), -1 before the first.
    int lastWrongLine;
    bool touchReleased;
};
}

#endif
