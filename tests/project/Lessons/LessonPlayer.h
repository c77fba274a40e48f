#ifndef TESTS_PROJECT_LESSONS_LESSONPLAYER_H
#define TESTS_PROJECT_LESSONS_LESSONPLAYER_H

// Host scripts that play tasks and lessons, each step after the trace event
// that starts it (strokes along a line's own points, drags, picks on the pie,
// areas coloured, flipbook buttons, movie cards, games), naming the steps it
// expects as the trace shows them.

#include "Host/GameAnswers.h"
#include "Host/HostRun.h"
#include "LessonsTestSupport.h"

#include "Resources/Lessons/LessonLauncherState.h"
#include "Resources/Studio/ColorPie.h"
#include "Resources/Studio/FlipbookToolbar.h"
#include "Tovrane/BoundingVolume.h"
#include "Tovrane/SceneManager.h"

#include "PngFile.h"

#include <algorithm>
#include <map>
#include <set>

namespace LessonsTest
{
typedef std::pair<int, int> ScreenPoint;
typedef std::vector<ScreenPoint> Screen;

// Picture points (16.16) of a line's task, width x height, on screen as the
// task studio shows that line.
inline Screen onScreen(const TaskLine& line, int width, int height, const std::vector<Vector2<tFixed>>& points)
{
    Canvas canvas(width, height, false, 128);
    if (line.zoom > 0)
        TaskStudioState::zoomCanvas(canvas, line.zoom, line.zoomPoint);
    Screen screen;
    for (const Vector2<tFixed>& p : points)
    {
        int sx = 0, sy = 0;
        canvas.screenXY(p.x.getRaw() >> 16, p.y.getRaw() >> 16, sx, sy);
        screen.push_back({sx, sy});
    }
    return screen;
}
inline Screen onScreen(const TaskLine& line, int width, int height) { return onScreen(line, width, height, line.allPoints); }
inline std::string where(const ScreenPoint& p) { return std::to_string(p.first) + " " + std::to_string(p.second); }

// A host script built line by line. `when` is a frame number or "+N" (N
// frames after the event of the last `after`).
struct Script
{
    void at(const std::string& when, const std::string& event) { text += when + " " + event + "\n"; }
    // Waits for a trace event whose detail contains `part`, such as after("debug", "NEW_STATE=TaskDraw").
    void after(const std::string& event, const std::string& part) { text += "after " + event + " " + part + "\n"; }
    // N frames after the last `after`: down, every move in the next frame, up in the one after.
    void strokeAfter(int frames, const Screen& points)
    {
        at("+" + std::to_string(frames), "down " + where(points.front()));
        for (size_t i = 1; i < points.size(); ++i)
            at("+" + std::to_string(frames + 1), "move " + where(points[i]));
        at("+" + std::to_string(frames + 2), "up " + where(points.back()));
    }
    std::string text;
};

class LessonPlayer
{
public:
    explicit LessonPlayer(Script& script) : script(script) {}

    // The launcher's steps from its current one to the end step after it;
    // or its movies and then its first task or game, left by the quit question.
    void playLesson(const LessonLauncherState& launcher, bool quitAtFirst = false)
    {
        const LessonTable& lesson = launcher.getLesson();
        for (int k = launcher.getStep(); k < lesson.stepCount && lesson.steps[k].kind != LessonStep::End; ++k)
        {
            const bool quit = quitAtFirst && lesson.steps[k].kind != LessonStep::Movie;
            playStep(lesson.steps[k], !quit);
            if (quit)
            {
                script.at("+60", "click escape");
                script.at("+72", "tap 115 160");
                return;
            }
        }
    }
    void quitAtFirst(const LessonLauncherState& launcher) { playLesson(launcher, true); }

