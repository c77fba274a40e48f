// A picture saved into its slot (the picture and its thumbnail put in place
// together) and a 12-frame flipbook (its frames, thumbnail and frame counts),
// each over the slot's earlier save, as the child saves again and again.
// Reported as CPU time next to a memcpy of the 640 x 480 16-bit picture
// (counter "memcpys"); the disk's own time (the syncs) is not CPU time, and
// is shown by the real time beside it.
#include "Resources/Profile/ScrivletPlayer.h"
#include "Tovrane/Texture.h"

#include "CSystem.h"
#include "ScratchTitle.h"

#include <benchmark/benchmark.h>

using namespace Tovrane;

namespace
{
// Player 0 on a scratch data root, loaded once.
struct Profile : bench::ScratchTitle
{
    Profile()
    {
        XQM::CSystem::Config player;
        player.playerID = 0;
        XQM::CSystem::Configure(player);
        profile.reset(new ScrivletPlayer);
        std::stringstream quiet;
        std::streambuf* out = std::cout.rdbuf(quiet.rdbuf());
        profile->load();
        std::cout.rdbuf(out);
    }
    ScrivletPlayerPtr profile;
};

Profile& profile()
{
    static Profile shared;
    return shared;
}

// A picture of soft bands, as a child's drawing compresses: some 20 to 40 KB.
TexturePtr drawing(int width, int height, int seed)
{
    TexturePtr picture(new Texture(width, height, PixelFormat::RGBA8888, true, 255));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture->setPixel(ColorRGBA<unsigned char>(static_cast<unsigned char>((x + seed) / 8 * 24),
                                                       static_cast<unsigned char>((y * 3 + seed) / 16 * 40),
                                                       static_cast<unsigned char>((x ^ y) & 0xe0), 255),
                              x, y);
    return picture;
}

void BM_SavePicture(benchmark::State& state)
{
    ScrivletPlayer& player = *profile().profile;
    const TexturePtr pictures[2] = {drawing(320, 240, 0), drawing(320, 240, 5)};
    int n = 0;
    bench::measure(state, [&] {
        if (!player.saveImage(pictures[n++ % 2]->copy(), 3))
            state.SkipWithError("the save failed");
    });
}
BENCHMARK(BM_SavePicture)->UseRealTime();

void BM_SaveFlipbook(benchmark::State& state)
{
    ScrivletPlayer& player = *profile().profile;
    std::vector<TexturePtr> frames[2];
    for (int version = 0; version < 2; ++version)
        for (int f = 0; f < 12; ++f)
            frames[version].push_back(drawing(320, 240, f * 3 + version));
    int n = 0;
    bench::measure(state, [&] {
        std::vector<TexturePtr> copies;
        for (const TexturePtr& frame : frames[n % 2])
            copies.push_back(frame->copy());
        if (!player.saveAnimation(copies, 1, 12 - n++ % 2))
            state.SkipWithError("the save failed");
    });
}
BENCHMARK(BM_SaveFlipbook)->UseRealTime();
}

BENCHMARK_MAIN();
