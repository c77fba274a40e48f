#include "Resources/Drawing/Layer.h"

#include "Tovrane/Assert.h"
#include "Tovrane/PackedPixel.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace Tovrane
{
namespace
{
// Remainder in [0, n).
inline int wrap(int value, int n)
{
    const int r = value % n;
    return r < 0 ? r + n : r;
}

template <typename Word> inline Word load(const unsigned char* p)
{
    Word w;
    std::memcpy(&w, p, sizeof(Word));
    return w;
}

template <typename Word> inline void store(unsigned char* p, Word w) { std::memcpy(p, &w, sizeof(Word)); }

// One tile's part of a dab, as rows of `length` pixels: where the first row
// lies in the tile, in the select words and in the colours (whose row
// `sy` of `sourceHeight` it reads), and the pitches in bytes.
struct DabPart
{
    unsigned char* dst;
    int dstPitch;
    const unsigned char* select;
    int selectPitch;
    const unsigned char* colours;
    int colourPitch;
    int sy, sourceHeight, length, h;
};

// Where the select words are set the pixels take the packed colours; with
// Track, the bits that change are gathered in `changed`.
template <typename Word, bool Track>
inline void blendRun(unsigned char* __restrict d, const unsigned char* __restrict s,
                     const unsigned char* __restrict c, int length, Word& changed)
{
    for (int i = 0; i < length; ++i)
    {
        const Word old = load<Word>(d + i * sizeof(Word));
        const Word m = load<Word>(s + i * sizeof(Word));
        const Word value = static_cast<Word>((old & ~m) | (load<Word>(c + i * sizeof(Word)) & m));
        if (Track)
            changed |= static_cast<Word>(old ^ value);
        store<Word>(d + i * sizeof(Word), value);
    }
}

// The rows of one tile's part of a dab. A Width other than 0 is the rows'
// length known in advance, which the compiler unrolls into a few vector
// operations. With Track, returns whether a pixel changed; without, true.
template <typename Word, bool Track, int Width>
inline bool selectRows(const DabPart& part)
{
    // Locals: stores through the byte pointers could otherwise change the part.
    unsigned char* d = part.dst;
    const unsigned char* s = part.select;
    const unsigned char* const colours = part.colours;
    const std::size_t dstPitch = part.dstPitch, selectPitch = part.selectPitch, colourPitch = part.colourPitch;
    const int length = Width ? Width : part.length, h = part.h, sourceHeight = part.sourceHeight;
    Word changed = 0;
    const unsigned char* c = colours + part.sy * colourPitch;
    const unsigned char* const lastColours = colours + (sourceHeight - 1) * colourPitch;
    for (int j = 0; j < h; ++j, d += dstPitch, s += selectPitch)
    {
        blendRun<Word, Track>(d, s, c, length, changed);
        c = c == lastColours ? colours : c + colourPitch;
    }
    return !Track || changed != 0;
}

// The kernels, each built for every processor (see TOVRANE_ROW_LOOP).
#define TOVRANE_SELECT_ROWS(name, Word, Track, Width)                                                                 \
    TOVRANE_ROW_LOOP bool name(const DabPart& part) { return selectRows<Word, Track, Width>(part); }
TOVRANE_SELECT_ROWS(selectRows16, std::uint16_t, false, 0)
TOVRANE_SELECT_ROWS(selectRows32, std::uint32_t, false, 0)
TOVRANE_SELECT_ROWS(trackRows16, std::uint16_t, true, 0)
TOVRANE_SELECT_ROWS(trackRows32, std::uint32_t, true, 0)
TOVRANE_SELECT_ROWS(selectRows16By8, std::uint16_t, false, 8)
TOVRANE_SELECT_ROWS(selectRows16By16, std::uint16_t, false, 16)
TOVRANE_SELECT_ROWS(selectRows16By32, std::uint16_t, false, 32)
#undef TOVRANE_SELECT_ROWS
}

Layer::Layer() {}

Layer::Layer(int width, int height, bool transparent, int tileSize)
{
    TexturePtr picture(new Texture(width, height, PixelFormat::RGBA5551, true, transparent ? 0x00 : 0xFF));
    setTexture(picture, tileSize);
}

Layer::Layer(TexturePtr texture, int tileSize) : TiledBillboard(texture, tileSize) {}

Layer::~Layer() {}

Texture* Layer::tileTexture(int index) const
{
    // Tiles are triangle meshes made by setTexture or copy; no reference is taken.
    return static_cast<TriangleMesh*>(children[index].get())->textures[0].get();
}

void Layer::setPixel(const ColorRGBA<unsigned char>& colour, int x, int y)
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    tileTexture(x / tileSize + columns * (y / tileSize))->setPixel(colour, x % tileSize, y % tileSize);
}

