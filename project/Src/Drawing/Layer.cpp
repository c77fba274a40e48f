#include "Resources/Drawing/Layer.h"

#include "Tovrane/Assert.h"
#include "Tovrane/PackedPixel.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

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

// Where one tile's part of a dab lies: the destination's first row, the
// dab's clipped size, and where it starts in the mask and the source.
struct DabPart
{
    unsigned char* dstRow;
    int dstPitch;
    int maskX, maskY, sx, sy, w, h;
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

// The rows of one tile's part of a dab, each one run across the part (the
// colour rows are long enough for every run to be read in one piece). With
// Track, returns whether a pixel changed; without, true.
template <typename Word, bool Track>
inline bool selectRows(const DabPart& part, const unsigned char* colours, int colourPitch, int sourceHeight,
                       const unsigned char* select, int maskWidth)
{
    Word changed = 0;
    unsigned char* d = part.dstRow;
    const unsigned char* s = select + (static_cast<std::size_t>(part.maskY) * maskWidth + part.maskX) * sizeof(Word);
    int sy = part.sy;
    for (int j = 0; j < part.h; ++j, d += part.dstPitch, s += maskWidth * sizeof(Word))
    {
        blendRun<Word, Track>(d, s, colours + (static_cast<std::size_t>(sy) * colourPitch + part.sx) * sizeof(Word),
                              part.w, changed);
        sy = sy + 1 == sourceHeight ? 0 : sy + 1;
    }
    return !Track || changed != 0;
}

// A whole dab row after row when the part spans the full width of a mask
// of Width 16-bit pixels: every row is one run of known length, which the
// compiler unrolls into a few vector operations.
template <int Width, bool Track>
inline bool selectWholeRows(const DabPart& part, const unsigned char* colours, int colourPitch, int sourceHeight,
                            const unsigned char* select)
{
    typedef std::uint16_t Word;
    Word changed = 0;
    unsigned char* d = part.dstRow;
    const unsigned char* s = select + static_cast<std::size_t>(part.maskY) * Width * sizeof(Word);
    int sy = part.sy;
    for (int j = 0; j < part.h; ++j, d += part.dstPitch, s += Width * sizeof(Word))
    {
        blendRun<Word, Track>(d, s, colours + (static_cast<std::size_t>(sy) * colourPitch + part.sx) * sizeof(Word),
                              Width, changed);
        sy = sy + 1 == sourceHeight ? 0 : sy + 1;
    }
    return !Track || changed != 0;
}

// The kernels, each built for every processor (see TOVRANE_ROW_LOOP).
#define TOVRANE_SELECT_ROWS(name, Word, Track)                                                                        \
    TOVRANE_ROW_LOOP bool name(const DabPart& part, const unsigned char* colours, int colourPitch, int sourceHeight, \
                               const unsigned char* select, int maskWidth)                                          \
    {                                                                                                                \
        return selectRows<Word, Track>(part, colours, colourPitch, sourceHeight, select, maskWidth);                \
    }
TOVRANE_SELECT_ROWS(selectRows16, std::uint16_t, false)
TOVRANE_SELECT_ROWS(selectRows32, std::uint32_t, false)
TOVRANE_SELECT_ROWS(trackRows16, std::uint16_t, true)
TOVRANE_SELECT_ROWS(trackRows32, std::uint32_t, true)
#undef TOVRANE_SELECT_ROWS

#define TOVRANE_SELECT_WHOLE_ROWS(name, Width, Track)                                                                 \
    TOVRANE_ROW_LOOP bool name(const DabPart& part, const unsigned char* colours, int colourPitch, int sourceHeight, \
                               const unsigned char* select)                                                         \
    {                                                                                                                \
        return selectWholeRows<Width, Track>(part, colours, colourPitch, sourceHeight, select);                     \
    }
TOVRANE_SELECT_WHOLE_ROWS(selectWholeRows8, 8, false)
TOVRANE_SELECT_WHOLE_ROWS(selectWholeRows16, 16, false)
TOVRANE_SELECT_WHOLE_ROWS(selectWholeRows32, 32, false)
#undef TOVRANE_SELECT_WHOLE_ROWS
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
        // Each palette entry is packed once by the tile format's own rules;
        // a colour row repeats the source row to mask width more pixels.
        Texture packed(256, 1, format);
        for (int i = 0; i < 256; ++i)
            packed.setPixel(source.getPaletteEntry(i), i, 0);
        const int sw = source.getWidth(), sh = source.getHeight();
        const int pitch = sw + mw;
        cache.colours.resize(static_cast<std::size_t>(pitch) * sh * bpp);
        for (int y = 0; y < sh; ++y)
        {
            const unsigned char* indices = source.getPixels() + y * source.getPitch();
            unsigned char* out = cache.colours.data() + static_cast<std::size_t>(y) * pitch * bpp;
            for (int x = 0; x < pitch; ++x)
                std::memcpy(out + x * bpp, packed.getPixels() + indices[x % sw] * bpp, bpp);
        }
        cache.sourceIdentity = source.getIdentity();
        cache.sourceChanges = source.getChangeCount();
        cache.sourceWidth = sw;
        cache.sourceHeight = sh;
        cache.colourPitch = pitch;
    }
    if (!sameFormat || cache.maskIdentity != mask.getIdentity() || cache.maskChanges != mask.getChangeCount())
    {
        cache.select.assign(static_cast<std::size_t>(mw) * mh * bpp, 0);
        for (int y = 0; y < mh; ++y)
            for (int x = 0; x < mw; ++x)
                if (mask.getPixels()[y * mask.getPitch() + x * 4 + 3] == 255)
                    std::memset(cache.select.data() + (static_cast<std::size_t>(y) * mw + x) * bpp, 0xFF, bpp);
        cache.maskIdentity = mask.getIdentity();
        cache.maskChanges = mask.getChangeCount();
        cache.maskWidth = mw;
    }
    cache.format = format;
}

