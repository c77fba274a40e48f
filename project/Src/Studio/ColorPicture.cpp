#include "Resources/Studio/ColorPicture.h"

#include "Tovrane/BoundingVolume.h"
#include "Tovrane/Texture.h"

#include <cstdint>

namespace Tovrane
{
namespace ColorPicture
{
namespace
{
// A 16-bit pixel read in place from the texture's bytes.
typedef std::uint16_t __attribute__((__may_alias__)) PixelWord;

// A colour's red, green and blue as they sit in an RGBA4444 word.
std::uint16_t pack4444(const Colour& c)
{
    return static_cast<std::uint16_t>((c.r >> 4) << 12 | (c.g >> 4) << 8 | (c.b & 0xF0));
}

bool fitsIn4444(const Colour& c) { return ((c.r | c.g | c.b) & 0x0F) == 0; }

// The 16-bit page of the colour masks is repainted on every colour change:
// one branch-free pass over the raw words, which the compiler vectorises,
// instead of a read and a write per pixel.
void swapColours4444(Texture& texture, const Colour& fromA, const Colour& toA, const Colour& fromB,
                     const Colour& toB)
{
    // A colour with bits below the top four matches no pixel of this format:
    // its key has a bit that masked pixels never have.
    const std::uint16_t none = 0x0001;
    const std::uint16_t keyA = fitsIn4444(fromA) ? pack4444(fromA) : none;
    const std::uint16_t keyB = fitsIn4444(fromB) ? pack4444(fromB) : none;
    const std::uint16_t newA = pack4444(toA), newB = pack4444(toB);
    const int w = texture.getWidth();
    for (int y = 0; y < texture.getHeight(); ++y)
    {
        PixelWord* row =
            reinterpret_cast<PixelWord*>(texture.getPixels() + static_cast<std::ptrdiff_t>(y) * texture.getPitch());
        for (int x = 0; x < w; ++x)
        {
            const std::uint16_t v = row[x];
            const std::uint16_t rgb = v & 0xFFF0, alpha = v & 0x000F;
            row[x] = rgb == keyA ? static_cast<std::uint16_t>(newA | alpha)
                                 : (rgb == keyB ? static_cast<std::uint16_t>(newB | alpha) : v);
        }
    }
}
}

Vector3<tFixed> getCenter(const SpatialPtr& picture)
{
    if (!picture || !picture->worldBound)
        return Vector3<tFixed>();
    return picture->worldBound->centre;
}

tFixed squaredDistance(tFixed dx, tFixed dy)
{
    const std::int64_t x = dx.getRaw(), y = dy.getRaw();
    const std::int64_t sum = ((x * x) >> 16) + ((y * y) >> 16);
    return tFixed::fromRaw(sum > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(sum));
}

void getTexCoord(int& tx, int& ty, int x, int y, const Vector3<tFixed>& center, int w, int h)
{
    tx = x - (center.x - tFixed(w / 2)).toInt();
    ty = (center.y + tFixed(h / 2)).toInt() - y;
}

Colour getPixel(const TexturePtr& texture, int tx, int ty)
{
    if (!texture || tx < 0 || ty < 0 || tx >= texture->getWidth() || ty >= texture->getHeight())
        return Colour(0, 0, 0, 0);
    return texture->getPixel(tx, ty);
}

void fillOpaque(const TexturePtr& texture, const Colour& colour)
{
    if (!texture || texture->getFormat() == PixelFormat::Palette8 || colour.a == 0)
        return;
    for (int y = 0; y < texture->getHeight(); ++y)
        for (int x = 0; x < texture->getWidth(); ++x)
            if (texture->getPixel(x, y).a != 0)
                texture->setPixel(colour, x, y);
}

void swapColours(const TexturePtr& texture, const Colour& fromA, const Colour& toA, const Colour& fromB,
                 const Colour& toB)
{
    if (!texture || texture->getFormat() == PixelFormat::Palette8)
        return;
    if (texture->getFormat() == PixelFormat::RGBA4444)
    {
        texture->releaseBindings();
        swapColours4444(*texture, fromA, toA, fromB, toB);
        return;
    }
    for (int y = 0; y < texture->getHeight(); ++y)
        for (int x = 0; x < texture->getWidth(); ++x)
        {
            const Colour c = texture->getPixel(x, y);
            if (isSameColor(c, fromA))
                texture->setPixel(Colour(toA.r, toA.g, toA.b, c.a), x, y);
            else if (isSameColor(c, fromB))
                texture->setPixel(Colour(toB.r, toB.g, toB.b, c.a), x, y);
        }
}
}
}
