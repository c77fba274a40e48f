#include "DrawingTestSupport.h"

#include "Resources/Drawing/Eraser.h"
#include "Resources/Drawing/Fill.h"
#include "Resources/Drawing/Shape.h"
#include "Resources/Drawing/Stamp.h"
#include "Resources/Drawing/ToolManager.h"

#include <tuple>

using namespace DrawingTest;

namespace
{
const char* const Stems[] = {"pencil", "brush", "chalk", "marker", "crayon", "airbrush", "eraser"};
const ToolType::Type Painting[] = {ToolType::Pencil, ToolType::Brush,    ToolType::Chalk, ToolType::Marker,
                                   ToolType::Crayon, ToolType::Airbrush, ToolType::Eraser};

std::string maskName(int stem, int size)
{
    return std::string("studio/brushes/") + Stems[stem] + "_" + std::to_string(8 << size) + ".png";
}

std::string stampName(int n)
{
    return "studio/stamps/stamp_" + std::string(n < 10 ? "0" : "") + std::to_string(n) + ".png";
}

// Every picture a test may ask for is marked with its own number, so that the
// picture a tool holds tells which file was read: masks in their first pixel's
// red (1 + 3 x stem + size), patterns in palette entry 255, stamps in palette entry 200.
class ToolManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (titleFolder().empty())
            GTEST_SKIP() << "no title folder";
        std::filesystem::remove_all(titleFolder() + "images/studio");
        for (int mask = 0; mask < 21; ++mask)
        {
            TexturePtr picture = makeFullMask(8 << mask % 3);
            picture->setPixel(Colour(1 + mask, 0, 0, 255), 0, 0);
            writeImage(maskName(mask / 3, mask % 3), picture);
        }
        for (int n : {0, 3, 5, 12, 100})
        {
            TexturePtr picture = makeStripePattern(16, 16);
            picture->setPaletteEntry(Colour(n, 1, 2, 255), 255);
            writeImage(ToolManager::getPatternName(n), picture);
        }
        for (int n : {0, 7})
        {
            TexturePtr picture(new Texture(12, 10, PixelFormat::Palette8, true, 0));
            picture->setPaletteEntry(Colour(n, 1, 2, 255), 200);
            picture->setPixel(1, 5, 5);
            writeImage(stampName(n), picture);
        }
    }
    void TearDown() override { std::filesystem::remove_all(titleFolder() + "images/studio"); }

    template <class T> static boost::shared_ptr<T> as(const ToolPtr& tool)
    {
        return boost::dynamic_pointer_cast<T>(tool);
    }
    static int maskOf(const ToolPtr& tool)
    {
        return as<Brush>(tool)->getMask() ? as<Brush>(tool)->getMask()->getPixel(0, 0).r : -1;
    }
    static int patternOf(const ToolPtr& tool) { return as<Brush>(tool)->getPattern()->getPaletteEntry(255).r; }

    const bool titleReady = !titleFolder().empty();
    ToolManager manager;
};
}

// Any other kind is an ordinary brush; the eraser paints with pattern 0.
TEST_F(ToolManagerTest, EveryKindAndSizeReadsItsOwnFiles)
{
    EXPECT_EQ(ToolManager::getBrushName(ToolType::Fill, ToolSize::Large), "studio/brushes/brush_32.png");
    EXPECT_EQ(ToolManager::getBrushName(static_cast<ToolType::Type>(16), ToolSize::Small),
              "studio/brushes/brush_8.png");
    EXPECT_EQ(ToolManager::getBrushName(ToolType::Marker, static_cast<ToolSize::Type>(3)), "studio/brushes/marker");
    EXPECT_EQ(ToolManager::getPatternName(3), "studio/patterns/pattern_03.png");
    EXPECT_EQ(ToolManager::getPatternName(100), "studio/patterns/pattern_100.png");
    EXPECT_EQ(ToolManager::getStampPath(7), titleFolder() + "images/" + stampName(7));
    for (int mask = 0; mask < 21; ++mask)
    {
        const ToolType::Type type = Painting[mask / 3];
        const ToolSize::Type size = static_cast<ToolSize::Type>(mask % 3);
        EXPECT_EQ(ToolManager::getBrushName(type, size), maskName(mask / 3, mask % 3));
        ToolPtr tool = manager.getTool(type, size, 3);
        ASSERT_TRUE(tool) << mask;
        EXPECT_TRUE(maskOf(tool) == 1 + mask && patternOf(tool) == (type == ToolType::Eraser ? 0 : 3)) << mask;
        EXPECT_EQ(tool->getType().isDerived(Eraser::RuntimeType), type == ToolType::Eraser);
        EXPECT_TRUE(tool->getRepeatWhileDragged());
    }
    ToolPtr other = manager.getTool(static_cast<ToolType::Type>(16), ToolSize::Small, 0);
    EXPECT_TRUE(other && other->getType().getName() == "Tovrane.Brush" && maskOf(other) == 4);
    ToolPtr a = manager.getTool(ToolType::Chalk, ToolSize::Medium, 12),
            b = manager.getTool(ToolType::Chalk, ToolSize::Medium, 12);
    EXPECT_EQ(as<Brush>(a)->getMask(), as<Brush>(b)->getMask());
    EXPECT_EQ(manager.getBrushTexture(ToolType::Brush, ToolSize::Large),
              manager.getBrushTexture(ToolType::Fill, ToolSize::Large));
    EXPECT_EQ(manager.getPatternTexture(12), manager.getPatternTexture(12));
    // Setting a brush's colours never changes the shared pattern, nor an eraser's.
    a->setForegroundColor(Colour(200, 10, 10, 255));
    EXPECT_EQ(manager.getPatternTexture(12)->getPaletteEntry(0), Black);
    boost::shared_ptr<Eraser> eraser = as<Eraser>(manager.getTool(ToolType::Eraser, ToolSize::Small, 0));
    eraser->setTransparency(true);
    manager.getTool(ToolType::Pencil, ToolSize::Small, 0)->setForegroundColor(Colour(1, 2, 3, 255));
    EXPECT_EQ(eraser->getPattern()->getPaletteEntry(0), Clear);
    FillPtr fill = as<Fill>(manager.getTool(ToolType::Fill, ToolSize::Large, 5));
    EXPECT_TRUE(fill && fill->getPattern()->getPaletteEntry(255).r == 5 && !fill->getRepeatWhileDragged());
    std::filesystem::remove_all(titleFolder() + "images/studio");
    for (ToolType::Type type : {ToolType::ZoomIn, ToolType::ZoomOut})
    {
        ZoomPtr zoom = as<Zoom>(manager.getTool(type, ToolSize::Small, 0));
        EXPECT_TRUE(zoom && !zoom->getRepeatWhileDragged());
        EXPECT_EQ(zoom->getState(), type == ToolType::ZoomIn ? ZoomToolState::ZoomIn : ZoomToolState::ZoomOut);
    }
    for (int type = ToolType::Line; type <= ToolType::Star; ++type)
    {
        ShapePtr shape = as<Shape>(manager.getTool(static_cast<ToolType::Type>(type), ToolSize::Small, 0));
        EXPECT_TRUE(shape && shape->getShapeType() == type - ToolType::Line) << type;
    }
}

