#include "CButtonEventQueue.h"
#include "CButtonMPI.h"
#include "CEventMPI.h"
#include "CTouchEventQueue.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace Vantorel::Kelm;

namespace
{
tTouchData touch(std::uint16_t state, std::int16_t x, std::int16_t y)
{
    tTouchData data = {};
    data.touchState = state;
    data.x = x;
    data.y = y;
    return data;
}

tButtonData2 button(std::uint32_t state, std::uint32_t transition)
{
    tButtonData2 data = {};
    data.buttonState = state;
    data.buttonTransition = transition;
    return data;
}
}

TEST(InputTest, TouchEventsReachOnlyRegisteredQueuesInOrder)
{
    CTouchEventQueue registered, other;
    CEventMPI events;
    CEventMPI::PostTouchEvent(touch(1, 5, 5));
    EXPECT_TRUE(registered.GetQueue().empty()) << "nothing arrives before registration";

    ASSERT_TRUE(events.RegisterEventListener(&registered, 0));
    ASSERT_TRUE(events.RegisterEventListener(&registered, 0));
    EXPECT_EQ(1u, CEventMPI::GetListenerCount()) << "registering twice must not double the events";
    CEventMPI::PostTouchEvent(touch(1, 10, 20));
    CEventMPI::PostTouchEvent(touch(1, 11, 21));
    CEventMPI::PostTouchEvent(touch(0, 12, 22));

    std::vector<tTouchData> got = registered.GetQueue();
    ASSERT_EQ(3u, got.size());
    EXPECT_EQ(1, got[0].touchState);
    EXPECT_EQ(10, got[0].x);
    EXPECT_EQ(20, got[0].y);
    EXPECT_EQ(11, got[1].x);
    EXPECT_EQ(0, got[2].touchState);
    EXPECT_EQ(22, got[2].y);
    EXPECT_TRUE(registered.GetQueue().empty()) << "taking the events empties the queue";
    EXPECT_TRUE(other.GetQueue().empty());
    events.UnregisterEventListener(&registered);
}

TEST(InputTest, UnregisteringDropsPendingEventsAndStopsDelivery)
{
    CTouchEventQueue queue;
    CEventMPI().RegisterEventListener(&queue);
    CEventMPI::PostTouchEvent(touch(1, 1, 1));
    EXPECT_TRUE(CEventMPI().UnregisterEventListener(&queue));
    EXPECT_FALSE(CEventMPI().UnregisterEventListener(&queue));
    CEventMPI::PostTouchEvent(touch(0, 1, 1));
    EXPECT_TRUE(queue.GetQueue().empty());
}

TEST(InputTest, DestroyedQueuesLeaveTheRegistry)
{
    {
        CTouchEventQueue touches;
        CButtonEventQueue buttons;
        CEventMPI().RegisterEventListener(&touches);
        CButtonMPI().RegisterEventListener(&buttons);
        EXPECT_EQ(1u, CEventMPI::GetListenerCount());
        EXPECT_EQ(1u, CButtonMPI::GetListenerCount());
    }
    EXPECT_EQ(0u, CEventMPI::GetListenerCount());
    EXPECT_EQ(0u, CButtonMPI::GetListenerCount());
    // Posting now must not touch the destroyed queues.
    CEventMPI::PostTouchEvent(touch(1, 0, 0));
    CButtonMPI::PostButtonEvent(button(0x10, 0x10));
}

TEST(InputTest, ButtonEventsReachEveryRegisteredQueue)
{
    CButtonEventQueue first, second;
    CButtonMPI buttons;
    buttons.RegisterEventListener(&first);
    buttons.RegisterEventListener(&second);
    CButtonMPI::PostButtonEvent(button(0x10, 0x10));
    CButtonMPI::PostButtonEvent(button(0x0, 0x10));
    for (CButtonEventQueue* queue : {&first, &second})
    {
        std::vector<tButtonData2> got = queue->GetQueue();
        ASSERT_EQ(2u, got.size());
        EXPECT_EQ(0x10u, got[0].buttonState);
        EXPECT_EQ(0x10u, got[0].buttonTransition);
        EXPECT_EQ(0x0u, got[1].buttonState);
        EXPECT_EQ(0x10u, got[1].buttonTransition);
    }
    buttons.UnregisterEventListener(&first);
    buttons.UnregisterEventListener(&second);
}

TEST(InputTest, TouchModeIsSharedByEveryServiceObject)
{
    CButtonMPI().SetTouchMode(kTouchModeDrawing);
    EXPECT_EQ(kTouchModeDrawing, CButtonMPI().GetTouchMode());
    CButtonMPI().SetTouchMode(kTouchModeDefault);
    EXPECT_EQ(kTouchModeDefault, CButtonMPI().GetTouchMode());
}

TEST(InputTest, RecordLayoutIsTheDevicesSixteenBytes)
{
    EXPECT_EQ(0u, offsetof(tTouchData, touchState));
    EXPECT_EQ(2u, offsetof(tTouchData, x));
    EXPECT_EQ(4u, offsetof(tTouchData, y));
    EXPECT_EQ(0u, offsetof(tButtonData2, buttonState));
    EXPECT_EQ(4u, offsetof(tButtonData2, buttonTransition));
}

// One thread posts while another takes: every event is taken once, in order.
TEST(InputThreadTest, PostingWhileTakingLosesNothing)
{
    CTouchEventQueue queue;
    CEventMPI().RegisterEventListener(&queue);
    const int count = 20000;
    std::thread poster([] {
        for (int i = 0; i < count; ++i)
            CEventMPI::PostTouchEvent(touch(1, static_cast<std::int16_t>(i % 320), 0));
    });
    int taken = 0;
    int expectedX = 0;
    bool ordered = true;
    while (taken < count)
    {
        for (const tTouchData& data : queue.GetQueue())
        {
            ordered = ordered && data.x == expectedX;
            expectedX = (expectedX + 1) % 320;
            ++taken;
        }
    }
    poster.join();
    EXPECT_EQ(count, taken);
    EXPECT_TRUE(ordered);
    CEventMPI().UnregisterEventListener(&queue);
}
