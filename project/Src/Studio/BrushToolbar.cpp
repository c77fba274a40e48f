#include "Resources/Studio/BrushToolbar.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, BrushToolbar, ToolSelectToolbar);

BrushToolbar::BrushToolbar() { initialize(); }

BrushToolbar::~BrushToolbar() {}

void BrushToolbar::initialize()
{
    addToolButton("pencil", ToolType::Pencil);
    addToolButton("brush", ToolType::Brush);
    addToolButton("fill", ToolType::Fill);
    addToolButton("chalk", ToolType::Chalk);
    addToolButton("marker", ToolType::Marker);
    addToolButton("crayon", ToolType::Crayon);
    addToolButton("airbrush", ToolType::Airbrush);
}
}
