// The task studio's rules as tables: where loading puts each object, zooming
// between lines, the buttons, progress with badges and achievements, and the
// line descriptions.
#include "LessonsTestSupport.h"

#include "Resources/Dialogs/DialogBox.h"
#include "Resources/Studio/ColorPie.h"
#include "Tovrane/Font.h"

#include <climits>

using namespace LessonsTest;

namespace
{
// A committed task of tests/data/tasks/screen/, as a path from the title folder:
// "placements" (every kind of picture of a 640 x 480 task, overlays too
// large, characters found and missing), "zoom_2px" and "zoom_3px" (two lines
// of zoom 2 whose zoom points lie that far apart across).
std::string screenTask(const std::string& name)
{
    return std::filesystem::relative(std::string(TOVRANE_TEST_DATA) + "/tasks/screen/" + name + ".task", title().path)
        .string();
}

// Runs a task until it has loaded.
TaskStudioState* loaded(TaskRun& run, const std::string& path, eTaskType type = TaskType::LocationTask)
{
    TaskStudioState* state = run.push(new TaskStudioState(type, path, LocationName::Firehouse));
    run.frame();
    return state;
}
}

TEST(TaskScreenRulesThreadTest, LoadingPlacesEveryObjectAndShowsFinishedLinesOnReEntry)
{
    REQUIRE_LESSONS_TITLE();
    TaskRun run;
    const std::string path = screenTask("placements");
    TaskStudioState* state = nullptr;
    const std::vector<std::string> out = printed([&] { state = loaded(run, path); });
    for (const char* message : {"Dashed Overlay has dimentions greaters than 512", "Fixed Overlay has dimentions greaters than 512",
                                "Could not load character scene nowhere of ghost", "Could not load character: nobody"})
        EXPECT_EQ(1, std::count(out.begin(), out.end(), message)) << message;
    TaskLine& line = state->getTask()->lines[0];
    const SpatialPtr canvas = state->studio->canvas, overlays = state->overlayRoot, scene = state->getSceneRoot();
    const struct
    {
        const char* name;
        SpatialPtr object;
        SpatialPtr parent;
        std::int32_t z;
        CullingMode::Type mode;
    } placed[] = {
        {"icon", line.pickup.iconSprite, canvas, -26214, CullingMode::Hide},
        {"begin", line.pickup.beginSprite, canvas, -32768, CullingMode::Show},
        {"end", line.pickup.endSprite, canvas, -32768, CullingMode::Hide},
        {"overlay", line.solidOverlay, overlays, -52428, CullingMode::Inherit},
        {"overlay 2", line.solidOverlay2, overlays, -52428, CullingMode::Inherit},
        {"dashed", line.dashedOverlay, overlays, -39321, CullingMode::Hide},
        {"fixed", line.fixedOverlay, overlays, -42598, CullingMode::Hide},
        {"fill mask", line.fillMask, SpatialPtr(), 0, CullingMode::Hide},
        {"fill overlay", line.fillOverlay, overlays, 52428, CullingMode::Show},
        {"animation", line.animation.character, canvas, -52428, CullingMode::Hide},
        {"background", state->backgroundBillboard, canvas, -58982, CullingMode::Inherit},
        {"overlay root", state->overlayRoot, canvas, 0, CullingMode::Inherit},
        {"quit question", state->quitDialogBox, state->quitDialogRoot, 131072, CullingMode::Show},
        {"its root", state->quitDialogRoot, scene, 0, CullingMode::Hide},
        {"colour pie", state->colorPie, state->colorPieRoot, 58982, CullingMode::Inherit},
        {"its root", state->colorPieRoot, scene, 0, CullingMode::Hide},
        {"baker", state->getTask()->characters[0].character, scene, 196608, CullingMode::Inherit},
    };
    for (const auto& row : placed)
    {
        ASSERT_TRUE(row.object) << row.name;
        EXPECT_EQ(row.parent, row.object->getParent()) << row.name;
        EXPECT_EQ(row.z, row.object->local[14].getRaw()) << row.name;
        EXPECT_EQ(row.mode, row.object->cullingMode) << row.name;
    }
    EXPECT_EQ("Fill Overlay: task/red_dot.png", line.fillOverlay->getName());
    const Matrix<tFixed>& baker = state->getTask()->characters[0].character->local;
    EXPECT_EQ((std::vector<std::int32_t>{3309568, 1310720, 98304, 98304, 65536}),
              (std::vector<std::int32_t>{baker[12].getRaw(), baker[13].getRaw(), baker[0].getRaw(), baker[5].getRaw(),
                                         baker[10].getRaw()}));
    EXPECT_EQ("p1", state->getTask()->characters[0].controller->getPose()) << "the first talker";
    EXPECT_FALSE(state->getTask()->characters[1].character || state->getTask()->characters[2].character);
    EXPECT_FALSE(state->getTask()->lines[1].dashedOverlay || state->getTask()->lines[1].fixedOverlay);
    EXPECT_EQ(640 << 16, TaskStudioState::screenSize.x.getRaw());

    // Covered and uncovered after its first line: that line looks finished, the characters have gone.
    state->currentLine = 1;
    state->setState(TaskStudioState::LessonAnim, 0);
    Application::PushGameState(new Below);
    run.frame();
    Application::PopGameState();
    run.frame();
    run.frame();
    ASSERT_EQ(state, run.current());
    const PickupData& pickup = state->getTask()->lines[0].pickup;
    EXPECT_EQ((std::vector<int>{1, 1, 2, 1, 1, 1, 2, 2, 1}),
              (std::vector<int>{pickup.iconSprite->cullingMode, pickup.beginSprite->cullingMode, pickup.endSprite->cullingMode,
                                line.solidOverlay->cullingMode, line.solidOverlay2->cullingMode, line.dashedOverlay->cullingMode,
                                line.fixedOverlay->cullingMode, line.animation.character->cullingMode,
                                state->getTask()->characters[0].character->cullingMode}));
}

