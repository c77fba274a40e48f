#ifndef PLATFORM_INPUTTYPES_H
#define PLATFORM_INPUTTYPES_H

#include <cstdint>

namespace Vantorel
{
namespace Kelm
{
// When an input event happened: the kernel clock's reading split into seconds
// and microseconds.
struct tEventTime
{
    std::int32_t seconds;
    std::int32_t microSeconds;
};

// Touch states: the stylus is on the screen (pressed or dragged) or lifted.
enum
{
    kTouchStateUp = 0,
    kTouchStateDown = 1
};

// One touch event: state, position in screen pixels (320 x 240, x from the
// left, y from the top row downwards) and time.
struct tTouchData
{
    std::uint16_t touchState;
    std::int16_t x;
    std::int16_t y;
    tEventTime time;
};

// Buttons, one bit each in the masks of tButtonData2.
enum
{
    kButtonUp = 0x1,
    kButtonDown = 0x2,
    kButtonLeft = 0x4,
    kButtonRight = 0x8,
    kButtonA = 0x10,
    kButtonB = 0x20,
    kButtonLeftShoulder = 0x40,
    kButtonRightShoulder = 0x80,
    kButtonMenu = 0x100,
    kButtonHint = 0x200
};

// One button event: the buttons held down after the event and the buttons
// whose state the event changed.
struct tButtonData2
{
    std::uint32_t buttonState;
    std::uint32_t buttonTransition;
    tEventTime time;
};

static_assert(sizeof(tTouchData) == 16, "touch records are 16 bytes");
static_assert(sizeof(tButtonData2) == 16, "button records are 16 bytes");

// How the touch screen reports: the default rate, or the drawing mode used
// while the child traces or paints.
enum tTouchMode : int
{
    kTouchModeDefault = 0,
    kTouchModeDrawing = 1
};
}
}

#endif
