// The free-drawing state: its tutorials, music, badges, panning, the
// pictures it opens, its exit, and the looks the studio's buttons keep.
#include "project/Studio/FreeDrawTestSupport.h"

#include "Resources/Studio/FlipbookController.h"
#include "Tovrane/GameStateHandler.h"

#include "CAppManager.h"

using namespace FreeDrawTest;

namespace
{
class FreeDrawStateThreadTest : public FreeDrawFixture
{
protected:
    bool lit(const ToolbarPtr& toolbar) { return toolbar->getToolbarHighlight()->cullingMode == CullingMode::Show; }
    bool lit(const ToolbarPtr& toolbar, int button)
    {
        const SpatialPtr highlight = toolbar->getButton(button)->highlight;
        return highlight && highlight->cullingMode == CullingMode::Show;
    }
    // The screen's pixels in the rectangle (y up), as drawn by the last frame.
    static std::vector<Rgba> region(int left, int bottom, int w, int h)
    {
        std::vector<Rgba> pixels;
        for (int y = bottom; y < bottom + h; ++y)
            for (int x = left; x < left + w; ++x)
                pixels.push_back(StateTestSupport::pixelAt(x, y));
        return pixels;
    }
    // Frames until the tutorial reaches the step (at most ten seconds).
    void untilStep(int step)
    {
        for (int i = 0; i < 500 && state->getTutorialStep() != step; ++i)
            frames(1);
        ASSERT_EQ(step, state->getTutorialStep());
    }
    // The last track started.
    std::string music()
    {
        const std::string heard = audio->take();
        const size_t at = heard.rfind("h_MUSIC_");
        return at == std::string::npos ? "" : heard.substr(at, heard.find(' ', at) - at);
    }
};

TEST_F(FreeDrawStateThreadTest, TheFirstBlankVisitSpeaksItsTutorialAndDropsInputMeanwhile)
{
    DrawingStudioState::firstArtModeActivation = true;
    start();
    const std::string firstTrack = music();
    EXPECT_EQ(1, state->getTutorialStep());
    run("draw main:1");
    EXPECT_EQ(0, studio().canvas->getUndoCount()) << "the stroke was dropped";
    EXPECT_EQ("0", screens());
    EXPECT_FALSE(lit(studio().mainToolbar));
    untilStep(2);
    EXPECT_TRUE(lit(studio().mainToolbar)) << "the toolbar is lit while the brush character speaks";
    run("draw");
    untilStep(0);
    EXPECT_FALSE(lit(studio().mainToolbar));
    EXPECT_EQ(0, studio().canvas->getUndoCount());
    run("draw");
    EXPECT_EQ(1, studio().canvas->getUndoCount()) << "input flows once the lines have ended";

    // A second visit in the same run: no tutorial, another track.
    TearDown();
    SetUp();
    DrawingStudioState::firstArtModeActivation = false;
    start();
    EXPECT_EQ(0, state->getTutorialStep());
    EXPECT_NE(firstTrack, music());
}

TEST_F(FreeDrawStateThreadTest, APictureVisitGetsOnlyTheFlipbookTutorial)
{
    DrawingStudioState::firstArtModeActivation = true;
    DrawingStudioState::firstAnimationModeActivation = true;
    const std::string page = StudioTest::scratchRoot().path + "/page.png";
    TexturePtr picture(new Texture(320, 240, PixelFormat::RGBA8888));
    ASSERT_TRUE(picture->save(page));
    start(page);
    EXPECT_EQ(0, state->getTutorialStep());
    EXPECT_EQ(320, studio().canvas->getLayer()->getWidth());
    EXPECT_TRUE(DrawingStudioState::firstArtModeActivation) << "still due for a blank visit";
    run("quiet main:9");
    EXPECT_EQ(3, state->getTutorialStep());
    EXPECT_TRUE(lit(studio().flipbookToolbar));
    untilStep(4);
    EXPECT_FALSE(lit(studio().flipbookToolbar));
    EXPECT_TRUE(lit(studio().flipbookToolbar, FlipbookToolbar::PlayButton));
    untilStep(0);
    EXPECT_FALSE(lit(studio().flipbookToolbar, FlipbookToolbar::PlayButton));
    EXPECT_TRUE(lit(studio().flipbookToolbar, 0));
    run("main:9 quiet main:9 quiet");
    EXPECT_EQ(0, state->getTutorialStep()) << "once per run";
    const std::string heard = audio->take();
    const size_t question = heard.find("h_SCRIVLET_ChooseWhchPgsOfYrFl_3"), play = heard.find("h_SCRIVLET_PlayYrFlp");
    EXPECT_LT(question, play);
    EXPECT_EQ(heard.rfind("h_SCRIVLET_ChooseWhchPgsOfYrFl_3"), question);
    EXPECT_EQ(std::string::npos, heard.find("h_VIDORIV_ThereArSMnyArtTlsTCh_5"));
}

TEST_F(FreeDrawStateThreadTest, TheFirstPictureAndAFullGalleryEarnTheirBadgesOnce)
{
    start();
    const std::string achievements = player().getAchievementDataPath();
    auto badges = [&] {
        const std::string bytes = FreeDrawFixture::bytes(achievements);
        return bytes.size() < 27 ? std::string("none") : std::to_string(bytes[25] != 0) + std::to_string(bytes[26] != 0);
    };
    // Every pop-up is a window of its own.
    NodePtr window = state->getAchievementWindow();
    auto popUp = [&] { return std::exchange(window, state->getAchievementWindow()) != window; };
    run("draw file:save pick:0");
    EXPECT_EQ("10", badges());
    EXPECT_TRUE(popUp());
    run("draw file:save pick:0 yes");
    EXPECT_FALSE(popUp()) << "an earned badge is not announced again";
    for (int slot = 1; slot < 5; ++slot)
        run("draw file:save pick:" + std::to_string(slot));
    EXPECT_EQ("10", badges());
    EXPECT_FALSE(popUp());
    run("main:9 draw file:save pick:0 main:9");
    EXPECT_EQ("10", badges()) << "animations earn nothing";
    EXPECT_EQ(StudioMode::Art, studio().mode);
    run("draw file:save pick:5");
    EXPECT_EQ("11", badges());
    EXPECT_TRUE(popUp());
}

TEST_F(FreeDrawStateThreadTest, AHeldDirectionPansTwoPixelsAFrame)
{
    start();
    run("main:7");
    const CanvasPtr canvas = studio().canvas;
    const tFixed x = canvas->getPanX(), y = canvas->getPanY();
    run("down:8 wait:9 up:8");
    EXPECT_EQ(x - tFixed(20), canvas->getPanX()) << "ten frames held";
    run("down:3 wait:4 up:3");
    EXPECT_EQ(y - tFixed(0), canvas->getPanY()) << "up and down together cancel out";
    run("down:2 wait:4 up:2");
    EXPECT_EQ(y + tFixed(10), canvas->getPanY());
}

TEST_F(FreeDrawStateThreadTest, PicturesThatCannotBeReadOrAreTooLargeOpenTheBlankStudio)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(TOVRANE_TEST_DATA) + "/png/malformed"))
        files.push_back(entry.path().string());
    files.push_back(StudioTest::scratchRoot().path + "/missing.png");
    files.push_back(StudioTest::scratchRoot().path + "/wide.png");
    ASSERT_TRUE(TexturePtr(new Texture(1025, 8, PixelFormat::RGBA8888))->save(files.back()));
    ASSERT_GT(files.size(), 20u);
    for (const std::string& file : files)
    {
        SCOPED_TRACE(file);
        TearDown();
        SetUp();
        start(file);
        const LayerPtr layer = studio().canvas->getLayer();
        EXPECT_EQ(640, layer->getWidth());
        EXPECT_EQ(480, layer->getHeight());
        EXPECT_EQ(Rgba(248, 248, 248, 255), layer->getPixel(320, 240)) << "white";
    }
}

