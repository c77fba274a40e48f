#ifndef TOVRANE_GEOMETRY_H
#define TOVRANE_GEOMETRY_H

#include "Tovrane/Spatial.h"

#include <vector>

namespace Tovrane
{
class Geometry;
class IndexBuffer;
class Texture;
class VertexBuffer;
typedef boost::shared_ptr<Geometry> GeometryPtr;
typedef boost::shared_ptr<IndexBuffer> IndexBufferPtr;
typedef boost::shared_ptr<Texture> TexturePtr;
typedef boost::shared_ptr<VertexBuffer> VertexBufferPtr;

// Drawable leaf of the scene tree: a vertex buffer, an optional index buffer
// (without one the vertices are drawn in order), two texture units and a
// model-space bound from which the world bound is derived.
class Geometry : public Spatial
{
    TOVRANE_DECLARE_RTTI(Geometry)

public:
    ~Geometry() override;

    void updateWorldBound() override;
    // Adds this geometry to the culler; the force flag is not needed.
    void getVisibleSet(GraphicsCuller& culler, bool force) override;
    void getAudibleSet(AudioCuller& culler, bool force) override;

    // 0 for triangle lists, 1 for line lists.
    virtual int getPrimitiveType() const = 0;
    // Recomputes the model bound from the vertex positions; call it again after
    // changing them.
    virtual void updateModelBound();

    // Texture unit 0 or 1.
    void setTexture(TexturePtr texture, int unit);
    // The texture of unit 0.
    TexturePtr getTexture() const { return textures[0]; }

    VertexBufferPtr vertexBuffer;
    IndexBufferPtr indexBuffer;
    std::vector<TexturePtr> textures; // always two units
    BoundingVolumePtr modelBound;

protected:
    Geometry();
    Geometry(VertexBufferPtr vertexBuffer, IndexBufferPtr indexBuffer);
};
}

#endif
