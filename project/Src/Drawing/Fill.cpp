#include "Resources/Drawing/Fill.h"

#include "Resources/Drawing/Canvas.h"
#include "Tovrane/Assert.h"
#include "Tovrane/PackedPixel.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Fill, Tool);

namespace
{
// A span of row y - dy that is filled; row y is to be explored next to it.
struct Segment
{
    int y, left, right, dy;
};

typedef PackedPixel<PixelFormat::RGBA5551> Pixel;

std::uint16_t pack5551(const ColorRGBA<unsigned char>& c) { return Pixel::fromWord(ColourWord::fromColour(c)); }

// Everything one fill needs, so that the scan loops stay small.
class SpanFill
{
public:
    SpanFill(Texture& picture, int seedX, int seedY, const ColorRGBA<unsigned char>& foreground,
             const ColorRGBA<unsigned char>& background, const TexturePtr& pattern)
        : width(picture.getWidth()), height(picture.getHeight()), pitch(picture.getPitch()),
          pixels(picture.getPixels()), visited(static_cast<std::size_t>(width) * height, 0)
    {
        seed = read(seedX, seedY);
        // Channel distances from the seed in 5-bit units: 8-bit differences
        // are eight times these, so a sum below 128 is a sum below 16.
        const int seedRed = static_cast<int>(Pixel::red(seed)), seedGreen = static_cast<int>(Pixel::green(seed)),
                  seedBlue = static_cast<int>(Pixel::blue(seed));
        for (int c = 0; c < 32; ++c)
        {
            red[c] = std::abs(c - seedRed);
            green[c] = std::abs(c - seedGreen);
            blue[c] = std::abs(c - seedBlue);
        }
        // The pattern's colours packed once, one per pattern pixel.
        const std::uint16_t fore = pack5551(foreground), back = pack5551(background);
        if (pattern && pattern->getPalette() && pattern->getWidth() > 0 && pattern->getHeight() > 0)
        {
            patternWidth = pattern->getWidth();
            patternHeight = pattern->getHeight();
            colours.resize(static_cast<std::size_t>(patternWidth) * patternHeight);
            for (int y = 0; y < patternHeight; ++y)
                for (int x = 0; x < patternWidth; ++x)
                    colours[y * patternWidth + x] =
                        pattern->getPixels()[y * pattern->getPitch() + x] == 0 ? fore : back;
        }
        else
        {
            patternWidth = patternHeight = 1;
            colours.assign(1, fore);
        }
    }

    void run(int x, int y)
    {
        std::vector<Segment> stack;
        push(stack, y, x, x, 1);
        push(stack, y + 1, x, x, -1);
        while (!stack.empty())
        {
            const Segment s = stack.back();
            stack.pop_back();
            const int row = s.y + s.dy;
            const int x1 = s.left, x2 = s.right, dy = s.dy;
            int left;
            // Leftwards from the segment's start.
            for (x = x1; x >= 0 && inside(x, row); --x)
            {
            }
            if (x < x1)
            {
                left = x + 1;
                if (left < x1)
                    push(stack, row, left, x1 - 1, -dy);
                x = x1 + 1;
            }
            else
            {
                // Nothing at the segment's start: look further along it.
                for (++x; x <= x2 && !inside(x, row); ++x)
                {
                }
                left = x;
                if (x > x2)
                    continue;
            }
            for (;;)
            {
                for (; x < width && inside(x, row); ++x)
                {
                }
                paint(row, left, x - 1);
                push(stack, row, left, x - 1, dy);
                if (x > x2 + 1)
                    push(stack, row, x2 + 1, x - 1, -dy);
                for (++x; x <= x2 && !inside(x, row); ++x)
                {
                }
                left = x;
                if (x > x2)
                    break;
            }
        }
    }

private:
    std::uint16_t read(int x, int y) const { return loadPixel16(pixels + y * pitch + x * 2); }

    bool inside(int x, int y) const
    {
        if (visited[static_cast<std::size_t>(y) * width + x])
            return false;
        const unsigned v = read(x, y);
        return v == seed || (Pixel::alpha(v ^ seed) == 0 &&
                             red[Pixel::red(v)] + green[Pixel::green(v)] + blue[Pixel::blue(v)] < 16);
    }

    void push(std::vector<Segment>& stack, int y, int left, int right, int dy) const
    {
        if (y + dy >= 0 && y + dy < height)
            stack.push_back(Segment{y, left, right, dy});
    }

    // Marks the run and writes the pattern's colours into it.
    void paint(int y, int left, int right)
    {
        std::memset(visited.data() + static_cast<std::size_t>(y) * width + left, 1, right - left + 1);
        const std::uint16_t* colourRow = colours.data() + (y % patternHeight) * patternWidth;
        unsigned char* out = pixels + y * pitch + left * 2;
        int k = left % patternWidth;
        for (int n = right - left + 1; n > 0;)
        {
            const int count = std::min(n, patternWidth - k);
            std::memcpy(out, colourRow + k, count * 2);
            out += count * 2;
            n -= count;
            k = 0;
        }
    }

    const int width;
    const int height;
    const int pitch;
    unsigned char* const pixels;
    std::vector<unsigned char> visited;
    unsigned seed;
    int red[32], green[32], blue[32];
    int patternWidth, patternHeight;
    std::vector<std::uint16_t> colours;
};
}

Fill::Fill() { repeatWhileDragged = false; }

Fill::Fill(TexturePtr pattern) : pattern(pattern) { repeatWhileDragged = false; }

Fill::~Fill() {}

void Fill::use(Canvas* canvas, int x, int y) { canvas->useFill(this, x, y); }

void Fill::fillTexture(Texture& picture, int x, int y, const ColorRGBA<unsigned char>& foreground,
                       const ColorRGBA<unsigned char>& background, const TexturePtr& pattern)
{
    TOVRANE_ASSERT(picture.getFormat() == PixelFormat::RGBA5551 && "Fills work on RGBA5551 pictures");
    if (x < 0 || y < 0 || x >= picture.getWidth() || y >= picture.getHeight())
        return;
    picture.releaseBindings();
    SpanFill fill(picture, x, y, foreground, background, pattern);
    fill.run(x, y);
}
}
