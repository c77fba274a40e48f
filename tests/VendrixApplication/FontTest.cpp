#include "FontTestSupport.h"

#include "Tovrane/DadUzoFont.h"
#include "Tovrane/Font.h"
#include "Tovrane/Texture.h"
#include "Tovrane/VertexBuffer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

using namespace Tovrane;
using namespace FontTestSupport;

namespace
{
// The lines of the last layout as "text@x,y/width".
std::vector<std::string> layout(const Font& font)
{
    std::vector<std::string> result;
    for (const Font::Line& line : font.getLines())
    {
        std::ostringstream out;
        out << font.getText().substr(line.begin, line.end - line.begin) << "@" << line.x << "," << line.y << "/"
            << line.width;
        result.push_back(out.str());
    }
    return result;
}

typedef std::vector<std::string> Lines;

class FontTest : public ::testing::Test
{
protected:
    void SetUp() override { title = installAtlas(); }

    // A DadUzo font of the size and alignment with the text set.
    DadUzoFontPtr font(int width, int height, int alignment, const std::string& text)
    {
        DadUzoFontPtr result(new DadUzoFont(width, height));
        result->alignment = alignment;
        result->setText(text);
        return result;
    }

    // Every pixel of the font's texture against the layout's glyph rectangles.
    void expectDrawnAsLaidOut(const Font& font)
    {
        if (title.empty())
            return;
        TexturePtr expected = expectedTexture(font);
        TexturePtr texture = font.getTexture();
        ASSERT_TRUE(texture);
        int wrong = 0;
        for (int y = 0; y < texture->getHeight(); ++y)
            for (int x = 0; x < texture->getWidth(); ++x)
                if (!(texture->getPixel(x, y) == expected->getPixel(x, y)) && ++wrong <= 5)
                    ADD_FAILURE() << "pixel " << x << ", " << y << " of \"" << font.getText() << "\"";
        EXPECT_EQ(0, wrong);
    }

    std::string title;
};
}

TEST_F(FontTest, TheTextAreaIsTheCornerOfAPowerOfTwoTexture)
{
    DadUzoFontPtr f = font(148, 30, 0, "");
    EXPECT_EQ("Tovrane.DadUzoFont", f->getType().getName());
    EXPECT_TRUE(f->getType().isDerived(Font::RuntimeType));
    EXPECT_TRUE(f->getType().isDerived(Plane::RuntimeType));
    EXPECT_EQ(256, f->getTextureSize());
    EXPECT_EQ(5, f->getSpaceWidth());
    EXPECT_EQ(15, f->getLineHeight());
    ASSERT_EQ(25, f->vertexBuffer->getVertexCount());
    const tFixed* p = f->vertexBuffer->getPositions();
    const tFixed* t = f->vertexBuffer->getTextureCoordinates();
    // Upper-left and lower-right corners.
    EXPECT_EQ(tFixed(-74), p[0]);
    EXPECT_EQ(tFixed(15), p[1]);
    EXPECT_EQ(tFixed(74), p[3 * 24]);
    EXPECT_EQ(tFixed(-15), p[3 * 24 + 1]);
    EXPECT_EQ(tFixed(0), t[0]);
    EXPECT_EQ(tFixed(0), t[1]);
    EXPECT_EQ(tFixed::fromRaw(148 * 65536 / 256), t[2 * 24]);
    EXPECT_EQ(tFixed::fromRaw(30 * 65536 / 256), t[2 * 24 + 1]);

    TexturePtr texture = f->getTexture();
    ASSERT_TRUE(texture);
    EXPECT_EQ(256, texture->getWidth());
    EXPECT_EQ(256, texture->getHeight());
    EXPECT_EQ(PixelFormat::RGBA8888, texture->getFormat());

    EXPECT_EQ(64, DadUzoFont(33, 64).getTextureSize());
    EXPECT_EQ(32, DadUzoFont(32, 3).getTextureSize());
    EXPECT_EQ(1, DadUzoFont(0, 0).getTextureSize());
    EXPECT_EQ(tFixed::fromRaw(-(7 << 15)), DadUzoFont(7, 8).vertexBuffer->getPositions()[0]);
}

