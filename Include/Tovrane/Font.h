#ifndef TOVRANE_FONT_H
#define TOVRANE_FONT_H

#include "Tovrane/Plane.h"

#include <string>
#include <vector>

namespace Tovrane
{
class Font;
class Texture;
typedef boost::shared_ptr<Font> FontPtr;
typedef boost::shared_ptr<Texture> TexturePtr;

// A piece of text shown as one textured rectangle of width x height scene
// units: the glyphs are copied out of an atlas into the plane's texture, the
// text wrapped at word boundaries and each line aligned left, centred or
// right. Subclasses set the glyph rectangles, the spacing and the atlas.
//
// Wrapping always ends: a newline ends a line (an empty line of text, also a
// leading newline, is an empty line of the layout), a word wider than the
// whole width is broken hard at the area's edge, and blanks that overflow a
// line holding no word are dropped. Glyphs and lines beyond the texture are
// clipped.
class Font : public Plane
{
    TOVRANE_DECLARE_RTTI(Font)

public:
    // One glyph's rectangle in the atlas, in pixels; empty records draw nothing.
    struct Letter
    {
        int x = 0, y = 0, width = 0, height = 0;
    };

    // One laid-out line: characters begin to end - 1 drawn from (x, y), the
    // top-left corner in texture pixels; width is the measure it was aligned by.
    struct Line
    {
        int begin, end, x, y, width;
    };

    enum Alignment : int
    {
        Left = 0,
        Centred = 1,
        Right = 2
    };

    Font(int width, int height);
    ~Font() override;

    void setLetter(unsigned char c, int x, int y, int width, int height);
    const Letter& getLetter(unsigned char c) const { return letters[c]; }
    // Newline, space and tab.
    static bool isWhitespace(unsigned char c);

    // Stores the text and draws it into a new texture.
    void setText(const std::string& text);
    const std::string& getText() const { return text; }
    // Renders the text into a new transparent texture of the plane.
    void createTexture();
    // Draws characters begin to end - 1 as one line at row y.
    void drawLine(int lineWidth, int y, int begin, int end);
    // Copies one glyph to (x, y) of the plane's texture.
    void drawLetter(unsigned char c, int x, int y);

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    int getTextureSize() const { return textureSize; }
    int getSpaceWidth() const { return spaceWidth; }
    int getLineHeight() const { return lineHeight; }
    // The lines the last createTexture drew, in order.
    const std::vector<Line>& getLines() const { return lines; }

    // 1 centred, 2 right-aligned, anything else left; set before setText.
    int alignment;

protected:
    int width;
    int height;
    int spaceWidth;
    int lineHeight;
    TexturePtr atlas;
    std::string text;
    int textureSize;
    Letter letters[256];

private:
    std::vector<Line> lines;
};
}

#endif
