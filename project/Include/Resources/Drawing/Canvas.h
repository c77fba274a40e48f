#ifndef RESOURCES_CANVAS_H
#define RESOURCES_CANVAS_H

#include "Resources/Drawing/Layer.h"
#include "Resources/Drawing/Tool.h"
#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/Node.h"

#include <list>

namespace Tovrane
{
class Brush;
class Canvas;
class Effect;
class Fill;
class Shape;
class Stamp;
class Zoom;
typedef boost::shared_ptr<Canvas> CanvasPtr;

// The drawing surface on the 320 x 240 screen: holds the current picture as
// its only child, shows it at a zoom with a clamped pan, turns screen points
// into picture pixels, receives every tool's action and keeps whole-picture
// undo copies. Picture position (X, Y) is shown at screen position
// (zoom x (X - panX), zoom x (Y - panY)), y downwards on both.
class Canvas : public Node
{
    TOVRANE_DECLARE_RTTI(Canvas)

public:
    Canvas(int width, int height, bool transparent, int tileSize);
    Canvas(TexturePtr texture, int tileSize);
    ~Canvas() override;

    // Screen pixel to picture position (16.16), and picture pixel to screen pixel.
    void actualXY(int sx, int sy, tFixed& x, tFixed& y) const;
    void screenXY(int x, int y, int& sx, int& sy) const;
    // Applies the tool at the picture pixel under screen pixel (sx, sy); an
    // empty tool does nothing.
    void useTool(const ToolPtr& tool, int sx, int sy);
    // Applies the tool at picture position (x, y); an empty tool does nothing.
    void useToolAt(const ToolPtr& tool, tFixed x, tFixed y);

    // Sets the zoom (screen pixels per picture pixel); the pan is not clamped here.
    void zoomTo(tFixed z);
    // Moves the view's top-left corner to picture position (x, y), kept inside
    // the picture and never negative.
    void panTo(tFixed x, tFixed y);
    // Moves the view by screen pixels.
    void panBy(int dx, int dy);

    // The canvas side of the tools' double dispatch; (x, y) are picture pixels.
    void useBrush(Brush* brush, int x, int y);
    void useZoom(Zoom* zoom, int x, int y);
    void useFill(Fill* fill, int x, int y);
    // (x, y) is the stamp image's top-left corner.
    void useStamp(Stamp* stamp, int x, int y);
    // Draws the shape's outline segments as lines 3 pixels thick.
    void useShape(Shape* shape);

    // Fills the region around (x, y) (see Fill::fillTexture); a seed outside
    // the picture does nothing. Only tiles whose pixels change are written.
    void doFill(const ColorRGBA<unsigned char>& foreground, const ColorRGBA<unsigned char>& background,
                TexturePtr pattern, int x, int y);
    // The fill's region test: equal alpha and a sum of the red, green and
    // blue differences of at most 127.
    static bool canFill(const ColorRGBA<unsigned char>& a, const ColorRGBA<unsigned char>& b);

    // Runs an effect on the whole picture (the caller saves an undo step first).
    void useEffect(boost::shared_ptr<Effect> effect);

    // Saves a copy of the picture before a change; drops the oldest copy
    // beyond the limit first and forgets what could be redone.
    void pushUndo();
    void undo();
    void redo();
    void clearUndo();
    // At most `limit` undo steps are kept (at least 0).
    void setMaxUndo(int limit);
    int getMaxUndo() const { return maxUndo; }
    int getUndoCount() const { return static_cast<int>(undoList.size()) + (undoPending ? 1 : 0); }
    int getRedoCount() const { return static_cast<int>(redoList.size()); }

    // A new picture: a layer cut from the texture; undo is emptied and the view reset.
    void setTexture(TexturePtr texture, int tileSize);
    void setLayer(LayerPtr newLayer);
    // The current picture; whoever gets it may change it, so an undo copy
    // still to be made is made first.
    LayerPtr getLayer();

    tFixed getZoom() const { return zoom; }
    tFixed getMinZoom() const { return minZoom; }
    tFixed getMaxZoom() const { return maxZoom; }
    tFixed getScale() const { return scale; }
    tFixed getViewWidth() const { return viewWidth; }
    tFixed getViewHeight() const { return viewHeight; }
    tFixed getPanX() const { return panX; }
    tFixed getPanY() const { return panY; }
    tFixed getPictureWidth() const { return pictureWidth; }
    tFixed getPictureHeight() const { return pictureHeight; }

private:
    void initialize();
    void resetView();
    void trimUndo();
    // Makes the undo copy pushUndo left to be made, if any.
    void makeUndoCopy();

    int maxUndo;
    std::list<LayerPtr> undoList; // newest first
    std::list<LayerPtr> redoList; // newest first
    // pushUndo's copy of the layer, not made yet: the layer is unchanged
    // since, and every operation that may change it or hand it out makes the
    // copy first (in the spare, the last step dropped, when it can hold it).
    bool undoPending = false;
    LayerPtr undoSpare;
    tFixed zoom;
    tFixed minZoom;
    tFixed maxZoom;
    tFixed scale;
    tFixed screenWidth;
    tFixed screenHeight;
    tFixed pictureWidth;
    tFixed pictureHeight;
    tFixed viewWidth;
    tFixed viewHeight;
    tFixed panX;
    tFixed panY;
    LayerPtr layer;
};
}

#endif
