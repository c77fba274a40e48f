#include "DrawingTestSupport.h"

#include "Resources/Brush.h"
#include "Resources/Eraser.h"
#include "Resources/Fill.h"
#include "Resources/Shape.h"
#include "Resources/Stamp.h"
#include "Resources/ToolManager.h"
#include "Resources/Zoom.h"

#include <gtest/gtest.h>

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
const char* const Stems[] = {"pencil", "brush", "chalk", "marker", "crayon", "airbrush", "eraser"};

// Every picture a test may ask for, each marked with its own number so that
// the picture a tool holds tells which file was read: masks in their first
// pixel's red, patterns in palette entry 255, stamps in palette entry 200.
int maskTag(const std::string& name)
{
    int tag = 1;
    for (const char* stem : Stems)
        for (const char* suffix : {"_8.png", "_16.png", "_32.png"})
        {
            if (name == std::string("studio/brushes/") + stem + suffix)
                return tag;
            ++tag;
        }
    return 0;
}

void writeMask(const std::string& name, int size)
{
    TexturePtr mask(new Texture(size, size, PixelFormat::RGBA8888, true, 255));
    mask->setPixel(Colour(static_cast<unsigned char>(maskTag(name)), 0, 0, 255), 0, 0);
    writeImage(name, mask);
}

void writePattern(int n)
{
    TexturePtr pattern = makeStripePattern(16, 16);
    pattern->setPaletteEntry(Colour(static_cast<unsigned char>(n), 1, 2, 255), 255);
    writeImage(ToolManager::getPatternName(n), pattern);
}

void writeStamp(int n)
{
    TexturePtr stamp(new Texture(12, 10, PixelFormat::Palette8, true, 0));
    stamp->setPaletteEntry(Colour(static_cast<unsigned char>(n), 3, 4, 255), 200);
    stamp->setPaletteEntry(Colour(250, 0, 0, 255), 1);
    stamp->setPixel(1, 5, 5);
    writeImage("studio/stamps/stamp_" + std::string(n < 10 ? "0" : "") + std::to_string(n) + ".png", stamp);
}

class ToolManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (titleFolder().empty())
            GTEST_SKIP() << "no title folder";
        std::filesystem::remove_all(titleFolder() + "images/studio");
        const int sizes[] = {8, 16, 32};
        for (const char* stem : Stems)
            for (int i = 0; i < 3; ++i)
                writeMask(std::string("studio/brushes/") + stem + "_" + std::to_string(sizes[i]) + ".png", sizes[i]);
        for (int n : {0, 3, 5, 12, 100})
            writePattern(n);
        writeStamp(0);
        writeStamp(7);
    }
    void TearDown() override
    {
        if (!titleFolder().empty())
            std::filesystem::remove_all(titleFolder() + "images/studio");
    }

    static int maskOf(const ToolPtr& tool)
    {
        BrushPtr brush = boost::dynamic_pointer_cast<Brush>(tool);
        return brush && brush->getMask() ? brush->getMask()->getPixel(0, 0).r : -1;
    }
    static int patternOf(TexturePtr pattern) { return pattern ? pattern->getPaletteEntry(255).r : -1; }

    // The title folder is set up before the manager reads it.
    const bool titleReady = !titleFolder().empty();
    ToolManager manager;
};
}

TEST_F(ToolManagerTest, FileNames)
{
    EXPECT_EQ(ToolManager::getBrushName(ToolType::Pencil, ToolSize::Small), "studio/brushes/pencil_8.png");
    EXPECT_EQ(ToolManager::getBrushName(ToolType::Chalk, ToolSize::Medium), "studio/brushes/chalk_16.png");
    EXPECT_EQ(ToolManager::getBrushName(ToolType::Airbrush, ToolSize::Large), "studio/brushes/airbrush_32.png");
    EXPECT_EQ(ToolManager::getBrushName(ToolType::Brush, ToolSize::Large), "studio/brushes/brush_32.png");
    EXPECT_EQ(ToolManager::getBrushName(ToolType::Fill, ToolSize::Large), "studio/brushes/brush_32.png");
    EXPECT_EQ(ToolManager::getBrushName(static_cast<ToolType::Type>(16), ToolSize::Small), "studio/brushes/brush_8.png");
    EXPECT_EQ(ToolManager::getBrushName(ToolType::Marker, static_cast<ToolSize::Type>(3)), "studio/brushes/marker");
    EXPECT_EQ(ToolManager::getPatternName(3), "studio/patterns/pattern_03.png");
    EXPECT_EQ(ToolManager::getPatternName(12), "studio/patterns/pattern_12.png");
    EXPECT_EQ(ToolManager::getPatternName(100), "studio/patterns/pattern_100.png");
    EXPECT_EQ(ToolManager::getStampPath(7), titleFolder() + "images/studio/stamps/stamp_07.png");
}

