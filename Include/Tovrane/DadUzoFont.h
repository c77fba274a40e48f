#ifndef TOVRANE_DADUZOFONT_H
#define TOVRANE_DADUZOFONT_H

#include "Tovrane/Font.h"

namespace Tovrane
{
class DadUzoFont;
typedef boost::shared_ptr<DadUzoFont> DadUzoFontPtr;

// The game's capitals-only bitmap font, read from the title's
// "fonts/DadUzo.png": A to Z, apostrophe and hyphen; other characters draw
// nothing and take no width. Space 5 pixels, lines 15 pixels apart.
class DadUzoFont : public Font
{
    TOVRANE_DECLARE_RTTI(DadUzoFont)

public:
    DadUzoFont(int width, int height);
    ~DadUzoFont() override;

    // Loads the atlas and sets the glyph table.
    void initializeLetters();
};
}

#endif
