// The developer test state: the window texts in turn, the test movie and the
// 128 x 128 thumbnail of block averages.
#include "GamesTestSupport.h"
#include "support/Golden.h"

#include "Resources/MiniGames/GameTestState.h"
#include "Tovrane/FlashState.h"
#include "Tovrane/Font.h"

#include <unistd.h>

using namespace GamesTest;
using StateTestSupport::Rgba;

namespace
{
using GameTestStateThreadTest = GameFixture;

TEST_F(GameTestStateThreadTest, TextsComeInTurnForEveryInstanceAndButtonAPlaysTheMovie)
{
    GameTestState* state = start(new GameTestState);
    // Presses the buttons and gives the text of the window then showing.
    const auto pressFor = [&](std::uint32_t held) {
        press(held);
        NodePtr window = state->getAchievementWindow();
        FontPtr text = window ? boost::dynamic_pointer_cast<Font>(window->getChild(1)) : FontPtr();
        return text ? text->getText() : std::string();
    };
    EXPECT_TRUE(state->isShowingLoading() && state->isKeptOnStack());
    EXPECT_EQ(1, state->getSceneRoot()->getChildQuantity()) << "the dialog box's base";
    for (int i = 0; i < GameTestState::TextCount; ++i)
        EXPECT_EQ(GameTestState::Texts[i], pressFor(0x20));
    EXPECT_EQ("FIX THE FIREHOUSE", pressFor(0x20 | 0x200)) << "the 22nd, by any event while B is held";
    testing::internal::CaptureStdout();
    frame();
    EXPECT_EQ("VISIBLE\n", testing::internal::GetCapturedStdout());

    // A new instance goes on after the last text shown; with B held A starts nothing.
    Application::PopGameState();
    frame();
    state = start(new GameTestState);
    EXPECT_EQ("FIX THE LIBRARY", pressFor(0x30));
    EXPECT_EQ(state, harness->current().get());
    pressFor(0x10);
    auto* movie = harness->currentAs<FlashState>();
    ASSERT_NE(nullptr, movie);
    EXPECT_EQ("flash/test.swf", movie->getMoviePath().substr(movie->getMoviePath().size() - 14));
}

// The thumbnail of `source`, read back from the file written to the current
// folder (one of the test's own), and how many of its pixels are not zero.
TexturePtr thumbnail(TexturePtr source, int& written)
{
    char previous[4096];
    EXPECT_TRUE(::getcwd(previous, sizeof(previous)) && ::chdir(TestSupport::freshFolder("thumbnail").c_str()) == 0);
    GameTestState().createThumbnail(source);
    TexturePtr made = Texture::fromFile("thumbnail.png");
    EXPECT_TRUE(made && made->getWidth() == 128 && made->getHeight() == 128 && ::chdir(previous) == 0);
    written = 0;
    for (int i = 0; made && i < 128 * 128; ++i)
        written += made->getPixel(i % 128, i / 128) != Rgba(0, 0, 0, 0);
    return made;
}

TEST(GameTestStateThumbnailTest, BlocksOfFiveAverageTheirColourAndKeepTheLastAlpha)
{
    int written = 0;
    // A block whose reds add up to 49 and whose last pixel has alpha 77.
    TexturePtr block(new Texture(7, 7, PixelFormat::RGBA8888, true, 255));
    for (int i = 0; i < 25; ++i)
        block->setPixel(Rgba(i < 24 ? 2 : 1, 255, 0, i == 24 ? 77 : 200), i / 5, i % 5);
    EXPECT_EQ(Rgba(1, 255, 0, 77), thumbnail(block, written)->getPixel(0, 0));
    EXPECT_EQ(1, written) << "7 x 7 fills one pixel";
    thumbnail(TexturePtr(new Texture(4, 4, PixelFormat::RGBA8888, true, 255)), written);
    EXPECT_EQ(0, written) << "4 x 4 fills none, and the file is still saved";

    // Larger than 640: the blocks beyond the thumbnail are skipped.
    TexturePtr made = thumbnail(TexturePtr(new Texture(700, 700, PixelFormat::RGB888, true, 90)), written);
    EXPECT_TRUE(made->getFormat() == PixelFormat::RGB888 && written == 128 * 128);
    EXPECT_EQ(Rgba(90, 90, 90, 255), made->getPixel(127, 127));

    // Sources setPixel cannot serve or a PNG file cannot hold give RGBA8888.
    for (PixelFormat::Type format : {PixelFormat::Palette8, PixelFormat::RGB565, PixelFormat::RGBA4444, PixelFormat::RGBA5551})
    {
        TexturePtr source(new Texture(10, 5, format, true, 0));
        for (int i = 0; i < 50 && format != PixelFormat::Palette8; ++i)
            source->setPixel(Rgba(255, 0, 255, 255), i % 10, i / 10);
        if (format == PixelFormat::Palette8)
            source->setPaletteEntry(Rgba(255, 0, 255, 255), 0);
        ASSERT_TRUE(made = thumbnail(source, written)) << format;
        EXPECT_TRUE(made->getFormat() == PixelFormat::RGBA8888 && written == 2) << format;
        EXPECT_EQ(source->getPixel(9, 4), made->getPixel(1, 0)) << format;
    }

    // A studio-sized gradient shrinks to the reviewed thumbnail.
    TexturePtr picture(new Texture(640, 480, PixelFormat::RGBA8888));
    for (int i = 0; i < 640 * 480; ++i)
        picture->setPixel(Rgba(i % 640 * 255 / 639, i / 640 * 255 / 479, (i % 640 / 40 + i / 640 / 40) % 2 * 160, 255), i % 640, i / 640);
    TestSupport::expectGolden(thumbnail(picture, written), std::string(TOVRANE_TEST_DATA) + "/minigames/thumbnail_gradient.png");
    EXPECT_EQ(128 * 96, written);
}
}
