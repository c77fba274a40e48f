// Tasks refused at their entry, run in process on the generated title: any
// picture a task names that is missing refuses it with one line before
// anything is loaded, the state pops, and no usage record is written for it;
// so does a name the file system cannot look up.
#include "LessonsTestSupport.h"

#include <sys/stat.h>

#include <iterator>

using namespace LessonsTest;

namespace
{
// A location task naming one picture of every kind, all in the title.
const std::string fullTask = R"({"logging_ID1": "LOC_case", "background": "task/fountain_background.png",
 "canvas": "task/firehouse_background.png", "metadata_id": "task_fountain",
 "lines": [{"overlay": {"image": "task/fountain_1_solid.png"}, "overlay2": "task/fountain_2_solid.png",
  "dashed_overlay": {"image": "task/fountain_1_dashed.png"}, "fixed_overlay": "task/fountain_2_dashed.png",
  "fill_overlay": "task/fountain_3_solid.png", "fill_mask": "task/library_6_mask.png",
  "pickup_icon": "task/fountain_6_icon.png", "pickup_begin": "task/fountain_6_begin.png",
  "pickup_end": "task/fountain_6_end.png", "pickup_bb_w": 64, "pickup_bb_h": 64,
  "segments": [{"x0": 100, "y0": 400, "x1": 540, "y1": 400, "control_points_x": [320], "control_points_y": [400]}]}]})";

// The full task with one name replaced, and the end of the one line that
// refuses it (empty for a task that runs).
struct RefusalCase
{
    const char* what;
    std::string name, replacement, refusal;
};
}

TEST(TaskRefusalThreadTest, AMissingPictureRefusesTheTaskWhichWritesNoUsageRecord)
{
    REQUIRE_LESSONS_TITLE();
    const std::string gone = "task/gone.png";
    const std::string tooLong = "task/" + std::string(300, 'x') + ".png", cannot = " cannot be looked up (File name too long)";
    const RefusalCase cases[] = {
        {"all there", "", "", ""},
        {"background", "task/fountain_background.png", gone, "its background task/gone.png is missing"},
        {"canvas", "task/firehouse_background.png", gone, "its picture task/gone.png is missing"},
        {"sheet", "\"task_fountain\"", "\"gone\"", "its sprite sheet gone.tex is missing"},
        {"solid overlay", "task/fountain_1_solid.png", gone, "its overlay task/gone.png is missing"},
        {"second overlay", "task/fountain_2_solid.png", gone, "its overlay task/gone.png is missing"},
        {"dashed overlay", "task/fountain_1_dashed.png", gone, "its overlay task/gone.png is missing"},
        {"fixed overlay", "task/fountain_2_dashed.png", gone, "its overlay task/gone.png is missing"},
        {"fill overlay", "task/fountain_3_solid.png", gone, "its overlay task/gone.png is missing"},
        {"fill mask", "task/library_6_mask.png", gone, "its fill mask task/gone.png is missing"},
        {"pick-up icon", "task/fountain_6_icon.png", gone, "its pick-up picture task/gone.png is missing"},
        {"pick-up begin", "task/fountain_6_begin.png", gone, "its pick-up picture task/gone.png is missing"},
        {"pick-up end", "task/fountain_6_end.png", gone, "its pick-up picture task/gone.png is missing"},
        {"a sprite of another task's sheet", "task/fountain_1_solid.png", "task/library_5_solid.png",
         "its overlay task/library_5_solid.png is missing"},
        {"a file the reader refuses", "{", "[", "not JSON"},
        // Names the file system cannot look up refuse the task like missing ones.
        {"background name too long", "task/fountain_background.png", tooLong, "its background " + tooLong + cannot},
        {"sheet name too long", "\"task_fountain\"", "\"" + tooLong.substr(5) + "\"",
         "its sprite sheet " + tooLong.substr(5) + ".tex" + cannot},
        {"overlay name too long", "task/fountain_1_solid.png", tooLong, "its overlay " + tooLong + cannot},
    };
    for (const RefusalCase& c : cases)
    {
        TaskRun run;
        TaskStudioState* state = nullptr;
        const std::vector<std::string> output = printed([&] {
            std::string text = fullTask;
            text.replace(text.find(c.name), c.name.size(), c.replacement);
            const std::string path = writeTask("refusal.task", text);
            state = run.push(new TaskStudioState(TaskType::LocationTask, path, LocationName::Fountain));
            run.frame();
        });
        const std::vector<std::string> refused = with(output, "Refused task file ");
        if (!c.refusal.empty())
        {
            ASSERT_EQ(1u, refused.size()) << c.what;
            EXPECT_EQ(c.refusal, refused[0].substr(refused[0].find(": ") + 2)) << c.what;
            EXPECT_EQ(1u, run.stackSize()) << c.what << ": popped";
            EXPECT_TRUE(with(output, "Could not").empty()) << c.what << ": nothing loaded";
            EXPECT_EQ(std::vector<std::string>{}, run.records()) << c.what;
            continue;
        }
        EXPECT_EQ(std::vector<std::string>{}, refused);
        EXPECT_EQ(std::vector<std::string>{"GameAreaStart LOC_case"}, run.records()) << "opened once it runs";
        ASSERT_TRUE(state->studio && state->getTask()->lines[0].pickup.endSprite);
        state->quitConfirmed = true;
        EXPECT_TRUE(run.until([&] { return run.stackSize() == 1; }));
        EXPECT_EQ((std::vector<std::string>{"GameAreaStart LOC_case", "GameAreaExit"}), run.records());
    }
}

