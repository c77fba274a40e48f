// The pixel font's wrapped text: lines at the largest scale that fits the box.
#include "PixelFont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace TovraneTools;

TEST(PixelFontTest, TextIsWrappedAtTheLargestScaleThatFits)
{
    const struct
    {
        const char* text;
        int width, height, maxScale, scale;
        std::vector<std::string> lines;
    } cases[] = {
        {"LINES", 62, 44, 4, 3, {"LINES"}},
        {"A", 62, 44, 4, 4, {"A"}},
        {"SEEING SHAPES", 62, 44, 4, 2, {"SEEING", "SHAPES"}},
        {"TOWN MAP NOT IN THIS BUILD", 280, 240, 4, 4, {"TOWN MAP NOT IN", "THIS BUILD"}},
        {"A B C", 3, 100, 1, 1, {"A", "B", "C"}},
        {"PARCHMENT", 20, 10, 2, 1, {"PARCHMENT"}},  // too wide even at 1: clipped
        {"  ", 10, 10, 3, 3, {}},
    };
    for (const auto& c : cases)
    {
        Picture picture(c.width, c.height);
        EXPECT_EQ(c.scale, PixelFont::drawWrapped(picture, 0, 0, c.width, c.height, c.text, c.maxScale,
                               Colour{0, 0, 0, 255}))
            << c.text;
        EXPECT_EQ(c.lines, PixelFont::wrap(c.text, c.width, c.scale)) << c.text;
    }

    // "H" fills its 3 x 5 cell: the ink of "H H" is the line, centred in the box.
    Picture picture(40, 30);
    EXPECT_EQ(2, PixelFont::drawWrapped(picture, 4, 2, 30, 20, "H H", 3, Colour{0, 0, 0, 255}));
    int left = 40, right = -1, top = 30, bottom = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if (picture.get(x, y).a)
            {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_TRUE(left == 8 && right == 29 && top == 7 && bottom == 16)
        << left << " " << right << " " << top << " " << bottom;
}
