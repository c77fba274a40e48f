// Bezier segments: the worked examples, and random segments against a plain
// 64-bit model of the curve and sample-count formulas.
#include "LessonsTestSupport.h"

#include "Resources/Lessons/TaskLineSegment.h"

#include <cmath>
#include <random>

using namespace LessonsTest;

namespace
{
TaskLineSegment segmentOf(std::vector<std::pair<int, int>> points)
{
    TaskLineSegment s;
    for (const auto& p : points)
        s.controlPoints.push_back(at(p.first, p.second));
    return s;
}

// The curve at t: weights of the start, end and control points, each term a
// 16.16 product on its own, summed.
std::int64_t term(std::int64_t a, std::int64_t b) { return static_cast<std::int64_t>((static_cast<__int128>(a) * b) >> 16); }

std::pair<std::int64_t, std::int64_t> model(const std::vector<Vector2<tFixed>>& p, std::int64_t t)
{
    const std::int64_t w = 65536 - t;
    std::vector<std::int64_t> weights;
    if (p.size() == 3)
        weights = {term(w, w), term(t, t), term(2 * w, t)};
    else
        weights = {term(term(w, w), w), term(term(t, t), t), term(term(3 * w, w), t), term(term(3 * w, t), t)};
    std::int64_t x = 0, y = 0;
    for (size_t i = 0; i < weights.size(); ++i)
    {
        x += term(weights[i], p[i].x.getRaw());
        y += term(weights[i], p[i].y.getRaw());
    }
    return {x, y};
}

int modelCount(const std::vector<Vector2<tFixed>>& p, int radius)
{
    std::int64_t length = 0;
    std::pair<std::int64_t, std::int64_t> previous(p[0].x.getRaw(), p[0].y.getRaw());
    for (std::int64_t t = 3276; t <= 65536; t += 3276)
    {
        const auto q = model(p, t);
        const std::int64_t dx = q.first - previous.first, dy = q.second - previous.second;
        const std::int64_t s = ((dx * dx) >> 16) + ((dy * dy) >> 16);
        length += static_cast<std::int64_t>(std::sqrt(static_cast<float>(s) * 1.5258789e-5f) * 65536.0f);
        previous = q;
    }
    const std::int64_t n = length / (static_cast<std::int64_t>(radius) * 65536 / 2);
    return n == 0 ? 1 : static_cast<int>(n);
}
}

TEST(TaskLineSegmentTest, WorkedExamples)
{
    TaskLineSegment quadratic = segmentOf({{10, 10}, {110, 10}, {60, 10}});
    EXPECT_EQ(at(10, 10), quadratic.func(tFixed(0)));
    EXPECT_EQ(at(110, 10), quadratic.func(tFixed(1)));
    EXPECT_EQ(at(60, 10), quadratic.func(tFixed(0.5f)));
    EXPECT_TRUE(printed([&] { quadratic.calcNumTestPoints(tFixed(26)); }).empty());
    EXPECT_EQ(7, quadratic.numTestPoints);

    TaskLineSegment shortOne = segmentOf({{10, 10}, {15, 10}, {12, 10}});
    EXPECT_EQ(std::vector<std::string>{"NUM_TEST_POINTS: 0"}, printed([&] { shortOne.calcNumTestPoints(tFixed(26)); }));
    EXPECT_EQ(1, shortOne.numTestPoints);

    TaskLineSegment bare = segmentOf({{10, 10}, {110, 50}});
    for (float t : {0.0f, 0.3f, 1.0f})
        EXPECT_EQ(at(0, 0), bare.func(tFixed(t)));

    // Control points on the ends: the straight line between them.
    TaskLineSegment cubic = segmentOf({{20, 40}, {220, 40}, {20, 40}, {220, 40}});
    tFixed previous(0);
    for (int t = 0; t <= 65536; t += 4096)
    {
        const Vector2<tFixed> p = cubic.func(tFixed::fromRaw(t));
        EXPECT_LE(std::abs(p.y.getRaw() - tFixed(40).getRaw()), 4) << t;
        EXPECT_GE(p.x, previous);
        previous = p.x;
    }
    EXPECT_EQ(4, TaskLineSegment::sampleCount(3)) << "step 21845 reaches 65535";
    EXPECT_EQ(0, TaskLineSegment::sampleCount(65537));
}

TEST(TaskLineSegmentTest, RandomSegmentsFollowTheModel)
{
    std::mt19937 random(19);
    std::uniform_int_distribution<int> coordinate(-TaskLineSegment::MaxCoordinate, TaskLineSegment::MaxCoordinate);
    std::uniform_int_distribution<int> small(0, 640), radius(1, 40), time(0, 65536);
    for (int i = 0; i < 2000; ++i)
    {
        // Most segments of picture size, some spanning the whole range.
        auto pick = [&] { return i % 4 == 0 ? coordinate(random) : small(random); };
        std::vector<std::pair<int, int>> points;
        for (int k = 0, count = 3 + i % 2; k < count; ++k)
            points.push_back({pick(), pick()});
        TaskLineSegment s = segmentOf(points);
        for (int k = 0; k < 5; ++k)
        {
            const int t = k == 0 ? 0 : k == 1 ? 65536 : time(random);
            const auto expected = model(s.controlPoints, t);
            const Vector2<tFixed> got = s.func(tFixed::fromRaw(t));
            ASSERT_EQ(expected.first, got.x.getRaw()) << i << " at " << t;
            ASSERT_EQ(expected.second, got.y.getRaw()) << i << " at " << t;
        }
        const int r = radius(random);
        printed([&] { s.calcNumTestPoints(tFixed(r)); });
        ASSERT_EQ(modelCount(s.controlPoints, r), s.numTestPoints) << i;
    }
}
