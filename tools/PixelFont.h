#ifndef TOVRANE_TOOLS_PIXELFONT_H
#define TOVRANE_TOOLS_PIXELFONT_H

#include "Picture.h"

#include <string>
#include <vector>

namespace TovraneTools
{
// A tiny built-in bitmap font: 3 x 5 pixel capitals, digits and the
// punctuation of file names, drawn at a whole-number scale. Small letters are
// drawn as capitals; characters it does not know are drawn as "?".
class PixelFont
{
public:
    static const int GlyphWidth = 3;
    static const int GlyphHeight = 5;

    // Width of a line of text at the scale: 4 pixels a character, less the
    // gap after the last one.
    static int textWidth(const std::string& text, int scale);
    static int textHeight(int scale) { return GlyphHeight * scale; }

    // Draws one line with its top-left corner at (x, y), clipped to the picture.
    static void draw(Picture& picture, int x, int y, const std::string& text, int scale, Colour colour);
    // Draws the text centred in the rectangle, at the largest scale up to
    // maxScale that fits its width (at least 1: wider text is clipped).
    static void drawCentred(Picture& picture, int x, int y, int width, int height, const std::string& text,
        int maxScale, Colour colour);

    // Draws the text centred in the rectangle, broken into lines at spaces,
    // at the largest scale up to maxScale at which every line fits (at least
    // 1: what still does not fit is clipped). Returns the scale used.
    static int drawWrapped(Picture& picture, int x, int y, int width, int height, const std::string& text,
        int maxScale, Colour colour);
    // The text's words in lines no wider than `width` at the scale; a word
    // wider than that has a line of its own.
    static std::vector<std::string> wrap(const std::string& text, int width, int scale);
    // Height of that many lines, 2 pixels of the scale apart.
    static int linesHeight(int lines, int scale) { return lines > 0 ? (lines * (GlyphHeight + 2) - 2) * scale : 0; }

    // The 5 rows of 3 bits of a character (bit 2 is the left column).
    static const unsigned char* glyph(char c);
};
}

#endif
