#include "DrawingTestSupport.h"

#include "Resources/Drawing/Brush.h"
#include "Resources/Drawing/Eraser.h"
#include "Resources/Drawing/Fill.h"
#include "Resources/Drawing/Shape.h"
#include "Resources/Drawing/Stamp.h"
#include "Resources/Drawing/ToolManager.h"
#include "Resources/Drawing/Zoom.h"

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
const char* const Stems[] = {"pencil", "brush", "chalk", "marker", "crayon", "airbrush", "eraser"};
const ToolType::Type Painting[] = {ToolType::Pencil, ToolType::Brush,    ToolType::Chalk, ToolType::Marker,
                                   ToolType::Crayon, ToolType::Airbrush, ToolType::Eraser};

// Every picture a test may ask for is marked with its own number, so that the
// picture a tool holds tells which file was read: masks in their first pixel's
// red (1 + 3 x stem + size), patterns in palette entry 255, stamps in palette entry 200.
std::string maskName(int stem, int size)
{
    return std::string("studio/brushes/") + Stems[stem] + "_" + std::to_string(8 << size) + ".png";
}

std::string stampName(int n)
{
    return "studio/stamps/stamp_" + std::string(n < 10 ? "0" : "") + std::to_string(n) + ".png";
}

TexturePtr tagged(TexturePtr picture, int tag, int entry)
{
    if (entry < 0)
        picture->setPixel(Colour(static_cast<unsigned char>(tag), 0, 0, 255), 0, 0);
    else
        picture->setPaletteEntry(Colour(static_cast<unsigned char>(tag), 1, 2, 255), entry);
    return picture;
}

class ToolManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (titleFolder().empty())
            GTEST_SKIP() << "no title folder";
        std::filesystem::remove_all(titleFolder() + "images/studio");
        for (int stem = 0; stem < 7; ++stem)
            for (int size = 0; size < 3; ++size)
                writeImage(maskName(stem, size), tagged(makeFullMask(8 << size), 1 + 3 * stem + size, -1));
        for (int n : {0, 3, 5, 12, 100})
            writeImage(ToolManager::getPatternName(n), tagged(makeStripePattern(16, 16), n, 255));
        for (int n : {0, 7})
        {
            TexturePtr stamp = tagged(TexturePtr(new Texture(12, 10, PixelFormat::Palette8, true, 0)), n, 200);
            stamp->setPixel(1, 5, 5);
            writeImage(stampName(n), stamp);
        }
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
    static int patternOf(const ToolPtr& tool)
    {
        return boost::dynamic_pointer_cast<Brush>(tool)->getPattern()->getPaletteEntry(255).r;
    }

    // The title folder is set up before the manager reads it.
    const bool titleReady = !titleFolder().empty();
    ToolManager manager;
};
}

TEST_F(ToolManagerTest, FileNames)
{
    // Painting kinds: see EveryKindAndSizeReadsItsOwnMask.
    EXPECT_EQ(ToolManager::getBrushName(ToolType::Fill, ToolSize::Large), "studio/brushes/brush_32.png");
    EXPECT_EQ(ToolManager::getBrushName(static_cast<ToolType::Type>(16), ToolSize::Small),
              "studio/brushes/brush_8.png");
    EXPECT_EQ(ToolManager::getBrushName(ToolType::Marker, static_cast<ToolSize::Type>(3)), "studio/brushes/marker");
    EXPECT_EQ(ToolManager::getPatternName(3), "studio/patterns/pattern_03.png");
    EXPECT_EQ(ToolManager::getPatternName(100), "studio/patterns/pattern_100.png");
    EXPECT_EQ(ToolManager::getStampPath(7), titleFolder() + "images/" + stampName(7));
}

TEST_F(ToolManagerTest, EveryKindAndSizeReadsItsOwnMask)
{
    for (int stem = 0; stem < 7; ++stem)
        for (int size = 0; size < 3; ++size)
        {
            const ToolType::Type type = Painting[stem];
            SCOPED_TRACE(maskName(stem, size));
            EXPECT_EQ(ToolManager::getBrushName(type, static_cast<ToolSize::Type>(size)), maskName(stem, size));
            ToolPtr tool = manager.getTool(type, static_cast<ToolSize::Type>(size), 3);
            ASSERT_TRUE(tool);
            EXPECT_EQ(maskOf(tool), 1 + 3 * stem + size);
            // The eraser always paints with pattern 0.
            EXPECT_EQ(patternOf(tool), type == ToolType::Eraser ? 0 : 3);
            EXPECT_EQ(tool->getType().isDerived(Eraser::RuntimeType), type == ToolType::Eraser);
            EXPECT_TRUE(tool->getRepeatWhileDragged());
        }
    // Any other kind is an ordinary brush.
    ToolPtr other = manager.getTool(static_cast<ToolType::Type>(16), ToolSize::Small, 0);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->getType().getName(), "Tovrane.Brush");
    EXPECT_EQ(maskOf(other), 1 + 3 * 1);
}

