#include "PixelFont.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace TovraneTools
{
namespace
{
struct Glyph
{
    char c;
    unsigned char rows[5];
};

// Rows from the top; 0b100 is the left column.
const Glyph glyphs[] = {
    {'A', {2, 5, 7, 5, 5}}, {'B', {6, 5, 6, 5, 6}}, {'C', {3, 4, 4, 4, 3}}, {'D', {6, 5, 5, 5, 6}},
    {'E', {7, 4, 6, 4, 7}}, {'F', {7, 4, 6, 4, 4}}, {'G', {3, 4, 5, 5, 3}}, {'H', {5, 5, 7, 5, 5}},
    {'I', {7, 2, 2, 2, 7}}, {'J', {1, 1, 1, 5, 2}}, {'K', {5, 5, 6, 5, 5}}, {'L', {4, 4, 4, 4, 7}},
    {'M', {5, 7, 7, 5, 5}}, {'N', {6, 5, 5, 5, 5}}, {'O', {2, 5, 5, 5, 2}}, {'P', {6, 5, 6, 4, 4}},
    {'Q', {2, 5, 5, 6, 3}}, {'R', {6, 5, 6, 5, 5}}, {'S', {3, 4, 2, 1, 6}}, {'T', {7, 2, 2, 2, 2}},
    {'U', {5, 5, 5, 5, 7}}, {'V', {5, 5, 5, 5, 2}}, {'W', {5, 5, 7, 7, 5}}, {'X', {5, 5, 2, 5, 5}},
    {'Y', {5, 5, 2, 2, 2}}, {'Z', {7, 1, 2, 4, 7}},
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {6, 1, 2, 4, 7}}, {'3', {6, 1, 2, 1, 6}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 6, 1, 6}}, {'6', {3, 4, 7, 5, 7}}, {'7', {7, 1, 2, 2, 2}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 6}},
    {' ', {0, 0, 0, 0, 0}}, {'.', {0, 0, 0, 0, 2}}, {',', {0, 0, 0, 2, 4}}, {'_', {0, 0, 0, 0, 7}},
    {'-', {0, 0, 7, 0, 0}}, {'/', {1, 1, 2, 4, 4}}, {'\'', {2, 2, 0, 0, 0}}, {':', {0, 2, 0, 2, 0}},
    {'!', {2, 2, 2, 0, 2}}, {'?', {6, 1, 2, 0, 2}}, {'(', {1, 2, 2, 2, 1}}, {')', {4, 2, 2, 2, 4}},
    {'+', {0, 2, 7, 2, 0}}, {'=', {0, 7, 0, 7, 0}}, {'#', {5, 7, 5, 7, 5}}, {'%', {5, 1, 2, 4, 5}},
    {'<', {1, 2, 4, 2, 1}}, {'>', {4, 2, 1, 2, 4}},
};
}

const unsigned char* PixelFont::glyph(char c)
{
    char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const Glyph& g : glyphs)
        if (g.c == upper)
            return g.rows;
    return glyph('?');
}

int PixelFont::textWidth(const std::string& text, int scale)
{
    if (text.empty())
        return 0;
    return static_cast<int>(text.size()) * (GlyphWidth + 1) * scale - scale;
}

void PixelFont::draw(Picture& picture, int x, int y, const std::string& text, int scale, Colour colour)
{
    for (size_t i = 0; i < text.size(); ++i)
    {
        const unsigned char* rows = glyph(text[i]);
        int left = x + static_cast<int>(i) * (GlyphWidth + 1) * scale;
        for (int row = 0; row < GlyphHeight; ++row)
            for (int column = 0; column < GlyphWidth; ++column)
                if (rows[row] & (4 >> column))
                    picture.fillRect(left + column * scale, y + row * scale, scale, scale, colour);
    }
}

void PixelFont::drawCentred(Picture& picture, int x, int y, int width, int height, const std::string& text,
    int maxScale, Colour colour)
{
    int scale = std::max(1, maxScale);
    while (scale > 1 && (textWidth(text, scale) > width || textHeight(scale) > height))
        --scale;
    int tx = x + (width - textWidth(text, scale)) / 2;
    int ty = y + (height - textHeight(scale)) / 2;
    draw(picture, std::max(tx, x), ty, text, scale, colour);
}

std::vector<std::string> PixelFont::wrap(const std::string& text, int width, int scale)
{
    std::vector<std::string> lines;
    std::istringstream words(text);
    for (std::string word; words >> word;)
    {
        if (!lines.empty() && textWidth(lines.back() + " " + word, scale) <= width)
            lines.back() += " " + word;
        else
            lines.push_back(word);
    }
    return lines;
}

int PixelFont::drawWrapped(Picture& picture, int x, int y, int width, int height, const std::string& text,
    int maxScale, Colour colour)
{
    int scale = std::max(1, maxScale);
    std::vector<std::string> lines;
    for (;; --scale)
    {
        lines = wrap(text, width, scale);
        bool fits = linesHeight(static_cast<int>(lines.size()), scale) <= height;
        for (const std::string& line : lines)
            fits = fits && textWidth(line, scale) <= width;
        if (fits || scale == 1)
            break;
    }
    int top = y + (height - linesHeight(static_cast<int>(lines.size()), scale)) / 2;
    for (const std::string& line : lines)
    {
        draw(picture, std::max(x, x + (width - textWidth(line, scale)) / 2), top, line, scale, colour);
        top += (GlyphHeight + 2) * scale;
    }
    return scale;
}
}
