#ifndef RESOURCES_FRONTEND_MAINMENUSTATE_H
#define RESOURCES_FRONTEND_MAINMENUSTATE_H

#include "Resources/Dialogs/AdvLessonSlotDialog.h"
#include "Resources/Dialogs/BadgeSlotDialog.h"
#include "Resources/Dialogs/DialogBox.h"
#include "Resources/Dialogs/DialogBoxController.h"
#include "Resources/Dialogs/LessonSlotDialog.h"
#include "Resources/Dialogs/WritingLessonSlotDialog.h"
#include "Tovrane/ButtonEventArgs.h"
#include "Tovrane/GameState.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/Slider.h"
#include "Tovrane/UIPicker.h"

#include <array>
#include <string>

namespace Tovrane
{
class ScrivletPlayer;

// The main menu: six buttons (Play, Lessons, Badges, downloaded extras,
// Options, Exit) and the pop-up pages laid over them. The buttons and pages
// only record what the child asked for; update carries a request out once
// the spoken announcement of it has ended: the town map with the intro movie
// or the welcome-back sequence, a lesson launcher, a writing lesson, or
// leaving the game. Kept on the stack: whenever the states it pushed have
// popped it is entered again, rebuilds its scene and shows the page the
// lesson was started from.
//
// Pages are shown and hidden through their culling mode only; `menuNode`
// hidden means a page is open. While a request waits or a spoken tour runs,
// touches and buttons are dropped.
class MainMenuState : public GameState
{
public:
    typedef void (MainMenuState::*Action)();

    static constexpr int WritingLessonCount = 62;
    // The spoken name of each writing lesson's character; the small letters
    // are named as their capitals.
    static const std::array<std::string, WritingLessonCount> lessonCallout;
    // The writing page's picker page of each writing lesson (steps right
    // from the first page).
    static const int wr_pg_cnt[WritingLessonCount];

    static const char* const MenuMusic;
    static const char* const Invitation;
    static const char* const IntroMovie;

    MainMenuState();
    // Closes an open "LESSONS" game and writes the title's end to the log.
    ~MainMenuState() override;

    void load() override;
    void update(unsigned int appTime) override;
    // Music and the spoken invitation, on every entry.
    void begin() override;
    // Releases the scene; requests and flags stay for the next load.
    void exit() override;
    void processTouchEvent(const Vantorel::Kelm::tTouchData& touch) override;
    // 0x100 closes the page or leaves the game, 0x20 closes the page, 0x200
    // asks for spoken help.
    void processButtonEvent(const Vantorel::Kelm::tButtonData2& button) override;
    // Closes the open page; with no page open, leaves the menu when
    // `leaveMenu` is true.
    virtual void closeCurrentMenu(bool leaveMenu);

    // The six main buttons.
    void playCallback(const ButtonEventArgs& args);
    void lessonsCallback(const ButtonEventArgs& args);
    void badgesCallback(const ButtonEventArgs& args);
    void micromodsCallback(const ButtonEventArgs& args);
    void optionsCallback(const ButtonEventArgs& args);
    void exitCallback(const ButtonEventArgs& args);
    // The close button of every page's frame.
    void closeCallback(const ButtonEventArgs& args);

    // Page building, in the order load calls them.
    void initializePopUp(NodePtr page);
    void initializeLessons();
    void initializeWritingLessons();
    void initializeAdvLessons();
    void initializeBadges();
    void initializeMicromods();
    void initializeOptions();

    // The lessons page and its sub-pages.
    void lessonSlotCallback(const SlotDialogEventArgs& args);
    void writingLessonsCallback();
    void advLessonsCallback1();
    void advLessonsCallback2();
    void advLessonsCallback3();
    void seeingShapesCallback();
    void colorsCallback();
    void warmAndCoolColorsCallback();
    void calmAndWildColorsCallback();
    void horizonLineCallback();
    void animationCallback();
    void writingLessonSlotCallback(const SlotDialogEventArgs& args);
    void advLessonSlotCallback1(const SlotDialogEventArgs& args);
    void advLessonSlotCallback2(const SlotDialogEventArgs& args);
    void advLessonSlotCallback3(const SlotDialogEventArgs& args);

