#include "CKernelMPI.h"

#include <atomic>
#include <chrono>

namespace
{
std::atomic<bool> virtualClock(false);
std::atomic<unsigned int> virtualTime(1000);

// The real clock counts from its first reading, offset so that it never
// starts at 0.
unsigned int realTime()
{
    typedef std::chrono::steady_clock Clock;
    static const Clock::time_point origin = Clock::now();
    long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - origin).count();
    return static_cast<unsigned int>(static_cast<unsigned long long>(ms) + 1000u);
}
}

namespace Vantorel
{
namespace Kelm
{
CKernelMPI::CKernelMPI() {}

CKernelMPI::~CKernelMPI() {}

unsigned int CKernelMPI::GetElapsedTimeAsMSecs() const
{
    return virtualClock.load() ? virtualTime.load() : realTime();
}

void CKernelMPI::UseVirtualClock(unsigned int startMSecs)
{
    virtualTime.store(startMSecs);
    virtualClock.store(true);
}

void CKernelMPI::UseRealClock() { virtualClock.store(false); }

bool CKernelMPI::IsVirtualClock() { return virtualClock.load(); }

void CKernelMPI::AdvanceVirtualClock(unsigned int msecs) { virtualTime.fetch_add(msecs); }
}
}