bool Layer::maskedBlitTile(Texture& tile, const Texture& source, const Texture& mask, int tileX,
                           int tileY, int maskX, int maskY, int srcX, int srcY, int w, int h) const
{
    const int bpp = tile.getBytesPerPixel();
    if (bpp == 2 || bpp == 4)
    {
        // The caller has prepared the cache for this tile's format. Changes
        // are looked for only while a renderer holds a copy of the tile:
        // once the copy is dropped, later dabs have nothing to drop.
        const DabCache& c = dabCache;
        const DabPart part = {tile.getPixels() + static_cast<std::size_t>(tileY) * tile.getPitch() + tileX * bpp,
                              tile.getPitch(), maskX, maskY, wrap(srcX, c.sourceWidth), wrap(srcY, c.sourceHeight),
                              w, h};
        const bool track = !tile.bindings.empty();
        if (bpp == 2 && !track && maskX == 0 && w == c.maskWidth)
            switch (w)
            {
            case 8: return selectWholeRows8(part, c.colours.data(), c.colourPitch, c.sourceHeight, c.select.data());
            case 16: return selectWholeRows16(part, c.colours.data(), c.colourPitch, c.sourceHeight, c.select.data());
            case 32: return selectWholeRows32(part, c.colours.data(), c.colourPitch, c.sourceHeight, c.select.data());
            default: break;
            }
        if (bpp == 2)
            return (track ? trackRows16 : selectRows16)(part, c.colours.data(), c.colourPitch, c.sourceHeight,
                                                        c.select.data(), c.maskWidth);
        return (track ? trackRows32 : selectRows32)(part, c.colours.data(), c.colourPitch, c.sourceHeight,
                                                    c.select.data(), c.maskWidth);
    }

    // Three-byte tiles: pixel by pixel through the texture.
    bool changed = false;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
        {
            if (mask.getPixels()[(maskY + j) * mask.getPitch() + (maskX + i) * 4 + 3] != 255)
                continue;
            const ColorRGBA<unsigned char> colour = source.getPaletteEntry(
                source.getPaletteIndex(wrap(srcX + i, source.getWidth()), wrap(srcY + j, source.getHeight())));
            const ColorRGBA<unsigned char> old = tile.getPixel(tileX + i, tileY + j);
            tile.setPixel(colour, tileX + i, tileY + j);
            changed = changed || tile.getPixel(tileX + i, tileY + j) != old;
        }
    return changed;
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
            // A tile is uploaded again only when one of its pixels changed.
            if (maskedBlitTile(*tile, source, mask, left - column * tileSize, top - row * tileSize, left - x,
                               top - y, srcX + left - x, srcY + top - y, right - left, bottom - top))
                tile->releaseBindings();
        }
    }
}