TEST(TaskScreenRulesThreadTest, LinesZoomInOnTheirPointAndStayZoomedForANeighbourWithinTwoPixels)
{
    REQUIRE_LESSONS_TITLE();
    for (int apart : {2, 3})
    {
        TaskRun run;
        TaskStudioState* state = loaded(run, screenTask("zoom_" + std::to_string(apart) + "px"));
        Canvas& canvas = *state->studio->canvas;
        state->zoomIn(false);
        EXPECT_EQ(2 << 16, canvas.getZoom().getRaw()) << "two steps up from half";
        int sx = 0, sy = 0;
        canvas.screenXY(300, 200, sx, sy);
        EXPECT_TRUE(std::abs(sx - 160) <= 1 && std::abs(sy - 120) <= 1) << "the zoom point in the middle: " << sx << ", " << sy;
        state->zoomOut();
        EXPECT_EQ(apart == 2, state->keepZoom) << apart;
        EXPECT_EQ(apart == 2 ? 2 << 16 : 1 << 15, canvas.getZoom().getRaw()) << apart;
        state->currentLine = 1;
        state->zoomIn(false);
        EXPECT_EQ(2 << 16, canvas.getZoom().getRaw()) << apart << ": zoomed in either way";
        state->getTask()->lines[1].zoom = 0;
        state->zoomOut();
        EXPECT_FALSE(state->keepZoom);
        EXPECT_EQ(2 << 16, canvas.getZoom().getRaw()) << "a line without zoom only clears the flag";
    }
    // A count past the canvas's two steps zooms as far as two, and back.
    TaskRun run;
    TaskStudioState* state = loaded(run, screenTask("zoom_3px"));
    state->getTask()->lines[0].zoom = INT_MAX;
    state->zoomIn(false);
    EXPECT_EQ(2 << 16, state->studio->canvas->getZoom().getRaw());
    state->zoomOut();
    EXPECT_EQ(1 << 15, state->studio->canvas->getZoom().getRaw());
}

