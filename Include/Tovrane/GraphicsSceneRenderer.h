#ifndef TOVRANE_GRAPHICSSCENERENDERER_H
#define TOVRANE_GRAPHICSSCENERENDERER_H

#include "Tovrane/GraphicsRenderer.h"

namespace Tovrane
{
class Geometry;
class GraphicsCuller;

// Turns a culler's visible set into draw calls: fixes the order in which each
// geometry's transform, textures and buffers reach the back end. Every draw
// disables what it enabled, so each geometry starts from the same state.
class GraphicsSceneRenderer : public GraphicsRenderer
{
public:
    GraphicsSceneRenderer();
    ~GraphicsSceneRenderer() override;

    // Draws the visible set in its order.
    void drawScene(GraphicsCuller& culler);
    void draw(Geometry* geometry);

    // Draws the current geometry's primitives from the enabled buffers.
    virtual void drawElements() = 0;
    // Saves the model-view transform and multiplies it by the current
    // geometry's world transform.
    virtual void pushWorldTransform() = 0;
    virtual void popWorldTransform() = 0;

    // The geometry being drawn; null outside draw.
    Geometry* currentGeometry;
};
}

#endif
