// The main menu as the first state of a fresh run.
#include "MenuTestSupport.h"

#include "Resources/FrontEnd/CreditsState.h"
#include "Resources/Lessons/LessonLauncherState.h"
#include "Resources/Lessons/TaskStudioState.h"
#include "Resources/Town/TindlewoodMapState.h"

#include "CMicroDownloads.h"

#include <set>

using namespace MenuTest;
using StateTestSupport::near;

namespace
{
using MainMenuThreadTest = Menu;

// Play: the intro movie for a new game; else the welcome-back sequence, whose
// news and montage come only between the firehouse and the mansion.
TEST_F(MainMenuThreadTest, PlayWaitsForItsAnnouncementThenTheMapComesAfterTheMovieOrTheSequence)
{
    const Lines sequence = {"enter WelcomeBackState", "enter FlashState", "PushApp ActionNews_Middle_Intro.swf",
                            "enter WelcomeBackState", "enter MontageState", "enter WelcomeBackState", "enter FlashState",
                            "PushApp ActionNews_Middle_End.swf", "enter WelcomeBackState", "enter TindlewoodMapState"};
    const Lines none = {"enter WelcomeBackState", "enter TindlewoodMapState"};
    const Lines movie = {"enter FlashState", "PushApp ActionNews_Intro.swf", "enter TindlewoodMapState"};
    const struct
    {
        int newGame;
        TaskState::Type firehouse, mansion;
        const Lines& expected;
    } rows[] = {{1, TaskState::Complete, TaskState::Started, movie},      {0, TaskState::Complete, TaskState::Started, sequence},
                {0, TaskState::Available, TaskState::Locked, none},       {0, TaskState::Complete, TaskState::Complete, none},
                {0, TaskState::Started, TaskState::Complete, none}};
    for (const auto& row : rows)
    {
        player->mapTutorialPending = static_cast<unsigned char>(row.newGame);
        player->locationStates[LocationName::Firehouse] = row.firehouse;
        player->locationStates[LocationName::SpookyMansion] = row.mansion;
        tap(Play);
        EXPECT_EQ("h_SCRIVLET_PlayAnnncdAsTtl_3.ogg", speech());
        tap(Lessons);
        press(0x100);
        EXPECT_EQ(menu->menuNode, shownPage()) << "input waits with the request";
        events();
        ASSERT_TRUE(frameUntil([&] { return current<TindlewoodMapState>() != nullptr; }));
        EXPECT_EQ(row.expected, events({"enter", "PushApp"})) << row.newGame << " " << row.firehouse << " " << row.mansion;
        EXPECT_EQ(2u, stackSize());
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
    // The picker page shown on the way back is the writing walk's to check.
    const struct
    {
        int lesson, locale;
        const char* said;
    } rows[] = {{61, 2, "LowerCase_1.ogg LtrZed_3.ogg "}, {61, 3, "LowerCase_1.ogg LtrZed_3.ogg "},
                {61, 4, "LowerCase_1.ogg Z_3.ogg "},      {35, 1, "UpperCase_1.ogg Z_3.ogg "},
                {35, 2, "UpperCase_1.ogg LtrZed_3.ogg "}, {40, 0, "LowerCase_1.ogg E_3.ogg "},
                {10, 0, "UpperCase_1.ogg A_3.ogg "},      {8, 0, "8_3.ogg "}};
    for (const auto& row : rows)
    {
        player->locale = row.locale;
        quiet();
        events();
        menu->writingLessonSlotCallback(SlotDialogEventArgs(1, row.lesson));
        ASSERT_TRUE(frameUntil([&] { return harness->currentAs<TaskStudioState>() != nullptr; }));
        std::string said;
        for (const std::string& line : events({"audio-start h_SCRIVLET_"}))
            said += line.substr(23) + " ";
        EXPECT_EQ(row.said, said) << row.lesson << " " << row.locale;
        TaskStudioState* task = harness->currentAs<TaskStudioState>();
        EXPECT_TRUE(task->getTaskType() == TaskType::WritingLesson && task->lessonID == row.lesson &&
                    task->getLocation() == LocationName::WritingLesson);
        Application::PopGameState();
        backInMenu();
        EXPECT_TRUE(menu->writingLessonsPage == shownPage() && menu->lessonRequest == -1);
    }
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
                GameTitle::touch(Lessons.x, Lessons.y, 1), GameTitle::touch(Lessons.x, Lessons.y, 0), GameTitle::buttons(0x320), GameTitle::buttons(0);
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

TEST_F(MainMenuThreadTest, EveryLessonIconOpensItsPageOrStartsItsLauncherAndComesBack)
{
    typedef void (MainMenuState::*Choice)(const SlotDialogEventArgs&);
    typedef NodePtr MainMenuState::*Page;
    const Choice Main = &MainMenuState::lessonSlotCallback, Lines1 = &MainMenuState::advLessonSlotCallback1,
                 Shapes = &MainMenuState::advLessonSlotCallback2, Objects = &MainMenuState::advLessonSlotCallback3;
    const Page LessonsPage = &MainMenuState::lessonsPage, LinesPage = &MainMenuState::linesPage,
               ShapesPage = &MainMenuState::shapesPage, ObjectsPage = &MainMenuState::drawingObjectsPage;
    // Which launcher, and the picker page on the way back, are the lesson walk's to check.
    const struct
    {
        Choice choose;
        int id;
        Page page;        // shown afterwards
        const char* said; // by the main page's icons: "" nothing
        const char* area; // the practice run's game area; null: no launcher
    } rows[] = {{Main, 0, &MainMenuState::writingLessonsPage, "h_VIDORIV_ChooseLttrOrNmbrTWrt_3.ogg", nullptr},
                {Main, 1, LinesPage, "h_SCRIVLET_ChooseATypOfLnTDrw_3.ogg", nullptr},
                {Main, 5, ShapesPage, "h_SCRIVLET_ChooseAShpTLrnAbt_3.ogg", nullptr},
                {Main, 11, ObjectsPage, "h_SCRIVLET_ChooseAnObjctTDrw_3.ogg", nullptr},
                {Main, 2, LessonsPage, "", nullptr},
                {Main, 10, LessonsPage, "h_VIDORIV_SeeingShpsAnnncdAsTt_3.ogg", "SET"},
                {Main, 14, LessonsPage, "h_VIDORIV_ColorsAnnncdAsTtl_3.ogg", "PSC"},
                {Main, 15, LessonsPage, "h_VIDORIV_WarmAndClClrsAnnncdA_3.ogg", "WCC"},
                {Main, 16, LessonsPage, "h_VIDORIV_CalmAndWldClrsAnnncd_3.ogg", "WCA"},
                {Main, 17, LessonsPage, "h_VIDORIV_HorizonLnAnnncdAsTtl_3.ogg", "CPH"},
                {Main, 18, LessonsPage, "h_VIDORIV_AnimationAnnncdAsTtl_3.ogg", "AFB"},
                {Lines1, 2, LinesPage, "", "DSL"},
                {Lines1, 3, LinesPage, "", "DCL"},
                {Lines1, 4, LinesPage, "", "DDL"},
                {Shapes, 6, ShapesPage, "", "TRI"},
                {Shapes, 7, ShapesPage, "", "REC"},
                {Shapes, 8, ShapesPage, "", "CIR"},
                {Shapes, 9, ShapesPage, "", "HEX"},
                {Objects, 12, ObjectsPage, "", "DOC"},
                {Objects, 13, ObjectsPage, "", "DWO"}};
    const char* prompt = "audio-start h_VIDORIV_ChooseALesson_3.ogg";
    tap(Lessons);
    quiet();
    EXPECT_EQ((Lines{"audio-start h_SCRIVLET_LessonsAnnncdAsTtl_3.ogg", prompt}), events({"audio-start h_SCRIVLET_L", prompt}));
    EXPECT_EQ(Lines{"GameStart\tLESSONS"}, logged()) << "one game while moving between lesson pages";
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.id);
        quiet();
        (menu->*row.choose)(SlotDialogEventArgs(0, row.id));
        const bool atTheTouch = row.choose != Main && row.area;
        EXPECT_EQ(atTheTouch ? 2u : 1u, stackSize()) << "pushed at the touch, or after the announcement";
        EXPECT_TRUE(row.choose != Main || row.said == (speaking() ? speech() : "")) << row.said;
        if (!row.area)
        {
            EXPECT_EQ(menu->*row.page, shownPage());
            EXPECT_EQ(-1, menu->lessonRequest);
            if (row.page != LessonsPage)
            {
                quiet();
                press(0x20); // back to the lessons page, which invites again
                quiet();
                EXPECT_EQ(Lines{prompt}, events({prompt}));
            }
            EXPECT_EQ(Lines{}, logged());
            continue;
        }
        GameStatePtr launcher;
        ASSERT_TRUE(frameUntil([&] { return (launcher = harness->handler().getState(1)) && !launcher->isExited(); }));
        while (!launcher->isLoaded())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const LessonLauncherState* lesson = dynamic_cast<LessonLauncherState*>(launcher.get());
        EXPECT_TRUE(lesson && !lesson->isFromStory() && !lesson->skipsTaskOnAbort());
        // The lesson itself is the launchers' business: back to the menu.
        for (size_t above = stackSize(); above > 1; --above)
            Application::PopGameState();
        launcher.reset();
        backInMenu();
        EXPECT_EQ((Lines{std::string("GameAreaStart\t") + row.area, "GameAreaExit"}), logged());
        EXPECT_EQ(menu->*row.page, shownPage());
    }
    menu->advLessonSlotCallback1(SlotDialogEventArgs(5, -1));
    EXPECT_EQ(-1, menu->lessonRequest) << "an empty slot";
    EXPECT_EQ(1u, stackSize());
    tap(Close); // from a sub-page to the lessons page, and from there out of the lessons
    EXPECT_EQ(menu->lessonsPage, shownPage());
    EXPECT_EQ(Lines{}, logged());
    tap(Close);
    EXPECT_EQ(menu->menuNode, shownPage());
    EXPECT_EQ(Lines{"GameExit"}, logged());
}

TEST_F(MainMenuThreadTest, ABadgeSaysWhetherItIsEarnedAndOnlyTheChosenOneLooksSelected)
{
    tap(Badges);
    std::set<std::string> said;
    for (int id = 0; id < ScrivletPlayer::badgeCount * 2; ++id)
    {
        player->badges[id / 2] = static_cast<unsigned char>(id % 2);
        menu->badgeSlotCallback(SlotDialogEventArgs(0, id / 2));
        EXPECT_EQ(MainMenuState::badgeSpeech(id / 2, id % 2), speech());
        EXPECT_EQ(id % 2 ? "_5.ogg" : "_3.ogg", speech().substr(speech().size() - 6)) << id / 2;
        said.insert(speech());
    }
    EXPECT_EQ(54u, said.size()) << "every badge has two speeches of its own";
    EXPECT_TRUE(said.count("h_SCRIVLET_YouHaveFixedTheMill_5.ogg") && said.count("h_SCRIVLET_FixBfysGymTErnThsBd_3.ogg"));

    // The last page: badges 22 to 26 and the empty item; the third chosen.
    for (int i = 0; i < 4; ++i)
        menu->badgeSlotDialog->pageRight();
    menu->badgeSlotDialog->onSelect(2);
    const std::vector<Rgba> corners = faceCorners(*menu->badgeSlotDialog);
    for (int slot = 0; slot < 5; ++slot)
        EXPECT_EQ(slot != 2, near(Grey, corners[slot]) || near(Gold, corners[slot])) << slot;
    quiet();
    menu->badgeSlotDialog->onSelect(5);
    EXPECT_FALSE(speaking()) << "the empty item says nothing";
    EXPECT_EQ(corners, faceCorners(*menu->badgeSlotDialog)) << "and changes no face";
}

TEST_F(MainMenuThreadTest, DownloadedExtrasShowUnlockedAndSayWhatTheyAre)
{
    const std::string root = XQM::CMicroDownloads::GetDownloadsPath(0).raw();
    for (bool downloaded : {false, true})
    {
        for (const auto& package : {std::make_pair("frame/", R"({"type": "Frame", "frame": 4})"),
                                    std::make_pair("stamp/", R"({"type": "Stamp", "stamp": 20})")})
            if (downloaded && std::filesystem::create_directories(root + package.first))
                std::ofstream(root + package.first + "download.json") << package.second;
        if (downloaded)
            player->load(), startMenu();
        tap(Extras);
        auto dialog = boost::dynamic_pointer_cast<SlotDialog>(menu->micromodsPage->getChild(3));
        ASSERT_TRUE(dialog && dialog->getItemCount() == 12);
        for (int item = 0; item < 12; ++item)
        {
            const int id = dialog->ids[item];
            const bool unlocked = downloaded && (id == 4 || id == 20);
            EXPECT_EQ(!unlocked, near(Grey, dialog->thumbnails[item]->getPixel(4, 4))) << id;
            menu->micromodSlotCallback(SlotDialogEventArgs(0, id));
            EXPECT_EQ(!unlocked ? "h_VIDORIV_MicromodNtDwnlddCnnc_3.ogg" : id == 4 ? "h_VIDORIV_CustomPictureFrame_3.ogg" : "h_VIDORIV_CustomStamp_3.ogg", speech()) << id;
        }
    }
}

TEST_F(MainMenuThreadTest, TheVolumeSliderStoresThirtyToSixtyAndShowsTheStoredVolume)
{
    // The knob shows a stored volume, and a touch on it keeps it; 25 waits at the left end.
    const float stored[][3] = {{30, 40, 40}, {45, 112.5f, 113}, {60, 185, 185}, {25, 40, 0}}; // volume, knob, touch
    for (const auto& row : stored)
    {
        player->musicVolume = static_cast<unsigned char>(row[0]);
        startMenu();
        EXPECT_TRUE(row[0] == AudioPlayer::musicVolume && tFixed(row[1]) == menu->volumeSlider->getPosition().x) << row[0];
        tap(Options);
        if (row[2])
            slide(static_cast<int>(row[2]));
        EXPECT_EQ(row[0], player->musicVolume);
    }
    const int touches[][2] = {{10, 30}, {40, 30}, {112, 44}, {113, 45}, {185, 60}, {300, 60}, {113, 45}};
    for (const auto& touch : touches)
    {
        slide(touch[0]);
        EXPECT_TRUE(touch[1] == player->musicVolume && touch[1] == AudioPlayer::musicVolume) << touch[0];
    }
    press(0x20);
    EXPECT_EQ(45, GameTitle::savedByte(player->getPlayerDataPath(), 5)) << "closing the page saves";
}

TEST_F(MainMenuThreadTest, ANewGameIsAskedAndOnlyYesResetsTheStory)
{
    player->reset();
    player->save();
    const std::string defaults = files()[0];
    const std::pair<Point, const char*> answers[] = {
        {Yes, "h_VIDORIV_Yes_3.ogg"}, {No, "h_VIDORIV_No_3.ogg"}, {CloseQuestion, "(none)"}};
    for (const auto& answer : answers)
    {
        player->mapTutorialPending = 0;
        player->musicVolume = 50;
        player->badges[BadgeName::Library] = 1;
        player->setLocationState(LocationName::Firehouse, TaskState::Complete);
        player->save();
        std::vector<std::string> before = files();

        tap(Options);
        tap(NewGame);
        events();
        tap(answer.first);
        tap(Credits);
        EXPECT_TRUE(MainMenuState::isShown(menu->newGameDialog)) << "touches reach nothing while it asks";
        ASSERT_TRUE(frameUntil([&] { return !menu->dialogPending; }));
        EXPECT_EQ(3u, events({"audio-start h_VIDORIV_", "enter"}).size()) << "question and answers, then its buttons";
        tap(answer.first);
        EXPECT_FALSE(MainMenuState::isShown(menu->newGameDialog));
        EXPECT_EQ(answer.second, speaking() ? speech() : "(none)");
        if (answer.first.x == Yes.x)
            before[0] = defaults;
        EXPECT_EQ(before, files());
        EXPECT_EQ(menu->optionsPage, shownPage());
        press(0x20);
    }
}
}
