// Tasks started by name in the real host, headless on a fixed step of 20 ms,
// on the generated title: strokes are written from the task files' own
// points, speech lasts a second, and each run checks that its strokes fell
// in the drawing phase by the phases it printed.
#include "Host/HostRun.h"
#include "HostScript.h"

#include "PngFile.h"

#include <algorithm>

#ifdef TOVRANE_HOST_PROGRAM

using namespace TaskScreenTest;

namespace
{
class TaskHostTest : public HostFolderTest
{
protected:
    TaskHostTest() : HostFolderTest("lessons-host") {}

    // A run that ends by itself; wrong strokes only where the test makes them.
    HostRun run(const std::string& start, const std::string& options = std::string(), bool wrongStrokes = false)
    {
        HostRun result = runHost("--fixed-step 20 --frames 6000 --start " + start + " --script '" + file("script.txt") +
                                 "' " + options);
        EXPECT_EQ(0, result.status) << result.output;
        // A download's own folders are searched first, and the picture reader
        // names each folder that lacks a picture.
        const bool download = start.compare(0, 9, "download:") == 0;
        for (const char* fault : {"Could not find file", "Could not load character", "Assertion"})
            EXPECT_TRUE(download || result.output.find(fault) == std::string::npos) << fault;
        EXPECT_EQ(wrongStrokes, result.output.find("INVALID") != std::string::npos);
        return result;
    }
    // The file names of the sounds started, in order.
    static std::vector<std::string> sounds(const HostRun& r)
    {
        std::vector<std::string> names;
        for (const TraceLine& line : r.all("audio-start"))
            names.push_back(line.detail.substr(line.detail.find_last_of('/') + 1));
        return names;
    }
    std::string bytes(const std::string& name)
    {
        std::ifstream in(file("data/players/0/Scrivlet/" + name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::vector<std::string> usage() { return usageRecords(file("data/usage.log")); }
};

std::unique_ptr<TaskStudioState> taskOf(eTaskType type, int id)
{
    return std::unique_ptr<TaskStudioState>(new TaskStudioState(type, id, LocationName::WritingLesson));
}

int count(const std::vector<std::string>& list, const std::string& item)
{
    return static_cast<int>(std::count(list.begin(), list.end(), item));
}

const int FirstStroke = 130, NextLine = 80;
}

TEST_F(TaskHostTest, AWritingLessonByLocaleTracedRightOrAfterWrongStrokesEndsAtItsPopWithItsRecords)
{
    REQUIRE_LESSONS_TITLE();
    // en-us traced right; en-gb (three lines) from the wrong end, off the line
    // and lifted early before each right trace.
    for (const bool gb : {false, true})
    {
        SetUp();
        ScrivletPlayer::getCurrentPlayerData()->locale = gb ? 2 : 0;
        const std::unique_ptr<TaskStudioState> lesson = taskOf(TaskType::WritingLesson, 11);
        const std::string stem = gb ? "uk_upper_B" : "upper_B";
        const std::vector<TaskLine>& lines = lesson->getTask()->lines;
        Script script;
        std::vector<std::string> phases;
        int frame = FirstStroke;
        for (size_t k = 0; k < lines.size(); ++k, frame += NextLine)
        {
            const Screen right = onScreen(lines[k], 320, 240);
            Screen wrong = k == 0 ? Screen(right.rbegin(), right.rend()) : Screen(right.begin(), right.begin() + right.size() / 2);
            if (k == 1)
                wrong.push_back({wrong.back().first + 80, wrong.back().second});
            if (gb)
                script.stroke(frame, wrong), frame += NextLine;
            script.stroke(frame, right);
            phases.insert(phases.end(), {"TaskIntro", "TaskDraw"});
            if (gb)
                phases.insert(phases.end(), {"TaskHelp", "TaskDraw"});
            phases.push_back("TaskOutro");
        }
        this->script(script.text);
        const HostRun r = run("lesson:11", std::string("--locale ") + (gb ? "en-gb" : "en-us"), gb);
        phases.push_back("Epilogue");
        EXPECT_EQ(phases, phasesIn(r.output)) << stem;

        const std::vector<std::string> heard = sounds(r);
        const int n = static_cast<int>(lines.size());
        EXPECT_EQ(1, count(heard, "h_SCRIVLET_Write_" + stem + "_3.ogg")) << "the third prologue entry";
        EXPECT_EQ(n, count(heard, "h_SCRIVLET_StartAtTheGreenDot_3.ogg"));
        EXPECT_EQ(n, count(heard, "h_KROM_CorrectAnswerSfx_6.ogg"));
        EXPECT_EQ(gb ? n : 0, count(heard, "h_KROM_WrongAnswerSfx_6.ogg"));
        EXPECT_EQ(gb, count(heard, "h_SCRIVLET_StartHrAndDrwALnTHr_3_v0.ogg") > 0) << "the wrong start's instruction";
        EXPECT_EQ(gb, count(heard, "h_SCRIVLET_StartHrAndKpYrStyls_3.ogg") > 0) << "the early lift's instruction";
        EXPECT_EQ(gb, r.output.find("OFF LINE") != std::string::npos);
        EXPECT_EQ(0u, heard.back().find("h_SCRIVLET_")) << "the closing praise last";
        EXPECT_LT(r.first("PopApp").frame, 6000u) << "the run ends at the pop";
        EXPECT_EQ(3, bytes("lesson.bin").at(44)) << "lesson 11 complete";
        EXPECT_EQ((std::vector<std::string>{"GameAreaStart WL_" + stem, "ActivityStart WL_" + stem + " NA 1",
                                            "CorrectAnswer 1 " + stem + " " + stem, "ActivityExit 0 1", "GameAreaExit"}),
                  usage())
            << stem;
    }
    ScrivletPlayer::getCurrentPlayerData()->locale = 0;
}

TEST_F(TaskHostTest, ALocationTalksInTurnRunsItsSubLessonAndArtLessonAndWaitsForItsBadge)
{
    REQUIRE_LESSONS_TITLE();
    const std::unique_ptr<TaskStudioState> town(
        new TaskStudioState(TaskType::LocationTask, "tasks/firehouse.task", LocationName::Firehouse));
    const std::unique_ptr<TaskStudioState> letter = taskOf(TaskType::WritingSubLesson, 15); // the 'F' of its fourth line
    const std::vector<TaskLine>& lines = town->getTask()->lines;
    const std::vector<TaskLine>& strokes = letter->getTask()->lines;
    ASSERT_EQ("tasks/upper_F.task", lines[3].subLessonPath);
    Script script;
    int frame = 390;
    for (int k : {0, 1, 2})
        script.stroke(frame + 140 * k, onScreen(lines[k], 640, 480));
    frame += 2 * 140 + 300;
    for (size_t k = 0; k < strokes.size(); ++k, frame += NextLine)
        script.stroke(frame, onScreen(strokes[k], 320, 240));
    frame += 140 - NextLine;
    for (size_t k = 0; k < strokes.size(); ++k, frame += 60)
        script.stroke(frame, onScreen(strokes[k], 320, 240));
    script.stroke(frame + 200 - 60, onScreen(lines[4], 640, 480));
    this->script(script.text);
    // The straight-lines lesson of its last line already complete: the
    // guided art lessons cannot be played through to their end here, so the
    // line goes straight on (the lesson itself is run in process).
    std::string lessons;
    for (int entry = 0; entry < 64 + 3; ++entry)
        lessons += std::string(1, entry == 64 + 2 ? '\3' : '\1') + std::string(3, '\0');
    std::filesystem::create_directories(file("data/players/0/Scrivlet"));
    std::ofstream(file("data/players/0/Scrivlet/lesson.bin"), std::ios::binary) << lessons;
    const HostRun r = run("location:firehouse");

    std::vector<std::string> phases;
    const std::vector<std::string> line = {"TaskIntro", "TaskDraw", "TaskOutro"};
    for (int k = 0; k < 3; ++k)
        phases.insert(phases.end(), line.begin(), line.end());
    phases.insert(phases.end(), {"TaskIntro", "TaskSubLesson"});
    for (size_t k = 0; k < strokes.size(); ++k)
        phases.insert(phases.end(), line.begin(), line.end());
    phases.insert(phases.end(), {"Epilogue", "FreeFormPrologue"});
    for (size_t k = 0; k < strokes.size(); ++k)
        phases.insert(phases.end(), {"FreeFormTaskIntro", "FreeFormTaskDraw", "FreeFormTaskOutro"});
    phases.insert(phases.end(), {"FreeFormEpilogue", "TaskOutro"});
    phases.insert(phases.end(), line.begin(), line.end());
    phases.push_back("Epilogue");
    EXPECT_EQ(phases, phasesIn(r.output));

    const std::vector<std::string> heard = sounds(r);
    std::vector<std::string> spoken;
    std::copy_if(heard.begin(), heard.end(), std::back_inserter(spoken), [](const std::string& name) {
        return name.find("_Firehouse") != std::string::npos;
    });
    EXPECT_EQ((std::vector<std::string>{"h_BAKER_FirehousePrologue1_3.ogg", "h_FARMER_FirehousePrologue2_3.ogg",
                                        "h_BAKER_FirehousePrologue3_3.ogg", "h_FARMER_FirehousePrologue4_3.ogg",
                                        "h_BAKER_FirehouseEpilogue1_3.ogg", "h_FARMER_FirehouseEpilogue2_3.ogg"}),
              spoken) << "the two talk in turn";
    EXPECT_EQ(0u, r.all("enter", "LinesLauncherState").size()) << "the lines lesson of \"DSL\" is complete";
    const TraceLine badge = r.first("audio-start", "h_KROM_AchievementNtfctnSfx_6.ogg");
    EXPECT_GE(r.first("PopApp").frame, badge.frame + 25) << "the pop waits for the badge window";
    const std::string player = bytes("data.bin"), achievements = bytes("achievements.bin");
    ASSERT_EQ(272u, player.size());
    EXPECT_EQ((std::vector<int>{3, 1, 1}), (std::vector<int>{player[32], player[36], player[40]})) << "locations 4, 5, 6";
    ASSERT_EQ(36u, achievements.size());
    EXPECT_EQ(1, achievements[3]) << "the firehouse's badge";
    std::vector<std::string> activities;
    for (const std::string& record : usage())
        if (record.find("ActivityStart") == 0)
            activities.push_back(record);
    EXPECT_EQ((std::vector<std::string>{"ActivityStart FIR1 NA 1", "ActivityStart FIR2 NA 1", "ActivityStart FIR3 NA 1",
                                        "ActivityStart FIR4 NA 1", "ActivityStart DSL NA 1"}),
              activities);
}
TEST_F(TaskHostTest, ALetterTaskWithItsCharacterRepeatsItsPromptAndQuitsWithTheSequenceBelow)
{
    REQUIRE_LESSONS_TITLE();
    // Hint, then the quit question answered no while the prompt is said again,
    // then answered yes.
    script("230 click h\n250 click escape\n262 tap 205 160\n340 click escape\n352 tap 115 160\n");
    const HostRun r = run("letter:10", "--screenshot 100:" + file("letter.png"));
    EXPECT_EQ("LauncherStandIn", r.first("enter").detail) << "the letter sequence's stand-in first";
    EXPECT_EQ(2u, r.all("enter").size());
    TovraneTools::Picture shot;
    ASSERT_TRUE(TovraneTools::readPng(file("letter.png"), shot));
    const TovraneTools::Colour lr = shot.get(235, 200);
    EXPECT_TRUE(lr.r > 100 && lr.r < 140 && lr.b > 180) << "the letter character stands at the lower right";

    const std::vector<std::string> heard = sounds(r);
    const std::string prompt = "h_SCRIVLET_StartAtTheGreenDot_3.ogg";
    EXPECT_EQ(3, count(heard, prompt)) << "at the start, for the hint and after the no";
    EXPECT_EQ(2, count(heard, "h_SCRIVLET_AreYSrYWntTQt_4.ogg"));
    const auto no = std::find(heard.begin(), heard.end(), "h_VIDORIV_No_3.ogg");
    ASSERT_NE(heard.end(), no);
    EXPECT_EQ(prompt, *(no + 1)) << "the interrupted speech again";
    EXPECT_EQ("h_VIDORIV_Yes_3.ogg", heard.back());
    EXPECT_GT(r.first("PopApp").frame, r.first("audio-start", "h_VIDORIV_Yes_3.ogg").frame + 45)
        << "the speech ends first, then the task and the sequence below leave";
    const std::vector<std::string> records = usage();
    EXPECT_EQ(1, count(records, "ActivityStart WL_upper_A NA 1")) << "the hint opens no activity";
    EXPECT_EQ(1, count(records, "HintRequest 1 "));
    EXPECT_EQ("ActivityExit 0 3", records.back());
}

TEST_F(TaskHostTest, DownloadsAndBadNames)
{
    REQUIRE_LESSONS_TITLE();
    const std::string folder = file("download/"), broken = file("broken/");
    std::filesystem::create_directories(folder + "images/task");
    std::filesystem::create_directories(broken + "images");
    std::filesystem::copy_file(title().path + "tasks/firehouse.task", folder + "dlc.task");
    TovraneTools::Picture own(640, 480, TovraneTools::Colour{10, 200, 30, 255});
    ASSERT_TRUE(TovraneTools::writePng(folder + "images/task/firehouse_background.png", own));
    std::ofstream(broken + "dlc.task") << "{\"lines\": ";

    script("60 click escape\n72 tap 115 160\n");
    HostRun r = run("download:" + folder, "--screenshot 50:" + file("download.png"));
    TovraneTools::Picture shot;
    ASSERT_TRUE(TovraneTools::readPng(file("download.png"), shot));
    EXPECT_EQ(200, shot.get(4, 4).g) << "its own picture, not the title's of the same name";

    r = run("download:" + broken);
    EXPECT_NE(std::string::npos, r.output.find("Refused task file " + broken + "dlc.task")) << r.output;
    EXPECT_EQ(1u, r.all("PopApp").size()) << "the run goes on to its end";
    // A background of its own that is there but cannot be read refuses the task too.
    std::ifstream original(folder + "dlc.task");
    std::string text((std::istreambuf_iterator<char>(original)), std::istreambuf_iterator<char>());
    text.replace(text.find("task/firehouse_background.png"), 29, "own.png");
    std::ofstream(broken + "dlc.task") << text;
    std::ofstream(broken + "images/own.png") << "not a picture";
    r = run("download:" + broken);
    EXPECT_NE(std::string::npos, r.output.find("its background own.png cannot be read")) << r.output;

    for (const std::string& bad : std::vector<std::string>{"lesson:62", "lesson:1x", "lesson", "letter:-1", "location:town_square",
                                  "advanced:49", "download:" + file("nowhere")})
    {
        const HostRun refused = runHost("--frames 5 --start " + bad);
        EXPECT_EQ(2, refused.status) << bad;
        EXPECT_NE(std::string::npos, refused.output.find("Unknown start state \"" + bad + "\"")) << bad;
    }
}

TEST_F(TaskHostTest, TheTriangleLessonTracedToItsEndLeavesOverItsLauncher)
{
    REQUIRE_LESSONS_TITLE();
    const std::unique_ptr<TaskStudioState> lesson(new TaskStudioState(
        TaskType::AdvancedLesson, "tasks/shapes_eq_triangle.task", static_cast<LocationName::Type>(28)));
    const std::vector<TaskLine>& lines = lesson->getTask()->lines;
    Script script;
    std::vector<std::string> phases;
    int frame = FirstStroke;
    // Each line waits for the guide's turns as well as its speech.
    for (size_t k = 0; k < lines.size(); ++k, frame += 2 * NextLine)
    {
        script.stroke(frame, onScreen(lines[k], 320, 240));
        phases.insert(phases.end(), {"TaskIntro", "TaskDraw", "TaskOutro"});
    }
    this->script(script.text);
    const HostRun r = run("advanced:28");
    phases.push_back("Epilogue");
    EXPECT_EQ(phases, phasesIn(r.output));
    EXPECT_EQ(static_cast<int>(lines.size()), count(sounds(r), "h_KROM_CorrectAnswerSfx_6.ogg"));
    EXPECT_LT(r.first("PopApp").frame, 6000u) << "the run ends when the lesson and its launcher have left";
}

#endif