    // Lines `first` up to `last` (all by default) of a task, each after the phase it waits in.
    void playTask(const TaskStudioState& state, size_t first = 0, size_t last = ~size_t(0))
    {
        const Task& task = *state.getTask();
        if (first == 0)
            steps.push_back("task " + task.loggingIDs[0]);
        TovraneTools::Picture background;
        EXPECT_TRUE(TovraneTools::readPng(title().path + "images/" + task.background, background)) << task.background;
        const int width = background.width(), height = background.height();
        for (size_t k = first; k < std::min(last, task.lines.size()); ++k)
        {
            const TaskLine& line = task.lines[k];
            if (offFirst && line.subLessonPath.empty())
                offAndHint(line, width, height);
            if (!line.subLessonPath.empty())
                playSubLesson(line);
            else if (line.pickup.present)
            {
                const PickupData& box = line.pickup;
                const int x = box.boxX + box.boxW / 2, y = box.boxY + box.boxH / 2;
                // Past the drop line half a box beyond the window's move.
                const int to = std::max(0, std::min(height - 1, y + box.winY + (box.winY > 0 ? box.boxH : -box.boxH) / 2));
                stroke("TaskPickup", onScreen(line, width, height, {at(x, y), at(x, (y + to) / 2), at(x, to)}));
            }
            else if (!line.fillMaskImage.empty())
            {
                const int r = line.fillColorReq;
                pick("TaskPickColor", 2, r <= 5 ? r : r == 7 ? 0 : r == 8 ? 1 : 4);
                stroke("TaskFillArea", areaStroke(line, width, height, width / 320 + 2));
            }
            else
                stroke("TaskDraw", onScreen(line, width, height));
            // The animation lesson asks for its second frame after the first
            // line and for play after the last, each after a speech of a
            // second; the button is tapped once that speech has ended.
            if (state.getLocation() == LocationName::LastAdvancedLesson && (k == 0 || k + 1 == task.lines.size()))
            {
                script.after("audio-start", k == 0 ? "LetsMvTNxtFrm" : "TouchPlyBttn");
                if (k == 0 && !toolbarShot.empty())
                    script.at("+68", "shot " + toolbarShot);
                script.at("+70", "tap " + where(flipbookButton(k == 0 ? 1 : FlipbookToolbar::PlayButton)));
            }
        }
    }

    // After the phase, a stroke two frames later.
    void stroke(const std::string& phase, const Screen& points, int frames = 2)
    {
        script.after("debug", "NEW_STATE=" + phase);
        script.strokeAfter(frames, points);
    }
    // After the event (a phase by default; none if empty), a tap on the pie slice of a colour number.
    void pick(const std::string& phase, int frames, int colour, const std::string& event = "debug")
    {
        if (!event.empty())
            script.after(event, event == "debug" ? "NEW_STATE=" + phase : phase);
        script.at("+" + std::to_string(frames), "tap " + where(pieSlice(colour)));
    }

    // The steps the run's trace shows, in the words of `steps`.
    static std::vector<std::string> stepsIn(const HostRun& run)
    {
        std::vector<std::string> shown;
        for (const TraceLine& line : run.trace)
        {
            const std::string& d = line.detail;
            if (line.event == "PushApp")
                shown.push_back("movie " + d.substr(d.find_last_of('/') + 1));
            else if (line.event == "debug" && d.compare(0, 6, "TASK=\"") == 0)
                shown.push_back("task " + d.substr(6, d.find('"', 6) - 6));
            else if (line.event == "enter" && d.find("Launcher") == std::string::npos && answersOf(d))
                shown.push_back("game " + d);
        }
        return shown;
    }

    // The art-lesson guide in the run's trace, a word for each of its turns
    // ("turn" to the child, "back" to the picture), its mouth ("on", "off"),
    // the start and end ("done") of each speech, named by the task's lists
    // ("prompt", "praise", "hint"; any other by its file name), and the
    // answer sounds ("wrong", "right").
    static std::string guideWords(const HostRun& run, const Task& task)
    {
        const auto among = [](const std::vector<std::string>& names, const std::string& name) {
            return std::find(names.begin(), names.end(), name) != names.end();
        };
        const std::map<std::string, std::string> marks = {{"GUIDE TURN=p2_to_p1", "turn"}, {"GUIDE TURN=p1_to_p2", "back"},
                                                          {"GUIDE MOUTH=ON", "on"}, {"GUIDE MOUTH=OFF", "off"}};
        std::set<std::string> speeches;
        std::string words;
        for (const TraceLine& line : run.trace)
        {
            const std::string& d = line.detail;
            const std::string name = d.substr(d.find_last_of('/') + 1), id = d.substr(0, d.find(' '));
            std::string word;
            if (line.event == "debug" && marks.count(d))
                word = marks.at(d);
            else if (line.event == "audio-complete" && speeches.count(d))
                word = "done";
            else if (line.event == "audio-start" && name.find("AnswerSfx") != std::string::npos)
                word = name.find("WrongAnswer") != std::string::npos ? "wrong" : "right";
            else if (line.event == "audio-start" && name.compare(0, 2, "h_") == 0)
            {
                speeches.insert(id);
                word = name;
                for (const TaskLine& l : task.lines)
                    word = among(l.promptAudio, name) ? "prompt" : among(l.caAudio, name) ? "praise" : word;
                word = among(task.waSpeech, name) ? "hint" : word;
            }
            if (!word.empty())
                words += (words.empty() ? "" : " ") + word;
        }
        return words;
    }

    // The middle of the pie slice of a colour number, found as the pie reads
    // a touch: the pie picture's pixel under each screen pixel.
    static ScreenPoint pieSlice(int number)
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
    static ScreenPoint flipbookButton(int index)
    {
        ToolbarPtr row(new FlipbookToolbar);
        row->update(0);
        const Vector3<tFixed>& c = row->getButton(index)->worldBound->centre;
        return {c.x.toInt(), 240 - c.y.toInt()};
    }

