// The studio without its interface: strokes, frames, slots and goldens.
#include "StudioTestSupport.h"

#include "Resources/Drawing/Eraser.h"
#include "Resources/Studio/FlipbookController.h"
#include "Tovrane/Button.h"

using namespace StudioTest;
using DrawingTest::pixels16;

namespace
{
class StudioCase : public StudioFixture
{
protected:
    std::vector<std::vector<std::uint16_t>> frames() const
    {
        std::vector<std::vector<std::uint16_t>> all;
        for (int f = 0; f < studio->frameCount; ++f)
            all.push_back(pixels16(*studio->getFrame(f)->getLayer()));
        return all;
    }
    void listen() { StudioTest::listen(studio->saveEvent, [this](const ImageSaveEventArgs& a) { savedSlots.push_back(a.savedSlot); }); }
    std::vector<int> savedSlots;
};

TEST_F(StudioCase, TouchScriptsTakeTheirUndoStepsAndDrawWhereTheyShould)
{
    const Colour StampRed(0xe0, 0x40, 0x40, 255); // stamp 00 of the test title
    const struct
    {
        const char* name;
        int tool;
        std::vector<std::pair<Touch, int>> steps; // a sample, and the undo steps after it
        std::vector<Probe> probes;                // after the script; white again once undone
    } scripts[] = {
        {"brush drag", 0, {{{50, 50, 1}, 1}, {{80, 50, 1}, 1}, {{110, 50, 1}, 1}, {{110, 50, 0}, 1}},
         {{50, 50, Black}, {80, 50, Black}, {110, 50, Black}, {80, 70, White}}},
        {"stamp drag", 8, {{{60, 60, 1}, 1}, {{120, 60, 1}, 1}, {{120, 60, 0}, 1}}, {{45, 60, StampRed}, {105, 60, White}}},
        {"fill", 2, {{{10, 10, 1}, 1}, {{200, 200, 1}, 1}, {{200, 200, 0}, 1}}, {{10, 10, Black}, {300, 200, Black}}},
        {"rectangle", 12, {{{40, 40, 1}, 0}, {{100, 90, 1}, 0}, {{100, 90, 0}, 1}},
         {{40, 60, Black}, {100, 60, Black}, {70, 40, Black}, {70, 60, White}}},
        {"zoom", 9, {{{160, 120, 1}, 0}, {{100, 100, 1}, 0}, {{100, 100, 0}, 0}}, {}},
        {"rectangle slid onto a widget", 12, {{{200, 60, 1}, 0}, {{250, 99, 1}, 0}, {{300, 20, 1}, 1}, {{300, 20, 0}, 1}},
         {{200, 80, Black}, {250, 80, Black}, {225, 80, White}}},
        {"release without a stroke", 0, {{{100, 100, 0}, 0}}, {{100, 100, White}}},
    };
    for (const auto& script : scripts)
    {
        SCOPED_TRACE(script.name);
        make(320, 240);
        ButtonPtr button(new Button(quad(280, 320, 200, 240), quad(280, 320, 200, 240))); // top right
        root->addChild(button);
        root->update(0);
        studio->picker.addUIElement(button);
        studio->setToolType(static_cast<ToolType::Type>(script.tool));
        for (const auto& step : script.steps)
        {
            studio->handleTouchEvent(step.first.x, step.first.y, step.first.state);
            EXPECT_EQ(step.second, studio->canvas->getUndoCount()) << step.first.x << ", " << step.first.state;
        }
        EXPECT_TRUE(!studio->strokeActive && !studio->shapeNode->getChildQuantity()) << "stroke over, no preview";
        EXPECT_TRUE(studio->saved == (script.steps.back().second == 0) && studio->canvas->getZoom() == tFixed(script.tool == 9 ? 2 : 1));
        for (int undone : {0, 1})
        {
            if (undone)
                studio->canvas->undo();
            for (const Probe& p : script.probes)
                EXPECT_EQ(undone ? White : p.colour, pixel(p.x, p.y)) << p.x << ", " << p.y << " undone " << undone;
        }
    }
    make(320, 240); // three undo steps a frame
    for (int y = 20; y <= 140; y += 40)
        stroke(30, y);
    for (int i = 0; i < 4; ++i)
        studio->canvas->undo();
    EXPECT_TRUE(pixel(40, 20) == Black && pixel(40, 60) == White);
}

TEST_F(StudioCase, DirectionMasksPanEveryFrameByTwoAndZoomKeepsTheCentre)
{
    make(640, 480, StudioMode::Flipbook);
    tFixed cx, cy, zx, zy;
    studio->canvas->actualXY(160, 120, cx, cy);
    studio->toggleZoom();
    studio->canvas->actualXY(160, 120, zx, zy);
    EXPECT_TRUE(studio->zoomed && studio->getFrame(7)->getZoom() == tFixed(2) && cx == zx && cy == zy);
    // A mask, and the pan it gives in picture pixels; a hint without an audio player ends the call.
    const int presses[][3] = {{0x8, -1, 0}, {0x4, 1, 0}, {0x1, 0, -1}, {0x2, 0, 1}, {0xA, -1, 1}, {0x14, 1, 0}, {0x208, 0, 0}};
    for (const auto& press : presses)
    {
        const tFixed x = studio->canvas->getPanX() + tFixed(press[1]), y = studio->canvas->getPanY() + tFixed(press[2]);
        studio->handleButtonEvent(press[0]);
        for (int f : {0, 11})
            EXPECT_TRUE(studio->getFrame(f)->getPanX() == x && studio->getFrame(f)->getPanY() == y) << press[0];
    }
    studio->toggleZoom();
    EXPECT_TRUE(!studio->zoomed && studio->getFrame(3)->getZoom() == tFixed(1));
}

TEST_F(StudioCase, GivenPicturesAndToolChoices)
{
    TexturePtr picture(new Texture(320, 240, PixelFormat::Palette8, true, 1));
    picture->setPaletteEntry(Colour(0, 0, 248, 255), 1);
    Studio given(picture, false); // expanded through its palette
    EXPECT_EQ(DrawingTest::Blue, given.canvas->getLayer()->getPixel(319, 239));
    EXPECT_NE(std::string::npos, TestSupport::printed([] { Studio(TexturePtr(), false); }).find("blank"));
    make(64, 48);
    studio->newImage(true);
    EXPECT_EQ(Clear, pixel(0, 0));
    ToolPtr tool = studio->currentTool;
    studio->setToolSize(ToolSize::Medium);
    EXPECT_NE(std::string::npos, TestSupport::printed([&] { studio->setToolPattern(20); }).find("pattern_20.png"));
    EXPECT_TRUE(tool == studio->currentTool && studio->toolPattern == 0) << "same size; a missing pattern is no choice";
    studio->setToolType(ToolType::Stamp);
    tool = studio->currentTool;
    studio->setToolType(ToolType::Stamp);
    EXPECT_NE(tool, studio->currentTool) << "a stamp is made again";
}

TEST_F(StudioCase, DrawnFramesAreCountedAndTheVeilCoversTheFrameBefore)
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

