#ifndef RESOURCES_COLORPIEARGS_H
#define RESOURCES_COLORPIEARGS_H

#include "Tovrane/ColorRGBA.h"

namespace Tovrane
{
// What a colour pie's listeners are asked about: the colour number (0 red,
// 1 blue, 2 yellow, 3 purple, 4 green, 5 orange, 6 none) and the pixel read.
struct ColorPieArgs
{
    ColorPieArgs() : color(6), rgba(0, 0, 0, 0) {}
    ColorPieArgs(int color, const ColorRGBA<unsigned char>& rgba) : color(color), rgba(rgba) {}

    int color;
    ColorRGBA<unsigned char> rgba;
};
}

#endif
