// Loads the four player save files from arbitrary bytes. Input: four chunks,
// one per file (data.bin, lesson.bin, animation.bin, achievements.bin), each a
// 16-bit little-endian length (0xffff: no file) and that many bytes (cut
// short at the end of the input); whatever follows is the record of a grouped
// save that a killed writer left in the folder. Whatever the files hold, the
// profile loads into values the game can use, the record is dealt with and
// gone, and saving and loading it again changes nothing.
#include "Resources/Profile/ScrivletPlayer.h"

#include "ProfileFuzzFolder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <string>
#include <unistd.h>

using namespace Tovrane;

namespace
{
std::string folder;
const char* const names[4] = {"data.bin", "lesson.bin", "animation.bin", "achievements.bin"};

void check(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "profile value out of range: %s\n", what);
        std::abort();
    }
}

void checkRanges(const ScrivletPlayer& p)
{
    for (int i = 0; i < ScrivletPlayer::locationCount; ++i)
        check(p.locationStates[i] >= 0 && p.locationStates[i] <= 3, "location state");
    for (int i = 0; i < ScrivletPlayer::writingLessonCount; ++i)
        check(p.lessonStates[i] >= 0 && p.lessonStates[i] <= 3, "lesson state");
    for (int i = 0; i < ScrivletPlayer::advancedLessonCount; ++i)
        check(p.advancedLessonStates[i] >= 0 && p.advancedLessonStates[i] <= 3, "advanced lesson state");
    for (int i = 0; i < ScrivletPlayer::animationSlotCount; ++i)
        check(p.frameCounts[i] >= 1 && p.frameCounts[i] <= 12, "frame count");
    check(p.lastUploadedSlot >= -1 && p.lastUploadedSlot <= 5, "upload slot");
    check(p.musicVolume >= ScrivletPlayer::minMusicVolume && p.musicVolume <= ScrivletPlayer::maxMusicVolume,
          "music volume");
    check(p.lastCompleteLocation >= 0 && p.lastCompleteLocation < 64, "last complete location");
}

std::string readFile(const std::string& path)
{
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb"))
    {
        char buffer[512];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.append(buffer, got);
        std::fclose(file);
    }
    return bytes;
}
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const std::string name = makeProfileFuzzFolder("savefiles");
    folder = ScrivletPlayer().localDataPath;
    // The profile reports damaged files on standard output.
    if (!std::freopen("/dev/null", "w", stdout))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::size_t at = 0;
    for (int f = 0; f < 4; ++f)
    {
        std::string path = folder + names[f];
        std::remove(path.c_str());
        if (at + 2 > size)
            continue;
        std::size_t length = data[at] | (data[at + 1] << 8);
        at += 2;
        if (length == 0xffff)
            continue;
        if (length > size - at)
            length = size - at;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file)
            std::abort();
        std::fwrite(data + at, 1, length, file);
        std::fclose(file);
        at += length;
    }

    const std::string record = folder + ".group-commit." + std::to_string(::getpid()) + ".1";
    std::remove(record.c_str());
    if (at < size)
    {
        std::FILE* file = std::fopen(record.c_str(), "wb");
        if (!file)
            std::abort();
        std::fwrite(data + at, 1, size - at, file);
        std::fclose(file);
    }

    ScrivletPlayer first;
    first.load();
    checkRanges(first);
    if (std::FILE* left = std::fopen(record.c_str(), "rb"))
    {
        std::fclose(left);
        std::fprintf(stderr, "the record of an unfinished save stayed\n");
        std::abort();
    }
    first.save();
    std::string saved[4];
    for (int f = 0; f < 4; ++f)
        saved[f] = readFile(folder + names[f]);

    ScrivletPlayer second;
    second.load();
    checkRanges(second);
    second.save();
    for (int f = 0; f < 4; ++f)
        if (readFile(folder + names[f]) != saved[f])
        {
            std::fprintf(stderr, "%s changed between two loads\n", names[f]);
            std::abort();
        }
    return 0;
}
