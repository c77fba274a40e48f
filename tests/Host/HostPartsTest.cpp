// The host's option parser and input script on their own.
#include "HostOptions.h"
#include "InputScript.h"

#include <gtest/gtest.h>

#include <vector>

using namespace TovraneHost;

namespace
{
bool parse(std::vector<const char*> words, HostOptions& options, std::string& error)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("tovrane-host"));
    for (const char* w : words)
        argv.push_back(const_cast<char*>(w));
    return options.parse(static_cast<int>(argv.size()), argv.data(), "/opt/t/Host", error);
}
}

TEST(HostOptionsTest, DefaultsLieNextToTheHost)
{
    HostOptions options;
    std::string error;
    ASSERT_TRUE(parse({}, options, error));
    EXPECT_EQ("/opt/t/Host/../title/", options.titlePath);
    EXPECT_EQ("/opt/t/Host/../data/", options.dataPath);
    EXPECT_EQ("/opt/t/Host/libtovrane-game.so", options.modulePath);
    EXPECT_EQ(0u, options.fixedStep);
    EXPECT_EQ(0u, options.frames);
    EXPECT_FALSE(options.headless);
}

TEST(HostOptionsTest, EveryOptionIsRead)
{
    HostOptions options;
    std::string error;
    ASSERT_TRUE(parse({"--headless", "--title", "t", "--data", "d/", "--locale", "en-au", "--player", "1",
                          "--cheats", "--fixed-step", "33", "--frames", "90", "--script", "s.txt", "--screenshot",
                          "3:a.png", "--screenshot", "40:dir/b:c.png", "--trace", "tr.txt", "--module", "m.so"},
        options, error))
        << error;
    EXPECT_TRUE(options.headless);
    EXPECT_EQ("t/", options.titlePath);
    EXPECT_EQ("d/", options.dataPath);
    EXPECT_EQ("en-au", options.locale);
    EXPECT_EQ(1u, options.player);
    EXPECT_TRUE(options.cheats);
    EXPECT_EQ(33u, options.fixedStep);
    EXPECT_EQ(90u, options.frames);
    EXPECT_EQ("s.txt", options.scriptPath);
    ASSERT_EQ(2u, options.screenshots.size());
    EXPECT_EQ(3u, options.screenshots[0].frame);
    EXPECT_EQ("a.png", options.screenshots[0].path);
    EXPECT_EQ(40u, options.screenshots[1].frame);
    EXPECT_EQ("dir/b:c.png", options.screenshots[1].path) << "only the first colon separates";
    EXPECT_EQ("tr.txt", options.tracePath);
    EXPECT_EQ("m.so", options.modulePath);
}

TEST(HostOptionsTest, BadValuesAreRefusedWithAReason)
{
    for (std::vector<const char*> words : std::vector<std::vector<const char*>>{{"--frames", "-3"},
             {"--frames", "12x"}, {"--player", "99999999999"}, {"--fixed-step", "0"}, {"--screenshot", "a.png"},
             {"--screenshot", "5:"}, {"--screenshot", "0:a.png"}, {"--title"}, {"--title", ""}, {"--nonsense"}})
    {
        HostOptions options;
        std::string error;
        EXPECT_FALSE(parse(words, options, error)) << words[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(InputScriptTest, EventsComeDueByFrameOrByClock)
{
    InputScript script;
    ASSERT_TRUE(script.parse("2 down 1 2\n"
                             "  # comment only\n"
                             "\n"
                             "100ms up 3 4\n"
                             "2 press 0x40\n",
        "s"));
    EXPECT_TRUE(script.take(1, 0).empty());
    std::vector<ScriptEvent> two = script.take(2, 16);
    ASSERT_EQ(2u, two.size());
    EXPECT_EQ(ScriptEvent::Touch, two[0].kind);
    EXPECT_EQ(1, two[0].touchState);
    EXPECT_EQ(ScriptEvent::ButtonPress, two[1].kind);
    EXPECT_EQ(0x40u, two[1].buttons);
    EXPECT_TRUE(script.take(3, 99).empty());
    std::vector<ScriptEvent> late = script.take(4, 100);
    ASSERT_EQ(1u, late.size());
    EXPECT_EQ(0, late[0].touchState);
    EXPECT_EQ(3, late[0].x);
    EXPECT_TRUE(script.empty());
}

TEST(InputScriptTest, MissedFramesStillDeliverInFileOrder)
{
    // A frame can be skipped over (the host only asks once per frame): the
    // events still come, in the order of the file.
    InputScript script;
    ASSERT_TRUE(script.parse("5 down 1 1\n3 up 2 2\n", "s"));
    std::vector<ScriptEvent> due = script.take(9, 0);
    ASSERT_EQ(2u, due.size());
    EXPECT_EQ(1, due[0].x);
    EXPECT_EQ(2, due[1].x);
}

TEST(InputScriptTest, TapAndClickFinishOnTheNextFrame)
{
    InputScript script;
    ASSERT_TRUE(script.parse("4 tap 7 8\n4 click escape\n5 tap 9 9\n", "s"));
    std::vector<ScriptEvent> four = script.take(4, 0);
    ASSERT_EQ(2u, four.size());
    EXPECT_EQ(1, four[0].touchState);
    EXPECT_EQ(ScriptEvent::ButtonPress, four[1].kind);
    EXPECT_EQ(0x100u, four[1].buttons);
    std::vector<ScriptEvent> five = script.take(5, 0);
    ASSERT_EQ(3u, five.size());
    EXPECT_EQ(0, five[0].touchState) << "the lift of frame 4's tap comes first";
    EXPECT_EQ(7, five[0].x);
    EXPECT_EQ(ScriptEvent::ButtonRelease, five[1].kind);
    EXPECT_EQ(1, five[2].touchState);
    ASSERT_EQ(1u, script.take(6, 0).size());
}

TEST(InputScriptTest, BrokenLinesAreSkippedAndTheRestIsKept)
{
    InputScript script;
    EXPECT_FALSE(script.parse("0 tap 1 1\n"
                              "x tap 1 1\n"
                              "3 tap 1\n"
                              "3 tap 1 99999\n"
                              "3 press nobutton\n"
                              "3 press 0\n"
                              "3 jump\n"
                              "3 quit now\n"
                              "-5ms tap 1 1\n"
                              "3 tap -4 250\n"
                              "3 quit\n",
        "s"));
    std::vector<ScriptEvent> due = script.take(3, 0);
    ASSERT_EQ(2u, due.size());
    EXPECT_EQ(-4, due[0].x) << "off-screen positions are the script's business";
    EXPECT_EQ(250, due[0].y);
    EXPECT_EQ(ScriptEvent::Quit, due[1].kind);
}

TEST(InputScriptTest, ButtonNamesFollowTheKeys)
{
    std::uint32_t mask = 0;
    const std::pair<const char*, std::uint32_t> names[] = {{"up", 0x1}, {"down", 0x2}, {"left", 0x4},
        {"right", 0x8}, {"enter", 0x10}, {"backspace", 0x20}, {"f7", 0x40}, {"f8", 0x80}, {"escape", 0x100},
        {"h", 0x200}, {"0x30", 0x30}, {"64", 64}};
    for (const auto& name : names)
    {
        ASSERT_TRUE(InputScript::parseButton(name.first, mask)) << name.first;
        EXPECT_EQ(name.second, mask) << name.first;
    }
    EXPECT_FALSE(InputScript::parseButton("Enter", mask));
}
