#include "Resources/FrontEnd/MainMenuState.h"

#include "Resources/FrontEnd/WelcomeBackState.h"
#include "Resources/Lessons/TaskStudioState.h"
#include "Resources/Profile/ScrivletPlayer.h"
#include "Resources/Town/TindlewoodMapState.h"
#include "Tovrane/Application.h"
#include "Tovrane/Assert.h"
#include "Tovrane/AudioPlayer.h"
#include "Tovrane/Button.h"
#include "Tovrane/FlashState.h"
#include "Tovrane/GameLog.h"

namespace Tovrane
{
namespace
{
std::array<std::string, MainMenuState::WritingLessonCount> makeCallouts()
{
    std::array<std::string, MainMenuState::WritingLessonCount> names;
    for (int i = 0; i < MainMenuState::WritingLessonCount; ++i)
    {
        const char name = i < 10 ? static_cast<char>('0' + i) : static_cast<char>('A' + (i - 10) % 26);
        names[i] = std::string("h_SCRIVLET_") + name + "_3.ogg";
    }
    return names;
}

const char* const CaseSpeeches[] = {"h_SCRIVLET_UpperCase_1.ogg", "h_SCRIVLET_LowerCase_1.ogg"};
const char* const ZedSpeech = "h_SCRIVLET_LtrZed_3.ogg";
const char* const PlaySpeech = "h_SCRIVLET_PlayAnnncdAsTtl_3.ogg";
const char* const ExitSpeech = "h_SCRIVLET_ExitAnnncdAsTtl_3.ogg";
}

const std::array<std::string, MainMenuState::WritingLessonCount> MainMenuState::lessonCallout = makeCallouts();

// Digits stand after the 52 letters; each page shows three capitals with
// their small letters.
const int MainMenuState::wr_pg_cnt[WritingLessonCount] = {
    8, 8, 9, 9, 9, 9, 9, 9, 10, 10,                                                   // 0-9
    0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6, 7, 7, 7, 8, 8,     // A-Z
    0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6, 7, 7, 7, 8, 8};    // a-z

const char* const MainMenuState::MenuMusic = "h_MUSIC_MainMnMsc60ScndsLpng_6.ogg";
const char* const MainMenuState::Invitation = "h_VIDORIV_TapYrChcWthThStyls_3.ogg";
const char* const MainMenuState::IntroMovie = "ActionNews_Intro.swf";

MainMenuState::MainMenuState()
    : GameState(false, true), player(nullptr), exitSelected(false), gameLogOpen(false), dialogDelayFrames(0),
      dialogPending(false), tourTime(0), tourKind(0), tourStep(0), chooseLessonSaid(0), writingStep(0),
      writingLessonIndex(0), lessonRequest(-1), returnToOptions(-1), menuRequest(0)
{
    GameLog::titleStart();
}

MainMenuState::~MainMenuState()
{
    if (gameLogOpen)
        GameLog::gameEnd();
    GameLog::titleEnd(exitSelected);
}

void MainMenuState::show(const SpatialPtr& node, bool on)
{
    TOVRANE_ASSERT(node && "The menu's scene has not been built");
    node->cullingMode = on ? CullingMode::Show : CullingMode::Hide;
}

void MainMenuState::load()
{
    typedef Button::ButtonEvent::MethodDelegate<MainMenuState> Delegate;
    const PixelFormat::Type format = PixelFormat::RGBA4444;
    player = ScrivletPlayer::getCurrentPlayerData();
    sceneManager.addSceneInfo("menu");

    GeometryPtr background = sceneManager.getSprite("menu/background.png", format);
    background->movePosition(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(-0.5f)));
    sceneRoot->addChild(background);

    menuNode.reset(new Node);
    sceneRoot->addChild(menuNode);
    const struct
    {
        const char* name;
        Delegate::Method callback;
    } buttons[] = {{"play", &MainMenuState::playCallback},       {"lessons", &MainMenuState::lessonsCallback},
                   {"badges", &MainMenuState::badgesCallback},   {"micro", &MainMenuState::micromodsCallback},
                   {"options", &MainMenuState::optionsCallback}, {"exit", &MainMenuState::exitCallback}};
    for (const auto& entry : buttons)
    {
        const std::string name = std::string("menu/") + entry.name;
        ButtonPtr button(new Button(sceneManager.getSprite(name + "_up.png", format),
                                    sceneManager.getSprite(name + "_down.png", format)));
        button->releaseEvent += new Delegate(this, entry.callback);
        menuNode->addChild(button);
    }
    show(menuNode, true);

