// The achievement pop-up: its controller's motion and the window a state shows.
#include "VendrixApplication/StateTestSupport.h"

#include "Tovrane/AudioPlayer.h"
#include "Tovrane/BadgePopUpController.h"
#include "Tovrane/DadUzoFont.h"

using namespace StateTestSupport;
using Tovrane::BadgePopUpController;
using Tovrane::BadgePopUpControllerPtr;
using Tovrane::NodePtr;
using Tovrane::Vector3;

namespace
{
// A window node moved by a pop-up controller, stepped by application time.
class PopUpTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        controller.reset(new BadgePopUpController);
        controller->start = Vector3<tFixed>(tFixed(115.5f), tFixed(254), tFixed(2));
        controller->end = Vector3<tFixed>(tFixed(115.5f), tFixed(186), tFixed(2));
        controller->repeatType = Tovrane::RepeatType::PingPong;
        controller->play();
        window.reset(new Tovrane::Node);
        window->addController(controller);
        window->update(t0); // the first playing step only records the time
    }

    // The window's position after `ms` of control time.
    Vector3<tFixed> at(unsigned int ms)
    {
        window->update(t0 + ms);
        return window->getPosition();
    }

    const unsigned int t0 = 70000;
    BadgePopUpControllerPtr controller;
    NodePtr window;
};

TEST_F(PopUpTest, SlidesInRestsAndSlidesOut)
{
    EXPECT_EQ(tFixed(254), at(0).y);
    EXPECT_EQ(Vector3<tFixed>(tFixed(115.5f), tFixed(220), tFixed(2)), at(250)) << "halfway down";
    EXPECT_EQ(tFixed(186), at(500).y);
    EXPECT_EQ(tFixed(186), at(2000).y);
    EXPECT_EQ(tFixed(186), at(3500).y);
    EXPECT_EQ(Vector3<tFixed>(tFixed(115.5f), tFixed(220), tFixed(2)), at(3750)) << "halfway out";
    EXPECT_EQ(tFixed(254), at(4000).y);
    EXPECT_EQ(tFixed(254), at(9000).y) << "stays off-screen";
}

TEST_F(PopUpTest, FractionIsTruncatedToSixteenBits)
{
    // 100 ms: f = 0.2 -> 13107 / 65536; -68 * 13107 / 65536 rounds towards minus infinity.
    const std::int32_t expected = (254 << 16) + static_cast<std::int32_t>((-68LL * 65536 * 13107) >> 16);
    EXPECT_EQ(expected, at(100).y.getRaw());
}

TEST_F(PopUpTest, PlaysForFourSecondsOfControlTime)
{
    at(1000);
    EXPECT_TRUE(controller->isPlaying());
    at(4000);
    EXPECT_TRUE(controller->isPlaying());
    at(4100);
    EXPECT_FALSE(controller->isPlaying());
}

TEST_F(PopUpTest, FromBelowRisesFromUnderTheBottomEdge)
{
    controller->start = Vector3<tFixed>(tFixed(115.5f), tFixed(-63), tFixed(2));
    controller->end = Vector3<tFixed>(tFixed(115.5f), tFixed(5), tFixed(2));
    EXPECT_EQ(tFixed(-29), at(250).y);
    EXPECT_EQ(tFixed(5), at(1000).y);
}

// The window of a running state.
class PopUpThreadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        REQUIRE_STATE_TITLE();
        state = new ProbeState(journal, "S");
        handler.push(state);
        ASSERT_TRUE(frames.settle(handler));
    }

    // Frames until `ms` have passed since the last show.
    void runFor(unsigned int ms)
    {
        for (unsigned int passed = 0; passed < ms; passed += 20)
            frames.step(handler);
    }

    Journal journal;
    Frames frames;
    Tovrane::GameStateHandler handler;
    ProbeState* state = nullptr;
};

TEST_F(PopUpThreadTest, WindowSlidesOnScreenWithTheAchievementSound)
{
    EXPECT_FALSE(state->isAchievementWindowVisible()) << "no pop-up shown yet";
    state->showAchievementWindow("FIX THE LIBRARY", false);
    EXPECT_TRUE(state->getAudioPlayer()->isSfxPlaying());

    NodePtr window = state->getAchievementWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(state->getSceneRoot().get(), window->parent);
    ASSERT_EQ(2, window->getChildQuantity()) << "the picture and the text";
    Tovrane::SpatialPtr text = window->getChild(1);
    ASSERT_TRUE(text->getType().isDerived(Tovrane::DadUzoFont::RuntimeType));
    EXPECT_EQ(Vector3<tFixed>(tFixed(119), tFixed(23), tFixed(0.5f)), text->getPosition());

    frames.step(handler);
    EXPECT_EQ(tFixed(254), window->getPosition().y) << "the first frame shows it at the start";
    EXPECT_TRUE(near(Rgba(255, 255, 255, 255), pixelAt(120, 190)));

    runFor(1000);
    EXPECT_TRUE(state->isAchievementWindowVisible());
    EXPECT_EQ(tFixed(186), window->getPosition().y);
    // The picture's lower-left corner rests at (115.5, 186).
    EXPECT_TRUE(near(PopUpColour, pixelAt(120, 190))) << describe(pixelAt(120, 190));
    EXPECT_TRUE(near(PopUpColour, pixelAt(310, 236))) << describe(pixelAt(310, 236));

    runFor(3100);
    EXPECT_FALSE(state->isAchievementWindowVisible());
    EXPECT_TRUE(near(Rgba(255, 255, 255, 255), pixelAt(120, 190))) << "gone again";
    EXPECT_EQ(window, state->getAchievementWindow()) << "the node stays until the next pop-up or exit";
}

TEST_F(PopUpThreadTest, ASecondPopUpReplacesTheFirstAtOnce)
{
    state->showAchievementWindow("FIRST", false);
    runFor(1500);
    NodePtr first = state->getAchievementWindow();
    ASSERT_EQ(tFixed(186), first->getPosition().y);

    state->showAchievementWindow("SECOND", false);
    NodePtr second = state->getAchievementWindow();
    EXPECT_NE(first, second);
    EXPECT_EQ(nullptr, first->parent) << "the first window left the scene";
    frames.step(handler);
    EXPECT_EQ(tFixed(254), second->getPosition().y) << "the new one starts from the start";
    runFor(1000);
    EXPECT_TRUE(state->isAchievementWindowVisible());
}

TEST_F(PopUpThreadTest, ExitReleasesTheWindow)
{
    state->showAchievementWindow("BYE", true);
    NodePtr window = state->getAchievementWindow();
    frames.step(handler);
    frames.step(handler);
    EXPECT_GT(window->getPosition().y, tFixed(-63)) << "from below it rises";
    window.reset();
    handler.getCurrent()->waitForLoader();
    state->exit();
    EXPECT_EQ(nullptr, state->getAchievementWindow());
    EXPECT_FALSE(state->isAchievementWindowVisible());
}

// The town map shows its pop-up from load, on the loader thread.
TEST(PopUpFromLoaderThreadTest, ShownWhileLoading)
{
    REQUIRE_STATE_TITLE();
    Journal journal;
    Frames frames;
    Tovrane::GameStateHandler handler;
    ProbeState* state = new ProbeState(journal, "S");
    state->onLoad = [](ProbeState& self) { self.showAchievementWindow("WELL DONE", false); };
    handler.push(state);
    ASSERT_TRUE(frames.settle(handler));
    EXPECT_NE(nullptr, state->getAchievementWindow());
    for (int i = 0; i < 50; ++i)
        frames.step(handler);
    EXPECT_TRUE(state->isAchievementWindowVisible());
}
}
