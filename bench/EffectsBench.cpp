// Each picture effect on a 640 x 480 picture: the effect alone on the
// whole-picture texture, and blur as the studio applies it (the undo step,
// the layer read as one texture, the effect, and the changed tiles written
// back and marked, the undo step keeping their old pixels). Every case is reported next to a memcpy of the 640 x 480
// 16-bit picture measured in the same run (counter "memcpys"). The goals:
// invert about 1, blur as the studio applies it at most 10.
#include "Resources/Drawing/Effects/BlurEffect.h"
#include "Resources/Drawing/Canvas.h"
#include "Resources/Drawing/Effects/EightbitEffect.h"
#include "Resources/Drawing/Effects/GrayscaleEffect.h"
#include "Resources/Drawing/Effects/GridShuffleEffect.h"
#include "Resources/Drawing/Effects/HFlipEffect.h"
#include "Resources/Drawing/Effects/HSLEffect.h"
#include "Resources/Drawing/Effects/InvertEffect.h"
#include "Resources/Drawing/Effects/RGBRotateEffect.h"
#include "Resources/Drawing/Effects/TexturizeEffect.h"
#include "Resources/Drawing/Effects/VFlipEffect.h"
#include "Tovrane/System.h"

#include "CSystemData.h"

#include "MemcpyReference.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <random>

#include <fcntl.h>
#include <unistd.h>
#include <vector>

using namespace Tovrane;

namespace
{
typedef ColorRGBA<unsigned char> Colour;

TexturePtr picture()
{
    std::mt19937 random(1);
    TexturePtr texture(new Texture(640, 480, PixelFormat::RGBA5551, false));
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            texture->setPixel(Colour(static_cast<unsigned char>(x), static_cast<unsigned char>(y + random() % 16),
                                     static_cast<unsigned char>(x + y), 255),
                              x, y);
    return texture;
}

// The texture overlay reads its image from the title folder: a temporary one.
void makeTitle()
{
    static bool made = false;
    if (made)
        return;
    made = true;
    char name[] = "/tmp/tovrane-effects-bench-XXXXXX";
    if (!::mkdtemp(name))
        return;
    CSystemData::Config config;
    config.titlePath = std::string(name) + "/";
    config.dataRoot = std::string(name) + "/data/";
    CSystemData::Configure(config);
    std::filesystem::create_directories(System::getPath() + "images/studio/textures");
    TexturePtr image(new Texture(64, 64, PixelFormat::RGB888, true, 0));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image->setPixel(Colour(static_cast<unsigned char>(180 + x), 200, static_cast<unsigned char>(150 + y), 255), x, y);
    image->save(System::getPath() + "images/studio/textures/tex_01.png");
    std::atexit([] { std::filesystem::remove_all(std::filesystem::path(System::getPath()).parent_path()); });
}

// One effect run on the same whole-picture texture again and again.
template <typename Make> void runEffect(benchmark::State& state, Make make)
{
    TexturePtr texture = picture();
    std::srand(1);
    bench::measure(state, [&] {
        EffectPtr effect(make());
        effect->run(texture);
        benchmark::ClobberMemory();
    });
}

void BM_Invert(benchmark::State& state) { runEffect(state, [] { return new InvertEffect; }); }
void BM_RGBRotate(benchmark::State& state) { runEffect(state, [] { return new RGBRotateEffect; }); }
void BM_Grayscale(benchmark::State& state) { runEffect(state, [] { return new GrayscaleEffect; }); }
void BM_Blur(benchmark::State& state) { runEffect(state, [] { return new BlurEffect; }); }
void BM_Eightbit(benchmark::State& state) { runEffect(state, [] { return new EightbitEffect; }); }
void BM_HFlip(benchmark::State& state) { runEffect(state, [] { return new HFlipEffect; }); }
void BM_VFlip(benchmark::State& state) { runEffect(state, [] { return new VFlipEffect; }); }
void BM_GridShuffle(benchmark::State& state) { runEffect(state, [] { return new GridShuffleEffect; }); }
void BM_Saturate(benchmark::State& state)
{
    // The effect reports one pixel on standard output; keep it out of the table.
    std::fflush(stdout);
    const int saved = ::dup(1);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    runEffect(state, [] { return new HSLEffect(HSLSpaceEffect::Saturate); });
    std::fflush(stdout);
    ::dup2(saved, 1);
    ::close(null);
    ::close(saved);
}
void BM_Texturize(benchmark::State& state)
{
    makeTitle();
    runEffect(state, [] { return new TexturizeEffect(TextureEffect::Brick); });
}
BENCHMARK(BM_Invert)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RGBRotate)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Grayscale)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Blur)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Eightbit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HFlip)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VFlip)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GridShuffle)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Saturate)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Texturize)->Unit(benchmark::kMicrosecond);

// Blur as the studio applies it: an undo step (the canvas keeps one, as the
// studio's do), then the effect through the canvas. The undo that brings the
// picture back, so every blur starts from the same one, is not timed.
void BM_BlurAsTheStudioAppliesIt(benchmark::State& state)
{
    CanvasPtr canvas(new Canvas(picture(), 128));
    bench::Measure timer(state);
    for (auto _ : state)
    {
        canvas->pushUndo();
        canvas->useEffect(EffectPtr(new BlurEffect));
        benchmark::ClobberMemory();
        timer.pause();
        canvas->undo();
        timer.resume();
        timer.lap();
    }
}
BENCHMARK(BM_BlurAsTheStudioAppliesIt)->Unit(benchmark::kMicrosecond);
}

BENCHMARK_MAIN();
