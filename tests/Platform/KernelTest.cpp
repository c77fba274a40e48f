#include "CKernelMPI.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using Vantorel::Kelm::CKernelMPI;

TEST(KernelTest, RealClockIsMonotonicAndNeverZero)
{
    CKernelMPI::UseVirtualClock(5);
    CKernelMPI::UseRealClock();
    EXPECT_FALSE(CKernelMPI::IsVirtualClock());
    const unsigned int first = CKernelMPI().GetElapsedTimeAsMSecs();
    EXPECT_GE(first, 1000u);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const unsigned int second = CKernelMPI().GetElapsedTimeAsMSecs();
    EXPECT_GE(second - first, 25u);
    EXPECT_LT(second - first, 5000u);
}

TEST(KernelTest, VirtualClockMovesOnlyWhenAdvancedAndWrapsAt32Bits)
{
    CKernelMPI::UseVirtualClock();
    EXPECT_TRUE(CKernelMPI::IsVirtualClock());
    CKernelMPI kernel;
    EXPECT_EQ(1000u, kernel.GetElapsedTimeAsMSecs());
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(1000u, kernel.GetElapsedTimeAsMSecs());
    CKernelMPI::AdvanceVirtualClock(16);
    CKernelMPI::AdvanceVirtualClock(16);
    EXPECT_EQ(1032u, CKernelMPI().GetElapsedTimeAsMSecs()) << "every object reads the same clock";
    CKernelMPI::UseVirtualClock(0xFFFFFFF0u);
    CKernelMPI::AdvanceVirtualClock(0x20);
    EXPECT_EQ(0x10u, kernel.GetElapsedTimeAsMSecs());
    CKernelMPI::UseRealClock();
}
