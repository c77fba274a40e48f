// Judging touches on the title's longest traced line: a touch-down that may
// start anywhere (every sample point searched), a move along the line and a
// lift at its end, with the debug text going to a buffer. Every case is
// reported next to a memcpy of the 640 x 480 16-bit picture measured in the
// same run (counter "memcpys").
#include "Resources/Lessons/TaskStudioState.h"

#include "CJSonFile.h"
#include "ScratchTitle.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <fcntl.h>
#include <unistd.h>

using namespace Tovrane;

namespace
{
using bench::measureQuietly;

// The generated title with a scratch data root; the task whose line has the
// most sample points, read as the kind of task it is.
struct Longest : bench::ScratchTitle
{
    Longest()
    {
        // Reading prints debug lines (standard error) and sample counts.
        std::stringstream quiet;
        std::streambuf* out = std::cout.rdbuf(quiet.rdbuf());
        const int errors = ::dup(2);
        const int nothing = ::open("/dev/null", O_WRONLY);
        ::dup2(nothing, 2);
        for (const auto& entry : std::filesystem::directory_iterator(config.titlePath + "tasks"))
        {
            XQM::CJSonFile file(entry.path().string(), 0);
            file.Load();
            const std::string kind = file.GetRoot()["logging_ID2"].asString();
            const eTaskType type = kind == "Location" ? TaskType::LocationTask
                                   : kind == "Lesson" ? TaskType::AdvancedLesson
                                                      : TaskType::WritingLesson;
            std::unique_ptr<TaskStudioState> candidate(new TaskStudioState(
                type, "tasks/" + entry.path().filename().string(), LocationName::WritingLesson));
            for (size_t i = 0; i < candidate->getTask()->lines.size(); ++i)
                if (candidate->getTask()->lines[i].allPoints.size() > points)
                {
                    points = candidate->getTask()->lines[i].allPoints.size();
                    line = static_cast<int>(i);
                    state = std::move(candidate);
                    break;
                }
        }
        std::cout.rdbuf(out);
        ::dup2(errors, 2);
        ::close(errors);
        ::close(nothing);
        if (!state)
            std::abort();
        std::cerr << "longest line: " << state->getTaskPath() << " line " << line << ", " << points << " points\n";
    }
    Task& task() { return *state->getTask(); }
    TaskLine& traced() { return task().lines[line]; }

    std::unique_ptr<TaskStudioState> state;
    int line = 0;
    size_t points = 0;
};

Longest& longest()
{
    static Longest instance;
    return instance;
}

void BM_TouchDownAnywhere(benchmark::State& state)
{
    Task& task = longest().task();
    TaskLine& line = longest().traced();
    line.setValidStartPt(StartAt::Anywhere);
    const Vector2<tFixed> middle = line.allPoints[line.allPoints.size() / 2];
    measureQuietly(state, [] {}, [&](int) {
        task.answer = 0;
        task.verifyTouch(longest().line, TouchType::Down, middle);
    });
    line.setValidStartPt(StartAt::StartPoint);
}
BENCHMARK(BM_TouchDownAnywhere);

void BM_MoveAlongTheLine(benchmark::State& state)
{
    Task& task = longest().task();
    TaskLine& line = longest().traced();
    const size_t n = line.allPoints.size();
    // Round and round: past the last point the path wraps to the first.
    measureQuietly(state,
          [&] {
              task.newAnswer();
              task.verifyTouch(longest().line, TouchType::Down, line.allPoints[0]);
          },
          [&](int k) { task.verifyTouch(longest().line, TouchType::Move, line.allPoints[(k + 1) % n]); });
}
BENCHMARK(BM_MoveAlongTheLine);

void BM_LiftAtTheEnd(benchmark::State& state)
{
    Task& task = longest().task();
    TaskLine& line = longest().traced();
    const Vector2<tFixed> end = line.allPoints.back();
    measureQuietly(state, [] {}, [&](int) {
        task.answer = 0;
        task.verifyTouch(longest().line, TouchType::Up, end);
    });
}
BENCHMARK(BM_LiftAtTheEnd);
}

BENCHMARK_MAIN();
