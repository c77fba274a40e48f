// The main menu's pop-up pages: the frame they share, the lesson pages and
// what choosing on them starts.
#include "Resources/FrontEnd/MainMenuState.h"

#include "Resources/Lessons/AnimationLauncherState.h"
#include "Resources/Lessons/ColorsLauncherState.h"
#include "Resources/Lessons/CompositionLauncherState.h"
#include "Resources/Lessons/LinesLauncherState.h"
#include "Resources/Lessons/OrganicShapesLauncherState.h"
#include "Resources/Lessons/SeeingShapesLauncherState.h"
#include "Resources/Lessons/ShapesLauncherState.h"
#include "Resources/Lessons/WarmCoolLauncherState.h"
#include "Resources/Lessons/WildCalmLauncherState.h"
#include "Tovrane/Application.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/Button.h"
#include "Tovrane/GameLog.h"

namespace Tovrane
{
namespace
{
const PixelFormat::Type Format = PixelFormat::RGBA4444;
const char* const LessonsTitle = "menu/lessons_title.png";
const char* const ChooseLessonSpeech = "h_VIDORIV_ChooseALesson_3.ogg";
}

void MainMenuState::initializePopUp(NodePtr page)
{
    GeometryPtr frame = sceneManager.getSprite("menu/menu_pop_up_base.png", Format);
    frame->movePosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(-0.5f)));
    page->addChild(frame);
    ButtonPtr close(new Button(sceneManager.getSprite("menu/slot_close_up.png", Format),
                               sceneManager.getSprite("menu/slot_close_down.png", Format)));
    close->releaseEvent += new Button::ButtonEvent::MethodDelegate<MainMenuState>(this, &MainMenuState::closeCallback);
    page->addChild(close);
}

NodePtr MainMenuState::buildPage(const char* title, SlotDialogPtr dialog,
                                 void (MainMenuState::*handler)(const SlotDialogEventArgs&))
{
    NodePtr page(new Node);
    page->movePosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(1)));
    sceneRoot->addChild(page);
    initializePopUp(page);
    page->addChild(sceneManager.getSprite(title, Format));
    if (dialog)
    {
        if (handler)
            dialog->selectEvent += new SlotDialog::SelectEvent::MethodDelegate<MainMenuState>(this, handler);
        page->addChild(dialog);
    }
    show(page, false);
    return page;
}

void MainMenuState::initializeLessons()
{
    lessonSlotDialog.reset(new LessonSlotDialog);
    lessonsPage = buildPage(LessonsTitle, lessonSlotDialog, &MainMenuState::lessonSlotCallback);
}

void MainMenuState::initializeWritingLessons()
{
    writingLessonSlotDialog.reset(new WritingLessonSlotDialog);
    writingLessonsPage = buildPage(LessonsTitle, writingLessonSlotDialog, &MainMenuState::writingLessonSlotCallback);
}

void MainMenuState::initializeAdvLessons()
{
    linesSlotDialog.reset(new AdvLessonSlotDialog(1));
    linesPage = buildPage(LessonsTitle, linesSlotDialog, &MainMenuState::advLessonSlotCallback1);
    shapesSlotDialog.reset(new AdvLessonSlotDialog(2));
    shapesPage = buildPage(LessonsTitle, shapesSlotDialog, &MainMenuState::advLessonSlotCallback2);
    drawingObjectsSlotDialog.reset(new AdvLessonSlotDialog(3));
    drawingObjectsPage = buildPage(LessonsTitle, drawingObjectsSlotDialog, &MainMenuState::advLessonSlotCallback3);
}

void MainMenuState::openPage(const NodePtr& page, const char* speech)
{
    speak(speech);
    for (const NodePtr& node : {menuNode, lessonsPage, writingLessonsPage, linesPage, shapesPage, drawingObjectsPage,
                                badgesPage, micromodsPage, optionsPage})
        show(node, false);
    show(page, true);
}

void MainMenuState::lessonsCallback(const ButtonEventArgs&)
{
    openPage(lessonsPage, "h_SCRIVLET_LessonsAnnncdAsTtl_3.ogg");
    GameLog::gameStart("LESSONS");
    gameLogOpen = true;
}

void MainMenuState::badgesCallback(const ButtonEventArgs&)
{
    openPage(badgesPage, "h_SCRIVLET_BadgesAnnncdAsTtl_3.ogg");
}

void MainMenuState::micromodsCallback(const ButtonEventArgs&)
{
    openPage(micromodsPage, "h_SCRIVLET_MicromodsAnnncdAsTt_3.ogg");
}

void MainMenuState::optionsCallback(const ButtonEventArgs&)
{
    openPage(optionsPage, "h_SCRIVLET_OptionsAnnncdAsTtl_3.ogg");
}

