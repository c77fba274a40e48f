#include "Tovrane/Event.h"

#include <gtest/gtest.h>

#include <string>

using namespace Tovrane;

namespace
{
typedef Event<void, const int&> IntEvent;
typedef Event<bool, const int&> BoolEvent;
typedef Event<void, VOID> VoidEvent;

std::string calls;

struct Recorder
{
    std::string tag;
    void onInt(const int& value) { calls += tag + std::to_string(value) + " "; }
    bool yes(const int&) { calls += tag; return true; }
    bool no(const int&) { calls += tag; return false; }
};

// While firing, appends a delegate of `next` to its event.
struct Appender
{
    IntEvent* event;
    Recorder* next;
    void onInt(const int&)
    {
        calls += "append ";
        *event += new IntEvent::MethodDelegate<Recorder>(next, &Recorder::onInt);
    }
};

template <typename Target> void add(IntEvent& e, Target* target)
{
    e += new IntEvent::MethodDelegate<Target>(target, &Target::onInt);
}

int freeCalls = 0;
void freeFunction(VOID) { ++freeCalls; }
}

TEST(Event, DelegatesAreCalledInOrderOfSubscription)
{
    calls.clear();
    Recorder a{"a"}, b{"b"}, c{"c"};
    IntEvent e; // dies before its targets, which it must leave alone
    e(1); // no delegates: nothing happens
    add(e, &a);
    add(e, &b);
    add(e, &c);
    e(7);
    EXPECT_EQ("a7 b7 c7 ", calls);

    VoidEvent v;
    v += new VoidEvent::FunctionDelegate(&freeFunction);
    v += new VoidEvent::FunctionDelegate(&freeFunction);
    v(VOID());
    EXPECT_EQ(2, freeCalls);
}

TEST(Event, DelegateAddedWhileFiringRunsInTheSameFiringUnlessTheLastOneAddedIt)
{
    calls.clear();
    Recorder last{"last"}, late{"late"};
    IntEvent e, f;
    Appender appender{&e, &late}, lastAppender{&f, &late};
    add(e, &appender);
    add(e, &last);
    e(1);
    EXPECT_EQ("append last1 late1 ", calls);

    calls.clear();
    add(f, &last);
    add(f, &lastAppender);
    f(1);
    EXPECT_EQ("last1 append ", calls);
    // The next firing reaches it; the appender is no longer last, so the one it adds runs too.
    calls.clear();
    f(2);
    EXPECT_EQ("last2 append late2 late2 ", calls);

    // Many additions reallocate the list under the running delegate; none is
    // made by the last delegate (the list grows ahead of it), so every one runs.
    calls.clear();
    IntEvent g;
    std::vector<Appender> appenders(40, Appender{&g, &late});
    for (Appender& a : appenders)
        add(g, &a);
    g(3);
    size_t lateCalls = 0;
    for (size_t pos = calls.find("late3"); pos != std::string::npos; pos = calls.find("late3", pos + 1))
        ++lateCalls;
    EXPECT_EQ(40u, lateCalls);
    EXPECT_EQ(80u, g.getDelegateQuantity());
}

TEST(Event, BoolEventYieldsTheLastResultAndAMissingTargetOrFunctionPrintsAnError)
{
    calls.clear();
    Recorder a{"a"}, b{"b"};
    BoolEvent none, trueThenFalse, falseThenTrue;
    EXPECT_FALSE(none(0));
    trueThenFalse += new BoolEvent::MethodDelegate<Recorder>(&a, &Recorder::yes);
    trueThenFalse += new BoolEvent::MethodDelegate<Recorder>(&b, &Recorder::no);
    EXPECT_FALSE(trueThenFalse(0));
    EXPECT_EQ("ab", calls);
    falseThenTrue += new BoolEvent::MethodDelegate<Recorder>(&b, &Recorder::no);
    falseThenTrue += new BoolEvent::MethodDelegate<Recorder>(&a, &Recorder::yes);
    EXPECT_TRUE(falseThenTrue(0));

    calls.clear();
    Recorder target{"t"}, after{"after"};
    BoolEvent e, alone;
    e += new BoolEvent::MethodDelegate<Recorder>(nullptr, &Recorder::yes);
    e += new BoolEvent::MethodDelegate<Recorder>(&after, &Recorder::yes);
    alone += new BoolEvent::MethodDelegate<Recorder>(nullptr, &Recorder::yes);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(e(0));
    EXPECT_FALSE(alone(0)); // as the last delegate its failure is the event's result
    EXPECT_EQ("ERROR: _mFunc set with no class!\nERROR: _mFunc set with no class!\n",
              testing::internal::GetCapturedStdout());
    EXPECT_EQ("after", calls);

    calls.clear();
    IntEvent i;
    i += new IntEvent::MethodDelegate<Recorder>(&target, nullptr);
    i += new IntEvent::MethodDelegate<Recorder>(nullptr, nullptr); // the function is checked first
    add(i, &after);
    VoidEvent v;
    v += new VoidEvent::FunctionDelegate(nullptr);
    testing::internal::CaptureStdout();
    i(4);
    v(VOID());
    EXPECT_EQ("ERROR: no function pointer set!\nERROR: no function pointer set!\nERROR: no function pointer set!\n",
              testing::internal::GetCapturedStdout());
    EXPECT_EQ("after4 ", calls);
}