// Downloads whose task file cannot be taken, or whose names hold control
// characters: one line each, saying what stands there, with every name's
// control characters written out so that none forges a second line.
TEST(TaskRefusalThreadTest, DownloadsWithStrangeFilesOrNamesAreRefusedWithOneEscapedLine)
{
    REQUIRE_LESSONS_TITLE();
    namespace fs = std::filesystem;
    std::ifstream original(title().path + "tasks/firehouse.task");
    const std::string firehouse((std::istreambuf_iterator<char>(original)), std::istreambuf_iterator<char>());
    // The firehouse with one name replaced.
    auto replaced = [&firehouse](const std::string& name, const std::string& by) {
        std::string text = firehouse;
        return text.replace(text.find(name), name.size(), by);
    };
    const std::string downloads = title().scratch + "downloads/";
    const struct
    {
        const char* what;
        std::string folder;
        std::function<void(const std::string& folder)> make;
        std::string refusal;
    } cases[] = {
        {"a NUL ending a sheet's name early", "nul",
         [&](const std::string& f) { std::ofstream(f + "dlc.task") << replaced("\"task_firehouse\"", "\"task_firehouse.tex\\u0000\""); },
         "its sprite sheet task_firehouse.tex\\x00 holds a control character"},
        {"an escape sequence in a picture's name", "escape",
         [&](const std::string& f) { std::ofstream(f + "dlc.task") << replaced("task/firehouse_background.png", "\\u001b[2J.png"); },
         "its background \\x1b[2J.png holds a control character"},
        {"a newline in the download's own name", "line\nRefused task file forged", [](const std::string&) {}, "missing"},
        {"a folder for a task file", "folder", [](const std::string& f) { fs::create_directory(f + "dlc.task"); },
         "it is a folder, not a file"},
        {"a pipe for a task file", "pipe", [](const std::string& f) { ASSERT_EQ(0, ::mkfifo((f + "dlc.task").c_str(), 0644)); },
         "it is a pipe, not a file"},
        {"a link loop for a task file", "loop", [](const std::string& f) { fs::create_symlink("dlc.task", f + "dlc.task"); },
         "its file dlc.task is a link loop"},
    };
    for (const auto& c : cases)
    {
        const std::string folder = downloads + c.folder + "/";
        fs::create_directories(folder);
        c.make(folder);
        std::unique_ptr<TaskStudioState> state;
        const std::vector<std::string> output = printed([&] { state.reset(new TaskStudioState(folder)); });
        EXPECT_TRUE(state->getTask()->isRefused()) << c.what;
        std::string shown = folder;
        if (shown.find('\n') != std::string::npos)
            shown.replace(shown.find('\n'), 1, "\\n");
        EXPECT_EQ(std::vector<std::string>{"Refused task file " + shown + "dlc.task: " + c.refusal}, with(output, "Refused"))
            << c.what;
    }
    fs::remove_all(downloads);

    // The title's own tasks take no control character in a name either.
    std::string text = firehouse;
    text.replace(text.find("task/firehouse_background.png"), 29, "fire\\nhouse.png");
    const std::vector<std::string> output =
        with(printed([&] { state(TaskType::LocationTask, writeTask("control.task", text)); }), "Refused");
    ASSERT_EQ(1u, output.size());
    EXPECT_NE(std::string::npos, output[0].find(": its background fire\\nhouse.png holds a control character"));
}