ColorRGBA<unsigned char> Layer::getPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return ColorRGBA<unsigned char>();
    return tileTexture(x / tileSize + columns * (y / tileSize))->getPixel(x % tileSize, y % tileSize);
}

void Layer::setPixelX(const ColorRGBA<unsigned char>& colour, int x, int y, int w)
{
    if (y < 0 || y >= height)
        return;
    const int first = std::max(x - w, 0);
    setRun(colour, first, y, std::min(x + w, width) - first, true);
}

void Layer::setPixelY(const ColorRGBA<unsigned char>& colour, int x, int y, int w)
{
    if (x < 0 || x >= width)
        return;
    const int first = std::max(y - w, 0);
    setRun(colour, x, first, std::min(y + w, height) - first, false);
}

void Layer::setRun(const ColorRGBA<unsigned char>& colour, int x, int y, int count, bool horizontal)
{
    // Tile by tile: the first pixel of each piece is packed once, the rest of
    // the piece repeats its bytes.
    int along = horizontal ? x : y;
    const int end = along + count;
    while (along < end)
    {
        const int px = horizontal ? along : x;
        const int py = horizontal ? y : along;
        const int pieceEnd = std::min(end, (along / tileSize + 1) * tileSize);
        Texture* tile = tileTexture(px / tileSize + columns * (py / tileSize));
        const int tx = px % tileSize;
        const int ty = py % tileSize;
        tile->setPixel(colour, tx, ty);
        const int bpp = tile->getBytesPerPixel();
        const int step = horizontal ? bpp : tile->getPitch();
        unsigned char* p = tile->getPixels() + ty * tile->getPitch() + tx * bpp;
        for (int k = 1; k < pieceEnd - along; ++k)
            std::memcpy(p + k * step, p, bpp);
        along = pieceEnd;
    }
}

