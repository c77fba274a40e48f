#include "Resources/Drawing/Canvas.h"

#include "Resources/Drawing/Brush.h"
#include "Resources/Drawing/Effects/Effect.h"
#include "Resources/Drawing/Fill.h"
#include "Resources/Drawing/Shape.h"
#include "Resources/Drawing/Stamp.h"
#include "Resources/Drawing/Zoom.h"
#include "Tovrane/Assert.h"
#include "Tovrane/VertexBuffer.h"

#include <cstdlib>
#include <utility>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Canvas, Node);

Canvas::Canvas(int width, int height, bool transparent, int tileSize)
    : maxUndo(1), layer(new Layer(width, height, transparent, tileSize))
{
    initialize();
}

Canvas::Canvas(TexturePtr texture, int tileSize) : maxUndo(1), layer(new Layer(texture, tileSize))
{
    initialize();
}

Canvas::~Canvas()
{
    undoSpare.reset();
    layer.reset();
    redoList.clear();
    undoList.clear();
}

void Canvas::initialize()
{
    setChild(layer, 0);
    screenWidth = tFixed(320);
    screenHeight = tFixed(240);
    maxUndo = 1;
    resetView();
}

void Canvas::resetView()
{
    TOVRANE_ASSERT(layer && layer->getWidth() > 0 && layer->getHeight() > 0 && "A canvas needs a picture");
    pictureWidth = tFixed(layer->getWidth());
    pictureHeight = tFixed(layer->getHeight());
    // The smallest zoom at which the picture covers the whole screen.
    const tFixed a = tFixed::fromRaw(screenWidth.getRaw() / layer->getWidth());
    const tFixed b = tFixed::fromRaw(screenHeight.getRaw() / layer->getHeight());
    minZoom = a > b ? a : b;
    maxZoom = tFixed::fromRaw(minZoom.getRaw() * 4);
    zoomTo(minZoom);
    panTo(tFixed(0), tFixed(0));
}

void Canvas::actualXY(int sx, int sy, tFixed& x, tFixed& y) const
{
    x = scale * tFixed(sx) + panX;
    y = scale * tFixed(sy) + panY;
}

void Canvas::screenXY(int x, int y, int& sx, int& sy) const
{
    const tFixed ratio = screenWidth / viewWidth;
    sx = ((tFixed(x) - panX) * ratio).getRaw() >> 16;
    sy = ((tFixed(y) - panY) * ratio).getRaw() >> 16;
}

void Canvas::useTool(const ToolPtr& tool, int sx, int sy)
{
    if (!tool)
        return;
    tFixed x, y;
    actualXY(sx, sy, x, y);
    tool->use(this, x.getRaw() >> 16, y.getRaw() >> 16);
}

void Canvas::useToolAt(const ToolPtr& tool, tFixed x, tFixed y)
{
    if (tool)
        tool->use(this, x.getRaw() >> 16, y.getRaw() >> 16);
}

void Canvas::zoomTo(tFixed z)
{
    zoom = z;
    scale = tFixed(1) / z;
    viewWidth = scale * screenWidth;
    viewHeight = scale * screenHeight;
    local[0] = z;
    local[5] = z;
    local[10] = tFixed(1);
    setTransformCurrent(false);
}

void Canvas::panTo(tFixed x, tFixed y)
{
    // The lower bound comes last: where truncation makes the view a hair larger
    // than the picture, the pan stays at 0.
    if (x > pictureWidth - viewWidth)
        x = pictureWidth - viewWidth;
    if (x < tFixed(0))
        x = tFixed(0);
    if (y > pictureHeight - viewHeight)
        y = pictureHeight - viewHeight;
    if (y < tFixed(0))
        y = tFixed(0);
    panX = x;
    panY = y;
    local[12] = -(panX * zoom);
    local[13] = (panY + viewHeight - pictureHeight) * zoom;
    local[14] = tFixed(0);
    setTransformCurrent(false);
}

void Canvas::panBy(int dx, int dy) { panTo(scale * tFixed(dx) + panX, scale * tFixed(dy) + panY); }

void Canvas::useBrush(Brush* brush, int x, int y)
{
    makeUndoCopy();
    const TexturePtr& pattern = brush->getPattern();
    if (!pattern)
        return;
    const TexturePtr& mask = brush->getMask();
    if (mask)
        // The pattern stays fixed to the picture, repeating every MaxBrushSize pixels.
        layer->blit(pattern, mask, x, y, x % Brush::MaxBrushSize, y % Brush::MaxBrushSize);
    else
        layer->blit(pattern, x, y, 0, 0, 0, 0);
}

