// A line of text drawn through the OpenGL ES 1 renderer into the headless
// pbuffer: every pixel of the text area is the glyph the layout put there, or
// the background.
#include "FontTestSupport.h"
#include "GLES1Renderer/RendererFixture.h"

#include "Tovrane/DadUzoFont.h"

using namespace Tovrane;
using namespace FontTestSupport;

namespace
{
const Rgba kGlyphWhite(255, 255, 255, 255);

class FontDraw : public RendererFixture
{
protected:
    // Draws the font centred on (cx, cy) over a white screen; compares the
    // whole text area, and a margin of 4 pixels around it, with the layout.
    void expectOnScreenAsLaidOut(const FontPtr& font, int cx, int cy)
    {
        font->setPosition(Vector3<tFixed>(tFixed(cx), tFixed(cy), tFixed(0)));
        root->addChild(font);
        frame(1, 1, 1);
        root->removeChild(font);

        TexturePtr expected = expectedTexture(*font);
        const int left = cx - font->getWidth() / 2;
        const int top = cy + font->getHeight() / 2; // first row above the area
        int wrong = 0, ink = 0;
        for (int v = -4; v < font->getHeight() + 4; ++v)
            for (int u = -4; u < font->getWidth() + 4; ++u)
            {
                const bool inside = u >= 0 && v >= 0 && u < font->getWidth() && v < font->getHeight();
                const Colour texel = inside ? expected->getPixel(u, v) : Colour(0, 0, 0, 0);
                const Rgba want = texel.a == 255 ? Rgba(texel.r, texel.g, texel.b, 255) : kGlyphWhite;
                if (texel.a == 255)
                    ++ink;
                const Rgba got = at(left + u, top - 1 - v);
                if (!(got == want) && ++wrong <= 5)
                    ADD_FAILURE() << "text pixel " << u << ", " << v << ": " << testing::PrintToString(got)
                                  << " instead of " << testing::PrintToString(want);
            }
        EXPECT_EQ(0, wrong);
        EXPECT_GT(ink, 0);
    }
};
}

TEST_F(FontDraw, LinesOfTextLieWhereTheLayoutSays)
{
    if (installAtlas().empty())
        GTEST_SKIP() << "another test of this program fixed an empty title folder";
    DadUzoFontPtr font(new DadUzoFont(148, 30));
    font->alignment = Font::Centred;
    font->setText("FIX THE LIBRARY");
    ASSERT_EQ(1u, font->getLines().size());
    expectOnScreenAsLaidOut(font, 160, 120);
    // The first glyph's top-left pixel: 13 pixels into the area, top row.
    const Colour f = glyphColour('F');
    EXPECT_EQ(Rgba(f.r, f.g, f.b, 255), at(160 - 74 + 13, 120 + 15 - 1));

    // Wrapped, right-aligned, with a broken word.
    DadUzoFontPtr wrapped(new DadUzoFont(100, 64));
    wrapped->alignment = Font::Right;
    wrapped->setText("WELL DONE\nYOU'RE A SUPERSTAR-ARTIST");
    EXPECT_EQ(4u, wrapped->getLines().size());
    expectOnScreenAsLaidOut(wrapped, 100, 60);
}
