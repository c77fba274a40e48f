#include "Resources/Drawing/Tool.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Tool, Object);

Tool::Tool() : repeatWhileDragged(true), foregroundColor(0, 0, 0, 255), backgroundColor(255, 255, 255, 255) {}

Tool::~Tool() {}

void Tool::setForegroundColor(const ColorRGBA<unsigned char>& colour) { foregroundColor = colour; }

void Tool::setBackgroundColor(const ColorRGBA<unsigned char>& colour) { backgroundColor = colour; }
}