    // One stroke over a colour line's area, row by row every `gap` picture
    // pixels, from the first to the last white mask pixel of each row.
    static Screen areaStroke(const TaskLine& line, int width, int height, int gap)
    {
        TovraneTools::Picture mask;
        EXPECT_TRUE(TovraneTools::readPng(title().path + "images/" + line.fillMaskImage, mask)) << line.fillMaskImage;
        std::vector<Vector2<tFixed>> points;
        for (int y = 0; y < mask.height(); y += gap)
        {
            int first = -1, last = -1;
            for (int x = 0; x < mask.width(); ++x)
            {
                const TovraneTools::Colour c = mask.get(x, y);
                if (c.r > 199 && c.g > 199 && c.b > 199 && c.a > 199)
                    last = x, first = first < 0 ? x : first;
            }
            if (first >= 0)
            {
                const bool back = (y / gap) % 2;
                points.push_back(at(back ? last : first, y));
                points.push_back(at(back ? first : last, y));
            }
        }
        return onScreen(line, width, height, points);
    }

    // The phase a line of its own (no sub-lesson) waits in for the child.
    static std::string phaseOf(const TaskLine& line)
    {
        return line.pickup.present ? "TaskPickup" : !line.fillMaskImage.empty() ? "TaskPickColor" : "TaskDraw";
    }

    std::vector<std::string> steps;
    std::string toolbarShot; // a screenshot just before the second frame's button is tapped
    // Each line of playTask but a sub-lesson asks for a hint first, and a
    // traced line is first drawn off its path (and taken back).
    bool offFirst = false;

private:
    // A movie ended by a tap on its card, a task of an art lesson, or a game
    // answered as its own run answers it; the task or game played or just reached.
    void playStep(const LessonStep& step, bool play)
    {
        if (step.kind == LessonStep::Movie)
        {
            script.after("PushApp", std::string("flash/") + step.file);
            script.at("+1", "tap 160 120");
            steps.push_back(std::string("movie ") + step.file);
        }
        else if (step.kind == LessonStep::Task)
        {
            const TaskStudioState task(TaskType::AdvancedLesson, step.file, static_cast<LocationName::Type>(step.location));
            if (play)
                return playTask(task);
            steps.push_back("task " + task.getTask()->loggingIDs[0]);
            script.after("debug", "TASK=\"" + task.getTask()->loggingIDs[0] + "\"");
        }
        else
        {
            const std::string state = std::unique_ptr<GameState>(step.makeGame())->getStateName();
            const GameAnswers* game = answersOf(state);
            ASSERT_TRUE(game) << "no answers for " << state;
            script.after("enter", state);
            steps.push_back("game " + state);
            // Times from the first frame of the game's own run, in which it is
            // entered in frame 2: here frames after its entry.
            std::istringstream lines(game->script);
            for (std::string line; play && std::getline(lines, line);)
                script.at("+" + std::to_string(std::stoi(line) / 20 - 1), line.substr(line.find(' ') + 1));
        }
    }

    // A stroke of a traced line's shape 80 pixels beside it, then the hint
    // button, which says the line's prompt again.
    void offAndHint(const TaskLine& line, int width, int height)
    {
        const std::string phase = phaseOf(line);
        if (phase == "TaskDraw")
        {
            // Across the line's narrower extent, toward the wider margin.
            Screen off = onScreen(line, width, height);
            int left = 319, right = 0, top = 239, bottom = 0;
            for (const ScreenPoint& p : off)
                left = std::min(left, p.first), right = std::max(right, p.first), top = std::min(top, p.second),
                bottom = std::max(bottom, p.second);
            const bool down = bottom - top <= right - left;
            const int shift = (down ? top > 239 - bottom : left > 319 - right) ? -80 : 80;
            for (ScreenPoint& p : off)
                (down ? p.second : p.first) += shift;
            stroke(phase, off);
            // Judged at the touch: the quit question in the help, answered no.
            script.at("+4", "click escape");
            script.at("+16", "tap 205 160");
        }
        script.after("debug", "NEW_STATE=" + phase);
        script.at("+2", "click h");
    }

    // A writing sub-lesson: its letter traced line by line, then drawn freely with the same strokes.
    void playSubLesson(const TaskLine& line)
    {
        const int c = line.subLessonChar;
        const int index = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'z' ? c - 61 : c - 55;
        const TaskStudioState letter(TaskType::WritingSubLesson, index, LocationName::WritingLesson);
        steps.push_back("task " + letter.getTask()->loggingIDs[0]);
        for (const char* phase : {"TaskDraw", "FreeFormTaskDraw"})
            for (const TaskLine& stroke : letter.getTask()->lines)
                this->stroke(phase, onScreen(stroke, 320, 240));
    }

    Script& script;
};
}

#endif
