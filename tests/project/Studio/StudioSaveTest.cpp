// Pictures and animations saved into the player's slots through the real
// profile, loaded back, and what becomes of unreadable or unwritable files.
#include "StudioTestSupport.h"

#include <fstream>

using namespace Tovrane;
using namespace StudioTest;
using DrawingTest::Black;
using DrawingTest::Clear;
using DrawingTest::White;
using DrawingTest::pixels16;

namespace
{
struct SaveListener
{
    void onSave(const ImageSaveEventArgs& args) { slots.push_back(args.savedSlot); }
    std::vector<int> slots;
};

ScrivletPlayer& player() { return *ScrivletPlayer::getCurrentPlayerData(); }

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}

class StudioSave : public StudioFixture
{
protected:
    // Strokes in three colours, so that every channel is kept.
    void paint(int seed)
    {
        const Colour colours[] = {Colour(255, 0, 0, 255), Colour(0, 200, 60, 255), Colour(30, 40, 250, 255)};
        for (int i = 0; i < 3; ++i)
        {
            studio->setForegroundColor(colours[(i + seed) % 3]);
            stroke(20 + 40 * i + seed, 30 + 50 * i);
        }
    }
    SaveListener listener;
};

TEST_F(StudioSave, AnArtSlotHoldsTheCanvasAndLoadsBackWhole)
{
    make(320, 240);
    studio->saveEvent += new Event<void, const ImageSaveEventArgs&>::MethodDelegate<SaveListener>(
        &listener, &SaveListener::onSave);
    paint(0);
    EXPECT_FALSE(studio->saved);
    studio->saveImage(2);
    EXPECT_TRUE(studio->saved);
    EXPECT_EQ(std::vector<int>{2}, listener.slots);
    const std::vector<std::uint16_t> drawn = pixels16(*studio->canvas->getLayer());
    EXPECT_EQ(drawn, pixels16(Layer(Studio::toCanvasPicture(Texture::fromFile(player().toImagePath(2))), 128)));

    make(320, 240);
    stroke(200, 200);
    studio->loadImage(2);
    EXPECT_EQ(drawn, pixels16(*studio->canvas->getLayer()));
    EXPECT_TRUE(studio->saved);
    EXPECT_EQ(0, studio->canvas->getUndoCount());
    studio->loadImage(5);
    EXPECT_EQ(drawn, pixels16(*studio->canvas->getLayer())) << "an empty slot changes nothing";
}

TEST_F(StudioSave, AnAnimationSlotHoldsTwelveFramesAndItsCount)
{
    make(320, 240, StudioMode::Flipbook);
    studio->saveEvent += new Event<void, const ImageSaveEventArgs&>::MethodDelegate<SaveListener>(
        &listener, &SaveListener::onSave);
    for (int f : {0, 2, 5})
    {
        studio->setFrame(f);
        paint(f);
    }
    std::vector<std::vector<std::uint16_t>> frames;
    for (int f = 0; f < 12; ++f)
        frames.push_back(pixels16(*studio->getFrame(f)->getLayer()));
    studio->saveImage(1);
    EXPECT_TRUE(studio->saved);
    EXPECT_TRUE(listener.slots.empty()) << "only pictures are announced";
    for (int f = 0; f < 12; ++f)
        EXPECT_TRUE(std::filesystem::exists(player().toAnimationPath(1, f))) << f;
    EXPECT_TRUE(std::filesystem::exists(player().getAnimationDataPath()));
    EXPECT_EQ(6, player().frameCounts[1]);

    make(320, 240, StudioMode::Flipbook);
    studio->setFrame(8);
    studio->loadImage(1);
    EXPECT_EQ(8, studio->currentFrame);
    EXPECT_EQ(6, studio->framesUsed);
    for (int f = 0; f < 12; ++f)
        EXPECT_EQ(frames[f], pixels16(*studio->getFrame(f)->getLayer())) << f;
}

TEST_F(StudioSave, ALoadedPictureBringsItsSizeAndMirrorsAboutItsCentre)
{
    make(640, 480);
    studio->saveImage(3);
    make(320, 240);
    studio->setSymmetryType(SymmetryType::LeftRight);
    studio->toggleZoom();
    studio->loadImage(3);
    EXPECT_EQ(640, studio->width);
    EXPECT_EQ(480, studio->height);
    EXPECT_FALSE(studio->zoomed) << "the load fitted the view";
    EXPECT_EQ(tFixed(0.5f), studio->canvas->getZoom());
    EXPECT_EQ(tFixed(480), studio->shapeNode->getPosition().y);
    touch({{40, 60, 1}, {40, 60, 0}}); // picture point (80, 120)
    EXPECT_EQ(Black, pixel(80, 120));
    EXPECT_EQ(Black, pixel(560, 120));
    EXPECT_EQ(White, pixel(240, 120));
}

TEST_F(StudioSave, UnreadableFilesNeverReachACanvas)
{
    make(320, 240);
    studio->saveImage(0);
    const std::string good = readFile(player().toImagePath(0));
    TexturePtr wide(new Texture(1100, 8, PixelFormat::RGBA8888, true, 255));
    ASSERT_TRUE(wide->save(player().toImagePath(3)));
    const std::string tooWide = readFile(player().toImagePath(3));
    const struct
    {
        const char* name;
        std::string bytes;
    } files[] = {{"garbage", "not a picture at all"}, {"cut", good.substr(0, good.size() / 2)}, {"too wide", tooWide}};
    for (const auto& file : files)
    {
        SCOPED_TRACE(file.name);
        writeFile(player().toImagePath(3), file.bytes);
        stroke(100, 100);
        const std::string said = ProfileTest::output([&] { studio->loadImage(3); });
        EXPECT_NE(std::string::npos, said.find("Could not load picture slot 3")) << said;
        EXPECT_EQ(Black, pixel(110, 100)) << "the picture stays";
        EXPECT_FALSE(studio->saved);
    }

    // In an animation the unreadable frame becomes blank; the others load.
    make(320, 240, StudioMode::Flipbook);
    for (int f : {2, 3})
    {
        studio->setFrame(f);
        stroke(100, 100);
    }
    studio->saveImage(2);
    writeFile(player().toAnimationPath(2, 3), "garbage");
    studio->setFrame(0);
    studio->setFrame(3);
    stroke(150, 150);
    const std::string said = ProfileTest::output([&] { studio->loadImage(2); });
    EXPECT_NE(std::string::npos, said.find("frame 3 of animation slot 2")) << said;
    EXPECT_EQ(Black, pixel(2, 110, 100));
    EXPECT_EQ(Clear, pixel(3, 110, 100));
    EXPECT_EQ(Clear, pixel(3, 160, 150));
}

TEST_F(StudioSave, AFailedWriteKeepsThePictureUnsaved)
{
    make(320, 240);
    studio->saveEvent += new Event<void, const ImageSaveEventArgs&>::MethodDelegate<SaveListener>(
        &listener, &SaveListener::onSave);
    // A folder where the picture file should go cannot be replaced by a file.
    std::filesystem::create_directories(player().toImagePath(5));
    std::filesystem::create_directories(player().toAnimationPath(0, 4));
    stroke(100, 100);
    ProfileTest::output([&] { studio->saveImage(5); });
    EXPECT_FALSE(studio->saved);
    EXPECT_TRUE(listener.slots.empty());

    studio->setMode(StudioMode::Flipbook);
    stroke(100, 100);
    ProfileTest::output([&] { studio->saveImage(0); });
    EXPECT_FALSE(studio->saved);
}
