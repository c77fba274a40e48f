#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/Mathematics/Matrix.h"
#include "Tovrane/Mathematics/Vector2.h"
#include "Tovrane/Mathematics/Vector3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

using namespace Tovrane;

namespace
{
typedef Matrix<tFixed> Matrixf;
const std::int32_t Min = std::numeric_limits<std::int32_t>::min(), Max = std::numeric_limits<std::int32_t>::max();

// The low 32 bits (two's complement) of v floored by 65536, written without shifts.
std::int32_t floorLow32(std::int64_t v)
{
    std::int64_t q = v / 65536;
    if (v % 65536 != 0 && v < 0)
        --q;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(q)));
}

// Raw values spread over the whole range, with small and boundary values mixed in.
std::vector<std::int32_t> rawSamples(unsigned int seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::int32_t> any(Min, Max), small(-0x40000, 0x40000);
    std::vector<std::int32_t> values = {0, 1, -1, 0x8000, -0x8000, 0x10000, -0x10000, Max, Min, 0x12C0000, -0x12C0000};
    while (values.size() < 600)
        values.push_back(values.size() % 3 == 0 ? small(random) : any(random));
    return values;
}

tFixed raw(std::int32_t r) { return tFixed::fromRaw(r); }

Matrixf translation(int x, int y, int z)
{
    Matrixf m;
    m(0, 3) = tFixed(x);
    m(1, 3) = tFixed(y);
    m(2, 3) = tFixed(z);
    return m;
}
}

TEST(Fixed, ProductsAndQuotientsMatchTheWideReference)
{
    const std::vector<std::int32_t> a = rawSamples(11), b = rawSamples(12);
    for (std::int32_t x : a)
        for (std::int32_t y : b)
        {
            ASSERT_EQ(floorLow32(std::int64_t(x) * y), (raw(x) * raw(y)).getRaw()) << x << " * " << y;
            if (y == 0)
                continue;
            // x * 2^32 fits in 64 bits; only Min / -1 overflows, 2^63 wrapping to -2^63 (low bits 0).
            const std::int32_t quotient = x == Min && y == -1 ? 0 : floorLow32(std::int64_t(x) * 4294967296LL / y);
            ASSERT_EQ(quotient, (raw(x) / raw(y)).getRaw()) << x << " / " << y;
        }
}

TEST(Fixed, ArithmeticWrapsSilentlyAndSquareRootsInSinglePrecision)
{
    // Products and quotients beyond the random reference: the named corner cases.
    const struct
    {
        tFixed result;
        std::int32_t expected;
    } cases[] = {
        {raw(-1) * tFixed(0.5f), -1}, {tFixed(300) * tFixed(300), 1603272704}, {tFixed(-1) / tFixed(3), -0x5556},
        {raw(Min) / raw(-1), 0}, // the one quotient beyond 64 bits wraps instead of trapping
        {raw(Max) + raw(1), Min}, {raw(Min) - raw(1), Max}, {-raw(Min), Min},
        {sqrt(tFixed(9)), 3 * 65536}, {sqrt(tFixed(0.25f)), 0x8000}, {sqrt(tFixed(-4)), 0},
        {sqrt(tFixed(2)), static_cast<std::int32_t>(std::sqrt(2.0f) * 65536.0f)}, // single precision
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, c.result.getRaw()) << "case " << &c - cases;
    tFixed t(5);
    t += tFixed(1);
    t *= tFixed(2);
    t -= tFixed(2);
    t /= tFixed(5);
    EXPECT_EQ(tFixed(2), t);
    EXPECT_LT(raw(-1), raw(0)); // comparisons are on raw values
}

