#ifndef TOVRANE_MATHEMATICS_RAY_H
#define TOVRANE_MATHEMATICS_RAY_H

#include "Tovrane/Mathematics/Vector3.h"

namespace Tovrane
{
// A pick ray; bounding rectangles test only the origin's x and y.
template <typename T> class Ray
{
public:
    Ray() = default;
    Ray(const Vector3<T>& origin, const Vector3<T>& direction) : origin(origin), direction(direction) {}

    Vector3<T> origin;
    Vector3<T> direction;
};
}

#endif
