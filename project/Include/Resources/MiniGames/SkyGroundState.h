#ifndef RESOURCES_SKYGROUNDSTATE_H
#define RESOURCES_SKYGROUNDSTATE_H

#include "Resources/MiniGames/MiniGameState.h"

#include <memory>

namespace Tovrane
{
// The horizon game: the child touches the sky, then the ground, of a picture
// whose horizon lies on screen row 143. Rows above it are sky, rows below it
// ground; the row itself is wrong for both questions. The guide's talks are
// inner states that the game installs and steps every frame.
class SkyGroundState : public MiniGameState
{
public:
    // A step of the game that runs for a while (the guide's talk).
    class BaseState
    {
    public:
        virtual ~BaseState() = default;
        virtual void enter(SkyGroundState* game) = 0;
        virtual void update(SkyGroundState* game) = 0;
        virtual void exit(SkyGroundState* game) = 0;
    };

    // The guide turns to the child, says one line and turns back; input is
    // off meanwhile.
    class TalkState : public BaseState
    {
    public:
        explicit TalkState(const std::string& speech);
        void enter(SkyGroundState* game) override;
        void update(SkyGroundState* game) override;
        void exit(SkyGroundState* game) override;

    private:
        int step;
        std::string speech;
    };

    // The rows: up to SkyRow is sky, from GroundRow on ground.
    static const int SkyRow = 142;
    static const int GroundRow = 144;
    static const int AnswerId = 27;

    SkyGroundState();
    ~SkyGroundState() override;

    void load() override;
    void update(unsigned int appTime) override;
    void exit() override;
    void processTouchEvent(const Vantorel::Kelm::tTouchData& touch) override;
    void processButtonEvent(const Vantorel::Kelm::tButtonData2& button) override;

    // Replaces the inner state (the old one's exit runs first).
    void setState(BaseState* next);

    // 0 sky asked, 1 sky found, 2 ground asked, 3 ground found.
    int getPhase() const { return phase; }
    bool isTalking() const { return currentState != nullptr; }

private:
    // The talk that ends itself.
    void endTalk();
    void judge(int row);

    int phase;
    std::unique_ptr<BaseState> currentState;
};
}

#endif