TEST(Fixed, ConversionsTruncateWrapAndSaturate)
{
    const struct
    {
        tFixed value;
        std::int32_t expected;
    } cases[] = {
        {tFixed(1), 0x10000}, {tFixed(-10), -655360}, {tFixed(320), 0x1400000}, {tFixed(0.5f), 0x8000},
        {tFixed(40000), static_cast<std::int32_t>(0x9C400000u)}, // whole numbers wrap on the way in
        {tFixed(2.99999f), 196607}, {tFixed(-2.99999f), -196607}, {tFixed(1e-6f), 0}, // truncated towards zero
        {tFixed(40000.0f), Max}, {tFixed(-1e30f), Min}, {tFixed(std::numeric_limits<float>::quiet_NaN()), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, c.value.getRaw()) << "case " << &c - cases;

    EXPECT_EQ(-1, tFixed(-0.5f).toInt());
    EXPECT_EQ(-1, raw(-1).toInt());
    EXPECT_EQ(2, tFixed(2.99999f).toInt());
    for (int n = -32768; n < 32768; n += 97)
        ASSERT_EQ(n, tFixed(n).toInt());
    EXPECT_FLOAT_EQ(0.5f, tFixed(0.5f).toFloat());
    EXPECT_FLOAT_EQ(-32768.0f, raw(Min).toFloat());
    EXPECT_FLOAT_EQ(1.0f / 65536.0f, raw(1).toFloat());
}

TEST(Matrix, ProductFloorsEachTermBeforeTheWrappingSum)
{
    std::mt19937 random(5);
    std::uniform_int_distribution<std::int32_t> any(Min, Max);
    for (int round = 0; round < 400; ++round)
    {
        Matrixf a, b;
        for (unsigned i = 0; i < 16; ++i)
        {
            a[i] = tFixed::fromRaw(any(random));
            b[i] = tFixed::fromRaw(any(random));
        }
        const Matrixf p = a * b;
        for (unsigned r = 0; r < 4; ++r)
            for (unsigned c = 0; c < 4; ++c)
            {
                std::uint32_t sum = 0;
                for (unsigned k = 0; k < 4; ++k)
                    sum += static_cast<std::uint32_t>(floorLow32(std::int64_t(a(r, k).getRaw()) * b(k, c).getRaw()));
                ASSERT_EQ(static_cast<std::int32_t>(sum), p(r, c).getRaw()) << round << " (" << r << ", " << c << ")";
            }
    }

}

TEST(Matrix, ParentTimesLocalCarriesTheChildThroughTheParent)
{
    // Parent: scale by 2, then move by (10, 20, 0). Child: move by (3, 4, 1).
    Matrixf parent = translation(10, 20, 0);
    parent(0, 0) = tFixed(2);
    parent(1, 1) = tFixed(2);
    const Matrixf world = parent * translation(3, 4, 1);
    EXPECT_EQ(tFixed(16), world[12]);
    EXPECT_EQ(tFixed(28), world[13]);
    EXPECT_EQ(tFixed(1), world[14]);
    EXPECT_EQ(tFixed(2), world[5]);

    // A quarter turn about z: the child's x offset becomes a y offset.
    Matrixf turn;
    turn(0, 0) = turn(1, 1) = tFixed(0);
    turn(0, 1) = tFixed(-1);
    turn(1, 0) = tFixed(1);
    const Matrixf turned = turn * translation(5, 0, 0);
    EXPECT_EQ(tFixed(0), turned[12]);
    EXPECT_EQ(tFixed(5), turned[13]);

    // Vectors add and subtract by element.
    const Vector3<tFixed> v(tFixed(1), tFixed(2), tFixed(3));
    EXPECT_EQ(Vector3<tFixed>(tFixed(2), tFixed(4), tFixed(6)), v + v);
    EXPECT_EQ(Vector3<tFixed>(), v - v);
    const Vector2<tFixed> w(tFixed(1), tFixed(-1));
    EXPECT_EQ(Vector2<tFixed>(tFixed(2), tFixed(-2)), w + w);
}

TEST(MatrixDeathTest, IndicesOutsideTheMatrixStop)
{
    Matrixf m;
    EXPECT_DEATH(m(4, 0), "\\(row < 4\\) && \\(col < 4\\)");
    EXPECT_DEATH(static_cast<const Matrixf&>(m)(0, 4), "\\(row < 4\\) && \\(col < 4\\)");
}
