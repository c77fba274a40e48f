#ifndef TESTS_PROJECT_TASKSCREENTESTSUPPORT_H
#define TESTS_PROJECT_TASKSCREENTESTSUPPORT_H

// The task studio run in process as the host runs it: the generated title,
// the application on the virtual clock, frames that wait for each loader,
// touches handed to the current state before its frame, and the debug lines
// and usage-log records the run writes.

#include "LessonsTestSupport.h"
#include "VendrixApplication/StateTestSupport.h"

#include "Resources/Profile/ScrivletPlayer.h"
#include "Resources/Studio/Studio.h"

#include "CLogFile.h"

#include <functional>
#include <sstream>

namespace TaskScreenTest
{
using namespace LessonsTest;

inline Vantorel::Kelm::tTouchData touchAt(int x, int y, bool down)
{
    Vantorel::Kelm::tTouchData touch = {};
    touch.touchState = down ? 1 : 0;
    touch.x = static_cast<std::int16_t>(x);
    touch.y = static_cast<std::int16_t>(y);
    return touch;
}

// The records of a usage log from `from` lines on, without their time, the
// fields joined by blanks.
inline std::vector<std::string> usageRecords(const std::string& log, size_t from = 0)
{
    std::ifstream in(log);
    std::vector<std::string> records;
    size_t index = 0;
    for (std::string line; std::getline(in, line); ++index)
        if (index >= from)
        {
            line.erase(0, line.find('\t') + 1);
            for (char& c : line)
                if (c == '\t')
                    c = ' ';
            records.push_back(line);
        }
    return records;
}

// The phases named by the state-change lines of a debug output.
inline std::vector<std::string> phasesIn(const std::string& debug)
{
    const std::string mark = "STATE_CHANGED NEW_STATE=";
    std::vector<std::string> phases;
    std::istringstream in(debug);
    for (std::string line; std::getline(in, line);)
        if (line.compare(0, mark.size(), mark) == 0)
            phases.push_back(line.substr(mark.size()));
    return phases;
}

class TaskRun
{
public:
    TaskRun() : harness(Below::make), logStart(0)
    {
        harness.enter();
        harness.settle();
        logStart = records().size();
    }

    // Pushes a task studio and runs until it has begun.
    TaskStudioState* push(TaskStudioState* state)
    {
        Application::PushGameState(state);
        frame();
        return state;
    }
    TaskStudioState* current() { return harness.currentAs<TaskStudioState>(); }

    // One frame of `ms`, after every loader has finished, as the host's fixed step.
    void frame(unsigned int ms = 20)
    {
        if (Tovrane::GameStatePtr state = harness.current())
            state->waitForLoader();
        harness.frame(ms);
        if (Tovrane::GameStatePtr state = harness.current())
            state->waitForLoader();
    }
    // Frames until the predicate holds; false after `limit` frames.
    bool until(const std::function<bool()>& done, int limit = 2000)
    {
        for (int i = 0; i < limit; ++i)
        {
            if (done())
                return true;
            frame();
        }
        return done();
    }
    bool untilPhase(TaskStudioState::eState phase, int limit = 2000)
    {
        return until([&] { return current() && current()->getState() == phase; }, limit);
    }

    // Frames until the current line waits for a stroke.
    bool untilDrawing(int limit = 2000)
    {
        return until([&] {
            TaskStudioState* state = current();
            return state && (state->getState() == TaskStudioState::TaskDraw ||
                             state->getState() == TaskStudioState::FreeFormTaskDraw) && state->touchStage == 1;
        }, limit);
    }
    // A touch handed to the current state before the next frame.
    void touch(int x, int y, bool down) { current()->processTouchEvent(touchAt(x, y, down)); }
    void button(std::uint32_t mask)
    {
        Vantorel::Kelm::tButtonData2 press = {};
        press.buttonState = mask;
        current()->processButtonEvent(press);
    }
    // The screen pixel of a picture point on the current studio's canvas.
    std::pair<int, int> screenOf(const Vector2<tFixed>& p)
    {
        int sx = 0, sy = 0;
        current()->studio->canvas->screenXY(p.x.getRaw() >> 16, p.y.getRaw() >> 16, sx, sy);
        return {sx, sy};
    }
    // Down on the first of the points, along the others, up on the last, in one frame.
    void stroke(const std::vector<Vector2<tFixed>>& points)
    {
        for (size_t i = 0; i < points.size(); ++i)
        {
            const std::pair<int, int> at = screenOf(points[i]);
            touch(at.first, at.second, true);
        }
        const std::pair<int, int> last = screenOf(points.back());
        touch(last.first, last.second, false);
        frame();
    }
    // The current line traced along its own points.
    void traceLine() { stroke(current()->getTask()->lines[current()->currentLine].allPoints); }

    size_t stackSize() { return harness.handler().getStackSize(); }
    std::vector<std::string> records() { return usageRecords(CLogFile::Instance()->GetPath().raw(), logStart); }

    StateTestSupport::AppHarness harness;
    size_t logStart;
};
}

#endif
