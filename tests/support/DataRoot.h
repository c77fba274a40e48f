#ifndef TESTS_SUPPORT_DATAROOT_H
#define TESTS_SUPPORT_DATAROOT_H

// What every test program shares: a scratch folder of this process, removed
// when the process ends, holding the data root and title folder the platform
// is configured with (or the generated title); Ogg Vorbis tones made by the
// title generator's encoder; and a journal of what happened, compared whole.

#include "OggTone.h"

#include "CSystemData.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace TestSupport
{
// This process's scratch folder in the temporary folder, ending in "/" (test
// programs run one process per case, in parallel). A death test's child uses
// its parent's folder, and only the process that made it removes it.
inline const std::string& scratchFolder()
{
    static const struct Scratch
    {
        const bool child = !GTEST_FLAG_GET(internal_run_death_test).empty();
        const pid_t owner = child ? 0 : ::getpid();
        const std::string path = std::filesystem::temp_directory_path().string() + "/tovrane-test-" +
                                 std::to_string(child ? ::getppid() : ::getpid()) + "/";
        Scratch() { std::filesystem::create_directories(path); }
        ~Scratch()
        {
            if (::getpid() == owner)
                std::filesystem::remove_all(path);
        }
    } scratch;
    return scratch.path;
}

// A folder of its own inside the scratch folder, made empty, ending in "/".
inline std::string freshFolder(const std::string& name)
{
    const std::string folder = scratchFolder() + name + "/";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

// Configures the platform's data root ("data/") and title folder ("title/")
// inside the scratch folder. False when another test of the process had
// configured them first: the system data is configured once per process.
inline bool useDataRoot()
{
    static const bool configured = [] {
        CSystemData::Config config;
        config.dataRoot = scratchFolder() + "data";
        config.titlePath = scratchFolder() + "title/";
        std::filesystem::create_directories(config.titlePath);
        return CSystemData::Configure(config);
    }();
    return configured;
}

// The scratch data root, "…/data" (no "/" at the end).
inline std::string dataRoot() { return scratchFolder() + "data"; }

// Configures the platform with the title the generator wrote at build time
// and the scratch data root. False without that title, or when another test
// of the process had configured the system data first.
inline bool useGeneratedTitle()
{
    static const bool configured = [] {
        CSystemData::Config config;
        config.titlePath = std::string(TOVRANE_BINARY_DIR) + "/title/";
        config.dataRoot = dataRoot();
        return std::filesystem::exists(config.titlePath + "metadata") && CSystemData::Configure(config);
    }();
    return configured;
}

// What `f` printed on standard output.
template <class F> std::string printed(F f)
{
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}

// Lines written by the code under test, in order, from any thread.
class Journal
{
public:
    void add(const std::string& line)
    {
        std::lock_guard<std::mutex> lock(mutex);
        lines.push_back(line);
    }
    std::vector<std::string> take()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return std::exchange(lines, {});
    }

private:
    std::mutex mutex;
    std::vector<std::string> lines;
};

// The whole content of a file ("" when it cannot be read).
inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes a sine tone (hertz 0: noise) of exactly `frames` sample frames.
inline bool writeOgg(const std::string& path, long frames, int rate = 44100, int channels = 1, double hertz = 440.0)
{
    const std::string bytes = TovraneTools::encodeOgg(frames, rate, channels, hertz, false, 1);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return !bytes.empty() && out.good();
}
}

#endif
