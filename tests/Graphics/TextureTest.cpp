// Texture layout, conversions between every pair of formats, plain and masked
// blits with clipping, copies, renderer bindings and the misuse assertions.

#include "Tovrane/GraphicsRenderer.h"
#include "Tovrane/Texture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace Tovrane;

namespace
{
typedef ColorRGBA<unsigned char> Colour;

const PixelFormat::Type directFormats[] = {PixelFormat::RGB565, PixelFormat::RGB888,
                                           PixelFormat::RGBA4444, PixelFormat::RGBA5551,
                                           PixelFormat::RGBA8888};

// A colour that differs from pixel to pixel in every channel, with alpha
// values on both sides of the one-bit and four-bit cuts.
Colour pattern(int x, int y)
{
    return Colour(static_cast<unsigned char>(x * 37 + y * 11), static_cast<unsigned char>(x * 5 + y * 71),
                  static_cast<unsigned char>(200 - x * 13 - y * 3),
                  static_cast<unsigned char>((x + y) % 3 == 0 ? 0 : x * 29 + y * 17));
}

TexturePtr patterned(int w, int h, PixelFormat::Type format)
{
    TexturePtr t(new Texture(w, h, format, true, 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            t->setPixel(pattern(x, y), x, y);
    return t;
}

// What `c` reads as after being stored in `format`.
Colour through(PixelFormat::Type format, const Colour& c)
{
    Texture t(1, 1, format, true, 0);
    t.setPixel(c, 0, 0);
    return t.getPixel(0, 0);
}

// A Palette8 texture whose index at (x, y) is (x + 2y) % 7, with seven
// distinct palette colours (one of them transparent) and the rest zero.
TexturePtr paletted(int w, int h)
{
    TexturePtr t(new Texture(w, h, PixelFormat::Palette8, true, 0));
    for (int i = 0; i < 7; ++i)
        t->setPaletteEntry(Colour(static_cast<unsigned char>(30 * i + 17), static_cast<unsigned char>(255 - 20 * i),
                                  static_cast<unsigned char>(i * 40), i == 3 ? 0 : 255),
                           i);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            t->setPixel((x + 2 * y) % 7, x, y);
    return t;
}

TexturePtr filled(int w, int h, PixelFormat::Type format, const Colour& c)
{
    TexturePtr t(new Texture(w, h, format, true, 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            t->setPixel(c, x, y);
    return t;
}

// RGBA8888 mask whose alpha at (x, y) comes from `alpha`.
template <typename F> TexturePtr mask(int w, int h, F alpha)
{
    TexturePtr t(new Texture(w, h, PixelFormat::RGBA8888, true, 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            t->setPixel(Colour(1, 2, 3, alpha(x, y)), x, y);
    return t;
}

const Colour background(1, 2, 3, 255);
}

TEST(Texture, BlockLayout)
{
    Texture p(3, 2, PixelFormat::Palette8, true, 7);
    EXPECT_EQ(1030u, p.getSize());
    EXPECT_EQ(3, p.getPitch());
    EXPECT_EQ(1, p.getBytesPerPixel());
    EXPECT_EQ(p.getData(), p.getPalette());
    EXPECT_EQ(p.getData() + 1024, p.getPixels());
    for (std::size_t i = 0; i < p.getSize(); ++i)
        ASSERT_EQ(7, p.getData()[i]) << i;

    Texture r(5, 3, PixelFormat::RGB888);
    EXPECT_EQ(15, r.getPitch());
    EXPECT_EQ(45u, r.getSize());
    EXPECT_EQ(nullptr, r.getPalette());
    EXPECT_EQ(r.getData(), r.getPixels());
    EXPECT_EQ(2, r.getDepth());
    EXPECT_EQ(1, r.getMinFilter());
    EXPECT_EQ(1, r.getMagFilter());
    EXPECT_EQ(0, r.getWrapS());
    EXPECT_EQ(0, r.getWrapT());
    EXPECT_EQ("Tovrane.Texture", r.getType().getName());
    EXPECT_TRUE(r.getType().isDerived(Object::RuntimeType));
}

TEST(Texture, ConversionsBetweenEveryPairOfFormats)
{
    for (PixelFormat::Type from : directFormats)
        for (PixelFormat::Type to : directFormats)
        {
            TexturePtr t = patterned(7, 5, from);
            TexturePtr before = t->copy();
            t->convertTo(to);
            ASSERT_EQ(to, t->getFormat());
            ASSERT_EQ(7 * PixelFormat::getBytesPerPixel(to), t->getPitch());
            ASSERT_EQ(static_cast<std::size_t>(35 * PixelFormat::getBytesPerPixel(to)), t->getSize());
            EXPECT_EQ(nullptr, t->getPalette());
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 7; ++x)
                    ASSERT_EQ(through(to, before->getPixel(x, y)), t->getPixel(x, y))
                        << from << " -> " << to << " at " << x << "," << y;
        }
}

TEST(Texture, ConversionsKeepTheDocumentedValues)
{
    TexturePtr rgb = filled(3, 2, PixelFormat::RGB888, Colour(255, 128, 7, 0));
    rgb->convertTo(PixelFormat::RGBA5551);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Colour(248, 128, 0, 255), rgb->getPixel(x, y)); // every alpha bit set

    TexturePtr rgba4 = filled(2, 2, PixelFormat::RGBA4444, Colour(255, 255, 255, 255));
    rgba4->convertTo(PixelFormat::RGBA8888);
    EXPECT_EQ(Colour(240, 240, 240, 240), rgba4->getPixel(1, 1));

    TexturePtr rgba = filled(2, 2, PixelFormat::RGBA8888, Colour(9, 9, 9, 9));
    rgba->convertTo(PixelFormat::RGB888);
    EXPECT_EQ(Colour(9, 9, 9, 255), rgba->getPixel(0, 1));
}

TEST(Texture, ConvertingToTheSameFormatChangesNothing)
{
    TexturePtr t = patterned(4, 4, PixelFormat::RGBA4444);
    const unsigned char* block = t->getData();
    t->convertTo(PixelFormat::RGBA4444);
    EXPECT_EQ(block, t->getData());

    Texture p(2, 2, PixelFormat::Palette8, true, 3);
    p.convertTo(PixelFormat::Palette8);
    EXPECT_EQ(PixelFormat::Palette8, p.getFormat());
}

TEST(Texture, BlitsBetweenEveryPairOfFormats)
{
    for (PixelFormat::Type dst : directFormats)
        for (PixelFormat::Type src : directFormats)
        {
            TexturePtr source = patterned(6, 5, src);
            TexturePtr target = filled(8, 8, dst, background);
            target->blitTexture(source, 1, 2, 2, 1, 3, 4);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x)
                {
                    const bool inside = x >= 1 && x < 4 && y >= 2 && y < 6;
                    const Colour expected = inside
                                                ? through(dst, source->getPixel(x - 1 + 2, y - 2 + 1))
                                                : through(dst, background);
                    ASSERT_EQ(expected, target->getPixel(x, y))
                        << src << " -> " << dst << " at " << x << "," << y;
                }
        }
}

TEST(Texture, SameFormatBlitCopiesBytes)
{
    TexturePtr source = patterned(4, 4, PixelFormat::RGBA8888);
    TexturePtr target(new Texture(4, 4, PixelFormat::RGBA8888, true, 0));
    target->blitTexture(source, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(0, std::memcmp(source->getData(), target->getData(), source->getSize()));
}

TEST(Texture, PaletteBlitsGiveThePaletteColour)
{
    for (PixelFormat::Type dst : directFormats)
    {
        TexturePtr source = paletted(9, 4);
        TexturePtr target = filled(9, 4, dst, background);
        target->blitTexture(source, 0, 0, 0, 0, 0, 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(through(dst, source->getPixel(x, y)), target->getPixel(x, y))
                    << dst << " at " << x << "," << y;
    }
}

TEST(Texture, BlitClipsAgainstTheDestination)
{
    // A whole 10 x 10 source to (-3, -2) of a 5 x 5 destination: source
    // columns 3 to 7 and rows 2 to 6 fill the destination.
    TexturePtr source = patterned(10, 10, PixelFormat::RGBA8888);
    TexturePtr target = filled(5, 5, PixelFormat::RGBA8888, background);
    target->blitTexture(source, -3, -2, 0, 0, 0, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(source->getPixel(x + 3, y + 2), target->getPixel(x, y));

    // Right and bottom edges: only the part inside lands.
    target = filled(5, 5, PixelFormat::RGBA8888, background);
    target->blitTexture(source, 3, 4, 1, 1, 4, 4);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
        {
            const bool inside = x >= 3 && y >= 4;
            ASSERT_EQ(inside ? source->getPixel(x - 2, y - 3) : background, target->getPixel(x, y));
        }

    // Entirely outside on each side: nothing changes.
    const int outside[][2] = {{-10, 0}, {5, 0}, {0, -10}, {0, 5}};
    for (const auto& at : outside)
    {
        target = filled(5, 5, PixelFormat::RGBA8888, background);
        target->blitTexture(source, at[0], at[1], 0, 0, 0, 0);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
                ASSERT_EQ(background, target->getPixel(x, y));
    }
}

TEST(Texture, BlitClipsAgainstTheSource)
{
    TexturePtr source = patterned(4, 3, PixelFormat::RGB888);

    // Source rectangle past the right and bottom edges of the source.
    TexturePtr target = filled(8, 8, PixelFormat::RGB888, background);
    target->blitTexture(source, 0, 0, 2, 1, 6, 6);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
        {
            const bool inside = x < 2 && y < 2;
            ASSERT_EQ(inside ? source->getPixel(x + 2, y + 1) : background, target->getPixel(x, y));
        }

    // Source rectangle starting left of and above the source: the
    // destination start moves by the same amount.
    target = filled(8, 8, PixelFormat::RGB888, background);
    target->blitTexture(source, 1, 1, -2, -1, 5, 5);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
        {
            const bool inside = x >= 3 && x < 6 && y >= 2 && y < 5;
            ASSERT_EQ(inside ? source->getPixel(x - 3, y - 2) : background, target->getPixel(x, y))
                << x << "," << y;
        }

    // A source start beyond the source copies nothing.
    target = filled(8, 8, PixelFormat::RGB888, background);
    target->blitTexture(source, 0, 0, 4, 0, 0, 0);
    target->blitTexture(source, 0, 0, 0, 3, 0, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(background, target->getPixel(x, y));
}

TEST(Texture, MaskedBlitWritesOnlyWhereAlphaIs255)
{
    for (PixelFormat::Type dst : directFormats)
    {
        TexturePtr source = paletted(6, 6);
        TexturePtr m = mask(4, 4, [](int x, int y) { return x == y ? 255 : (x + y == 3 ? 254 : 0); });
        TexturePtr target = filled(8, 8, dst, background);
        target->blitTexture(source, m, 2, 3, 1, 2);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
            {
                const int mx = x - 2, my = y - 3;
                const bool painted = mx >= 0 && mx < 4 && my >= 0 && my < 4 && mx == my;
                ASSERT_EQ(painted ? through(dst, source->getPixel(mx + 1, my + 2)) : through(dst, background),
                          target->getPixel(x, y))
                    << dst << " at " << x << "," << y;
            }
    }
}

TEST(Texture, MaskedBlitClipsOnEverySide)
{
    TexturePtr source = paletted(64, 64);
    TexturePtr m = mask(8, 8, [](int x, int y) { return (x * 3 + y) % 4 == 0 ? 0 : 255; });
    // Positions past each side of a 10 x 10 destination, and source offsets
    // that run past the source (right/bottom) or start before it (left/top).
    const int cases[][4] = {{-3, 0, 5, 5},  {6, 0, 5, 5},  {0, -5, 5, 5},  {0, 7, 5, 5},
                            {-2, -2, 0, 0}, {5, 6, 60, 59}, {1, 1, -3, -6}, {-4, 5, -2, 58}};
    for (const auto& c : cases)
    {
        const int dx = c[0], dy = c[1], sx = c[2], sy = c[3];
        TexturePtr target = filled(10, 10, PixelFormat::RGBA5551, background);
        target->blitTexture(source, m, dx, dy, sx, sy);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
            {
                const int mx = x - dx, my = y - dy;
                const int srcX = sx + mx, srcY = sy + my;
                const bool painted = mx >= 0 && mx < 8 && my >= 0 && my < 8 && srcX >= 0 && srcX < 64 &&
                                     srcY >= 0 && srcY < 64 && m->getPixel(mx, my).a == 255;
                ASSERT_EQ(painted ? through(PixelFormat::RGBA5551, source->getPixel(srcX, srcY))
                                  : through(PixelFormat::RGBA5551, background),
                          target->getPixel(x, y))
                    << "case " << dx << "," << dy << "," << sx << "," << sy << " at " << x << "," << y;
            }
    }
}

TEST(Texture, MaskedBlitOfABrushCornerLeftOfThePicture)
{
    // A 32-pixel dab at picture point (0, 0): corner (-16, -16), pattern offset
    // -16: only the lower-right quarter lands, read from pattern (0, 0) on.
    TexturePtr source = paletted(64, 64);
    TexturePtr m = mask(32, 32, [](int, int) { return 255; });
    TexturePtr target = filled(40, 40, PixelFormat::RGBA5551, background);
    target->blitTexture(source, m, -16, -16, -16, -16);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(x < 16 && y < 16 ? through(PixelFormat::RGBA5551, source->getPixel(x, y))
                                       : through(PixelFormat::RGBA5551, background),
                      target->getPixel(x, y));
}

TEST(Texture, MaskedBlitFromASourceWithoutPaletteWritesNothing)
{
    for (PixelFormat::Type src : directFormats)
    {
        TexturePtr source = patterned(4, 4, src);
        TexturePtr m = mask(4, 4, [](int, int) { return 255; });
        TexturePtr target = filled(4, 4, PixelFormat::RGBA8888, background);
        target->blitTexture(source, m, 0, 0, 0, 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                ASSERT_EQ(background, target->getPixel(x, y));
    }
}

TEST(Texture, WholeCopyIsAByteCopyWithFreshSettings)
{
    TexturePtr p = paletted(5, 3);
    TexturePtr c = p->copy();
    ASSERT_EQ(p->getSize(), c->getSize());
    EXPECT_NE(p->getData(), c->getData());
    EXPECT_EQ(0, std::memcmp(p->getData(), c->getData(), p->getSize()));
    EXPECT_EQ(PixelFormat::Palette8, c->getFormat());
    EXPECT_EQ(c->getData(), c->getPalette());
    c->setPixel(6, 0, 0);
    EXPECT_EQ(0, p->getPaletteIndex(0, 0));
}

TEST(Texture, RectangleCopies)
{
    TexturePtr t = patterned(6, 4, PixelFormat::RGBA4444);
    TexturePtr same = t->copy(0, 0, 0, 0);
    ASSERT_EQ(6, same->getWidth());
    ASSERT_EQ(4, same->getHeight());
    EXPECT_EQ(0, std::memcmp(t->getData(), same->getData(), t->getSize()));

    // Inside, and reaching past the right and bottom edges: the part outside
    // the texture is cleared.
    TexturePtr part = t->copy(4, 2, 5, 3);
    ASSERT_EQ(5, part->getWidth());
    ASSERT_EQ(3, part->getHeight());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(x < 2 && y < 2 ? t->getPixel(x + 4, y + 2) : Colour(0, 0, 0, 0), part->getPixel(x, y));

    // Starting left of and above the texture: pixel (i, j) of the copy is
    // pixel (x + i, y + j) of the texture wherever that exists.
    TexturePtr shifted = t->copy(-2, -1, 4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(x >= 2 && y >= 1 ? t->getPixel(x - 2, y - 1) : Colour(0, 0, 0, 0),
                      shifted->getPixel(x, y));

    // Wholly outside: a cleared texture.
    TexturePtr none = t->copy(10, 10, 3, 3);
    for (std::size_t i = 0; i < none->getSize(); ++i)
        ASSERT_EQ(0, none->getData()[i]);
}

namespace
{
// A renderer that records uploads and releases; its back end does nothing.
class CountingRenderer : public GraphicsRenderer
{
public:
    ~CountingRenderer() override { releaseAllBindings(); }
    void clearBuffers() override {}
    void clearBuffers(int, int, int, int) override {}
    void swapBuffers() override {}
    void onViewportChange() override {}
    void onFrustumChange() override {}
    void setAlphaState(AlphaStatePtr) override {}
    void setMaterialState(MaterialStatePtr) override {}
    void onEnableVertexBuffer(VertexBufferPtr, ResourceIdentifier*) override {}
    void onDisableVertexBuffer(VertexBufferPtr, ResourceIdentifier*) override {}
    ResourceIdentifier* onBindVertexBuffer(VertexBufferPtr) override { return new ResourceIdentifier; }
    void onReleaseVertexBuffer(ResourceIdentifier* id) override { delete id; }
    void onEnableIndexBuffer(ResourceIdentifier*) override {}
    void onDisableIndexBuffer(ResourceIdentifier*) override {}
    ResourceIdentifier* onBindIndexBuffer(IndexBufferPtr) override { return new ResourceIdentifier; }
    void onReleaseIndexBuffer(ResourceIdentifier* id) override { delete id; }
    void onEnableTexture(ResourceIdentifier*, int) override {}
    void onDisableTexture(ResourceIdentifier*, int) override {}
    ResourceIdentifier* onBindTexture(TexturePtr) override
    {
        ++uploads;
        return new ResourceIdentifier;
    }
    void onReleaseTexture(ResourceIdentifier* id) override
    {
        ++releases;
        delete id;
    }
    int uploads = 0;
    int releases = 0;
};
}

TEST(Texture, EveryChangeDropsTheUploadedCopies)
{
    CountingRenderer a, b;
    TexturePtr t = patterned(4, 4, PixelFormat::RGBA8888);
    TexturePtr source = paletted(4, 4);
    TexturePtr m = mask(2, 2, [](int, int) { return 255; });

    auto upload = [&] {
        a.bindTexture(t);
        b.bindTexture(t);
        ASSERT_EQ(2u, t->bindings.size());
    };
    int expected = 0;
    auto dropped = [&](const char* what) {
        expected += 1;
        EXPECT_EQ(expected, a.releases) << what;
        EXPECT_EQ(expected, b.releases) << what;
        if (t)
        {
            EXPECT_TRUE(t->bindings.empty()) << what;
        }
    };

    upload();
    a.bindTexture(t); // already uploaded: no second copy
    EXPECT_EQ(1, a.uploads);
    (void)t->getPixel(0, 0);
    (void)t->copy();
    t->convertTo(PixelFormat::RGBA8888);
    EXPECT_EQ(0, a.releases);

    t->setPixel(Colour(1, 1, 1, 1), 0, 0);
    dropped("setPixel");
    upload();
    t->convertTo(PixelFormat::RGBA5551);
    dropped("convertTo");
    upload();
    t->blitTexture(source, 0, 0, 0, 0, 0, 0);
    dropped("blitTexture");
    upload();
    t->blitTexture(source, m, 0, 0, 0, 0);
    dropped("masked blitTexture");
    upload();
    t.reset();
    dropped("destructor");

    TexturePtr p = paletted(2, 2);
    a.bindTexture(p);
    p->setPaletteEntry(Colour(1, 2, 3, 4), 9);
    EXPECT_TRUE(p->bindings.empty());
    a.bindTexture(p);
    p->setPixel(1, 1, 1);
    EXPECT_TRUE(p->bindings.empty());
}

TEST(TextureDeathTest, PaletteMisuse)
{
    TexturePtr p = paletted(2, 2);
    TexturePtr rgba = patterned(2, 2, PixelFormat::RGBA8888);
    TexturePtr m = mask(2, 2, [](int, int) { return 255; });
    EXPECT_DEATH(p->setPixel(Colour(1, 2, 3, 4), 0, 0), "Texture contains a palette");
    EXPECT_DEATH(p->blitTexture(rgba, 0, 0, 0, 0, 0, 0), "Texture contains a palette");
    EXPECT_DEATH(p->blitTexture(p, m, 0, 0, 0, 0), "Texture contains a palette");
    EXPECT_DEATH(p->copy(0, 0, 1, 1), "Texture contains a palette");
    EXPECT_DEATH(rgba->getPaletteIndex(0, 0), "Texture does not contain a palette");
    EXPECT_DEATH(rgba->setPixel(3, 0, 0), "Texture does not contain a palette");
    EXPECT_DEATH(rgba->getPaletteEntry(0), "Texture does not contain a palette");
    EXPECT_DEATH(rgba->setPaletteEntry(Colour(), 0), "Texture does not contain a palette");
}

TEST(TextureDeathTest, ConversionMisuse)
{
    TexturePtr p = paletted(2, 2);
    TexturePtr rgba = patterned(2, 2, PixelFormat::RGBA8888);
    for (PixelFormat::Type to : directFormats)
        EXPECT_DEATH(p->convertTo(to), "Converting palettized textures not supported");
    for (PixelFormat::Type from : directFormats)
    {
        TexturePtr t = patterned(2, 2, from);
        EXPECT_DEATH(t->convertTo(PixelFormat::Palette8),
                     "Converting to a palettized texture is not supported");
    }
}

TEST(TextureDeathTest, NegativeSize)
{
    EXPECT_DEATH(Texture(-1, 4, PixelFormat::RGB888), "Texture size must not be negative");
    EXPECT_DEATH(Texture(4, -1, PixelFormat::RGB888), "Texture size must not be negative");
}

TEST(TextureDeathTest, MaskWithoutAlpha)
{
    TexturePtr target = patterned(4, 4, PixelFormat::RGBA5551);
    TexturePtr source = paletted(4, 4);
    for (PixelFormat::Type format : directFormats)
    {
        if (format == PixelFormat::RGBA8888)
            continue;
        TexturePtr m = patterned(2, 2, format);
        EXPECT_DEATH(target->blitTexture(source, m, 0, 0, 0, 0), "Mask doesn't contain an alpha channel");
    }
}
