// Shapes, stamps, fills and the ten effects drawn through the canvas and
// compared pixel for pixel with reviewed pictures in tests/data/drawing/.
#include "DrawingTestSupport.h"

#include "Resources/BlurEffect.h"
#include "Resources/Brush.h"
#include "Resources/Canvas.h"
#include "Resources/EightbitEffect.h"
#include "Resources/Fill.h"
#include "Resources/Filter.h"
#include "Resources/GrayscaleEffect.h"
#include "Resources/GridShuffleEffect.h"
#include "Resources/HFlipEffect.h"
#include "Resources/HSLEffect.h"
#include "Resources/InvertEffect.h"
#include "Resources/RGBRotateEffect.h"
#include "Resources/Shape.h"
#include "Resources/Stamp.h"
#include "Resources/TexturizeEffect.h"
#include "Resources/VFlipEffect.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
// A shape dragged from one picture point to another and drawn at the touch-up.
void dragShape(const CanvasPtr& canvas, ShapeType::Type type, int x0, int y0, int x1, int y1, const Colour& colour)
{
    ShapePtr shape(new Shape(type));
    shape->setForegroundColor(colour);
    shape->update(tFixed(x0), tFixed(y0));
    shape->update(tFixed((x0 + x1) / 2), tFixed(y1));
    shape->update(tFixed(x1), tFixed(y1));
    canvas->useToolAt(shape, tFixed(x1), tFixed(y1));
}

// A stamp image: a ring of index 1 around a cross of index 2 on background 0.
TexturePtr ringStamp(int size)
{
    TexturePtr image(new Texture(size, size, PixelFormat::Palette8, true, 0));
    image->setPaletteEntry(Colour(30, 30, 160, 255), 1);
    image->setPaletteEntry(Colour(250, 200, 0, 255), 2);
    const float r = size / 2.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const float dx = x + 0.5f - r, dy = y + 0.5f - r, d2 = dx * dx + dy * dy;
            if (d2 < r * r && d2 > r * r * 0.6f)
                image->setPixel(1, x, y);
            else if (std::abs(x - size / 2) < 2 || std::abs(y - size / 2) < 2)
                image->setPixel(d2 < r * r ? 2 : 0, x, y);
        }
    return image;
}

// The picture every effect golden starts from: soft colour bands, strokes,
// shapes, a filled area and a stamp on a 320 x 240 frame.
CanvasPtr samplePicture()
{
    TexturePtr bands(new Texture(320, 240, PixelFormat::RGBA5551, false));
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            bands->setPixel(Colour(static_cast<unsigned char>(255 - y), static_cast<unsigned char>(120 + x / 4),
                                   static_cast<unsigned char>((x * 3 + y) % 256), 255),
                            x, y);
    CanvasPtr canvas(new Canvas(bands, 128));
    Filter filter(320, 240);
    ToolPtr brush(new Brush(makeDiscMask(16), makeStripePattern(64, 64)));
    brush->setForegroundColor(Colour(20, 20, 20, 255));
    filter.begin(20, 200);
    for (auto p : {std::make_pair(20, 200), std::make_pair(80, 150), std::make_pair(150, 190), std::make_pair(300, 120)})
        filter.useTool(canvas, brush, p.first, p.second);
    dragShape(canvas, ShapeType::Rectangle, 30, 20, 130, 100, Colour(0, 0, 0, 255));
    dragShape(canvas, ShapeType::Circle, 170, 30, 290, 110, Colour(255, 255, 255, 255));
    ToolPtr fill(new Fill(makeStripePattern(9, 9, false)));
    fill->setForegroundColor(Colour(200, 0, 60, 255));
    canvas->useToolAt(fill, tFixed(80), tFixed(60));
    canvas->useToolAt(ToolPtr(new Stamp(ringStamp(48))), tFixed(230), tFixed(70));
    return canvas;
}

