// Tasks started by name in the real host, headless on a fixed step of 20 ms,
// on the generated title: strokes are written from the task files' own
// points, speech lasts a second, and each run checks that its strokes fell
// in the drawing phase by the phases it printed.
#include "Host/HostRun.h"
#include "TaskScreenTestSupport.h"

#include "PngFile.h"

#include <algorithm>

#ifdef TOVRANE_HOST_PROGRAM

using namespace TaskScreenTest;

namespace
{
typedef std::vector<std::pair<int, int>> Screen;

// The screen pixels of a line's points, on a picture of its task's size shown
// as the task studio shows it for that line.
Screen onScreen(const TaskLine& line, int width, int height)
{
    Canvas canvas(width, height, false, 128);
    if (line.zoom > 0)
        TaskStudioState::zoomCanvas(canvas, line.zoom, line.zoomPoint);
    Screen points;
    for (const Vector2<tFixed>& p : line.allPoints)
    {
        int sx = 0, sy = 0;
        canvas.screenXY(p.x.getRaw() >> 16, p.y.getRaw() >> 16, sx, sy);
        points.push_back({sx, sy});
    }
    return points;
}

// A host script built frame by frame.
struct Script
{
    void at(int frame, const std::string& event) { text += std::to_string(frame) + " " + event + "\n"; }
    // Down in the frame, every move in the next, up in the one after.
    void stroke(int frame, const Screen& points)
    {
        auto where = [](const std::pair<int, int>& p) { return std::to_string(p.first) + " " + std::to_string(p.second); };
        at(frame, "down " + where(points.front()));
        for (size_t i = 1; i < points.size(); ++i)
            at(frame + 1, "move " + where(points[i]));
        at(frame + 2, "up " + where(points.back()));
    }
    std::string text;
};

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
        for (const char* fault : {"Could not find file", "Could not load character", "Assertion"})
            EXPECT_EQ(std::string::npos, result.output.find(fault)) << fault;
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
    std::vector<std::string> usage()
    {
        std::vector<std::string> records;
        std::ifstream in(file("data/usage.log"));
        for (std::string line; std::getline(in, line);)
        {
            line.erase(0, line.find('\t') + 1);
            std::replace(line.begin(), line.end(), '\t', ' ');
            records.push_back(line);
        }
        return records;
    }
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

TEST_F(TaskHostTest, AWritingLessonTracedByLocaleEndsAtItsPopWithItsRecords)
{
    REQUIRE_LESSONS_TITLE();
    for (const std::string locale : {"en-us", "en-gb"})
    {
        SetUp();
        ScrivletPlayer::getCurrentPlayerData()->locale = locale == "en-gb" ? 2 : 0;
        const std::unique_ptr<TaskStudioState> lesson = taskOf(TaskType::WritingLesson, 11);
        const std::string stem = locale == "en-gb" ? "uk_upper_B" : "upper_B";
        const std::vector<TaskLine>& lines = lesson->getTask()->lines;
        Script script;
        for (size_t k = 0; k < lines.size(); ++k)
            script.stroke(FirstStroke + NextLine * static_cast<int>(k), onScreen(lines[k], 320, 240));
        this->script(script.text);
        const HostRun r = run("lesson:11", "--locale " + locale);

        std::vector<std::string> phases;
        for (size_t k = 0; k < lines.size(); ++k)
            phases.insert(phases.end(), {"TaskIntro", "TaskDraw", "TaskOutro"});
        phases.push_back("Epilogue");
        EXPECT_EQ(phases, phasesIn(r.output)) << locale;
        const std::vector<std::string> heard = sounds(r);
        EXPECT_EQ(1, count(heard, "h_SCRIVLET_Write_" + stem + "_3.ogg"));
        EXPECT_EQ(static_cast<int>(lines.size()), count(heard, "h_SCRIVLET_StartAtTheGreenDot_3.ogg"));
        EXPECT_EQ(static_cast<int>(lines.size()), count(heard, "h_KROM_CorrectAnswerSfx_6.ogg"));
        EXPECT_EQ(0u, heard.back().find("h_SCRIVLET_")) << "the closing praise last";
        EXPECT_LT(r.first("PopApp").frame, 6000u) << "the run ends at the pop";
        EXPECT_EQ(3, bytes("lesson.bin").at(44)) << "lesson 11 complete";
        EXPECT_EQ((std::vector<std::string>{"GameAreaStart WL_" + stem, "ActivityStart WL_" + stem + " NA 1",
                                            "CorrectAnswer 1 " + stem + " " + stem, "ActivityExit 0 1", "GameAreaExit"}),
                  usage())
            << locale;
    }
    ScrivletPlayer::getCurrentPlayerData()->locale = 0;
}

TEST_F(TaskHostTest, WrongStrokesBringTheWrongSoundAndTheInstructionThenARightTraceFinishes)
{
    REQUIRE_LESSONS_TITLE();
    ScrivletPlayer::getCurrentPlayerData()->locale = 2;
    const std::unique_ptr<TaskStudioState> lesson = taskOf(TaskType::WritingLesson, 11); // three lines in en-gb
    const std::vector<TaskLine>& lines = lesson->getTask()->lines;
    Script script;
    int frame = FirstStroke;
    for (size_t k = 0; k < lines.size(); ++k, frame += NextLine)
    {
        const Screen right = onScreen(lines[k], 320, 240);
        Screen wrong = k == 0 ? Screen(right.rbegin(), right.rend()) : Screen(right.begin(), right.begin() + right.size() / 2);
        if (k == 1)
            wrong.push_back({wrong.back().first + 80, wrong.back().second});
        script.stroke(frame, wrong);
        frame += NextLine;
        script.stroke(frame, right);
    }
    this->script(script.text);
    const HostRun r = run("lesson:11", "--locale en-gb", true);
    std::vector<std::string> phases;
    for (size_t k = 0; k < lines.size(); ++k)
        phases.insert(phases.end(), {"TaskIntro", "TaskDraw", "TaskHelp", "TaskDraw", "TaskOutro"});
    phases.push_back("Epilogue");
    EXPECT_EQ(phases, phasesIn(r.output));
    const std::vector<std::string> heard = sounds(r);
    EXPECT_EQ(3, count(heard, "h_KROM_WrongAnswerSfx_6.ogg"));
    EXPECT_LE(1, count(heard, "h_SCRIVLET_StartHrAndDrwALnTHr_3_v0.ogg")) << "the wrong start's instruction";
    EXPECT_LE(1, count(heard, "h_SCRIVLET_StartHrAndKpYrStyls_3.ogg")) << "the early lift's instruction";
    for (const char* why : {"WRONG START PT", "OFF LINE"})
        EXPECT_NE(std::string::npos, r.output.find(why)) << why;
    EXPECT_EQ(3, count(heard, "h_KROM_CorrectAnswerSfx_6.ogg"));
    ScrivletPlayer::getCurrentPlayerData()->locale = 0;
}

#endif