// The stamp kind in the tool picker is a brush carrying the first stamp.
TEST_F(ToolManagerTest, StampsGetFreshImagesAndMasksAndPatternsAreReadOnce)
{
    StampPtr first = manager.getStamp(7), second = manager.getStamp(7);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first->getImage(), second->getImage());
    EXPECT_TRUE(first->getImage()->getPaletteEntry(200).r == 7 && !first->getRepeatWhileDragged());
    EXPECT_TRUE(first->getMask()->getPixel(5, 5).a == 255 && first->getMask()->getPixel(0, 0).a == 0);
    BrushPtr stampBrush = as<Brush>(manager.getTool(ToolType::Stamp, ToolSize::Small, 3));
    ASSERT_TRUE(stampBrush);
    EXPECT_TRUE(!stampBrush->getMask() && !stampBrush->getRepeatWhileDragged());
    EXPECT_EQ(stampBrush->getPattern()->getPaletteEntry(200).r, 0);
    manager.getTool(ToolType::Brush, ToolSize::Small, 3);
    manager.getTool(ToolType::Eraser, ToolSize::Small, 3);
    std::filesystem::remove_all(titleFolder() + "images/studio");
    ToolPtr brush = manager.getTool(ToolType::Brush, ToolSize::Small, 3);
    ASSERT_TRUE(brush && manager.getTool(ToolType::Eraser, ToolSize::Small, 3));
    EXPECT_TRUE(patternOf(brush) == 3 && maskOf(brush) == 4);
    EXPECT_NE(as<Brush>(brush)->getPattern(), manager.getPatternTexture(3));
}

TEST_F(ToolManagerTest, MissingOrWrongFilesGiveEmptyToolsAndAMessage)
{
    const std::string images = titleFolder() + "images/";
    std::ofstream(images + maskName(2, 1)) << "not a picture";
    std::ofstream(images + ToolManager::getPatternName(12)) << "";
    std::filesystem::remove(images + maskName(3, 2));
    std::filesystem::create_directory(images + maskName(3, 2));
    writeImage("studio/brushes/crayon_8.png", TexturePtr(new Texture(8, 8, PixelFormat::RGB888, true, 0)));
    writeImage("studio/patterns/pattern_05.png", TexturePtr(new Texture(8, 8, PixelFormat::RGBA8888, true, 0)));
    writeImage(stampName(7), TexturePtr(new Texture(8, 8, PixelFormat::RGBA8888, true, 0)));
    std::filesystem::remove(images + stampName(0));
    // Kind (-1: a stamp), size, pattern or stamp number, and what is said.
    const std::tuple<int, int, int, std::string> cases[] = {
        {ToolType::Brush, 0, 42, "Could not find file " + images + "studio/patterns/pattern_42.png"},
        {ToolType::Marker, 3, 0, "Could not find file " + images + "studio/brushes/marker"},
        {-1, 0, 9, "Could not find file " + images + stampName(9)},
        {ToolType::Stamp, 0, 0, "stamp_00.png"},
        {ToolType::Crayon, 0, 0, "crayon_8.png: RGB888 instead of RGBA8888"},
        {ToolType::Fill, 0, 5, "pattern_05.png: RGBA8888 instead of Palette8"},
        {-1, 0, 7, "stamp_07.png: RGBA8888 instead of Palette8"},
        {ToolType::Chalk, 1, 0, "Could not read file " + images + maskName(2, 1)},
        {ToolType::Pencil, 0, 12, "Could not read file " + images + ToolManager::getPatternName(12)},
        {ToolType::Marker, 2, 0, "Could not read file " + images + maskName(3, 2)}};
    for (const auto& c : cases)
    {
        ToolPtr tool;
        const std::string printed = output([&] {
            tool = std::get<0>(c) < 0 ? ToolPtr(manager.getStamp(std::get<2>(c)))
                                      : manager.getTool(ToolType::Type(std::get<0>(c)), ToolSize::Type(std::get<1>(c)),
                                                        std::get<2>(c));
        });
        EXPECT_TRUE(!tool && says(printed, std::get<3>(c))) << std::get<3>(c) << ": " << printed;
    }
    EXPECT_TRUE(manager.getTool(ToolType::Crayon, ToolSize::Medium, 0));
}