// A confirmed quit pops the studio's state once, whatever follows in the same frame.
TEST_F(FreeDrawStateThreadTest, AQuitPopsTheStudioAloneAndTheStateBelowStays)
{
    start("", true);
    for (int i = 0; i < 2; ++i)
    {
        Vantorel::Kelm::tButtonData2 press = {0x100, 0x100, {}}, release = {0, 0x100, {}};
        Vantorel::Kelm::CButtonMPI::PostButtonEvent(press);
        Vantorel::Kelm::CButtonMPI::PostButtonEvent(release);
    }
    frames(3);
    EXPECT_EQ(1u, harness->handler().getStackSize());
    EXPECT_NE(nullptr, harness->currentAs<KeptState>());
    EXPECT_FALSE(CAppManager::Instance()->IsPopRequested());
}

// The zoom button shows the zoom of the frames, the play button the player,
// after every rebuild, load and mode change.
TEST_F(FreeDrawStateThreadTest, ZoomAndPlayButtonsShowTheStateAfterRebuilds)
{
    start();
    frames(1);
    const std::vector<Rgba> zoomIn = region(224, 0, 32, 32);
    run("main:7 wait:1");
    EXPECT_NE(zoomIn, region(224, 0, 32, 32)) << "the zoom-out look";
    run("file:new wait:1");
    EXPECT_FALSE(studio().zoomed);
    EXPECT_EQ(zoomIn, region(224, 0, 32, 32));

    run("main:9 wait:1");
    const std::vector<Rgba> play = region(288, 226, 32, 14);
    run("flip:12 wait:1");
    EXPECT_TRUE(studio().flipbookController->isPlaying());
    EXPECT_NE(play, region(288, 226, 32, 14)) << "the stop look";
    run("main:9 main:9 wait:1");
    EXPECT_FALSE(studio().flipbookController->isPlaying());
    EXPECT_EQ(play, region(288, 226, 32, 14));
}
}