    CanvasPtr fifth = studio->getFrame(5);
    EXPECT_TRUE(veil->parent == fifth.get() && fifth->cullingMode == CullingMode::Show);
    studio->setFrame(0);
    EXPECT_TRUE(!veil->parent && fifth->cullingMode == CullingMode::Hide) << "nothing veiled on frame 0";
    studio->resetCanvas(false);
    EXPECT_EQ(320, studio->canvas->getLayer()->getWidth()) << "a frame keeps its size";
    studio->showOnionSkin(false);
    studio->newImage(true);
    EXPECT_TRUE(studio->onionSkin == veil && veil->cullingMode == CullingMode::Hide);
    studio->setMode(StudioMode::Art);
    EXPECT_FALSE(studio->onionSkin);

    for (StudioMode::Type mode : {StudioMode::Flipbook, StudioMode::Art}) // the eraser by mode
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

TEST_F(StudioCase, TheFlipbookPlayerLoopsFramesOf166Milliseconds)
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

TEST_F(StudioCase, SlotsHoldEveryPixelAndLoadBack)
{
    const Colour colours[] = {Colour(255, 0, 0, 255), Colour(0, 200, 60, 255), Colour(30, 40, 250, 255)};
    for (StudioMode::Type mode : {StudioMode::Art, StudioMode::Flipbook})
    {
        make(320, 240, mode);
        listen();
        for (int f : {0, 2, 5}) // saved on frame 5, which counts
            for (int i = 0; i < 3; ++i)
            {
                studio->setFrame(mode ? f : 0);
                studio->setForegroundColor(colours[(i + f) % 3]);
                stroke(20 + 40 * i, 30 + 50 * i + f);
            }
        const auto drawn = frames();
        studio->saveImage(1);
        EXPECT_TRUE(studio->saved && savedSlots == (mode ? std::vector<int>() : std::vector<int>{1}));
        TexturePtr file = Texture::fromFile(player().toImagePath(1));
        EXPECT_TRUE(mode || drawn[0] == pixels16(Layer(Studio::toCanvasPicture(file), 128))) << "the file as drawn";
        for (int f = 0; mode && f < 12; ++f)
            EXPECT_TRUE(fs::exists(player().toAnimationPath(1, f))) << f;
        EXPECT_TRUE(!mode || (player().frameCounts[1] == 6 && player().setNumberOfFrames(1, 7)));
        make(320, 240, mode);
        studio->setFrame(mode ? 8 : 0);
        stroke(200, 200);
        studio->loadImage(1);
        studio->loadImage(2); // empty: changes nothing
        EXPECT_TRUE(drawn == frames() && studio->saved && studio->canvas->getUndoCount() == 0) << mode;
        EXPECT_TRUE(studio->currentFrame == (mode ? 8 : 0) && studio->framesUsed == (mode ? 7 : 1));
        savedSlots.clear();
    }
    make(640, 480); // a loaded picture brings its size and mirrors about its own centre
    studio->saveImage(3);
    make(320, 240);
    studio->setSymmetryType(SymmetryType::LeftRight);
    studio->toggleZoom();
    studio->loadImage(3);
    EXPECT_TRUE(studio->width == 640 && studio->height == 480 && !studio->zoomed);
    EXPECT_EQ(tFixed(480), studio->shapeNode->getPosition().y);
    touch({{40, 60, 1}, {40, 60, 0}}); // picture point (80, 120)
    EXPECT_TRUE(pixel(80, 120) == Black && pixel(560, 120) == Black && pixel(240, 120) == White);
}

TEST_F(StudioCase, UnreadableFilesNeverReachACanvasAndFailedWritesKeepThePictureUnsaved)
{
    const auto write = [](const std::string& path, const std::string& s) { std::ofstream(path, std::ios::binary) << s; };
    make(320, 240);
    ASSERT_TRUE(TexturePtr(new Texture(1100, 8, PixelFormat::RGBA8888, true, 255))->save(player().toImagePath(3)));
    studio->saveImage(0);
    for (const std::string& bytes : {std::string("garbage"), TestSupport::readFile(player().toImagePath(0)).substr(0, 300),
                                     TestSupport::readFile(player().toImagePath(3))}) // garbage, cut, too wide
    {
        write(player().toImagePath(3), bytes);
        stroke(100, 100);
        const std::string said = TestSupport::printed([&] { studio->loadImage(3); });
        EXPECT_NE(std::string::npos, said.find("Could not load picture slot 3")) << said;
        EXPECT_TRUE(pixel(110, 100) == Black && !studio->saved) << "the picture stays";
    }
    listen(); // a folder where the file should go cannot be replaced by it
    fs::create_directories(player().toImagePath(5));
    TestSupport::printed([&] { studio->saveImage(5); });
    EXPECT_TRUE(!studio->saved && savedSlots.empty());

    make(320, 240, StudioMode::Flipbook); // in an animation an unreadable frame becomes blank
    studio->setFrame(2), stroke(100, 100), studio->setFrame(3), stroke(100, 100);
    studio->saveImage(2);
    write(player().toAnimationPath(2, 3), "garbage");
    stroke(150, 150);
    const std::string said = TestSupport::printed([&] { studio->loadImage(2); });
    EXPECT_NE(std::string::npos, said.find("frame 3 of animation slot 2")) << said;
    EXPECT_TRUE(pixel(2, 110, 100) == Black && pixel(3, 110, 100) == Clear && pixel(3, 160, 150) == Clear);
    // A flipbook that cannot be saved whole leaves its slot as it was.
    studio->saveImage(0);
    fs::remove(player().toAnimationPath(0, 11));
    fs::create_directories(player().toAnimationPath(0, 11));
    const auto slot = [] {
        return TestSupport::readFile(player().toAnimationPath(0, 7)) + TestSupport::readFile(player().getAnimationDataPath());
    };
    const std::string before = slot();
    studio->setFrame(6), stroke(100, 100), studio->setFrame(7), stroke(120, 120), studio->setFrame(8);
    TestSupport::printed([&] { studio->saveImage(0); });
    EXPECT_TRUE(!studio->saved && before == slot() && player().frameCounts[0] == 4 && studio->framesUsed == 8);
}

TEST_F(StudioCase, GoldenPictures)
{
    const Colour Red(230, 40, 40, 255), Blue(40, 80, 230, 255), Orange(240, 150, 30, 255), Teal(30, 170, 160, 255);
    make(320, 240);
    studio->setSymmetryType(SymmetryType::Both);
    const Colour colours[] = {Black, Red, Colour(40, 170, 60, 255), Blue, Orange, Colour(150, 60, 200, 255)};
    for (int i = 0; i < 6; ++i) // pencil, brush, chalk, marker, crayon, airbrush: mirrored into every corner
        paint(i < 2 ? i : i + 1, colours[i], {{12, 12 + 17 * i, 1}, {40, 18 + 17 * i, 1}, {70, 12 + 17 * i, 1}, {70, 12 + 17 * i, 0}});
    paint(ToolType::Eraser, Teal, {{30, 5, 1}, {30, 100, 1}, {30, 100, 0}});
    for (const auto& s : {std::array<int, 5>{ToolType::Rectangle, 95, 20, 150, 75}, {ToolType::Line, 170, 20, 225, 75},
                          {ToolType::Circle, 95, 90, 150, 145}, {ToolType::Triangle, 170, 90, 225, 145},
                          {ToolType::Star, 95, 160, 150, 215}}) // shapes, a fill and a stamp: not mirrored
        paint(s[0], Teal, {{s[1], s[2], 1}, {s[3], s[4], 1}, {s[3], s[4], 0}});
    studio->setToolPattern(4);
    paint(ToolType::Fill, Orange, {{120, 45, 1}, {120, 45, 0}});
    studio->stampNumber = 9;
    paint(ToolType::Stamp, Orange, {{200, 190, 1}, {200, 190, 0}});
    expectScreenGolden("tools_mirrored");

    make(640, 480); // a rectangle dragged on a picture shown at half size
    paint(ToolType::Rectangle, Blue, {{60, 50, 1}, {200, 150, 1}});
    expectScreenGolden("preview_picture");
    make(320, 240, StudioMode::Flipbook); // and on frame 3, over the veiled frame 2
    studio->setFrame(2);
    paint(ToolType::Brush, Black, {{40, 200, 1}, {280, 200, 1}, {280, 200, 0}});
    studio->setFrame(3);
    paint(ToolType::Rectangle, Red, {{60, 50, 1}, {200, 150, 1}});
    expectScreenGolden("preview_frame");

    make(320, 240, StudioMode::Flipbook); // frame 1 over the veiled frame 0, erased down to it
    studio->setToolSize(ToolSize::Large);
    for (int y = 40; y <= 200; y += 40)
        touch({{30, y, 1}, {290, y, 1}, {290, y, 0}});
    studio->setFrame(1);
    paint(ToolType::Fill, Red, {{5, 5, 1}, {5, 5, 0}});
    paint(ToolType::Eraser, Red, {{160, 10, 1}, {160, 230, 1}, {160, 230, 0}});
    expectScreenGolden("frame_over_veil");
}
}
