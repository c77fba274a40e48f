// Brushes, erasers, stamps and shapes on the canvas.
#include "DrawingTestSupport.h"

#include "Resources/Drawing/Eraser.h"
#include "Resources/Drawing/Shape.h"
#include "Resources/Drawing/Stamp.h"
#include "Tovrane/VertexBuffer.h"

#include <cmath>

using namespace DrawingTest;

namespace
{
// A w x h stamp: index 0 around the edge, 1 (red) and 2 (green) inside.
TexturePtr stampImage(int w, int h)
{
    TexturePtr image(new Texture(w, h, PixelFormat::Palette8, true, 0));
    image->setPaletteEntry(Red, 1);
    image->setPaletteEntry(Colour(0, 248, 0, 255), 2);
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x)
            image->setPixel((x + y) % 2 + 1, x, y);
    return image;
}

// The outline of a shape dragged through the points, as "(x, y)" texts with two decimals.
typedef std::vector<std::string> Texts;
Texts dragged(ShapeType::Type type, std::vector<int> xys)
{
    Shape shape(type);
    for (size_t i = 0; i + 1 < xys.size(); i += 2)
        shape.update(tFixed(xys[i]), tFixed(xys[i + 1]));
    Texts out;
    const tFixed* p = shape.getOutline()->vertexBuffer->getPositions();
    char text[40];
    for (int i = 0; i < shape.getOutline()->vertexBuffer->getVertexCount(); ++i)
    {
        std::snprintf(text, sizeof text, "(%.2f, %.2f)", p[3 * i].toFloat() + 0.0, p[3 * i + 1].toFloat() + 0.0);
        out.push_back(text);
    }
    return out;
}
}

// The rule: the image centred on the touched pixel; a brush paints its
// pattern (read from the dab's corner modulo 32) where its mask is full, or
// all of it without a mask; a stamp its nonzero indices in its own colours.
TEST(ToolTest, DabsFollowThePlainRule)
{
    std::mt19937 random(9);
    for (int n = 0; n < 180; ++n)
    {
        CanvasPtr canvas(new Canvas(300, 200, false, std::vector<int>{16, 32, 128}[n % 3]));
        std::vector<std::uint16_t> expected = pixels16(*canvas->getLayer());
        CountingRenderer renderer;
        const int kind = n / 3 % 3, size = std::vector<int>{8, 16, 32, 13}[random() % 4];
        const int w = std::vector<int>{size + n % 7, 5, 64}[random() % 3], h = 40 + random() % 25;
        TexturePtr mask = random() % 2 ? makeDiscMask(size) : makeFullMask(size);
        ToolPtr tool(kind == 2 ? static_cast<Tool*>(new Stamp(stampImage(size + random() % 9, size)))
                               : new Brush(kind ? TexturePtr() : mask, makeStripePattern(w, h)));
        BrushPtr brush = boost::dynamic_pointer_cast<Brush>(tool);
        TexturePtr image = brush ? brush->getPattern() : boost::dynamic_pointer_cast<Stamp>(tool)->getImage();
        mask = kind == 0 ? brush->getMask() : (kind == 2 ? boost::dynamic_pointer_cast<Stamp>(tool)->getMask() : mask);
        for (int dab = 0; dab < 6; ++dab)
        {
            // Changes through the textures' own operations and through their bytes.
            if (dab == 1)
                image->setPixel(static_cast<int>(random() % 3), 0, 0);
            if (dab == 2)
                image->setPaletteEntry(Colour(static_cast<unsigned char>(random()), 40, 200, 255), random() % 3);
            if (dab == 3)
                image->getPixels()[random() % (image->getWidth() * image->getHeight())] = 2;
            if (dab == 4 && kind == 0)
                mask->getPixels()[4 * (random() % (size * size)) + 3] ^= 0xFF;
            if (dab == 5 && kind == 0)
                mask->setPixel(random() % 2 ? Clear : Black, 0, 0);
            if (random() % 3 == 0)
                renderer.frame(canvas);
            const int x = static_cast<int>(random() % 340) - 20, y = static_cast<int>(random() % 240) - 20;
            canvas->useToolAt(tool, tFixed(x), tFixed(y));
            const int pw = image->getWidth(), ph = image->getHeight(), dw = kind == 1 ? pw : mask->getWidth();
            const int left = x - dw / 2, top = y - dw / 2, dh = kind == 1 ? ph : mask->getHeight();
            for (int j = 0; j < dh; ++j)
                for (int i = 0; i < dw; ++i)
                {
                    const int sx = kind ? i : ((left % 32 + i) % pw + pw) % pw;
                    const int sy = kind ? j : ((top % 32 + j) % ph + ph) % ph;
                    if ((kind == 1 || mask->getPixel(i, j).a == 255) && left + i >= 0 && top + j >= 0 &&
                        left + i < 300 && top + j < 200)
                        expected[(top + j) * 300 + left + i] = patternWord(image, sx, sy);
                }
            ASSERT_TRUE(pixels16(*canvas->getLayer()) == expected) << n << " " << dab << ": " << x << "," << y;
        }
    }
    // Without an image a brush or stamp paints nothing, nor does a mask over
    // a picture without palette.
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    const std::vector<std::uint16_t> blank = pixels16(*canvas->getLayer());
    canvas->useToolAt(ToolPtr(new Brush()), tFixed(50), tFixed(50));
    canvas->useToolAt(ToolPtr(new Stamp()), tFixed(50), tFixed(50));
    canvas->getLayer()->blit(randomPicture(16, 16, PixelFormat::RGBA8888, 1), makeFullMask(16), 10, 10, 0, 0);
    EXPECT_EQ(blank, pixels16(*canvas->getLayer()));
}