TEST_F(ToolManagerTest, EveryKindAndSizeReadsItsOwnMask)
{
    const ToolType::Type painting[] = {ToolType::Pencil, ToolType::Brush, ToolType::Chalk, ToolType::Marker,
                                       ToolType::Crayon, ToolType::Airbrush, ToolType::Eraser};
    for (ToolType::Type type : painting)
        for (ToolSize::Type size : {ToolSize::Small, ToolSize::Medium, ToolSize::Large})
        {
            ToolPtr tool = manager.getTool(type, size, 3);
            ASSERT_TRUE(tool) << type << "/" << size;
            EXPECT_EQ(maskOf(tool), maskTag(ToolManager::getBrushName(type, size))) << type << "/" << size;
            BrushPtr brush = boost::dynamic_pointer_cast<Brush>(tool);
            // The eraser always paints with pattern 0.
            EXPECT_EQ(patternOf(brush->getPattern()), type == ToolType::Eraser ? 0 : 3);
            EXPECT_EQ(tool->getType().isDerived(Eraser::RuntimeType), type == ToolType::Eraser);
            EXPECT_TRUE(tool->getRepeatWhileDragged());
        }
    ToolPtr eraser = manager.getTool(ToolType::Eraser, ToolSize::Medium, 5);
    EXPECT_EQ(maskOf(eraser), maskTag("studio/brushes/eraser_16.png"));
    EXPECT_EQ(patternOf(boost::dynamic_pointer_cast<Brush>(eraser)->getPattern()), 0);
    // Any other kind is an ordinary brush.
    ToolPtr other = manager.getTool(static_cast<ToolType::Type>(16), ToolSize::Small, 0);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->getType().getName(), "Tovrane.Brush");
    EXPECT_EQ(maskOf(other), maskTag("studio/brushes/brush_8.png"));
}

TEST_F(ToolManagerTest, FillsZoomsAndShapes)
{
    FillPtr fill = boost::dynamic_pointer_cast<Fill>(manager.getTool(ToolType::Fill, ToolSize::Large, 5));
    ASSERT_TRUE(fill);
    EXPECT_EQ(patternOf(fill->getPattern()), 5);
    EXPECT_FALSE(fill->getRepeatWhileDragged());

    // Zooms and shapes read nothing: they are made even without any files.
    std::filesystem::remove_all(titleFolder() + "images/studio");
    ZoomPtr in = boost::dynamic_pointer_cast<Zoom>(manager.getTool(ToolType::ZoomIn, ToolSize::Small, 0));
    ZoomPtr out = boost::dynamic_pointer_cast<Zoom>(manager.getTool(ToolType::ZoomOut, ToolSize::Small, 0));
    ASSERT_TRUE(in && out);
    EXPECT_EQ(in->getState(), ZoomToolState::ZoomIn);
    EXPECT_EQ(out->getState(), ZoomToolState::ZoomOut);
    for (int type = ToolType::Line; type <= ToolType::Star; ++type)
    {
        ShapePtr shape = boost::dynamic_pointer_cast<Shape>(manager.getTool(static_cast<ToolType::Type>(type), ToolSize::Small, 0));
        ASSERT_TRUE(shape);
        EXPECT_EQ(shape->getShapeType(), type - ToolType::Line);
    }
}

