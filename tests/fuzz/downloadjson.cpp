// Reads one downloaded package's "download.json" from arbitrary bytes. The
// package folder has two sub-folders a bundle may name ("task/", a task, and
// "frame/", a frame). Whatever the file holds, loading it never crashes, adds
// only what is in range and never leaves the package's folder.
#include "Resources/Profile/ScrivletPlayer.h"

#include "ProfileFuzzFolder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace Tovrane;

namespace
{
std::string package;

void check(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "download loading went wrong: %s\n", what);
        std::abort();
    }
}

void writeFile(const std::string& path, const std::string& text)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const std::string name = makeProfileFuzzFolder("downloadjson");
    package = name + "/package/";
    ::mkdir(package.c_str(), 0755);
    ::mkdir((package + "task").c_str(), 0755);
    ::mkdir((package + "frame").c_str(), 0755);
    writeFile(package + "task/download.json", R"({"type": "Task"})");
    writeFile(package + "frame/download.json", R"({"type": "Frame", "frame": 3})");
    // Skipped packages are reported on standard output.
    if (!std::freopen("/dev/null", "w", stdout))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    writeFile(package + "download.json", std::string(reinterpret_cast<const char*>(data), size));

    ScrivletPlayer profile;
    profile.onLoadMicroDownloads();
    profile.loadMicroDownload(package);

    check(profile.unlockedFrames.size() == 6, "frame bits");
    check(profile.unlockedStamps.size() == 24, "stamp bits");
    check(profile.isFrameUnlocked(0) && profile.isFrameUnlocked(1), "built-in frames");
    for (int i = 0; i < profile.getColoringBookCount(); ++i)
    {
        ColoringBookDownloadPtr book = profile.getColoringBookPage(i);
        check(book->pageCount > 0 && book->pageCount <= ScrivletPlayer::maxColoringBookPages, "page count");
        check(book->path == package, "book folder");
    }
    for (int i = 0; i < profile.getLocationCount(); ++i)
    {
        const std::string& path = profile.getTaskDownload(i)->path;
        check(path.compare(0, package.size(), package) == 0, "task inside the package");
        check(path.find("..") == std::string::npos, "no way out of the package");
    }
    return 0;
}