    // The badges, extras and options pages.
    void badgeSlotCallback(const SlotDialogEventArgs& args);
    void micromodSlotCallback(const SlotDialogEventArgs& args);
    // The slider's fraction sets the music volume, 30 to 60.
    void volumeCallback(float ratio);
    void newGameCallback(const ButtonEventArgs& args);
    void dialogBoxCallback(const DialogEventArgs& args);
    void creditsCallback(const ButtonEventArgs& args);
    // What the guide says of badge 0 to 26: that it is earned, or what earns it.
    static const char* badgeSpeech(int badge, bool earned);

    // One frame of the running tour (main page or options page).
    void updateTour(unsigned int appTime);
    // The lessons page's invitation, once per showing.
    void updateLessonPrompt();
    // The help button on the page shown.
    void hint();
    // One step of a writing lesson's start: case, character, task studio.
    void updateWritingLesson();

    static bool isShown(const SpatialPtr& node) { return node && node->cullingMode == CullingMode::Show; }
    static void show(const SpatialPtr& node, bool on);

    ScrivletPlayer* player;
    bool exitSelected;
    UIPicker picker;
    NodePtr menuNode;
    NodePtr lessonsPage;
    LessonSlotDialogPtr lessonSlotDialog;
    NodePtr writingLessonsPage;
    WritingLessonSlotDialogPtr writingLessonSlotDialog;
    NodePtr linesPage;
    AdvLessonSlotDialogPtr linesSlotDialog;
    NodePtr shapesPage;
    AdvLessonSlotDialogPtr shapesSlotDialog;
    NodePtr drawingObjectsPage;
    AdvLessonSlotDialogPtr drawingObjectsSlotDialog;
    NodePtr badgesPage;
    BadgeSlotDialogPtr badgeSlotDialog;
    NodePtr micromodsPage;
    NodePtr optionsPage;
    SliderPtr volumeSlider;
    // The options page's new-game question; null until that page has it.
    DialogBoxPtr newGameDialog;
    DialogBoxControllerPtr newGameDialogController;
    bool gameLogOpen;
    int dialogDelayFrames;
    bool dialogPending;
    unsigned int tourTime;
    // 0 none, 1 main page, 2 options page.
    int tourKind;
    // The next announcement; 0 not started. Buttons are ignored while it is
    // not 0.
    int tourStep;
    GeometryPtr playHighlight;
    GeometryPtr lessonsHighlight;
    GeometryPtr badgesHighlight;
    GeometryPtr micromodsHighlight;
    GeometryPtr optionsHighlight;
    GeometryPtr exitHighlight;
    GeometryPtr newGameHighlight;
    GeometryPtr volumeHighlight;
    GeometryPtr creditsHighlight;
    int chooseLessonSaid;
    // 0 say the case, 1 name the character, 2 start.
    int writingStep;
    int writingLessonIndex;
    // The lesson asked for (-1 none, 0 writing, 1 lines, 2 shapes, 3 seeing
    // shapes, 4 drawing objects, 5 colours, 6 warm and cool, 7 calm and wild,
    // 8 horizon line, 9 animation); also the page shown again on return.
    int lessonRequest;
    // 1: show the options page on return (from the credits).
    int returnToOptions;
    // 0 none, 1 play, 2 exit.
    int menuRequest;

private:
    // Builds one page: frame, title, picker (null for none) with its
    // selection handler, hidden.
    NodePtr buildPage(const char* title, SlotDialogPtr dialog,
                      void (MainMenuState::*handler)(const SlotDialogEventArgs&));
    // Hides the main buttons and every page, then shows `page`.
    void openPage(const NodePtr& page, const char* speech);
    // Makes the launcher of an announced lesson request, or of an advanced
    // lesson's page item; null when the request names none.
    static GameState* makeLauncher(int request);
    static GameState* makeAdvancedLauncher(int lessonId);
    void startAdvancedLesson(int lessonId, int request);
    // Shows the page a lesson was started from.
    void restorePage();
    void speak(const char* speech);
};
}

#endif