TEST_F(FontTest, OneLineCentredRightAlignedAndLeft)
{
    DadUzoFontPtr centred = font(148, 30, Font::Centred, "FIX THE LIBRARY");
    EXPECT_EQ(Lines{"FIX THE LIBRARY@13,0/122"}, layout(*centred));
    expectDrawnAsLaidOut(*centred);

    // Eight M and an I: 100 pixels.
    EXPECT_EQ(Lines{"MMMMMMMMI@48,0/100"}, layout(*font(148, 30, Font::Right, "MMMMMMMMI")));
    EXPECT_EQ(Lines{"FIX THE LIBRARY@0,0/122"}, layout(*font(148, 30, Font::Left, "FIX THE LIBRARY")));
    EXPECT_EQ(Lines{"AB@0,0/20"}, layout(*font(148, 30, 7, "AB")));
    // Centring rounds toward zero: (148 - 9) / 2.
    EXPECT_EQ(Lines{"E@69,0/9"}, layout(*font(148, 30, Font::Centred, "E")));
}

TEST_F(FontTest, AWordThatDoesNotFitStartsTheNextLine)
{
    DadUzoFontPtr wrapped = font(100, 60, Font::Left, "FIX THE LIBRARY");
    EXPECT_EQ((Lines{"FIX THE@0,0/55", "LIBRARY@0,15/62"}), layout(*wrapped));
    expectDrawnAsLaidOut(*wrapped);

    DadUzoFontPtr centred = font(100, 60, Font::Centred, "FIX THE LIBRARY");
    EXPECT_EQ((Lines{"FIX THE@22,0/55", "LIBRARY@19,15/62"}), layout(*centred));
    expectDrawnAsLaidOut(*centred);

    // A word that exactly fills the width fits; the space after it breaks.
    EXPECT_EQ((Lines{"MMMMMMMMI@0,0/100", "A@0,15/10"}), layout(*font(100, 60, 0, "MMMMMMMMI A")));
    // Blanks after the break are measured again on the next line.
    EXPECT_EQ((Lines{"MMMMMMMMI@0,0/100", "A@0,15/15"}), layout(*font(100, 60, 0, "MMMMMMMMI  A")));
}

TEST_F(FontTest, AWordWiderThanTheAreaIsBrokenAtItsEdge)
{
    // A to J: 10 10 10 10 9 8 9 10 4 10; ABCDE is 49 pixels, F does not fit.
    DadUzoFontPtr broken = font(50, 60, Font::Left, "ABCDEFGHIJ");
    EXPECT_EQ((Lines{"ABCDE@0,0/49", "FGHIJ@0,15/41"}), layout(*broken));
    expectDrawnAsLaidOut(*broken);

    EXPECT_EQ((Lines{"XY@0,0/20", "ABCDE@0,15/49", "FGHIJ@0,30/41", "Z@0,45/10"}),
              layout(*font(50, 60, Font::Left, "XY ABCDEFGHIJ Z")));
    EXPECT_EQ((Lines{"ABCDE@1,0/49", "FGHIJ@9,15/41"}), layout(*font(50, 60, Font::Right, "ABCDEFGHIJ")));

    // A glyph wider than the whole area stands alone on its line, clipped.
    DadUzoFontPtr narrow = font(6, 40, Font::Centred, "AB");
    EXPECT_EQ((Lines{"A@-2,0/10", "B@-2,15/10"}), layout(*narrow));
    expectDrawnAsLaidOut(*narrow);
}

TEST_F(FontTest, EmptyLinesAreAllowedAndTheLayoutAlwaysEnds)
{
    EXPECT_EQ(Lines{"AB@0,15/20"}, layout(*font(100, 60, 0, "\nAB")));
    EXPECT_EQ((Lines{"AB@0,0/20", "CD@0,30/20"}), layout(*font(100, 60, 0, "AB\n\nCD")));
    EXPECT_EQ((Lines{"AB@0,0/20", "CD@0,15/20"}), layout(*font(100, 60, 0, "AB\nCD")));
    EXPECT_EQ((Lines{"AB@0,0/20", "CD@0,15/20"}), layout(*font(100, 60, 0, "AB \nCD")));
    EXPECT_EQ(Lines{"AB@0,0/20"}, layout(*font(100, 60, 0, "AB\n")));
    EXPECT_TRUE(layout(*font(100, 60, 0, "\n\n\n")).empty());
    EXPECT_TRUE(layout(*font(100, 60, 0, "")).empty());
    EXPECT_TRUE(layout(*font(100, 60, 0, "   ")).empty());

    // Blanks that overflow a line with no word on it are dropped.
    EXPECT_EQ(Lines{"A@0,0/20"}, layout(*font(20, 60, 0, "       A")));
    EXPECT_TRUE(layout(*font(20, 60, 0, "                    ")).empty());

    // Lines below the texture are clipped.
    std::string many;
    for (int i = 0; i < 100; ++i)
        many += "A\n";
    DadUzoFontPtr tall = font(20, 20, 0, many);
    EXPECT_EQ(100u, tall->getLines().size());
    EXPECT_EQ(99 * 15, tall->getLines().back().y);
    expectDrawnAsLaidOut(*tall);
}

