// The movie state: the movie handed to the host, inactivity, and the return.
#include "VendrixApplication/StateTestSupport.h"

#include "Tovrane/FlashState.h"

#include "HostTrace.h"

#include <sstream>

using namespace StateTestSupport;
using Tovrane::Application;
using Tovrane::FlashState;

namespace
{
typedef std::vector<std::string> Lines;

// [base, K (kept)]; K pushes the movie. The run's trace shows the platform
// requests in order.
class MovieThreadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        REQUIRE_STATE_TITLE();
        tracePath = scratchFolder() + "movie-trace.txt";
        ASSERT_TRUE(HostTrace::open(tracePath));
        harness.reset(new AppHarness);
        harness->enter();
        launcher = new ProbeState(journal, "K", false, true);
        Application::PushGameState(launcher);
        ASSERT_TRUE(harness->settle());
    }

    void TearDown() override
    {
        harness.reset();
        HostTrace::close();
    }

    // The launcher pushes the movie; frames until the movie has begun.
    FlashState* startMovie(const std::string& name)
    {
        FlashState* movie = new FlashState(name);
        launcher->onUpdate = [movie](ProbeState&) { Application::PushGameState(movie); };
        harness->frame();
        EXPECT_EQ(movie, harness->current().get());
        EXPECT_TRUE(harness->settle());
        return movie;
    }

    // The trace's platform lines: PushApp and inactivity changes.
    Lines requests()
    {
        Lines found;
        std::ifstream in(tracePath);
        for (std::string line; std::getline(in, line);)
        {
            std::istringstream words(line);
            std::string frame, time, event;
            words >> frame >> time >> event;
            if (event == "PushApp" || event == "inactivity-off" || event == "inactivity-on")
                found.push_back(event);
        }
        return found;
    }

    std::string tracePath;
    Journal journal;
    std::unique_ptr<AppHarness> harness;
    ProbeState* launcher = nullptr;
};

TEST_F(MovieThreadTest, MovieIsHandedToTheHostAndTheLauncherRegainsControl)
{
    FlashState* movie = startMovie("Lines_Intro.swf");
    EXPECT_TRUE(movie->isShowingLoading());
    EXPECT_TRUE(movie->isKeptOnStack());
    EXPECT_FALSE(movie->isMovieStarted()) << "begin does not hand it over";
    std::string application;
    EXPECT_FALSE(CAppManager::Instance()->TakePushRequest(application));

    harness->frame();
    EXPECT_TRUE(movie->isMovieStarted());
    ASSERT_TRUE(CAppManager::Instance()->TakePushRequest(application));
    EXPECT_EQ(Tovrane::System::getPath() + "flash/Lines_Intro.swf", application);
    EXPECT_EQ(application, movie->getMoviePath());
    EXPECT_FALSE(CAppManager::Instance()->IsInactivityEnabled());

    // The host plays the movie with the module suspended; nothing switches
    // even if an update comes.
    harness->app->Suspend();
    harness->frame();
    harness->frame(2000);
    EXPECT_EQ(movie, harness->current().get());
    harness->app->Resume();
    journal.take();
    harness->frame();
    EXPECT_TRUE(CAppManager::Instance()->IsInactivityEnabled());
    EXPECT_EQ(launcher, harness->current().get()) << "the first frame back pops the movie";
    EXPECT_EQ((Lines{"enter K"}), journal.take()) << "kept: entered again";
    EXPECT_EQ((Lines{"inactivity-off", "PushApp", "inactivity-on"}), requests()) << "each exactly once";
    EXPECT_FALSE(CAppManager::Instance()->TakePushRequest(application)) << "handed over once";
}

TEST_F(MovieThreadTest, ClosingDuringTheMovieEnablesInactivityAgain)
{
    startMovie("ActionNews_Intro.swf");
    harness->frame();
    ASSERT_FALSE(CAppManager::Instance()->IsInactivityEnabled());
    harness->app->Suspend();
    harness->app->Resume();
    harness->app->Exit();
    EXPECT_TRUE(CAppManager::Instance()->IsInactivityEnabled());
    EXPECT_EQ((Lines{"inactivity-off", "PushApp", "inactivity-on"}), requests());
}
}
