// Counting a coloured area after a lift: a mask white all over a 640 x 480
// box (every pixel of the box read twice) against the 16-bit picture, next to
// a memcpy of that picture (counter "memcpys").
#include "Resources/Lessons/TaskStudioState.h"

#include "MemcpyReference.h"

#include <benchmark/benchmark.h>

using namespace Tovrane;

namespace
{
void BM_ColorFillWholePicture(benchmark::State& state)
{
    Texture mask(640, 480, PixelFormat::RGBA8888, true, 255);
    Texture picture(640, 480, PixelFormat::RGBA5551, true, 0);
    const ColorRGBA<unsigned char> orange(240, 144, 0, 255);
    for (int y = 0; y < 480; y += 2)
        for (int x = 0; x < 640; ++x)
            picture.setPixel(orange, x, y);
    bench::measure(state, [&] {
        int coloured = 0, white = 0;
        TaskStudioState::countColorFill(mask, picture, 0, 0, 640, 480, orange, coloured, white);
        benchmark::DoNotOptimize(coloured);
        benchmark::DoNotOptimize(white);
    });
}
BENCHMARK(BM_ColorFillWholePicture);
}

BENCHMARK_MAIN();
