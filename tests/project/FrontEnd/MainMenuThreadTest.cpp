// The main menu as the first state of a fresh run: what each choice says and
// starts, how pages close, the page shown again after a lesson, and the
// spoken tours on the fixed clock.
#include "MenuTestSupport.h"

#include "Resources/Lessons/LessonLauncherState.h"
#include "Resources/Lessons/TaskStudioState.h"
#include "Resources/Town/TindlewoodMapState.h"

using namespace MenuTest;

namespace
{
using MainMenuThreadTest = Menu;

TEST_F(MainMenuThreadTest, PlayWaitsForItsAnnouncementThenTheMapComesAfterTheMovieOrTheSequence)
{
    for (int newGame : {1, 0})
    {
        player->mapTutorialPending = static_cast<unsigned char>(newGame);
        tap(Play);
        EXPECT_EQ("h_SCRIVLET_PlayAnnncdAsTtl_3.ogg", speech());
        tap(Lessons);
        press(0x100);
        EXPECT_EQ(menu->menuNode, shownPage()) << "input waits with the request";
        events();
        ASSERT_TRUE(frameUntil([&] { return current<TindlewoodMapState>() != nullptr; }));
        EXPECT_EQ(newGame ? (Lines{"enter FlashState", "PushApp ActionNews_Intro.swf", "enter TindlewoodMapState"})
                          : (Lines{"enter WelcomeBackState", "enter TindlewoodMapState"}),
                  events({"enter", "PushApp"}));
        EXPECT_EQ(0, GameTitle::savedByte(player->getPlayerDataPath(), 1)) << "saved, then cleared by the map";
        press(0x20);
        backInMenu();
    }
}

TEST_F(MainMenuThreadTest, LeavingTheGameByExitOrEscapeButNotByBackspace)
{
    const struct
    {
        std::function<void()> leave;
        const char* logged; // the title's end, or none
    } ways[] = {{[&] { press(0x20); }, nullptr}, {[&] { tap(Exit); }, "TitleExit\t1"}, {[&] { press(0x100); }, "TitleExit\t3"}};
    for (const auto& way : ways)
    {
        startMenu();
        way.leave();
        frameUntil([&] { return harness->handler().isClosing(); }, 100);
        EXPECT_EQ(way.logged != nullptr, harness->handler().isClosing());
        const bool spoke = !events({"audio-start h_SCRIVLET_ExitAnnncdAsTtl_3.ogg"}).empty();
        EXPECT_EQ(way.logged ? Lines{way.logged} : Lines{}, logged());
        EXPECT_EQ(spoke, way.logged && way.logged[10] == '1') << "only Exit speaks before it leaves";
    }
}

TEST_F(MainMenuThreadTest, WritingLessonsSayCaseAndNameThenStartAndComeBackToTheirPickerPage)
{
    // Every lesson's page shows it: the picker stops at its last full page.
    const std::vector<int>& ids = menu->writingLessonSlotDialog->ids;
    for (int lesson = 0; lesson < MainMenuState::WritingLessonCount; ++lesson)
    {
        const long item = std::find(ids.begin(), ids.end(), lesson) - ids.begin();
        const long first = std::min<long>(6 * MainMenuState::wr_pg_cnt[lesson], static_cast<long>(ids.size()) - 6);
        EXPECT_TRUE(item >= first && item < first + 6) << lesson;
    }
    const struct
    {
        int lesson, locale;
        Lines said;
        int firstShown;
    } rows[] = {{61, 2, {"LowerCase_1.ogg", "LtrZed_3.ogg"}, 48}, {61, 3, {"LowerCase_1.ogg", "LtrZed_3.ogg"}, 48},
                {61, 4, {"LowerCase_1.ogg", "Z_3.ogg"}, 48},      {35, 1, {"UpperCase_1.ogg", "Z_3.ogg"}, 48},
                {35, 2, {"UpperCase_1.ogg", "LtrZed_3.ogg"}, 48}, {40, 0, {"LowerCase_1.ogg", "E_3.ogg"}, 6},
                {10, 0, {"UpperCase_1.ogg", "A_3.ogg"}, 0},       {8, 0, {"8_3.ogg"}, 56}};
    for (const auto& row : rows)
    {
        player->locale = row.locale;
        quiet();
        events();
        menu->writingLessonSlotCallback(SlotDialogEventArgs(1, row.lesson));
        ASSERT_TRUE(frameUntil([&] { return harness->currentAs<TaskStudioState>() != nullptr; }));
        Lines said;
        for (const std::string& line : events({"audio-start h_SCRIVLET_"}))
            said.push_back(line.substr(std::string("audio-start h_SCRIVLET_").size()));
        EXPECT_EQ(row.said, said) << row.lesson << " " << row.locale;
        TaskStudioState* task = harness->currentAs<TaskStudioState>();
        EXPECT_TRUE(task->getTaskType() == TaskType::WritingLesson && task->lessonID == row.lesson &&
                    task->getLocation() == LocationName::WritingLesson);
        Application::PopGameState();
        backInMenu();
        EXPECT_EQ(menu->writingLessonsPage, shownPage());
        EXPECT_EQ(row.firstShown, menu->writingLessonSlotDialog->first);
        EXPECT_EQ(-1, menu->lessonRequest);
    }
}

TEST_F(MainMenuThreadTest, AfterTheCreditsTheOptionsPageWithMusicInvitationAndTheProfilesVolume)
{
    coverAndReturn([&] {
        menu->returnToOptions = 1;
        player->musicVolume = 52;
    });
    EXPECT_EQ(menu->optionsPage, shownPage());
    EXPECT_EQ(52, AudioPlayer::musicVolume);
    EXPECT_EQ(Lines({"audio-start h_MUSIC_MainMnMsc60ScndsLpng_6.ogg", "audio-start h_VIDORIV_TapYrChcWthThStyls_3.ogg"}),
              events({"audio-start"}));
}

TEST_F(MainMenuThreadTest, LessonIconsOpenSubPagesOrAnnounceTheirLessonInOneGameOfLessons)
{
    const struct
    {
        int id;
        NodePtr MainMenuState::*page; // shown afterwards
        int request;
        const char* said; // null: nothing
    } rows[] = {{0, &MainMenuState::writingLessonsPage, -1, "h_VIDORIV_ChooseLttrOrNmbrTWrt_3.ogg"},
                {1, &MainMenuState::linesPage, -1, "h_SCRIVLET_ChooseATypOfLnTDrw_3.ogg"},
                {5, &MainMenuState::shapesPage, -1, "h_SCRIVLET_ChooseAShpTLrnAbt_3.ogg"},
                {11, &MainMenuState::drawingObjectsPage, -1, "h_SCRIVLET_ChooseAnObjctTDrw_3.ogg"},
                {10, &MainMenuState::lessonsPage, 3, "h_VIDORIV_SeeingShpsAnnncdAsTt_3.ogg"},
                {14, &MainMenuState::lessonsPage, 5, "h_VIDORIV_ColorsAnnncdAsTtl_3.ogg"},
                {15, &MainMenuState::lessonsPage, 6, "h_VIDORIV_WarmAndClClrsAnnncdA_3.ogg"},
                {16, &MainMenuState::lessonsPage, 7, "h_VIDORIV_CalmAndWldClrsAnnncd_3.ogg"},
                {17, &MainMenuState::lessonsPage, 8, "h_VIDORIV_HorizonLnAnnncdAsTtl_3.ogg"},
                {18, &MainMenuState::lessonsPage, 9, "h_VIDORIV_AnimationAnnncdAsTtl_3.ogg"},
                {2, &MainMenuState::lessonsPage, -1, nullptr}};
    const char* prompt = "audio-start h_VIDORIV_ChooseALesson_3.ogg";
    tap(Lessons);
    quiet();
    EXPECT_EQ((Lines{"audio-start h_SCRIVLET_LessonsAnnncdAsTtl_3.ogg", prompt}), events({"audio-start h_SCRIVLET_L", prompt}));
    for (const auto& row : rows)
    {
        quiet();
        menu->lessonSlotCallback(SlotDialogEventArgs(0, row.id));
        EXPECT_EQ(menu->*row.page, shownPage()) << row.id;
        EXPECT_EQ(row.request, menu->lessonRequest) << row.id;
        EXPECT_EQ(row.said ? row.said : "", speaking() ? speech() : "") << row.id;
        menu->lessonRequest = -1;
        if (row.page != &MainMenuState::lessonsPage)
        {
            quiet();
            press(0x20); // back to the lessons page, which invites again
            quiet();
            EXPECT_EQ(Lines{prompt}, events({prompt}));
        }
    }
    menu->advLessonSlotCallback1(SlotDialogEventArgs(5, -1));
    EXPECT_EQ(-1, menu->lessonRequest) << "an empty slot";
    tap(Close);
    EXPECT_EQ(menu->menuNode, shownPage());
    EXPECT_EQ((Lines{"GameStart\tLESSONS", "GameExit"}), logged()) << "one game while moving between lesson pages";
}

TEST_F(MainMenuThreadTest, TheHelpButtonGivesToursThatNameEachButtonWhileItsHighlightBlinks)
{
    const struct
    {
        Point opens; // the page the tour is about, none for the main page
        Lines said;
        std::vector<GeometryPtr MainMenuState::*> marks;
    } tours[] = {{{0, 0},
                  {"PlayAnnncdAsTtl", "LessonsAnnncdAsTtl", "BadgesAnnncdAsTtl", "MicromodsAnnncdAsTt",
                   "OptionsAnnncdAsTtl", "ExitAnnncdAsTtl", "TapYrChcWthThStyls"},
                  {&MainMenuState::playHighlight, &MainMenuState::lessonsHighlight, &MainMenuState::badgesHighlight,
                   &MainMenuState::micromodsHighlight, &MainMenuState::optionsHighlight, &MainMenuState::exitHighlight}},
                 {Options,
                  {"StartNwGmAnnncdAsTtl", "MusicVlmAnnncdAsTtl", "CreditsAnnncdAsTtl", "TapYrChcWthThStyls"},
                  {&MainMenuState::newGameHighlight, &MainMenuState::volumeHighlight, &MainMenuState::creditsHighlight}}};
    for (const auto& tour : tours)
    {
        if (tour.opens.x)
            tap(tour.opens);
        quiet();
        const NodePtr page = shownPage();
        events();
        press(0x200);
        std::vector<unsigned int> starts;
        Lines said;
        for (int frames = 0; menu->tourKind != 0 && frames < 1000; ++frames)
        {
            const unsigned int now = harness->app->getApplicationTime();
            for (const std::string& line : events({"audio-start"}, &starts))
                said.push_back(line.substr(line.find('_', 14) + 1, line.size() - line.find('_', 14) - 7));
            // The reference: off for 125 ms, then on and off in turns of
            // 125 ms, never during the last announcement.
            const size_t k = said.size();
            const bool lit = k <= tour.marks.size() && ((now - starts.back()) / 125) % 2 == 1;
            for (size_t m = 0; m < tour.marks.size(); ++m)
                ASSERT_EQ(lit && m + 1 == k, MainMenuState::isShown(menu->*tour.marks[m]))
                    << "mark " << m << " at " << now - starts.back() << " ms into announcement " << k;
            if (frames == 300) // every input is dropped meanwhile
            {
                tap(Lessons);
                press(0x100 | 0x20 | 0x200);
            }
            else
                frame();
        }
        EXPECT_EQ(tour.said, said);
        for (size_t k = 1; k < starts.size(); ++k)
            EXPECT_TRUE(starts[k] - starts[k - 1] > 2000 && starts[k] - starts[k - 1] <= 2020) << k;
        EXPECT_EQ(page, shownPage());
        EXPECT_GE(harness->app->getApplicationTime() - starts.back(), 2000u) << "the last one is given its time";
        press(0x20);
        EXPECT_EQ(tour.opens.x != 0, GameTitle::fs::exists(player->getPlayerDataPath())) << "closing options saves";
    }
    // Single sentences elsewhere; nothing on the badges page.
    for (const auto& page : {std::make_pair(Extras, "h_SCRIVLET_MicromodsAnnncdAsTt_3.ogg"), std::make_pair(Badges, "")})
    {
        tap(page.first);
        quiet();
        press(0x200);
        EXPECT_EQ(page.second, speaking() ? speech() : "");
        press(0x20);
    }
    tap(Lessons);
    EXPECT_EQ(menu->lessonsPage, shownPage()) << "touches work again";
}

TEST_F(MainMenuThreadTest, EveryLessonIconStartsItsLauncherForPracticeAndComesBackToItsPage)
{
    typedef void (MainMenuState::*Choice)(const SlotDialogEventArgs&);
    const struct
    {
        Choice choose;
        int id;
        const char* launcher;
        const char* area; // the practice run's game area: the lesson and its part
        NodePtr MainMenuState::*page;
        int firstShown; // of the lessons picker
    } rows[] = {{&MainMenuState::advLessonSlotCallback1, 2, "LinesLauncherState", "DSL", &MainMenuState::linesPage, 0},
                {&MainMenuState::advLessonSlotCallback1, 3, "LinesLauncherState", "DCL", &MainMenuState::linesPage, 0},
                {&MainMenuState::advLessonSlotCallback1, 4, "LinesLauncherState", "DDL", &MainMenuState::linesPage, 0},
                {&MainMenuState::advLessonSlotCallback2, 6, "ShapesLauncherState", "TRI", &MainMenuState::shapesPage, 0},
                {&MainMenuState::advLessonSlotCallback2, 7, "ShapesLauncherState", "REC", &MainMenuState::shapesPage, 0},
                {&MainMenuState::advLessonSlotCallback2, 8, "ShapesLauncherState", "CIR", &MainMenuState::shapesPage, 0},
                {&MainMenuState::advLessonSlotCallback2, 9, "ShapesLauncherState", "HEX", &MainMenuState::shapesPage, 0},
                {&MainMenuState::advLessonSlotCallback3, 12, "OrganicShapesLauncherState", "DOC",
                 &MainMenuState::drawingObjectsPage, 0},
                {&MainMenuState::advLessonSlotCallback3, 13, "OrganicShapesLauncherState", "DWO",
                 &MainMenuState::drawingObjectsPage, 0},
                {&MainMenuState::lessonSlotCallback, 10, "SeeingShapesLauncherState", "SET", &MainMenuState::lessonsPage, 0},
                {&MainMenuState::lessonSlotCallback, 14, "ColorsLauncherState", "PSC", &MainMenuState::lessonsPage, 0},
                {&MainMenuState::lessonSlotCallback, 15, "WarmCoolLauncherState", "WCC", &MainMenuState::lessonsPage, 4},
                {&MainMenuState::lessonSlotCallback, 16, "WildCalmLauncherState", "WCA", &MainMenuState::lessonsPage, 4},
                {&MainMenuState::lessonSlotCallback, 17, "CompositionLauncherState", "CPH", &MainMenuState::lessonsPage, 4},
                {&MainMenuState::lessonSlotCallback, 18, "AnimationLauncherState", "AFB", &MainMenuState::lessonsPage, 4}};
    for (const auto& row : rows)
    {
        quiet();
        logged();
        (menu->*row.choose)(SlotDialogEventArgs(0, row.id));
        const bool announced = row.choose == &MainMenuState::lessonSlotCallback;
        EXPECT_EQ(announced ? 1u : 2u, stackSize()) << row.id << ": pushed at the touch, or after the announcement";
        GameStatePtr launcher;
        ASSERT_TRUE(frameUntil([&] {
            launcher = harness->handler().getState(1);
            return launcher && !launcher->isExited();
        }));
        while (!launcher->isLoaded())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_EQ(std::string(row.launcher), launcher->getStateName().substr(launcher->getStateName().rfind(':') + 1));
        const LessonLauncherState* lesson = dynamic_cast<LessonLauncherState*>(launcher.get());
        ASSERT_NE(nullptr, lesson);
        EXPECT_FALSE(lesson->isFromStory() || lesson->skipsTaskOnAbort()) << row.id;
        // The lesson itself is the launchers' business: back to the menu.
        for (size_t above = stackSize(); above > 1; --above)
            Application::PopGameState();
        launcher.reset();
        backInMenu();
        EXPECT_EQ((Lines{std::string("GameAreaStart\t") + row.area, "GameAreaExit"}), logged()) << row.id;
        EXPECT_EQ(menu->*row.page, shownPage()) << row.id;
        EXPECT_EQ(row.firstShown, menu->lessonSlotDialog->first) << row.id;
    }
}
}
