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

LayerPtr Layer::copy() const { return copy(LayerPtr()); }

namespace
{
// Whether an element is as the layer makes it: no name, no controllers, shown
// as its parent is.
bool plain(const Spatial& element)
{
    return element.getName().empty() && element.getControllerQuantity() == 0 &&
           element.cullingMode == CullingMode::Inherit;
}
}

bool Layer::canHoldCopyOf(const Layer& source) const
{
    if (parent || !plain(*this) || width != source.width || height != source.height || tileSize != source.tileSize ||
        columns != source.columns || rows != source.rows || children.size() != source.children.size())
        return false;
    for (std::size_t i = 0; i < children.size(); ++i)
    {
        // Nothing but this layer may hold a tile or its texture, so no one
        // sees them change.
        if (children[i].use_count() != 1 || !children[i]->getType().isDerived(TriangleMesh::RuntimeType))
            return false;
        const TriangleMesh& mesh = static_cast<const TriangleMesh&>(*children[i]);
        const TriangleMesh& from = static_cast<const TriangleMesh&>(*source.children[i]);
        const TexturePtr& texture = mesh.textures[0];
        const Texture& pixels = *from.textures[0];
        if (!plain(mesh) || mesh.vertexBuffer != from.vertexBuffer || mesh.indexBuffer != from.indexBuffer ||
            mesh.textures[1] || !texture || texture.use_count() != 1 || texture->getWidth() != pixels.getWidth() ||
            texture->getHeight() != pixels.getHeight() || texture->getFormat() != pixels.getFormat())
            return false;
    }
    return true;
}

LayerPtr Layer::copy(LayerPtr spare) const
{
    if (spare && spare.use_count() == 1 && spare->canHoldCopyOf(*this))
    {
        // The spare becomes the copy: its tiles take this layer's pixels (a
        // renderer's copy of the old ones goes first) and every position is
        // set as a new copy's would be.
        for (std::size_t i = 0; i < children.size(); ++i)
        {
            TriangleMesh& mesh = static_cast<TriangleMesh&>(*spare->children[i]);
            const TriangleMesh& from = static_cast<const TriangleMesh&>(*children[i]);
            Texture& texture = *mesh.textures[0];
            const Texture& pixels = *from.textures[0];
            texture.releaseBindings();
            std::memcpy(texture.getData(), pixels.getData(), pixels.getSize());
            placeLike(mesh, from);
        }
        placeLike(*spare, *this);
        return spare;
    }
    // A spare that cannot hold the copy goes before any new pixels are made.
    spare.reset();
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
            placeLike(*mesh, *tile);
            layer->addChild(mesh);
        }
    }
    placeLike(*layer, *this);
    return layer;
}

void Layer::placeLike(Spatial& element, const Spatial& model)
{
    element.local = Matrix<tFixed>();
    element.local[12] = model.local[12];
    element.local[13] = model.local[13];
    element.local[14] = model.local[14];
    element.setTransformCurrent(false);
}

TexturePtr Layer::getTexture() const
{
    TexturePtr picture(new Texture(width, height, PixelFormat::RGBA5551));
    unsigned char* const pixels = picture->getPixels();
    const std::size_t pitch = picture->getPitch();
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
        {
            const Texture* tile = tileTexture(row * columns + column);
            if (tile->getFormat() != PixelFormat::RGBA5551)
            {
                // Other formats are converted pixel by pixel.
                picture->blitTexture(static_cast<const TriangleMesh*>(children[row * columns + column].get())->textures[0],
                                     column * tileSize, row * tileSize, 0, 0, 0, 0);
                continue;
            }
            // Tile rows go straight into the picture, cut at its right and
            // bottom edges; tile by tile reads each block in order.
            const std::size_t bytes =
                static_cast<std::size_t>(std::min({tileSize, tile->getWidth(), width - column * tileSize})) * 2;
            const int lines = std::min({tileSize, tile->getHeight(), height - row * tileSize});
            unsigned char* out = pixels + static_cast<std::size_t>(row) * tileSize * pitch + column * tileSize * 2;
            const unsigned char* in = tile->getPixels();
            for (int j = 0; j < lines; ++j, out += pitch, in += tile->getPitch())
                std::memcpy(out, in, bytes);
        }
    return picture;
}

