#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/Mathematics/Matrix.h"
#include "Tovrane/Mathematics/Ray.h"
#include "Tovrane/Mathematics/Vector2.h"
#include "Tovrane/Mathematics/Vector3.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

using namespace Tovrane;

namespace
{
typedef Matrix<tFixed> Matrixf;

Matrixf randomMatrix(std::mt19937& random)
{
    std::uniform_int_distribution<std::int32_t> any(-0x7FFFFFFF - 1, 0x7FFFFFFF);
    Matrixf m;
    for (unsigned i = 0; i < 16; ++i)
        m[i] = tFixed::fromRaw(any(random));
    return m;
}

// Each term floored on its own, the sum wrapped to 32 bits.
std::int32_t referenceElement(const Matrixf& a, const Matrixf& b, unsigned row, unsigned col)
{
    std::uint32_t sum = 0;
    for (unsigned k = 0; k < 4; ++k)
    {
        const std::int64_t product =
            static_cast<std::int64_t>(a(row, k).getRaw()) * static_cast<std::int64_t>(b(k, col).getRaw());
        std::int64_t term = product / 65536;
        if (product % 65536 != 0 && product < 0)
            --term;
        sum += static_cast<std::uint32_t>(static_cast<std::uint64_t>(term));
    }
    return static_cast<std::int32_t>(sum);
}

Matrixf translation(int x, int y, int z)
{
    Matrixf m;
    m(0, 3) = tFixed(x);
    m(1, 3) = tFixed(y);
    m(2, 3) = tFixed(z);
    return m;
}
}

TEST(Matrix, NewMatrixIsTheIdentityInColumnMajorOrder)
{
    Matrixf m;
    for (unsigned i = 0; i < 16; ++i)
        EXPECT_EQ(i % 5 == 0 ? tFixed(1) : tFixed(0), m[i]) << i;
    m(1, 3) = tFixed(7);
    EXPECT_EQ(tFixed(7), m[13]); // translation y
    m(3, 1) = tFixed(2);
    EXPECT_EQ(tFixed(2), m[7]);
    EXPECT_EQ(tFixed(7), m.data()[13]);
}

TEST(Matrix, ProductMatchesTheTermByTermReference)
{
    std::mt19937 random(5);
    for (int round = 0; round < 400; ++round)
    {
        const Matrixf a = randomMatrix(random), b = randomMatrix(random);
        const Matrixf p = a * b;
        for (unsigned r = 0; r < 4; ++r)
            for (unsigned c = 0; c < 4; ++c)
                ASSERT_EQ(referenceElement(a, b, r, c), p(r, c).getRaw()) << "round " << round << " (" << r << ", " << c << ")";
    }
}

TEST(Matrix, TermsAreRoundedBeforeTheyAreSummed)
{
    Matrixf a, b;
    for (unsigned i = 0; i < 16; ++i)
    {
        a[i] = tFixed::fromRaw(1);
        b[i] = tFixed(0.5f);
    }
    const Matrixf p = a * b;
    for (unsigned i = 0; i < 16; ++i)
        EXPECT_EQ(0, p[i].getRaw()) << i; // four halves of a raw unit, each floored to 0

    for (unsigned i = 0; i < 16; ++i)
        a[i] = tFixed::fromRaw(-1);
    const Matrixf n = a * b;
    for (unsigned i = 0; i < 16; ++i)
        EXPECT_EQ(-4, n[i].getRaw()) << i;
}

TEST(Matrix, IdentityLeavesAnyMatrixExactlyAsItIs)
{
    std::mt19937 random(9);
    const Matrixf identity;
    for (int round = 0; round < 50; ++round)
    {
        const Matrixf m = randomMatrix(random);
        EXPECT_EQ(m, identity * m);
        EXPECT_EQ(m, m * identity);
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
    EXPECT_EQ(tFixed(2), world[0]);
    EXPECT_EQ(tFixed(2), world[5]);

    // A quarter turn about z: the child's x offset becomes a y offset.
    Matrixf turn;
    turn(0, 0) = tFixed(0);
    turn(0, 1) = tFixed(-1);
    turn(1, 0) = tFixed(1);
    turn(1, 1) = tFixed(0);
    const Matrixf turned = turn * translation(5, 0, 0);
    EXPECT_EQ(tFixed(0), turned[12]);
    EXPECT_EQ(tFixed(5), turned[13]);
}

TEST(Matrix, VectorsAndRaysHoldTheirValues)
{
    const Vector3<tFixed> zero;
    EXPECT_EQ(Vector3<tFixed>(tFixed(0), tFixed(0), tFixed(0)), zero);
    const Vector3<tFixed> v(tFixed(1), tFixed(2), tFixed(3));
    EXPECT_EQ(Vector3<tFixed>(tFixed(2), tFixed(4), tFixed(6)), v + v);
    EXPECT_EQ(zero, v - v);
    const Vector2<tFixed> w(tFixed(1), tFixed(-1));
    EXPECT_EQ(Vector2<tFixed>(tFixed(0), tFixed(0)), w - w);
    const Ray<tFixed> ray(Vector3<tFixed>(tFixed(10), tFixed(240 - 30), tFixed(0)), zero);
    EXPECT_EQ(tFixed(210), ray.origin.y);
    EXPECT_EQ(zero, ray.direction);
}

TEST(MatrixDeathTest, IndicesOutsideTheMatrixStop)
{
    Matrixf m;
    const Matrixf& constant = m;
    EXPECT_DEATH(m(4, 0), "\\(row < 4\\) && \\(col < 4\\)");
    EXPECT_DEATH(m(0, 4), "\\(row < 4\\) && \\(col < 4\\)");
    EXPECT_DEATH(constant(4, 0), "\\(row < 4\\) && \\(col < 4\\)");
    EXPECT_DEATH(constant(0, 4), "\\(row < 4\\) && \\(col < 4\\)");
}
