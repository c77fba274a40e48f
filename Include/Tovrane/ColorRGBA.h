#ifndef TOVRANE_COLORRGBA_H
#define TOVRANE_COLORRGBA_H

namespace Tovrane
{
// Red, green, blue, alpha; 8-bit channels or tFixed vertex colours (1.0 full).
template <typename T> class ColorRGBA
{
public:
    ColorRGBA() : r(0), g(0), b(0), a(0) {}
    ColorRGBA(T r, T g, T b, T a) : r(r), g(g), b(b), a(a) {}

    bool operator==(const ColorRGBA& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const ColorRGBA& o) const { return !(*this == o); }

    T r;
    T g;
    T b;
    T a;
};
}

#endif
