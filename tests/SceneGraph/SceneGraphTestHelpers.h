#ifndef TESTS_SCENEGRAPH_SCENEGRAPHTESTHELPERS_H
#define TESTS_SCENEGRAPH_SCENEGRAPHTESTHELPERS_H

#include "Tovrane/BoundingRectangle.h"
#include "Tovrane/Geometry.h"
#include "Tovrane/GraphicsCuller.h"
#include "Tovrane/Node.h"
#include "Tovrane/Plane.h"

#include <gtest/gtest.h>

#include <vector>

namespace SceneGraphTest
{
using Tovrane::BoundingRectangle;
using Tovrane::Vector3;

inline tFixed fx(float f) { return tFixed(f); }
inline tFixed raw(int r) { return tFixed::fromRaw(r); }
inline Vector3<tFixed> v3(float x, float y, float z) { return Vector3<tFixed>(tFixed(x), tFixed(y), tFixed(z)); }
inline Tovrane::NodePtr node() { return Tovrane::NodePtr(new Tovrane::Node()); }

// A quad from -halfWidth to halfWidth and -halfHeight to halfHeight.
inline Tovrane::PlanePtr quad(float halfWidth, float halfHeight)
{
    return Tovrane::PlanePtr(new Tovrane::Plane(tFixed(halfWidth), tFixed(halfHeight), 2, 2));
}

// What the culler collects below `root`, in drawing order.
inline std::vector<Tovrane::Spatial*> collect(Tovrane::SpatialPtr root)
{
    Tovrane::GraphicsCuller culler;
    culler.computeVisible(root);
    return culler.visible;
}

inline const BoundingRectangle& rect(const Tovrane::BoundingVolumePtr& volume)
{
    return *boost::dynamic_pointer_cast<BoundingRectangle>(volume);
}

// Left, right, bottom, top of a bound, for one-line comparisons.
struct Edges
{
    float left, right, bottom, top;
};

inline ::testing::AssertionResult hasEdges(const Tovrane::BoundingVolumePtr& volume, Edges e)
{
    const BoundingRectangle& r = rect(volume);
    if (r.left == tFixed(e.left) && r.right == tFixed(e.right) && r.bottom == tFixed(e.bottom) && r.top == tFixed(e.top))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "bound is x " << r.left.toFloat() << ".." << r.right.toFloat() << ", y "
                                         << r.bottom.toFloat() << ".." << r.top.toFloat() << "; expected x " << e.left
                                         << ".." << e.right << ", y " << e.bottom << ".." << e.top;
}
}

#endif
