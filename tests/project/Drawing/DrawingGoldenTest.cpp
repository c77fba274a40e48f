// Pictures drawn through the canvas against reviewed ones in tests/data/drawing/.
#include "DrawingTestSupport.h"

#include "Resources/Drawing/Eraser.h"
#include "Resources/Drawing/Fill.h"
#include "Resources/Drawing/Filter.h"
#include "Resources/Drawing/Shape.h"
#include "Resources/Drawing/Stamp.h"

using namespace DrawingTest;

namespace
{
typedef std::vector<std::pair<int, int>> Path;

const Path wave = {{20, 40},  {35, 52},  {60, 70},  {90, 75},  {120, 60},
                   {150, 40}, {175, 35}, {200, 50}, {230, 80}, {250, 95}};
const Path loop = {{40, 120}, {80, 100}, {120, 110}, {140, 150}, {110, 190}, {70, 180}, {60, 150}, {90, 140}};

// A stroke as the studio makes it, with the tool given or a striped brush.
void stroke(const CanvasPtr& canvas, Filter& filter, const Path& path, int size, const Colour& colour,
            ToolPtr tool = ToolPtr())
{
    if (!tool)
        tool.reset(new Brush(makeDiscMask(size), makeStripePattern(64, 64)));
    tool->setForegroundColor(colour);
    filter.begin(path[0].first, path[0].second);
    for (const auto& p : path)
        filter.useTool(canvas, tool, p.first, p.second);
}

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
ToolPtr ringStamp(int size)
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
    return ToolPtr(new Stamp(image));
}

// The picture every effect golden starts from.
CanvasPtr samplePicture()
{
    TexturePtr bands(new Texture(320, 240, PixelFormat::RGBA5551, false));
    for (int i = 0; i < 320 * 240; ++i)
    {
        const int x = i % 320, y = i / 320;
        bands->setPixel(Colour(255 - y, 120 + x / 4, (x * 3 + y) % 256, 255), x, y);
    }
    CanvasPtr canvas(new Canvas(bands, 128));
    Filter filter(320, 240);
    stroke(canvas, filter, {{20, 200}, {80, 150}, {150, 190}, {300, 120}}, 16, Colour(20, 20, 20, 255));
    dragShape(canvas, ShapeType::Rectangle, 30, 20, 130, 100, Colour(0, 0, 0, 255));
    dragShape(canvas, ShapeType::Circle, 170, 30, 290, 110, Colour(255, 255, 255, 255));
    ToolPtr fill(new Fill(makeStripePattern(9, 9, false)));
    fill->setForegroundColor(Colour(200, 0, 60, 255));
    canvas->useToolAt(fill, tFixed(80), tFixed(60));
    canvas->useToolAt(ringStamp(48), tFixed(230), tFixed(70));
    return canvas;
}
}

TEST(StrokeGoldenTest, SizesMirrorsErasersZoomAndUndo)
{
    const Colour red(200, 30, 30, 255), blue(30, 120, 200, 255), green(20, 160, 40, 255);
    CanvasPtr canvas(new Canvas(640, 480, false, 128));
    Filter filter(640, 480);
    Path path = wave;
    for (int size = 0; size < 3; ++size)
    {
        stroke(canvas, filter, path, 8 << size, std::vector<Colour>{red, blue, green}[size]);
        for (auto& p : path)
            p.second += size == 0 ? 60 : 70;
    }
    expectGolden(canvas->getLayer()->getTexture(), "strokes_sizes");
    for (int mode = 0; mode < 4; ++mode)
    {
        canvas.reset(new Canvas(640, 480, false, 128));
        filter.setSymmetryType(static_cast<SymmetryType::Type>(mode));
        stroke(canvas, filter, wave, 16, Colour(120, 40, 180, 255));
        stroke(canvas, filter, loop, 8, Colour(240, 140, 20, 255));
        expectGolden(canvas->getLayer()->getTexture(), "strokes_mirror_" + std::to_string(mode));
    }
    for (bool transparent : {false, true})
    {
        const int w = transparent ? 320 : 640, h = transparent ? 240 : 480;
        canvas.reset(new Canvas(w, h, transparent, 128));
        Filter plain(w, h);
        stroke(canvas, plain, wave, 32, Colour(0, 0, 0, 255));
        stroke(canvas, plain, loop, 16, Colour(250, 200, 0, 255));
        boost::shared_ptr<Eraser> eraser(new Eraser(makeDiscMask(16), makeStripePattern(64, 64, false)));
        eraser->setTransparency(transparent);
        stroke(canvas, plain, {{30, 20}, {60, 120}, {100, 160}, {180, 30}}, 0, Colour(255, 0, 0, 255), eraser);
        expectGolden(canvas->getLayer()->getTexture(), transparent ? "eraser_transparent" : "eraser_white");
    }
    canvas.reset(new Canvas(640, 480, false, 128));
    filter.setSymmetryType(SymmetryType::None);
    canvas->useToolAt(ToolPtr(new Zoom(ZoomToolState::ZoomIn)), tFixed(400), tFixed(300));
    canvas->useToolAt(ToolPtr(new Zoom(ZoomToolState::ZoomIn)), tFixed(400), tFixed(300));
    ASSERT_EQ(canvas->getZoom(), tFixed(2));
    stroke(canvas, filter, wave, 8, red);
    stroke(canvas, filter, loop, 16, blue);
    canvas->useTool(ToolPtr(new Zoom(ZoomToolState::ZoomOut)), 160, 120);
    canvas->useTool(ToolPtr(new Zoom(ZoomToolState::ZoomOut)), 160, 120);
    stroke(canvas, filter, loop, 16, green);
    expectGolden(canvas->getLayer()->getTexture(), "strokes_zoomed");
    canvas.reset(new Canvas(640, 480, false, 128));
    canvas->pushUndo();
    stroke(canvas, filter, wave, 16, blue);
    const auto afterFirst = pixels16(*canvas->getLayer());
    canvas->pushUndo();
    stroke(canvas, filter, loop, 32, red);
    const auto afterSecond = pixels16(*canvas->getLayer());
    canvas->undo();
    EXPECT_EQ(pixels16(*canvas->getLayer()), afterFirst);
    expectGolden(canvas->getLayer()->getTexture(), "strokes_undo");
    canvas->redo();
    EXPECT_EQ(pixels16(*canvas->getLayer()), afterSecond);
}

