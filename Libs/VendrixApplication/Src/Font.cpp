#include "Tovrane/Font.h"

#include "Tovrane/Assert.h"
#include "Tovrane/Texture.h"

#include <algorithm>
#include <cstdint>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, Font, Plane);

namespace
{
// What the last character of the walk was.
enum Kind : int
{
    NewLine = 0,
    Blank = 1,
    Glyph = 2
};

// The smallest power of two not below `size` (at least 1).
int powerOfTwoAtLeast(int size)
{
    int power = 1;
    while (power < size && power <= (1 << 29))
        power <<= 1;
    return power;
}

// Half of a whole number of pixels, exact in 16.16.
tFixed half(int pixels) { return tFixed::fromRaw(static_cast<std::int32_t>(static_cast<std::uint32_t>(pixels) << 15)); }
}

Font::Font(int width, int height)
    : alignment(0), width(width), height(height), spaceWidth(0), lineHeight(0),
      textureSize(powerOfTwoAtLeast(std::max(width, height)))
{
    // The text area shows the width x height corner of the texture at pixel
    // (0, 0), one texture pixel per scene unit.
    createPlane(-half(width), half(width), -half(height), half(height), tFixed(0),
                tFixed(width) / tFixed(textureSize), tFixed(0), tFixed(height) / tFixed(textureSize), 5, 5);
}

Font::~Font() = default;

void Font::setLetter(unsigned char c, int x, int y, int width, int height)
{
    Letter& letter = letters[c];
    letter.x = x;
    letter.y = y;
    letter.width = width;
    letter.height = height;
}

bool Font::isWhitespace(unsigned char c) { return c == '\n' || c == ' ' || c == '\t'; }

void Font::setText(const std::string& newText)
{
    text = newText;
    createTexture();
}

void Font::createTexture()
{
    setTexture(TexturePtr(new Texture(textureSize, textureSize, PixelFormat::RGBA8888, true, 0)), 0);
    lines.clear();

    // Walks the characters measuring the current line; when a character does
    // not fit (or a newline ends the line) the line is drawn up to its last
    // complete word and the walk goes on after it.
    const int length = static_cast<int>(text.size());
    int i = 0;
    int lineStart = -1;
    int x = 0;
    int breakIndex = 0, breakWidth = 0;
    int y = 0;
    Kind kind = Blank;
    while (i < length)
    {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const int before = x;
        if (isWhitespace(c))
        {
            if (kind == Glyph)
            {
                // A word has just ended.
                breakIndex = i;
                breakWidth = x;
            }
            if (c == '\n')
            {
                kind = NewLine;
            }
            else
            {
                x += spaceWidth;
                kind = Blank;
            }
        }
        else
        {
            if (lineStart == -1)
                lineStart = i;
            x += letters[c].width;
            kind = Glyph;
        }
        if (c != '\n' && x <= width)
        {
            ++i;
            continue;
        }

        int next;
        if (lineStart == -1)
        {
            // No word on this line: a newline leaves it empty, blanks that
            // overflow it are dropped.
            if (c == '\n')
                y += lineHeight;
            x = 0;
            ++i;
            continue;
        }
        if (c == '\n' || breakIndex > lineStart)
        {
            // Up to the last complete word of this line.
            drawLine(breakWidth, y, lineStart, breakIndex);
            next = c == '\n' ? i + 1 : breakIndex + 1;
        }
        else if (i > lineStart)
        {
            // The line's first word is wider than the area: broken at the
            // edge, the character that did not fit starts the next line.
            drawLine(before, y, lineStart, i);
            next = i;
        }
        else
        {
            // A single glyph wider than the area stands alone, clipped.
            drawLine(x, y, i, i + 1);
            next = i + 1;
        }
        y += lineHeight;
        x = 0;
        lineStart = -1;
        i = next;
    }
    if (lineStart != -1)
        drawLine(x, y, lineStart, length);
}

void Font::drawLine(int lineWidth, int y, int beg, int end)
{
    TOVRANE_ASSERT(beg >= 0 && "Word could not fit on a line of text");
    end = std::min(end, static_cast<int>(text.size()));

    int x;
    if (alignment == Centred)
        x = (width - lineWidth) / 2;
    else if (alignment == Right)
        x = width - lineWidth;
    else
        x = 0;
    lines.push_back(Line{beg, end, x, y, lineWidth});

    for (int i = beg; i < end; ++i)
    {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == ' ')
        {
            x += spaceWidth;
            continue;
        }
        drawLetter(c, x, y);
        x += letters[c].width;
    }
}

void Font::drawLetter(unsigned char c, int x, int y)
{
    const Letter& letter = letters[c];
    TexturePtr texture = getTexture();
    if (letter.width <= 0 || letter.height <= 0 || !atlas || !texture)
        return;
    // Clipped to both the atlas and the text texture.
    texture->blitTexture(atlas, x, y, letter.x, letter.y, letter.width, letter.height);
}
}
