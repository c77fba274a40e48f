// One stroke event through the task studio's touch hook on the title's
// 640 x 480 firehouse: the judging of the touch and the studio's drawing of
// it, as the picture is shown whole and zoomed in twice; and a touch-down
// with the undo copy of the picture it takes. Every case is reported next to
// a memcpy of the 640 x 480 16-bit picture measured in the same run (counter
// "memcpys").
#include "Resources/Lessons/TaskStudioState.h"
#include "Resources/Studio/Studio.h"
#include "Tovrane/Application.h"
#include "Tovrane/GameStateHandler.h"

#include "CAppManager.h"
#include "CKernelMPI.h"
#include "ScratchTitle.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <fcntl.h>
#include <unistd.h>

using namespace Tovrane;

namespace
{
using bench::measureQuietly;

Vantorel::Kelm::tTouchData touchAt(int x, int y, int state)
{
    Vantorel::Kelm::tTouchData touch = {};
    touch.touchState = static_cast<std::uint16_t>(state);
    touch.x = static_cast<std::int16_t>(x);
    touch.y = static_cast<std::int16_t>(y);
    return touch;
}

// The firehouse loaded and drawing its first line, on the virtual clock.
struct Firehouse : bench::ScratchTitle
{
    Firehouse()
    {
        ::setenv("LP_NUM_THREADS", "0", 0);
        Vantorel::Kelm::CKernelMPI::UseVirtualClock(5000);
        CAppManager::Instance()->Reset();
        app.reset(new Application(nullptr, [] {
            return static_cast<GameState*>(
                new TaskStudioState(TaskType::LocationTask, "tasks/firehouse.task", LocationName::Firehouse));
        }));
        Application::theApplication = app.get();
        app->Enter();
        state = static_cast<TaskStudioState*>(app->getHandler()->getCurrent().get());
        state->waitForLoader();
        Vantorel::Kelm::CKernelMPI::AdvanceVirtualClock(20);
        app->Update();
        state->setState(TaskStudioState::TaskDraw, 2);
    }
    ~Firehouse()
    {
        app->Exit();
        app.reset();
    }

    TaskLine& line() { return state->getTask()->lines[0]; }
    // The screen pixel of sample point k of the line.
    std::pair<int, int> screen(size_t k)
    {
        const Vector2<tFixed>& p = line().allPoints[k % line().allPoints.size()];
        int sx = 0, sy = 0;
        state->studio->canvas->screenXY(p.x.getRaw() >> 16, p.y.getRaw() >> 16, sx, sy);
        return {sx, sy};
    }
    // A new attempt whose finger is down on the first point.
    void downAtTheStart()
    {
        state->touchStage = 1;
        state->lastTouchState = 0;
        state->getTask()->newAnswer();
        const std::pair<int, int> at = screen(0);
        state->processTouchEvent(touchAt(at.first, at.second, 1));
    }

    std::unique_ptr<Application> app;
    TaskStudioState* state = nullptr;
};

Firehouse& firehouse()
{
    static Firehouse instance;
    return instance;
}

// Argument: 0 the whole picture shown, 2 zoomed in twice on the line.
void BM_StrokeMove(benchmark::State& state)
{
    Firehouse& task = firehouse();
    Canvas& canvas = *task.state->studio->canvas;
    canvas.setTexture(canvas.getLayer()->getTexture(), 128);
    if (state.range(0) > 0)
        TaskStudioState::zoomCanvas(canvas, static_cast<int>(state.range(0)), task.line().allPoints[1]);
    // Along the line's first quarter (the line is never complete), then a new
    // attempt of the judging from the start, the studio's stroke going on.
    const size_t span = task.line().allPoints.size() / 4;
    task.downAtTheStart();
    measureQuietly(state, [] {}, [&](int n) {
        const size_t k = 1 + n % span;
        if (k == 1)
        {
            task.state->getTask()->newAnswer();
            task.state->getTask()->verifyTouch(0, TouchType::Down, task.line().allPoints[0]);
        }
        const std::pair<int, int> at = task.screen(k);
        task.state->processTouchEvent(touchAt(at.first, at.second, 1));
    });
}
BENCHMARK(BM_StrokeMove)->Arg(0)->Arg(2);

void BM_TouchDownWithItsUndoCopy(benchmark::State& state)
{
    Firehouse& task = firehouse();
    measureQuietly(state, [] {}, [&](int) {
        task.state->studio->strokeActive = false;
        task.downAtTheStart();
    });
}
BENCHMARK(BM_TouchDownWithItsUndoCopy);
}

BENCHMARK_MAIN();
