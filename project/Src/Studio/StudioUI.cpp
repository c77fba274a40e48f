// The studio's screen states and the parts of its interface that the
// drawing itself calls. The toolbars, pickers and questions are built with
// the free-drawing screen; until then these calls find nothing to show.
#include "Resources/Studio/Studio.h"

#include "Resources/Studio/FlipbookToolbar.h"
#include "Tovrane/AudioPlayer.h"

namespace Tovrane
{
void Studio::initializeUI()
{
    if (!uiRoot)
        uiRoot.reset(new Node);
}

void Studio::pushState(StudioState::Type state, bool)
{
    dialogResult = 1;
    states.push_back(state);
    enterState();
}

void Studio::popState(bool stopSpeech)
{
    if (stopSpeech && audioPlayer)
        audioPlayer->stopSpeech();
    while (!states.empty())
    {
        if (exitState())
        {
            enterState();
            return;
        }
        states.pop_back();
    }
}

void Studio::enterState() {}

int Studio::exitState()
{
    // The drawing screen stays; the others close.
    return !states.empty() && states.back() == StudioState::Drawing;
}

void Studio::toggleToolbar() {}

void Studio::showModeToolbars() {}

void Studio::showFrameHighlight(int frame)
{
    if (withUI && flipbookToolbar)
        flipbookToolbar->showButtonHighlight(frame);
}

void Studio::updateImageSlotDialogCallback() {}

void Studio::updateAnimationSlotDialogCallback() {}
}
