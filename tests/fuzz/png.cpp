// libFuzzer target for the PNG loader: any bytes must give a texture or
// nothing, never a crash, a leak or a touch of memory the loader does not own.
// Small pictures that load are also saved and loaded again, and must come back
// with the same pixels.

#include "Tovrane/Texture.h"

#include "FuzzScratchFolder.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
int memoryFile = -1;
std::string inputPath;
std::string saveFolder;
std::string savePath;

void removeSaveFolder()
{
    std::remove(savePath.c_str());
    rmdir(saveFolder.c_str());
}

void check(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "PNG round trip failed: %s\n", what);
        std::abort();
    }
}

void roundTrip(const Tovrane::Texture& texture)
{
    if (!texture.save(savePath))
        return;
    Tovrane::TexturePtr back = Tovrane::Texture::fromFile(savePath);
    check(back != nullptr, "saved picture does not load");
    check(back->getFormat() == texture.getFormat(), "format");
    check(back->getWidth() == texture.getWidth() && back->getHeight() == texture.getHeight(), "size");
    const std::size_t bytes = static_cast<std::size_t>(texture.getPitch()) * texture.getHeight();
    check(std::memcmp(back->getPixels(), texture.getPixels(), bytes) == 0, "pixels");
    if (texture.getPalette())
        for (int i = 0; i < 256; ++i)
        {
            const Tovrane::ColorRGBA<unsigned char> a = texture.getPaletteEntry(i), b = back->getPaletteEntry(i);
            check(a.r == b.r && a.g == b.g && a.b == b.b, "palette");
        }
}
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    memoryFile = memfd_create("png-input", 0);
    if (memoryFile < 0)
        std::abort();
    inputPath = "/proc/self/fd/" + std::to_string(memoryFile);
    saveFolder = makeFuzzScratchFolder("png");
    savePath = saveFolder + "/saved.png";
    std::atexit(removeSaveFolder);
    // The loader's messages for broken input would drown the fuzzer's output.
    if (!std::freopen("/dev/null", "w", stdout))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (ftruncate(memoryFile, 0) != 0 || pwrite(memoryFile, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    Tovrane::TexturePtr texture = Tovrane::Texture::fromFile(inputPath);
    if (!texture)
        return 0;

    // Read every pixel: the block must hold exactly what the size promises.
    unsigned sum = 0;
    for (int y = 0; y < texture->getHeight(); ++y)
        for (int x = 0; x < texture->getWidth(); ++x)
            sum += texture->getPixel(x, y).a;
    (void)sum;

    if (texture->getWidth() * texture->getHeight() <= 64 * 64)
        roundTrip(*texture);
    return 0;
}
