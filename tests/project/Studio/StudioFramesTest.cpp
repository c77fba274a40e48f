// The studio's pictures and tools, and its flipbook frames: which frames
// count as drawn, undo lists across frame changes, and the grey veil.
#include "StudioTestSupport.h"

#include "Resources/Drawing/Eraser.h"
#include "Resources/Drawing/Stamp.h"

using namespace Tovrane;
using namespace StudioTest;
using DrawingTest::Black;
using DrawingTest::Clear;
using DrawingTest::White;

typedef StudioFixture StudioFrames;

TEST_F(StudioFrames, PicturesAndToolsOfANewStudio)
{
    // A palette picture is expanded through its palette.
    TexturePtr picture(new Texture(320, 240, PixelFormat::Palette8, true, 1));
    picture->setPaletteEntry(Colour(0, 0, 248, 255), 1);
    Studio given(picture, false);
    EXPECT_EQ(1, given.frameCount);
    EXPECT_EQ(DrawingTest::Blue, given.canvas->getLayer()->getPixel(319, 239));
    EXPECT_EQ(PixelFormat::RGBA5551, given.canvas->getLayer()->getTexture()->getFormat());
    EXPECT_TRUE(given.picker.elements.empty());
    EXPECT_FALSE(given.flipbookController);
    EXPECT_EQ(StudioState::Drawing, given.states.back());
    EXPECT_EQ(-1, given.selectedSlot);
    EXPECT_EQ(1, given.dialogResult);

    // An empty picture gives a blank one and a message.
    std::string said = ProfileTest::output([] { Studio blank(TexturePtr(), false); });
    EXPECT_NE(std::string::npos, said.find("blank")) << said;

    make(64, 48);
    EXPECT_EQ(White, pixel(0, 0));
    studio->newImage(true);
    EXPECT_EQ(Clear, pixel(0, 0));
    ToolPtr pencil = studio->currentTool;
    studio->setToolSize(ToolSize::Medium);
    EXPECT_EQ(pencil, studio->currentTool) << "the same size keeps the tool";
    studio->setToolType(ToolType::Stamp);
    ToolPtr stamp = studio->currentTool;
    EXPECT_TRUE(stamp->getType().isDerived(Stamp::RuntimeType));
    studio->setToolType(ToolType::Stamp);
    EXPECT_NE(stamp, studio->currentTool) << "a stamp is made again";

    // A pattern the title lacks keeps the tool and the choice.
    studio->setToolType(ToolType::Pencil);
    pencil = studio->currentTool;
    said = ProfileTest::output([&] { studio->setToolPattern(20); });
    EXPECT_NE(std::string::npos, said.find("pattern_20.png")) << said;
    EXPECT_EQ(pencil, studio->currentTool);
    EXPECT_EQ(0, studio->toolPattern);
}

TEST_F(StudioFrames, DrawnFramesAreCountedAndAMoveEmptiesEveryUndoList)
{
    make(320, 240, StudioMode::Flipbook);
    ASSERT_EQ(12, studio->root->getChildQuantity());
    for (int f : {0, 1, 4})
    {
        studio->setFrame(f);
        stroke(100, 100);
    }
    EXPECT_EQ(2, studio->framesUsed) << "frame 4 counts once it is left";
    studio->setFrame(4);
    EXPECT_EQ(1, studio->canvas->getUndoCount()) << "the current frame: nothing changes";
    studio->setFrame(6);
    EXPECT_EQ(5, studio->framesUsed);
    for (int f = 0; f < 12; ++f)
        EXPECT_EQ(0, studio->getFrame(f)->getUndoCount() + studio->getFrame(f)->getRedoCount()) << f;
    EXPECT_EQ(Black, pixel(4, 110, 100));
    studio->setFrame(12);
    EXPECT_EQ(6, studio->currentFrame) << "no such frame";

    // Saved while drawing on frame 3: that frame counts.
    ScrivletPlayer* player = ScrivletPlayer::getCurrentPlayerData();
    studio->saveImage(0);
    EXPECT_EQ(5, player->frameCounts[0]);
    studio->newImage(true);
    studio->setFrame(3);
    stroke(10, 10);
    studio->saveImage(1);
    EXPECT_EQ(4, player->frameCounts[1]);

    // A load takes the recorded count and leaves the current frame.
    ASSERT_TRUE(player->setNumberOfFrames(1, 7));
    studio->newImage(true);
    studio->setFrame(5);
    studio->loadImage(1);
    EXPECT_EQ(7, studio->framesUsed);
    EXPECT_EQ(5, studio->currentFrame);
    EXPECT_EQ(Black, pixel(3, 20, 10));
}

TEST_F(StudioFrames, TheVeilLiesOverTheFrameBeforeAndSurvivesRebuilds)
{
    make(320, 240, StudioMode::Flipbook);
    TiledBillboardPtr veil = studio->onionSkin;
    ASSERT_TRUE(veil);
    EXPECT_EQ(CullingMode::Show, veil->cullingMode);
    EXPECT_EQ(Colour(127, 127, 127, 127), veil->getTile(0, 0)->textures[0]->getPixel(5, 5));

    studio->setFrame(1);
    CanvasPtr first = studio->getFrame(0), second = studio->getFrame(1);
    EXPECT_EQ(first.get(), veil->parent);
    EXPECT_EQ(CullingMode::Show, first->cullingMode);
    EXPECT_EQ(tFixed(-1), first->getPosition().z);
    EXPECT_EQ(tFixed(0), second->getPosition().z);
    EXPECT_EQ(second.get(), studio->shapeNode->parent) << "the preview follows the frame";
    studio->setFrame(0);
    EXPECT_EQ(nullptr, veil->parent) << "nothing is veiled on frame 0";
    EXPECT_EQ(CullingMode::Hide, second->cullingMode);

    studio->showOnionSkin(false);
    studio->setFrame(2);
    EXPECT_EQ(CullingMode::Hide, studio->getFrame(1)->cullingMode);
    studio->newImage(true);
    EXPECT_EQ(veil, studio->onionSkin);
    EXPECT_EQ(CullingMode::Hide, veil->cullingMode);
    studio->setMode(StudioMode::Art);
    EXPECT_FALSE(studio->onionSkin);
}

TEST_F(StudioFrames, TheEraserClearsFlipbookFramesAndPaintsPicturesWhite)
{
    for (StudioMode::Type mode : {StudioMode::Flipbook, StudioMode::Art})
    {
        make(320, 240, mode);
        studio->setToolType(ToolType::Fill);
        touch({{5, 5, 1}, {5, 5, 0}});
        EXPECT_EQ(Black, pixel(100, 100));
        studio->setToolType(ToolType::Eraser);
        ASSERT_TRUE(studio->currentTool->getType().isDerived(Eraser::RuntimeType));
        stroke(100, 100);
        EXPECT_EQ(mode == StudioMode::Flipbook ? Clear : White, pixel(110, 100));
        // Switching modes rebuilds the eraser for the new mode.
        studio->setMode(mode == StudioMode::Art ? StudioMode::Flipbook : StudioMode::Art);
        EXPECT_EQ(mode == StudioMode::Art, static_cast<Eraser&>(*studio->currentTool).getTransparency());
    }
}
