// The studio's picture and tools, its flipbook frames (which count as drawn,
// undo across frame changes, the grey veil) and the flipbook player.
#include "StudioTestSupport.h"

#include "Resources/Drawing/Eraser.h"
#include "Resources/Studio/FlipbookController.h"

using namespace StudioTest;

typedef StudioFixture StudioFrames;

TEST_F(StudioFrames, GivenPicturesAndToolChoices)
{
    TexturePtr picture(new Texture(320, 240, PixelFormat::Palette8, true, 1));
    picture->setPaletteEntry(Colour(0, 0, 248, 255), 1);
    Studio given(picture, false); // expanded through its palette
    EXPECT_EQ(DrawingTest::Blue, given.canvas->getLayer()->getPixel(319, 239));
    EXPECT_TRUE(given.picker.elements.empty() && !given.flipbookController && given.selectedSlot == -1);
    EXPECT_NE(std::string::npos, ProfileTest::output([] { Studio(TexturePtr(), false); }).find("blank"));
    make(64, 48);
    studio->newImage(true);
    EXPECT_EQ(Clear, pixel(0, 0));
    ToolPtr tool = studio->currentTool;
    studio->setToolSize(ToolSize::Medium);
    EXPECT_NE(std::string::npos, ProfileTest::output([&] { studio->setToolPattern(20); }).find("pattern_20.png"));
    EXPECT_TRUE(tool == studio->currentTool && studio->toolPattern == 0) << "same size; a missing pattern is no choice";
    studio->setToolType(ToolType::Stamp);
    tool = studio->currentTool;
    studio->setToolType(ToolType::Stamp);
    EXPECT_NE(tool, studio->currentTool) << "a stamp is made again";
}

TEST_F(StudioFrames, DrawnFramesAreCountedAndTheVeilCoversTheFrameBefore)
{
    make(640, 480, StudioMode::Flipbook);
    TiledBillboardPtr veil = studio->onionSkin;
    ASSERT_TRUE(veil && veil->cullingMode == CullingMode::Show);
    for (int f : {0, 1, 4})
        studio->setFrame(f), stroke(100, 100);
    EXPECT_EQ(2, studio->framesUsed) << "frame 4 counts once it is left";
    studio->setFrame(4);
    EXPECT_EQ(1, studio->canvas->getUndoCount()) << "the current frame: nothing changes";
    studio->setFrame(6);
    studio->setFrame(12);
    EXPECT_TRUE(studio->framesUsed == 5 && studio->currentFrame == 6);
    for (int f = 0; f < 12; ++f)
        EXPECT_EQ(0, studio->getFrame(f)->getUndoCount() + studio->getFrame(f)->getRedoCount()) << f;

    CanvasPtr fifth = studio->getFrame(5), sixth = studio->getFrame(6);
    EXPECT_TRUE(veil->parent == fifth.get() && fifth->cullingMode == CullingMode::Show);
    EXPECT_TRUE(fifth->getPosition().z == tFixed(-1) && sixth->getPosition().z == tFixed(0));
    EXPECT_EQ(sixth.get(), studio->shapeNode->parent) << "the preview follows the frame";
    studio->setFrame(0);
    EXPECT_TRUE(!veil->parent && fifth->cullingMode == CullingMode::Hide) << "nothing veiled on frame 0";
    studio->resetCanvas(false);
    EXPECT_EQ(320, studio->canvas->getLayer()->getWidth()) << "a frame keeps its size";
    studio->showOnionSkin(false);
    studio->newImage(true);
    EXPECT_TRUE(studio->onionSkin == veil && veil->cullingMode == CullingMode::Hide);
    studio->setMode(StudioMode::Art);
    EXPECT_FALSE(studio->onionSkin);
}

TEST_F(StudioFrames, TheEraserClearsFramesAndPaintsPicturesWhite)
{
    for (StudioMode::Type mode : {StudioMode::Flipbook, StudioMode::Art})
    {
        make(320, 240, mode);
        studio->setToolType(ToolType::Fill);
        touch({{5, 5, 1}, {5, 5, 0}});
        studio->setToolType(ToolType::Eraser);
        stroke(100, 100);
        EXPECT_TRUE(pixel(150, 150) == Black && pixel(110, 100) == (mode ? Clear : White)) << mode;
        studio->toggleMode(); // the eraser follows the new mode
        EXPECT_EQ(mode == StudioMode::Art, static_cast<Eraser&>(*studio->currentTool).getTransparency());
    }
}

TEST_F(StudioFrames, TheFlipbookPlayerLoopsFramesOf166Milliseconds)
{
    make(320, 240, StudioMode::Flipbook);
    FlipbookControllerPtr player(new FlipbookController);
    player->repeatType = RepeatType::Wrap;
    studio->addController(player);
    // Frame count, application time, whether a change is reported, the frame shown.
    const int steps[][4] = {{5, 1000, 1, 0}, {5, 1100, 0, 0}, {5, 1166, 1, 1}, {5, 1331, 0, 1}, {5, 1332, 1, 2},
                            {5, 1498, 1, 3}, {5, 1664, 1, 4}, {5, 1830, 0, 4}, {5, 1830, 0, 4}, {5, 1831, 1, 0},
                            {5, 1995, 0, 0}, {5, 1996, 1, 1}, {5, 2500, 1, 4}, {1, 40, 1, 0},   {1, 206, 0, 0},
                            {1, 250, 0, 0},  {1, 1000, 0, 0}};
    for (const auto& step : steps)
    {
        if (step[0] != player->frameCount) // the first update after a restart shows frame 0
            studio->setFrame(3), player->setFrameCount(step[0]), player->restart();
        EXPECT_EQ(step[2] != 0, player->update(step[1])) << step[1];
        EXPECT_EQ(step[3], studio->currentFrame) << step[1];
    }
    player->restart();
    studio->setFrame(2);
    studio->updateControllers(5000); // as the owner runs it each frame
    EXPECT_EQ(0, studio->currentFrame);
}
