#include "Resources/Drawing/Zoom.h"

#include "Resources/Drawing/Canvas.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Zoom, Tool);

Zoom::Zoom(ZoomToolState::Type state) : state(state) { repeatWhileDragged = false; }

Zoom::~Zoom() {}

void Zoom::use(Canvas* canvas, int x, int y) { canvas->useZoom(this, x, y); }
}
