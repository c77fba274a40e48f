#ifndef RESOURCES_DIALOGBOXCONTROLLER_H
#define RESOURCES_DIALOGBOXCONTROLLER_H

#include "Tovrane/Controller.h"

#include <string>

namespace Tovrane
{
class AudioPlayer;
class DialogBoxController;
typedef boost::shared_ptr<DialogBoxController> DialogBoxControllerPtr;

// Reads a dialog box aloud: the question, then the No explanation while the
// No button is marked, then the Yes explanation while the Yes button is
// marked, then it clears the marks and stops itself. Each step waits until
// no speech plays. The owner attaches it to the box, fills the public fields
// and calls restart to ask the question; it calls stop once answered.
class DialogBoxController : public Controller
{
    TOVRANE_DECLARE_RTTI(DialogBoxController)

public:
    DialogBoxController();
    ~DialogBoxController() override;

    // One step of the voice-over; false when stopped or without a player.
    bool update(unsigned int appTime) override;
    // Clears the marks, silences a voice-over that has begun, and starts
    // again from the question next time.
    void stop() override;

    // Not owned; nothing is said while it is null.
    AudioPlayer* audioPlayer;
    std::string promptSpeech;
    std::string noSpeech;
    std::string yesSpeech;
    // Next thing to say: 0 question, 1 No, 2 Yes, 3 finish.
    int step;
};
}

#endif
