// One touch event of a brush stroke on a 640 x 480 canvas: the stroke filter
// fills the gap to the new point with dabs (and their mirror images), each dab
// writing its masked pixels into the tiles under it. Every case is reported
// next to a memcpy of the 640 x 480 16-bit picture measured in the same run
// (counter "memcpys": the event's time in memcpys of the picture).
#include "Resources/Drawing/Brush.h"
#include "Resources/Drawing/Canvas.h"
#include "Resources/Drawing/Filter.h"

#include "FingerPath.h"
#include "MemcpyReference.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

using namespace Tovrane;

namespace
{
TexturePtr discMask(int size)
{
    TexturePtr mask(new Texture(size, size, PixelFormat::RGBA8888, true, 0));
    const float r = size / 2.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const float dx = x + 0.5f - r, dy = y + 0.5f - r;
            if (dx * dx + dy * dy <= r * r)
                mask->setPixel(ColorRGBA<unsigned char>(0, 0, 0, 255), x, y);
        }
    return mask;
}

TexturePtr stripes()
{
    TexturePtr pattern(new Texture(64, 64, PixelFormat::Palette8, true, 0));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            pattern->setPixel(((x + y) / 3) % 2, x, y);
    pattern->setPaletteEntry(ColorRGBA<unsigned char>(255, 255, 255, 255), 1);
    return pattern;
}

// Arguments: brush size, jump in screen pixels, symmetry mode.
void BM_StrokeEvent(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    const int jump = static_cast<int>(state.range(1));
    CanvasPtr canvas(new Canvas(640, 480, false, 128));
    ToolPtr brush(new Brush(discMask(size), stripes()));
    brush->setForegroundColor(ColorRGBA<unsigned char>(200, 30, 30, 255));
    Filter filter(640, 480);
    filter.setSymmetryType(static_cast<SymmetryType::Type>(state.range(2)));
    bench::FingerPath finger(jump);
    filter.begin(finger.x, finger.y);
    bench::measure(state, [&] {
        finger.step();
        filter.useTool(canvas, brush, finger.x, finger.y);
    });
}
BENCHMARK(BM_StrokeEvent)
    ->ArgNames({"brush", "jump", "mirror"})
    ->ArgsProduct({{8, 16, 32}, {10, 100, 200, 300}, {0, 3}})
    ->Unit(benchmark::kMicrosecond);
}

BENCHMARK_MAIN();