TEST_F(ToolManagerTest, FillsZoomsAndShapes)
{
    FillPtr fill = boost::dynamic_pointer_cast<Fill>(manager.getTool(ToolType::Fill, ToolSize::Large, 5));
    ASSERT_TRUE(fill);
    EXPECT_EQ(fill->getPattern()->getPaletteEntry(255).r, 5);
    EXPECT_FALSE(fill->getRepeatWhileDragged());
    // Zooms and shapes read nothing: they are made even without any files.
    std::filesystem::remove_all(titleFolder() + "images/studio");
    for (ZoomToolState::Type state : {ZoomToolState::ZoomIn, ZoomToolState::ZoomOut})
    {
        ZoomPtr zoom = boost::dynamic_pointer_cast<Zoom>(
            manager.getTool(state == ZoomToolState::ZoomIn ? ToolType::ZoomIn : ToolType::ZoomOut, ToolSize::Small, 0));
        ASSERT_TRUE(zoom);
        EXPECT_EQ(zoom->getState(), state);
        EXPECT_FALSE(zoom->getRepeatWhileDragged());
    }
    for (int type = ToolType::Line; type <= ToolType::Star; ++type)
    {
        ShapePtr shape =
            boost::dynamic_pointer_cast<Shape>(manager.getTool(static_cast<ToolType::Type>(type), ToolSize::Small, 0));
        ASSERT_TRUE(shape);
        EXPECT_EQ(shape->getShapeType(), type - ToolType::Line);
    }
}

TEST_F(ToolManagerTest, BrushesShareMasksAndKeepTheirOwnColours)
{
    BrushPtr a = boost::dynamic_pointer_cast<Brush>(manager.getTool(ToolType::Chalk, ToolSize::Medium, 12));
    BrushPtr b = boost::dynamic_pointer_cast<Brush>(manager.getTool(ToolType::Chalk, ToolSize::Medium, 12));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->getMask(), b->getMask());
    EXPECT_EQ(manager.getBrushTexture(ToolType::Brush, ToolSize::Large),
              manager.getBrushTexture(ToolType::Fill, ToolSize::Large));
    EXPECT_EQ(manager.getPatternTexture(12), manager.getPatternTexture(12));
    // Setting a brush's colours never changes the shared pattern.
    a->setForegroundColor(Colour(200, 10, 10, 255));
    EXPECT_EQ(manager.getPatternTexture(12)->getPaletteEntry(0), Black);
    // An eraser's colours stay its own too.
    boost::shared_ptr<Eraser> eraser =
        boost::dynamic_pointer_cast<Eraser>(manager.getTool(ToolType::Eraser, ToolSize::Small, 0));
    eraser->setTransparency(true);
    manager.getTool(ToolType::Pencil, ToolSize::Small, 0)->setForegroundColor(Colour(1, 2, 3, 255));
    EXPECT_EQ(eraser->getPattern()->getPaletteEntry(0), Clear);
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

// Missing files, files that cannot be read as pictures (a broken mask, an
// empty pattern, a folder in a mask's place) and pictures of the wrong kind
// (a mask without alpha, a pattern or stamp without palette) give empty tools
// and a message naming the file; the rest still works.
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
    removeImage(stampName(0));
    const std::pair<ToolPtr (*)(ToolManager&), std::string> cases[] = {
        {[](ToolManager& m) { return m.getTool(ToolType::Brush, ToolSize::Small, 42); },
         "Could not find file " + images + "studio/patterns/pattern_42.png"},
        {[](ToolManager& m) { return m.getTool(ToolType::Marker, static_cast<ToolSize::Type>(3), 0); },
         "Could not find file " + images + "studio/brushes/marker"},
        {[](ToolManager& m) { return ToolPtr(m.getStamp(9)); }, "Could not find file " + images + stampName(9)},
        {[](ToolManager& m) { return m.getTool(ToolType::Stamp, ToolSize::Small, 0); }, "stamp_00.png"},
        {[](ToolManager& m) { return m.getTool(ToolType::Crayon, ToolSize::Small, 0); },
         "crayon_8.png: RGB888 instead of RGBA8888"},
        {[](ToolManager& m) { return m.getTool(ToolType::Fill, ToolSize::Small, 5); },
         "pattern_05.png: RGBA8888 instead of Palette8"},
        {[](ToolManager& m) { return ToolPtr(m.getStamp(7)); }, "stamp_07.png: RGBA8888 instead of Palette8"},
        {[](ToolManager& m) { return m.getTool(ToolType::Chalk, ToolSize::Medium, 0); },
         "Could not read file " + images + maskName(2, 1)},
        {[](ToolManager& m) { return m.getTool(ToolType::Pencil, ToolSize::Small, 12); },
         "Could not read file " + images + ToolManager::getPatternName(12)},
        {[](ToolManager& m) { return m.getTool(ToolType::Marker, ToolSize::Large, 0); },
         "Could not read file " + images + maskName(3, 2)}};
    for (const auto& c : cases)
    {
        ToolPtr tool;
        const std::string printed = output([&] { tool = c.first(manager); });
        EXPECT_FALSE(tool) << c.second;
        EXPECT_TRUE(says(printed, c.second)) << c.second << ": " << printed;
    }
    EXPECT_TRUE(manager.getTool(ToolType::Crayon, ToolSize::Medium, 0));
}

TEST_F(ToolManagerTest, MasksAndPatternsAreReadOnce)
{
    // Brushes copy their pattern; the manager keeps what it read, so files
    // gone from the disk (or changed there) do not matter once read.
    manager.getTool(ToolType::Brush, ToolSize::Small, 3);
    manager.getTool(ToolType::Eraser, ToolSize::Small, 3);
    std::filesystem::remove_all(titleFolder() + "images/studio");
    BrushPtr brush = boost::dynamic_pointer_cast<Brush>(manager.getTool(ToolType::Brush, ToolSize::Small, 3));
    ASSERT_TRUE(brush);
    EXPECT_EQ(patternOf(brush), 3);
    EXPECT_EQ(maskOf(brush), 1 + 3 * 1);
    EXPECT_NE(brush->getPattern(), manager.getPatternTexture(3));
    EXPECT_TRUE(manager.getTool(ToolType::Eraser, ToolSize::Small, 3));
}
