#ifndef RESOURCES_TOWN_TINDLEWOODMAPSTATE_H
#define RESOURCES_TOWN_TINDLEWOODMAPSTATE_H

#include "Tovrane/ButtonEventArgs.h"
#include "Tovrane/GameState.h"
#include "Tovrane/UIPicker.h"

namespace Tovrane
{
// Stands in for the town map, which this build does not have: a card that
// says so, a button that opens the blank free-drawing studio (as the town's
// art building does) and a close button. Kept on the stack, because the menu
// pushes it under the intro movie or the welcome-back sequence in the same
// frame: it is first entered when they pop. Its first entry clears the
// profile's new-game flag and saves, as the real map does after its
// tutorial, so that the next Play takes the welcome-back path.
class TindlewoodMapState : public GameState
{
public:
    TindlewoodMapState();
    ~TindlewoodMapState() override;

    void enter() override;
    void load() override;
    void exit() override;
    void processTouchEvent(const Vantorel::Kelm::tTouchData& touch) override;
    // Backspace (0x20) or Escape (0x100) closes the map.
    void processButtonEvent(const Vantorel::Kelm::tButtonData2& button) override;

    void studioCallback(const ButtonEventArgs& args);
    void closeCallback(const ButtonEventArgs& args);

    int getEntries() const { return entries; }

private:
    // True for the first way out asked for in an entry, false after it.
    bool claimExit();

    UIPicker picker;
    int entries;
    bool leaving;
};
}

#endif
