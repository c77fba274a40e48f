#ifndef RESOURCES_COLORPICTURE_H
#define RESOURCES_COLORPICTURE_H

#include "Tovrane/ColorRGBA.h"
#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/Mathematics/Vector3.h"
#include "Tovrane/Spatial.h"

#include <boost/shared_ptr.hpp>

namespace Tovrane
{
class Texture;
typedef boost::shared_ptr<Texture> TexturePtr;

// Sampling and repainting of the pictures the colour widgets show: where a
// touch falls in a picture, what colour lies there, and recolouring a
// picture's pixels in place. Positions are screen pixels, y up.
namespace ColorPicture
{
typedef ColorRGBA<unsigned char> Colour;

// Centre of a scene element's world bound (16.16); the origin without one.
Vector3<tFixed> getCenter(const SpatialPtr& picture);

// dx² + dy² in 16.16, each square shifted right by 16; beyond the 16.16
// range it saturates instead of wrapping.
tFixed squaredDistance(tFixed dx, tFixed dy);

// Column and row (from the top) of the touch (x, y) in a w x h picture whose
// middle is at `center`.
void getTexCoord(int& tx, int& ty, int x, int y, const Vector3<tFixed>& center, int w, int h);

// The pixel at column tx, row ty; no colour (all 0) outside the picture or
// without one.
Colour getPixel(const TexturePtr& texture, int tx, int ty);

// Every pixel whose alpha is not 0 becomes `colour`, alpha included. A
// colour with alpha 0 changes nothing: it would wipe the picture out for good.
void fillOpaque(const TexturePtr& texture, const Colour& colour);

// Every pixel whose red, green and blue equal `fromA`'s gets `toA`'s red,
// green and blue; otherwise, if they equal `fromB`'s, it gets `toB`'s. Alpha
// stays. Row by row, each pixel once.
void swapColours(const TexturePtr& texture, const Colour& fromA, const Colour& toA, const Colour& fromB,
                 const Colour& toB);

// Red, green and blue are equal; alpha is not compared.
inline bool isSameColor(const Colour& a, const Colour& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
}
}

#endif
