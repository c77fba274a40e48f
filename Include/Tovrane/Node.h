#ifndef TOVRANE_NODE_H
#define TOVRANE_NODE_H

#include "Tovrane/Spatial.h"

#include <vector>

namespace Tovrane
{
class Node;
typedef boost::shared_ptr<Node> NodePtr;

// Interior element of the scene tree: an ordered list of child slots. Empty
// slots keep their index, so children keep theirs when a sibling is removed.
class Node : public Spatial
{
    TOVRANE_DECLARE_RTTI(Node)

public:
    Node();
    ~Node() override;

    void setTransformCurrent(bool value) override;
    void updateWorld(unsigned int appTime) override;
    void updateWorldBound() override;
    void getVisibleSet(GraphicsCuller& culler, bool force) override;
    void getAudibleSet(AudioCuller& culler, bool force) override;

    // Puts the child into the first empty slot (or a new one) and returns its index.
    int addChild(SpatialPtr child);
    // Puts the child (or nothing) into slot `index`, growing the list as needed.
    void setChild(SpatialPtr child, int index);
    // Slot `index`; empty for an empty slot or an index outside the list.
    SpatialPtr getChild(int index) const;
    // Empties the slot holding `child`; the number of slots does not change.
    void removeChild(SpatialPtr child);
    void removeAllChildren();
    // Number of slots, empty ones included.
    int getChildQuantity() const { return static_cast<int>(children.size()); }

protected:
    std::vector<SpatialPtr> children;
};
}

#endif