TEST(TaskScreenRulesThreadTest, ButtonsActByTheFirstRuleThatHolds)
{
    REQUIRE_LESSONS_TITLE();
    ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    typedef TaskStudioState S;
    const struct
    {
        std::uint32_t mask; // 0: a touch
        bool cheats;
        S::eState phase;
        int finger;
        const char* outcome;
    } rows[] = {
        {0x200, false, S::TaskDraw, 0, "hint TaskIntro"},          {0x200, false, S::TaskDraw, 1, "nothing"},
        {0x200, false, S::FreeFormTaskDraw, 0, "hint FreeFormTaskIntro"}, {0x200, false, S::Prologue, 0, "nothing"},
        {0x100, false, S::TaskIntro, 0, "quit"},                   {0x20, false, S::Epilogue, 0, "quit"},
        {0x60, false, S::Prologue, 0, "quit"},                     {0x60, true, S::Prologue, 0, "nothing"},
        {0x40, true, S::TaskDraw, 0, "dots"},                      {0xC0, true, S::TaskDraw, 0, "Epilogue"},
        {0x80, true, S::Prologue, 0, "prologue cut"},              {0x10, false, S::Prologue, 0, "prologue cut"},
        {0x10, false, S::TaskDraw, 0, "nothing"},                  {0, false, S::Prologue, 0, "prologue cut"},
    };
    for (const auto& row : rows)
    {
        player->cheatsEnabled = row.cheats;
        player->locationStates[LocationName::WritingLesson] = TaskState::Started; // the prologue was heard
        TaskRun run;
        TaskStudioState* state = run.push(new TaskStudioState(TaskType::WritingLesson, 0, LocationName::WritingLesson));
        run.frame();
        state->setState(row.phase, 0);
        state->lastTouchState = row.finger;
        if (row.mask)
            run.button(row.mask);
        else // a touch, which a prologue heard before also skips
            run.touch(10, 10, true);
        std::string outcome = "nothing";
        if (state->hintRequested)
            outcome = std::string("hint ") + (state->getState() == S::TaskIntro ? "TaskIntro" : "FreeFormTaskIntro");
        else if (state->quitDialogOpen)
            outcome = "quit";
        else if (state->showDebugDots)
            outcome = "dots";
        else if (state->getState() != row.phase)
            outcome = state->getState() == S::Epilogue ? "Epilogue" : "another phase";
        else if (state->getTask()->prologue.empty())
            outcome = "prologue cut";
        EXPECT_EQ(row.outcome, outcome) << std::hex << row.mask << " cheats " << row.cheats << " phase " << row.phase;
        if (outcome.compare(0, 4, "hint") == 0)
        {
            EXPECT_EQ("HintRequest 1 ", run.records().back());
        }
    }
    player->cheatsEnabled = false;
    player->locationStates[LocationName::WritingLesson] = TaskState::Locked;
}

TEST(TaskScreenRulesThreadTest, FinishingRecordsProgressWithItsBadgeWindowAndAchievement)
{
    REQUIRE_LESSONS_TITLE();
    ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    const struct
    {
        const char* name;
        int lesson;        // a writing lesson, or -1 for the location
        int location;
        int othersDone;    // other lessons of its group, or other locations 4-24, complete
        bool again;        // the lesson, its badge and achievement were earned before
        bool hadBadge;
        const char* window;
        int badge, achievement;
        bool saved;
    } rows[] = {
        {"last upper-case letter", 13, 4, 25, false, false, "COMPLETE UPPER CASE LESSONS", 0, 1, true},
        {"played again", 13, 4, 25, true, true, "", 0, 1, true},
        {"badge kept, achievement new", 40, 4, 25, false, true, "", 1, 2, true},
        {"a digit short of the group", 5, 4, 8, false, false, "", -1, -1, true},
        {"lesson 62", 62, 4, 0, false, false, "", -1, -1, true},
        {"downloaded location", -1, 25, 0, false, false, "", -1, -1, false},
        {"happy forest", -1, 13, 0, false, false, "FIX VESK'S HAPPY LITTLE FOREST", 12, -1, true},
        {"town hall, the 20th", -1, 8, 19, false, false, "FIX TOWN HALL", 6, -1, true},
        {"the 21st location", -1, 9, 20, false, false, "FIX PLAYTIME PARK", 8, 0, true},
        {"a location without a badge", -1, 26, 0, false, false, "", -1, -1, true},
    };
    for (const auto& row : rows)
    {
        player->onReset();
        player->onNew();
        const int group = row.lesson >= 36 ? 36 : row.lesson >= 10 ? 10 : 0;
        for (int k = group, done = 0; row.lesson >= 0 && done < row.othersDone; ++k)
            if (k != row.lesson)
                player->lessonStates[k] = TaskState::Complete, ++done;
        for (int k = 4, done = 0; row.lesson < 0 && done < row.othersDone; ++k)
            if (k != row.location)
                player->locationStates[k] = TaskState::Complete, ++done;
        if (row.again)
            player->lessonStates[row.lesson] = TaskState::Complete, player->achievements[row.achievement] = 1;
        if (row.hadBadge)
            player->badges[row.badge] = 1;
        for (const std::string& file : {player->getLessonDataPath(), player->getPlayerDataPath()})
            std::filesystem::remove(file);

        TaskRun run;
        TaskStudioState* state =
            run.push(new TaskStudioState(TaskType::LocationTask, "tasks/firehouse.task", static_cast<LocationName::Type>(row.location)));
        run.frame();
        if (row.lesson >= 0)
            state->saveFile_Lessons(row.lesson);
        else
            state->saveFile_Tasks();
        const NodePtr window = state->getAchievementWindow();
        EXPECT_EQ(row.window, window ? static_cast<Font*>(window->getChild(1).get())->getText() : "") << row.name;
        if (row.lesson >= 0)
            EXPECT_EQ(TaskState::Complete, player->getLessonState(row.lesson)) << row.name;
        else
            EXPECT_EQ(row.location == 25 ? TaskState::Locked : TaskState::Complete, player->locationStates[row.location]);
        for (int badge = 0; badge < ScrivletPlayer::badgeCount; ++badge)
            EXPECT_EQ(badge == row.badge, player->hasBadge(static_cast<BadgeName::Type>(badge))) << row.name << " " << badge;
        for (int achievement = 0; achievement < ScrivletPlayer::achievementCount; ++achievement)
            EXPECT_EQ(achievement == row.achievement, player->hasAchievement(static_cast<AchievementName::Type>(achievement)))
                << row.name << " " << achievement;
        EXPECT_EQ(row.saved, std::filesystem::exists(player->getLessonDataPath())) << row.name;
        EXPECT_EQ(row.lesson < 0 && row.location != 25, TaskStudioState::completedLastLocation) << row.name;
    }
    player->onReset();
    player->onNew();
}

