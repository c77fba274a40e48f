// Pictures and animations saved into the player's slots through the real
// profile and loaded back; unreadable and unwritable files.
#include "StudioTestSupport.h"

#include <fstream>

using namespace StudioTest;
using DrawingTest::pixels16;

class StudioSave : public StudioFixture
{
protected:
    void listen()
    {
        studio->saveEvent +=
            new Event<void, const ImageSaveEventArgs&>::MethodDelegate<StudioSave>(this, &StudioSave::onSave);
    }
    void onSave(const ImageSaveEventArgs& args) { savedSlots.push_back(args.savedSlot); }
    std::vector<std::vector<std::uint16_t>> frames() const
    {
        std::vector<std::vector<std::uint16_t>> all;
        for (int f = 0; f < studio->frameCount; ++f)
            all.push_back(pixels16(*studio->getFrame(f)->getLayer()));
        return all;
    }
    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void write(const std::string& path, const std::string& s) { std::ofstream(path, std::ios::binary) << s; }
    std::vector<int> savedSlots;
};

TEST_F(StudioSave, SlotsHoldEveryPixelAndLoadBack)
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
            EXPECT_TRUE(std::filesystem::exists(player().toAnimationPath(1, f))) << f;
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
    ASSERT_TRUE(TexturePtr(new Texture(1100, 8, PixelFormat::RGBA8888, true, 255))->save(player().toImagePath(3)));
    studio->saveImage(0);
    for (const std::string& bytes : {std::string("garbage"), read(player().toImagePath(0)).substr(0, 300),
                                     read(player().toImagePath(3))}) // garbage, cut, too wide
    {
        write(player().toImagePath(3), bytes);
        stroke(100, 100);
        const std::string said = ProfileTest::output([&] { studio->loadImage(3); });
        EXPECT_NE(std::string::npos, said.find("Could not load picture slot 3")) << said;
        EXPECT_TRUE(pixel(110, 100) == Black && !studio->saved) << "the picture stays";
    }
    listen(); // a folder where the file should go cannot be replaced by it
    std::filesystem::create_directories(player().toImagePath(5));
    ProfileTest::output([&] { studio->saveImage(5); });
    EXPECT_TRUE(!studio->saved && savedSlots.empty());

    make(320, 240, StudioMode::Flipbook); // in an animation an unreadable frame becomes blank
    studio->setFrame(2), stroke(100, 100), studio->setFrame(3), stroke(100, 100);
    studio->saveImage(2);
    write(player().toAnimationPath(2, 3), "garbage");
    stroke(150, 150);
    const std::string said = ProfileTest::output([&] { studio->loadImage(2); });
    EXPECT_NE(std::string::npos, said.find("frame 3 of animation slot 2")) << said;
    EXPECT_TRUE(pixel(2, 110, 100) == Black && pixel(3, 110, 100) == Clear && pixel(3, 160, 150) == Clear);
    std::filesystem::create_directories(player().toAnimationPath(0, 4));
    stroke(100, 100);
    ProfileTest::output([&] { studio->saveImage(0); });
    EXPECT_FALSE(studio->saved);
}