TEST(ToolTest, ColoursOfBrushesErasersAndStamps)
{
    const Colour Dark(200, 10, 10, 255), Green(10, 200, 10, 255), Grey(1, 2, 3, 255);
    TexturePtr shared = makeSolidPattern(64, 64), rgba(new Texture(8, 8, PixelFormat::RGBA8888, true, 0));
    Brush first(makeFullMask(8), shared), second(makeFullMask(8), shared), plain(TexturePtr(), rgba);
    first.setForegroundColor(Dark);
    second.setForegroundColor(Green);
    first.setBackgroundColor(Grey);
    plain.setForegroundColor(Dark);
    plain.setBackgroundColor(Dark);
    EXPECT_EQ((std::vector<Colour>{Dark, Grey, Green, Colour(255, 255, 255, 255), Black, Dark, Clear}),
              (std::vector<Colour>{first.getPattern()->getPaletteEntry(0), first.getPattern()->getPaletteEntry(1),
                                   second.getPattern()->getPaletteEntry(0), second.getPattern()->getPaletteEntry(1),
                                   shared->getPaletteEntry(0), plain.getForegroundColor(), rgba->getPixel(0, 0)}));
    EXPECT_EQ(plain.getPattern(), rgba);

    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    canvas->useToolAt(ToolPtr(new Brush(makeFullMask(16), makeSolidPattern(64, 64))), tFixed(50), tFixed(50));
    boost::shared_ptr<Eraser> eraser(new Eraser(makeFullMask(8), makeStripePattern(64, 64, false)));
    eraser->setForegroundColor(Dark);
    canvas->useToolAt(eraser, tFixed(50), tFixed(50));
    for (int i = 0; i < 400; ++i)
    {
        const int x = 40 + i % 20, y = 40 + i / 20;
        const bool dab = x >= 42 && x < 58 && y >= 42 && y < 58, erased = x >= 46 && x < 54 && y >= 46 && y < 54;
        ASSERT_EQ(canvas->getLayer()->getPixel(x, y), dab && !erased ? Black : White) << x << "," << y;
    }
    eraser->setTransparency(true);
    eraser->setForegroundColor(Dark);
    canvas->useToolAt(eraser, tFixed(60), tFixed(50));
    EXPECT_TRUE(canvas->getLayer()->getPixel(60, 50) == Clear && eraser->getForegroundColor() == Eraser::clear);
    eraser->setTransparency(false);
    EXPECT_EQ(eraser->getBackgroundColor(), Eraser::white);

    ToolPtr stamp(new Stamp(stampImage(16, 16)));
    stamp->setForegroundColor(Blue);
    EXPECT_FALSE(stamp->getRepeatWhileDragged());
    canvas->useToolAt(stamp, tFixed(150), tFixed(50));
    EXPECT_TRUE(canvas->getLayer()->getPixel(143, 43) == Red &&
                canvas->getLayer()->getPixel(144, 43) == Colour(0, 248, 0, 255));
    Stamp replaced(stampImage(16, 16));
    replaced.setStampTexture(stampImage(8, 4));
    EXPECT_EQ(std::make_pair(replaced.getMask()->getWidth(), replaced.getMask()->getHeight()), std::make_pair(8, 4));
}

