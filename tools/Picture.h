#ifndef TOVRANE_TOOLS_PICTURE_H
#define TOVRANE_TOOLS_PICTURE_H

#include <cstdint>
#include <string>
#include <vector>

namespace TovraneTools
{
struct Colour
{
    std::uint8_t r, g, b, a;
};

// An RGBA picture, 8 bits a channel, top row first, with the few drawing
// operations the host's cards and the test title need. Pixels are either
// fully opaque or fully transparent black, so the pictures look the same
// whether they are blended as premultiplied or straight alpha.
class Picture
{
public:
    Picture() = default;
    Picture(int width, int height, Colour fill = Colour{0, 0, 0, 0});

    int width() const { return w; }
    int height() const { return h; }
    std::uint8_t* data() { return pixels.data(); }
    const std::uint8_t* data() const { return pixels.data(); }
    std::vector<std::uint8_t>& bytes() { return pixels; }
    const std::vector<std::uint8_t>& bytes() const { return pixels; }

    Colour get(int x, int y) const;
    // Writes one pixel; positions outside the picture are ignored.
    void set(int x, int y, Colour colour);

    void fillRect(int x, int y, int width, int height, Colour colour);
    void frameRect(int x, int y, int width, int height, int thickness, Colour colour);
    void fillRoundRect(int x, int y, int width, int height, int radius, Colour colour);
    void fillEllipse(int x, int y, int width, int height, Colour colour);
    void fillTriangle(int x, int y, int width, int height, Colour colour); // point up
    void fillDiamond(int x, int y, int width, int height, Colour colour);

    // Copies another picture in at (x, y), clipped.
    void paste(const Picture& source, int x, int y);
    // The same, leaving the pixels under transparent source pixels alone.
    void stamp(const Picture& source, int x, int y);
    // The picture turned a quarter turn clockwise.
    Picture rotatedClockwise() const;

private:
    int w = 0;
    int h = 0;
    std::vector<std::uint8_t> pixels;
};

// A dark or light colour that reads well on the given one.
Colour contrastingColour(Colour background);
// Parses "#rrggbb" or "#rrggbbaa"; false on anything else.
bool parseColour(const std::string& text, Colour& colour);
}

#endif
