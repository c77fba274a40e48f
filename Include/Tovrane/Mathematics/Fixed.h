#ifndef TOVRANE_MATHEMATICS_FIXED_H
#define TOVRANE_MATHEMATICS_FIXED_H

#include <cmath>
#include <cstdint>

// Signed 16.16 fixed-point number, bit for bit the OpenGL ES "fixed" type.
// Products and quotients go through 64 bits and wrap silently on overflow;
// conversions to integers round towards minus infinity.
class tFixed
{
public:
    constexpr tFixed() : raw(0) {}
    // From a whole number (wraps).
    constexpr tFixed(int n) : raw(static_cast<std::int32_t>(static_cast<std::uint32_t>(n) << 16)) {}
    // From a float: multiplied by 65536 in single precision, truncated towards zero.
    // Values beyond the range saturate and NaN gives 0, instead of being undefined.
    explicit tFixed(float f) : raw(rawFromFloat(f)) {}
    // Doubles must be converted explicitly through float; this keeps 1.5 from
    // silently becoming the integer 1.
    tFixed(double) = delete;

    static constexpr tFixed fromRaw(std::int32_t value)
    {
        tFixed f;
        f.raw = value;
        return f;
    }

    constexpr std::int32_t getRaw() const { return raw; }
    constexpr int toInt() const { return raw >> 16; }
    float toFloat() const { return static_cast<float>(raw) * (1.0f / 65536.0f); }

    constexpr tFixed operator-() const { return fromRaw(static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(raw))); }
    constexpr tFixed operator+(tFixed o) const
    {
        return fromRaw(static_cast<std::int32_t>(static_cast<std::uint32_t>(raw) + static_cast<std::uint32_t>(o.raw)));
    }
    constexpr tFixed operator-(tFixed o) const
    {
        return fromRaw(static_cast<std::int32_t>(static_cast<std::uint32_t>(raw) - static_cast<std::uint32_t>(o.raw)));
    }
    constexpr tFixed operator*(tFixed o) const
    {
        return fromRaw(static_cast<std::int32_t>((static_cast<std::int64_t>(raw) * o.raw) >> 16));
    }
    // (a * 2^32) / b in 64 bits, truncated, then shifted right by 16. b must not be 0.
    constexpr tFixed operator/(tFixed o) const
    {
        // 128 bits so that the one overflowing quotient (-32768.0 by -1 raw) wraps
        // instead of trapping.
        return fromRaw(static_cast<std::int32_t>(
            static_cast<std::int64_t>((static_cast<__int128>(raw) * (static_cast<__int128>(1) << 32)) / o.raw) >> 16));
    }

    tFixed& operator+=(tFixed o) { return *this = *this + o; }
    tFixed& operator-=(tFixed o) { return *this = *this - o; }
    tFixed& operator*=(tFixed o) { return *this = *this * o; }
    tFixed& operator/=(tFixed o) { return *this = *this / o; }

    constexpr bool operator==(tFixed o) const { return raw == o.raw; }
    constexpr bool operator!=(tFixed o) const { return raw != o.raw; }
    constexpr bool operator<(tFixed o) const { return raw < o.raw; }
    constexpr bool operator<=(tFixed o) const { return raw <= o.raw; }
    constexpr bool operator>(tFixed o) const { return raw > o.raw; }
    constexpr bool operator>=(tFixed o) const { return raw >= o.raw; }

private:
    static std::int32_t rawFromFloat(float f)
    {
        const float scaled = f * 65536.0f;
        if (scaled != scaled)
            return 0;
        if (scaled >= 2147483648.0f)
            return INT32_MAX;
        if (scaled <= -2147483648.0f)
            return INT32_MIN;
        return static_cast<std::int32_t>(scaled);
    }

    std::int32_t raw;
};

// Square root in single precision.
inline tFixed sqrt(tFixed value) { return tFixed(std::sqrt(value.toFloat())); }

static_assert(sizeof(tFixed) == 4, "tFixed must have the layout of GLfixed");

#endif
