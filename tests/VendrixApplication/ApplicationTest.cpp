// Application time across suspensions, and the application driving its states.
#include "VendrixApplication/StateTestSupport.h"

using namespace StateTestSupport;
using Tovrane::Application;
using Vantorel::Kelm::CKernelMPI;

namespace
{
class ApplicationTest : public ::testing::Test
{
protected:
    void start(unsigned int kernelTime) { CKernelMPI::UseVirtualClock(kernelTime); }
    void pass(unsigned int milliseconds) { CKernelMPI::AdvanceVirtualClock(milliseconds); }

    Application app{nullptr};
};

TEST_F(ApplicationTest, TimeContinuesFromWhereItStoodAtSuspend)
{
    start(10000);
    EXPECT_EQ(10000u, app.getApplicationTime()) << "an absolute clock, not starting at 0";
    app.Suspend();
    pass(15000);
    EXPECT_EQ(10000u, app.getApplicationTime()) << "stands still while suspended";
    app.Resume();
    pass(16);
    EXPECT_EQ(10016u, app.getApplicationTime());
    EXPECT_EQ(25016u, Application::getTime()) << "the raw kernel clock goes on";
}

TEST_F(ApplicationTest, SuspendedSpansAddUp)
{
    start(1000);
    pass(500);
    app.Suspend();
    pass(1000);
    app.Resume();
    pass(500);
    app.Suspend();
    pass(2000);
    app.Resume();
    EXPECT_EQ(Application::getTime() - 3000u, app.getApplicationTime());
}

TEST_F(ApplicationTest, TimeWrapsAtThirtyTwoBits)
{
    start(0xFFFFFF00u);
    app.Suspend();
    pass(0x200); // the kernel clock wraps during the suspension
    app.Resume();
    EXPECT_EQ(0x100u, Application::getTime());
    EXPECT_EQ(0xFFFFFF00u, app.getApplicationTime());
    pass(0x180);
    EXPECT_EQ(0x80u, app.getApplicationTime()) << "application time wraps too";

    app.Suspend();
    pass(0xFFFFFFF0u); // nearly a whole turn of the clock
    app.Resume();
    EXPECT_EQ(0x80u, app.getApplicationTime());
}

TEST_F(ApplicationTest, UnmatchedResumeAndRepeatedSuspendChangeNothing)
{
    start(3000);
    app.Resume();
    pass(100);
    EXPECT_EQ(3100u, app.getApplicationTime()) << "a Resume without a Suspend";

    app.Suspend();
    pass(100);
    app.Suspend(); // the span counts from the first Suspend
    pass(100);
    app.Resume();
    app.Resume();
    pass(10);
    EXPECT_EQ(3110u, app.getApplicationTime());
}

TEST_F(ApplicationTest, ExitWithoutEnterDoesNothing)
{
    app.Exit();
    EXPECT_EQ(nullptr, app.getHandler());
}

// With states: Enter, Update, Suspend, Resume and Exit reach them.
class ApplicationThreadTest : public ::testing::Test
{
protected:
    void SetUp() override { REQUIRE_STATE_TITLE(); }
    Journal journal;
};

TEST_F(ApplicationThreadTest, StatesSeeApplicationTimeAcrossASuspension)
{
    AppHarness harness;
    harness.enter();
    EXPECT_EQ("PlumoLogoState", harness.current()->getStateName()) << "entered at once";
    ProbeState* probe = new ProbeState(journal, "P");
    Application::PushGameState(probe);
    ASSERT_TRUE(harness.settle());
    ASSERT_EQ(probe, harness.current().get());
    harness.frame();
    const unsigned int before = probe->lastUpdateTime;
    EXPECT_EQ(harness.app->getApplicationTime(), before);

    harness.app->Suspend();
    CKernelMPI::AdvanceVirtualClock(4000);
    harness.app->Resume();
    harness.frame(16);
    EXPECT_EQ(before + 16, probe->lastUpdateTime) << "the suspended span is not seen";
    EXPECT_EQ((std::vector<std::string>{"enter P", "suspend P", "resume P"}), journal.take());
}

TEST_F(ApplicationThreadTest, ExitExitsEveryStateBeforeAnyIsDestroyed)
{
    AppHarness harness;
    harness.enter();
    ProbeState* a = new ProbeState(journal, "A");
    Application::PushGameState(a);
    ASSERT_TRUE(harness.settle());
    a->onUpdate = [](ProbeState& self) { Application::PushGameState(new ProbeState(self.journal, "B")); };
    harness.frame();
    ASSERT_TRUE(harness.settle());
    journal.take();

    harness.app->Exit();
    EXPECT_EQ(nullptr, harness.app->getHandler());
    EXPECT_EQ((std::vector<std::string>{"exit B", "exit A", "destroy B", "destroy A"}), journal.take());
}
}
