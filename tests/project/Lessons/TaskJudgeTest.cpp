// Touch judging: the tolerance edges as one table, the moves along a path,
// each answer with its sound, hint and debug line, and what an early lift
// does by the kind of task.
#include "LessonsTestSupport.h"

#include "Tovrane/Geometry.h"
#include "Tovrane/SceneManager.h"

#include <algorithm>

using namespace LessonsTest;

namespace
{
Vector2<tFixed> fraction(float x, float y) { return Vector2<tFixed>(tFixed(x), tFixed(y)); }

// Sample points every 10 pixels along the x axis, one segment.
TaskLine axisLine(int count, int radius)
{
    TaskLine line;
    for (int i = 0; i < count; ++i)
    {
        line.allPoints.push_back(at(10 * i, 0));
        line.visited.push_back(false);
    }
    line.segmentInfo.push_back({0, count - 1, (count - 1) / 2});
    line.radius = radius;
    line.pathEnd = count - 1;
    return line;
}

// A straight line from (20, 100) to (220, 100) and a dot at (50, 50).
const std::string lineAndDot = R"({"background": "b.png", "metadata_id": "m", "lines": [
    {"segments": [{"x0": 20, "y0": 100, "x1": 220, "y1": 100, "control_points_x": [120], "control_points_y": [100]}]},
    {"segments": [{"x0": 50, "y0": 50, "x1": 50, "y1": 50, "control_points_x": [50], "control_points_y": [50]}]}]})";

struct Touch
{
    eTouchType type;
    int x, y;
};
}

TEST(TaskJudgeTest, ToleranceEdges)
{
    for (int r : {10, 12, 18, 26})
    {
        struct Row
        {
            Vector2<tFixed> offset;
            bool hit;
        };
        std::vector<Row> rows = {{at(r, 0), true}, {at(0, -r), true}, {at(r + 1, 0), false}, {at(0, -r - 1), false},
                                 {fraction(r + 0.99f, 0), true}, {fraction(-r + 0.5f, 0), true},
                                 {fraction(-r - 0.5f, 0), false}};
        if (r == 10)
            rows.insert(rows.end(), {{at(6, 8), true}, {at(7, 8), false}, {at(6, 9), false}});
        if (r == 26)
            rows.insert(rows.end(), {{at(10, 24), true}, {at(11, 24), false}, {at(10, 25), false}});
        for (const Row& row : rows)
            EXPECT_EQ(row.hit, Task::vVerifyDist(at(0, 0), row.offset, r))
                << r << ": " << row.offset.x.toFloat() << ", " << row.offset.y.toFloat();
    }

    REQUIRE_LESSONS_TITLE();
    std::unique_ptr<TaskStudioState> made = state(TaskType::LocationTask, writeTask("judge.task", lineAndDot));
    Task& task = *made->getTask();
    task.lines[0].restorePoint = 5;
    const Vector2<tFixed> restore = task.lines[0].allPoints[5];
    for (const auto& row : {std::make_pair(at(9, 0), true), std::make_pair(at(10, 0), false),
                            std::make_pair(at(6, 6), true), std::make_pair(at(7, 6), false),
                            std::make_pair(at(-9, 1), false), std::make_pair(at(0, -9), true)})
        EXPECT_EQ(row.second, task.isAtRestorePoint(0, restore + row.first)) << row.first.x.toInt() << ", " << row.first.y.toInt();
    const Vector2<tFixed> end = task.lines[0].allPoints.back();
    EXPECT_TRUE(task.isAtEndPoint(0, end + at(-26, 0), false));
    EXPECT_FALSE(task.isAtEndPoint(0, end + at(0, 27), false));
    EXPECT_FLOAT_EQ(90.000076f, Task::angleBetween(Vector2<float>(1, 0), Vector2<float>(0, 1)));

    // The nearest of the five points round the current one, closer than 100000.
    TaskLine line = axisLine(21, 6);
    EXPECT_EQ(0, line.getClosestPointIDToCurrent(at(266, 171))) << "99997";
    EXPECT_EQ(-1, line.getClosestPointIDToCurrent(at(300, 100))) << "100000";
    // Candidates wrap at both ends of the path.
    line.direction = 1;
    EXPECT_TRUE(line.isNearLine(at(200, 0)));
    EXPECT_EQ(0, line.current) << "behind the start: accepted, not moved";
    line.current = 20;
    EXPECT_TRUE(line.isNearLine(at(10, 0)));
    EXPECT_EQ(1, line.current) << "past the end: moved on";
}

