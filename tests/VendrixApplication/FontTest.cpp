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

TEST_F(FontTest, TheTextAreaIsTheCornerOfAPowerOfTwoTextureAndEachTextGetsANewOne)
{
    DadUzoFontPtr f = font(148, 30, 0, "A");
    EXPECT_EQ(256, f->getTextureSize());
    ASSERT_EQ(25, f->vertexBuffer->getVertexCount());
    const tFixed* p = f->vertexBuffer->getPositions();
    const tFixed* t = f->vertexBuffer->getTextureCoordinates();
    // Upper-left and lower-right corners.
    EXPECT_EQ((std::vector<tFixed>{tFixed(-74), tFixed(15), tFixed(74), tFixed(-15)}),
              (std::vector<tFixed>{p[0], p[1], p[3 * 24], p[3 * 24 + 1]}));
    EXPECT_EQ((std::vector<tFixed>{tFixed(0), tFixed(0), tFixed::fromRaw(148 * 65536 / 256),
                                   tFixed::fromRaw(30 * 65536 / 256)}),
              (std::vector<tFixed>{t[0], t[1], t[2 * 24], t[2 * 24 + 1]}));
    TexturePtr first = f->getTexture();
    ASSERT_TRUE(first);
    EXPECT_EQ(std::make_tuple(256, 256, PixelFormat::RGBA8888),
              std::make_tuple(first->getWidth(), first->getHeight(), first->getFormat()));
    f->setText("B");
    EXPECT_NE(first, f->getTexture());
    EXPECT_EQ(Lines{"B@0,0/10"}, layout(*f));
    expectDrawnAsLaidOut(*f);

    EXPECT_EQ(64, DadUzoFont(33, 64).getTextureSize());
    EXPECT_EQ(32, DadUzoFont(32, 3).getTextureSize());
    EXPECT_EQ(1, DadUzoFont(0, 0).getTextureSize());
    EXPECT_EQ(tFixed::fromRaw(-(7 << 15)), DadUzoFont(7, 8).vertexBuffer->getPositions()[0]);
}

// Layouts as "text@x,y/width" for each line, and the texture drawn to match.
TEST_F(FontTest, Layouts)
{
    struct Row
    {
        int width, height, alignment;
        std::string text;
        Lines lines;
    };
    const int L = Font::Left, C = Font::Centred, R = Font::Right;
    const std::string spaces(20, ' ');
    const Row rows[] = {
        {148, 30, C, "FIX THE LIBRARY", {"FIX THE LIBRARY@13,0/122"}},
        {148, 30, R, "MMMMMMMMI", {"MMMMMMMMI@48,0/100"}}, // eight M and an I: 100 pixels
        {148, 30, L, "FIX THE LIBRARY", {"FIX THE LIBRARY@0,0/122"}},
        {148, 30, 7, "AB", {"AB@0,0/20"}},
        {148, 30, C, "E", {"E@69,0/9"}}, // centring rounds toward zero: (148 - 9) / 2
        // A word that does not fit starts the next line.
        {100, 60, L, "FIX THE LIBRARY", {"FIX THE@0,0/55", "LIBRARY@0,15/62"}},
        {100, 60, C, "FIX THE LIBRARY", {"FIX THE@22,0/55", "LIBRARY@19,15/62"}},
        // A word that exactly fills the width fits; the space after it breaks,
        // and blanks after the break are measured again on the next line.
        {100, 60, L, "MMMMMMMMI A", {"MMMMMMMMI@0,0/100", "A@0,15/10"}},
        {100, 60, L, "MMMMMMMMI  A", {"MMMMMMMMI@0,0/100", "A@0,15/15"}},
        // A word wider than the area is broken at its edge. A to J are
        // 10 10 10 10 9 8 9 10 4 10 wide: ABCDE is 49 pixels, F does not fit.
        {50, 60, L, "ABCDEFGHIJ", {"ABCDE@0,0/49", "FGHIJ@0,15/41"}},
        {50, 60, L, "XY ABCDEFGHIJ A", {"XY@0,0/20", "ABCDE@0,15/49", "FGHIJ@0,30/41", "A@0,45/10"}},
        {50, 60, R, "ABCDEFGHIJ", {"ABCDE@1,0/49", "FGHIJ@9,15/41"}},
        // A glyph wider than the whole area stands alone on its line, clipped.
        {6, 40, C, "AB", {"A@-2,0/10", "B@-2,15/10"}},
        // Empty lines are allowed and the layout always ends.
        {100, 60, L, "\nAB", {"AB@0,15/20"}},
        {100, 60, L, "AB\n\nCD", {"AB@0,0/20", "CD@0,30/20"}},
        {100, 60, L, "AB\nCD", {"AB@0,0/20", "CD@0,15/20"}},
        {100, 60, L, "AB \nCD", {"AB@0,0/20", "CD@0,15/20"}},
        {100, 60, L, "AB\n", {"AB@0,0/20"}},
        {100, 60, L, "\n\n\n", {}},
        {100, 60, L, "", {}},
        {100, 60, L, "   ", {}},
        // Blanks that overflow a line with no word on it are dropped.
        {20, 60, L, "       A", {"A@0,0/20"}},
        {20, 60, L, spaces, {}},
        // Characters without glyphs take no width; spaces and tabs do.
        {148, 30, L, "AB cd 12 C", {"AB cd 12 C@0,0/45"}},
        {148, 30, R, "A\tB", {"A\tB@123,0/25"}},
        // Trailing blanks count in the last line's measure.
        {158, 30, C, "AB  ", {"AB  @64,0/30"}},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(testing::PrintToString(row.text));
        DadUzoFontPtr f = font(row.width, row.height, row.alignment, row.text);
        EXPECT_EQ(row.lines, layout(*f));
        expectDrawnAsLaidOut(*f);
    }

    // A tab is measured as a space but drawn with its own empty record, so
    // what follows it sits 5 pixels further left than measured.
    if (!title.empty())
    {
        TexturePtr texture = font(148, 30, R, "A\tB")->getTexture();
        EXPECT_EQ(glyphColour('A'), texture->getPixel(123, 5));
        EXPECT_EQ(glyphColour('B'), texture->getPixel(133, 5));
        EXPECT_EQ(glyphColour('B'), texture->getPixel(142, 5));
        EXPECT_EQ(Colour(0, 0, 0, 0), texture->getPixel(143, 5));
    }

    // Lines below the texture are clipped.
    std::string many;
    for (int i = 0; i < 100; ++i)
        many += "A\n";
    DadUzoFontPtr tall = font(20, 20, L, many);
    EXPECT_EQ(100u, tall->getLines().size());
    EXPECT_EQ(99 * 15, tall->getLines().back().y);
    expectDrawnAsLaidOut(*tall);
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
