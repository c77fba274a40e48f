// One touch event of a stroke through the studio with its whole interface
// built, as the free-drawing screen hands it over: the widget picker looks
// for a widget under the finger (toolbars, colour screen, pickers and the
// question box, all there), finds none, and the stroke filter draws the
// canvas benchmark's worst case: the large brush mirrored both ways, the
// finger jumping 300 screen pixels between events. Reported next to a
// memcpy of the 640 x 480 16-bit picture measured in the same run (counter
// "memcpys"); the goal is under 22.
#include "Resources/Studio/Studio.h"

#include "CSystemData.h"

#include "FingerPath.h"
#include "MemcpyReference.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace Tovrane;

namespace
{
// The generated title, and a data root of this process removed at exit.
struct Paths
{
    Paths()
    {
        char name[] = "/tmp/tovrane-bench-XXXXXX";
        if (::mkdtemp(name))
            data = name;
        CSystemData::Config config;
        config.titlePath = std::string(TOVRANE_TITLE_DIR) + "/";
        config.dataRoot = data + "/";
        CSystemData::Configure(config);
    }
    ~Paths()
    {
        if (!data.empty())
            std::filesystem::remove_all(data);
    }
    std::string data;
};

void BM_StudioTouchEvent(benchmark::State& state)
{
    static Paths paths;
    StudioPtr studio(new Studio(640, 480, false, true));
    studio->setUndoStackSize(3);
    studio->setToolType(ToolType::Brush);
    studio->setToolSize(ToolSize::Large);
    studio->setSymmetryType(SymmetryType::Both);
    bench::FingerPath finger(300);
    studio->handleTouchEvent(finger.x, finger.y, 1);
    bench::measure(state, [&] {
        finger.step();
        studio->handleTouchEvent(finger.x, finger.y, 1);
    });
    studio->handleTouchEvent(finger.x, finger.y, 0);
}
BENCHMARK(BM_StudioTouchEvent)->Unit(benchmark::kMicrosecond);
}

BENCHMARK_MAIN();
