#ifndef RESOURCES_STAROUTLINE_H
#define RESOURCES_STAROUTLINE_H

#include "Tovrane/Line.h"

namespace Tovrane
{
class StarOutline;
typedef boost::shared_ptr<StarOutline> StarOutlinePtr;

// A five-pointed star filling a drag box, as a closed loop of ten segments
// from the top tip round by the left.
class StarOutline : public Line
{
    TOVRANE_DECLARE_RTTI(StarOutline)

public:
    StarOutline(Vector3<tFixed> a, Vector3<tFixed> b, ColorRGBA<tFixed> colour);
    ~StarOutline() override;
};
}

#endif
