// The pixel font's wrapped text: lines at the largest scale that fits the box.
#include "PixelFont.h"

#include <gtest/gtest.h>

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
    } cases[] = {{"LINES", 62, 44, 4, 3, {"LINES"}}, {"SEEING SHAPES", 62, 44, 4, 2, {"SEEING", "SHAPES"}},
        {"TOWN MAP NOT IN THIS BUILD", 280, 240, 4, 4, {"TOWN MAP NOT IN", "THIS BUILD"}},
        {"A B C", 3, 100, 1, 1, {"A", "B", "C"}}, {"PARCHMENT", 20, 10, 2, 1, {"PARCHMENT"}}, {"  ", 10, 10, 3, 3, {}}};
    for (const auto& c : cases)
    {
        Picture picture(c.width, c.height);
        EXPECT_EQ(c.scale, PixelFont::drawWrapped(picture, 0, 0, c.width, c.height, c.text, c.maxScale, {0, 0, 0, 255}));
        EXPECT_EQ(c.lines, PixelFont::wrap(c.text, c.width, c.scale)) << c.text;
    }
    // "H" fills its cell: the ink of "H H" at scale 2 is its 22 x 10 line, centred in the box.
    Picture picture(40, 30);
    PixelFont::drawWrapped(picture, 4, 2, 30, 20, "H H", 3, {0, 0, 0, 255});
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
        {
            const bool outside = x < 8 || x > 29 || y < 7 || y > 16, edge = !outside && (x == 8 || x == 29);
            EXPECT_TRUE(!(outside || edge) || edge == (picture.get(x, y).a != 0)) << x << "," << y;
        }
}
