// Application time across suspensions, and the application driving its states.
#include "VendrixApplication/StateTestSupport.h"

using namespace StateTestSupport;
using Tovrane::Application;
using Vantorel::Kelm::CKernelMPI;

namespace
{
void pass(unsigned int milliseconds) { CKernelMPI::AdvanceVirtualClock(milliseconds); }

TEST(ApplicationTest, TimeStandsStillWhileSuspendedSpansAddUpAndEverythingWrapsAtThirtyTwoBits)
{
    CKernelMPI::UseVirtualClock(10000);
    Application app(nullptr);
    app.Resume(); // unmatched: changes nothing
    EXPECT_EQ(10000u, app.getApplicationTime()) << "an absolute clock, not starting at 0";
    app.Suspend();
    pass(15000);
    app.Suspend(); // the span counts from the first Suspend
    pass(1000);
    EXPECT_EQ(10000u, app.getApplicationTime());
    app.Resume();
    app.Resume();
    pass(16);
    EXPECT_EQ(10016u, app.getApplicationTime());
    app.Suspend();
    pass(2000);
    app.Resume();
    EXPECT_EQ(28016u, Application::getTime()) << "the raw kernel clock goes on";
    EXPECT_EQ(Application::getTime() - 18000u, app.getApplicationTime());
    app.Exit(); // without Enter: nothing to do
    EXPECT_EQ(nullptr, app.getHandler());

    CKernelMPI::UseVirtualClock(0xFFFFFF00u);
    Application wrapping(nullptr);
    wrapping.Suspend();
    pass(0x200); // the kernel clock wraps during the suspension
    wrapping.Resume();
    EXPECT_EQ(0x100u, Application::getTime());
    EXPECT_EQ(0xFFFFFF00u, wrapping.getApplicationTime());
    pass(0x180);
    EXPECT_EQ(0x80u, wrapping.getApplicationTime()) << "application time wraps too";
    wrapping.Suspend();
    pass(0xFFFFFFF0u); // nearly a whole turn of the clock
    wrapping.Resume();
    EXPECT_EQ(0x80u, wrapping.getApplicationTime());
}

// Enter, Update, Suspend, Resume and Exit reach the states.
TEST(ApplicationThreadTest, StatesSeeApplicationTimeAndExitExitsAllBeforeDestroying)
{
    REQUIRE_STATE_TITLE();
    Journal journal;
    AppHarness harness;
    harness.enter();
    EXPECT_EQ("StateTestSupport::BaseState", harness.current()->getStateName()) << "entered at once";
    ProbeState* a = new ProbeState(journal, "A");
    Application::PushGameState(a);
    ASSERT_TRUE(harness.settle());
    ASSERT_EQ(a, harness.current().get());
    harness.frame();
    const unsigned int before = a->lastUpdateTime;
    EXPECT_EQ(harness.app->getApplicationTime(), before);
    harness.app->Suspend();
    CKernelMPI::AdvanceVirtualClock(4000);
    harness.app->Resume();
    harness.frame(16);
    EXPECT_EQ(before + 16, a->lastUpdateTime) << "the suspended span is not seen";

    a->onUpdate = [](ProbeState& self) { Application::PushGameState(new ProbeState(self.journal, "B")); };
    harness.frame();
    ASSERT_TRUE(harness.settle());
    EXPECT_EQ((std::vector<std::string>{"enter A", "suspend A", "resume A", "exit A", "enter B"}), journal.take());
    harness.app->Exit();
    EXPECT_EQ(nullptr, harness.app->getHandler());
    EXPECT_EQ((std::vector<std::string>{"exit B", "exit A", "destroy B", "destroy A"}), journal.take());
}
}