// A star dragged up and to the left, and one partly off the picture.
TEST(PictureGoldenTest, ShapesStampsFillsAndEveryEffect)
{
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    dragShape(canvas, ShapeType::Line, 10, 10, 150, 60, Colour(200, 30, 30, 255));
    dragShape(canvas, ShapeType::Rectangle, 170, 10, 300, 90, Colour(30, 120, 200, 255));
    dragShape(canvas, ShapeType::Circle, 10, 80, 150, 220, Colour(20, 160, 40, 255));
    dragShape(canvas, ShapeType::Triangle, 160, 110, 310, 230, Colour(120, 40, 180, 255));
    dragShape(canvas, ShapeType::Star, 120, 235, 40, 150, Colour(240, 140, 20, 255));
    dragShape(canvas, ShapeType::Star, 280, 200, 350, 280, Colour(0, 0, 0, 255));
    expectGolden(canvas->getLayer()->getTexture(), "shapes");
    canvas.reset(new Canvas(320, 240, false, 128));
    dragShape(canvas, ShapeType::Circle, 20, 20, 140, 120, Colour(0, 0, 0, 255));
    ToolPtr fill(new Fill(makeStripePattern(7, 5))), stamp = ringStamp(40);
    fill->setForegroundColor(Colour(30, 120, 200, 255));
    for (const auto& at : {std::make_pair(80, 70), std::make_pair(250, 200)})
        canvas->useToolAt(fill, tFixed(at.first), tFixed(at.second));
    for (const auto& at : {std::make_pair(80, 70), std::make_pair(200, 60), std::make_pair(5, 235)})
        canvas->useToolAt(stamp, tFixed(at.first), tFixed(at.second));
    canvas->useToolAt(ringStamp(64), tFixed(300), tFixed(150));
    expectGolden(canvas->getLayer()->getTexture(), "stamps_fills");

    if (titleFolder().empty())
        GTEST_SKIP() << "no title folder";
    for (int n = 0; n < 4; ++n)
    {
        const int w = 24 + 8 * n, h = 20 + 4 * n;
        TexturePtr image(new Texture(w, h, PixelFormat::RGB888, true, 0));
        for (int i = 0; i < w * h; ++i)
        {
            const int x = i % w, y = i / w;
            const int v = n == 0   ? (((x / 4 + y / 4) % 2) ? 150 + (x % 4) * 20 : 210 - (y % 4) * 15)
                          : n == 1 ? ((y % 10 == 0 || (x + (y / 10) * 8) % 16 == 0) ? 90 : 230)
                          : n == 2 ? 200 + (x * 7 + y * 13) % 50
                                   : 160 + ((x * 3 + y) % 12) * 8;
            image->setPixel(Colour(v, v * 9 / 10, v * 7 / 10, 255), x, y);
        }
        writeImage("studio/textures/tex_0" + std::to_string(n) + ".png", image);
    }
    expectGolden(samplePicture()->getLayer()->getTexture(), "effect_source");
    for (const auto& c : everyEffect())
    {
        canvas = samplePicture();
        std::srand(3);
        output([&] { canvas->useEffect(c.second); });
        expectGolden(canvas->getLayer()->getTexture(), "effect_" + c.first);
    }
}