void Canvas::useZoom(Zoom* tool, int x, int y)
{
    tFixed z;
    if (tool->getState() == ZoomToolState::ZoomIn)
    {
        if (zoom >= maxZoom)
            return;
        z = tFixed::fromRaw(static_cast<int>(static_cast<float>(zoom.getRaw()) + static_cast<float>(zoom.getRaw())));
    }
    else
    {
        if (zoom <= minZoom)
            return;
        z = tFixed::fromRaw(static_cast<int>(static_cast<float>(zoom.getRaw()) * 0.5f));
    }
    zoomTo(z);
    // The touched point moves to the middle of the screen as far as the clamping allows.
    panTo(tFixed(x) - tFixed::fromRaw(viewWidth.getRaw() >> 1), tFixed(y) - tFixed::fromRaw(viewHeight.getRaw() >> 1));
}

void Canvas::useFill(Fill* fill, int x, int y)
{
    doFill(fill->getForegroundColor(), fill->getBackgroundColor(), fill->getPattern(), x, y);
}

void Canvas::doFill(const ColorRGBA<unsigned char>& foreground, const ColorRGBA<unsigned char>& background,
                    TexturePtr pattern, int x, int y)
{
    makeUndoCopy();
    if (x < 0 || y < 0 || x >= layer->getWidth() || y >= layer->getHeight())
        return;
    TexturePtr picture = layer->getTexture();
    Fill::fillTexture(*picture, x, y, foreground, background, pattern);
    layer->writeTexture(picture);
}

bool Canvas::canFill(const ColorRGBA<unsigned char>& a, const ColorRGBA<unsigned char>& b)
{
    return a.a == b.a && std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) < 128;
}

void Canvas::useStamp(Stamp* stamp, int x, int y)
{
    makeUndoCopy();
    if (stamp->getImage() && stamp->getMask())
        layer->blit(stamp->getImage(), stamp->getMask(), x, y, 0, 0);
}

void Canvas::useShape(Shape* shape)
{
    makeUndoCopy();
    LinePtr outline = shape->getOutline();
    if (!outline || !outline->vertexBuffer)
        return;
    const VertexBuffer& vertices = *outline->vertexBuffer;
    const tFixed* p = vertices.getPositions();
    for (int i = 0; i + 1 < vertices.getVertexCount(); i += 2)
        layer->drawLine(Vector3<tFixed>(p[3 * i], p[3 * i + 1], p[3 * i + 2]),
                        Vector3<tFixed>(p[3 * i + 3], p[3 * i + 4], p[3 * i + 5]), shape->getForegroundColor(),
                        tFixed(3));
}

void Canvas::useEffect(boost::shared_ptr<Effect> effect)
{
    TexturePtr picture = layer->getTexture();
    effect->run(picture);
    if (undoPending)
    {
        undoPending = false;
        undoList.push_front(layer->copyThenWrite(picture, std::move(undoSpare)));
    }
    else
        layer->writeTexture(picture);
}

void Canvas::trimUndo()
{
    while (static_cast<int>(undoList.size()) > maxUndo)
        undoList.pop_back();
}

void Canvas::pushUndo()
{
    makeUndoCopy();
    // The oldest copies go before the new one is made, so that no more
    // pictures than the limit allows are held even for a moment; the last
    // one dropped is kept to make the new copy in.
    undoSpare.reset();
    if (!redoList.empty())
        undoSpare = redoList.back();
    redoList.clear();
    while (!undoList.empty() && static_cast<int>(undoList.size()) >= maxUndo)
    {
        undoSpare = undoList.back();
        undoList.pop_back();
    }
    // The copy itself is made when the layer is next changed or handed out:
    // an effect writes the picture back into new tiles and leaves the old
    // ones, as they are, to the undo step.
    if (maxUndo > 0)
        undoPending = true;
    else
        undoSpare.reset();
}

void Canvas::makeUndoCopy()
{
    if (!undoPending)
        return;
    undoPending = false;
    undoList.push_front(layer->copy(std::move(undoSpare)));
}

LayerPtr Canvas::getLayer()
{
    makeUndoCopy();
    return layer;
}

void Canvas::undo()
{
    makeUndoCopy();
    if (undoList.empty())
        return;
    redoList.push_front(layer);
    layer = undoList.front();
    undoList.pop_front();
    setChild(layer, 0);
}

void Canvas::redo()
{
    makeUndoCopy();
    if (redoList.empty())
        return;
    undoList.push_front(layer);
    layer = redoList.front();
    redoList.pop_front();
    setChild(layer, 0);
    trimUndo();
}

void Canvas::clearUndo()
{
    undoPending = false;
    undoSpare.reset();
    undoList.clear();
    redoList.clear();
}

void Canvas::setMaxUndo(int limit)
{
    makeUndoCopy();
    maxUndo = limit < 0 ? 0 : limit;
    trimUndo();
}

void Canvas::setTexture(TexturePtr texture, int tileSize) { setLayer(LayerPtr(new Layer(texture, tileSize))); }

void Canvas::setLayer(LayerPtr newLayer)
{
    TOVRANE_ASSERT(newLayer && "A canvas needs a picture");
    layer = newLayer;
    setChild(layer, 0);
    clearUndo();
    resetView();
}
}
