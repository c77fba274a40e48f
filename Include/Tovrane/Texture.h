#ifndef TOVRANE_TEXTURE_H
#define TOVRANE_TEXTURE_H

#include "Tovrane/Binding.h"
#include "Tovrane/ColorRGBA.h"
#include "Tovrane/Object.h"
#include "Tovrane/PixelFormat.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace Tovrane
{
class GraphicsRenderer;
class Texture;
typedef boost::shared_ptr<Texture> TexturePtr;

// A width x height picture in one pixel format, held in one owned block
// (for Palette8 the 256-entry RGBA palette first, then the pixels). Rows are
// packed, row 0 is the first row of the image file. Every change of pixels,
// palette or format first drops the copies renderers have uploaded.
class Texture : public Object, public Binding<GraphicsRenderer>
{
    TOVRANE_DECLARE_RTTI(Texture)

public:
    // Bytes of the palette at the start of a Palette8 block.
    static const int PaletteBytes = 1024;

    Texture(int width, int height, PixelFormat::Type format, bool clear = false,
            unsigned char fill = 0);
    virtual ~Texture();

    // The picture in a PNG file, or empty when it cannot be read (a line on
    // standard output says why).
    static TexturePtr fromFile(const std::string& path);
    // The same as a plain pointer owned by the caller, or null.
    static Texture* loadPng(const std::string& path);

    // Writes the texture as a PNG file, replacing any older file whole. On
    // failure the old file stays as it was, a line on standard output names
    // the path and false is returned. RGB888, RGBA8888 and Palette8 only.
    bool save(const std::string& path) const { return savePng(path); }
    // A failure is said naming `shownAs` when given (the file that a hidden
    // staging file at `path` is to replace), else `path`.
    bool savePng(const std::string& path, const std::string& shownAs = std::string()) const;

    ColorRGBA<unsigned char> getPixel(int x, int y) const;
    void setPixel(const ColorRGBA<unsigned char>& colour, int x, int y);

    // Palette access (Palette8 only).
    int getPaletteIndex(int x, int y) const;
    void setPixel(int index, int x, int y);
    ColorRGBA<unsigned char> getPaletteEntry(int i) const;
    void setPaletteEntry(const ColorRGBA<unsigned char>& colour, int i);

    // Converts the pixels in place; Palette8 can be neither source nor target.
    void convertTo(PixelFormat::Type format);

    // A byte copy of the whole texture, palette included.
    TexturePtr copy() const;
    // A w x h texture (0 means this texture's size) holding the rectangle at
    // (x, y); what lies outside this texture is cleared to zero.
    TexturePtr copy(int x, int y, int w, int h) const;

    // Copies w x h pixels (0 means the source's size) of `source` at
    // (srcX, srcY) to (dstX, dstY), converting the format; no blending. The
    // rectangle is clipped against both textures.
    void blitTexture(TexturePtr source, int dstX, int dstY, int srcX, int srcY, int w, int h);
    // Copies the pixels of a Palette8 `source` where the RGBA8888 `mask` has
    // alpha 255, over a rectangle of the mask's size; other pixels keep their
    // value, and sources without palette copy nothing. Clipped against the
    // destination, the source and the mask.
    void blitTexture(TexturePtr source, TexturePtr mask, int dstX, int dstY, int srcX, int srcY);

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    int getDepth() const { return depth; }
    int getBytesPerPixel() const { return bytesPerPixel; }
    PixelFormat::Type getFormat() const { return format; }
    int getPitch() const { return pitch; }
    // Bytes of the whole block, palette included.
    std::size_t getSize() const { return size; }

    // Filter indices (0 nearest, 1 linear, 2 to 5 the level-choosing filters)
    // and wrap indices (0 clamp to edge, 1 repeat) used when uploading.
    int getMinFilter() const { return minFilter; }
    int getMagFilter() const { return magFilter; }
    int getWrapS() const { return wrapS; }
    int getWrapT() const { return wrapT; }

    // Access through a non-const pointer counts as a change (see getChangeCount).
    unsigned char* getData() { return ++changes, data; }
    const unsigned char* getData() const { return data; }
    // Null unless the format is Palette8.
    unsigned char* getPalette() { return ++changes, palette; }
    const unsigned char* getPalette() const { return palette; }
    unsigned char* getPixels() { return ++changes, pixels; }
    const unsigned char* getPixels() const { return pixels; }

    // A number no other texture of the process has, and one that grows at
    // every operation that may change the pixels, the palette or the format
    // (each non-const pointer access included): together they tell a cache
    // whether what it made from the texture still holds, without comparing
    // bytes. A change made through a pointer taken before such a check must
    // take the pointer again.
    std::uint64_t getIdentity() const { return identity; }
    std::uint64_t getChangeCount() const { return changes; }

private:
    // One clipped rectangle: where it lands, where it is read, and its size.
    struct Rectangle
    {
        int dstX, dstY, srcX, srcY, maskX, maskY, w, h;
    };

    typedef void (Texture::*ConversionMethod)(unsigned char* target) const;
    typedef void (Texture::*BlitMethod)(const Texture& source, const Rectangle& r);
    typedef void (Texture::*BlitMaskMethod)(const Texture& source, const Texture& mask,
                                            const Rectangle& r);

    template <int From, int To> void convertTexture(unsigned char* target) const;
    template <int Dst> void blitTextureIndexed(const Texture& source, const Rectangle& r);
    template <int Dst, int Src> void blitTextureRoutine(const Texture& source, const Rectangle& r);
    template <int Dst>
    void blitTextureMaskIndexed(const Texture& source, const Texture& mask, const Rectangle& r);
    void blitTextureMaskRoutine(const Texture& source, const Texture& mask, const Rectangle& r);

    // Indexed [from * 6 + to] and [destination * 6 + source]; the Palette8
    // entries that the assertions refuse are null.
    static const ConversionMethod conversionMethods[PixelFormat::Count * PixelFormat::Count];
    static const BlitMethod blitMethods[PixelFormat::Count * PixelFormat::Count];
    static const BlitMaskMethod blitMaskMethods[PixelFormat::Count * PixelFormat::Count];

    unsigned char* pixelAt(int x, int y) const
    {
        return pixels + static_cast<std::ptrdiff_t>(y) * pitch +
               static_cast<std::ptrdiff_t>(x) * bytesPerPixel;
    }
    void allocate(PixelFormat::Type newFormat);

    int width;
    int height;
    int depth;
    int bytesPerPixel;
    PixelFormat::Type format;
    int pitch;
    std::size_t size;
    int minFilter;
    int magFilter;
    int wrapS;
    int wrapT;
    unsigned char* data;
    unsigned char* palette;
    unsigned char* pixels;
    std::uint64_t identity;
    std::uint64_t changes;
};
}

#endif
