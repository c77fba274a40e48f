// The unit every benchmark reports in: a memcpy of the 640 x 480 16-bit
// picture, timed in the same run. Each case's counter "memcpys" is its time
// per iteration divided by that memcpy's.
#ifndef BENCH_MEMCPYREFERENCE_H
#define BENCH_MEMCPYREFERENCE_H

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace bench
{
const size_t PictureBytes = 640 * 480 * 2;

inline double secondsNow()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The fastest of many batches of memcpys of the picture.
inline double memcpySeconds()
{
    static double seconds = [] {
        std::vector<unsigned char> source(PictureBytes, 1), target(PictureBytes);
        double best = 1e9;
        for (int batch = 0; batch < 30; ++batch)
        {
            const double start = secondsNow();
            for (int i = 0; i < 50; ++i)
            {
                source[i] = static_cast<unsigned char>(i);
                std::memcpy(target.data(), source.data(), PictureBytes);
                benchmark::DoNotOptimize(target.data());
                benchmark::ClobberMemory();
            }
            best = std::min(best, (secondsNow() - start) / 50);
        }
        return best;
    }();
    return seconds;
}

inline void reportRatio(benchmark::State& state, double elapsed)
{
    state.counters["memcpys"] = elapsed / static_cast<double>(state.iterations()) / memcpySeconds();
}

// The memcpy itself as a case of every program that includes this header, so
// each report shows the unit next to the cases measured in it (about 1.0).
inline void BM_Memcpy(benchmark::State& state)
{
    std::vector<unsigned char> source(PictureBytes, 1), target(PictureBytes);
    const double start = secondsNow();
    for (auto _ : state)
    {
        std::memcpy(target.data(), source.data(), PictureBytes);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    reportRatio(state, secondsNow() - start);
}
BENCHMARK(BM_Memcpy);
}

#endif
