// The host's option parser and input script on their own.
#include "HostOptions.h"
#include "InputScript.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace TovraneHost;

namespace
{
bool parse(std::vector<const char*> words, HostOptions& options, std::string& error)
{
    words.insert(words.begin(), "tovrane-host");
    return options.parse(static_cast<int>(words.size()), const_cast<char**>(words.data()), "/opt/t/Host", error);
}

// The events due at a frame and time, one word list each: "touch <state> <x> <y>",
// "press <mask>", "release <mask>", "quit" or "shot <file>".
std::vector<std::string> take(InputScript& script, unsigned int frame, unsigned int ms = 0)
{
    std::vector<std::string> words;
    for (const ScriptEvent& e : script.take(frame, ms))
        words.push_back(e.kind == ScriptEvent::Touch ? "touch " + std::to_string(e.touchState) + " " +
                                                           std::to_string(e.x) + " " + std::to_string(e.y)
                        : e.kind == ScriptEvent::Quit       ? std::string("quit")
                        : e.kind == ScriptEvent::Screenshot ? "shot " + e.path
                        : (e.kind == ScriptEvent::ButtonPress ? "press " : "release ") + std::to_string(e.buttons));
    return words;
}
typedef std::vector<std::string> Words;
}

TEST(HostOptionsTest, DefaultsLieNextToTheHostAndEveryOptionIsRead)
{
    HostOptions defaults, options;
    std::string error;
    ASSERT_TRUE(parse({}, defaults, error));
    EXPECT_EQ("/opt/t/Host/../title/", defaults.titlePath);
    EXPECT_EQ("/opt/t/Host/../data/", defaults.dataPath);
    EXPECT_EQ("/opt/t/Host/libtovrane-game.so", defaults.modulePath);

    ASSERT_TRUE(parse({"--headless", "--title", "t", "--data", "d/", "--locale", "en-au", "--player", "1", "--cheats",
                       "--fixed-step", "33", "--frames", "90", "--script", "s.txt", "--screenshot", "3:a.png",
                       "--screenshot", "40:dir/b:c.png", "--trace", "tr.txt", "--module", "m.so", "--start", "studio:a.png"},
                      options, error))
        << error;
    EXPECT_TRUE(options.headless && options.cheats);
    EXPECT_EQ("t/ d/ en-au s.txt tr.txt m.so studio:a.png",
              options.titlePath + " " + options.dataPath + " " + options.locale + " " + options.scriptPath + " " +
                  options.tracePath + " " + options.modulePath + " " + options.start);
    EXPECT_EQ(1u, options.player);
    EXPECT_EQ(33u, options.fixedStep);
    EXPECT_EQ(90u, options.frames);
    ASSERT_EQ(2u, options.screenshots.size());
    EXPECT_EQ(3u, options.screenshots[0].frame);
    EXPECT_EQ("a.png", options.screenshots[0].path);
    EXPECT_EQ(40u, options.screenshots[1].frame);
    EXPECT_EQ("dir/b:c.png", options.screenshots[1].path) << "only the first colon separates";
}

