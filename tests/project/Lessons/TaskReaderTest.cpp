// Reading task files: the format's edge cases as one table, and the broken
// files of tests/data/tasks/malformed refused with one message each or read
// with a message per defect.
#include "LessonsTestSupport.h"

#include <functional>
#include <iterator>
#include <map>

using namespace LessonsTest;

namespace
{
const std::string segment =
    R"({"x0": 10, "y0": 10, "x1": 110, "y1": 10, "control_points_x": [60], "control_points_y": [10]})";

// A task of one line: the root's extra keys, then the line's.
std::string taskText(const std::string& root, const std::string& line)
{
    const bool withSegment = line.find("\"segments\"") == std::string::npos;
    return R"({"background": "b.png", "metadata_id": "m", )" + root + R"("lines": [{)" + line +
           (withSegment ? std::string(line.empty() ? "" : ", ") + R"("segments": [)" + segment + "]" : "") + "}]}";
}

struct Case
{
    const char* what;
    eTaskType type;
    std::string root, line;
    size_t messages;
    std::function<bool(const Task&, const TaskLine&)> holds;
};
}

TEST(TaskReaderTest, EdgeCasesOfTheFormat)
{
    REQUIRE_LESSONS_TITLE();
    const eTaskType writing = TaskType::WritingLesson, location = TaskType::LocationTask;
    const Case cases[] = {
        {"location, zoom 2: radius 10", location, "", R"("zoom": 2)", 0, [](const Task&, const TaskLine& l) { return l.radius == 10; }},
        {"location, zoom 1: radius 18", location, "", R"("zoom": 1)", 0, [](const Task&, const TaskLine& l) { return l.radius == 18; }},
        {"location, zoom 0: radius 26", location, "", "", 0, [](const Task&, const TaskLine& l) { return l.radius == 26; }},
        // Any other zoom keeps the wide default; the studio zooms in at most
        // twice, whatever the count.
        {"zoom 3: radius 26", location, "", R"("zoom": 3)", 0, [](const Task&, const TaskLine& l) { return l.zoom == 3 && l.radius == 26; }},
        {"zoom 2147483647: radius 26", location, "", R"("zoom": 2147483647)", 0,
         [](const Task&, const TaskLine& l) { return l.zoom == 2147483647 && l.radius == 26; }},
        {"writing lesson, any zoom: 18", writing, "", R"("zoom": 2)", 0, [](const Task&, const TaskLine& l) { return l.radius == 18; }},
        {"advanced lesson: 12", TaskType::AdvancedLesson, "", R"("radii": -3)", 0, [](const Task&, const TaskLine& l) { return l.radius == 12; }},
        {"radii 1 stays", location, "", R"("radii": 1)", 0, [](const Task&, const TaskLine& l) { return l.radius == 1 && l.segments[0].numTestPoints == 199; }},
        {"one fill size 0 stays", location, "", R"("fill_bb_w": 0, "fill_bb_h": 5, "fill_bb_x": 7)", 0,
         [](const Task&, const TaskLine& l) { return l.fillBox.w == tFixed(0) && l.fillBox.h == tFixed(5) && l.fillBox.x == tFixed(7); }},
        {"both fill sizes 0 wait for the picture", location, "", "", 0,
         [](const Task&, const TaskLine& l) { return l.fillBox.w == tFixed(0) && l.fillBox.h == tFixed(0); }},
        {"no icon: no pick-up box", location, "", R"("pickup_icon": "", "pickup_bb_x": 10)", 0,
         [](const Task&, const TaskLine& l) { return !l.pickup.present && l.pickup.boxX == 0; }},
        {"icon: pick-up box", location, "", R"("pickup_icon": "i.png", "pickup_bb_x": 10, "pickup_win_y": 4)", 0,
         [](const Task&, const TaskLine& l) { return l.pickup.present && l.pickup.boxX == 10 && l.pickup.winY == 4; }},
        {"no animation name: no ID", location, "", R"("animation_ID": "a")", 0,
         [](const Task&, const TaskLine& l) { return !l.animation.present && l.animation.animationID.empty(); }},
        {"control point without y", location, "", R"("segments": [{"x0": 1, "y0": 2, "x1": 40, "control_points_x": [5]}])", 0,
         [](const Task&, const TaskLine& l) { return l.segments[0].controlPoints[2] == at(5, 2); }},
        {"lesson Q", location, "", R"("lesson_ID": "Q")", 0, [](const Task&, const TaskLine& l) { return l.subLessonPath == "tasks/upper_Q.task"; }},
        {"lesson q", location, "", R"("lesson_ID": "q")", 0, [](const Task&, const TaskLine& l) { return l.subLessonPath == "tasks/lower_q.task"; }},
        {"lesson 7", location, "", R"("lesson_ID": "7")", 0, [](const Task&, const TaskLine& l) { return l.subLessonPath == "tasks/7.task"; }},
        {"lesson 10", location, "", R"("lesson_ID": "10")", 0, [](const Task&, const TaskLine& l) { return l.subLessonPath.empty() && l.subLessonChar == ' '; }},
        {"lesson ?", location, "", R"("lesson_ID": "?")", 0, [](const Task&, const TaskLine& l) { return l.subLessonPath.empty() && l.subLessonChar == '?'; }},
        {"start rule 2 is 3", location, "", R"("start_at_point": 2)", 0, [](const Task&, const TaskLine& l) { return l.startAt == StartAt::Anywhere; }},
        {"no start rule is 0", location, "", "", 0, [](const Task&, const TaskLine& l) { return l.startAt == StartAt::StartPoint; }},
        {"characters as an object: none", location, R"("character_data": {"a": 1}, "debug_draw": 2, )", "", 1,
         [](const Task& t, const TaskLine&) { return t.characters.empty() && t.debugDraw == 2; }},
        {"prologue in file order", location, R"("prologue": ["a", "b", "a"], )", "", 0,
         [](const Task& t, const TaskLine&) { return t.prologue == std::vector<std::string>{"a", "b", "a"}; }},
        {"a character as read", location,
         R"("character_data": [{"directory": "d", "name": "n", "pos": [101, 40, 3], "scale": [1.5, 1.5, 1], "talk_pose": "p1", "initial_talker_prologue": true}], )",
         "", 0, [](const Task& t, const TaskLine&) {
             const DoodleStruct& c = t.characters.at(0);
             return c.directory == "d" && c.pos[0] == 101 && c.pos[2] == 3 && c.scale[0] == 1.5f && c.talkPose == "p1" &&
                    c.talkerPrologue && !c.talkerEpilogue && c.controller;
         }},
    };
    for (const Case& c : cases)
    {
        std::unique_ptr<TaskStudioState> made;
        const std::vector<std::string> output = printed([&] { made = state(c.type, writeTask("case.task", taskText(c.root, c.line))); });
        const Task& task = *made->getTask();
        ASSERT_FALSE(task.isRefused()) << c.what << ": " << task.getFault();
        EXPECT_EQ(c.messages, output.size()) << c.what;
        EXPECT_TRUE(c.holds(task, task.lines.at(0))) << c.what;
    }
}

