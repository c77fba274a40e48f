#ifndef RESOURCES_TOUCHTYPE_H
#define RESOURCES_TOUCHTYPE_H

namespace Tovrane
{
// The kinds of touch the judging of a traceable line takes; others are ignored.
struct TouchType
{
    enum Type : int
    {
        Down = 1,
        Move = 2,
        Up = 3
    };
};

typedef TouchType::Type eTouchType;
}

#endif
