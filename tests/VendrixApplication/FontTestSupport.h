#ifndef TESTS_VENDRIXAPPLICATION_FONTTESTSUPPORT_H
#define TESTS_VENDRIXAPPLICATION_FONTTESTSUPPORT_H

// A DadUzo glyph atlas made by the tests: every glyph rectangle filled with a
// colour of its own, so that a drawn glyph tells which one it is and where
// its rectangle lies.

#include "CharacterTestSupport.h"

#include "Tovrane/DadUzoFont.h"
#include "Tovrane/Texture.h"

#include <string>

namespace FontTestSupport
{
typedef Tovrane::ColorRGBA<unsigned char> Colour;

const std::string kGlyphs = "ABCDEFGHIJKLMNOPQRSTUVWXYZ'-";

inline Colour glyphColour(unsigned char c)
{
    const int k = static_cast<int>(kGlyphs.find(static_cast<char>(c)));
    return Colour(static_cast<unsigned char>(10 + 8 * k), static_cast<unsigned char>(250 - 7 * k),
                  static_cast<unsigned char>((k * 37) % 200 + 20), 255);
}

// Writes the atlas where DadUzoFont reads it; the title folder, or empty
// when another test of the process fixed an empty one.
inline std::string installAtlas()
{
    const std::string title = SpriteTestSupport::titleFolder();
    if (title.empty())
        return title;
    const std::string path = title + "fonts/DadUzo.png";
    if (std::filesystem::exists(path))
        return title;
    // The glyph table, read back from a font that has no atlas yet.
    Tovrane::TexturePtr atlas(new Tovrane::Texture(64, 64, Tovrane::PixelFormat::RGBA8888, true, 0));
    testing::internal::CaptureStdout();
    Tovrane::DadUzoFont table(8, 8);
    testing::internal::GetCapturedStdout();
    for (char c : kGlyphs)
    {
        const Tovrane::Font::Letter& letter = table.getLetter(static_cast<unsigned char>(c));
        for (int y = letter.y; y < letter.y + letter.height; ++y)
            for (int x = letter.x; x < letter.x + letter.width; ++x)
                atlas->setPixel(glyphColour(static_cast<unsigned char>(c)), x, y);
    }
    SpriteTestSupport::savePicture(atlas, path);
    return title;
}

// What a font's texture should hold after its layout: the glyph rectangles of
// every line, in the font's texture size, transparent elsewhere.
inline Tovrane::TexturePtr expectedTexture(const Tovrane::Font& font)
{
    const int size = font.getTextureSize();
    Tovrane::TexturePtr expected(new Tovrane::Texture(size, size, Tovrane::PixelFormat::RGBA8888, true, 0));
    const std::string& text = font.getText();
    for (const Tovrane::Font::Line& line : font.getLines())
    {
        int x = line.x;
        for (int i = line.begin; i < line.end; ++i)
        {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            if (c == ' ')
            {
                x += font.getSpaceWidth();
                continue;
            }
            const Tovrane::Font::Letter& letter = font.getLetter(c);
            for (int v = 0; v < letter.height; ++v)
                for (int u = 0; u < letter.width; ++u)
                    if (x + u >= 0 && x + u < size && line.y + v >= 0 && line.y + v < size)
                        expected->setPixel(glyphColour(c), x + u, line.y + v);
            x += letter.width;
        }
    }
    return expected;
}
}

#endif