TEST(TaskJudgeTest, MovesAlongThePath)
{
    TaskLine line = axisLine(21, 6);
    line.direction = 1;
    line.current = 10;
    printed([&] {
        EXPECT_TRUE(line.isNearLine(at(115, 0)));
        EXPECT_EQ(12, line.current);
        EXPECT_EQ(2, line.visitedCount);
        EXPECT_TRUE(line.visited[11] && line.visited[12]);
        EXPECT_TRUE(line.isNearLine(at(115, 0))) << "11 and 12 still near";
        EXPECT_EQ(12, line.current);
        EXPECT_EQ(2, line.visitedCount);
        EXPECT_TRUE(line.isNearLine(at(100, 0))) << "two behind: accepted";
        EXPECT_EQ(12, line.current);
        EXPECT_FALSE(line.isNearLine(at(115, 40)));
    });

    // Without a direction: both sides keep it unset, one side sets it and jumps 3.
    line.direction = 0;
    line.current = 10;
    line.radius = 12;
    EXPECT_TRUE(line.isNearLine(at(100, 0)));
    EXPECT_EQ(0, line.direction);
    line.radius = 6;
    const std::vector<std::string> chosen = printed([&] { EXPECT_TRUE(line.isNearLine(at(120, 0))); });
    EXPECT_EQ(1, line.direction);
    EXPECT_EQ(13, line.current);
    EXPECT_EQ((std::vector<std::string>{"ADJUST PATH: Point[0] -> Point[20] - DIR[1]", "DIRECTION CHOSEN: 1",
                                        "SEGMENT CHOSEN: 0"}),
              chosen);

    // Start rules: anywhere starts at the nearest point, the lower of two equal ones.
    line.setValidStartPt(static_cast<eStartAt>(2));
    EXPECT_EQ(StartAt::Anywhere, line.startAt);
    EXPECT_EQ(10, line.getClosestPointID(at(105, 3)));
    EXPECT_EQ((std::vector<std::string>{"PATH: Point[7] -> Point[7] - DIR[0]"}),
              printed([&] { EXPECT_TRUE(line.verifyBegin(at(72, 0))); }));
    line.setValidStartPt(StartAt::EndPoint);
    line.pathStart = 0;
    line.pathEnd = 20;
    printed([&] { EXPECT_FALSE(line.verifyBegin(at(0, 0))); });
    // A closed shape with either end allowed starts forwards.
    line.allPoints.back() = line.allPoints.front();
    line.setValidStartPt(StartAt::EitherEnd);
    printed([&] { EXPECT_TRUE(line.verifyBegin(at(0, 0))); });
    EXPECT_EQ(1, line.direction);

    line.visitedCount = 9;
    EXPECT_FALSE(line.isComplete());
    line.visitedCount = 10;
    EXPECT_TRUE(line.isComplete()) << "21 / 2";
}

