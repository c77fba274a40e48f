// The free-drawing state on the real frame loop.
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
    // The highlights lit, of the main toolbar, the flipbook toolbar and its play button.
    std::string lit()
    {
        std::string shown;
        for (const SpatialPtr& light : {SpatialPtr(studio().mainToolbar->getToolbarHighlight()),
                                        SpatialPtr(studio().flipbookToolbar->getToolbarHighlight()),
                                        studio().flipbookToolbar->getButton(FlipbookToolbar::PlayButton)->highlight})
            shown += light && light->cullingMode == CullingMode::Show ? "1" : "0";
        return shown;
    }
    // Frames until the tutorial reaches the step (at most ten seconds), and the highlights lit then.
    std::string untilStep(int step)
    {
        EXPECT_TRUE(frameUntil([&] { return state->getTutorialStep() == step; }, 500)) << step;
        return lit();
    }
    // The screen's pixels in the rectangle (y up) of the last frame.
    static std::vector<Rgba> region(int left, int bottom, int w, int h)
    {
        std::vector<Rgba> pixels;
        for (int i = 0; i < w * h; ++i)
            pixels.push_back(StateTestSupport::pixelAt(left + i % w, bottom + i / w));
        return pixels;
    }
};

TEST_F(FreeDrawStateThreadTest, TheFirstBlankVisitSpeaksItsTutorialAndDropsInputMeanwhile)
{
    DrawingStudioState::firstArtModeActivation = true;
    start();
    EXPECT_EQ(1, state->getTutorialStep());
    run("draw main:1");
    EXPECT_EQ("100", untilStep(2)) << "lit while the brush character speaks";
    run("draw");
    EXPECT_EQ("000", untilStep(0));
    EXPECT_EQ("0 | 0", screens() + " | " + std::to_string(studio().canvas->getUndoCount())) << "input dropped";
    run("draw");
    EXPECT_EQ(1, studio().canvas->getUndoCount()) << "input flows once the lines have ended";
    const std::string first = heard();
    EXPECT_EQ(0u, first.find("ArtStudioMusic")) << first;
    EXPECT_NE(std::string::npos, first.find("ChooseAnArtTlTUs ThereArSMnyArtTlsTCh"));

    // A second visit in the same run: no tutorial, another track.
    TearDown();
    SetUp();
    start();
    EXPECT_EQ(0, state->getTutorialStep());
    EXPECT_NE(first.substr(0, first.find(' ')), heard().substr(0, first.find(' ')));
}

TEST_F(FreeDrawStateThreadTest, APictureVisitGetsOnlyTheFlipbookTutorialOnce)
{
    DrawingStudioState::firstArtModeActivation = DrawingStudioState::firstAnimationModeActivation = true;
    const std::string page = TestSupport::scratchFolder() + "page.png";
    ASSERT_TRUE(TexturePtr(new Texture(320, 240, PixelFormat::RGBA8888))->save(page));
    start(page);
    EXPECT_TRUE(state->getTutorialStep() == 0 && studio().canvas->getLayer()->getWidth() == 320);
    run("quiet main:9");
    EXPECT_EQ("3 010", std::to_string(state->getTutorialStep()) + " " + lit());
    EXPECT_EQ("001", untilStep(4));
    EXPECT_EQ("000", untilStep(0));
    run("main:9 quiet main:9 quiet");
    EXPECT_EQ(0, state->getTutorialStep()) << "once per run";
    const std::string all = heard();
    EXPECT_NE(std::string::npos, all.find("ChooseWhchPgsOfYrFl PlayYrFlpBkAnmtnByP"));
    EXPECT_EQ(all.find("ChooseWhchPgsOfYrFl"), all.rfind("ChooseWhchPgsOfYrFl"));
    EXPECT_EQ(std::string::npos, all.find("ThereArSMnyArtTlsTCh")) << "no art tutorial on a picture";
}

