// libFuzzer target for the sprite-sheet description reader: any bytes must
// be read without a crash, a leak or a read past the end of the data; a cut
// description keeps what it read whole and says so.

#include "Tovrane/Geometry.h"
#include "Tovrane/SpriteManager.h"
#include "Tovrane/VertexBuffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

namespace
{
int memoryFile = -1;
std::string fileName;

std::int32_t intAt(const std::uint8_t* data, std::size_t size, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(at + i < size ? data[at + i] : 0) << (8 * i);
    return static_cast<std::int32_t>(value);
}
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    memoryFile = memfd_create("tex-input", 0);
    if (memoryFile < 0)
        std::abort();
    fileName = std::to_string(memoryFile);
    // The reader's messages for cut input would drown the fuzzer's output.
    if (!std::freopen("/dev/null", "w", stdout))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Through a file, as the game reads descriptions.
    if (ftruncate(memoryFile, 0) != 0 || pwrite(memoryFile, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    {
        Tovrane::SpriteManager manager;
        manager.addMetadataPath("/proc/self/fd/");
        manager.addSpriteInfo(fileName);
    }

    // Through a stream: reading twice is harmless, and the answer whether the
    // data was cut does not change.
    {
        Tovrane::SpriteManager manager;
        std::istringstream first(std::string(reinterpret_cast<const char*>(data), size));
        std::istringstream second(std::string(reinterpret_cast<const char*>(data), size));
        const bool whole = manager.readSpriteInfo(static_cast<std::istream&>(first));
        if (manager.readSpriteInfo(static_cast<std::istream&>(second)) != whole)
            std::abort();
    }

    // Quads from any values a record may carry.
    Tovrane::SpriteManager manager;
    Tovrane::SpriteManager::SpriteInfo info;
    info.flags = intAt(data, size, 0);
    info.left = tFixed::fromRaw(intAt(data, size, 4));
    info.right = tFixed::fromRaw(intAt(data, size, 8));
    info.top = tFixed::fromRaw(intAt(data, size, 12));
    info.bottom = tFixed::fromRaw(intAt(data, size, 16));
    info.halfWidth = tFixed::fromRaw(intAt(data, size, 20));
    info.halfHeight = tFixed::fromRaw(intAt(data, size, 24));
    Tovrane::GeometryPtr quad = manager.createGeometry(info);
    if (!quad || quad->vertexBuffer->getVertexCount() != 4)
        std::abort();
    return 0;
}
