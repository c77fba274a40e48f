// One tap on the colour wheel as the colour screen takes it: the wheel
// picture sampled under the finger, then the whole 512 x 512 16-bit
// colour-mask page repainted in the new colour. Taps alternate between two
// sectors so that every tap repaints the disc and its rim. Reported next to a
// memcpy of the 640 x 480 16-bit picture measured in the same run (counter
// "memcpys"); the goal is under 20.
#include "Resources/Studio/ColorWheel.h"
#include "Tovrane/Node.h"
#include "Tovrane/Plane.h"
#include "Tovrane/Texture.h"

#include "MemcpyReference.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <iostream>
#include <streambuf>

using namespace Tovrane;

namespace
{
typedef ColorRGBA<unsigned char> Colour;

// A quad showing the whole picture with its lower-left corner at (x, y).
GeometryPtr sprite(const TexturePtr& picture, int x, int y)
{
    const int w = picture->getWidth(), h = picture->getHeight();
    GeometryPtr quad(new Plane(tFixed(-w / 2), tFixed(w / 2), tFixed(-h / 2), tFixed(h / 2), tFixed(0), tFixed(1),
                               tFixed(0), tFixed(1), 2, 2));
    quad->setTexture(picture, 0);
    quad->setPosition(Vector3<tFixed>(tFixed(x + w / 2), tFixed(y + h / 2), tFixed(0)));
    return quad;
}

// The wheel: six sectors between 31 and 75 pixels from the middle.
TexturePtr wheelPicture()
{
    const Colour sectors[6] = {Colour(0, 255, 0, 255),   Colour(255, 255, 0, 255), Colour(255, 127, 0, 255),
                               Colour(255, 0, 0, 255),   Colour(127, 0, 255, 255), Colour(0, 0, 255, 255)};
    TexturePtr picture(new Texture(160, 160, PixelFormat::RGBA4444, true, 0));
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 160; ++x)
        {
            const int dx = x - 80, dy = 80 - y, d2 = dx * dx + dy * dy;
            if (d2 < 31 * 31 || d2 > 75 * 75)
                continue;
            double degrees = std::atan2(double(dy), double(dx)) * 180.0 / M_PI;
            degrees += degrees < 0 ? 360.0 : 0.0;
            picture->setPixel(sectors[int(degrees / 60.0) % 6], x, y);
        }
    return picture;
}

// A colour-mask page: twenty black discs with light rims on a transparent
// 512 x 512 page.
TexturePtr maskPage()
{
    TexturePtr page(new Texture(512, 512, PixelFormat::RGBA4444, true, 0));
    for (int n = 0; n < 20; ++n)
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x)
            {
                const int d2 = (x - 24) * (x - 24) + (y - 24) * (y - 24);
                if (d2 <= 24 * 24)
                    page->setPixel(d2 <= 22 * 22 ? Colour(0, 0, 0, 255) : Colour(240, 240, 240, 255),
                                   (n % 10) * 50 + x, (n / 10) * 50 + y);
            }
    return page;
}

// Swallows the wheel's trace lines, so that the report stays readable.
class NullBuffer : public std::streambuf
{
protected:
    int overflow(int c) override { return c; }
};

void BM_WheelTap(benchmark::State& state)
{
    NodePtr root(new Node);
    TexturePtr drop(new Texture(20, 28, PixelFormat::RGBA4444, true, 255));
    ColorWheelPtr wheel(new ColorWheel(sprite(wheelPicture(), 0, 0), sprite(drop, 0, 0)));
    wheel->setCenter(sprite(maskPage(), 0, 0));
    wheel->movePosition(Vector3<tFixed>(tFixed(16), tFixed(69), tFixed(0)));
    root->addChild(wheel);
    root->update(0);

    NullBuffer null;
    std::streambuf* saved = std::cout.rdbuf(&null);
    // Red and blue sectors, 50 pixels from the middle at (96, 149).
    const int taps[2][2] = {{96 - 40, 149 - 30}, {96 + 40, 149 - 30}};
    int n = 0;
    bench::measure(state, [&] {
        const int* tap = taps[n++ % 2];
        wheel->onPress(tap[0], tap[1]);
        wheel->onRelease(tap[0], tap[1]);
        benchmark::ClobberMemory();
    });
    std::cout.rdbuf(saved);
}
BENCHMARK(BM_WheelTap)->Unit(benchmark::kMicrosecond);
}

BENCHMARK_MAIN();
