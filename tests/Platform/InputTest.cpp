#include "CButtonEventQueue.h"
#include "CButtonMPI.h"
#include "CEventMPI.h"
#include "CTouchEventQueue.h"

#include <gtest/gtest.h>

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

TEST(InputTest, EventsReachRegisteredQueuesOnceAndInOrder)
{
    CTouchEventQueue registered, other;
    CEventMPI events;
    CEventMPI::PostTouchEvent(touch(1, 5, 5)); // nothing arrives before registration
    ASSERT_TRUE(events.RegisterEventListener(&registered, 0));
    ASSERT_TRUE(events.RegisterEventListener(&registered, 0));
    EXPECT_EQ(1u, CEventMPI::GetListenerCount()) << "registering twice must not double the events";
    CEventMPI::PostTouchEvent(touch(1, 10, 20));
    CEventMPI::PostTouchEvent(touch(0, 12, 22));
    const std::vector<tTouchData> got = registered.GetQueue();
    ASSERT_EQ(2u, got.size());
    EXPECT_EQ(1, got[0].touchState);
    EXPECT_EQ(10, got[0].x);
    EXPECT_EQ(20, got[0].y);
    EXPECT_EQ(0, got[1].touchState);
    EXPECT_EQ(22, got[1].y);
    EXPECT_TRUE(registered.GetQueue().empty()) << "taking the events empties the queue";
    EXPECT_TRUE(other.GetQueue().empty());

    // Unregistering drops pending events and stops delivery.
    CEventMPI::PostTouchEvent(touch(1, 1, 1));
    EXPECT_TRUE(events.UnregisterEventListener(&registered));
    EXPECT_FALSE(events.UnregisterEventListener(&registered));
    CEventMPI::PostTouchEvent(touch(0, 1, 1));
    EXPECT_TRUE(registered.GetQueue().empty());

    CButtonEventQueue first, second;
    CButtonMPI buttons;
    buttons.RegisterEventListener(&first);
    buttons.RegisterEventListener(&second);
    CButtonMPI::PostButtonEvent(button(0x10, 0x10));
    CButtonMPI::PostButtonEvent(button(0x0, 0x10));
    for (CButtonEventQueue* queue : {&first, &second})
    {
        const std::vector<tButtonData2> pressed = queue->GetQueue();
        ASSERT_EQ(2u, pressed.size());
        EXPECT_EQ(0x10u, pressed[0].buttonState);
        EXPECT_EQ(0x0u, pressed[1].buttonState);
        EXPECT_EQ(0x10u, pressed[1].buttonTransition);
    }
    buttons.UnregisterEventListener(&first);
    buttons.UnregisterEventListener(&second);

    CButtonMPI().SetTouchMode(kTouchModeDrawing); // shared by every service object
    EXPECT_EQ(kTouchModeDrawing, CButtonMPI().GetTouchMode());
    // The device's sixteen-byte record layout.
    EXPECT_EQ(2u, offsetof(tTouchData, x));
    EXPECT_EQ(4u, offsetof(tTouchData, y));
    EXPECT_EQ(4u, offsetof(tButtonData2, buttonTransition));
}

TEST(InputTest, DestroyedQueuesLeaveTheRegistry)
{
    {
        CTouchEventQueue touches;
        CButtonEventQueue buttons;
        CEventMPI().RegisterEventListener(&touches);
        CButtonMPI().RegisterEventListener(&buttons);
        EXPECT_EQ(1u, CButtonMPI::GetListenerCount());
    }
    EXPECT_EQ(0u, CEventMPI::GetListenerCount());
    EXPECT_EQ(0u, CButtonMPI::GetListenerCount());
    // Posting now must not touch the destroyed queues.
    CEventMPI::PostTouchEvent(touch(1, 0, 0));
    CButtonMPI::PostButtonEvent(button(0x10, 0x10));
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
    bool ordered = true;
    while (taken < count)
        for (const tTouchData& data : queue.GetQueue())
            ordered = ordered && data.x == taken++ % 320;
    poster.join();
    EXPECT_EQ(count, taken);
    EXPECT_TRUE(ordered);
    CEventMPI().UnregisterEventListener(&queue);
}
