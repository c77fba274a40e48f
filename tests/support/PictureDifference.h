#ifndef TESTS_SUPPORT_PICTUREDIFFERENCE_H
#define TESTS_SUPPORT_PICTUREDIFFERENCE_H

// What differs between a picture and its reviewed golden, for a failure
// message, and where the differing picture is kept: every golden comparison
// of the tests goes through these.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace TestSupport
{
// Empty when the two pictures of width x height pixels, bytesPerPixel bytes
// each, top row first, are the same; otherwise how many pixels differ and
// the first of them (in reading order) in both, as hexadecimal bytes.
inline std::string pictureDifference(const std::uint8_t* shown, const std::uint8_t* golden, int width, int height,
    int bytesPerPixel)
{
    const std::size_t step = static_cast<std::size_t>(bytesPerPixel);
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::size_t differing = 0, first = pixels;
    for (std::size_t i = 0; i < pixels; ++i)
        for (std::size_t b = 0; b < step; ++b)
            if (shown[i * step + b] != golden[i * step + b])
            {
                if (!differing++)
                    first = i;
                break;
            }
    if (!differing)
        return std::string();
    auto hex = [step](const std::uint8_t* pixel) {
        std::string text;
        char digits[3];
        for (std::size_t b = 0; b < step; ++b)
        {
            std::snprintf(digits, sizeof(digits), "%02x", pixel[b]);
            text += digits;
        }
        return text;
    };
    return std::to_string(differing) + " of " + std::to_string(pixels) + " pixels differ; the first at (" +
           std::to_string(first % static_cast<std::size_t>(width)) + ", " +
           std::to_string(first / static_cast<std::size_t>(width)) + "): " + hex(shown + first * step) +
           " shown, " + hex(golden + first * step) + " in the golden";
}

// Where a picture that differs from the golden at `goldenPath` is kept for a
// look: beside the build, under golden-failures/ with the golden's own path
// below tests/data/.
inline std::string failedPicturePath(const std::string& goldenPath)
{
    const std::string data = TOVRANE_TEST_DATA;
    const std::string below = goldenPath.compare(0, data.size() + 1, data + "/") == 0
                                  ? goldenPath.substr(data.size() + 1)
                                  : goldenPath.substr(goldenPath.find_last_of('/') + 1);
    return std::string(TOVRANE_BINARY_DIR) + "/golden-failures/" + below;
}

// The same for pictures whose sizes may differ.
inline std::string pictureDifference(const std::uint8_t* shown, int shownWidth, int shownHeight,
    const std::uint8_t* golden, int goldenWidth, int goldenHeight, int bytesPerPixel)
{
    if (shownWidth != goldenWidth || shownHeight != goldenHeight)
        return "the picture is " + std::to_string(shownWidth) + " x " + std::to_string(shownHeight) +
               ", the golden " + std::to_string(goldenWidth) + " x " + std::to_string(goldenHeight);
    return pictureDifference(shown, golden, shownWidth, shownHeight, bytesPerPixel);
}
}

#endif
