// Lines to drag and to colour, and the guided art lessons, played in the real
// host, headless on a fixed step of 20 ms, on the generated title. Every
// script waits for the phase or trace event it answers; screen positions come
// from the pie, the toolbar and the task lines themselves.
#include "Host/HostRun.h"
#include "HostScript.h"

#include "Resources/Studio/ColorPie.h"
#include "Resources/Studio/FlipbookToolbar.h"
#include "Tovrane/BoundingVolume.h"
#include "Tovrane/SceneManager.h"

#include "PngFile.h"

#include <algorithm>

#ifdef TOVRANE_HOST_PROGRAM

using namespace TaskScreenTest;

namespace
{
typedef std::pair<int, int> Point;

// The middle of the pie slice of a colour number, found as the pie itself
// reads a touch: the pie picture's pixel under each screen pixel.
Point pieSlice(int number)
{
    static const ColorPie::Colour colours[] = {{192, 0, 0, 255},   {0, 0, 192, 255},  {240, 240, 0, 255},
                                               {144, 0, 192, 255}, {48, 144, 0, 255}, {240, 144, 0, 255}};
    SceneManager scenes;
    scenes.addSpriteInfo("color_masks.tex");
    GeometryPtr wheel = scenes.getSprite("color_pie/color_wheel.png", PixelFormat::RGBA8888);
    ColorPie pie(wheel, scenes.getSprite("studio/color_picker/color_cursor.png", PixelFormat::RGBA8888));
    pie.update(0);
    const TexturePtr picture = wheel->getTexture();
    long sx = 0, sy = 0, n = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
        {
            int tx = 0, ty = 0;
            pie.getTexCoordFromScreenCoord(tx, ty, x, 240 - y, picture);
            if (tx < 0 || ty < 0 || tx >= picture->getWidth() || ty >= picture->getHeight())
                continue;
            const ColorPie::Colour c = picture->getPixel(tx, ty);
            if (c.r == colours[number].r && c.g == colours[number].g && c.b == colours[number].b)
                sx += x, sy += y, ++n;
        }
    EXPECT_GT(n, 0) << "no slice of colour " << number;
    return {n ? static_cast<int>(sx / n) : 0, n ? static_cast<int>(sy / n) : 0};
}

// A button of the flipbook row, where the studio shows it.
Point flipbookButton(int index)
{
    ToolbarPtr row(new FlipbookToolbar);
    row->update(0);
    const Vector3<tFixed>& c = row->getButton(index)->worldBound->centre;
    return {c.x.toInt(), 240 - c.y.toInt()};
}

// A picture pixel of a line's task as the task studio shows it for that line.
Point pictureToScreen(const TaskLine& line, int width, int height, int x, int y)
{
    TaskLine at = line;
    at.allPoints = {Vector2<tFixed>(tFixed(x), tFixed(y))};
    return onScreen(at, width, height).front();
}

int count(const std::string& text, const std::string& part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// The lines of the art lesson of a location.
std::vector<TaskLine> lessonLines(int location)
{
    const TaskStudioState lesson(TaskType::AdvancedLesson, std::string("tasks/") + lessonStems[location - 27] + ".task",
                                 static_cast<LocationName::Type>(location));
    return lesson.getTask()->lines;
}

std::string where(const Point& p) { return std::to_string(p.first) + " " + std::to_string(p.second); }

// One stroke over a colour line's whole area, row by row every `gap` picture
// pixels, from the first to the last white mask pixel of each row.
Screen areaStroke(const TaskLine& line, int width, int height, int gap)
{
    TovraneTools::Picture mask;
    EXPECT_TRUE(TovraneTools::readPng(title().path + "images/" + line.fillMaskImage, mask)) << line.fillMaskImage;
    Screen points;
    for (int y = 0; y < mask.height(); y += gap)
    {
        int first = -1, last = -1;
        for (int x = 0; x < mask.width(); ++x)
        {
            const TovraneTools::Colour c = mask.get(x, y);
            if (c.r > 199 && c.g > 199 && c.b > 199 && c.a > 199)
                last = x, first = first < 0 ? x : first;
        }
        if (first < 0)
            continue;
        const bool back = (y / gap) % 2;
        points.push_back(pictureToScreen(line, width, height, back ? last : first, y));
        points.push_back(pictureToScreen(line, width, height, back ? first : last, y));
    }
    return points;
}
}

class ArtLessonHostTest : public HostFolderTest
{
protected:
    ArtLessonHostTest() : HostFolderTest("lessons-art") {}

