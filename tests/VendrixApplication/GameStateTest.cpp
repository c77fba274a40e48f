// The game-state base: loading, begin and update, input delivery, listener
// registration, pops and the loader thread's hand-over.
#include "VendrixApplication/StateTestSupport.h"

#include "Tovrane/AudioPlayer.h"

#include "CButtonMPI.h"
#include "CEventMPI.h"

using namespace StateTestSupport;
using Tovrane::Application;
using Vantorel::Kelm::CButtonMPI;
using Vantorel::Kelm::CEventMPI;

namespace
{
void press(std::uint32_t state, std::uint32_t transition)
{
    Vantorel::Kelm::tButtonData2 event = {};
    event.buttonState = state;
    event.buttonTransition = transition;
    CButtonMPI::PostButtonEvent(event);
}

class GameStateThreadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        REQUIRE_STATE_TITLE();
        CAppManager::Instance()->Reset();
    }

    // Pushes the state; with `wait` its loader waits for the latch, otherwise
    // frames run until it has begun.
    ProbeState* push(ProbeState* state, bool wait = false)
    {
        if (wait)
            state->gate = opened;
        handler.push(state);
        EXPECT_TRUE(wait || frames.settle(handler));
        return state;
    }
    void steps(int count)
    {
        for (int i = 0; i < count; ++i)
            frames.step(handler);
    }

    Journal journal;
    std::promise<void> latch; // outlives the handler, which waits for its loaders
    std::shared_future<void> opened = latch.get_future().share();
    Frames frames;
    Tovrane::GameStateHandler handler;
};

TEST_F(GameStateThreadTest, LoadingPictureUntilLoadedThenBeginOnceThenUpdates)
{
    ProbeState* state = push(new ProbeState(journal, "S", true), true);
    for (int i = 0; i < 5; ++i)
    {
        frames.step(handler);
        EXPECT_FALSE(state->isLoaded());
        EXPECT_EQ(0, state->begins + state->updates);
        EXPECT_TRUE(near(LoadingColour, pixelAt(160, 120)));
        EXPECT_TRUE(near(LoadingColour, pixelAt(0, 0))) << "the picture covers the screen";
    }
    EXPECT_EQ(0u, CEventMPI::GetListenerCount()) << "no input while loading";

    latch.set_value();
    ASSERT_TRUE(frames.settle(handler));
    EXPECT_EQ(std::make_pair(1, 0), std::make_pair(state->begins, state->updates)) << "update after begin";
    EXPECT_EQ(nullptr, state->getLoadingRoot()) << "the loading scene is dropped";
    EXPECT_TRUE(near(White, pixelAt(160, 120)));
    EXPECT_EQ(1u, CEventMPI::GetListenerCount());
    steps(9);
    EXPECT_EQ(std::make_tuple(1, 9, frames.now), std::make_tuple(state->begins, state->updates, state->lastUpdateTime));
}

TEST_F(GameStateThreadTest, WhiteWhileLoadingWithoutTheLoadingPicture)
{
    ProbeState* state = push(new ProbeState(journal, "S", false), true);
    steps(2);
    EXPECT_TRUE(near(White, pixelAt(160, 120)));
    EXPECT_EQ(0, state->getLoadingRoot()->getChildQuantity());
    // Suspended and resumed while loading: begin registers the listeners.
    handler.suspend();
    handler.resume();
    EXPECT_EQ(0u, CEventMPI::GetListenerCount());
    latch.set_value();
    ASSERT_TRUE(frames.settle(handler));
    EXPECT_EQ(1u, CEventMPI::GetListenerCount());
}

TEST_F(GameStateThreadTest, HeldRepeatButtonsArriveEveryFrameUntilReleased)
{
    ProbeState* state = new ProbeState(journal, "S");
    state->onLoad = [](ProbeState& self) { self.addRepeatButtons(Vantorel::Kelm::kButtonUp); };
    push(state)->buttons.clear();
    press(0x1, 0x1);
    steps(10);
    ASSERT_EQ(10u, state->buttons.size()) << "one real and nine repeated events";
    for (const Vantorel::Kelm::tButtonData2& repeat : state->buttons)
    {
        EXPECT_EQ(0x1u, repeat.buttonState);
        EXPECT_EQ(0x1u, repeat.buttonTransition) << "a repeat looks like a fresh press";
    }
    press(0x0, 0x1);
    steps(3);
    ASSERT_EQ(11u, state->buttons.size()) << "the release stops the repetition at once";
    EXPECT_EQ(0x0u, state->getHeldButtons());

    // Up and A held together: only Up, in the repeat mask, is repeated.
    state->buttons.clear();
    press(0x11, 0x11);
    steps(2);
    ASSERT_EQ(2u, state->buttons.size());
    EXPECT_EQ(std::make_pair(0x1u, 0x1u),
              std::make_pair(state->buttons[1].buttonState, state->buttons[1].buttonTransition));
    state->buttons.clear();
    press(0x10, 0x1); // Up released, A still held
    steps(2);
    EXPECT_EQ(1u, state->buttons.size());
}

