// The main menu's spoken help: the tours that name each button of the main
// page or the options page while its highlight blinks, and the hint button.
#include "Resources/FrontEnd/MainMenuState.h"

#include "Tovrane/AudioPlayer.h"

namespace Tovrane
{
namespace
{
// A tour's announcements come this far apart, counted from the start of the
// one before.
const unsigned int AnnouncementInterval = 2000;
// A highlight is off for this long, then on and off in turns of it.
const unsigned int BlinkInterval = 125;

struct Announcement
{
    const char* speech;
    // The highlight that blinks while it plays; null for none.
    GeometryPtr MainMenuState::*highlight;
};

const Announcement MainTour[] = {
    {"h_SCRIVLET_PlayAnnncdAsTtl_3.ogg", &MainMenuState::playHighlight},
    {"h_SCRIVLET_LessonsAnnncdAsTtl_3.ogg", &MainMenuState::lessonsHighlight},
    {"h_SCRIVLET_BadgesAnnncdAsTtl_3.ogg", &MainMenuState::badgesHighlight},
    {"h_SCRIVLET_MicromodsAnnncdAsTt_3.ogg", &MainMenuState::micromodsHighlight},
    {"h_SCRIVLET_OptionsAnnncdAsTtl_3.ogg", &MainMenuState::optionsHighlight},
    {"h_SCRIVLET_ExitAnnncdAsTtl_3.ogg", &MainMenuState::exitHighlight},
    {"h_SCRIVLET_TapYrChcWthThStyls_3.ogg", nullptr}};

const Announcement OptionsTour[] = {
    {"h_VIDORIV_StartNwGmAnnncdAsTtl_3.ogg", &MainMenuState::newGameHighlight},
    {"h_VIDORIV_MusicVlmAnnncdAsTtl_3.ogg", &MainMenuState::volumeHighlight},
    {"h_VIDORIV_CreditsAnnncdAsTtl_3.ogg", &MainMenuState::creditsHighlight},
    {"h_VIDORIV_TapYrChcWthThStyls_3.ogg", nullptr}};
}

void MainMenuState::updateTour(unsigned int appTime)
{
    const Announcement* tour = tourKind == 1 ? MainTour : OptionsTour;
    const int count = tourKind == 1 ? 7 : 4;

    const bool starting = tourStep == 0;
    if (starting)
        tourStep = 1;
    if (starting || appTime - tourTime > AnnouncementInterval)
    {
        if (tourStep <= count)
        {
            speak(tour[tourStep - 1].speech);
            tourTime = appTime;
            ++tourStep;
        }
        else
        {
            tourKind = 0;
            tourStep = 0;
            tourTime = appTime;
        }
    }

    for (int i = 0; i < count; ++i)
        if (tour[i].highlight)
            show(this->*tour[i].highlight, false);
    if (((appTime - tourTime) / BlinkInterval) % 2 == 1 && tourStep >= 2 && tourStep <= count)
    {
        GeometryPtr MainMenuState::*highlight = tour[tourStep - 2].highlight;
        if (highlight)
            show(this->*highlight, true);
    }
}

void MainMenuState::hint()
{
    if (menuNode->cullingMode != CullingMode::Hide)
        tourKind = 1;
    if (isShown(optionsPage))
    {
        if (!isShown(newGameDialog))
            tourKind = 2;
        else
        {
            // The question again; its buttons wait until it has been asked.
            newGameDialogController->restart();
            picker.elements.clear();
            dialogDelayFrames = 0;
            dialogPending = true;
        }
    }
    for (const NodePtr& page : {lessonsPage, writingLessonsPage, linesPage, shapesPage, drawingObjectsPage})
        if (isShown(page))
        {
            speak("h_VIDORIV_ChooseALesson_3.ogg");
            break;
        }
    if (isShown(micromodsPage))
        speak("h_SCRIVLET_MicromodsAnnncdAsTt_3.ogg");
}
}
