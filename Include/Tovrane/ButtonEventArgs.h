#ifndef TOVRANE_BUTTONEVENTARGS_H
#define TOVRANE_BUTTONEVENTARGS_H

#include <cstdint>

namespace Tovrane
{
// Where a button's event happened, in picker coordinates (x from the left,
// y up from the bottom of the 240-pixel screen); -1, -1 for a click made by
// selecting the highlighted button.
struct ButtonEventArgs
{
    ButtonEventArgs() : x(-1), y(-1) {}
    ButtonEventArgs(std::int32_t x, std::int32_t y) : x(x), y(y) {}

    std::int32_t x;
    std::int32_t y;
};
}

#endif