void MainMenuState::lessonSlotCallback(const SlotDialogEventArgs& args)
{
    static const struct
    {
        int id;
        Action action;
    } actions[] = {{0, &MainMenuState::writingLessonsCallback},     {1, &MainMenuState::advLessonsCallback1},
                   {5, &MainMenuState::advLessonsCallback2},        {10, &MainMenuState::seeingShapesCallback},
                   {11, &MainMenuState::advLessonsCallback3},       {14, &MainMenuState::colorsCallback},
                   {15, &MainMenuState::warmAndCoolColorsCallback}, {16, &MainMenuState::calmAndWildColorsCallback},
                   {17, &MainMenuState::horizonLineCallback},       {18, &MainMenuState::animationCallback}};
    for (const auto& entry : actions)
        if (entry.id == args.id)
            (this->*entry.action)();
}

void MainMenuState::writingLessonsCallback()
{
    openPage(writingLessonsPage, "h_VIDORIV_ChooseLttrOrNmbrTWrt_3.ogg");
}

void MainMenuState::advLessonsCallback1() { openPage(linesPage, "h_SCRIVLET_ChooseATypOfLnTDrw_3.ogg"); }

void MainMenuState::advLessonsCallback2() { openPage(shapesPage, "h_SCRIVLET_ChooseAShpTLrnAbt_3.ogg"); }

void MainMenuState::advLessonsCallback3() { openPage(drawingObjectsPage, "h_SCRIVLET_ChooseAnObjctTDrw_3.ogg"); }

void MainMenuState::seeingShapesCallback()
{
    speak("h_VIDORIV_SeeingShpsAnnncdAsTt_3.ogg");
    lessonRequest = 3;
}

void MainMenuState::colorsCallback()
{
    speak("h_VIDORIV_ColorsAnnncdAsTtl_3.ogg");
    lessonRequest = 5;
}

void MainMenuState::warmAndCoolColorsCallback()
{
    speak("h_VIDORIV_WarmAndClClrsAnnncdA_3.ogg");
    lessonRequest = 6;
}

void MainMenuState::calmAndWildColorsCallback()
{
    speak("h_VIDORIV_CalmAndWldClrsAnnncd_3.ogg");
    lessonRequest = 7;
}

void MainMenuState::horizonLineCallback()
{
    speak("h_VIDORIV_HorizonLnAnnncdAsTtl_3.ogg");
    lessonRequest = 8;
}

void MainMenuState::animationCallback()
{
    speak("h_VIDORIV_AnimationAnnncdAsTtl_3.ogg");
    lessonRequest = 9;
}

void MainMenuState::writingLessonSlotCallback(const SlotDialogEventArgs& args)
{
    // An empty slot names no lesson.
    if (args.id < 0 || args.id >= WritingLessonCount)
        return;
    writingLessonIndex = args.id;
    lessonRequest = 0;
}

void MainMenuState::advLessonSlotCallback1(const SlotDialogEventArgs& args) { startAdvancedLesson(args.id, 1); }

void MainMenuState::advLessonSlotCallback2(const SlotDialogEventArgs& args) { startAdvancedLesson(args.id, 2); }

void MainMenuState::advLessonSlotCallback3(const SlotDialogEventArgs& args) { startAdvancedLesson(args.id, 4); }

void MainMenuState::startAdvancedLesson(int lessonId, int request)
{
    // At the touch, without waiting for speech; an empty slot does nothing.
    if (GameState* launcher = makeAdvancedLauncher(lessonId))
    {
        Application::PushGameState(launcher);
        lessonRequest = request;
    }
}

void MainMenuState::updateLessonPrompt()
{
    if (!isShown(lessonsPage))
        chooseLessonSaid = 0;
    else if (chooseLessonSaid == 0 && !audioPlayer->isSpeechPlaying())
    {
        ++chooseLessonSaid;
        speak(ChooseLessonSpeech);
    }
}

// Lessons started from the menu are practice: both flags false, so the
// launcher opens a game area and records nothing in the profile.
GameState* MainMenuState::makeLauncher(int request)
{
    switch (request)
    {
    case 3:
        return new SeeingShapesLauncherState(false, false);
    case 5:
        return new ColorsLauncherState(false, false);
    case 6:
        return new WarmCoolLauncherState(false, false);
    case 7:
        return new WildCalmLauncherState(false, false);
    case 8:
        return new CompositionLauncherState(false, false);
    case 9:
        return new AnimationLauncherState(false, false);
    default:
        return nullptr;
    }
}

GameState* MainMenuState::makeAdvancedLauncher(int lessonId)
{
    if (lessonId >= 2 && lessonId <= 4)
        return new LinesLauncherState(lessonId - 1, false, false);
    if (lessonId >= 6 && lessonId <= 9)
        return new ShapesLauncherState(lessonId - 5, false, false);
    if (lessonId == 12 || lessonId == 13)
        return new OrganicShapesLauncherState(lessonId - 11, false, false);
    return nullptr;
}
}