TEST_F(FreeDrawStateThreadTest, TheFirstPictureAndAFullGalleryEarnTheirBadgesOnce)
{
    start();
    auto badges = [this] {
        const std::string b = TestSupport::readFile(player->getAchievementDataPath());
        return b.size() < 27 ? std::string("none") : std::to_string(b[25] != 0) + std::to_string(b[26] != 0);
    };
    // Every pop-up is a window of its own.
    NodePtr window = state->getAchievementWindow();
    auto popUp = [&] { return std::exchange(window, state->getAchievementWindow()) != window; };
    const std::pair<const char*, const char*> steps[] = {{"draw file:save pick:0", "10+"},
        {"draw file:save pick:0 yes draw file:save pick:1 draw file:save pick:2 draw file:save pick:3", "10"},
        {"draw file:save pick:4 main:9 draw file:save pick:0 main:9", "10"}, {"draw file:save pick:5", "11+"}};
    for (const auto& step : steps)
    {
        run(step.first);
        EXPECT_EQ(step.second, badges() + (popUp() ? "+" : "")) << step.first;
    }
}

TEST_F(FreeDrawStateThreadTest, AHeldDirectionPansTwoPixelsAFrame)
{
    start();
    run("main:7");
    const CanvasPtr canvas = studio().canvas;
    const tFixed x = canvas->getPanX(), y = canvas->getPanY();
    run("down:8 wait:9 up:8 down:3 wait:4 up:3");
    EXPECT_EQ(x - tFixed(20), canvas->getPanX()) << "ten frames held";
    EXPECT_EQ(y, canvas->getPanY()) << "up and down together cancel out";
    run("down:2 wait:4 up:2");
    EXPECT_EQ(y + tFixed(10), canvas->getPanY());
}

TEST_F(FreeDrawStateThreadTest, PicturesThatCannotBeReadOrAreTooLargeOpenTheBlankStudio)
{
    std::vector<std::string> files = {TestSupport::scratchFolder() + "missing.png", TestSupport::scratchFolder() + "wide.png"};
    ASSERT_TRUE(TexturePtr(new Texture(1025, 8, PixelFormat::RGBA8888))->save(files.back()));
    for (const auto& entry : std::filesystem::directory_iterator(std::string(TOVRANE_TEST_DATA) + "/png/malformed"))
        files.push_back(entry.path().string());
    for (const std::string& file : files)
    {
        SCOPED_TRACE(file);
        TearDown();
        SetUp();
        start(file);
        const LayerPtr layer = studio().canvas->getLayer();
        EXPECT_TRUE(layer->getPixel(320, 240) == Rgba(248, 248, 248, 255) && layer->getHeight() == 480) << layer->getWidth() << " wide";
    }
}

TEST_F(FreeDrawStateThreadTest, AQuitPopsTheStudioAloneAndTheStateBelowStays)
{
    start("", true);
    for (std::uint32_t held : {0x100, 0, 0x100, 0}) // two quits in one frame
    {
        Vantorel::Kelm::tButtonData2 data = {held, 0x100, {}};
        Vantorel::Kelm::CButtonMPI::PostButtonEvent(data);
    }
    frames(3);
    EXPECT_TRUE(stackSize() == 1 && harness->currentAs<KeptState>() && !CAppManager::Instance()->IsPopRequested());
}

TEST_F(FreeDrawStateThreadTest, ZoomAndPlayButtonsShowTheStateAfterRebuilds)
{
    start();
    frames(1);
    const std::vector<Rgba> zoomIn = region(224, 0, 32, 32);
    run("main:7 wait:1");
    EXPECT_NE(zoomIn, region(224, 0, 32, 32)) << "the zoom-out look";
    run("file:new wait:1");
    EXPECT_EQ(zoomIn, region(224, 0, 32, 32));
    run("main:9 wait:1");
    const std::vector<Rgba> play = region(288, 226, 32, 14);
    run("flip:12 wait:1");
    EXPECT_NE(play, region(288, 226, 32, 14)) << "the stop look";
    run("main:9 main:9 wait:1");
    EXPECT_FALSE(studio().flipbookController->isPlaying());
    EXPECT_EQ(play, region(288, 226, 32, 14));
}
}
