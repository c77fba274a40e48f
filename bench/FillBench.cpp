// Flood fills through the canvas on a 640 x 480 picture: the whole picture
// read as one texture, the span fill, and the changed tiles written back.
// Every case is reported next to a memcpy of the 640 x 480 16-bit picture
// measured in the same run (counter "memcpys").
#include "Resources/Drawing/Canvas.h"
#include "Resources/Drawing/Fill.h"

#include "MemcpyReference.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

using namespace Tovrane;

namespace
{
typedef ColorRGBA<unsigned char> Colour;

TexturePtr stripes()
{
    TexturePtr pattern(new Texture(64, 64, PixelFormat::Palette8, true, 0));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            pattern->setPixel(((x + y) / 4) % 2, x, y);
    return pattern;
}

// Fills at (x, y) again and again, alternating two colours so that every
// fill repaints its whole region.
void fillRepeatedly(benchmark::State& state, const CanvasPtr& canvas, int x, int y)
{
    TexturePtr pattern = stripes();
    const Colour colours[2] = {Colour(200, 30, 30, 255), Colour(30, 30, 200, 255)};
    int n = 0;
    bench::measure(state, [&] {
        canvas->doFill(colours[n % 2], colours[(n + 1) % 2], pattern, x, y);
        ++n;
        benchmark::ClobberMemory();
    });
}

void BM_FillWholeEmptyPicture(benchmark::State& state)
{
    CanvasPtr canvas(new Canvas(640, 480, false, 128));
    fillRepeatedly(state, canvas, 320, 240);
}
BENCHMARK(BM_FillWholeEmptyPicture)->Unit(benchmark::kMicrosecond);

void BM_FillMaze(benchmark::State& state)
{
    // A perfect maze of 8-pixel cells with 2-pixel walls (a random spanning
    // tree, carved without recursion): one long winding region.
    CanvasPtr canvas(new Canvas(640, 480, false, 128));
    LayerPtr layer = canvas->getLayer();
    const Colour black(0, 0, 0, 255);
    const int columns = 64, rows = 48, cell = 10;
    std::vector<char> open(columns * rows * 2, 0); // right and down passages
    std::vector<char> seen(columns * rows, 0);
    std::vector<int> stack(1, 0);
    seen[0] = 1;
    std::mt19937 random(1);
    while (!stack.empty())
    {
        const int c = stack.back(), cx = c % columns, cy = c / columns;
        int next[4], count = 0;
        if (cx > 0 && !seen[c - 1]) next[count++] = c - 1;
        if (cx < columns - 1 && !seen[c + 1]) next[count++] = c + 1;
        if (cy > 0 && !seen[c - columns]) next[count++] = c - columns;
        if (cy < rows - 1 && !seen[c + columns]) next[count++] = c + columns;
        if (!count)
        {
            stack.pop_back();
            continue;
        }
        const int n = next[random() % count];
        const int a = std::min(c, n);
        open[a * 2 + (std::abs(n - c) == 1 ? 0 : 1)] = 1;
        seen[n] = 1;
        stack.push_back(n);
    }
    for (int cy = 0; cy < rows; ++cy)
        for (int cx = 0; cx < columns; ++cx)
            for (int i = 0; i < cell; ++i)
                for (int w = 0; w < 2; ++w)
                {
                    const int c = cy * columns + cx;
                    if (!open[c * 2])
                        layer->setPixel(black, cx * cell + cell - 1 - w, cy * cell + i);
                    if (!open[c * 2 + 1])
                        layer->setPixel(black, cx * cell + i, cy * cell + cell - 1 - w);
                }
    fillRepeatedly(state, canvas, 2, 2);
}
BENCHMARK(BM_FillMaze)->Unit(benchmark::kMicrosecond);

void BM_FillSmallRegion(benchmark::State& state)
{
    CanvasPtr canvas(new Canvas(640, 480, false, 128));
    LayerPtr layer = canvas->getLayer();
    const Colour black(0, 0, 0, 255);
    for (int i = 300; i <= 330; ++i)
    {
        layer->setPixel(black, i, 200);
        layer->setPixel(black, i, 230);
        layer->setPixel(black, 300, i - 100);
        layer->setPixel(black, 330, i - 100);
    }
    fillRepeatedly(state, canvas, 315, 215);
}
BENCHMARK(BM_FillSmallRegion)->Unit(benchmark::kMicrosecond);
}

BENCHMARK_MAIN();
