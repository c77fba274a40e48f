#include "Resources/Lessons/TaskLineSegment.h"

#include "Resources/Drawing/Canvas.h"
#include "Tovrane/Assert.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/SpriteManager.h"

#include <cmath>
#include <cstdint>
#include <iostream>

namespace Tovrane
{
const char* const TaskLineSegment::DebugDotSprite = "task/red_dot.png";

namespace
{
// The 16.16 product of two raw values, 64 bits wide.
std::int64_t product(std::int64_t a, std::int64_t b) { return (a * b) >> 16; }

// The 16.16 square of a raw difference, without overflow for any 32-bit
// difference.
std::uint64_t square(std::int64_t d)
{
    const std::uint64_t magnitude = static_cast<std::uint64_t>(d < 0 ? -d : d);
    return (magnitude * magnitude) >> 16;
}
}

TaskLineSegment::TaskLineSegment() : numTestPoints(20) {}

Vector2<tFixed> TaskLineSegment::func(const tFixed& t) const
{
    const std::int64_t u = t.getRaw();
    const std::int64_t w = 65536 - u;
    std::int64_t x = 0, y = 0;
    if (controlPoints.size() == 3)
    {
        const Vector2<tFixed>& p0 = controlPoints[0];
        const Vector2<tFixed>& p1 = controlPoints[1];
        const Vector2<tFixed>& p2 = controlPoints[2];
        const std::int64_t a = product(w, w), b = product(2 * w, u), c = product(u, u);
        x = product(a, p0.x.getRaw()) + product(b, p2.x.getRaw()) + product(c, p1.x.getRaw());
        y = product(a, p0.y.getRaw()) + product(b, p2.y.getRaw()) + product(c, p1.y.getRaw());
    }
    else if (controlPoints.size() == 4)
    {
        const Vector2<tFixed>& p0 = controlPoints[0];
        const Vector2<tFixed>& p1 = controlPoints[1];
        const Vector2<tFixed>& p2 = controlPoints[2];
        const Vector2<tFixed>& p3 = controlPoints[3];
        const std::int64_t w2 = product(w, w), w3 = product(w2, w);
        const std::int64_t t2 = product(u, u), t3 = product(t2, u);
        const std::int64_t k1 = product(product(3 * w, w), u), k2 = product(product(3 * w, u), u);
        x = product(w3, p0.x.getRaw()) + product(k1, p2.x.getRaw()) + product(k2, p3.x.getRaw()) +
            product(t3, p1.x.getRaw());
        y = product(w3, p0.y.getRaw()) + product(k1, p2.y.getRaw()) + product(k2, p3.y.getRaw()) +
            product(t3, p1.y.getRaw());
    }
    return Vector2<tFixed>(tFixed::fromRaw(static_cast<std::int32_t>(x)), tFixed::fromRaw(static_cast<std::int32_t>(y)));
}

void TaskLineSegment::calcNumTestPoints(const tFixed& radius)
{
    const std::int64_t half = radius.getRaw() / 2;
    TOVRANE_ASSERT(half > 0 && "A traceable line needs a radius of at least one pixel");

    Vector2<tFixed> previous = controlPoints.empty() ? Vector2<tFixed>() : controlPoints[0];
    std::int64_t length = 0;
    // Twenty chords, the last one ending at t = 65520.
    for (std::int32_t t = 3276; t <= 65536; t += 3276)
    {
        const Vector2<tFixed> p = func(tFixed::fromRaw(t));
        const std::uint64_t s = square(static_cast<std::int64_t>(p.x.getRaw()) - previous.x.getRaw()) +
                                square(static_cast<std::int64_t>(p.y.getRaw()) - previous.y.getRaw());
        length += static_cast<std::int64_t>(std::sqrt(static_cast<float>(s) * 1.5258789e-5f) * 65536.0f);
        previous = p;
    }

    const std::int64_t n = length / half;
    numTestPoints = n > 0x7fffffff ? 0x7fffffff : static_cast<int>(n);
    if (numTestPoints == 0)
    {
        std::cout << "NUM_TEST_POINTS: " << 0 << std::endl;
        numTestPoints = 1;
    }
}

int TaskLineSegment::sampleCount(int intervals)
{
    if (intervals < 1 || intervals > 65536)
        return 0;
    const int step = 65536 / intervals;
    return 65536 / step + 1;
}

void TaskLineSegment::addDebugDots(SpriteManager& sprites, CanvasPtr canvas, const int& radius)
{
    TOVRANE_ASSERT(canvas && canvas->getLayer() && "Debug dots need a canvas with a picture");
    debugDots.clear();
    if (sampleCount(numTestPoints) == 0)
        return;
    const std::int32_t step = static_cast<std::int32_t>((1.0f / static_cast<float>(numTestPoints)) * 65536.0f);
    const tFixed scale = tFixed(radius) / tFixed(15);
    const tFixed height(canvas->getLayer()->getHeight());
    for (std::int32_t t = 0; t <= 65536; t += step)
    {
        GeometryPtr dot = sprites.getSprite(DebugDotSprite, PixelFormat::RGBA4444);
        TOVRANE_ASSERT(dot && "The debug dot sprite is missing");
        const Vector2<tFixed> p = func(tFixed::fromRaw(t));
        dot->local[0] = scale;
        dot->local[5] = scale;
        dot->local[10] = tFixed(1);
        dot->setTransformCurrent(false);
        dot->movePosition(Vector3<tFixed>(p.x - tFixed(15), height - (p.y + tFixed(15)), tFixed::fromRaw(-45875)));
        canvas->addChild(dot);
        debugDots.push_back(dot);
    }
}

void TaskLineSegment::toggleDebugDots(const bool& on)
{
    for (const GeometryPtr& dot : debugDots)
        dot->cullingMode = on ? CullingMode::Show : CullingMode::Hide;
}

void TaskLineSegment::enter() {}

void TaskLineSegment::exit() { debugDots.clear(); }
}
