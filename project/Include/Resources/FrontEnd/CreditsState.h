#ifndef RESOURCES_CREDITSSTATE_H
#define RESOURCES_CREDITSSTATE_H

#include "Tovrane/ButtonEventArgs.h"
#include "Tovrane/GameState.h"
#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/UIPicker.h"

namespace Tovrane
{
// The credits: one tall picture scrolled by the direction pad inside a
// pop-up frame, closed by its close button or a back button. Pushed by the
// options page over the main menu; no loading picture, kept on the stack.
class CreditsState : public GameState
{
public:
    // The scroll offset runs from 0 to this many scene units, whatever the
    // picture's height.
    static constexpr int ScrollLimit = 4195;
    // Units one press (or one frame of holding) of up or down scrolls.
    static constexpr int ScrollStep = 5;

    CreditsState();
    ~CreditsState() override;

    void load() override;
    void update(unsigned int appTime) override;
    void processTouchEvent(const Vantorel::Kelm::tTouchData& touch) override;
    void processButtonEvent(const Vantorel::Kelm::tButtonData2& button) override;

    // Adds `units` to the scroll offset, stopping at 0 and ScrollLimit, and
    // moves the list with it.
    void scrollBy(int units);
    // The close button's click.
    void exitCallback(const ButtonEventArgs& args);

    tFixed getScrollOffset() const { return scrollOffset; }
    NodePtr getScrollNode() const { return scrollNode; }

protected:
    NodePtr scrollNode;
    UIPicker picker;
    tFixed scrollOffset;
};
}

#endif