LayerPtr Layer::copy() const
{
    LayerPtr layer(new Layer());
    layer->width = width;
    layer->height = height;
    layer->tileSize = tileSize;
    layer->columns = columns;
    layer->rows = rows;
    if (!children.empty())
    {
        const TriangleMesh* first = static_cast<const TriangleMesh*>(children[0].get());
        VertexBufferPtr vertexBuffer = first->vertexBuffer;
        IndexBufferPtr indexBuffer = first->indexBuffer;
        for (int i = 0; i < rows * columns; ++i)
        {
            const TriangleMesh* tile = static_cast<const TriangleMesh*>(children[i].get());
            TriangleMeshPtr mesh(new TriangleMesh(vertexBuffer, indexBuffer));
            mesh->setTexture(tile->textures[0]->copy(), 0);
            mesh->local[12] = tile->local[12];
            mesh->local[13] = tile->local[13];
            mesh->local[14] = tile->local[14];
            mesh->setTransformCurrent(false);
            layer->addChild(mesh);
        }
    }
    layer->local[12] = local[12];
    layer->local[13] = local[13];
    layer->local[14] = local[14];
    layer->setTransformCurrent(false);
    return layer;
}

TexturePtr Layer::getTexture() const
{
    TexturePtr picture(new Texture(width, height, PixelFormat::RGBA5551));
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            picture->blitTexture(static_cast<const TriangleMesh*>(children[row * columns + column].get())->textures[0],
                                 column * tileSize, row * tileSize, 0, 0, 0, 0);
    return picture;
}

void Layer::writeTexture(TexturePtr picture)
{
    TOVRANE_ASSERT(picture && "Cannot write an empty picture");
    bool sameLayout = picture->getWidth() == width && picture->getHeight() == height && !picture->getPalette() &&
                      static_cast<int>(children.size()) == rows * columns;
    for (int i = 0; sameLayout && i < rows * columns; ++i)
        sameLayout = tileTexture(i)->getFormat() == picture->getFormat();
    if (!sameLayout)
    {
        setTexture(picture, tileSize);
        return;
    }
    const int bpp = picture->getBytesPerPixel();
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
        {
            Texture* tile = tileTexture(row * columns + column);
            const int px = column * tileSize;
            const int py = row * tileSize;
            const int bytes = std::min(tileSize, width - px) * bpp;
            const int lines = std::min(tileSize, height - py);
            bool changed = false;
            for (int j = 0; j < lines && !changed; ++j)
                changed = std::memcmp(tile->getPixels() + j * tile->getPitch(),
                                      picture->getPixels() + (py + j) * picture->getPitch() + px * bpp, bytes) != 0;
            if (!changed)
                continue;
            tile->releaseBindings();
            for (int j = 0; j < lines; ++j)
                std::memcpy(tile->getPixels() + j * tile->getPitch(),
                            picture->getPixels() + (py + j) * picture->getPitch() + px * bpp, bytes);
        }
}
}
