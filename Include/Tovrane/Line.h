#ifndef TOVRANE_LINE_H
#define TOVRANE_LINE_H

#include "Tovrane/ColorRGBA.h"
#include "Tovrane/Geometry.h"

namespace Tovrane
{
class Line;
typedef boost::shared_ptr<Line> LinePtr;

// Geometry drawn as a list of line segments (pairs of vertices).
class Line : public Geometry
{
    TOVRANE_DECLARE_RTTI(Line)

public:
    Line();
    explicit Line(VertexBufferPtr vertexBuffer);
    // One segment from `from` to `to` in a single colour (1.0 is full).
    Line(Vector3<tFixed> from, Vector3<tFixed> to, ColorRGBA<tFixed> colour);
    ~Line() override;

    int getPrimitiveType() const override { return 1; }

protected:
    // A new vertex buffer of `count` positions in one colour; vertices 2k and
    // 2k + 1 are segment k.
    void setSegments(const Vector3<tFixed>* vertices, int count, const ColorRGBA<tFixed>& colour);
};
}

#endif
