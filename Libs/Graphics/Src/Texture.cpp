#include "Tovrane/Texture.h"

#include "Tovrane/Assert.h"
#include "Tovrane/PackedPixel.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>

TOVRANE_IMPLEMENT_RTTI(Tovrane, Texture, Object);

namespace Tovrane
{
namespace
{
typedef ColorRGBA<unsigned char> Colour;

typedef ColourWord::Type Word;

inline Word toWord(const Colour& c) { return ColourWord::fromColour(c); }
inline Colour toColour(Word w) { return ColourWord::toColour(w); }

Colour paletteColour(const unsigned char* palette, int index)
{
    const unsigned char* e = palette + 4 * index;
    return Colour(e[0], e[1], e[2], e[3]);
}

// The 256 palette colours already packed into the destination format, so the
// per-pixel loops of the palette copies are a table look-up.
template <int Dst> struct PackedPalette
{
    explicit PackedPalette(const unsigned char* palette)
    {
        for (int i = 0; i < 256; ++i)
            PackedPixel<Dst>::pack(entries[i], toWord(paletteColour(palette, i)));
    }
    unsigned char entries[256][4];
};

// Clips one axis of a copy. The destination, source and mask starts move by
// the same amount so that each stays inside its picture; the length shrinks
// to what all three hold. A negative size means "no limit" (no mask).
bool clipSpan(int& dst, int& src, int& msk, int& length, int dstSize, int srcSize, int mskSize)
{
    long long d = dst, s = src, m = msk, n = length;
    const long long shift = std::max({0LL, -d, -s, -m});
    d += shift;
    s += shift;
    m += shift;
    n -= shift;
    n = std::min({n, dstSize - d, srcSize - s});
    if (mskSize >= 0)
        n = std::min(n, mskSize - m);
    if (n <= 0)
        return false;
    dst = static_cast<int>(d);
    src = static_cast<int>(s);
    msk = static_cast<int>(m);
    length = static_cast<int>(n);
    return true;
}
}

Texture::Texture(int width, int height, PixelFormat::Type format, bool clear, unsigned char fill)
    : width(width), height(height), depth(2), bytesPerPixel(0), format(format), pitch(0), size(0),
      minFilter(1), magFilter(1), wrapS(0), wrapT(0), data(nullptr), palette(nullptr),
      pixels(nullptr), changes(0)
{
    static std::atomic<std::uint64_t> textures(0);
    identity = ++textures;
    TOVRANE_ASSERT(width >= 0 && height >= 0 && "Texture size must not be negative");
    allocate(format);
    if (clear)
        std::memset(data, fill, size);
}

Texture::~Texture()
{
    releaseBindings();
    delete[] data;
}

void Texture::allocate(PixelFormat::Type newFormat)
{
    const int newBytesPerPixel = PixelFormat::getBytesPerPixel(newFormat);
    const std::size_t paletteBytes = newFormat == PixelFormat::Palette8 ? PaletteBytes : 0;
    const std::size_t newSize =
        static_cast<std::size_t>(width) * height * newBytesPerPixel + paletteBytes;
    unsigned char* block = new unsigned char[newSize];
    delete[] data;
    data = block;
    format = newFormat;
    bytesPerPixel = newBytesPerPixel;
    pitch = width * newBytesPerPixel;
    size = newSize;
    palette = paletteBytes ? data : nullptr;
    pixels = data + paletteBytes;
    ++changes;
}

TexturePtr Texture::fromFile(const std::string& path)
{
    return TexturePtr(loadPng(path));
}

ColorRGBA<unsigned char> Texture::getPixel(int x, int y) const
{
    const unsigned char* p = pixelAt(x, y);
    switch (format)
    {
    case PixelFormat::Palette8:
        return paletteColour(palette, *p);
    case PixelFormat::RGB565:
        return toColour(PackedPixel<PixelFormat::RGB565>::unpack(p));
    case PixelFormat::RGB888:
        return toColour(PackedPixel<PixelFormat::RGB888>::unpack(p));
    case PixelFormat::RGBA4444:
        return toColour(PackedPixel<PixelFormat::RGBA4444>::unpack(p));
    case PixelFormat::RGBA5551:
        return toColour(PackedPixel<PixelFormat::RGBA5551>::unpack(p));
    case PixelFormat::RGBA8888:
        return toColour(PackedPixel<PixelFormat::RGBA8888>::unpack(p));
    }
    return Colour();
}

void Texture::setPixel(const ColorRGBA<unsigned char>& c, int x, int y)
{
    TOVRANE_ASSERT(palette == nullptr && "Texture contains a palette");
    releaseBindings();
    ++changes;
    unsigned char* p = pixelAt(x, y);
    switch (format)
    {
    case PixelFormat::Palette8:
        break;
    case PixelFormat::RGB565:
        PackedPixel<PixelFormat::RGB565>::pack(p, toWord(c));
        break;
    case PixelFormat::RGB888:
        PackedPixel<PixelFormat::RGB888>::pack(p, toWord(c));
        break;
    case PixelFormat::RGBA4444:
        PackedPixel<PixelFormat::RGBA4444>::pack(p, toWord(c));
        break;
    case PixelFormat::RGBA5551:
        PackedPixel<PixelFormat::RGBA5551>::pack(p, toWord(c));
        break;
    case PixelFormat::RGBA8888:
        PackedPixel<PixelFormat::RGBA8888>::pack(p, toWord(c));
        break;
    }
}

int Texture::getPaletteIndex(int x, int y) const
{
    TOVRANE_ASSERT(palette != nullptr && "Texture does not contain a palette");
    return *pixelAt(x, y);
}

void Texture::setPixel(int index, int x, int y)
{
    TOVRANE_ASSERT(palette != nullptr && "Texture does not contain a palette");
    releaseBindings();
    ++changes;
    *pixelAt(x, y) = static_cast<unsigned char>(index);
}

ColorRGBA<unsigned char> Texture::getPaletteEntry(int i) const
{
    TOVRANE_ASSERT(palette != nullptr && "Texture does not contain a palette");
    return paletteColour(palette, i);
}

void Texture::setPaletteEntry(const ColorRGBA<unsigned char>& c, int i)
{
    TOVRANE_ASSERT(palette != nullptr && "Texture does not contain a palette");
    releaseBindings();
    ++changes;
    unsigned char* e = palette + 4 * i;
    e[0] = c.r;
    e[1] = c.g;
    e[2] = c.b;
    e[3] = c.a;
}

void Texture::convertTo(PixelFormat::Type newFormat)
{
    if (newFormat == format)
        return;
    TOVRANE_ASSERT(palette == nullptr && "Converting palettized textures not supported");
    TOVRANE_ASSERT(newFormat != PixelFormat::Palette8 &&
                   "Converting to a palettized texture is not supported");
    releaseBindings();
    ++changes;

    const std::size_t newSize = static_cast<std::size_t>(width) * height *
                                PixelFormat::getBytesPerPixel(newFormat);
    unsigned char* block = new unsigned char[newSize];
    (this->*conversionMethods[format * PixelFormat::Count + newFormat])(block);

    delete[] data;
    data = block;
    palette = nullptr;
    pixels = block;
    format = newFormat;
    bytesPerPixel = PixelFormat::getBytesPerPixel(newFormat);
    pitch = width * bytesPerPixel;
    size = newSize;
}

template <int From, int To> void Texture::convertTexture(unsigned char* target) const
{
    const std::size_t count = static_cast<std::size_t>(width) * height;
    if constexpr (From == To)
    {
        std::memcpy(target, pixels, count * PackedPixel<From>::Bytes);
        return;
    }
    const unsigned char* src = pixels;
    for (std::size_t i = 0; i < count; ++i)
        PackedPixel<To>::pack(target + i * PackedPixel<To>::Bytes, PackedPixel<From>::unpack(src + i * PackedPixel<From>::Bytes));
}

TexturePtr Texture::copy() const
{
    TexturePtr result(new Texture(width, height, format, false, 0));
    std::memcpy(result->data, data, size);
    return result;
}

TexturePtr Texture::copy(int x, int y, int w, int h) const
{
    if (w == 0)
        w = width;
    if (h == 0)
        h = height;
    // Cleared first: the parts of the rectangle outside this texture stay zero.
    TexturePtr result(new Texture(w, h, format, true, 0));
    TOVRANE_ASSERT(result->palette == nullptr && "Texture contains a palette");
    Rectangle r = {0, 0, x, y, 0, 0, w, h};
    if (clipSpan(r.dstX, r.srcX, r.maskX, r.w, w, width, -1) &&
        clipSpan(r.dstY, r.srcY, r.maskY, r.h, h, height, -1))
        (result.get()->*blitMethods[format * PixelFormat::Count + format])(*this, r);
    return result;
}

void Texture::blitTexture(TexturePtr source, int dstX, int dstY, int srcX, int srcY, int w, int h)
{
    TOVRANE_ASSERT(palette == nullptr && "Texture contains a palette");
    releaseBindings();
    ++changes;
    if (w == 0)
        w = source->width;
    if (h == 0)
        h = source->height;
    Rectangle r = {dstX, dstY, srcX, srcY, 0, 0, w, h};
    if (!clipSpan(r.dstX, r.srcX, r.maskX, r.w, width, source->width, -1) ||
        !clipSpan(r.dstY, r.srcY, r.maskY, r.h, height, source->height, -1))
        return;
    (this->*blitMethods[format * PixelFormat::Count + source->format])(*source, r);
}

void Texture::blitTexture(TexturePtr source, TexturePtr mask, int dstX, int dstY, int srcX,
                          int srcY)
{
    TOVRANE_ASSERT(palette == nullptr && "Texture contains a palette");
    TOVRANE_ASSERT(mask->bytesPerPixel == 4 && "Mask doesn't contain an alpha channel");
    releaseBindings();
    ++changes;
    Rectangle r = {dstX, dstY, srcX, srcY, 0, 0, mask->width, mask->height};
    if (!clipSpan(r.dstX, r.srcX, r.maskX, r.w, width, source->width, mask->width) ||
        !clipSpan(r.dstY, r.srcY, r.maskY, r.h, height, source->height, mask->height))
        return;
    (this->*blitMaskMethods[format * PixelFormat::Count + source->format])(*source, *mask, r);
}

template <int Dst> void Texture::blitTextureIndexed(const Texture& source, const Rectangle& r)
{
    const PackedPalette<Dst> lut(source.palette);
    unsigned char* dstRow = pixelAt(r.dstX, r.dstY);
    const unsigned char* srcRow = source.pixelAt(r.srcX, r.srcY);
    const int w = r.w, h = r.h, dstPitch = pitch, srcPitch = source.pitch;
    for (int j = 0; j < h; ++j, dstRow += dstPitch, srcRow += srcPitch)
        for (int i = 0; i < w; ++i)
            std::memcpy(dstRow + i * PackedPixel<Dst>::Bytes, lut.entries[srcRow[i]], PackedPixel<Dst>::Bytes);
}

template <int Dst, int Src>
void Texture::blitTextureRoutine(const Texture& source, const Rectangle& r)
{
    unsigned char* dstRow = pixelAt(r.dstX, r.dstY);
    const unsigned char* srcRow = source.pixelAt(r.srcX, r.srcY);
    // Locals: stores through the byte pointers could otherwise change them.
    const int w = r.w, h = r.h, dstPitch = pitch, srcPitch = source.pitch;
    for (int j = 0; j < h; ++j, dstRow += dstPitch, srcRow += srcPitch)
    {
        if constexpr (Dst == Src)
        {
            // memmove: a texture may be copied onto itself.
            std::memmove(dstRow, srcRow, static_cast<std::size_t>(w) * PackedPixel<Dst>::Bytes);
        }
        else
        {
            for (int i = 0; i < w; ++i)
                PackedPixel<Dst>::pack(dstRow + i * PackedPixel<Dst>::Bytes,
                                 PackedPixel<Src>::unpack(srcRow + i * PackedPixel<Src>::Bytes));
        }
    }
}

template <int Dst>
void Texture::blitTextureMaskIndexed(const Texture& source, const Texture& mask,
                                     const Rectangle& r)
{
    const PackedPalette<Dst> lut(source.palette);
    unsigned char* dstRow = pixelAt(r.dstX, r.dstY);
    const unsigned char* srcRow = source.pixelAt(r.srcX, r.srcY);
    const unsigned char* maskRow = mask.pixelAt(r.maskX, r.maskY);
    const int w = r.w, h = r.h, dstPitch = pitch, srcPitch = source.pitch, maskPitch = mask.pitch;
    // Each pixel is written from the palette or from itself, without a branch
    // that a speckled mask would mispredict.
    for (int j = 0; j < h; ++j, dstRow += dstPitch, srcRow += srcPitch, maskRow += maskPitch)
        for (int i = 0; i < w; ++i)
        {
            unsigned char* const dst = dstRow + i * PackedPixel<Dst>::Bytes;
            const unsigned char* const from = maskRow[4 * i + 3] == 255 ? lut.entries[srcRow[i]] : dst;
            std::memmove(dst, from, PackedPixel<Dst>::Bytes);
        }
}

// A mask selects palette colours only: a source without palette copies nothing.
void Texture::blitTextureMaskRoutine(const Texture&, const Texture&, const Rectangle&)
{
}

#define TOVRANE_CONVERSION(From, To) &Texture::convertTexture<PixelFormat::From, PixelFormat::To>
#define TOVRANE_CONVERSION_ROW(From)                                                              \
    nullptr, TOVRANE_CONVERSION(From, RGB565), TOVRANE_CONVERSION(From, RGB888),                  \
        TOVRANE_CONVERSION(From, RGBA4444), TOVRANE_CONVERSION(From, RGBA5551),                   \
        TOVRANE_CONVERSION(From, RGBA8888)

const Texture::ConversionMethod Texture::conversionMethods[PixelFormat::Count * PixelFormat::Count] = {
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    TOVRANE_CONVERSION_ROW(RGB565),
    TOVRANE_CONVERSION_ROW(RGB888),
    TOVRANE_CONVERSION_ROW(RGBA4444),
    TOVRANE_CONVERSION_ROW(RGBA5551),
    TOVRANE_CONVERSION_ROW(RGBA8888)};

#define TOVRANE_BLIT(Dst, Src) &Texture::blitTextureRoutine<PixelFormat::Dst, PixelFormat::Src>
#define TOVRANE_BLIT_ROW(Dst)                                                                     \
    &Texture::blitTextureIndexed<PixelFormat::Dst>, TOVRANE_BLIT(Dst, RGB565),                    \
        TOVRANE_BLIT(Dst, RGB888), TOVRANE_BLIT(Dst, RGBA4444), TOVRANE_BLIT(Dst, RGBA5551),      \
        TOVRANE_BLIT(Dst, RGBA8888)

const Texture::BlitMethod Texture::blitMethods[PixelFormat::Count * PixelFormat::Count] = {
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    TOVRANE_BLIT_ROW(RGB565),
    TOVRANE_BLIT_ROW(RGB888),
    TOVRANE_BLIT_ROW(RGBA4444),
    TOVRANE_BLIT_ROW(RGBA5551),
    TOVRANE_BLIT_ROW(RGBA8888)};

#define TOVRANE_BLIT_MASK_ROW(Dst)                                                                \
    &Texture::blitTextureMaskIndexed<PixelFormat::Dst>, &Texture::blitTextureMaskRoutine,         \
        &Texture::blitTextureMaskRoutine, &Texture::blitTextureMaskRoutine,                       \
        &Texture::blitTextureMaskRoutine, &Texture::blitTextureMaskRoutine

const Texture::BlitMaskMethod Texture::blitMaskMethods[PixelFormat::Count * PixelFormat::Count] = {
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    TOVRANE_BLIT_MASK_ROW(RGB565),
    TOVRANE_BLIT_MASK_ROW(RGB888),
    TOVRANE_BLIT_MASK_ROW(RGBA4444),
    TOVRANE_BLIT_MASK_ROW(RGBA5551),
    TOVRANE_BLIT_MASK_ROW(RGBA8888)};
}