    initializeLessons();
    initializeWritingLessons();
    initializeAdvLessons();
    initializeBadges();
    initializeMicromods();
    initializeOptions();

    picker.addUIElements(sceneRoot);
    picker.setAudioPlayer(audioPlayer);
    dialogDelayFrames = 0;
    dialogPending = false;

    if (lessonRequest != -1)
        restorePage();
    if (returnToOptions == 1)
    {
        show(menuNode, false);
        show(optionsPage, true);
    }
    lessonRequest = -1;
    returnToOptions = -1;
    tourKind = 0;
    writingStep = 0;
    menuRequest = 0;
    chooseLessonSaid = 0;
    tourStep = 0;

    const struct
    {
        GeometryPtr* field;
        const char* sprite;
        tFixed lift;
    } highlights[] = {{&playHighlight, "menu/play_hi.png", tFixed(0)},
                      {&lessonsHighlight, "menu/lessons_hi.png", tFixed(0)},
                      {&badgesHighlight, "menu/badges_hi.png", tFixed(0)},
                      {&micromodsHighlight, "menu/micro_hi.png", tFixed(0)},
                      {&optionsHighlight, "menu/options_hi.png", tFixed(0)},
                      {&exitHighlight, "menu/exit_hi.png", tFixed(0)},
                      {&newGameHighlight, "menu/start_new_hi.png", tFixed(3)},
                      // Just under one and a half, as the slider's backdrop lies.
                      {&volumeHighlight, "menu/vol_slider_backdrop_hi.png", tFixed::fromRaw(0x17333)},
                      {&creditsHighlight, "menu/credits_hi.png", tFixed(3)}};
    for (const auto& entry : highlights)
    {
        GeometryPtr highlight = sceneManager.getSprite(entry.sprite, format);
        highlight->movePosition(Vector3<tFixed>(tFixed(0), tFixed(0), entry.lift));
        show(highlight, false);
        sceneRoot->addChild(highlight);
        *entry.field = highlight;
    }

    GameState::load();
}

void MainMenuState::restorePage()
{
    show(menuNode, false);
    switch (lessonRequest)
    {
    case 0:
        show(writingLessonsPage, true);
        for (int i = 0; i < wr_pg_cnt[writingLessonIndex]; ++i)
            writingLessonSlotDialog->pageRight();
        break;
    case 1:
        show(linesPage, true);
        break;
    case 2:
        show(shapesPage, true);
        break;
    case 4:
        show(drawingObjectsPage, true);
        break;
    default:
        show(lessonsPage, true);
        if (lessonRequest > 5)
            lessonSlotDialog->pageRight();
        break;
    }
}

void MainMenuState::begin()
{
    // The profile's volume, set here on the main thread: from the loader the
    // audio player's lock would be taken against the order of the main
    // thread's completion dispatch (a possible deadlock). No music plays
    // before this point, so nothing is heard differently.
    audioPlayer->setMusicVolume(player->musicVolume);
    audioPlayer->playMusic(MenuMusic);
    audioPlayer->playSpeech(Invitation);
    GameState::begin();
}

void MainMenuState::update(unsigned int appTime)
{
    GameState::update(appTime);

    // The new-game question's buttons join the picker on the fifth quiet
    // frame after it was opened; until then every button is ignored.
    if (dialogPending)
    {
        tourStep = 1;
        if (!audioPlayer->isSpeechPlaying())
        {
            if (dialogDelayFrames <= 3)
                ++dialogDelayFrames;
            else
            {
                picker.addUIElements(newGameDialog);
                tourStep = 0;
                dialogDelayFrames = 0;
                dialogPending = false;
            }
        }
    }
    else if (tourKind != 0)
        updateTour(appTime);

    updateLessonPrompt();

    if (lessonRequest != -1 && !audioPlayer->isSpeechPlaying())
    {
        if (lessonRequest == 0)
            updateWritingLesson();
        else if (GameState* launcher = makeLauncher(lessonRequest))
            Application::PushGameState(launcher);
    }

    if (menuRequest != 0 && !audioPlayer->isSpeechPlaying())
    {
        if (menuRequest == 1)
        {
            // The movie or the sequence runs first; the map is entered when
            // it pops.
            Application::PushGameState(new TindlewoodMapState);
            if (player->mapTutorialPending)
                Application::PushGameState(new FlashState(IntroMovie));
            else
                Application::PushGameState(new WelcomeBackState);
            player->save();
        }
        else
            popGameState();
        menuRequest = 0;
    }
}

