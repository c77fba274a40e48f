#ifndef RESOURCES_STUDIO_DRAWINGSTUDIOSTATE_H
#define RESOURCES_STUDIO_DRAWINGSTUDIOSTATE_H

#include "Resources/Studio/Studio.h"
#include "Tovrane/GameState.h"

#include <string>

namespace Tovrane
{
// Free drawing: one studio with its whole interface, on a blank 640 x 480
// picture or on a picture file, with one of three music tracks, a short
// spoken tutorial the first time each mode is used in a run, and the two
// gallery badges. Kept on the stack: a state pushed over it exits it, and it
// is built afresh when that state is popped. The studio pops it when the
// child quits.
class DrawingStudioState : public GameState
{
public:
    static const char* const BlankIntroSpeech;
    static const char* const ArtTutorialSpeech;
    static const char* const FlipbookQuestionSpeech;
    static const char* const FlipbookPlaySpeech;
    static const char* const MusicFiles[3];
    // Pictures larger than this on either side are refused (their tiles
    // could outgrow the renderer's texture budget).
    static const int MaxPictureSide = 1024;

    // The blank studio.
    DrawingStudioState();
    // The studio on the picture file, with its own intro speech. A file that
    // cannot be read, or is too large, gives the blank studio and a message.
    DrawingStudioState(const std::string& picturePath, const std::string& introSpeech);
    ~DrawingStudioState() override;

    void load() override;
    void update(unsigned int appTime) override;
    void begin() override;
    void exit() override;
    // Input reaches the studio only while no tutorial line runs.
    void processTouchEvent(const Vantorel::Kelm::tTouchData& touch) override;
    // Directions while held, the other buttons only when pressed.
    void processButtonEvent(const Vantorel::Kelm::tButtonData2& button) override;

    // A studio track other than the last one played, looping.
    void playMusic();
    void saveCallback(const ImageSaveEventArgs& args);
    void modeCallback(const StudioModeEventArgs& args);

    StudioPtr getStudio() const { return studio; }
    int getTutorialStep() const { return tutorialStep; }

    // Kept for the whole run of the program.
    static int lastMusic;
    static bool firstArtModeActivation;
    static bool firstAnimationModeActivation;

private:
    int tutorialStep;
    std::string picturePath;
    std::string introSpeech;
    StudioPtr studio;
    bool tutorialAllowed;
};
}

#endif