TEST(TaskScreenRulesThreadTest, LineDescriptionsNameTheirKindAndTheEndsOfTheirPath)
{
    REQUIRE_LESSONS_TITLE();
    TaskStudioState state(TaskType::LocationTask, "tasks/firehouse.task", LocationName::Firehouse);
    const Vector2<tFixed> start(tFixed::fromRaw(-32768), tFixed(2)), end(tFixed(3), tFixed(4));
    const struct
    {
        std::function<void(TaskLine&)> make;
        const char* text;
    } rows[] = {
        {[](TaskLine& l) { l.subLessonPath = "tasks/upper_F.task"; }, ""},
        {[](TaskLine& l) { l.pickup.present = true, l.pickup.boxX = 1, l.pickup.boxY = 2, l.pickup.boxW = 3, l.pickup.boxH = 4, l.pickup.winY = -5; },
         "PERSPECTIVE XY=[1,2] W=3 H=4 MOVE_Y=-5\n"},
        {[](TaskLine& l) { l.fillMaskImage = "m.png", l.fillColorReq = 7; }, "COLOR_REQ=WARM\n"},
        {[](TaskLine& l) { l.fillMaskImage = "m.png", l.fillColorReq = 9; }, "COLOR_REQ=\n"},
        {[](TaskLine& l) { l.loggingID = "AFB", l.loggingAnim = "ball", l.loggingAnimFrame = "3"; },
         "ANIMATION NAME=ball FRAME=3\nLINE START=[-1,2] END=[3,4]\n"},
        {[](TaskLine& l) { l.loggingID = "DSL"; }, "STRAIGHT LINE START=[-1,2] END=[3,4]\n"},
        {[](TaskLine& l) { l.loggingID = "DDT"; }, "ZAD LINE START=[-1,2] END=[3,4]\n"},
        {[](TaskLine& l) { l.loggingID = "FIR1"; }, "LINE START=[-1,2] END=[3,4]\n"},
    };
    for (const auto& row : rows)
    {
        TaskLine line;
        line.allPoints = {start, Vector2<tFixed>(), end};
        line.pathEnd = 2;
        row.make(line);
        testing::internal::CaptureStderr();
        state.debugLog_TaskIntro(line);
        EXPECT_EQ(row.text, testing::internal::GetCapturedStderr());
    }
}

