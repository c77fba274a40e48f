#ifndef PLATFORM_CKERNELMPI_H
#define PLATFORM_CKERNELMPI_H

namespace Vantorel
{
namespace Kelm
{
// The kernel service: the millisecond clock behind the module's time. It is a
// monotonic clock that reads at least 1000 at its first query (so no frame
// ever sees 0) and wraps at 32 bits. In the host's fixed-step mode it is a
// virtual clock that stands still until the host advances it, once per frame,
// so that runs are deterministic. Objects are cheap; all share one clock.
class CKernelMPI
{
public:
    CKernelMPI();
    ~CKernelMPI();

    unsigned int GetElapsedTimeAsMSecs() const;

    // Host side: switch to the virtual clock, starting at the given reading.
    static void UseVirtualClock(unsigned int startMSecs = 1000);
    // Host side: back to the monotonic clock.
    static void UseRealClock();
    static bool IsVirtualClock();
    // Host side: advance the virtual clock (wraps at 32 bits).
    static void AdvanceVirtualClock(unsigned int msecs);
};
}
}

#endif
