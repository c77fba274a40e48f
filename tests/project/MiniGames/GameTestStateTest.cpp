// The developer test state: the window texts in turn, the test movie and the
// 128 x 128 thumbnail of block averages.
#include "support/GameTitle.h"
#include "support/Golden.h"

#include "Resources/MiniGames/GameTestState.h"
#include "Tovrane/FlashState.h"
#include "Tovrane/Font.h"

#include <unistd.h>

using namespace StateTestSupport;
using Tovrane::GameTestState;
using Tovrane::PixelFormat;
using Tovrane::Texture;
using Tovrane::TexturePtr;

namespace
{
class GameTestStateThreadTest : public GameTitle::Run
{
protected:
    void SetUp() override
    {
        GameTitle::Run::SetUp();
        static Journal journal;
        if (!IsSkipped())
            start([]() -> Tovrane::GameState* { return new ProbeState(journal, "below", false, true); });
    }
    GameTestState* push()
    {
        GameTestState* state = new GameTestState;
        Tovrane::Application::PushGameState(state);
        frame();
        EXPECT_TRUE(harness->settle());
        return state;
    }
    // Presses the buttons and returns the text of the window then showing.
    std::string pressFor(GameTestState* state, std::uint32_t held)
    {
        press(held);
        Tovrane::NodePtr window = state->getAchievementWindow();
        auto text = window ? boost::dynamic_pointer_cast<Tovrane::Font>(window->getChild(1)) : Tovrane::FontPtr();
        return text ? text->getText() : std::string();
    }
};

TEST_F(GameTestStateThreadTest, TextsComeInTurnForEveryInstanceAndButtonAPlaysTheMovie)
{
    GameTestState* state = push();
    EXPECT_TRUE(state->isShowingLoading() && state->isKeptOnStack());
    EXPECT_EQ(1, state->getSceneRoot()->getChildQuantity()) << "the dialog box's base";
    for (int i = 0; i < GameTestState::TextCount; ++i)
        EXPECT_EQ(GameTestState::Texts[i], pressFor(state, 0x20));
    EXPECT_EQ("FIX THE FIREHOUSE", pressFor(state, 0x20 | 0x200)) << "the 22nd, by any event while B is held";
    testing::internal::CaptureStdout();
    frame();
    EXPECT_EQ("VISIBLE\n", testing::internal::GetCapturedStdout());

    // A new instance goes on after the last text shown; with B held A starts nothing.
    Tovrane::Application::PopGameState();
    frame();
    state = push();
    EXPECT_EQ("FIX THE LIBRARY", pressFor(state, 0x30));
    EXPECT_EQ(state, harness->current().get());
    pressFor(state, 0x10);
    auto* movie = harness->currentAs<Tovrane::FlashState>();
    ASSERT_NE(nullptr, movie);
    EXPECT_EQ("flash/test.swf", movie->getMoviePath().substr(movie->getMoviePath().size() - 14));
}

// Thumbnails are written to the current folder: a folder of the test's own.
class GameTestStateThumbnailTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, ::getcwd(previous, sizeof(previous)));
        ASSERT_EQ(0, ::chdir(TestSupport::freshFolder("thumbnail").c_str()));
    }
    void TearDown() override { ASSERT_EQ(0, ::chdir(previous)); }

    // The thumbnail of `source`, read back from its file, and how many of its pixels are not zero.
    TexturePtr thumbnail(TexturePtr source, int& written)
    {
        std::remove("thumbnail.png");
        GameTestState().createThumbnail(source);
        TexturePtr made = Texture::fromFile("thumbnail.png");
        EXPECT_TRUE(made && made->getWidth() == 128 && made->getHeight() == 128);
        written = 0;
        for (int y = 0; made && y < 128; ++y)
            for (int x = 0; x < 128; ++x)
                written += made->getPixel(x, y) != Rgba(0, 0, 0, 0);
        return made;
    }

    char previous[4096];
};

TEST_F(GameTestStateThumbnailTest, BlocksOfFiveAverageTheirColourAndKeepTheLastAlpha)
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
    EXPECT_EQ(PixelFormat::RGB888, made->getFormat());
    EXPECT_EQ(128 * 128, written);
    EXPECT_EQ(Rgba(90, 90, 90, 255), made->getPixel(127, 127));

    // Sources setPixel cannot serve or a PNG file cannot hold give RGBA8888.
    for (PixelFormat::Type format :
         {PixelFormat::Palette8, PixelFormat::RGB565, PixelFormat::RGBA4444, PixelFormat::RGBA5551})
    {
        TexturePtr source(new Texture(10, 5, format, true, 0));
        for (int x = 0; x < 10 && format != PixelFormat::Palette8; ++x)
            for (int y = 0; y < 5; ++y)
                source->setPixel(Rgba(255, 0, 255, 255), x, y);
        if (format == PixelFormat::Palette8)
            source->setPaletteEntry(Rgba(255, 0, 255, 255), 0);
        made = thumbnail(source, written);
        ASSERT_TRUE(made) << format;
        EXPECT_EQ(PixelFormat::RGBA8888, made->getFormat()) << format;
        EXPECT_EQ(source->getPixel(9, 4), made->getPixel(1, 0)) << format;
        EXPECT_EQ(2, written) << format;
    }
}

TEST_F(GameTestStateThumbnailTest, AStudioSizedGradientShrinksToTheReviewedThumbnail)
{
    TexturePtr picture(new Texture(640, 480, PixelFormat::RGBA8888));
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            picture->setPixel(Rgba(x * 255 / 639, y * 255 / 479, (x / 40 + y / 40) % 2 * 160, 255), x, y);
    int written = 0;
    TestSupport::expectGolden(thumbnail(picture, written), std::string(TOVRANE_TEST_DATA) + "/minigames/thumbnail_gradient.png");
    EXPECT_EQ(128 * 96, written);
}
}