TEST(TaskReaderTest, BrokenFilesAreRefusedWithOneMessageOrReadWithOnePerDefect)
{
    REQUIRE_LESSONS_TITLE();
    const std::string folder = std::string(TOVRANE_TEST_DATA) + "/tasks/malformed/";
    std::map<std::string, size_t> defects = {{"read_short_pos_and_scale", 2}, {"read_surplus_control_points_y", 1},
                                             {"read_wrong_types", 6}};
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
    {
        // Folders are downloads, tried in the host.
        if (!entry.is_regular_file())
            continue;
        const std::string name = entry.path().stem().string();
        for (eTaskType type : {TaskType::WritingLesson, TaskType::LocationTask, TaskType::AdvancedLesson})
        {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string path = writeTask("dlc.task", std::string(std::istreambuf_iterator<char>(in), {}));
            std::unique_ptr<TaskStudioState> made;
            const std::vector<std::string> lines = printed([&] { made = state(type, path); });
            const bool refused = name.compare(0, 8, "refused_") == 0;
            EXPECT_EQ(refused, made->getTask()->isRefused()) << name;
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(refused ? 1u : defects[name], lines.size()) << name;
            EXPECT_EQ(refused ? "Refused task file " : "Task file ", lines[0].substr(0, refused ? 18 : 10)) << name;
            EXPECT_NE(std::string::npos, lines[0].find("dlc.task")) << "the file is named";
        }
        ++files;
    }
    EXPECT_GE(files, 19);
    const std::vector<std::string> missing = printed([] { state(TaskType::LocationTask, "tasks/none.task"); });
    EXPECT_EQ((std::vector<std::string>{"Refused task file " + title().path + "tasks/none.task: missing"}), missing);
}