// Texture images for the overlay effect, made here: wicker, brick, parchment, brush strokes.
void writeOverlayTextures()
{
    for (int n = 0; n < 4; ++n)
    {
        const int w = 24 + 8 * n, h = 20 + 4 * n;
        TexturePtr image(new Texture(w, h, PixelFormat::RGB888, true, 0));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                int v = 255;
                switch (n)
                {
                case 0: v = ((x / 4 + y / 4) % 2) ? 150 + (x % 4) * 20 : 210 - (y % 4) * 15; break;
                case 1: v = (y % 10 == 0 || (x + (y / 10) * 8) % 16 == 0) ? 90 : 230; break;
                case 2: v = 200 + (x * 7 + y * 13) % 50; break;
                default: v = 160 + ((x * 3 + y) % 12) * 8; break;
                }
                image->setPixel(Colour(static_cast<unsigned char>(v), static_cast<unsigned char>(v * 9 / 10),
                                       static_cast<unsigned char>(v * 7 / 10), 255),
                                x, y);
            }
        writeImage("studio/textures/tex_0" + std::to_string(n) + ".png", image);
    }
}
}

TEST(PictureGoldenTest, AllFiveShapes)
{
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    dragShape(canvas, ShapeType::Line, 10, 10, 150, 60, Colour(200, 30, 30, 255));
    dragShape(canvas, ShapeType::Rectangle, 170, 10, 300, 90, Colour(30, 120, 200, 255));
    dragShape(canvas, ShapeType::Circle, 10, 80, 150, 220, Colour(20, 160, 40, 255));
    dragShape(canvas, ShapeType::Triangle, 160, 110, 310, 230, Colour(120, 40, 180, 255));
    // A star dragged up and to the left, partly off the picture.
    dragShape(canvas, ShapeType::Star, 120, 235, 40, 150, Colour(240, 140, 20, 255));
    dragShape(canvas, ShapeType::Star, 280, 200, 350, 280, Colour(0, 0, 0, 255));
    expectGolden(canvas->getLayer()->getTexture(), "shapes");
}

TEST(PictureGoldenTest, StampsAndFills)
{
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    dragShape(canvas, ShapeType::Circle, 20, 20, 140, 120, Colour(0, 0, 0, 255));
    ToolPtr fill(new Fill(makeStripePattern(7, 5)));
    fill->setForegroundColor(Colour(30, 120, 200, 255));
    canvas->useToolAt(fill, tFixed(80), tFixed(70));
    canvas->useToolAt(fill, tFixed(250), tFixed(200));
    ToolPtr stamp(new Stamp(ringStamp(40)));
    canvas->useToolAt(stamp, tFixed(80), tFixed(70));
    canvas->useToolAt(stamp, tFixed(200), tFixed(60));
    canvas->useToolAt(stamp, tFixed(5), tFixed(235));
    canvas->useToolAt(ToolPtr(new Stamp(ringStamp(64))), tFixed(300), tFixed(150));
    expectGolden(canvas->getLayer()->getTexture(), "stamps_fills");
}

TEST(PictureGoldenTest, EveryEffect)
{
    if (titleFolder().empty())
        GTEST_SKIP() << "no title folder";
    writeOverlayTextures();
    expectGolden(samplePicture()->getLayer()->getTexture(), "effect_source");
    struct Case
    {
        const char* name;
        Effect* effect;
    };
    const Case cases[] = {{"effect_invert", new InvertEffect},
                          {"effect_rgb_rotate", new RGBRotateEffect},
                          {"effect_grayscale", new GrayscaleEffect},
                          {"effect_blur", new BlurEffect},
                          {"effect_eightbit", new EightbitEffect},
                          {"effect_hflip", new HFlipEffect},
                          {"effect_vflip", new VFlipEffect},
                          {"effect_grid_shuffle", new GridShuffleEffect},
                          {"effect_saturate", new HSLEffect(HSLSpaceEffect::Saturate)},
                          {"effect_desaturate", new HSLEffect(HSLSpaceEffect::Desaturate)},
                          {"effect_hue_up", new HSLEffect(HSLSpaceEffect::HueUp)},
                          {"effect_hue_down", new HSLEffect(HSLSpaceEffect::HueDown)},
                          {"effect_wicker", new TexturizeEffect(TextureEffect::Wicker)},
                          {"effect_brick", new TexturizeEffect(TextureEffect::Brick)},
                          {"effect_parchment", new TexturizeEffect(TextureEffect::Parchment)},
                          {"effect_brush_strokes", new TexturizeEffect(TextureEffect::BrushStrokes)}};
    for (const Case& c : cases)
    {
        EffectPtr effect(c.effect);
        CanvasPtr canvas = samplePicture();
        std::srand(3);
        testing::internal::CaptureStdout();
        canvas->useEffect(effect);
        testing::internal::GetCapturedStdout();
        expectGolden(canvas->getLayer()->getTexture(), c.name);
    }
}
