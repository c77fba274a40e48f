#ifndef RESOURCES_FILTER_H
#define RESOURCES_FILTER_H

#include "Resources/Drawing/Canvas.h"
#include "Resources/Drawing/Tool.h"
#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/Object.h"

namespace Tovrane
{
class Filter;
typedef boost::shared_ptr<Filter> FilterPtr;

// Mirror symmetry of the stroke filter.
struct SymmetryType
{
    enum Type : int
    {
        None = 0,
        LeftRight = 1,
        TopBottom = 2,
        Both = 3
    };
};

// Turns the touch points of a brush stroke into tool uses: fills the gaps
// between successive points with a line of screen pixels and adds the mirror
// images of every point. With an empty tool every operation does nothing.
class Filter : public Object
{
    TOVRANE_DECLARE_RTTI(Filter)

public:
    Filter(int width, int height);
    ~Filter() override;

    // Starts a stroke at screen point (x, y).
    void begin(int x, int y);
    // Applies the tool along the line from the last point to screen point
    // (x, y), which becomes the last point.
    void useTool(const CanvasPtr& canvas, const ToolPtr& tool, int x, int y);
    // Applies the tool at every screen pixel of the line from the last point
    // to (x, y), both ends included.
    void interpolateLine(const CanvasPtr& canvas, const ToolPtr& tool, int x, int y);
    // Applies the tool at the mirror images of screen point (x, y), then at
    // the point itself.
    void filterTool(const CanvasPtr& canvas, const ToolPtr& tool, int x, int y);

    SymmetryType::Type getSymmetryType() const { return symmetry; }
    void setSymmetryType(SymmetryType::Type type) { symmetry = type; }

private:
    tFixed width;
    tFixed height;
    SymmetryType::Type symmetry;
    int lastX;
    int lastY;
};
}

#endif
