#ifndef TESTS_PROJECT_LESSONS_LESSONPLAYER_H
#define TESTS_PROJECT_LESSONS_LESSONPLAYER_H

// Host scripts that play lessons to their end, each step after the trace
// event that starts it: a movie card ended by a tap, every line of a task
// completed after the phase it waits in (traced along its own points,
// dragged, its colour picked on the pie, its area coloured; the animation
// lesson's frame and play buttons), a game answered as its own run answers it.

#include "Host/GameAnswers.h"
#include "Host/HostRun.h"
#include "HostScript.h"

#include "Resources/Lessons/LessonLauncherState.h"
#include "Resources/Studio/FlipbookToolbar.h"

#include "PngFile.h"

#include <algorithm>

namespace TaskScreenTest
{
// Where a line's picture points (16.16) are on screen, on a picture of the
// task's size shown as the task studio shows that line.
inline Screen onScreen(const std::vector<Vector2<tFixed>>& points, const TaskLine& line, int width, int height)
{
    TaskLine copy;
    copy.zoom = line.zoom;
    copy.zoomPoint = line.zoomPoint;
    copy.allPoints = points;
    return onScreen(copy, width, height);
}

inline Vector2<tFixed> picturePoint(int x, int y) { return Vector2<tFixed>(tFixed(x), tFixed(y)); }

// Plays lessons into one script and names, in order, the steps its trace
// shows: "movie FILE", "task LOGGING-ID", "game STATE".
class LessonPlayer
{
public:
    explicit LessonPlayer(Script& script) : script(script) {}

    // Every step of the launcher's run, from its current step to the end step after it.
    void playLesson(const LessonLauncherState& launcher)
    {
        const LessonTable& lesson = launcher.getLesson();
        for (int k = launcher.getStep(); k < lesson.stepCount && lesson.steps[k].kind != LessonStep::End; ++k)
        {
            const LessonStep& step = lesson.steps[k];
            if (step.kind == LessonStep::Movie)
                playMovie(step.file);
            else if (step.kind == LessonStep::Task)
                playTask(TaskType::AdvancedLesson, step.file, step.location);
            else
            {
                const std::unique_ptr<GameState> game(step.makeGame());
                playGame(game->getStateName());
            }
        }
    }

    // The launcher's movies up to its first task or game, which the child
    // leaves by the quit question (Escape, then yes).
    void quitAtFirst(const LessonLauncherState& launcher)
    {
        const LessonTable& lesson = launcher.getLesson();
        int k = launcher.getStep();
        for (; k < lesson.stepCount && lesson.steps[k].kind == LessonStep::Movie; ++k)
            playMovie(lesson.steps[k].file);
        const LessonStep& step = lesson.steps[k];
        if (step.kind == LessonStep::Task)
        {
            const TaskStudioState task(TaskType::AdvancedLesson, step.file, static_cast<LocationName::Type>(step.location));
            steps.push_back("task " + task.getTask()->loggingIDs[0]);
            script.after("debug", "TASK=\"" + task.getTask()->loggingIDs[0] + "\"");
        }
        else if (step.kind == LessonStep::Game)
        {
            const std::unique_ptr<GameState> game(step.makeGame());
            steps.push_back("game " + game->getStateName());
            script.after("enter", game->getStateName());
        }
        script.at("+60", "click escape");
        script.at("+72", "tap 115 160");
    }

    void playMovie(const std::string& file)
    {
        script.after("PushApp", "flash/" + file);
        script.at("+1", "tap 160 120");
        steps.push_back("movie " + file);
    }

    void playGame(const std::string& state)
    {
        const GameAnswers* game = answersOf(state);
        EXPECT_TRUE(game) << "no answers for " << state;
        if (!game)
            return;
        script.after("enter", state);
        // Times from the first frame of the game's own run, in which it is
        // entered in frame 2: here frames after its entry.
        std::istringstream lines(game->script);
        for (std::string line; std::getline(lines, line);)
            script.at("+" + std::to_string(std::stoi(line) / 20 - 1), line.substr(line.find(' ') + 1));
        steps.push_back("game " + state);
    }

    // A task of a file relative to the title, every line of it.
    void playTask(eTaskType type, const std::string& file, int location)
    {
        playTask(TaskStudioState(type, file, static_cast<LocationName::Type>(location)));
    }

