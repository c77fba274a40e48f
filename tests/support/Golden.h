#ifndef TESTS_SUPPORT_GOLDEN_H
#define TESTS_SUPPORT_GOLDEN_H

// Comparison of a picture with a reviewed PNG under tests/data/.

#include "Tovrane/Texture.h"
#include "support/PictureDifference.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace TestSupport
{
// Compares `shown` byte for byte with the picture at `path`. With
// TOVRANE_WRITE_GOLDENS set a missing one is written instead; a differing
// picture is kept beside the build (failedPicturePath).
inline void expectGolden(const Tovrane::TexturePtr& shown, const std::string& path)
{
    if (std::getenv("TOVRANE_WRITE_GOLDENS") && !std::ifstream(path).good())
    {
        ASSERT_TRUE(shown->save(path)) << path;
    }
    Tovrane::TexturePtr golden = Tovrane::Texture::fromFile(path);
    ASSERT_TRUE(golden) << path;
    ASSERT_EQ(golden->getFormat(), shown->getFormat()) << path;
    const std::string difference = pictureDifference(shown->getPixels(), shown->getWidth(), shown->getHeight(),
        golden->getPixels(), golden->getWidth(), golden->getHeight(), shown->getBytesPerPixel());
    if (!difference.empty())
    {
        const std::string actual = failedPicturePath(path);
        std::filesystem::create_directories(actual.substr(0, actual.find_last_of('/')));
        shown->save(actual);
        ADD_FAILURE() << path << ": " << difference << "; the picture shown is " << actual;
    }
}

// The same for a 320 x 240 RGBA frame read back from the screen.
inline void expectFrameGolden(const std::vector<std::uint8_t>& frame, const std::string& path)
{
    Tovrane::TexturePtr shown(new Tovrane::Texture(320, 240, Tovrane::PixelFormat::RGBA8888));
    ASSERT_EQ(shown->getSize(), frame.size());
    std::memcpy(shown->getPixels(), frame.data(), frame.size());
    expectGolden(shown, path);
}
}

#endif
