#include "Tovrane/GraphicsCuller.h"

#include "Tovrane/Assert.h"

#include <utility>

namespace Tovrane
{
GraphicsCuller::GraphicsCuller() {}

void GraphicsCuller::computeVisible(SpatialPtr root)
{
    TOVRANE_ASSERT(root && "Cannot cull a null scene");
    visible.clear();
    root->onGetVisibleSet(*this, false);
}

void GraphicsCuller::insert(Spatial* element)
{
    // The tree is usually in z order already, so the new element stops at the
    // first comparison; equal z keeps the order of insertion.
    visible.push_back(element);
    for (size_t i = visible.size() - 1; i > 0 && visible[i]->world[14] < visible[i - 1]->world[14]; --i)
        std::swap(visible[i], visible[i - 1]);
}

Spatial* GraphicsCuller::getVisible(int i) const
{
    TOVRANE_ASSERT((0 <= i) && (i < (int)visible.size()));
    return visible[i];
}
}
