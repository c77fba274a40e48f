// The lesson launchers run in process on the state harness: every pushed
// state is named and popped at once (a movie, task or game that ends at
// its first frame), quit as the child quits it, or the launcher abandoned.
#include "LessonsTestSupport.h"

#include <algorithm>

#include "Resources/Dialogs/DialogEventArgs.h"
#include "Resources/Lessons/AnimationLauncherState.h"
#include "Resources/Lessons/ColorsLauncherState.h"
#include "Resources/Lessons/CompositionLauncherState.h"
#include "Resources/Lessons/LinesLauncherState.h"
#include "Resources/Lessons/OrganicShapesLauncherState.h"
#include "Resources/Lessons/SeeingShapesLauncherState.h"
#include "Resources/Lessons/ShapesLauncherState.h"
#include "Resources/Lessons/WarmCoolLauncherState.h"
#include "Resources/Lessons/WildCalmLauncherState.h"
#include "Resources/MiniGames/MiniGameState.h"
#include "Tovrane/FlashState.h"

using namespace LessonsTest;

namespace
{
typedef std::vector<std::string> Lines;

// Each lesson's steps as written down for it, one string per enter; "end"
// closes a sub-lesson.
const Lines linesSteps = {
    "movie Lines_Intro.swf", "movie Horizontal_Lines_p1.swf", "task tasks/straight_line.task 38",
    "movie Horizontal_Lines_p2.swf", "task tasks/horizontal_line.task 39", "movie Horizontal_Lines_p3.swf",
    "task tasks/vertical_line.task 40", "movie Straight_Lines_Outro.swf +2", "end",
    "movie Curved_Lines_p1.swf", "task tasks/curve.task 41", "movie Curved_Lines_p2.swf", "task tasks/waves.task 42",
    "movie Curved_Lines_Outro.swf +3", "end",
    "movie Diagonal_Lines_p1.swf", "task tasks/diagonal_line.task 43", "movie Diagonal_Lines_p2a.swf",
    "task tasks/zigzag.task 44", "movie Diagonal_Lines_p2b.swf", "movie Diagonal_Lines_Outro.swf +4", "end"};
const Lines shapesSteps = {
    "movie Shapes_intro.swf", "movie Triangle_p1.swf", "task tasks/shapes_eq_triangle.task 28", "movie Triangle_p2.swf",
    "task tasks/shapes_triangle_2.task 29", "movie Triangle_Outro.swf +6", "end",
    "movie Rectangles_p1.swf", "task tasks/shapes_rectangle.task 30", "movie Rectangles_p2.swf",
    "task tasks/shapes_square.task 31", "movie Rectangles_Outro.swf +7", "end",
    "movie Circle_p1.swf", "task tasks/shapes_circle.task 32", "movie Circle_p2.swf",
    "task tasks/shapes_ellipse.task 33", "movie Circle_Outro.swf +8", "end",
    "movie Polygons_p1.swf", "task tasks/shapes_hexigon.task 34", "movie Polygons_Outro.swf +9", "end"};
const Lines organicSteps = {
    "movie Organic_Intro.swf", "movie Organic_Shapes_p1a.swf", "task tasks/cloud.task 35",
    "movie Organic_Shapes_p1b.swf +13", "end",
    "movie Organic_Shapes_p2a.swf", "task tasks/tree.task 36", "movie Organic_Shapes_p2b.swf", "task tasks/car.task 37",
    "movie Organic_Shapes_p2c.swf +12", "end"};

struct Lesson
{
    const char* name;
    std::function<LessonLauncherState*(int index, bool story)> make;
    Lines steps;
    // First step and game-area code of the indexes 0, 1, 2, 3, 4 and 9.
    int first[6];
    const char* code[6];
};

const Lesson lessons[] = {
    {"Lines", [](int i, bool s) { return new LinesLauncherState(i, s, s); }, linesSteps,
     {0, 0, 9, 15, 0, 0}, {"", "DSL", "DCL", "DDL", "", ""}},
    {"Shapes", [](int i, bool s) { return new ShapesLauncherState(i, s, s); }, shapesSteps,
     {0, 0, 7, 13, 19, 0}, {"", "TRI", "REC", "CIR", "HEX", ""}},
    {"OrganicShapes", [](int i, bool s) { return new OrganicShapesLauncherState(i, s, s); }, organicSteps,
     {0, 0, 5, 0, 0, 0}, {"", "DOC", "DWO", "", "", ""}},
    {"SeeingShapes", [](int, bool s) { return new SeeingShapesLauncherState(s, s); },
     {"movie Seeing_Shapes_Intro.swf", "movie Seeing_Shapes.swf", "task tasks/seeing_shapes.task 27",
      "movie Seeing_Shapes_Outro.swf", "end +10"}, {}, {"SET"}},
    {"Colors", [](int, bool s) { return new ColorsLauncherState(s, s); },
     {"movie Color.swf", "game MixingColorsState", "movie Colors_Outro.swf", "end +14"}, {}, {"PSC"}},
    {"WarmCool", [](int, bool s) { return new WarmCoolLauncherState(s, s); },
     {"movie Warm_Cool_p1.swf", "movie Warm_Cool_p2.swf", "game WarmCoolState", "end !6 +15"}, {}, {"WCC"}},
    {"WildCalm", [](int, bool s) { return new WildCalmLauncherState(s, s); },
     {"movie Wild_Calm_Intro.swf", "movie Colors_Calm.swf", "task tasks/calm.task 47", "movie Colors_Wild.swf",
      "task tasks/wild.task 46", "movie Wild_Calm_Outro.swf", "end +16"}, {}, {"WCA"}},
    {"Composition", [](int, bool s) { return new CompositionLauncherState(s, s); },
     {"movie Composition_p1.swf", "game SkyGroundState", "task tasks/horizon_line.task 45", "movie Composition_p2.swf",
      "game MovingObjectsState", "movie Composition_p3.swf", "game PickPineapplesState", "movie Composition_Outro.swf",
      "end !7 +17"}, {}, {"CPH"}},
    {"Animation", [](int, bool s) { return new AnimationLauncherState(s, s); },
     {"movie Animation_p1.swf", "task tasks/animation.task 48", "movie Animation_Outro.swf", "end !8 +18"}, {}, {"AFB"}},
};
const int indexes[6] = {0, 1, 2, 3, 4, 9};
bool indexed(const Lesson& lesson) { return lesson.code[1] != nullptr; }

// The expected run: from the first step to the first end after it.
Lines expected(const Lesson& lesson, int first)
{
    Lines run;
    for (size_t k = first; k < lesson.steps.size(); ++k)
    {
        run.push_back(lesson.steps[k]);
        if (lesson.steps[k].compare(0, 3, "end") == 0)
            break;
    }
    return run;
}

// The profile's complete entries and held achievements, so that a run can
// name what each step added.
std::set<std::string> progress()
{
    const ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    std::set<std::string> marks;
    for (int k = 0; k < ScrivletPlayer::advancedLessonCount; ++k)
        if (player->getAdvancedLessonState(k) == TaskState::Complete)
            marks.insert("+" + std::to_string(k));
    for (int k = 0; k < ScrivletPlayer::achievementCount; ++k)
        if (player->hasAchievement(static_cast<AchievementName::Type>(k)))
            marks.insert("!" + std::to_string(k));
    return marks;
}

std::string describe(GameState* state)
{
    if (auto* movie = dynamic_cast<FlashState*>(state))
        return "movie " + movie->getMoviePath().substr(movie->getMoviePath().find_last_of('/') + 1);
    if (auto* task = dynamic_cast<TaskStudioState*>(state))
    {
        EXPECT_EQ(TaskType::AdvancedLesson, task->getTaskType());
        return "task " + task->getTaskPath().substr(System::getPath().size()) + " " + std::to_string(task->getLocation());
    }
    return "game " + state->getStateName();
}

// Runs the launcher on `run` until it has popped; `atStep` handles each
// pushed state (by default it pops it). Each step's string names what the
// profile gained while it was current.
Lines play(TaskRun& run, LessonLauncherState* launcher,
           const std::function<void(GameState*)>& atStep = [](GameState*) { Application::PopGameState(); })
{
    Lines seen;
    std::set<std::string> before = progress();
    const auto gained = [&](std::string text) {
        const std::set<std::string> now = progress();
        for (const std::string& mark : now)
            if (!before.count(mark))
                text += " " + mark;
        before = now;
        return text;
    };
    boost::weak_ptr<GameState> last;
    Application::PushGameState(launcher);
    for (int frames = 0; run.stackSize() > 1 && frames < 2000; ++frames)
    {
        run.frame();
        GameStatePtr top = run.harness.current();
        if (run.stackSize() > 2 && !dynamic_cast<LessonLauncherState*>(top.get()) && last.lock() != top)
        {
            last = top;
            seen.push_back(gained(describe(top.get())));
            atStep(top.get());
        }
    }
    // Popped states are destroyed at the next switch.
    run.frame();
    seen.push_back(gained("end"));
    return seen;
}

std::string fileBytes(const std::string& name)
{
    std::ifstream in(ScrivletPlayer::getCurrentPlayerData()->localDataPath + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
const char* const profileFiles[] = {"data.bin", "lesson.bin", "animation.bin", "achievements.bin"};
}

TEST(LauncherThreadTest, EveryLauncherAndIndexPushesItsStepsFromTheStoryAndInPractice)
{
    REQUIRE_LESSONS_TITLE();
    ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    for (const Lesson& lesson : lessons)
        for (int i = 0; i < (indexed(lesson) ? 6 : 1); ++i)
            for (bool story : {true, false})
            {
                const std::string what = std::string(lesson.name) + " " + std::to_string(indexes[i]) +
                                         (story ? " story" : " practice");
                player->onNew();
                player->save();
                std::string files[4];
                for (int f = 0; f < 4; ++f)
                    files[f] = fileBytes(profileFiles[f]);
                TaskStudioState::skip = false;
                TaskRun run;
                const Lines seen = play(run, lesson.make(indexes[i], story));
                Lines want = expected(lesson, indexed(lesson) ? lesson.first[i] : 0);
                if (!story)
                    for (std::string& step : want)
                        step = step.substr(0, std::min(step.find(" +"), step.find(" !")));
                EXPECT_EQ(want, seen) << what;
                EXPECT_FALSE(TaskStudioState::skip) << what;
                const Lines area = {std::string("GameAreaStart ") + lesson.code[i], "GameAreaExit"};
                Lines records = run.records();
                records.erase(std::remove_if(records.begin(), records.end(),
                                             [](const std::string& r) { return r.compare(0, 8, "GameArea") != 0; }),
                              records.end());
                EXPECT_EQ(story ? Lines() : area, records) << what;
                for (int f = 0; f < 4 && !story; ++f)
                    EXPECT_EQ(files[f], fileBytes(profileFiles[f])) << what << ": " << profileFiles[f];
                // A story run's entries are on disk when it ends.
                const std::string lessonFile = fileBytes("lesson.bin");
                for (int k = 0; k < ScrivletPlayer::advancedLessonCount && story; ++k)
                    EXPECT_EQ(player->getAdvancedLessonState(k), lessonFile.at(256 + 4 * k)) << what << " entry " << k;
            }
    player->onNew();
}

TEST(LauncherThreadTest, GroupChecksCompleteALessonOnceWithItsAchievement)
{
    REQUIRE_LESSONS_TITLE();
    ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    const struct
    {
        std::function<LessonLauncherState*()> make;
        std::vector<int> before;
        std::string end;
    } rows[] = {
        {[] { return new LinesLauncherState(3, true, true); }, {2, 3}, "end !4 +1"},
        // The group already complete: neither the achievement nor the entry again.
        {[] { return new LinesLauncherState(3, true, true); }, {1, 2, 3}, "end"},
        {[] { return new LinesLauncherState(2, true, true); }, {2}, "end"},
        {[] { return new ShapesLauncherState(1, true, true); }, {7, 8, 9}, "end !5 +5"},
        {[] { return new OrganicShapesLauncherState(1, true, true); }, {12}, "end +11"},
        {[] { return new OrganicShapesLauncherState(2, true, true); }, {13}, "end +11"},
    };
    for (const auto& row : rows)
    {
        player->onNew();
        for (int entry : row.before)
            player->setAdvancedLessonState(entry, TaskState::Complete);
        TaskRun run;
        // Set while the outro plays, the skip is cleared by the normal end.
        const auto outroSetsSkip = [](GameState* state) {
            auto* movie = dynamic_cast<FlashState*>(state);
            TaskStudioState::skip = movie && movie->getMoviePath().find("Outro") != std::string::npos;
            Application::PopGameState();
        };
        EXPECT_EQ(row.end, play(run, row.make(), outroSetsSkip).back());
        EXPECT_FALSE(TaskStudioState::skip);
    }
    player->onNew();
}

TEST(LauncherThreadTest, QuittingAGameOrTaskAbandonsTheLesson)
{
    REQUIRE_LESSONS_TITLE();
    ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    const struct
    {
        std::function<LessonLauncherState*(bool)> make;
        Lines seen;
        int entry;
        // The usage log's last records, from the story and in practice.
        Lines story, practice;
    } rows[] = {
        {[](bool s) { return new ColorsLauncherState(s, s); }, {"movie Color.swf", "game MixingColorsState", "end"}, 14,
         {"ActivityExit 0 3"}, {"ActivityExit 0 3", "GameAreaExit"}},
        {[](bool s) { return new LinesLauncherState(2, s, s); },
         {"movie Curved_Lines_p1.swf", "task tasks/curve.task 41", "end"}, 3, {}, {"GameAreaExit"}},
    };
    for (const auto& row : rows)
        for (bool story : {true, false})
        {
            player->onNew();
            TaskStudioState::skip = false;
            TaskRun run;
            // The child says yes to the quit question of a game, or of a task
            // still in its prologue; movies end.
            const auto quit = [](GameState* state) {
                if (auto* game = dynamic_cast<MiniGameState*>(state))
                    game->dialogBoxCallback(DialogEventArgs(DialogEventArgs::Yes));
                else if (auto* task = dynamic_cast<TaskStudioState*>(state))
                    task->dialogBoxCallback(DialogEventArgs(DialogEventArgs::Yes));
                else
                    Application::PopGameState();
            };
            EXPECT_EQ(row.seen, play(run, row.make(story), quit));
            EXPECT_EQ(1u, run.stackSize());
            // From the story the task studio below is told to leave as well.
            EXPECT_EQ(story, TaskStudioState::skip);
            EXPECT_NE(TaskState::Complete, player->getAdvancedLessonState(row.entry));
            // The quit activity's end comes before the game area's.
            const Lines records = run.records(), tail = story ? row.story : row.practice;
            ASSERT_LE(tail.size(), records.size());
            EXPECT_EQ(tail, Lines(records.end() - tail.size(), records.end()));
        }
    TaskStudioState::skip = false;
    player->onNew();
}

TEST(LauncherThreadTest, ALauncherLeftUnfinishedMakesTheTaskLeaveWithReasonThree)
{
    REQUIRE_LESSONS_TITLE();
    // A lesson whose first step is still under way when it is abandoned.
    struct Abandoned : LinesLauncherState
    {
        Abandoned() : LinesLauncherState(1, true, true) {}
        void enter() override { GameState::enter(); }
    };
    TaskRun run;
    run.push(new TaskStudioState(TaskType::LocationTask, "tasks/firehouse.task", LocationName::Firehouse));
    ASSERT_TRUE(run.untilDrawing());
    Application::PushGameState(new Abandoned);
    run.frame();
    Application::PopGameState();
    ASSERT_TRUE(run.until([&] { return run.stackSize() == 1; }, 10));
    run.frame();
    EXPECT_FALSE(TaskStudioState::skip);
    const Lines records = run.records();
    ASSERT_LE(2u, records.size());
    EXPECT_EQ((Lines{"ActivityExit 0 3", "GameAreaExit"}), Lines(records.end() - 2, records.end()));
}
