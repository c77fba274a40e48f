// Tasks refused at their entry, run in process on the generated title: any
// picture a task names that is missing refuses it with one line before
// anything is loaded, the state pops, and no usage record is written for it.
#include "LessonsTestSupport.h"

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

// The state of one case, pushed; what it prints meanwhile goes to `output`.
struct RefusalCase
{
    const char* what;
    std::function<TaskStudioState*()> make;
    // The end of the one line printed, empty for a task that runs.
    std::string refusal;
};

// The full task with one name replaced.
RefusalCase without(const char* what, const std::string& name, const std::string& missing, const std::string& refusal)
{
    return {what,
            [=] {
                std::string text = fullTask;
                text.replace(text.find(name), name.size(), missing);
                const std::string path = writeTask("refusal.task", text);
                return new TaskStudioState(TaskType::LocationTask, path, LocationName::Fountain);
            },
            refusal};
}
}

TEST(TaskRefusalThreadTest, AMissingPictureRefusesTheTaskWhichWritesNoUsageRecord)
{
    REQUIRE_LESSONS_TITLE();
    const std::string gone = "task/gone.png";
    const RefusalCase cases[] = {
        without("all there", "", "", ""),
        without("background", "task/fountain_background.png", gone, "its background task/gone.png is missing"),
        without("canvas", "task/firehouse_background.png", gone, "its picture task/gone.png is missing"),
        without("sheet", "\"task_fountain\"", "\"gone\"", "its sprite sheet gone.tex is missing"),
        without("solid overlay", "task/fountain_1_solid.png", gone, "its overlay task/gone.png is missing"),
        without("second overlay", "task/fountain_2_solid.png", gone, "its overlay task/gone.png is missing"),
        without("dashed overlay", "task/fountain_1_dashed.png", gone, "its overlay task/gone.png is missing"),
        without("fixed overlay", "task/fountain_2_dashed.png", gone, "its overlay task/gone.png is missing"),
        without("fill overlay", "task/fountain_3_solid.png", gone, "its overlay task/gone.png is missing"),
        without("fill mask", "task/library_6_mask.png", gone, "its fill mask task/gone.png is missing"),
        without("pick-up icon", "task/fountain_6_icon.png", gone, "its pick-up picture task/gone.png is missing"),
        without("pick-up begin", "task/fountain_6_begin.png", gone, "its pick-up picture task/gone.png is missing"),
        without("pick-up end", "task/fountain_6_end.png", gone, "its pick-up picture task/gone.png is missing"),
        without("a sprite of another task's sheet", "task/fountain_1_solid.png", "task/library_5_solid.png",
                "its overlay task/library_5_solid.png is missing"),
        without("a file the reader refuses", "{", "[", "not JSON"),
        {"a download's background that is no picture",
         [] {
             const std::string folder = title().scratch + "refusal-download/";
             std::filesystem::create_directories(folder + "images");
             std::string text = fullTask;
             text.replace(text.find("task/fountain_background.png"), 28, "own.png");
             std::ofstream(folder + "dlc.task") << text;
             std::ofstream(folder + "images/own.png") << "not a picture";
             return new TaskStudioState(folder);
         },
         "its background own.png cannot be read"},
    };
    for (const RefusalCase& c : cases)
    {
        TaskRun run;
        TaskStudioState* state = nullptr;
        const std::vector<std::string> output = printed([&] {
            state = run.push(c.make());
            run.frame();
        });
        const std::vector<std::string> refused = with(output, "Refused task file ");
        if (!c.refusal.empty())
        {
            ASSERT_EQ(1u, refused.size()) << c.what;
            EXPECT_EQ(c.refusal, refused[0].substr(refused[0].find(": ") + 2)) << c.what;
            EXPECT_EQ(1u, run.stackSize()) << c.what << ": popped";
            // A picture that is there but cannot be read is found out loading it.
            if (c.refusal.find("cannot be read") == std::string::npos)
            {
                EXPECT_TRUE(with(output, "Could not").empty()) << c.what << ": nothing loaded";
            }
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
