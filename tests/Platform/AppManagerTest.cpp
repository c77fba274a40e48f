#include "CAppManager.h"
#include "HostTrace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

TEST(AppManagerTest, RequestsWaitForTheHostInOrderUntilReset)
{
    CAppManager* manager = CAppManager::Instance();
    EXPECT_TRUE(manager->IsInactivityEnabled());
    EXPECT_FALSE(manager->IsPopRequested());
    manager->EnableInactivity(false);
    EXPECT_FALSE(manager->IsInactivityEnabled());
    manager->PushApp("title/flash/Lines_Intro.swf", nullptr);
    manager->PushApp("title/flash/Colors_Outro.swf", nullptr);
    std::string movie;
    ASSERT_TRUE(manager->TakePushRequest(movie));
    EXPECT_EQ("title/flash/Lines_Intro.swf", movie);
    ASSERT_TRUE(manager->TakePushRequest(movie));
    EXPECT_EQ("title/flash/Colors_Outro.swf", movie);
    EXPECT_FALSE(manager->TakePushRequest(movie)) << "a request is acted on once";
    manager->PopApp();
    manager->PushApp("x.swf", nullptr);
    EXPECT_TRUE(manager->IsPopRequested());
    EXPECT_TRUE(manager->IsPopRequested()) << "a pop stays requested until the host resets";

    manager->Reset();
    EXPECT_TRUE(manager->IsInactivityEnabled());
    EXPECT_FALSE(manager->IsPopRequested());
    EXPECT_FALSE(manager->TakePushRequest(movie));
}

TEST(AppManagerTest, RequestsAreTracedWithFrameAndTimeWhileTheTraceIsOpen)
{
    EXPECT_FALSE(HostTrace::isOpen());
    HostTrace::write("PopApp"); // no file: nothing written
    EXPECT_FALSE(HostTrace::open("/nonexistent-folder/trace.txt"));
    EXPECT_FALSE(HostTrace::isOpen());

    const std::string path = std::string(TOVRANE_BINARY_DIR) + "/appmanager-trace-" + std::to_string(getpid()) + ".txt";
    ASSERT_TRUE(HostTrace::open(path));
    HostTrace::setFrame(12, 1192);
    CAppManager::Instance()->EnableInactivity(false);
    CAppManager::Instance()->PushApp("t/flash/A B.swf", nullptr);
    HostTrace::setFrame(13, 1208);
    CAppManager::Instance()->PopApp();
    HostTrace::write("note", "two\nlines");
    HostTrace::close();
    HostTrace::write("after", "close");
    CAppManager::Instance()->Reset();

    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ("12 1192 inactivity-off\n"
              "12 1192 PushApp t/flash/A B.swf\n"
              "13 1208 PopApp\n"
              "13 1208 note two lines\n",
              text.str());
    std::remove(path.c_str());
}
