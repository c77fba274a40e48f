#include "Resources/Drawing/Filter.h"

#include <cstdlib>
#include <utility>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Filter, Object);

Filter::Filter(int width, int height)
    : width(tFixed(width)), height(tFixed(height)), symmetry(SymmetryType::None), lastX(0), lastY(0)
{
}

Filter::~Filter() {}

void Filter::begin(int x, int y)
{
    lastX = x;
    lastY = y;
}

void Filter::useTool(const CanvasPtr& canvas, const ToolPtr& tool, int x, int y)
{
    if (!tool)
        return;
    interpolateLine(canvas, tool, x, y);
    lastX = x;
    lastY = y;
}

void Filter::interpolateLine(const CanvasPtr& canvas, const ToolPtr& tool, int x, int y)
{
    if (!tool)
        return;
    // Bresenham in screen pixels; (a, b) is (x, y), or (y, x) for a steep line.
    const bool steep = std::abs(x - lastX) < std::abs(y - lastY);
    int a0 = steep ? lastY : lastX;
    int b0 = steep ? lastX : lastY;
    int a1 = steep ? y : x;
    int b1 = steep ? x : y;
    if (a1 < a0)
    {
        std::swap(a0, a1);
        std::swap(b0, b1);
    }
    const int da = a1 - a0;
    const int db = std::abs(b1 - b0);
    const int step = b0 < b1 ? 1 : -1;
    int error = da / 2;
    int b = b0;
    for (int a = a0; a <= a1; ++a)
    {
        if (steep)
            filterTool(canvas, tool, b, a);
        else
            filterTool(canvas, tool, a, b);
        error -= db;
        if (error < 0)
        {
            b += step;
            error += da;
        }
    }
}

void Filter::filterTool(const CanvasPtr& canvas, const ToolPtr& tool, int x, int y)
{
    if (!tool)
        return;
    tFixed px, py;
    canvas->actualXY(x, y, px, py);
    switch (symmetry)
    {
    case SymmetryType::LeftRight:
        canvas->useToolAt(tool, width - px, py);
        break;
    case SymmetryType::TopBottom:
        canvas->useToolAt(tool, px, height - py);
        break;
    case SymmetryType::Both:
        canvas->useToolAt(tool, width - px, py);
        canvas->useToolAt(tool, px, height - py);
        canvas->useToolAt(tool, width - px, height - py);
        break;
    default:
        break;
    }
    canvas->useToolAt(tool, px, py);
}
}
