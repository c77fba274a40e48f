#ifndef TOVRANE_GRAPHICSCULLER_H
#define TOVRANE_GRAPHICSCULLER_H

#include "Tovrane/Spatial.h"

#include <vector>

namespace Tovrane
{
// The geometries to draw in one frame, in drawing order: ascending world z,
// equal z in depth-first child order.
class GraphicsCuller
{
public:
    GraphicsCuller();

    // Rebuilds the set from the tree under `root` (the storage is kept).
    void computeVisible(SpatialPtr root);
    // Adds an element at its place in drawing order (stable insertion by world z).
    void insert(Spatial* element);
    Spatial* getVisible(int i) const;
    int getVisibleQuantity() const { return static_cast<int>(visible.size()); }

    std::vector<Spatial*> visible; // not owned
};
}

#endif
