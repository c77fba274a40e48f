#include "Tovrane/System.h"

#include "CSystemData.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

using namespace Tovrane;

TEST(SystemDeathTest, EmptyAnswerIsAskedAgainAndAFullOneIsKept)
{
    // Runs in a fresh process, where the platform has no title folder yet.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (!System::getPath().empty())
                std::exit(1);
            CSystemData::Config config;
            config.titlePath = "/tmp/some-title";
            if (!CSystemData::Configure(config))
                std::exit(2);
            if (System::getPath() != "/tmp/some-title/")
                std::exit(3);
            // Kept: the same text on every call, as a copy the caller may change.
            std::string path = System::getPath();
            path += "images/";
            if (System::getPath() != "/tmp/some-title/")
                std::exit(4);
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST(SystemThreadTest, FirstCallsFromSeveralThreadsAgree)
{
    CSystemData::Config config;
    config.titlePath = "/tmp/threaded-title";
    CSystemData::Configure(config); // refused if this process already fixed its paths
    const std::string expected = CSystemData::Instance()->GetCurrentTitlePath().raw();
    ASSERT_FALSE(expected.empty());

    std::atomic<int> ready(0);
    std::vector<std::string> answers(8);
    std::vector<std::thread> threads;
    for (std::string& answer : answers)
        threads.emplace_back([&ready, &answer] {
            ++ready;
            while (ready.load() < 8)
                std::this_thread::yield();
            answer = System::getPath();
        });
    for (std::thread& t : threads)
        t.join();
    for (const std::string& answer : answers)
        EXPECT_EQ(expected, answer);
}
