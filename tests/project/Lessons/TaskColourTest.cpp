// Colouring lines: which pie picks meet a requirement, and how the marked area
// is counted against the picture.
#include "Resources/Lessons/TaskStudioState.h"

#include <gtest/gtest.h>

using namespace Tovrane;

TEST(TaskColourTest, RequirementsAgainstEveryPick)
{
    // Right picks 0-6 (6 is the pie with no colour) per requirement.
    const struct
    {
        int requirement;
        const char* right;
    } table[] = {{0, "1000000"}, {1, "0100000"}, {2, "0010000"}, {3, "0001000"}, {4, "0000100"}, {5, "0000010"},
                 {6, "0000000"}, {7, "1010010"}, {8, "0101100"}, {9, "0001100"}, {12, "0000000"}, {-1, "0000000"}};
    for (const auto& row : table)
        for (int pick = 0; pick <= 6; ++pick)
            EXPECT_EQ(row.right[pick] == '1', TaskStudioState::isRightColor(row.requirement, pick))
                << "requirement " << row.requirement << " pick " << pick;
}

TEST(TaskColourTest, FillCountsOnlyWhiteMaskPixelsInsideBoxMaskAndPicture)
{
    const ColorRGBA<unsigned char> orange(240, 144, 0, 255), white(255, 255, 255, 255);
    // A 10x10 mask, all white, over a 12x12 picture; `paint` pixels get the colour
    // in reading order, the rest stay white.
    const struct
    {
        const char* what;
        int paint;
        unsigned char maskChannel;
        unsigned char paintAlpha;
        int x0, y0, w, h;
        int coloured, uncoloured;
    } table[] = {
        {"84 of 100 end the line", 84, 255, 255, 0, 0, 10, 10, 84, 16},
        {"83 of 100 do not", 83, 255, 255, 0, 0, 10, 10, 83, 17},
        {"mask channel 199 is not the area", 50, 199, 255, 0, 0, 10, 10, 0, 0},
        {"mask channel 200 is", 50, 200, 255, 0, 0, 10, 10, 50, 50},
        {"alpha is not compared", 30, 255, 0, 0, 0, 10, 10, 30, 70},
        {"box reaching past the mask and left and above", 100, 255, 255, -5, -5, 40, 40, 100, 0},
        {"box past the picture's bottom", 0, 255, 255, 0, 8, 10, 100, 0, 20},
        {"empty box", 100, 255, 255, 0, 0, 0, 10, 0, 0},
    };
    // Both the row loop (RGBA8888 masks) and pixel reads (other masks) count.
    for (const PixelFormat::Type format : {PixelFormat::RGBA8888, PixelFormat::RGB888})
    for (const auto& row : table)
    {
        Texture mask(10, 10, format);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                mask.setPixel(ColorRGBA<unsigned char>(255, row.maskChannel, 255, 255), x, y);
        Texture picture(12, 12, PixelFormat::RGBA5551);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                picture.setPixel(white, x, y);
        for (int i = 0; i < row.paint; ++i)
            picture.setPixel(ColorRGBA<unsigned char>(orange.r, orange.g, orange.b, row.paintAlpha), i % 10, i / 10);
        int coloured = -1, uncoloured = -1;
        TaskStudioState::countColorFill(mask, picture, row.x0, row.y0, row.w, row.h, orange, coloured, uncoloured);
        EXPECT_EQ(row.coloured, coloured) << row.what << ", mask format " << format;
        EXPECT_EQ(row.uncoloured, uncoloured) << row.what << ", mask format " << format;
    }

    // A colour whose channels the 5-bit picture cannot hold is never found.
    Texture mask(4, 4, PixelFormat::RGBA8888, true, 255), picture(4, 4, PixelFormat::RGBA5551, true, 255);
    int coloured = -1, uncoloured = -1;
    TaskStudioState::countColorFill(mask, picture, 0, 0, 4, 4, ColorRGBA<unsigned char>(248, 248, 248, 255), coloured,
                                    uncoloured);
    EXPECT_EQ(16, coloured) << "white as the picture holds it";
    TaskStudioState::countColorFill(mask, picture, 0, 0, 4, 4, ColorRGBA<unsigned char>(252, 255, 255, 255), coloured,
                                    uncoloured);
    EXPECT_TRUE(coloured == 0 && uncoloured == 16);
}
