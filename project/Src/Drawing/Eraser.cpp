#include "Resources/Drawing/Eraser.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Eraser, Brush);

const ColorRGBA<unsigned char> Eraser::white(255, 255, 255, 255);
const ColorRGBA<unsigned char> Eraser::clear(0, 0, 0, 0);

Eraser::Eraser() : transparent(false) {}

Eraser::Eraser(TexturePtr mask, TexturePtr pattern) : Brush(mask, pattern), transparent(false)
{
    // Paints white from the start, before the studio says which kind of picture it is on.
    setTransparency(false);
}

Eraser::~Eraser() {}

void Eraser::setTransparency(bool value)
{
    transparent = value;
    setForegroundColor(white);
    setBackgroundColor(white);
}

void Eraser::setForegroundColor(const ColorRGBA<unsigned char>&)
{
    Brush::setForegroundColor(transparent ? clear : white);
}

void Eraser::setBackgroundColor(const ColorRGBA<unsigned char>&)
{
    Brush::setBackgroundColor(transparent ? clear : white);
}
}