TEST(HostOptionsTest, BadValuesAreRefusedWithAReason)
{
    for (std::vector<const char*> words : std::vector<std::vector<const char*>>{{"--frames", "-3"},
             {"--frames", "12x"}, {"--player", "99999999999"}, {"--fixed-step", "0"}, {"--screenshot", "a.png"},
             {"--screenshot", "5:"}, {"--screenshot", "0:a.png"}, {"--title"}, {"--title", ""}, {"--start"}, {"--start", ""}, {"--nonsense"}})
    {
        HostOptions options;
        std::string error;
        EXPECT_FALSE(parse(words, options, error)) << words[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(InputScriptTest, EventsComeDueByFrameOrByClockInFileOrder)
{
    InputScript script;
    ASSERT_TRUE(script.parse("2 down 1 2\n  # comment only\n\n100ms up 3 4\n2 press 0x40\n", "s"));
    EXPECT_TRUE(take(script, 1).empty());
    EXPECT_EQ((Words{"touch 1 1 2", "press 64"}), take(script, 2, 16));
    EXPECT_TRUE(take(script, 3, 99).empty());
    EXPECT_EQ((Words{"touch 0 3 4"}), take(script, 4, 100));
    EXPECT_TRUE(script.empty());

    // A frame can be skipped over (the host asks once per frame): the events still come, in file order.
    InputScript skipped;
    ASSERT_TRUE(skipped.parse("5 down 1 1\n3 up 2 2\n", "s"));
    EXPECT_EQ((Words{"touch 1 1 1", "touch 0 2 2"}), take(skipped, 9));
}

TEST(InputScriptTest, AfterLinesWaitForTheirTraceEventInTurn)
{
    typedef std::vector<std::pair<std::string, std::string>> Events;
    InputScript script;
    ASSERT_TRUE(script.parse("after enter Task\n+2 tap 1 1\nafter enter Task\n+0 shot a.png\n3 up 5 5\n", "s"));
    ASSERT_TRUE(script.waitsOnTrace());
    script.observe(1, Events{{"enter", "MainMenuState"}, {"exit", "TaskStudioState"}});
    EXPECT_TRUE(take(script, 2).empty()) << "another event or another state";
    // The second wait is not armed before the first one's tap is given.
    script.observe(2, Events{{"enter", "TaskStudioState"}, {"enter", "TaskStudioState"}});
    EXPECT_EQ((Words{"touch 0 5 5"}), take(script, 3)) << "a frame's own lines go on";
    EXPECT_EQ((Words{"touch 1 1 1"}), take(script, 4));
    script.observe(4, Events{{"enter", "TaskStudioState"}});
    EXPECT_EQ((Words{"touch 0 1 1", "shot a.png"}), take(script, 5));
    EXPECT_TRUE(script.empty());

    EXPECT_FALSE(script.parse("+3 tap 1 1\nafter\n", "s")) << "+N without an after line";
}

namespace
{
// A plain model of a script's timing: every frame it looks at every line that
// is left, in file order. Lines are "<when> down|tap <line> 0".
struct ScriptModel
{
    struct Line
    {
        char kind;  // 'f' frame, 'm' milliseconds, '+' after the last anchor
        unsigned int when;
        int anchor;
        bool tap;
        int id;
    };
    struct Anchor
    {
        std::string event, part;
        bool matched = false;
        unsigned int frame = 0;
    };
    std::vector<Line> lines;
    std::vector<Anchor> anchors;
    std::vector<std::pair<unsigned int, std::string>> followUps;

    Words take(unsigned int frame, unsigned int ms)
    {
        Words due;
        for (auto it = followUps.begin(); it != followUps.end();)
            if (it->first <= frame)
            {
                due.push_back(it->second);
                it = followUps.erase(it);
            }
            else
                ++it;
        for (auto it = lines.begin(); it != lines.end();)
        {
            const Anchor* anchor = it->kind == '+' ? &anchors[static_cast<size_t>(it->anchor)] : nullptr;
            const bool isDue = anchor        ? anchor->matched && frame >= anchor->frame + it->when
                               : it->kind == 'm' ? ms >= it->when
                                                 : frame >= it->when;
            if (!isDue)
            {
                ++it;
                continue;
            }
            due.push_back("touch 1 " + std::to_string(it->id) + " 0");
            if (it->tap)
                followUps.emplace_back(frame + 1, "touch 0 " + std::to_string(it->id) + " 0");
            it = lines.erase(it);
        }
        return due;
    }
    void observe(unsigned int frame, const std::vector<std::pair<std::string, std::string>>& events)
    {
        for (const auto& event : events)
            for (size_t k = 0; k < anchors.size(); ++k)
            {
                if (anchors[k].matched)
                    continue;
                bool armed = k == 0 || anchors[k - 1].matched;
                for (const Line& line : lines)
                    armed = armed && !(line.kind == '+' && line.anchor < static_cast<int>(k));
                if (armed && event.first == anchors[k].event && event.second.find(anchors[k].part) != std::string::npos)
                {
                    anchors[k].matched = true;
                    anchors[k].frame = frame;
                }
                break;
            }
    }
};
}

TEST(InputScriptTest, RandomScriptsComeDueAsInAPlainScanOfEveryLineLeft)
{
    std::mt19937 random(7);
    auto below = [&random](unsigned int n) { return static_cast<unsigned int>(random() % n); };
    const char* const events[] = {"enter", "exit"};
    const char* const details[] = {"", "A", "B"};
    for (int round = 0; round < 300; ++round)
    {
        ScriptModel model;
        std::string text;
        const int count = 1 + static_cast<int>(below(40));
        for (int id = 0; id < count; ++id)
        {
            if (below(5) == 0)
            {
                ScriptModel::Anchor anchor;
                anchor.event = events[below(2)];
                anchor.part = details[below(3)];
                model.anchors.push_back(anchor);
                text += "after " + anchor.event + " " + anchor.part + "\n";
            }
            ScriptModel::Line line{"fm+"[below(model.anchors.empty() ? 2 : 3)], below(30), 0, below(2) == 0, id};
            line.anchor = static_cast<int>(model.anchors.size()) - 1;
            if (line.kind == 'f')
                line.when += 1;
            model.lines.push_back(line);
            text += (line.kind == '+' ? "+" : "") + std::to_string(line.when) + (line.kind == 'm' ? "ms " : " ") +
                    (line.tap ? "tap " : "down ") + std::to_string(id) + " 0\n";
        }
        SCOPED_TRACE(text);
        InputScript script;
        ASSERT_TRUE(script.parse(text, "s"));
        for (unsigned int frame = 1; frame <= 120; ++frame)
        {
            const unsigned int ms = (frame - 1) * 7;
            ASSERT_EQ(model.take(frame, ms), take(script, frame, ms)) << "frame " << frame;
            std::vector<std::pair<std::string, std::string>> written;
            for (unsigned int n = below(3); n > 0; --n)
                written.emplace_back(events[below(2)], std::string("State") + "AB"[below(2)]);
            model.observe(frame, written);
            script.observe(frame, written);
        }
        EXPECT_EQ(model.lines.empty(), script.empty());
    }
}

TEST(InputScriptTest, TapAndClickFinishOnTheNextFrame)
{
    InputScript script;
    ASSERT_TRUE(script.parse("4 tap 7 8\n4 click escape\n5 tap 9 9\n", "s"));
    EXPECT_EQ((Words{"touch 1 7 8", "press 256"}), take(script, 4));
    EXPECT_EQ((Words{"touch 0 7 8", "release 256", "touch 1 9 9"}), take(script, 5)) << "frame 4's lift first";
    EXPECT_EQ((Words{"touch 0 9 9"}), take(script, 6));
}

TEST(InputScriptTest, BrokenLinesAreSkippedAndTheRestIsKept)
{
    InputScript script;
    EXPECT_FALSE(script.parse("0 tap 1 1\nx tap 1 1\n3 tap 1\n3 tap 1 99999\n3 press nobutton\n3 press 0\n3 jump\n"
                              "3 quit now\n-5ms tap 1 1\n3 tap -4 250\n3 quit\n",
                              "s"));
    EXPECT_EQ((Words{"touch 1 -4 250", "quit"}), take(script, 3)) << "off-screen positions are the script's business";
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
