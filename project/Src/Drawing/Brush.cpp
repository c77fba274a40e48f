#include "Resources/Drawing/Brush.h"

#include "Resources/Drawing/Canvas.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Brush, Tool);

Brush::Brush() {}

Brush::Brush(TexturePtr mask, TexturePtr pattern) : mask(mask) { setPattern(pattern); }

Brush::~Brush() {}

void Brush::setPattern(TexturePtr newPattern)
{
    pattern = newPattern && newPattern->getPalette() ? newPattern->copy() : newPattern;
}

void Brush::setForegroundColor(const ColorRGBA<unsigned char>& colour)
{
    Tool::setForegroundColor(colour);
    if (pattern && pattern->getFormat() == PixelFormat::Palette8)
        pattern->setPaletteEntry(colour, 0);
}

void Brush::setBackgroundColor(const ColorRGBA<unsigned char>& colour)
{
    Tool::setBackgroundColor(colour);
    if (pattern && pattern->getFormat() == PixelFormat::Palette8)
        pattern->setPaletteEntry(colour, 1);
}

void Brush::use(Canvas* canvas, int x, int y)
{
    const TexturePtr& shape = mask ? mask : pattern;
    if (!shape)
        return;
    const int half = shape->getWidth() / 2;
    canvas->useBrush(this, x - half, y - half);
}
}