    // A run of the script that ends by itself (or after `frames`) with no
    // missing file or character.
    HostRun run(const std::string& start, int frames = 9000)
    {
        std::ofstream(file("script.txt")) << script.text;
        HostRun result = runHost("--fixed-step 20 --frames " + std::to_string(frames) + " --start " + start +
                                 " --script '" + file("script.txt") + "'");
        EXPECT_EQ(0, result.status) << result.output;
        for (const char* fault : {"Could not find file", "Could not load character", "Assertion"})
            EXPECT_EQ(std::string::npos, result.output.find(fault)) << start << ": " << fault;
        return result;
    }
    // The frame a sound started in, or 0.
    static unsigned started(const HostRun& r, const std::string& name, size_t nth = 0)
    {
        const std::vector<TraceLine> found = r.all("audio-start", name);
        return nth < found.size() ? found[nth].frame : 0;
    }
    // The last `n` phases the run printed.
    static std::vector<std::string> lastPhases(const HostRun& r, size_t n)
    {
        const std::vector<std::string> all = phasesIn(r.output);
        return std::vector<std::string>(all.end() - std::min(n, all.size()), all.end());
    }
    void walkToLastLine(const std::string& location, int letter);
    Script script;
    std::vector<TaskLine> lines;
};

// The first lines of a location task traced and its sub-lesson written
// (traced, then drawn freely), every art lesson taken as done so that its
// line launches none: the script reaches the task's last line.
void ArtLessonHostTest::walkToLastLine(const std::string& location, int letter)
{
    const std::unique_ptr<TaskStudioState> town(
        new TaskStudioState(TaskType::LocationTask, "tasks/" + location + ".task", LocationName::Firehouse));
    const std::unique_ptr<TaskStudioState> sub(new TaskStudioState(TaskType::WritingSubLesson, letter, LocationName::WritingLesson));
    lines = town->getTask()->lines;
    auto trace = [&](const TaskLine& line, int width, const char* phase) {
        script.after("debug", std::string("NEW_STATE=") + phase);
        script.strokeAfter(5, onScreen(line, width, width * 3 / 4));
    };
    for (int k : {0, 1, 2})
        trace(lines[k], 640, "TaskDraw");
    for (const char* phase : {"TaskDraw", "FreeFormTaskDraw"})
        for (const TaskLine& line : sub->getTask()->lines)
            trace(line, 320, phase);
    trace(lines[4], 640, "TaskDraw");
    std::string states;
    for (int entry = 0; entry < 64 + 19; ++entry)
        states += std::string(1, entry < 64 ? '\1' : '\3') + std::string(3, '\0');
    std::filesystem::create_directories(file("data/players/0/Scrivlet"));
    std::ofstream(file("data/players/0/Scrivlet/lesson.bin"), std::ios::binary) << states;
}

TEST_F(ArtLessonHostTest, APickupDroppedWrongThenRight)
{
    REQUIRE_LESSONS_TITLE();
    walkToLastLine("fountain", 36 + ('w' - 'a'));
    const TaskLine& line = lines[5];
    const PickupData& box = line.pickup;
    ASSERT_TRUE(box.present);
    const Point from = pictureToScreen(line, 640, 480, box.boxX + box.boxW / 2, box.boxY + box.boxH / 2);
    // Right below the target line (the box's middle moved by winY), wrong above it.
    const int target = box.boxY + box.winY + box.boxH / 2;
    script.after("debug", "NEW_STATE=TaskPickup");
    script.strokeAfter(20, {from, pictureToScreen(line, 640, 480, box.boxX, target - 20)});
    script.strokeAfter(120, {from, pictureToScreen(line, 640, 480, box.boxX, target + 20)});
    const HostRun r = run("location:fountain");

    EXPECT_EQ((std::vector<std::string>{"TaskIntro", "TaskPickup", "TaskOutro", "Epilogue"}), lastPhases(r, 4))
        << "the wrong drop stays in the phase";
    const unsigned pickup = r.first("debug", "NEW_STATE=TaskPickup").frame;
    EXPECT_EQ(1u, r.all("audio-start", "WrongAnswerSfx").size());
    EXPECT_EQ(pickup + 22, started(r, "WrongAnswerSfx")) << "at the first drop";
    EXPECT_EQ(pickup + 122, r.all("audio-start", "CorrectAnswerSfx").back().frame) << "at the second";
    const std::vector<std::string> records = usageRecords(file("data/usage.log"));
    ASSERT_GE(records.size(), 4u);
    EXPECT_EQ((std::vector<std::string>{"ActivityStart FOU5 NA 1", "CorrectAnswer 6  ", "ActivityExit 0 1"}),
              std::vector<std::string>(records.end() - 4, records.end() - 1));
    EXPECT_EQ(1u, r.all("PopApp").size());
}

TEST_F(ArtLessonHostTest, AColourLineWrongPickRightPickThenStrokesUntilColoured)
{
    REQUIRE_LESSONS_TITLE();
    walkToLastLine("library", 10 + ('B' - 'A'));
    const TaskLine& line = lines[5];
    ASSERT_EQ(ColorPie::PieColor::Red, line.fillColorReq);
    Screen off = areaStroke(line, 640, 480, 16);
    off.resize(4);
    off.push_back({2, 2});
    script.after("debug", "NEW_STATE=TaskPickColor");
    script.at("+10", "shot " + file("pie.png"));
    script.at("+10", "tap " + where(pieSlice(ColorPie::PieColor::Blue)));
    script.after("audio-start", "WrongAnswerSfx");
    script.at("+100", "tap " + where(pieSlice(ColorPie::PieColor::Red)));
    script.after("debug", "NEW_STATE=TaskFillArea");
    script.strokeAfter(10, off);
    script.strokeAfter(80, areaStroke(line, 640, 480, 4));
    const HostRun r = run("location:library");
    expectShotGolden("pie.png", "lessons/pie_over_colour_line.png");

    EXPECT_EQ((std::vector<std::string>{"TaskIntro", "TaskPickColor", "TaskFillArea", "TaskOutro", "Epilogue"}),
              lastPhases(r, 5));
    std::vector<std::pair<int, int>> counts;
    std::istringstream out(r.output);
    for (std::string text; std::getline(out, text);)
    {
        int coloured = 0, white = 0;
        if (std::sscanf(text.c_str(), "COLOR_FILL - COLORED: %d, WHITE: %d", &coloured, &white) == 2)
            counts.push_back({coloured, white});
    }
    ASSERT_EQ(2u, counts.size()) << "one count per lift";
    EXPECT_TRUE(counts[0].first > 0 && counts[0].first < counts[0].second) << "the stroke lifted off the area";
    EXPECT_GT(counts[1].first, 5 * counts[1].second);
    EXPECT_EQ(counts[0].first + counts[0].second, counts[1].first + counts[1].second) << "the same area counted";
    const unsigned lift = r.first("debug", "NEW_STATE=TaskFillArea").frame + 12;
    EXPECT_EQ(lift, started(r, "h_VIDORIV_Keep")) << "the fill hint, played at once";
    const TraceLine fill = r.first("debug", "NEW_STATE=TaskFillArea");
    unsigned picked = 0;
    for (const TraceLine& right : r.all("audio-start", "CorrectAnswerSfx"))
        picked = right.frame <= fill.frame ? right.time : picked;
    EXPECT_GE(fill.time - picked, 1000u) << "the pie stays a second after the right pick";
    EXPECT_EQ(1u, r.all("audio-start", "WrongAnswerSfx").size());
}

TEST_F(ArtLessonHostTest, TheWildLessonsGuideTurnsToSayItsHintsAndBack)
{
    REQUIRE_LESSONS_TITLE();
    lines = lessonLines(46);
    ASSERT_EQ(3u, lines.size());
    script.after("debug", "NEW_STATE=TaskDraw");
    script.strokeAfter(5, onScreen(lines[0], 320, 240));
    // Two wrong picks: the guide still faces the child for the first hint.
    script.after("debug", "NEW_STATE=TaskPickColor");
    script.at("+10", "tap " + where(pieSlice(ColorPie::PieColor::Red)));
    script.after("audio-start", "WrongAnswerSfx");
    script.at("+150", "tap " + where(pieSlice(ColorPie::PieColor::Blue)));
    script.after("audio-start", "h_VIDORIV_Tap");
    script.at("+10", "shot " + file("guide.png"));
    script.at("+140", "tap " + where(pieSlice(ColorPie::PieColor::Green)));
    // A stroke lifted off the area, then the whole area; then the second area.
    script.after("debug", "NEW_STATE=TaskFillArea");
    Screen off = areaStroke(lines[1], 320, 240, 8);
    off.resize(4);
    off.push_back({5, 5});
    script.strokeAfter(10, off);
    script.strokeAfter(150, areaStroke(lines[1], 320, 240, 3));
    script.after("debug", "NEW_STATE=TaskPickColor");
    script.at("+10", "tap " + where(pieSlice(ColorPie::PieColor::Green)));
    script.after("debug", "NEW_STATE=TaskFillArea");
    script.strokeAfter(10, areaStroke(lines[2], 320, 240, 3));
    const HostRun r = run("advanced:46");
    expectShotGolden("guide.png", "lessons/lesson_with_guide.png");

    // A hint starts the frame after the wrong sound when the guide faces the
    // child, and only once it has turned from its picture otherwise.
    const unsigned first = started(r, "h_VIDORIV_", 1) - started(r, "WrongAnswerSfx", 0);
    const unsigned second = started(r, "h_VIDORIV_", 2) - started(r, "WrongAnswerSfx", 1);
    const unsigned fill = started(r, "h_VIDORIV_Keep") - (r.first("debug", "NEW_STATE=TaskFillArea").frame + 12);
    EXPECT_EQ(1u, first);
    EXPECT_GT(second, 5u) << "turned back to its picture after the first hint";
    EXPECT_EQ(second, fill) << "the fill hint is said by the guide too";
    EXPECT_EQ(2u, r.all("debug", "NEW_STATE=TaskFillArea").size());
    EXPECT_EQ(3, count(r.output, "COLOR_FILL - COLORED: ")) << "the lift off the area, then each whole area";
    EXPECT_EQ("Epilogue", lastPhases(r, 1).at(0));
    EXPECT_EQ(r.first("exit", "TaskStudioState").frame + 2, r.first("PopApp").frame) << "over its launcher";
}

TEST_F(ArtLessonHostTest, TheHorizonLessonSwapsItsPictureAndPraises)
{
    REQUIRE_LESSONS_TITLE();
    script.after("debug", "NEW_STATE=TaskDraw");
    script.strokeAfter(5, onScreen(lessonLines(45).at(0), 320, 240));
    script.at("+20", "shot " + file("traced.png"));
    script.after("audio-start", "h_SCRIVLET_YesThatsIt_5.ogg");
    script.at("+1", "shot " + file("praised.png"));
    const HostRun r = run("advanced:45");

    const std::vector<TraceLine> praise = r.all("audio-start", "h_SCRIVLET_YesThatsIt_5.ogg");
    ASSERT_EQ(1u, praise.size());
    const std::string id = praise[0].detail.substr(0, praise[0].detail.find(' '));
    EXPECT_EQ(r.first("audio-complete", id).frame, r.first("exit", "TaskStudioState").frame)
        << "the lesson leaves as the praise ends";
    TovraneTools::Picture traced, praised;
    ASSERT_TRUE(TovraneTools::readPng(file("traced.png"), traced) && TovraneTools::readPng(file("praised.png"), praised));
    EXPECT_FALSE(traced.bytes() == praised.bytes()) << "the picture swapped";
}

TEST_F(ArtLessonHostTest, TheAnimationLessonDrawsSevenFramesAndLeavesThreeSecondsAfterPlay)
{
    REQUIRE_LESSONS_TITLE();
    lines = lessonLines(48);
    ASSERT_EQ(7u, lines.size());
    const int afterSpeech = 70; // a speech lasts 50 frames
    for (size_t k = 0; k < lines.size(); ++k)
    {
        script.after("debug", "NEW_STATE=TaskDraw");
        script.strokeAfter(5, onScreen(lines[k], 320, 240));
        if (k == 0)
        {
            // Said last before the second frame's button flashes (step 5).
            script.after("audio-start", "h_SCRIVLET_LetsMvTNxtFrmFrmIsJ_3.ogg");
            script.at("+" + std::to_string(afterSpeech - 2), "shot " + file("toolbar.png"));
            script.at("+" + std::to_string(afterSpeech), "tap " + where(flipbookButton(1)));
        }
    }
    // Said last before the play button flashes (step 18).
    script.after("audio-start", "h_SCRIVLET_TouchPlyBttnTPlyYrB_5.ogg");
    script.at("+" + std::to_string(afterSpeech), "tap " + where(flipbookButton(FlipbookToolbar::PlayButton)));
    const HostRun r = run("advanced:48");
    expectShotGolden("toolbar.png", "lessons/animation_toolbar.png");

    EXPECT_EQ(7u, r.all("debug", "NEW_STATE=TaskDraw").size());
    const unsigned frameTap = started(r, "LetsMvTNxtFrm") + afterSpeech;
    EXPECT_EQ(frameTap + 1, started(r, "CorrectAnswerSfx", 1)) << "the second frame's button taken";
    EXPECT_LT(frameTap, started(r, "h_SCRIVLET_InOrdrTSLstCrclYDrw_5.ogg")) << "the lesson waited for it";
    EXPECT_EQ(8u, r.all("audio-start", "CorrectAnswerSfx").size()) << "seven frames and the button";
    const unsigned playTap = r.first("audio-start", "TouchPlyBttn").time + afterSpeech * 20;
    EXPECT_NEAR(3000, static_cast<int>(r.first("exit", "TaskStudioState").time - playTap), 20);
    EXPECT_EQ(r.first("exit", "TaskStudioState").frame + 2, r.first("PopApp").frame) << "then its launcher";
}

TEST_F(ArtLessonHostTest, EveryArtLessonStartsOverItsLauncher)
{
    REQUIRE_LESSONS_TITLE();
    for (int location = 27; location <= 48; ++location)
    {
        const std::string start = "advanced:" + std::to_string(location);
        const HostRun r = run(start, 30);
        const std::vector<TraceLine> enters = r.all("enter");
        ASSERT_LE(2u, enters.size()) << start;
        EXPECT_EQ("LauncherStandIn", enters[0].detail) << start;
        EXPECT_EQ("TaskStudioState", enters[1].detail) << start;
        EXPECT_NE(std::string::npos, r.output.find("TASK=\"" + std::string(lessonStems[location - 27]) + "\"")) << start;
    }
}

#endif
