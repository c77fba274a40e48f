#ifndef TOVRANE_PACKEDPIXEL_H
#define TOVRANE_PACKEDPIXEL_H

#include "Tovrane/ColorRGBA.h"
#include "Tovrane/PixelFormat.h"

#include <cstdint>
#include <cstring>

// Marks a row loop that the compiler builds twice on x86-64, for the base
// instruction set and for AVX2, the processor choosing at load time; both
// give the same results. Not under ThreadSanitizer, whose instrumented
// chooser would run before the sanitizer is ready and crash at load.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TOVRANE_NO_ROW_CLONES
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define TOVRANE_NO_ROW_CLONES
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(TOVRANE_NO_ROW_CLONES)
#define TOVRANE_ROW_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define TOVRANE_ROW_LOOP
#endif

namespace Tovrane
{
// A colour as one 32-bit word: red in bits 0-7, green 8-15, blue 16-23,
// alpha 24-31. Per-pixel code passes colours this way: plain integer
// operations that the compiler turns into vector code for whole rows.
struct ColourWord
{
    typedef std::uint32_t Type;

    static Type make(Type r, Type g, Type b, Type a) { return r | g << 8 | b << 16 | a << 24; }
    static Type red(Type w) { return w & 0xFF; }
    static Type green(Type w) { return (w >> 8) & 0xFF; }
    static Type blue(Type w) { return (w >> 16) & 0xFF; }
    static Type alpha(Type w) { return w >> 24; }

    static Type fromColour(const ColorRGBA<unsigned char>& c) { return make(c.r, c.g, c.b, c.a); }
    static ColorRGBA<unsigned char> toColour(Type w)
    {
        return ColorRGBA<unsigned char>(static_cast<unsigned char>(red(w)), static_cast<unsigned char>(green(w)),
                                        static_cast<unsigned char>(blue(w)), static_cast<unsigned char>(alpha(w)));
    }
};

// A native 16-bit pixel word read from or written to unaligned memory.
inline std::uint16_t loadPixel16(const unsigned char* p)
{
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

inline void storePixel16(unsigned char* p, std::uint16_t v) { std::memcpy(p, &v, 2); }

// How each pixel format stores a colour: unpack reads a stored pixel as a
// colour word, pack writes one. Low bits are cut off, never rounded; formats
// without alpha read as opaque. The 16-bit formats also convert their native
// word directly (toWord, fromWord), and RGBA5551 names its fields.
template <int Format> struct PackedPixel;

template <> struct PackedPixel<PixelFormat::RGB565>
{
    static const int Bytes = 2;
    static ColourWord::Type toWord(std::uint32_t v)
    {
        return ColourWord::make((v >> 8) & 0xF8, (v >> 3) & 0xFC, (v << 3) & 0xF8, 255);
    }
    static std::uint16_t fromWord(ColourWord::Type c)
    {
        return static_cast<std::uint16_t>((ColourWord::red(c) >> 3) << 11 | (ColourWord::green(c) >> 2) << 5 |
                                          ColourWord::blue(c) >> 3);
    }
    static ColourWord::Type unpack(const unsigned char* p) { return toWord(loadPixel16(p)); }
    static void pack(unsigned char* p, ColourWord::Type c) { storePixel16(p, fromWord(c)); }
};

template <> struct PackedPixel<PixelFormat::RGBA4444>
{
    static const int Bytes = 2;
    static ColourWord::Type toWord(std::uint32_t v)
    {
        return ColourWord::make((v >> 8) & 0xF0, (v >> 4) & 0xF0, v & 0xF0, (v << 4) & 0xF0);
    }
    static std::uint16_t fromWord(ColourWord::Type c)
    {
        return static_cast<std::uint16_t>((ColourWord::red(c) >> 4) << 12 | (ColourWord::green(c) >> 4) << 8 |
                                          (ColourWord::blue(c) & 0xF0) | ColourWord::alpha(c) >> 4);
    }
    static ColourWord::Type unpack(const unsigned char* p) { return toWord(loadPixel16(p)); }
    static void pack(unsigned char* p, ColourWord::Type c) { storePixel16(p, fromWord(c)); }
};

// Red bits 15-11, green 10-6, blue 5-1, alpha bit 0. An 8-bit channel keeps
// its top five bits; any alpha but 0 sets the alpha bit, which reads as 255.
template <> struct PackedPixel<PixelFormat::RGBA5551>
{
    static const int Bytes = 2;
    // The fields in place.
    static const std::uint16_t RedBits = 0xF800;
    static const std::uint16_t GreenBits = 0x07C0;
    static const std::uint16_t BlueBits = 0x003E;
    static const std::uint16_t AlphaBit = 0x0001;
    static const std::uint16_t ColourBits = RedBits | GreenBits | BlueBits;

    static std::uint32_t red(std::uint32_t v) { return v >> 11; }
    static std::uint32_t green(std::uint32_t v) { return (v >> 6) & 31; }
    static std::uint32_t blue(std::uint32_t v) { return (v >> 1) & 31; }
    static std::uint32_t alpha(std::uint32_t v) { return v & 1; }
    // Five-bit channels and the alpha bit as a word.
    static std::uint16_t fields(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a)
    {
        return static_cast<std::uint16_t>(r << 11 | g << 6 | b << 1 | a);
    }

    static ColourWord::Type toWord(std::uint32_t v)
    {
        return ((v >> 8) & 0xF8) | ((v << 5) & 0xF800) | ((v << 18) & 0xF80000) | ((0u - (v & 1)) & 0xFF000000u);
    }
    static std::uint16_t fromWord(ColourWord::Type c)
    {
        return static_cast<std::uint16_t>(((c & 0xF8) << 8) | ((c >> 5) & 0x7C0) | ((c >> 18) & 0x3E) |
                                          (ColourWord::alpha(c) != 0 ? 1 : 0));
    }
    static ColourWord::Type unpack(const unsigned char* p) { return toWord(loadPixel16(p)); }
    static void pack(unsigned char* p, ColourWord::Type c) { storePixel16(p, fromWord(c)); }
};

template <> struct PackedPixel<PixelFormat::RGB888>
{
    static const int Bytes = 3;
    static ColourWord::Type unpack(const unsigned char* p) { return ColourWord::make(p[0], p[1], p[2], 255); }
    static void pack(unsigned char* p, ColourWord::Type c)
    {
        p[0] = static_cast<unsigned char>(ColourWord::red(c));
        p[1] = static_cast<unsigned char>(ColourWord::green(c));
        p[2] = static_cast<unsigned char>(ColourWord::blue(c));
    }
};

template <> struct PackedPixel<PixelFormat::RGBA8888>
{
    static const int Bytes = 4;
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // The word's bytes in memory are the pixel's: one load or store.
    static ColourWord::Type unpack(const unsigned char* p)
    {
        ColourWord::Type w;
        std::memcpy(&w, p, 4);
        return w;
    }
    static void pack(unsigned char* p, ColourWord::Type c) { std::memcpy(p, &c, 4); }
#else
    static ColourWord::Type unpack(const unsigned char* p) { return ColourWord::make(p[0], p[1], p[2], p[3]); }
    static void pack(unsigned char* p, ColourWord::Type c)
    {
        p[0] = static_cast<unsigned char>(ColourWord::red(c));
        p[1] = static_cast<unsigned char>(ColourWord::green(c));
        p[2] = static_cast<unsigned char>(ColourWord::blue(c));
        p[3] = static_cast<unsigned char>(ColourWord::alpha(c));
    }
#endif
};
}

#endif