TEST_F(FontTest, CharactersWithoutGlyphsTakeNoWidthSpacesAndTabsDo)
{
    DadUzoFontPtr mixed = font(148, 30, Font::Left, "AB cd 12 C");
    EXPECT_EQ(Lines{"AB cd 12 C@0,0/45"}, layout(*mixed));
    expectDrawnAsLaidOut(*mixed);

    // A tab is measured as a space but drawn with its own empty record, so
    // what follows it sits 5 pixels further left than measured.
    DadUzoFontPtr tab = font(148, 30, Font::Right, "A\tB");
    EXPECT_EQ(Lines{"A\tB@123,0/25"}, layout(*tab));
    if (!title.empty())
    {
        TexturePtr texture = tab->getTexture();
        EXPECT_EQ(glyphColour('A'), texture->getPixel(123, 5));
        EXPECT_EQ(glyphColour('B'), texture->getPixel(133, 5));
        EXPECT_EQ(glyphColour('B'), texture->getPixel(142, 5));
        EXPECT_EQ(Colour(0, 0, 0, 0), texture->getPixel(143, 5));
    }

    // Trailing blanks count in the last line's measure.
    EXPECT_EQ(Lines{"AB  @64,0/30"}, layout(*font(158, 30, Font::Centred, "AB  ")));
}

TEST_F(FontTest, EachTextGetsANewTexture)
{
    DadUzoFontPtr f = font(64, 32, Font::Left, "A");
    TexturePtr first = f->getTexture();
    f->setText("B");
    EXPECT_NE(first, f->getTexture());
    EXPECT_EQ("B", f->getText());
    EXPECT_EQ(Lines{"B@0,0/10"}, layout(*f));
    expectDrawnAsLaidOut(*f);
}

// A font of the test's own: glyph records reaching out of a 16 x 16 atlas.
class EdgeFont : public Font
{
public:
    EdgeFont() : Font(40, 20)
    {
        atlas.reset(new Texture(16, 16, PixelFormat::RGBA8888, true, 0xFF));
        spaceWidth = 2;
        lineHeight = 10;
        setLetter('a', 10, 10, 30, 30);
        setLetter('b', -20, -20, 25, 25);
        setLetter('c', 0, 0, 8, -3);
        setLetter('d', 0, 0, 4, 4);
    }
};

TEST(FontEdgeTest, GlyphBlitsStayInsideTheAtlasAndTheTarget)
{
    EdgeFont f;
    f.alignment = Font::Right;
    f.setText("a");
    TexturePtr texture = f.getTexture();
    ASSERT_EQ(64, texture->getWidth());
    // Only the atlas's 6 x 6 corner from (10, 10) is copied, at x = 10.
    EXPECT_EQ(255, texture->getPixel(10, 0).a);
    EXPECT_EQ(255, texture->getPixel(15, 5).a);
    EXPECT_EQ(0, texture->getPixel(16, 0).a);
    EXPECT_EQ(0, texture->getPixel(10, 6).a);

    f.alignment = Font::Left;
    f.setText("b");
    // (-20, -20) in the atlas: the 5 x 5 part inside it lands 20 pixels in.
    EXPECT_EQ(255, f.getTexture()->getPixel(20, 20).a);
    EXPECT_EQ(0, f.getTexture()->getPixel(19, 20).a);

    f.setText("c");
    f.setText("dddddddddddddddddddddddddddddd");
    EXPECT_EQ(255, f.getTexture()->getPixel(36, 10).a);
    EXPECT_EQ(0, f.getTexture()->getPixel(40, 10).a);

    // No atlas at all: nothing is drawn, nothing breaks.
    class Bare : public Font
    {
    public:
        Bare() : Font(20, 20) { setLetter('x', 0, 0, 4, 4); }
    } bare;
    bare.setText("x x");
    EXPECT_EQ(1u, bare.getLines().size());
    EXPECT_EQ(0, bare.getTexture()->getPixel(0, 0).a);
}

TEST(FontDeathTest, ALineWithoutAStartIsRefused)
{
    EXPECT_DEATH(
        {
            EdgeFont f;
            f.drawLine(0, 0, -1, 0);
        },
        "Word could not fit on a line of text");
}
