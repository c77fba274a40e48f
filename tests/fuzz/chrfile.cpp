// libFuzzer target for the character description reader: any bytes must be
// read without a crash, a leak, a read past the end of the data or an
// allocation sized by a count; only frame counts of 1 to 999 are kept, and
// characters built from what was read have every animation hidden.

#include "Tovrane/AnimatedSprite.h"
#include "Tovrane/Character.h"
#include "Tovrane/SceneManager.h"

#include "CSystemData.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

namespace
{
int memoryFile = -1;
std::string fileName;
// A folder that does not exist: frame pictures named by the input are looked
// for there and never found, whatever "../" they hold.
const char* const kNowhere = "/nonexistent-tovrane-chrfile/";
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    memoryFile = memfd_create("chr-input", 0);
    if (memoryFile < 0)
        std::abort();
    fileName = std::to_string(memoryFile);
    CSystemData::Config config;
    config.titlePath = kNowhere;
    CSystemData::Configure(config);
    // The reader's messages would drown the fuzzer's output.
    if (!std::freopen("/dev/null", "w", stdout))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // Through a file, as the game reads descriptions.
    if (ftruncate(memoryFile, 0) != 0 || pwrite(memoryFile, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    Tovrane::SceneManager manager;
    manager.addMetadataPath("/proc/self/fd/");
    manager.addTexturePath(std::string(kNowhere) + "images/");
    manager.addCharacterInfo(fileName);

    // Through a stream: the same characters, and reading twice changes
    // neither them nor the answer whether the data was cut.
    {
        Tovrane::SceneManager again;
        std::istringstream first(bytes), second(bytes);
        const bool whole = again.readCharacterInfo(static_cast<std::istream&>(first));
        if (again.readCharacterInfo(static_cast<std::istream&>(second)) != whole)
            std::abort();
        if (again.getCharacterInfo().size() != manager.getCharacterInfo().size())
            std::abort();
    }

    // Every kept animation has a frame count the names can number; a few
    // small characters are built for real.
    long framesBuilt = 0;
    for (const auto& entry : manager.getCharacterInfo())
    {
        if (entry.first != entry.second.name || entry.first.size() > 255)
            std::abort();
        long frames = 0;
        std::set<std::string> names;
        for (const Tovrane::SceneManager::AnimationInfo& animation : entry.second.animations)
        {
            if (animation.frameCount < 1 || animation.frameCount > 999)
                std::abort();
            frames += animation.frameCount;
            names.insert(animation.name);
        }
        if (framesBuilt + frames > 64)
            continue;
        framesBuilt += frames;
        Tovrane::CharacterPtr character = manager.getCharacter(entry.first);
        if (!character || character->getChildQuantity() != static_cast<int>(names.size()))
            std::abort();
        for (const std::string& name : names)
        {
            Tovrane::SpatialPtr sprite = character->getAnimation(name);
            if (!sprite || sprite->cullingMode != Tovrane::CullingMode::Hide || character->isAnimating(name))
                std::abort();
        }
    }
    return 0;
}