TEST(TaskJudgeTest, EachAnswerWithItsSoundHintAndDebugLine)
{
    REQUIRE_LESSONS_TITLE();
    Recording recording;
    std::unique_ptr<TaskStudioState> made = state(TaskType::LetterTask, writeTask("judge.task", lineAndDot));
    Task& task = *made->getTask();
    task.audio = recording.player.get();
    const std::set<std::string> hints(task.waSpeech.begin(), task.waSpeech.end());
    std::vector<Touch> along = {{TouchType::Down, 20, 100}};
    for (int x = 30; x <= 220; x += 10)
        along.push_back({TouchType::Move, x, 100});
    along.push_back({TouchType::Up, 220, 100});
    struct Case
    {
        const char* what;
        int line;
        std::vector<Touch> touches;
        int answer;
        const char* debug; // with the wrong-answer sound and a hint; null: silent
    };
    const Case cases[] = {
        {"start 10 away", 0, {{TouchType::Down, 30, 100}}, 0, nullptr},
        {"start 19 away", 0, {{TouchType::Down, 39, 100}}, 2, "INVALID - TRIGGER: WRONG START PT"},
        {"off the line", 0, {{TouchType::Down, 20, 100}, {TouchType::Move, 40, 160}}, 4, "INVALID - TRIGGER: OFF LINE"},
        {"lifted early", 0, {{TouchType::Down, 20, 100}, {TouchType::Move, 30, 100}, {TouchType::Up, 30, 100}}, 3, ""},
        {"at the end before half", 0, {{TouchType::Down, 20, 100}, {TouchType::Up, 220, 100}}, 3, ""},
        {"along the line", 0, along, 1, nullptr},
        {"beside the dot", 1, {{TouchType::Down, 80, 50}}, 5, "INVALID - TRIGGER: WRONG ZAD PT"},
        {"moved off the dot", 1, {{TouchType::Down, 50, 50}, {TouchType::Move, 90, 50}}, 5, "INVALID - TRIGGER: WRONG ZAD PT"},
        {"on the dot", 1, {{TouchType::Down, 50, 50}, {TouchType::Up, 50, 50}}, 1, nullptr},
        {"frozen after a verdict", 0, {{TouchType::Down, 39, 100}, {TouchType::Down, 20, 100}, {TouchType::Up, 220, 100},
                                       {static_cast<eTouchType>(7), 20, 100}}, 2, "INVALID - TRIGGER: WRONG START PT"},
    };
    for (const Case& c : cases)
    {
        const std::vector<std::string> output = printed([&] {
            task.newAnswer();
            for (const Touch& t : c.touches)
                task.verifyTouch(c.line, t.type, at(t.x, t.y));
        });
        EXPECT_EQ(c.answer, task.answer) << c.what;
        const std::vector<std::string> played = recording.audio->take();
        const std::vector<std::string> invalid(std::find_if(output.begin(), output.end(), [](const std::string& l) { return l.find("INVALID") == 0; }), output.end());
        EXPECT_EQ(c.debug && *c.debug ? std::vector<std::string>{c.debug} : std::vector<std::string>(), invalid) << c.what;
        ASSERT_EQ(c.debug ? 2u : 0u, played.size()) << c.what;
        EXPECT_TRUE(!c.debug || (played[0] == "h_KROM_WrongAnswerSfx_6.ogg" && hints.count(played[1]))) << c.what;
    }
}

