// The screens shown over the picture, kept on a deque whose back is current:
// entering a screen shows it, leaving it performs its action (a confirmed
// question, a save or load of the slot picked), and a pop leaves screens
// from the top down to the first that stays (the drawing screen, or a slot
// picker whose question was declined).
#include "Resources/Studio/Studio.h"

#include "Resources/Dialogs/DialogBox.h"
#include "Resources/Dialogs/DialogBoxController.h"
#include "Resources/Dialogs/DialogEventArgs.h"
#include "Tovrane/Application.h"
#include "Tovrane/AudioPlayer.h"

namespace Tovrane
{
namespace
{
bool isSlotPicker(StudioState::Type state) { return state == StudioState::SaveSlots || state == StudioState::LoadSlots; }
}

void Studio::pushState(StudioState::Type state, bool)
{
    // A stroke cut short by a screen ends as its release would have ended it.
    if (strokeActive)
        handleTouchUpEvent(lastTouchX, lastTouchY);
    // A slot picked earlier is not the choice of any screen opened now.
    selectedSlot = -1;
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

void Studio::enterState()
{
    hideDialogs();
    if (states.empty())
        return;
    const StudioState::Type state = states.back();
    int screen = -1;
    switch (state)
    {
    case StudioState::Drawing:
        if (quitRequested)
        {
            // The owning game state goes, once; the studio hears nothing more.
            if (!gameStatePopped)
            {
                gameStatePopped = true;
                Application::PopGameState();
            }
            return;
        }
        showModeToolbars();
        return;
    case StudioState::QuitQuestion:
    case StudioState::NewPictureQuestion:
    case StudioState::ModeQuestion:
        // A saved picture loses nothing: the question counts as answered yes.
        if (saved)
            popState(state == StudioState::QuitQuestion);
        else if (withUI)
            showDialogBox(questions[state == StudioState::QuitQuestion ? 3 : 2]);
        return;
    case StudioState::ColorScreen:
        screen = colorScreenIndex;
        patternHintDue = true;
        break;
    case StudioState::StampPicker: screen = stampDialogIndex; break;
    case StudioState::EffectPicker: screen = effectDialogIndex; break;
    case StudioState::SaveSlots:
    case StudioState::LoadSlots:
        screen = mode == StudioMode::Art ? imageDialogIndex : animationDialogIndex;
        // Shown afresh, the picker has no choice yet.
        selectedSlot = -1;
        break;
    }
    SpatialPtr dialog = getDialog(screen);
    if (dialog)
        dialog->cullingMode = CullingMode::Show;
    showToolbars(false, false);
}

int Studio::exitState()
{
    if (states.empty())
        return 0;
    const StudioState::Type state = states.back();
    switch (state)
    {
    case StudioState::Drawing: return 1;
    case StudioState::QuitQuestion:
        if (dialogResult == 1)
            quitRequested = true;
        return 0;
    case StudioState::NewPictureQuestion:
        if (dialogResult == 1)
            newImage(false);
        return 0;
    case StudioState::ModeQuestion:
        if (dialogResult == 1)
            toggleMode();
        return 0;
    default: break;
    }
    if (!isSlotPicker(state))
        return 0;
    // The picker's own question answered No or closed: back to the picker.
    if (dialogBox && dialogBox->cullingMode == CullingMode::Show && dialogResult != 1)
    {
        dialogResult = 1;
        return 1;
    }
    if (dialogResult == 3 || selectedSlot == -1)
        return 0;
    if (state == StudioState::SaveSlots)
        saveImage(saveSlot);
    else
        loadImage(loadSlot);
    return 0;
}

void Studio::hideDialogs()
{
    if (!withUI)
        return;
    for (int i = 0; i < dialogs->getChildQuantity(); ++i)
        if (SpatialPtr dialog = dialogs->getChild(i))
            dialog->cullingMode = CullingMode::Hide;
    for (const DialogBoxControllerPtr& question : questions)
        question->stop();
}

void Studio::showDialogBox(DialogBoxControllerPtr question)
{
    hideDialogs();
    if (!withUI)
        return;
    showToolbars(false, false);
    dialogBox->removeAllControllers();
    dialogBox->addController(question);
    dialogBox->cullingMode = CullingMode::Show;
    question->restart();
}

void Studio::dialogBoxCallback(const DialogEventArgs& args)
{
    dialogResult = args.result;
    if (dialogBox->getControllerQuantity() > 0)
        dialogBox->getController(0)->stop();
    popState(true);
}
}