TEST_F(ToolManagerTest, BrushesShareMasksAndKeepTheirOwnColours)
{
    ToolPtr first = manager.getTool(ToolType::Chalk, ToolSize::Medium, 12);
    ToolPtr second = manager.getTool(ToolType::Chalk, ToolSize::Medium, 12);
    BrushPtr a = boost::dynamic_pointer_cast<Brush>(first), b = boost::dynamic_pointer_cast<Brush>(second);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->getMask(), b->getMask());
    EXPECT_EQ(manager.getBrushTexture(ToolType::Brush, ToolSize::Large),
              manager.getBrushTexture(ToolType::Fill, ToolSize::Large));
    EXPECT_EQ(manager.getPatternTexture(12), manager.getPatternTexture(12));
    // Setting one brush's colours never changes the other's.
    a->setForegroundColor(Colour(200, 10, 10, 255));
    b->setForegroundColor(Colour(10, 10, 200, 255));
    EXPECT_EQ(a->getPattern()->getPaletteEntry(0), Colour(200, 10, 10, 255));
    EXPECT_EQ(manager.getPatternTexture(12)->getPaletteEntry(0), Colour(0, 0, 0, 255));
    ToolPtr eraser = manager.getTool(ToolType::Eraser, ToolSize::Small, 0);
    boost::dynamic_pointer_cast<Eraser>(eraser)->setTransparency(true);
    ToolPtr pencil = manager.getTool(ToolType::Pencil, ToolSize::Small, 0);
    pencil->setForegroundColor(Colour(1, 2, 3, 255));
    EXPECT_EQ(boost::dynamic_pointer_cast<Brush>(eraser)->getPattern()->getPaletteEntry(0), Colour(0, 0, 0, 0));
}

TEST_F(ToolManagerTest, StampsGetFreshImages)
{
    StampPtr first = manager.getStamp(7), second = manager.getStamp(7);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first->getImage(), second->getImage());
    EXPECT_EQ(first->getImage()->getPaletteEntry(200).r, 7);
    EXPECT_FALSE(first->getRepeatWhileDragged());
    EXPECT_EQ(first->getMask()->getPixel(5, 5).a, 255);
    EXPECT_EQ(first->getMask()->getPixel(0, 0).a, 0);

    // The stamp kind in the tool picker is a brush carrying the first stamp.
    BrushPtr stampBrush = boost::dynamic_pointer_cast<Brush>(manager.getTool(ToolType::Stamp, ToolSize::Small, 3));
    ASSERT_TRUE(stampBrush);
    EXPECT_FALSE(stampBrush->getMask());
    EXPECT_EQ(stampBrush->getPattern()->getPaletteEntry(200).r, 0);
    EXPECT_FALSE(stampBrush->getRepeatWhileDragged());
}

TEST_F(ToolManagerTest, MissingOrWrongFilesGiveEmptyToolsAndAMessage)
{
    testing::internal::CaptureStdout();
    EXPECT_FALSE(manager.getTool(ToolType::Brush, ToolSize::Small, 42));
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("Could not find file " + titleFolder() + "images/studio/patterns/pattern_42.png"),
              std::string::npos)
        << output;

    testing::internal::CaptureStdout();
    EXPECT_FALSE(manager.getTool(ToolType::Marker, static_cast<ToolSize::Type>(3), 0));
    EXPECT_FALSE(manager.getStamp(9));
    output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("studio/brushes/marker"), std::string::npos) << output;
    EXPECT_NE(output.find("stamp_09.png"), std::string::npos) << output;

    // A mask without alpha, a pattern and a stamp without palette.
    writeImage("studio/brushes/crayon_8.png", TexturePtr(new Texture(8, 8, PixelFormat::RGB888, true, 0)));
    writeImage("studio/patterns/pattern_05.png", TexturePtr(new Texture(8, 8, PixelFormat::RGBA8888, true, 0)));
    writeImage("studio/stamps/stamp_07.png", TexturePtr(new Texture(8, 8, PixelFormat::RGBA8888, true, 0)));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(manager.getTool(ToolType::Crayon, ToolSize::Small, 0));
    EXPECT_FALSE(manager.getTool(ToolType::Fill, ToolSize::Small, 5));
    EXPECT_FALSE(manager.getStamp(7));
    output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("crayon_8.png: RGB888 instead of RGBA8888"), std::string::npos) << output;
    EXPECT_NE(output.find("pattern_05.png: RGBA8888 instead of Palette8"), std::string::npos) << output;
    EXPECT_NE(output.find("stamp_07.png: RGBA8888 instead of Palette8"), std::string::npos) << output;

    removeImage("studio/stamps/stamp_00.png");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(manager.getTool(ToolType::Stamp, ToolSize::Small, 0));
    testing::internal::GetCapturedStdout();
    // The rest still works.
    EXPECT_TRUE(manager.getTool(ToolType::Crayon, ToolSize::Medium, 0));
}
