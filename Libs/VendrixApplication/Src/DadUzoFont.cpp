#include "Tovrane/DadUzoFont.h"

#include "Tovrane/System.h"
#include "Tovrane/Texture.h"

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, DadUzoFont, Font);

DadUzoFont::DadUzoFont(int width, int height) : Font(width, height)
{
    lineHeight = 15;
    spaceWidth = 5;
    initializeLetters();
}

DadUzoFont::~DadUzoFont() = default;

void DadUzoFont::initializeLetters()
{
    atlas = Texture::fromFile(System::getPath() + "fonts/DadUzo.png");

    struct Glyph
    {
        unsigned char c;
        int x, y, width, height;
    };
    static const Glyph glyphs[] = {
        {'A', 0, 0, 10, 11},   {'B', 10, 0, 10, 11},  {'C', 20, 0, 10, 11},  {'D', 30, 0, 10, 11},
        {'E', 40, 0, 9, 11},   {'F', 49, 0, 8, 11},   {'G', 0, 11, 9, 11},   {'H', 9, 11, 10, 11},
        {'I', 19, 11, 4, 11},  {'J', 23, 11, 10, 11}, {'K', 33, 11, 10, 11}, {'L', 43, 11, 8, 11},
        {'M', 51, 11, 12, 11}, {'N', 0, 22, 10, 11},  {'O', 10, 22, 11, 12}, {'P', 21, 22, 9, 12},
        {'Q', 30, 22, 11, 14}, {'R', 41, 22, 10, 11}, {'S', 51, 22, 10, 11}, {'T', 0, 36, 9, 11},
        {'U', 9, 36, 10, 11},  {'V', 19, 36, 10, 11}, {'W', 29, 36, 12, 11}, {'X', 41, 36, 10, 11},
        {'Y', 51, 36, 10, 11}, {'Z', 0, 47, 10, 11},  {'\'', 9, 47, 4, 11},  {'-', 13, 47, 6, 11}};
    for (const Glyph& glyph : glyphs)
        setLetter(glyph.c, glyph.x, glyph.y, glyph.width, glyph.height);
}
}
