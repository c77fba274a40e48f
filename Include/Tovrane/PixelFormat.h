#ifndef TOVRANE_PIXELFORMAT_H
#define TOVRANE_PIXELFORMAT_H

namespace Tovrane
{
// Texture pixel formats. 16-bit pixels are native 16-bit words, as OpenGL ES
// takes them for its packed pixel types.
struct PixelFormat
{
    enum Type : int
    {
        Palette8 = 0, // index into a 256-entry RGBA palette
        RGB565 = 1,   // red bits 15-11, green 10-5, blue 4-0
        RGB888 = 2,   // bytes red, green, blue
        RGBA4444 = 3, // red bits 15-12, green 11-8, blue 7-4, alpha 3-0
        RGBA5551 = 4, // red bits 15-11, green 10-6, blue 5-1, alpha bit 0
        RGBA8888 = 5  // bytes red, green, blue, alpha
    };

    enum
    {
        Count = 6
    };

    static int getBytesPerPixel(Type format)
    {
        static const int bytes[Count] = {1, 2, 3, 2, 2, 4};
        return bytes[format];
    }
};
}

#endif