TEST_F(GameStateThreadTest, SuspendAndResumeRegisterListenersAndDrawingModeAgain)
{
    ProbeState* state = new ProbeState(journal, "S");
    state->onLoad = [](ProbeState& self) { self.addRepeatButtons(Vantorel::Kelm::kButtonUp); };
    push(state);
    CButtonMPI buttons;
    state->useDrawingMode(true);
    EXPECT_EQ(Vantorel::Kelm::kTouchModeDrawing, buttons.GetTouchMode());
    buttons.SetTouchMode(Vantorel::Kelm::kTouchModeDefault);
    state->useDrawingMode(true);
    EXPECT_EQ(Vantorel::Kelm::kTouchModeDefault, buttons.GetTouchMode()) << "unchanged: not applied again";
    press(0x1, 0x1);
    frames.step(handler);
    EXPECT_EQ(0x1u, state->getHeldButtons());

    handler.suspend();
    EXPECT_TRUE(state->isSuspended());
    EXPECT_EQ(0u, CEventMPI::GetListenerCount() + CButtonMPI::GetListenerCount());
    press(0x2, 0x2); // nobody listens
    handler.resume();
    EXPECT_FALSE(state->isSuspended());
    EXPECT_EQ(std::make_tuple(1u, 1u, 0x0u),
              std::make_tuple(CEventMPI::GetListenerCount(), CButtonMPI::GetListenerCount(), state->getHeldButtons()));
    EXPECT_EQ(Vantorel::Kelm::kTouchModeDrawing, buttons.GetTouchMode()) << "registration applies the stored mode";
    state->buttons.clear();
    frames.step(handler);
    EXPECT_TRUE(state->buttons.empty()) << "no repeat and no event from the suspended time";
    state->useDrawingMode(false);
    EXPECT_EQ(Vantorel::Kelm::kTouchModeDefault, buttons.GetTouchMode());
}

TEST_F(GameStateThreadTest, ExitWaitsForARunningLoader)
{
    ProbeState* state = new ProbeState(journal, "S");
    bool built = false;
    state->onLoad = [&built](ProbeState& self) {
        // Builds into the scene root, which exit must not release under it.
        self.getSceneRoot()->addChild(Tovrane::NodePtr(new Tovrane::Node));
        built = true;
    };
    push(state, true);
    std::thread releaser([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        latch.set_value();
    });
    state->exit();
    releaser.join();
    EXPECT_TRUE(built && state->isExited());
    EXPECT_EQ(1, state->loadsFinished.load());
    EXPECT_FALSE(state->getSceneRoot() || state->getCamera());
}

TEST_F(GameStateThreadTest, ExitStopsTheAudioIsHarmlessTwiceAndAnEntryLoadsAgain)
{
    ProbeState* state = push(new ProbeState(journal, "S"));
    state->getAudioPlayer()->playSfx(Tovrane::BaseAudio::CorrectAnswer);
    EXPECT_TRUE(state->getAudioPlayer()->isSfxPlaying());
    state->exit();
    EXPECT_FALSE(state->getAudioPlayer()->isSfxPlaying());
    state->exit();
    EXPECT_TRUE(state->isExited() && state->getRenderer()) << "the renderer stays for the next entry";

    state->enter();
    EXPECT_FALSE(state->hasBegun());
    ASSERT_TRUE(frames.settle(handler));
    EXPECT_EQ(std::make_pair(2, 2), std::make_pair(state->loadsFinished.load(), state->begins));
    EXPECT_NE(nullptr, state->getCamera());
}

TEST_F(GameStateThreadTest, PopsWhileLoadingAndSecondPopsAreIgnored)
{
    AppHarness harness;
    harness.enter();
    // [base, K (kept), S]: a second pop of S would drop K and the base.
    ProbeState* kept = new ProbeState(journal, "K", false, true);
    Application::PushGameState(kept);
    ASSERT_TRUE(harness.settle());
    ProbeState* state = new ProbeState(journal, "S");
    state->gate = opened;
    kept->onUpdate = [state](ProbeState&) { Application::PushGameState(state); };
    harness.frame();
    ASSERT_EQ(state, harness.current().get());

    state->popGameState();
    EXPECT_FALSE(state->isPopped()) << "no pop while loading";
    EXPECT_EQ(3u, harness.handler().getStackSize());
    latch.set_value();
    ASSERT_TRUE(harness.settle());
    state->onUpdate = [](ProbeState& self) {
        self.popGameState();
        self.popGameState();
    };
    journal.take();
    harness.frame();
    EXPECT_EQ((std::vector<std::string>{"exit S", "destroy S", "enter K"}), journal.take());
    EXPECT_EQ(2u, harness.handler().getStackSize());
    EXPECT_FALSE(harness.handler().isClosing());
}

TEST(GameStateLifeTest, AStateNeverEnteredIsDestroyedSilently)
{
    Journal journal;
    {
        ProbeState state(journal, "S");
        EXPECT_TRUE(state.isExited() && !state.getRenderer());
    }
    EXPECT_EQ((std::vector<std::string>{"destroy S"}), journal.take());
}

TEST(GameStateDeathTest, DestroyingAnEnteredStateWithoutExitStops)
{
    REQUIRE_STATE_TITLE();
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            Journal journal;
            ProbeState* state = new ProbeState(journal, "S");
            state->enter();
            state->waitForLoader();
            delete state;
        },
        "The GameState's exit routine was not called before destruction");
}
}
