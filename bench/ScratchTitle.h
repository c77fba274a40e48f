// What the benchmarks on the generated title share: a scratch data root set
// up with the title and removed at the end, and the measuring of events whose
// standard output goes to a buffer.
#ifndef BENCH_SCRATCHTITLE_H
#define BENCH_SCRATCHTITLE_H

#include "CSystemData.h"

#include "MemcpyReference.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace bench
{
// The generated title configured with a new scratch data root, removed when
// the owner goes (after the owner's own members).
struct ScratchTitle
{
    ScratchTitle()
    {
        // TMPDIR puts the data root on another volume (exFAT, say).
        const char* const folder = std::getenv("TMPDIR");
        std::string data = std::string(folder && *folder ? folder : "/tmp") + "/tovrane-bench-XXXXXX";
        if (!::mkdtemp(&data[0]))
            std::abort();
        scratch = data;
        config.titlePath = std::string(TOVRANE_BINARY_DIR) + "/title/";
        config.dataRoot = scratch + "/";
        CSystemData::Configure(config);
    }
    ~ScratchTitle() { std::filesystem::remove_all(scratch); }

    std::string scratch;
    CSystemData::Config config;
};

// Runs the events, after a start, with standard output in a buffer that is
// emptied now and then.
template <typename Start, typename Event> void measureQuietly(benchmark::State& state, Start prepare, Event event)
{
    std::stringstream buffer;
    std::streambuf* out = std::cout.rdbuf(buffer.rdbuf());
    prepare();
    int n = 0;
    {
        Measure timer(state);
        for (auto _ : state)
        {
            event(n++);
            if (n % 1024 == 0)
                buffer.str(std::string());
            timer.lap();
        }
    }
    std::cout.rdbuf(out);
}
}

#endif
