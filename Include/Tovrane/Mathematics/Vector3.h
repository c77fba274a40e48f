#ifndef TOVRANE_MATHEMATICS_VECTOR3_H
#define TOVRANE_MATHEMATICS_VECTOR3_H

namespace Tovrane
{
template <typename T> class Vector3
{
public:
    Vector3() : x(0), y(0), z(0) {}
    Vector3(T x, T y, T z) : x(x), y(y), z(z) {}

    Vector3 operator+(const Vector3& o) const { return Vector3(x + o.x, y + o.y, z + o.z); }
    Vector3 operator-(const Vector3& o) const { return Vector3(x - o.x, y - o.y, z - o.z); }
    bool operator==(const Vector3& o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator!=(const Vector3& o) const { return !(*this == o); }

    T x;
    T y;
    T z;
};
}

#endif
