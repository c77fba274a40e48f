#ifndef TESTS_PROJECT_STUDIO_COLOURTESTSUPPORT_H
#define TESTS_PROJECT_STUDIO_COLOURTESTSUPPORT_H

// Pictures by rule, gestures from a widget's middle, and the sounds heard.
#include "StudioTestSupport.h"
#include "UI/UITestSupport.h"

#include "Tovrane/Geometry.h"

#include <cmath>
#include <string>

namespace ColourTest
{
using namespace Tovrane;
using SpriteTestSupport::solidPicture;
using StudioTest::listen;
typedef ColorRGBA<unsigned char> Colour;

template <typename F> TexturePtr picture(int w, int h, F colour, PixelFormat::Type format = PixelFormat::RGBA8888)
{
    TexturePtr p(new Texture(w, h, format, true, 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p->setPixel(colour(x, y), x, y);
    return p;
}

// At (dx, dy) from a wheel's middle, y up: nothing inside 24 and beyond 75
// pixels, dark below and light above up to 31, then six sectors from -180
// degrees (red, purple, blue, green, yellow, orange) unlike the mixing table's.
inline Colour wheelColour(int dx, int dy)
{
    const Colour sectors[6] = {Colour(250, 20, 20, 255), Colour(130, 20, 250, 255), Colour(20, 20, 250, 255),
                               Colour(20, 250, 20, 255), Colour(250, 250, 20, 255), Colour(250, 130, 20, 255)};
    const int d2 = dx * dx + dy * dy;
    if (d2 < 24 * 24 || d2 > 75 * 75)
        return Colour();
    if (d2 <= 31 * 31)
        return dy < 0 ? Colour(60, 60, 60, 255) : Colour(255, 255, 255, 255);
    return sectors[std::min(5, static_cast<int>((std::atan2(dy, dx) * 180.0 / M_PI + 180.0) / 60.0))];
}

// A black disc with a two-pixel (240, 240, 240) rim on a transparent 2r x 2r
// square, in the 16-bit format of the colour-mask page.
inline TexturePtr discPicture(int r)
{
    return picture(2 * r, 2 * r, [r](int x, int y) {
        const int d2 = (2 * x + 1 - 2 * r) * (2 * x + 1 - 2 * r) + (2 * y + 1 - 2 * r) * (2 * y + 1 - 2 * r);
        return d2 <= 4 * (r - 2) * (r - 2) ? Colour(0, 0, 0, 255) : d2 <= 4 * r * r ? Colour(240, 240, 240, 255) : Colour();
    }, PixelFormat::RGBA4444);
}

// A quad of the picture's size with its lower-left corner at (x, y).
inline GeometryPtr sprite(TexturePtr p, int x = 0, int y = 0)
{
    const int w = p->getWidth(), h = p->getHeight();
    GeometryPtr quad(UITestSupport::picture(-w / 2, w - w / 2, -h / 2, h - h / 2));
    quad->setTexture(p, 0);
    quad->setPosition(Vector3<tFixed>(tFixed(x + w / 2), tFixed(y + h / 2), tFixed(0)));
    return quad;
}

inline std::string text(const Colour& c)
{
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + "," + std::to_string(c.a);
}

struct P
{
    int x, y; // from the widget's middle, y up
};

// A gesture and the widget's state after it. Kinds: 'P' a press (a move
// while the finger is down), 'U' a release, 'R' a slide off, all at `from`;
// 'T' a tap at `from`; 'D' pressed at `from` and released at `to`; 'S'
// pressed at `from` and slid off at `to`.
struct Step
{
    const char* what;
    char kind;
    P from;
    const char* state;
    P to = {0, 0};
};

template <typename W> void perform(W& widget, P middle, const Step& s)
{
    const auto at = [&](void (W::*call)(int, int), P p) {
        widget.update(0);
        (widget.*call)(middle.x + p.x, middle.y + p.y);
    };
    if (s.kind != 'U' && s.kind != 'R')
        at(&W::onPress, s.from);
    if (s.kind == 'D' || s.kind == 'S')
        at(s.kind == 'D' ? &W::onPress : &W::onRolloff, s.to);
    if (s.kind == 'R')
        at(&W::onRolloff, s.from);
    if (s.kind == 'U' || s.kind == 'T' || s.kind == 'D')
        at(&W::onRelease, s.kind == 'D' ? s.to : s.from);
}

// sounds(): the files started since the last call, named short.
struct AudioFixture : UITestSupport::AudioFixture
{
    void SetUp() override
    {
        REQUIRE_STUDIO_TITLE();
        UITestSupport::AudioFixture::SetUp();
    }

    std::string sounds()
    {
        std::string started;
        for (const std::string& line : take())
            if (line.compare(0, 6, "sound ") == 0)
                started += line.substr(line.find('_', 8) + 1, line.size() - line.find('_', 8) - 7) + " ";
        return started;
    }
};
}

#endif
