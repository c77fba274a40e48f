// Pictures and animations saved into the player's slots through the real
// profile and loaded back; unreadable and unwritable files.
#include "StudioTestSupport.h"

#include <fstream>

using namespace StudioTest;
using DrawingTest::pixels16;

namespace
{
std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
}

class StudioSave : public StudioFixture
{
protected:
    void listen()
    {
        studio->saveEvent +=
            new Event<void, const ImageSaveEventArgs&>::MethodDelegate<StudioSave>(this, &StudioSave::onSave);
    }
    void onSave(const ImageSaveEventArgs& args) { savedSlots.push_back(args.savedSlot); }
    // Strokes in three colours, so that every channel is kept.
    void paint(int seed)
    {
        const Colour colours[] = {Colour(255, 0, 0, 255), Colour(0, 200, 60, 255), Colour(30, 40, 250, 255)};
        for (int i = 0; i < 3; ++i)
            studio->setForegroundColor(colours[(i + seed) % 3]), stroke(20 + 40 * i + seed, 30 + 50 * i);
    }
    std::vector<std::vector<std::uint16_t>> frames() const
    {
        std::vector<std::vector<std::uint16_t>> all;
        for (int f = 0; f < studio->frameCount; ++f)
            all.push_back(pixels16(*studio->getFrame(f)->getLayer()));
        return all;
    }
    std::vector<int> savedSlots;
};

TEST_F(StudioSave, SlotsHoldEveryPixelAndLoadBack)
{
    for (StudioMode::Type mode : {StudioMode::Art, StudioMode::Flipbook})
    {
        make(320, 240, mode);
        listen();
        for (int f : {0, 2, 5})
            studio->setFrame(mode ? f : 0), paint(f);
        const auto drawn = frames();
        studio->saveImage(1);
        EXPECT_TRUE(studio->saved);
        EXPECT_EQ(mode ? std::vector<int>() : std::vector<int>{1}, savedSlots);
        TexturePtr file = Texture::fromFile(player().toImagePath(1));
        EXPECT_TRUE(mode || drawn[0] == pixels16(Layer(Studio::toCanvasPicture(file), 128)));
        for (int f = 0; mode && f < 12; ++f)
            EXPECT_TRUE(std::filesystem::exists(player().toAnimationPath(1, f))) << f;
        make(320, 240, mode);
        studio->setFrame(mode ? 8 : 0);
        stroke(200, 200);
        studio->loadImage(1);
        EXPECT_TRUE(drawn == frames() && studio->saved && studio->canvas->getUndoCount() == 0) << mode;
        EXPECT_EQ(mode ? 8 : 0, studio->currentFrame);
        studio->loadImage(2);
        EXPECT_TRUE(drawn == frames()) << "an empty slot changes nothing";
        savedSlots.clear();
    }
    EXPECT_EQ(6, player().frameCounts[1]);
    EXPECT_TRUE(std::filesystem::exists(player().getAnimationDataPath()));
}

TEST_F(StudioSave, ALoadedPictureBringsItsSizeAndMirrorsAboutItsCentre)
{
    make(640, 480);
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

TEST_F(StudioSave, UnreadableFilesNeverReachACanvasAndFailedWritesKeepThePictureUnsaved)
{
    make(320, 240);
    TexturePtr wide(new Texture(1100, 8, PixelFormat::RGBA8888, true, 255));
    ASSERT_TRUE(wide->save(player().toImagePath(3)));
    studio->saveImage(0);
    const std::string good = readFile(player().toImagePath(0));
    for (const std::string& bytes : {std::string("garbage"), good.substr(0, 300), readFile(player().toImagePath(3))})
    {
        std::ofstream(player().toImagePath(3), std::ios::binary | std::ios::trunc) << bytes;
        stroke(100, 100);
        const std::string said = ProfileTest::output([&] { studio->loadImage(3); });
        EXPECT_NE(std::string::npos, said.find("Could not load picture slot 3")) << said;
        EXPECT_TRUE(pixel(110, 100) == Black && !studio->saved) << "the picture stays";
    }
    // A folder where a picture file should go cannot be replaced by the file.
    listen();
    std::filesystem::create_directories(player().toImagePath(5));
    ProfileTest::output([&] { studio->saveImage(5); });
    EXPECT_TRUE(!studio->saved && savedSlots.empty());

    // In an animation an unreadable frame becomes blank; the others load.
    make(320, 240, StudioMode::Flipbook);
    studio->setFrame(2), stroke(100, 100), studio->setFrame(3), stroke(100, 100);
    studio->saveImage(2);
    std::ofstream(player().toAnimationPath(2, 3), std::ios::binary | std::ios::trunc) << "garbage";
    stroke(150, 150);
    const std::string said = ProfileTest::output([&] { studio->loadImage(2); });
    EXPECT_NE(std::string::npos, said.find("frame 3 of animation slot 2")) << said;
    EXPECT_TRUE(pixel(2, 110, 100) == Black && pixel(3, 110, 100) == Clear && pixel(3, 160, 150) == Clear);
    std::filesystem::create_directories(player().toAnimationPath(0, 4));
    stroke(100, 100);
    ProfileTest::output([&] { studio->saveImage(0); });
    EXPECT_FALSE(studio->saved);
}
