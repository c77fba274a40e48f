#ifndef TOVRANE_MATHEMATICS_VECTOR2_H
#define TOVRANE_MATHEMATICS_VECTOR2_H

namespace Tovrane
{
template <typename T> class Vector2
{
public:
    Vector2() : x(0), y(0) {}
    Vector2(T x, T y) : x(x), y(y) {}

    Vector2 operator+(const Vector2& o) const { return Vector2(x + o.x, y + o.y); }
    Vector2 operator-(const Vector2& o) const { return Vector2(x - o.x, y - o.y); }
    bool operator==(const Vector2& o) const { return x == o.x && y == o.y; }
    bool operator!=(const Vector2& o) const { return !(*this == o); }

    T x;
    T y;
};
}

#endif
