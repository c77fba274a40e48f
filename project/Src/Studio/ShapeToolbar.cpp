#include "Resources/Studio/ShapeToolbar.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, ShapeToolbar, ToolSelectToolbar);

ShapeToolbar::ShapeToolbar() { initialize(); }

ShapeToolbar::~ShapeToolbar() {}

void ShapeToolbar::initialize()
{
    addToolButton("triangle", ToolType::Triangle);
    addToolButton("rectangle", ToolType::Rectangle);
    addToolButton("circle", ToolType::Circle);
    addToolButton("star", ToolType::Star);
    addToolButton("line", ToolType::Line);
}
}
