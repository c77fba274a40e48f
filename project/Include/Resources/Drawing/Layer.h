#ifndef RESOURCES_LAYER_H
#define RESOURCES_LAYER_H

#include "Tovrane/ColorRGBA.h"
#include "Tovrane/Mathematics/Fixed.h"
#include "Tovrane/Mathematics/Vector3.h"
#include "Tovrane/Texture.h"
#include "Tovrane/TiledBillboard.h"

#include <cstdint>
#include <vector>

namespace Tovrane
{
class Layer;
typedef boost::shared_ptr<Layer> LayerPtr;

// The picture being drawn: width x height pixels kept as square tiles, so that
// a change to a few pixels uploads only the tiles that hold them. Picture
// coordinates have x to the right and y downwards, (0, 0) the top-left pixel.
// A tile is written (and so uploaded again) only where its pixels change.
class Layer : public TiledBillboard
{
public:
    // An empty layer without tiles.
    Layer();
    // A blank RGBA5551 picture: transparent black, or opaque white.
    Layer(int width, int height, bool transparent, int tileSize);
    // Tiles cut from `texture`, keeping its pixel format.
    Layer(TexturePtr texture, int tileSize);
    ~Layer() override;

    // One pixel; positions outside the picture are ignored (read as zero).
    void setPixel(const ColorRGBA<unsigned char>& colour, int x, int y);
    ColorRGBA<unsigned char> getPixel(int x, int y) const;

    // Pixels (i, y) for i in [x - w, x + w) and (x, j) for j in [y - w, y + w),
    // clipped to the picture.
    void setPixelX(const ColorRGBA<unsigned char>& colour, int x, int y, int w);
    void setPixelY(const ColorRGBA<unsigned char>& colour, int x, int y, int w);

    // A straight line between two picture positions, `width` pixels thick:
    // every step paints a run of twice the whole width across the line.
    void drawLine(const Vector3<tFixed>& from, const Vector3<tFixed>& to,
                  const ColorRGBA<unsigned char>& colour, tFixed width);

    // Copies w x h pixels (0 means the texture's size) of `texture` at
    // (srcX, srcY) to picture position (x, y).
    void blit(TexturePtr texture, int x, int y, int srcX, int srcY, int w, int h);
    // Where the RGBA8888 mask has alpha 255, the pixel becomes the Palette8
    // source's colour at (srcX + X - x, srcY + Y - y), read modulo the source's
    // size; other pixels keep their value. The rectangle has the mask's size.
    void blit(const TexturePtr& source, const TexturePtr& mask, int x, int y, int srcX, int srcY);

    // A deep copy: the same tiles with copies of their pixels.
    LayerPtr copy() const;
    // The same copy, made in `spare`, a layer given up, when nothing else
    // holds it, its tiles or their textures and it has this layer's tiles and
    // formats (saving new tiles and the freeing of old); otherwise `spare`
    // is let go first and a new copy made.
    LayerPtr copy(LayerPtr spare) const;
    // The whole picture as a new RGBA5551 texture of width x height.
    TexturePtr getTexture() const;
    // Writes a picture of the layer's size back into the tiles, touching only
    // tiles whose pixels change; a picture of another size or format rebuilds
    // the tiles.
    void writeTexture(TexturePtr picture);
    // copy(spare), then writeTexture(picture), returning the copy. When the
    // spare can hold the copy and no one else holds this layer's tiles, the
    // copy keeps the textures of the tiles that change, so their old pixels
    // are not copied at all, and those tiles take the spare's textures.
    LayerPtr copyThenWrite(TexturePtr picture, LayerPtr spare);

private:
    // `count` pixels from (x, y) to the right or downwards, all inside the picture.
    void setRun(const ColorRGBA<unsigned char>& colour, int x, int y, int count, bool horizontal);
    Texture* tileTexture(int index) const;
    // Whether this layer, unattached and untouched by anyone else, has the
    // tiles a copy of `source` needs.
    bool canHoldCopyOf(const Layer& source) const;
    // Whether a picture can be written into the tiles as they are: the
    // layer's size and its tiles' format.
    bool fits(const Texture& picture) const;
    // Where tile `index`'s part of a fitting picture lies, and its first row
    // that differs from the tile (`lines` when none does).
    struct TilePart
    {
        const unsigned char* in;
        int inPitch;
        std::size_t bytes;
        int lines;
        int first;
    };
    TilePart tilePart(const Texture& picture, int index) const;
    // An element's transform as a new copy of `model` has it: its position only.
    static void placeLike(Spatial& element, const Spatial& model);
    // Brings the dab cache up to date for this source, mask and tile format.
    void prepareDab(const Texture& source, const Texture& mask, PixelFormat::Type format) const;
    // One tile's part of a masked blit; with `track`, returns whether a pixel
    // changed (without, false).
    bool maskedBlitTile(Texture& tile, const Texture& source, const Texture& mask, int tileX, int tileY, int maskX,
                        int maskY, int srcX, int srcY, int w, int h, bool track) const;

    // The last masked blit's source colours packed into the tile format and
    // its mask as select words (all bits set where the mask's alpha is 255),
    // both with margins of the mask's width: a colour row repeats the source
    // row around it, a select row has zero words on either side, so that a
    // dab row never wraps and may run past its part of a tile. Textures are
    // known by identity and change count, so a changed colour, pattern or
    // mask is never painted stale.
    struct DabCache
    {
        PixelFormat::Type format = PixelFormat::Palette8;
        std::uint64_t sourceIdentity = 0;
        std::uint64_t sourceChanges = 0;
        int sourceWidth = 0;
        int sourceHeight = 0;
        int colourPitch = 0;
        std::vector<unsigned char> colours;
        std::uint64_t maskIdentity = 0;
        std::uint64_t maskChanges = 0;
        int maskWidth = -1;
        std::vector<unsigned char> select;
    };
    mutable DabCache dabCache;
};
}

#endif
