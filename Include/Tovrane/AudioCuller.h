#ifndef TOVRANE_AUDIOCULLER_H
#define TOVRANE_AUDIOCULLER_H

#include "Tovrane/Spatial.h"

#include <vector>

namespace Tovrane
{
// The sound emitters reachable in a tree, in order of collection.
class AudioCuller
{
public:
    AudioCuller();

    // Rebuilds the set from the tree under `root`.
    void computeAudible(SpatialPtr root);
    void insert(Spatial* element);
    Spatial* getAudible(int i) const;
    int getAudibleQuantity() const { return static_cast<int>(audible.size()); }

    std::vector<Spatial*> audible; // not owned
};
}

#endif