bool Layer::fits(const Texture& picture) const
{
    bool same = picture.getWidth() == width && picture.getHeight() == height && !picture.getPalette() &&
                static_cast<int>(children.size()) == rows * columns;
    for (int i = 0; same && i < rows * columns; ++i)
        same = tileTexture(i)->getFormat() == picture.getFormat();
    return same;
}

Layer::TilePart Layer::tilePart(const Texture& picture, int index) const
{
    const int bpp = picture.getBytesPerPixel();
    const int px = index % columns * tileSize;
    const int py = index / columns * tileSize;
    TilePart part;
    part.in = picture.getPixels() + static_cast<std::size_t>(py) * picture.getPitch() + px * bpp;
    part.inPitch = picture.getPitch();
    part.bytes = static_cast<std::size_t>(std::min(tileSize, width - px)) * bpp;
    part.lines = std::min(tileSize, height - py);
    // Rows before the first that differs need no writing.
    const Texture& tile = *tileTexture(index);
    const unsigned char* old = tile.getPixels();
    part.first = 0;
    while (part.first < part.lines && std::memcmp(old + static_cast<std::size_t>(part.first) * tile.getPitch(),
                                                  part.in + static_cast<std::size_t>(part.first) * part.inPitch,
                                                  part.bytes) == 0)
        ++part.first;
    return part;
}

void Layer::writeTexture(TexturePtr picture)
{
    TOVRANE_ASSERT(picture && "Cannot write an empty picture");
    if (!fits(*picture))
    {
        setTexture(picture, tileSize);
        return;
    }
    for (int i = 0; i < rows * columns; ++i)
    {
        // A tile without a change is not touched, so it is not uploaded again.
        const TilePart part = tilePart(*picture, i);
        if (part.first == part.lines)
            continue;
        Texture* tile = tileTexture(i);
        tile->releaseBindings();
        unsigned char* out = tile->getPixels();
        for (int j = part.first; j < part.lines; ++j)
            std::memcpy(out + static_cast<std::size_t>(j) * tile->getPitch(), part.in + j * part.inPitch, part.bytes);
    }
}

LayerPtr Layer::copyThenWrite(TexturePtr picture, LayerPtr spare)
{
    TOVRANE_ASSERT(picture && "Cannot write an empty picture");
    bool swap = spare && spare.use_count() == 1 && spare->canHoldCopyOf(*this) && fits(*picture);
    for (std::size_t i = 0; swap && i < children.size(); ++i)
        swap = children[i].use_count() == 1 &&
               static_cast<const TriangleMesh&>(*children[i]).textures[0].use_count() == 1;
    if (!swap)
    {
        LayerPtr before = copy(std::move(spare));
        writeTexture(picture);
        return before;
    }
    for (int i = 0; i < rows * columns; ++i)
    {
        TriangleMesh& mine = static_cast<TriangleMesh&>(*children[i]);
        TriangleMesh& kept = static_cast<TriangleMesh&>(*spare->children[i]);
        const TilePart part = tilePart(*picture, i);
        if (part.first == part.lines)
        {
            // An unchanged tile: the copy takes its pixels.
            Texture& copy = *kept.textures[0];
            copy.releaseBindings();
            std::memcpy(copy.getData(), static_cast<const Texture&>(*mine.textures[0]).getData(),
                        mine.textures[0]->getSize());
        }
        else
        {
            // A changed tile: the copy keeps this tile's texture with the old
            // pixels (no longer shown, so a renderer's copy goes), and the
            // spare's texture takes the new ones, the old ones around them
            // where the tile reaches past the picture.
            std::swap(mine.textures[0], kept.textures[0]);
            Texture& tile = *mine.textures[0];
            const Texture& old = *kept.textures[0];
            kept.textures[0]->releaseBindings();
            tile.releaseBindings();
            unsigned char* out = tile.getPixels();
            const unsigned char* was = old.getPixels();
            const std::size_t pitch = tile.getPitch();
            for (int j = 0; j < part.lines; ++j)
            {
                std::memcpy(out + j * pitch, part.in + j * part.inPitch, part.bytes);
                if (part.bytes < pitch)
                    std::memcpy(out + j * pitch + part.bytes, was + j * pitch + part.bytes, pitch - part.bytes);
            }
            if (part.lines < tile.getHeight())
                std::memcpy(out + part.lines * pitch, was + part.lines * pitch, (tile.getHeight() - part.lines) * pitch);
        }
        placeLike(kept, mine);
    }
    placeLike(*spare, *this);
    return spare;
}
}