TEST(TaskJudgeTest, AnEarlyLiftEndsWritingButLetsTasksGoOnFromTheRestorePoint)
{
    REQUIRE_LESSONS_TITLE();
    TaskStudioState::screenSize = Vector2<tFixed>(); // no picture loaded: the dots flip against 0
    const std::string path = writeTask("judge.task", lineAndDot);
    for (eTaskType type : {TaskType::WritingLesson, TaskType::LocationTask, TaskType::LetterTask,
                           TaskType::WritingSubLesson, TaskType::AdvancedLesson})
    {
        std::unique_ptr<TaskStudioState> made = state(type, path);
        Task& task = *made->getTask();
        TaskLine& line = task.lines[0];
        const bool goesOn = type == TaskType::LocationTask || type == TaskType::AdvancedLesson;
        const std::vector<std::string> output = printed([&] {
            task.newAnswer();
            for (int x : {20, 30, 40, 50})
                task.verifyTouch(0, x == 20 ? TouchType::Down : TouchType::Move, at(x, 100));
            task.verifyTouch(0, TouchType::Up, at(50, 100));
        });
        EXPECT_EQ(goesOn ? 0 : 3, task.answer) << type;
        EXPECT_EQ(goesOn, line.resumable) << type;
        if (!goesOn)
            continue;
        const int restore = line.restorePoint;
        EXPECT_EQ(line.current, restore);
        EXPECT_EQ("SAVE_RESTORE_PT[" + std::to_string(restore) + "]: 219, -100", output.back()) << "no picture loaded";
        printed([&] { task.newAnswer(); });
        EXPECT_EQ(restore, line.current) << "a new attempt keeps the lifted path";
        const Vector2<tFixed> point = line.allPoints[restore];
        printed([&] { task.verifyTouch(0, TouchType::Down, point + at(9, 0)); });
        EXPECT_EQ(0, task.answer) << "goes on as a move";
        printed([&] {
            task.verifyTouch(0, TouchType::Move, point + at(20, 0));
            task.newAnswer();
            task.verifyTouch(0, TouchType::Down, point + at(7, 7));
        });
        EXPECT_EQ(4, task.answer);
        EXPECT_EQ(restore, line.current) << "back to the restore point";
        EXPECT_EQ(restore, line.pathStart);
    }
}

TEST(TaskJudgeTest, GuideDotsSitOnThePathEndsAndFollowTheRestorePoint)
{
    REQUIRE_LESSONS_TITLE();
    SceneManager scene;
    TaskStudioState::screenSize = Vector2<tFixed>(tFixed(320), tFixed(240));
    TaskLine line = axisLine(21, 6);
    line.allPoints[0] = at(0, 100);
    line.initGuideDots(scene);
    // Centred on their points, y turned upwards, a little in front of the picture.
    const Vector3<tFixed> expected[4] = {{tFixed(0), tFixed(140), tFixed::fromRaw(6553)},
                                         {tFixed(200), tFixed(240), tFixed::fromRaw(6553)}};
    for (int k = 0; k < 4; ++k)
    {
        ASSERT_TRUE(line.guideDots[k]);
        EXPECT_EQ(expected[k % 2 == 0 ? 0 : 1], line.guideDots[k]->getPosition()) << k;
        EXPECT_EQ(CullingMode::Hide, line.guideDots[k]->cullingMode);
    }
    line.setValidStartPt(StartAt::StartPoint);
    EXPECT_TRUE(line.getStartGuideDot() == line.guideDots[0] && line.getEndGuideDot() == line.guideDots[1]);
    line.setValidStartPt(StartAt::EitherEnd);
    EXPECT_TRUE(line.getStartGuideDot() == line.guideDots[1] && line.getEndGuideDot() == line.guideDots[0]);
    line.setGuideDotCullingMode(4, CullingMode::Show);
    line.setGuideDotCullingMode(2, CullingMode::Show);
    EXPECT_EQ(CullingMode::Show, line.guideDots[2]->cullingMode);

    line.direction = 1;
    line.current = 5;
    EXPECT_EQ(std::vector<std::string>{"SAVE_RESTORE_PT[6]: 200, 240"}, printed([&] { line.saveRestorePoint(at(62, 3)); }));
    EXPECT_EQ(Vector3<tFixed>(tFixed(60), tFixed(240), tFixed::fromRaw(6553)), line.guideDots[2]->getPosition());
    line.current = 9;
    EXPECT_EQ(std::vector<std::string>{"LOAD_RESTORE_PT[6]: 200, 240"}, printed([&] { line.loadRestorePoint(); }));
    EXPECT_TRUE(line.current == 6 && line.pathStart == 6);
    TaskStudioState::screenSize = Vector2<tFixed>();
}
