#include "Tovrane/Mathematics/Fixed.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace
{
// Floor division of a 64-bit value by 65536, written out without shifts.
std::int64_t floorBy65536(std::int64_t v)
{
    std::int64_t q = v / 65536;
    if (v % 65536 != 0 && v < 0)
        --q;
    return q;
}

// Keeps the low 32 bits, as two's complement.
std::int32_t low32(std::int64_t v)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}

std::int32_t referenceProduct(std::int32_t a, std::int32_t b)
{
    return low32(floorBy65536(static_cast<std::int64_t>(a) * static_cast<std::int64_t>(b)));
}

std::int32_t referenceQuotient(std::int32_t a, std::int32_t b)
{
    // a * 2^32 always fits in 64 bits; only INT32_MIN / -1 overflows the quotient.
    const std::int64_t scaled = static_cast<std::int64_t>(a) * 4294967296LL;
    if (a == std::numeric_limits<std::int32_t>::min() && b == -1)
        return 0; // 2^63 wraps to -2^63, whose low 32 bits after the shift are 0
    return low32(floorBy65536(scaled / b));
}

// Raw values spread over the whole range, with small and boundary values mixed in.
std::vector<std::int32_t> rawSamples(unsigned int seed, size_t count)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::int32_t> any(std::numeric_limits<std::int32_t>::min(),
                                                    std::numeric_limits<std::int32_t>::max());
    std::uniform_int_distribution<std::int32_t> small(-0x40000, 0x40000);
    std::vector<std::int32_t> values = {0,       1,       -1,      0x8000,     -0x8000,    0x10000,
                                        -0x10000, 0x7FFFFFFF, -0x7FFFFFFF - 1, 0x12C0000, -0x12C0000};
    while (values.size() < count)
        values.push_back(values.size() % 3 == 0 ? small(random) : any(random));
    return values;
}

tFixed raw(std::int32_t r) { return tFixed::fromRaw(r); }
}

TEST(Fixed, ProductsMatchTheWideReference)
{
    const std::vector<std::int32_t> a = rawSamples(11, 600), b = rawSamples(12, 600);
    for (std::int32_t x : a)
        for (std::int32_t y : b)
            ASSERT_EQ(referenceProduct(x, y), (raw(x) * raw(y)).getRaw()) << x << " * " << y;
}

TEST(Fixed, QuotientsMatchTheWideReference)
{
    const std::vector<std::int32_t> a = rawSamples(21, 600), b = rawSamples(22, 600);
    for (std::int32_t x : a)
        for (std::int32_t y : b)
        {
            if (y == 0)
                continue;
            ASSERT_EQ(referenceQuotient(x, y), (raw(x) / raw(y)).getRaw()) << x << " / " << y;
        }
}

TEST(Fixed, ProductsRoundTowardsMinusInfinity)
{
    EXPECT_EQ(0x4000, (tFixed(0.5f) * tFixed(0.5f)).getRaw());
    EXPECT_EQ(0, (raw(1) * tFixed(0.5f)).getRaw());
    EXPECT_EQ(-1, (raw(-1) * tFixed(0.5f)).getRaw());
    EXPECT_EQ(tFixed(-6), tFixed(2) * tFixed(-3));
}

TEST(Fixed, OverflowWrapsSilently)
{
    EXPECT_EQ(1603272704, (tFixed(300) * tFixed(300)).getRaw());
    EXPECT_EQ(std::numeric_limits<std::int32_t>::min(), (raw(0x7FFFFFFF) + raw(1)).getRaw());
    EXPECT_EQ(0x7FFFFFFF, (raw(std::numeric_limits<std::int32_t>::min()) - raw(1)).getRaw());
    EXPECT_EQ(std::numeric_limits<std::int32_t>::min(), (-raw(std::numeric_limits<std::int32_t>::min())).getRaw());
    // The one quotient beyond 64 bits wraps instead of trapping.
    EXPECT_EQ(0, (raw(std::numeric_limits<std::int32_t>::min()) / raw(-1)).getRaw());
    // Whole numbers beyond the range wrap on the way in.
    EXPECT_EQ(static_cast<std::int32_t>(0x9C400000u), tFixed(40000).getRaw());
}

TEST(Fixed, QuotientsTruncateBeforeTheShift)
{
    EXPECT_EQ(tFixed(3), tFixed(6) / tFixed(2));
    EXPECT_EQ(0x5555, (tFixed(1) / tFixed(3)).getRaw());
    EXPECT_EQ(-0x5556, (tFixed(-1) / tFixed(3)).getRaw()); // truncated, then floored by the shift
    EXPECT_EQ(tFixed(-160), tFixed(320) / tFixed(-2));
}

TEST(Fixed, ConversionsFollowTheStatedRules)
{
    EXPECT_EQ(0x10000, tFixed(1).getRaw());
    EXPECT_EQ(-655360, tFixed(-10).getRaw());
    EXPECT_EQ(0x1400000, tFixed(320).getRaw());
    EXPECT_EQ(0xF00000, tFixed(240).getRaw());
    EXPECT_EQ(0x8000, tFixed(0.5f).getRaw());

    EXPECT_EQ(-1, tFixed(-0.5f).toInt());
    EXPECT_EQ(-1, raw(-1).toInt());
    EXPECT_EQ(2, tFixed(2.99999f).toInt());
    EXPECT_EQ(196607, tFixed(2.99999f).getRaw()); // truncated, not rounded to 196608
    EXPECT_EQ(-196607, tFixed(-2.99999f).getRaw()); // truncated towards zero
    EXPECT_EQ(0, tFixed(1e-6f).getRaw());

    EXPECT_FLOAT_EQ(0.5f, tFixed(0.5f).toFloat());
    EXPECT_FLOAT_EQ(-32768.0f, raw(std::numeric_limits<std::int32_t>::min()).toFloat());
    EXPECT_FLOAT_EQ(1.0f / 65536.0f, raw(1).toFloat());
    for (int n = -32768; n < 32768; n += 97)
        ASSERT_EQ(n, tFixed(n).toInt());
}

TEST(Fixed, FloatsOutsideTheRangeSaturate)
{
    EXPECT_EQ(std::numeric_limits<std::int32_t>::max(), tFixed(40000.0f).getRaw());
    EXPECT_EQ(std::numeric_limits<std::int32_t>::min(), tFixed(-1e30f).getRaw());
    EXPECT_EQ(0, tFixed(std::numeric_limits<float>::quiet_NaN()).getRaw());
    EXPECT_EQ(0, sqrt(tFixed(-4)).getRaw());
}

TEST(Fixed, SquareRootInSinglePrecision)
{
    EXPECT_EQ(tFixed(3), sqrt(tFixed(9)));
    EXPECT_EQ(tFixed(0.5f), sqrt(tFixed(0.25f)));
    EXPECT_EQ(static_cast<std::int32_t>(std::sqrt(2.0f) * 65536.0f), sqrt(tFixed(2)).getRaw());
}

TEST(Fixed, ComparisonsAreOnRawValues)
{
    EXPECT_LT(tFixed(-1), tFixed(0));
    EXPECT_LT(raw(-1), raw(0));
    EXPECT_GT(tFixed(0.5f), raw(0x7FFF));
    EXPECT_LE(tFixed(2), tFixed(2));
    EXPECT_NE(tFixed(2), raw(0x20001));
    tFixed t(5);
    t += tFixed(1);
    t *= tFixed(2);
    t -= tFixed(2);
    t /= tFixed(5);
    EXPECT_EQ(tFixed(2), t);
}
