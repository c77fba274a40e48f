#include "Resources/Dialogs/DialogBoxController.h"

#include "Resources/Dialogs/DialogBox.h"
#include "Tovrane/Assert.h"
#include "Tovrane/AudioPlayer.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, DialogBoxController, Controller);

namespace
{
// The box the controller is attached to, or none.
DialogBoxPtr controlledBox(Object* object)
{
    if (!object)
        return DialogBoxPtr();
    DialogBoxPtr box = boost::dynamic_pointer_cast<DialogBox>(object->getSharedPointer());
    TOVRANE_ASSERT(box && "A dialog box controller must be attached to a dialog box");
    return box;
}
}

DialogBoxController::DialogBoxController() : audioPlayer(nullptr), step(0) {}

DialogBoxController::~DialogBoxController() = default;

bool DialogBoxController::update(unsigned int appTime)
{
    if (!Controller::update(appTime) || !audioPlayer)
        return false;
    // Any speech, the state's own guide too, is waited out.
    if (audioPlayer->isSpeechPlaying())
        return true;

    DialogBoxPtr box = controlledBox(getObject());
    std::string speech;
    switch (step)
    {
    case 0:
        speech = promptSpeech;
        // Without a box there is nothing to mark: the question is all.
        step = (!box || (noSpeech.empty() && yesSpeech.empty())) ? 3 : 1;
        break;
    case 1:
        speech = noSpeech;
        step = 2;
        if (box)
            box->showNoButtonHighlight();
        break;
    case 2:
        speech = yesSpeech;
        step = 3;
        if (box)
            box->showYesButtonHighlight();
        break;
    default:
        step = 0;
        if (box)
            box->hideButtonHighlights();
        stop();
        break;
    }
    // An empty name only stops the speech channel.
    audioPlayer->playSpeech(speech);
    return true;
}

void DialogBoxController::stop()
{
    Controller::stop();
    DialogBoxPtr box = controlledBox(getObject());
    if (box)
        box->hideButtonHighlights();
    if (audioPlayer && step != 0)
        audioPlayer->stopSpeech();
    step = 0;
}
}
