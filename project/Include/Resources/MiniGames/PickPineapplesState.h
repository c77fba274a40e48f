#ifndef RESOURCES_PICKPINEAPPLESSTATE_H
#define RESOURCES_PICKPINEAPPLESSTATE_H

#include "Resources/MiniGames/MiniGameState.h"
#include "Tovrane/ButtonEventArgs.h"

namespace Tovrane
{
// The near-and-far game: the child taps the pineapple that seems close (the
// large one), then the one that looks far away (the small one). A wrong tap
// sounds the wrong-answer tone and the guide asks the question again.
class PickPineapplesState : public MiniGameState
{
public:
    static const int AnswerId = 28;

    PickPineapplesState();
    ~PickPineapplesState() override;

    void load() override;
    void update(unsigned int appTime) override;
    void exit() override;
    void processTouchEvent(const Vantorel::Kelm::tTouchData& touch) override;
    void processButtonEvent(const Vantorel::Kelm::tButtonData2& button) override;

    void largeCallback(const ButtonEventArgs& args);
    void smallCallback(const ButtonEventArgs& args);


    // 0 close asked, 1 close found, 2 far asked, 3 far found.
    int getPhase() const { return phase; }
    // 1 while the guide talks.

private:
    void judge(bool large);
    void logLarge(bool correct);
    void logSmall(bool correct);

    NodePtr sceneNode;
    int phase;
};
}

#endif
