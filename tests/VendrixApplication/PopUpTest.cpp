// The achievement pop-up: its controller's motion and the window a state shows.
#include "VendrixApplication/StateTestSupport.h"

#include "Tovrane/AudioPlayer.h"
#include "Tovrane/BadgePopUpController.h"
#include "Tovrane/DadUzoFont.h"

using namespace StateTestSupport;
using Tovrane::NodePtr;
using Tovrane::Vector3;

namespace
{
// A window moved by a pop-up controller from (115.5, startY) to (115.5, endY).
struct Window
{
    Window(int startY, int endY) : controller(new Tovrane::BadgePopUpController), node(new Tovrane::Node)
    {
        controller->start = Vector3<tFixed>(tFixed(115.5f), tFixed(startY), tFixed(2));
        controller->end = Vector3<tFixed>(tFixed(115.5f), tFixed(endY), tFixed(2));
        controller->repeatType = Tovrane::RepeatType::PingPong;
        controller->play();
        node->addController(controller);
        node->update(70000); // the first playing step only records the time
    }
    // The height after `ms` of control time.
    tFixed at(unsigned int ms)
    {
        node->update(70000 + ms);
        return node->getPosition().y;
    }
    Tovrane::BadgePopUpControllerPtr controller;
    NodePtr node;
};

TEST(PopUpTest, SlidesInRestsAndSlidesOutInFourSeconds)
{
    Window window(254, 186);
    // 100 ms: f = 0.2 -> 13107 / 65536; -68 * 13107 / 65536 rounds towards minus infinity.
    const tFixed at100 = tFixed::fromRaw((254 << 16) + static_cast<std::int32_t>((-68LL * 65536 * 13107) >> 16));
    const std::pair<unsigned int, tFixed> path[] = {{0, tFixed(254)},    {100, at100},        {250, tFixed(220)},
                                                    {500, tFixed(186)},  {2000, tFixed(186)}, {3500, tFixed(186)},
                                                    {3750, tFixed(220)}, {4000, tFixed(254)}};
    for (const auto& point : path)
    {
        EXPECT_EQ(point.second, window.at(point.first)) << point.first << " ms";
        EXPECT_TRUE(window.controller->isPlaying()) << point.first << " ms";
    }
    EXPECT_EQ(Vector3<tFixed>(tFixed(115.5f), tFixed(254), tFixed(2)), window.node->getPosition());
    EXPECT_EQ(tFixed(254), window.at(4100)) << "stays off-screen";
    EXPECT_FALSE(window.controller->isPlaying());

    Window below(-63, 5);
    EXPECT_EQ(tFixed(-29), below.at(250));
    EXPECT_EQ(tFixed(5), below.at(1000));
}

// The window of a running state.
class PopUpThreadTest : public ::testing::Test
{
protected:
    void SetUp() override { REQUIRE_STATE_TITLE(); }

    ProbeState* start(ProbeState::Action onLoad = ProbeState::Action())
    {
        state = new ProbeState(journal, "S");
        state->onLoad = onLoad;
        handler.push(state);
        EXPECT_TRUE(frames.settle(handler));
        return state;
    }
    // Frames until `ms` have passed.
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

TEST_F(PopUpThreadTest, WindowSlidesOnScreenWithTheSoundAndASecondReplacesIt)
{
    start();
    EXPECT_FALSE(state->isAchievementWindowVisible()) << "no pop-up shown yet";
    state->showAchievementWindow("FIRST", false);
    EXPECT_TRUE(state->getAudioPlayer()->isSfxPlaying());
    NodePtr first = state->getAchievementWindow();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(state->getSceneRoot().get(), first->parent);
    ASSERT_EQ(2, first->getChildQuantity()) << "the picture and the text";
    Tovrane::SpatialPtr text = first->getChild(1);
    ASSERT_TRUE(text->getType().isDerived(Tovrane::DadUzoFont::RuntimeType));
    EXPECT_EQ(Vector3<tFixed>(tFixed(119), tFixed(23), tFixed(0.5f)), text->getPosition());
    frames.step(handler);
    EXPECT_EQ(tFixed(254), first->getPosition().y) << "the first frame shows it at the start";
    EXPECT_TRUE(near(White, pixelAt(120, 190)));
    runFor(1000);
    EXPECT_EQ(tFixed(186), first->getPosition().y);
    // The picture's lower-left corner rests at (115.5, 186).
    EXPECT_TRUE(near(PopUpColour, pixelAt(120, 190)));
    EXPECT_TRUE(near(PopUpColour, pixelAt(310, 236)));

    state->showAchievementWindow("SECOND", false);
    NodePtr second = state->getAchievementWindow();
    EXPECT_NE(first, second);
    EXPECT_EQ(nullptr, first->parent) << "the first window left the scene at once";
    frames.step(handler);
    EXPECT_EQ(tFixed(254), second->getPosition().y) << "the new one starts from the start";
    runFor(1000);
    EXPECT_TRUE(state->isAchievementWindowVisible());
    runFor(3100);
    EXPECT_FALSE(state->isAchievementWindowVisible());
    EXPECT_TRUE(near(White, pixelAt(120, 190))) << "gone again";
    EXPECT_EQ(second, state->getAchievementWindow()) << "the node stays until the next pop-up or exit";
}

// The town map shows its pop-up from load, on the loader thread.
TEST_F(PopUpThreadTest, ShownFromTheLoaderAndReleasedByExit)
{
    start([](ProbeState& self) { self.showAchievementWindow("WELL DONE", true); });
    NodePtr window = state->getAchievementWindow();
    ASSERT_NE(nullptr, window);
    frames.step(handler);
    frames.step(handler);
    EXPECT_GT(window->getPosition().y, tFixed(-63)) << "from below it rises";
    runFor(1000);
    EXPECT_TRUE(state->isAchievementWindowVisible());
    window.reset();
    state->exit();
    EXPECT_EQ(nullptr, state->getAchievementWindow());
    EXPECT_FALSE(state->isAchievementWindowVisible());
}
}