void Layer::drawLine(const Vector3<tFixed>& from, const Vector3<tFixed>& to,
                     const ColorRGBA<unsigned char>& colour, tFixed lineWidth)
{
    const int w = lineWidth.getRaw() >> 16;
    const int half = w / 2;
    int x0 = from.x.getRaw() >> 16;
    int y0 = (from.y.getRaw() >> 16) - half;
    int x1 = to.x.getRaw() >> 16;
    int y1 = (to.y.getRaw() >> 16) - half;

    const bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
    if (steep)
    {
        std::swap(x0, y0);
        std::swap(x1, y1);
    }
    if (x0 > x1)
    {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const int d = x1 - x0;
    const int e = std::abs(y1 - y0);
    const int step = y0 < y1 ? 1 : -1;
    int error = d / 2;
    int minor = y0;
    for (int major = x0; major <= x1; ++major)
    {
        if (!steep)
        {
            if (major >= 0 && major < width)
                setPixelY(colour, major, minor, w);
        }
        else if (major >= 0 && major < height)
            setPixelX(colour, minor, major, w);
        error -= e;
        if (error < 0)
        {
            minor += step;
            error += d;
        }
    }
}

void Layer::blit(TexturePtr texture, int x, int y, int srcX, int srcY, int w, int h)
{
    TOVRANE_ASSERT(texture && "Cannot blit an empty texture");
    if (w == 0)
        w = texture->getWidth();
    if (h == 0)
        h = texture->getHeight();
    // Only the tiles under the part of the rectangle inside the picture are written.
    const int x0 = std::max(x, 0);
    const int y0 = std::max(y, 0);
    const int x1 = std::min(x + w, width);
    const int y1 = std::min(y + h, height);
    if (x0 >= x1 || y0 >= y1)
        return;
    for (int row = y0 / tileSize; row <= (y1 - 1) / tileSize; ++row)
    {
        const int top = std::max(y0, row * tileSize);
        const int bottom = std::min(y1, (row + 1) * tileSize);
        for (int column = x0 / tileSize; column <= (x1 - 1) / tileSize; ++column)
        {
            const int left = std::max(x0, column * tileSize);
            const int right = std::min(x1, (column + 1) * tileSize);
            Texture* tile = tileTexture(column + columns * row);
            tile->blitTexture(texture, left - column * tileSize, top - row * tileSize, srcX + left - x,
                              srcY + top - y, right - left, bottom - top);
        }
    }
}

void Layer::prepareDab(const Texture& source, const Texture& mask, PixelFormat::Type format) const
{
    DabCache& cache = dabCache;
    const int bpp = PixelFormat::getBytesPerPixel(format);
    const int mw = mask.getWidth(), mh = mask.getHeight();
    const bool sameFormat = cache.format == format;
    if (!sameFormat || cache.sourceIdentity != source.getIdentity() || cache.sourceChanges != source.getChangeCount() ||
        cache.maskWidth != mw)
    {
        // Each palette entry is packed once by the tile format's own rules.
        // Colour column k holds the source's column (k - mw) mod its width,
        // for k up to the source's width and twice the mask's past it.
        Texture packed(256, 1, format);
        for (int i = 0; i < 256; ++i)
            packed.setPixel(source.getPaletteEntry(i), i, 0);
        const int sw = source.getWidth(), sh = source.getHeight();
        const int pitch = sw + 3 * mw;
        cache.colours.resize(static_cast<std::size_t>(pitch) * sh * bpp);
        for (int y = 0; y < sh; ++y)
        {
            const unsigned char* indices = source.getPixels() + y * source.getPitch();
            unsigned char* out = cache.colours.data() + static_cast<std::size_t>(y) * pitch * bpp;
            for (int x = 0; x < pitch; ++x)
                std::memcpy(out + x * bpp, packed.getPixels() + indices[wrap(x - mw, sw)] * bpp, bpp);
        }
        cache.sourceIdentity = source.getIdentity();
        cache.sourceChanges = source.getChangeCount();
        cache.sourceWidth = sw;
        cache.sourceHeight = sh;
        cache.colourPitch = pitch;
    }
    if (!sameFormat || cache.maskIdentity != mask.getIdentity() || cache.maskChanges != mask.getChangeCount())
    {
        // Each row of select words has mask-width zero words on either side.
        cache.select.assign(static_cast<std::size_t>(3 * mw) * mh * bpp, 0);
        for (int y = 0; y < mh; ++y)
            for (int x = 0; x < mw; ++x)
                if (mask.getPixels()[y * mask.getPitch() + x * 4 + 3] == 255)
                    std::memset(cache.select.data() + (static_cast<std::size_t>(y) * 3 * mw + mw + x) * bpp, 0xFF, bpp);
        cache.maskIdentity = mask.getIdentity();
        cache.maskChanges = mask.getChangeCount();
        cache.maskWidth = mw;
    }
    cache.format = format;
}

bool Layer::maskedBlitTile(Texture& tile, const Texture& source, const Texture& mask, int tileX, int tileY,
                           int maskX, int maskY, int srcX, int srcY, int w, int h, bool track) const
{
    const int bpp = tile.getBytesPerPixel();
    if (bpp == 2 || bpp == 4)
    {
        // The caller has prepared the cache for this tile's format.
        const DabCache& c = dabCache;
        const int mw = c.maskWidth;
        // A part narrower than the mask is run across the mask's whole width
        // all the same, moved left as far as needed to stay in the tile: the
        // select words' zero margins keep the pixels beyond the part as they are.
        const bool whole = bpp == 2 && !track && (mw == 8 || mw == 16 || mw == 32) && mw <= tile.getWidth();
        const int shift = whole ? std::min(tileX, tile.getWidth() - mw) - tileX : 0;
        const DabPart part = {
            tile.getPixels() + static_cast<std::size_t>(tileY) * tile.getPitch() + (tileX + shift) * bpp,
            tile.getPitch(),
            c.select.data() + (static_cast<std::size_t>(maskY) * 3 * mw + mw + maskX + shift) * bpp,
            3 * mw * bpp,
            c.colours.data() + static_cast<std::size_t>(mw + wrap(srcX, c.sourceWidth) + shift) * bpp,
            c.colourPitch * bpp,
            wrap(srcY, c.sourceHeight),
            c.sourceHeight,
            whole ? mw : w,
            h};
        if (whole)
        {
            (mw == 8 ? selectRows16By8 : mw == 16 ? selectRows16By16 : selectRows16By32)(part);
            return false;
        }
        if (bpp == 2)
            return (track ? trackRows16 : selectRows16)(part) && track;
        return (track ? trackRows32 : selectRows32)(part) && track;
    }

    // Three-byte tiles: pixel by pixel through the texture, which drops its
    // copies itself.
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            if (mask.getPixels()[(maskY + j) * mask.getPitch() + (maskX + i) * 4 + 3] == 255)
                tile.setPixel(source.getPaletteEntry(source.getPaletteIndex(wrap(srcX + i, source.getWidth()),
                                                                            wrap(srcY + j, source.getHeight()))),
                              tileX + i, tileY + j);
    return false;
}

void Layer::blit(const TexturePtr& sourcePointer, const TexturePtr& maskPointer, int x, int y, int srcX, int srcY)
{
    TOVRANE_ASSERT(sourcePointer && maskPointer && "A masked blit needs a source and a mask");
    // Read through const references: a non-const access would count as a change.
    const Texture& source = *sourcePointer;
    const Texture& mask = *maskPointer;
    TOVRANE_ASSERT(mask.getBytesPerPixel() == 4 && "Mask doesn't contain an alpha channel");
    // Only palette sources write anything.
    if (!source.getPalette() || source.getWidth() <= 0 || source.getHeight() <= 0)
        return;
    const int x0 = std::max(x, 0);
    const int y0 = std::max(y, 0);
    const int x1 = std::min(x + mask.getWidth(), width);
    const int y1 = std::min(y + mask.getHeight(), height);
    if (x0 >= x1 || y0 >= y1)
        return;
    PixelFormat::Type prepared = PixelFormat::Palette8;
    // Whether a renderer holds a tile is read under the lock of the binding
    // lists, taken once for the whole dab.
    std::lock_guard<std::recursive_mutex> lock(Texture::listMutex());
    for (int row = y0 / tileSize; row <= (y1 - 1) / tileSize; ++row)
    {
        const int top = std::max(y0, row * tileSize);
        const int bottom = std::min(y1, (row + 1) * tileSize);
        for (int column = x0 / tileSize; column <= (x1 - 1) / tileSize; ++column)
        {
            const int left = std::max(x0, column * tileSize);
            const int right = std::min(x1, (column + 1) * tileSize);
            Texture* tile = tileTexture(column + columns * row);
            TOVRANE_ASSERT(!static_cast<const Texture*>(tile)->getPalette() && "Texture contains a palette");
            if (tile->getFormat() != prepared && (tile->getBytesPerPixel() == 2 || tile->getBytesPerPixel() == 4))
            {
                prepareDab(source, mask, tile->getFormat());
                prepared = tile->getFormat();
            }
            // A tile held by a renderer is uploaded again only when one of its
            // pixels changed; changes are looked for only then (once the copy
            // is dropped, later dabs have nothing to drop).
            const bool held = !tile->bindings.empty();
            if (maskedBlitTile(*tile, source, mask, left - column * tileSize, top - row * tileSize, left - x,
                               top - y, srcX + left - x, srcY + top - y, right - left, bottom - top, held))
                tile->releaseBindings();
        }
    }
}
}