    // Lines `first` up to `last` (all by default) of a task.
    void playTask(const TaskStudioState& state, size_t first = 0, size_t last = ~size_t(0))
    {
        const Task& task = *state.getTask();
        if (first == 0)
            steps.push_back("task " + task.loggingIDs[0]);
        TovraneTools::Picture background;
        EXPECT_TRUE(TovraneTools::readPng(title().path + "images/" + task.background, background)) << task.background;
        const int width = background.width(), height = background.height();
        const bool animation = state.getLocation() == LocationName::LastAdvancedLesson;
        for (size_t k = first; k < std::min(last, task.lines.size()); ++k)
        {
            const TaskLine& line = task.lines[k];
            if (!line.subLessonPath.empty())
                playSubLesson(line);
            else if (line.pickup.present)
            {
                const PickupData& box = line.pickup;
                const int x = box.boxX + box.boxW / 2, y = box.boxY + box.boxH / 2;
                // Past the drop line half a box beyond the window's move.
                const int to = std::max(0, std::min(height - 1, y + box.winY + (box.winY > 0 ? box.boxH : -box.boxH) / 2));
                script.after("debug", "NEW_STATE=TaskPickup");
                script.strokeAfter(2, onScreen({picturePoint(x, y), picturePoint(x, (y + to) / 2), picturePoint(x, to)},
                                                line, width, height));
            }
            else if (!line.fillMaskImage.empty())
            {
                script.after("debug", "NEW_STATE=TaskPickColor");
                const std::pair<int, int> slice = pieSlice(line.fillColorReq);
                script.at("+2", "tap " + std::to_string(slice.first) + " " + std::to_string(slice.second));
                script.after("debug", "NEW_STATE=TaskFillArea");
                script.strokeAfter(2, fillStroke(line, width, height));
            }
            else
            {
                script.after("debug", "NEW_STATE=TaskDraw");
                script.strokeAfter(2, onScreen(line, width, height));
            }
            // The animation lesson asks for its second frame after the first
            // line and for play after the last, in a speech of a second: the
            // button is tapped from 0.8 to 2.4 seconds after the speech starts,
            // and only the tap while it is asked for is taken.
            if (animation && (k == 0 || k + 1 == task.lines.size()))
            {
                // The flipbook row lies along the bottom, 14 high: frames 24
                // wide, then the play button 32 wide.
                const int x = k == 0 ? 24 + 12 : 24 * FlipbookToolbar::FrameCount + 16;
                script.after("audio-start", k == 0 ? "h_SCRIVLET_LetsMvTNxtFrmFrmIsJ_3.ogg"
                                                   : "h_SCRIVLET_TouchPlyBttnTPlyYrB_5.ogg");
                for (int frame = 40; frame <= 120; frame += 5)
                    script.at("+" + std::to_string(frame), "tap " + std::to_string(x) + " 233");
            }
        }
    }

    // The steps the run's trace shows, in the vocabulary of `steps`.
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

    std::vector<std::string> steps;

private:
    // A writing sub-lesson: its letter traced line by line, then drawn freely
    // with the same strokes.
    void playSubLesson(const TaskLine& line)
    {
        const int c = line.subLessonChar;
        const int index = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'z' ? c - 61 : c - 55;
        const TaskStudioState letter(TaskType::WritingSubLesson, index, LocationName::WritingLesson);
        const std::vector<TaskLine>& strokes = letter.getTask()->lines;
        steps.push_back("task " + letter.getTask()->loggingIDs[0]);
        for (const char* phase : {"NEW_STATE=TaskDraw", "NEW_STATE=FreeFormTaskDraw"})
            for (const TaskLine& stroke : strokes)
            {
                script.after("debug", phase);
                script.strokeAfter(2, onScreen(stroke, 320, 240));
            }
    }

    // The screen point of the pie slice a colour requirement is met by: the
    // middle of the slice's pixels on the pie picture, which the task studio
    // leaves where a picture stands by itself: its lower-left corner on the
    // scene's origin, the screen's lower-left corner.
    static std::pair<int, int> pieSlice(int requirement)
    {
        static const TovraneTools::Colour colours[] = {{192, 0, 0, 255},   {0, 0, 192, 255},  {240, 240, 0, 255},
                                                       {144, 0, 192, 255}, {48, 144, 0, 255}, {240, 144, 0, 255}};
        const int pick = requirement <= 5 ? requirement : requirement == 7 ? 0 : requirement == 8 ? 1 : 4;
        TovraneTools::Picture pie;
        EXPECT_TRUE(TovraneTools::readPng(title().path + "images/color_pie/color_wheel.png", pie));
        long sx = 0, sy = 0, n = 0;
        for (int y = 0; y < pie.height(); ++y)
            for (int x = 0; x < pie.width(); ++x)
            {
                const TovraneTools::Colour p = pie.get(x, y), c = colours[pick];
                if (p.r == c.r && p.g == c.g && p.b == c.b)
                    sx += x, sy += y, ++n;
            }
        EXPECT_LT(0, n) << "no slice of colour " << pick;
        return {static_cast<int>(sx / std::max(n, 1L)), 240 - pie.height() + static_cast<int>(sy / std::max(n, 1L))};
    }

    // One stroke over the line's marked area, row after row both ways.
    static Screen fillStroke(const TaskLine& line, int width, int height)
    {
        TovraneTools::Picture mask;
        EXPECT_TRUE(TovraneTools::readPng(title().path + "images/" + line.fillMaskImage, mask)) << line.fillMaskImage;
        const int step = std::max(2, 3 * width / 320);
        std::vector<Vector2<tFixed>> points;
        for (int y = 0, row = 0; y < std::min(height, mask.height()); y += step, ++row)
            for (int i = 0; i < mask.width(); i += step)
            {
                const int x = row % 2 ? mask.width() - 1 - i : i;
                const TovraneTools::Colour p = mask.get(x, y);
                if (p.r > 199 && p.g > 199 && p.b > 199 && p.a > 199)
                    points.push_back(picturePoint(x, y));
            }
        EXPECT_FALSE(points.empty()) << line.fillMaskImage;
        return onScreen(points, line, width, height);
    }

    Script& script;
};
}

#endif
