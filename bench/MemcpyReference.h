// The unit every benchmark reports in: a memcpy of the 640 x 480 16-bit
// picture between page-aligned buffers, timed in the same program. Each
// case's counter "memcpys" is its time per iteration divided by that
// memcpy's.
//
// Times are CPU time, so a loaded machine taking the processor away does not
// count. A case's run is cut into chunks of a few milliseconds and only the
// fastest chunk counts, so chunks slowed by other programs (their use of the
// caches, a move to another processor) do not either. The memcpy is timed
// the same way, in runs of about the same length between the case's chunks,
// on the same processor under the same load.
#ifndef BENCH_MEMCPYREFERENCE_H
#define BENCH_MEMCPYREFERENCE_H

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace bench
{
const size_t PictureBytes = 640 * 480 * 2;

// The CPU seconds this thread (or with CLOCK_PROCESS_CPUTIME_ID, all the
// program's threads) has used.
inline double cpuSecondsNow(clockid_t clock = CLOCK_THREAD_CPUTIME_ID)
{
    timespec now;
    ::clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The CPU time per iteration of the fastest chunk of iterations, a chunk
// being as many iterations as take at least two milliseconds (found by
// doubling from one). lap() ends each iteration and says whether it ended a
// chunk; pause() and resume() leave work out of the time. The clock is read
// only at chunk ends and around pauses, so short iterations are timed as
// well as long ones. Work done on other threads needs the process's clock.
class CpuTimer
{
public:
    explicit CpuTimer(clockid_t clock = CLOCK_THREAD_CPUTIME_ID) : clock(clock), start(cpuSecondsNow(clock)) {}

    void pause() { paused = cpuSecondsNow(clock); }
    void resume() { start += cpuSecondsNow(clock) - paused; }
    // The next chunk starts now.
    void restart() { start = cpuSecondsNow(clock); }

    bool lap()
    {
        if (++done < chunk)
            return false;
        const double now = cpuSecondsNow(clock);
        best = std::min(best, (now - start) / static_cast<double>(done));
        if (now - start < ChunkSeconds)
            chunk *= 2;
        start = now;
        done = 0;
        return true;
    }

    // Seconds per iteration; a run shorter than one chunk counts as a whole.
    double seconds() const
    {
        if (best < Never)
            return best;
        return done > 0 ? (cpuSecondsNow(clock) - start) / static_cast<double>(done) : 0;
    }

    static constexpr double ChunkSeconds = 0.002;

private:
    static constexpr double Never = 1e30;
    const clockid_t clock;
    long long chunk = 1;
    long long done = 0;
    double start;
    double paused = 0;
    double best = Never;
};

// Seconds of this thread's CPU time per memcpy of the picture between two
// page-aligned buffers of the program, both written before any timing so no
// page is first touched inside it: one memcpy to bring them into the caches,
// then a timed run of about a chunk's length.
inline double memcpySeconds()
{
    static unsigned char* const source = [] {
        unsigned char* p = static_cast<unsigned char*>(std::aligned_alloc(4096, 2 * PictureBytes));
        std::memset(p, 1, 2 * PictureBytes);
        return p;
    }();
    unsigned char* const target = source + PictureBytes;
    const int count = 128;
    double start = 0;
    for (int i = -1; i < count; ++i)
    {
        if (i == 0)
            start = cpuSecondsNow();
        source[i + 1] = static_cast<unsigned char>(i);
        std::memcpy(target, source, PictureBytes);
        benchmark::DoNotOptimize(target);
        benchmark::ClobberMemory();
    }
    return (cpuSecondsNow() - start) / count;
}

// A CpuTimer that times the memcpy before the case and after every eighth
// chunk, and reports the ratio of the fastest of each when it goes.
class Measure : public CpuTimer
{
public:
    explicit Measure(benchmark::State& state, clockid_t clock = CLOCK_THREAD_CPUTIME_ID)
        : CpuTimer(clock), state(state), unit(memcpySeconds())
    {
        restart();
    }
    ~Measure() { state.counters["memcpys"] = seconds() / unit; }

    void lap()
    {
        if (!CpuTimer::lap() || ++chunks % 8 != 0)
            return;
        unit = std::min(unit, memcpySeconds());
        restart();
    }

private:
    benchmark::State& state;
    double unit;
    long long chunks = 0;
};

// Runs `iteration` as the case's loop body and reports its ratio.
template <typename Iteration> void measure(benchmark::State& state, Iteration iteration)
{
    Measure timer(state);
    for (auto _ : state)
    {
        iteration();
        timer.lap();
    }
}

// The memcpy itself as a case of every program that includes this header, so
// each report shows the unit next to the cases measured in it (about 1.0).
inline void BM_Memcpy(benchmark::State& state)
{
    unsigned char* source = static_cast<unsigned char*>(std::aligned_alloc(4096, PictureBytes));
    unsigned char* target = static_cast<unsigned char*>(std::aligned_alloc(4096, PictureBytes));
    std::memset(source, 1, PictureBytes);
    std::memset(target, 0, PictureBytes);
    measure(state, [&] {
        std::memcpy(target, source, PictureBytes);
        benchmark::DoNotOptimize(target);
        benchmark::ClobberMemory();
    });
    std::free(source);
    std::free(target);
}
BENCHMARK(BM_Memcpy);
}

#endif
