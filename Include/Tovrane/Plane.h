#ifndef TOVRANE_PLANE_H
#define TOVRANE_PLANE_H

#include "Tovrane/TriangleMesh.h"

namespace Tovrane
{
class Plane;
typedef boost::shared_ptr<Plane> PlanePtr;

// Textured rectangle: a grid of columns x rows vertices (at least 2 each)
// between two x and two y bounds, texture coordinates spread between s0..s1 and
// t0..t1 with t0 at the top row.
class Plane : public TriangleMesh
{
    TOVRANE_DECLARE_RTTI(Plane)

public:
    Plane();
    // A square from -half to half with n x n vertices.
    Plane(tFixed half, int n);
    Plane(tFixed halfWidth, tFixed halfHeight, int columns, int rows);
    Plane(tFixed left, tFixed right, tFixed bottom, tFixed top, tFixed s0, tFixed s1, tFixed t0, tFixed t1,
          int columns, int rows);
    ~Plane() override;

    // Replaces both buffers with a new grid and recomputes the model bound.
    void createPlane(tFixed left, tFixed right, tFixed bottom, tFixed top, tFixed s0, tFixed s1, tFixed t0,
                     tFixed t1, int columns, int rows);
};
}

#endif
