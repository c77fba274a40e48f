#ifndef TESTS_PROJECT_LESSONS_HOSTSCRIPT_H
#define TESTS_PROJECT_LESSONS_HOSTSCRIPT_H

// Host scripts built by the tests: strokes along a task line's own points,
// at fixed frames or after the trace event a step waits for.

#include "TaskScreenTestSupport.h"

#include <string>
#include <utility>
#include <vector>

namespace TaskScreenTest
{
typedef std::vector<std::pair<int, int>> Screen;

// The screen pixels of a line's points, on a picture of its task's size shown
// as the task studio shows it for that line.
inline Screen onScreen(const TaskLine& line, int width, int height)
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

// A host script built line by line. `when` is a frame number or "+N" (N
// frames after the event of the last `after`).
struct Script
{
    void at(int frame, const std::string& event) { at(std::to_string(frame), event); }
    void at(const std::string& when, const std::string& event) { text += when + " " + event + "\n"; }
    // Waits for a trace event whose detail contains `part`, such as
    // after("debug", "NEW_STATE=TaskDraw").
    void after(const std::string& event, const std::string& part = std::string())
    {
        text += "after " + event + (part.empty() ? "" : " " + part) + "\n";
    }
    // Down in the frame, every move in the next, up in the one after.
    void stroke(int frame, const Screen& points) { stroke(frame, points, ""); }
    // The same, N frames after the last `after`.
    void strokeAfter(int frames, const Screen& points) { stroke(frames, points, "+"); }
    std::string text;

private:
    void stroke(int frame, const Screen& points, const std::string& sign)
    {
        auto where = [](const std::pair<int, int>& p) { return std::to_string(p.first) + " " + std::to_string(p.second); };
        at(sign + std::to_string(frame), "down " + where(points.front()));
        for (size_t i = 1; i < points.size(); ++i)
            at(sign + std::to_string(frame + 1), "move " + where(points[i]));
        at(sign + std::to_string(frame + 2), "up " + where(points.back()));
    }
};
}

#endif
