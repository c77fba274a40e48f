// Texture conversions between the 16-bit formats and RGBA8888 and a masked
// blit, on a 640 x 480 picture (the size of a studio picture). Every case is
// reported next to a memcpy of the 640 x 480 16-bit picture measured in the
// same run (counter "memcpys").

#include "Tovrane/Texture.h"

#include "MemcpyReference.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

using namespace Tovrane;

namespace
{
const int Width = 640;
const int Height = 480;

TexturePtr noise(PixelFormat::Type format)
{
    TexturePtr t(new Texture(Width, Height, format));
    std::uint32_t state = 2463534242u;
    for (std::size_t i = 0; i < t->getSize(); ++i)
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        t->getData()[i] = static_cast<unsigned char>(state);
    }
    return t;
}

// convertTo on a fresh copy of a noise picture (the copy is not timed).
// convertTo allocates its new block, so the case includes that allocation.
void convert(benchmark::State& state, PixelFormat::Type from, PixelFormat::Type to)
{
    const TexturePtr source = noise(from);
    TexturePtr t;
    bench::Measure timer(state);
    for (auto _ : state)
    {
        timer.pause();
        t = source->copy();
        timer.resume();
        t->convertTo(to);
        benchmark::DoNotOptimize(t->getPixels());
        benchmark::ClobberMemory();
        timer.lap();
    }
}

// A Palette8 source through an RGBA8888 mask (half of it at alpha 255) into an
// RGBA5551 picture, as a brush paints a layer.
void maskedBlit(benchmark::State& state)
{
    const TexturePtr source = noise(PixelFormat::Palette8);
    const TexturePtr mask = noise(PixelFormat::RGBA8888);
    const TexturePtr target = noise(PixelFormat::RGBA5551);
    bench::measure(state, [&] {
        target->blitTexture(source, mask, 0, 0, 0, 0);
        benchmark::ClobberMemory();
    });
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(target->getSize()));
}
}

BENCHMARK_CAPTURE(convert, RGB565_to_RGBA8888, PixelFormat::RGB565, PixelFormat::RGBA8888);
BENCHMARK_CAPTURE(convert, RGBA4444_to_RGBA8888, PixelFormat::RGBA4444, PixelFormat::RGBA8888);
BENCHMARK_CAPTURE(convert, RGBA5551_to_RGBA8888, PixelFormat::RGBA5551, PixelFormat::RGBA8888);
BENCHMARK_CAPTURE(convert, RGBA8888_to_RGB565, PixelFormat::RGBA8888, PixelFormat::RGB565);
BENCHMARK_CAPTURE(convert, RGBA8888_to_RGBA4444, PixelFormat::RGBA8888, PixelFormat::RGBA4444);
BENCHMARK_CAPTURE(convert, RGBA8888_to_RGBA5551, PixelFormat::RGBA8888, PixelFormat::RGBA5551);
BENCHMARK(maskedBlit);

BENCHMARK_MAIN();
