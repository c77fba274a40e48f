#include "Resources/Drawing/Stamp.h"

#include "Resources/Drawing/Canvas.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Stamp, Tool);

Stamp::Stamp() { repeatWhileDragged = false; }

Stamp::Stamp(TexturePtr image)
{
    repeatWhileDragged = false;
    setStampTexture(image);
}

Stamp::~Stamp() {}

void Stamp::setStampTexture(TexturePtr newImage)
{
    image = newImage;
    mask.reset();
    if (!image)
        return;
    const int w = image->getWidth(), h = image->getHeight();
    mask.reset(new Texture(w, h, PixelFormat::RGBA8888));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            mask->setPixel(ColorRGBA<unsigned char>(0, 0, 0, image->getPaletteIndex(x, y) == 0 ? 0 : 255), x, y);
}

void Stamp::use(Canvas* canvas, int x, int y)
{
    if (!image)
        return;
    const int half = image->getWidth() / 2;
    canvas->useStamp(this, x - half, y - half);
}
}
