#ifndef RESOURCES_COLORWHEELARGS_H
#define RESOURCES_COLORWHEELARGS_H

#include "Tovrane/ColorRGBA.h"

namespace Tovrane
{
// A lesson wheel's state after a release, submitted to its owner: the centre
// colour, the two colour indices of the mixture and the press direction in
// degrees.
struct ColorWheelArgs
{
    ColorWheelArgs() : color(0, 0, 0, 0), firstIndex(0), secondIndex(0), angle(0.0f) {}
    ColorWheelArgs(const ColorRGBA<unsigned char>& color, int firstIndex, int secondIndex, float angle) :
        color(color), firstIndex(firstIndex), secondIndex(secondIndex), angle(angle)
    {
    }

    ColorRGBA<unsigned char> color;
    int firstIndex;
    int secondIndex;
    float angle;
};
}

#endif