// Unknown types make triangles; the ellipse's y runs downwards.
TEST(ShapeTest, OutlinesAreDrawnWhenTheFingerLifts)
{
    EXPECT_EQ(dragged(ShapeType::Line, {1, 2, 3, 4}), (Texts{"(1.00, 2.00)", "(3.00, 4.00)"}));
    EXPECT_EQ(dragged(ShapeType::Rectangle, {10, 20, 50, 80}),
              (Texts{"(10.00, 20.00)", "(50.00, 20.00)", "(50.00, 20.00)", "(50.00, 80.00)", "(50.00, 80.00)",
                     "(10.00, 80.00)", "(10.00, 80.00)", "(10.00, 20.00)"}));
    EXPECT_EQ(dragged(ShapeType::Triangle, {100, 100, 200, 300}),
              (Texts{"(150.00, 100.00)", "(100.00, 300.00)", "(100.00, 300.00)", "(200.00, 300.00)", "(200.00, 300.00)",
                     "(150.00, 100.00)"}));
    const Texts down = dragged(ShapeType::Triangle, {200, 300, 100, 100});
    EXPECT_EQ((Texts{down[0], down[1], down[3]}), (Texts{"(150.00, 300.00)", "(200.00, 100.00)", "(100.00, 100.00)"}));
    EXPECT_EQ(dragged(static_cast<ShapeType::Type>(9), {0, 0, 10, 10}).size(), 6u);
    const Texts ellipse = dragged(ShapeType::Circle, {0, 0, 100, 50}),
                star = dragged(ShapeType::Star, {0, 0, 100, 100});
    ASSERT_TRUE(ellipse.size() == 720u && star.size() == 20u);
    for (int i = 2; i < 720; i += 2) // P(0)-P(1), P(1)-P(2), ...: vertex 2k repeats vertex 2k - 1
        EXPECT_TRUE(ellipse[i] == ellipse[i - 1] && (i > 19 || star[i - 1] == star[i])) << i;
    char last[40];
    std::snprintf(last, sizeof last, "(%.2f, %.2f)", 50 + 50 * std::cos(718 * M_PI / 180),
                  25 - 25 * std::sin(718 * M_PI / 180));
    EXPECT_EQ((Texts{ellipse[0], ellipse[91], ellipse[181], ellipse[361], ellipse[719]}),
              (Texts{"(100.00, 25.00)", "(50.00, 0.00)", "(0.00, 25.00)", "(100.00, 25.00)", last}));
    EXPECT_EQ(dragged(ShapeType::Circle, {100, 50, 0, 0})[0], "(0.00, 25.00)");
    EXPECT_EQ((Texts{star[0], star[1], star[3], star[7], star[9], star[11], star[15], star[19]}),
              (Texts{"(50.00, 0.00)", "(38.19, 38.19)", "(0.00, 38.19)", "(19.01, 100.00)", "(50.00, 76.39)",
                     "(80.99, 100.00)", "(100.00, 38.19)", "(50.00, 0.00)"}));
    for (ShapeType::Type type : {ShapeType::Rectangle, ShapeType::Circle, ShapeType::Star})
        for (const std::string& vertex : dragged(type, {30, 40}))
            ASSERT_EQ(vertex, "(30.00, 40.00)") << type;
    // Lifting anywhere draws the last outline; a shape never coloured draws black.
    ShapePtr tool(new Shape(ShapeType::Rectangle));
    EXPECT_TRUE(tool->getRepeatWhileDragged());
    tool->setForegroundColor(Colour(0, 128, 255, 255));
    tool->update(tFixed(10), tFixed(10));
    tool->update(tFixed(60), tFixed(40));
    EXPECT_EQ(tool->getOutline()->vertexBuffer->getColors()[4 * 7 + 1].getRaw(), 32896);
    CanvasPtr canvas(new Canvas(320, 240, false, 128));
    canvas->useTool(tool, 300, 200);
    EXPECT_FALSE(tool->getOutline());
    EXPECT_EQ(canvas->getLayer()->getPixel(30, 10), Colour(0, 128, 248, 255));
    EXPECT_EQ(canvas->getLayer()->getPixel(300, 200), White);
    tool->update(tFixed(100), tFixed(100));
    EXPECT_EQ(tool->getStartPoint(), point(100, 100));
    const std::vector<std::uint16_t> before = pixels16(*canvas->getLayer());
    Shape(ShapeType::Star).use(canvas.get(), 0, 0);
    EXPECT_EQ(pixels16(*canvas->getLayer()), before);
    ShapePtr line(new Shape(ShapeType::Line));
    line->update(tFixed(200), tFixed(150));
    line->update(tFixed(250), tFixed(150));
    canvas->useToolAt(line, tFixed(0), tFixed(0));
    EXPECT_TRUE(canvas->getLayer()->getPixel(220, 148) == Black && canvas->getLayer()->getPixel(220, 152) == White);
}
