#ifndef TOVRANE_SPATIAL_H
#define TOVRANE_SPATIAL_H

#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/Mathematics/Matrix.h"
#include "Tovrane/Mathematics/Vector3.h"
#include "Tovrane/Object.h"

#include <boost/shared_ptr.hpp>

#include <cstdint>

namespace Tovrane
{
class AudioCuller;
class BoundingVolume;
class GraphicsCuller;
class Spatial;
typedef boost::shared_ptr<BoundingVolume> BoundingVolumePtr;
typedef boost::shared_ptr<Spatial> SpatialPtr;

// How a scene element takes part in collecting drawables and sounds. Game code
// writes it directly. Values other than Hide and Show behave as Inherit (the
// fixed 32-bit type makes every such value a valid one).
struct CullingMode
{
    enum Type : std::int32_t
    {
        Inherit = 0, // collected, the caller's force flag passed on unchanged
        Hide = 1,    // the element and its whole subtree are skipped
        Show = 2     // collected, and the force flag passed down is set
    };
};

// Element of the scene tree: a local transform relative to its parent, the world
// transform computed from it every update, a world bound for touch picking and a
// culling mode that shows or hides the element with its subtree.
class Spatial : public Object
{
    TOVRANE_DECLARE_RTTI(Spatial)

public:
    Spatial();
    ~Spatial() override;

    // Sets both the transform and the world-bound flag. Clearing them also marks
    // the ancestors' bounds out of date, since their bounds contain this one.
    virtual void setTransformCurrent(bool value);
    // Runs the controllers, then recomputes the world transform unless it is
    // marked current.
    virtual void updateWorld(unsigned int appTime);
    virtual void updateWorldBound() = 0;
    virtual void getVisibleSet(GraphicsCuller& culler, bool force) = 0;
    virtual void getAudibleSet(AudioCuller& culler, bool force) = 0;

    // Per-frame entry for a root: world transforms top-down, then bounds.
    void update(unsigned int appTime);

    // Culling-mode test in front of getVisibleSet / getAudibleSet.
    void onGetVisibleSet(GraphicsCuller& culler, bool force);
    void onGetAudibleSet(AudioCuller& culler, bool force);

    Vector3<tFixed> getPosition() const;
    void setPosition(const Vector3<tFixed>& position);
    void movePosition(const Vector3<tFixed>& delta);

    // The parent's shared pointer, or an empty pointer for a root.
    SpatialPtr getParent();

    Spatial* parent;          // not owning; null for a root or a detached element
    Matrix<tFixed> world;     // parent's world x local, recomputed every update
    Matrix<tFixed> local;     // elements 12, 13, 14 are the position
    BoundingVolumePtr worldBound;
    bool transformCurrent;
    bool worldBoundCurrent;
    CullingMode::Type cullingMode;

protected:
    // Marks this element's world bound and those of all its ancestors out of
    // date, so that the next update recomputes them.
    void markWorldBoundOutOfDate();

private:
    friend class Node;
    // Set when the parent node has scaled this element's world bound in place by
    // its own scale, cleared when the bound is marked out of date. While it is
    // set, the parent recomputes the bound before scaling it again, so that its
    // scale is never applied twice.
    bool worldBoundScaledByParent;
};
}

#endif
