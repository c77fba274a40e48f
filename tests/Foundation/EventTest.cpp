#include "Tovrane/Event.h"

#include <gtest/gtest.h>

#include <string>

using namespace Tovrane;

namespace
{
struct Args
{
    int value;
};

typedef Event<void, const Args&> ArgsEvent;
typedef Event<bool, const Args&> BoolEvent;
typedef Event<void, VOID> VoidEvent;

struct Recorder
{
    explicit Recorder(const std::string& tag, std::string* log) : tag(tag), log(log) {}
    void onArgs(const Args& args) { *log += tag + std::to_string(args.value) + " "; }
    bool yes(const Args&)
    {
        *log += tag;
        return true;
    }
    bool no(const Args&)
    {
        *log += tag;
        return false;
    }
    std::string tag;
    std::string* log;
};

// While firing, appends a delegate of `next` to the event it belongs to.
struct Appender
{
    ArgsEvent* event;
    Recorder* next;
    std::string* log;
    void onArgs(const Args&)
    {
        *log += "append ";
        *event += new ArgsEvent::MethodDelegate<Recorder>(next, &Recorder::onArgs);
    }
};

int freeCalls = 0;
void freeFunction(VOID) { ++freeCalls; }
}

TEST(Event, FiringWithoutDelegatesDoesNothing)
{
    ArgsEvent e;
    e(Args{1});
    BoolEvent b;
    EXPECT_FALSE(b(Args{1}));
}

TEST(Event, DelegatesAreCalledInOrderOfSubscription)
{
    std::string log;
    Recorder a("a", &log), b("b", &log), c("c", &log);
    ArgsEvent e;
    e += new ArgsEvent::MethodDelegate<Recorder>(&a, &Recorder::onArgs);
    e += new ArgsEvent::MethodDelegate<Recorder>(&b, &Recorder::onArgs);
    e += new ArgsEvent::MethodDelegate<Recorder>(&c, &Recorder::onArgs);
    e(Args{7});
    EXPECT_EQ("a7 b7 c7 ", log);
    log.clear();
    e(Args{8});
    EXPECT_EQ("a8 b8 c8 ", log);
}

TEST(Event, DelegateAddedByANonLastDelegateRunsInTheSameFiring)
{
    std::string log;
    Recorder last("last", &log), late("late", &log);
    ArgsEvent e;
    Appender appender{&e, &late, &log};
    e += new ArgsEvent::MethodDelegate<Appender>(&appender, &Appender::onArgs);
    e += new ArgsEvent::MethodDelegate<Recorder>(&last, &Recorder::onArgs);
    e(Args{1});
    EXPECT_EQ("append last1 late1 ", log);
}

TEST(Event, DelegateAddedByTheLastDelegateWaitsForTheNextFiring)
{
    std::string log;
    Recorder first("first", &log), late("late", &log);
    ArgsEvent e;
    Appender appender{&e, &late, &log};
    e += new ArgsEvent::MethodDelegate<Recorder>(&first, &Recorder::onArgs);
    e += new ArgsEvent::MethodDelegate<Appender>(&appender, &Appender::onArgs);
    e(Args{1});
    EXPECT_EQ("first1 append ", log);

    // The next firing reaches it; the appender is no longer last, so the one it
    // adds this time runs as well.
    log.clear();
    e(Args{2});
    EXPECT_EQ("first2 append late2 late2 ", log);
}

TEST(Event, ManyDelegatesAddedWhileFiringKeepEarlierOnesValid)
{
    // Appending reallocates the list under the running delegate.
    std::string log;
    Recorder late("x", &log);
    ArgsEvent e;
    std::vector<Appender> appenders(40, Appender{&e, &late, &log});
    for (Appender& a : appenders)
        e += new ArgsEvent::MethodDelegate<Appender>(&a, &Appender::onArgs);
    e(Args{3});
    // No appender is last when it runs (the list grows ahead of it): every addition runs.
    size_t lateCalls = 0;
    for (size_t pos = log.find("x3"); pos != std::string::npos; pos = log.find("x3", pos + 1))
        ++lateCalls;
    EXPECT_EQ(40u, lateCalls);
    EXPECT_EQ(80u, e.getDelegateQuantity());
}

TEST(Event, BoolEventYieldsTheLastResult)
{
    std::string log;
    Recorder a("a", &log), b("b", &log);
    BoolEvent trueThenFalse;
    trueThenFalse += new BoolEvent::MethodDelegate<Recorder>(&a, &Recorder::yes);
    trueThenFalse += new BoolEvent::MethodDelegate<Recorder>(&b, &Recorder::no);
    EXPECT_FALSE(trueThenFalse(Args{0}));
    EXPECT_EQ("ab", log);

    BoolEvent falseThenTrue;
    falseThenTrue += new BoolEvent::MethodDelegate<Recorder>(&b, &Recorder::no);
    falseThenTrue += new BoolEvent::MethodDelegate<Recorder>(&a, &Recorder::yes);
    EXPECT_TRUE(falseThenTrue(Args{0}));
}

TEST(Event, MissingTargetPrintsAnErrorAndTheNextDelegateRuns)
{
    std::string log;
    Recorder after("after", &log);
    BoolEvent e;
    e += new BoolEvent::MethodDelegate<Recorder>(nullptr, &Recorder::yes);
    e += new BoolEvent::MethodDelegate<Recorder>(&after, &Recorder::yes);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(e(Args{0}));
    EXPECT_EQ("ERROR: _mFunc set with no class!\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ("after", log);

    // As the last delegate its failure is the event's result.
    BoolEvent alone;
    alone += new BoolEvent::MethodDelegate<Recorder>(nullptr, &Recorder::yes);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(alone(Args{0}));
    EXPECT_EQ("ERROR: _mFunc set with no class!\n", testing::internal::GetCapturedStdout());
}

TEST(Event, MissingFunctionPrintsAnErrorAndTheNextDelegateRuns)
{
    std::string log;
    Recorder target("t", &log), after("after", &log);
    ArgsEvent e;
    e += new ArgsEvent::MethodDelegate<Recorder>(&target, nullptr);
    e += new ArgsEvent::MethodDelegate<Recorder>(nullptr, nullptr); // the function is checked first
    e += new ArgsEvent::MethodDelegate<Recorder>(&after, &Recorder::onArgs);
    testing::internal::CaptureStdout();
    e(Args{4});
    EXPECT_EQ("ERROR: no function pointer set!\nERROR: no function pointer set!\n",
              testing::internal::GetCapturedStdout());
    EXPECT_EQ("after4 ", log);

    VoidEvent v;
    v += new VoidEvent::FunctionDelegate(nullptr);
    testing::internal::CaptureStdout();
    v(VOID());
    EXPECT_EQ("ERROR: no function pointer set!\n", testing::internal::GetCapturedStdout());
}

TEST(Event, FreeFunctionDelegatesTakeTheEmptyRecord)
{
    freeCalls = 0;
    VoidEvent v;
    v += new VoidEvent::FunctionDelegate(&freeFunction);
    v += new VoidEvent::FunctionDelegate(&freeFunction);
    v(VOID());
    EXPECT_EQ(2, freeCalls);
}

TEST(Event, DestroyingTheEventLeavesTargetsAlone)
{
    std::string log;
    Recorder* target = new Recorder("t", &log);
    {
        ArgsEvent e;
        e += new ArgsEvent::MethodDelegate<Recorder>(target, &Recorder::onArgs);
    }
    EXPECT_EQ("t", target->tag); // still a whole object (ASan would object otherwise)
    delete target;
}