void MainMenuState::updateWritingLesson()
{
    const int lesson = writingLessonIndex;
    if (writingStep == 0)
    {
        if (lesson >= 10)
            speak(CaseSpeeches[lesson >= 36 ? 1 : 0]);
        writingStep = 1;
    }
    else if (writingStep == 1)
    {
        const bool zed = player->locale == 2 || player->locale == 3;
        if ((lesson == 35 || lesson == 61) && zed)
            speak(ZedSpeech);
        else
            speak(lessonCallout[lesson].c_str());
        writingStep = 2;
    }
    else if (writingStep == 2)
    {
        Application::PushGameState(new TaskStudioState(TaskType::WritingLesson, lesson, LocationName::WritingLesson));
        // Once: the menu leaves at the end of this frame.
        writingStep = 3;
    }
}

void MainMenuState::exit()
{
    waitForLoader();
    picker.elements.clear();
    menuNode.reset();
    lessonsPage.reset();
    lessonSlotDialog.reset();
    writingLessonsPage.reset();
    writingLessonSlotDialog.reset();
    linesPage.reset();
    linesSlotDialog.reset();
    shapesPage.reset();
    shapesSlotDialog.reset();
    drawingObjectsPage.reset();
    drawingObjectsSlotDialog.reset();
    badgesPage.reset();
    badgeSlotDialog.reset();
    micromodsPage.reset();
    optionsPage.reset();
    newGameDialog.reset();
    newGameDialogController.reset();
    volumeSlider.reset();
    for (GeometryPtr* highlight : {&playHighlight, &lessonsHighlight, &badgesHighlight, &micromodsHighlight,
                                   &optionsHighlight, &exitHighlight, &newGameHighlight, &volumeHighlight,
                                   &creditsHighlight})
        highlight->reset();
    GameState::exit();
}

void MainMenuState::processTouchEvent(const Vantorel::Kelm::tTouchData& touch)
{
    if (lessonRequest == -1 && menuRequest == 0 && tourKind == 0)
        picker.doPick(touch.x, touch.y, touch.touchState);
}

void MainMenuState::processButtonEvent(const Vantorel::Kelm::tButtonData2& button)
{
    if (lessonRequest != -1 || menuRequest != 0 || tourStep != 0)
        return;
    if (button.buttonState & 0x100)
        closeCurrentMenu(true);
    if (button.buttonState & 0x20)
        closeCurrentMenu(false);
    if ((button.buttonState & 0x200) && tourStep == 0)
        hint();
}

void MainMenuState::closeCurrentMenu(bool leaveMenu)
{
    TOVRANE_ASSERT(menuNode && "The menu's scene has not been built");
    if (menuNode->cullingMode != CullingMode::Hide)
    {
        if (leaveMenu)
            popGameState();
        return;
    }
    const NodePtr subPages[] = {writingLessonsPage, linesPage, shapesPage, drawingObjectsPage};
    bool subPageShown = false;
    for (const NodePtr& page : subPages)
        subPageShown = subPageShown || isShown(page);
    if (subPageShown)
    {
        for (const NodePtr& page : subPages)
            show(page, false);
        show(lessonsPage, true);
    }
    else if (isShown(newGameDialog))
    {
        picker.elements.clear();
        newGameDialogController->stop();
        audioPlayer->stopSpeech();
        picker.addUIElements(sceneRoot);
        show(newGameDialog, false);
        tourStep = 0;
        dialogDelayFrames = 0;
        dialogPending = false;
    }
    else
    {
        if (isShown(optionsPage))
            player->save();
        if (isShown(lessonsPage))
        {
            GameLog::gameEnd();
            gameLogOpen = false;
        }
        for (const NodePtr& page : {lessonsPage, badgesPage, micromodsPage, optionsPage})
            show(page, false);
        show(menuNode, true);
    }
}

void MainMenuState::playCallback(const ButtonEventArgs&)
{
    speak(PlaySpeech);
    menuRequest = 1;
}

void MainMenuState::exitCallback(const ButtonEventArgs&)
{
    speak(ExitSpeech);
    menuRequest = 2;
    exitSelected = true;
}

void MainMenuState::closeCallback(const ButtonEventArgs&) { closeCurrentMenu(false); }

void MainMenuState::speak(const char* speech) { audioPlayer->playSpeech(speech); }
}
