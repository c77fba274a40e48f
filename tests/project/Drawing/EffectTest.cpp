#include "DrawingTestSupport.h"

#include <algorithm>
#include <string>

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
void run(Effect* effect, TexturePtr picture) { EffectPtr(effect)->run(picture); }

// The mean colour of the source's pixels in [x0, x1) x [y0, y1) with alpha `a`.
Colour mean(const Texture& source, int x0, int y0, int x1, int y1, unsigned char a)
{
    int r = 0, g = 0, b = 0, n = 0;
    for (int j = y0; j < y1; ++j)
        for (int i = x0; i < x1; ++i, ++n)
        {
            const Colour c = source.getPixel(i, j);
            r += c.r, g += c.g, b += c.b;
        }
    auto byte = [n](int sum) { return static_cast<unsigned char>(sum / n); };
    return Colour(byte(r), byte(g), byte(b), a);
}

// The blur as written: every pixel the mean of its 5 x 5 window clipped to the picture.
TexturePtr referenceBlur(const Texture& source)
{
    const int w = source.getWidth(), h = source.getHeight();
    TexturePtr out = source.copy();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out->setPixel(mean(source, std::max(x - 2, 0), std::max(y - 2, 0), std::min(x + 3, w), std::min(y + 3, h),
                               source.getPixel(x, y).a),
                          x, y);
    return out;
}

// Pixelate as written: 16 x 16 blocks clipped to the picture, each the mean of
// its pixels with the alpha of its last pixel.
TexturePtr referencePixelate(const Texture& source)
{
    const int w = source.getWidth(), h = source.getHeight();
    TexturePtr out = source.copy();
    for (int by = 0; by < h; by += 16)
        for (int bx = 0; bx < w; bx += 16)
        {
            const int x1 = std::min(bx + 16, w), y1 = std::min(by + 16, h);
            const Colour c = mean(source, bx, by, x1, y1, source.getPixel(x1 - 1, y1 - 1).a);
            for (int y = by; y < y1; ++y)
                for (int x = bx; x < x1; ++x)
                    out->setPixel(c, x, y);
        }
    return out;
}

Colour hsl(const Colour& c, int kind) { return HSLEffect::adjust(c, static_cast<HSLSpaceEffect::Type>(kind)); }

}

TEST(EffectTest, InvertRotateAndGrayscale)
{
    // Inverting twice and rotating the channels thrice change nothing.
    for (PixelFormat::Type format : {PixelFormat::RGBA8888, PixelFormat::RGBA5551, PixelFormat::RGBA4444})
    {
        TexturePtr original = randomPicture(37, 23, format, 1), picture = original->copy();
        for (int step = 0; step < 5; ++step)
        {
            run(step < 2 ? static_cast<Effect*>(new InvertEffect) : new RGBRotateEffect, picture);
            EXPECT_EQ(step == 1 || step == 4, samePixels(*picture, *original)) << format << " step " << step;
        }
    }
    TexturePtr picture(new Texture(3, 1, PixelFormat::RGBA8888, true, 0));
    const Colour colours[3] = {Colour(10, 20, 30, 40), Colour(10, 20, 31, 7), Colour(255, 255, 254, 255)};
    for (int x = 0; x < 3; ++x)
        picture->setPixel(colours[x], x, 0);
    run(new RGBRotateEffect, picture);
    EXPECT_EQ(picture->getPixel(0, 0), Colour(20, 30, 10, 40));
    run(new InvertEffect, picture);
    EXPECT_EQ(picture->getPixel(0, 0), Colour(235, 225, 245, 40));
    picture->setPixel(colours[1], 1, 0);
    picture->setPixel(colours[2], 2, 0);
    run(new GrayscaleEffect, picture);
    EXPECT_EQ(picture->getPixel(1, 0), Colour(20, 20, 20, 7));
    EXPECT_EQ(picture->getPixel(2, 0), Colour(254, 254, 254, 255));
}

// Blur and pixelate equal their plain references; the mirrors swap the
// columns, and the top 13/15 of the rows.
TEST(EffectTest, BlurPixelateAndMirrorsOnEverySize)
{
    for (auto size : {std::make_pair(1, 1), std::make_pair(2, 3), std::make_pair(4, 1), std::make_pair(5, 5),
                      std::make_pair(15, 17), std::make_pair(333, 201), std::make_pair(640, 480)})
        for (PixelFormat::Type format : {PixelFormat::RGBA8888, PixelFormat::RGBA5551})
        {
            const int w = size.first, h = size.second, rows = h * 13 / 15;
            SCOPED_TRACE(testing::Message() << w << "x" << h << " format " << format);
            TexturePtr original = randomPicture(w, h, format, w * 31 + h);
            TexturePtr blur = original->copy(), pixelate = original->copy(), hflip = original->copy(),
                       vflip = original->copy();
            run(new BlurEffect, blur);
            run(new EightbitEffect, pixelate);
            run(new HFlipEffect, hflip);
            run(new VFlipEffect, vflip);
            EXPECT_TRUE(samePixels(*blur, *referenceBlur(*original)));
            EXPECT_TRUE(samePixels(*pixelate, *referencePixelate(*original)));
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                {
                    ASSERT_EQ(hflip->getPixel(x, y), original->getPixel(w - 1 - x, y)) << x << "," << y;
                    ASSERT_EQ(vflip->getPixel(x, y), original->getPixel(x, y < rows ? rows - 1 - y : y))
                        << x << "," << y;
                }
        }
    // A pixelated block takes the alpha of its last pixel.
    TexturePtr blocks = randomPicture(32, 16, PixelFormat::RGBA5551, 4);
    blocks->setPixel(Colour(200, 200, 200, 255), 15, 15);
    blocks->setPixel(Colour(200, 200, 200, 0), 31, 15);
    run(new EightbitEffect, blocks);
    EXPECT_EQ(blocks->getPixel(0, 0).a, 255);
    EXPECT_EQ(blocks->getPixel(16, 0).a, 0);
}

TEST(EffectTest, HueSaturationAndLightness)
{
    EXPECT_EQ(hsl(Colour(255, 0, 0, 255), HSLSpaceEffect::Saturate), Colour(255, 0, 0, 255));
    // Grey has no hue: saturating gives a reddish colour.
    const Colour grey = hsl(Colour(128, 128, 128, 255), HSLSpaceEffect::Saturate);
    EXPECT_TRUE(grey.r > 150 && grey.g == grey.b && grey.g < 100);
    // Pure black and white stay as they are, whatever the kind.
    for (int kind = 0; kind < 4; ++kind)
    {
        EXPECT_EQ(hsl(Colour(0, 0, 0, 255), kind), Colour(0, 0, 0, 255));
        EXPECT_EQ(hsl(Colour(255, 255, 255, 9), kind), Colour(255, 255, 255, 9));
    }
    // Hue up from 0.95 (red with some blue) comes round to 0.05 (red with as much green); down goes back.
    const Colour up = hsl(Colour(255, 0, 77, 255), HSLSpaceEffect::HueUp), down = hsl(up, HSLSpaceEffect::HueDown);
    EXPECT_TRUE(up.r == 255 && std::abs(up.g - 77) <= 2 && up.b <= 2) << int(up.g) << " " << int(up.b);
    EXPECT_TRUE(down.r == 255 && down.g <= 2 && std::abs(down.b - 77) <= 2) << int(down.g) << " " << int(down.b);
    // Desaturating pulls towards grey.
    const Colour dull = hsl(Colour(200, 40, 40, 255), HSLSpaceEffect::Desaturate);
    EXPECT_TRUE(dull.r - dull.g < 160 && dull.g == dull.b);
    // Alpha is kept, for many colours.
    std::mt19937 random(6);
    for (int n = 0; n < 20000; ++n)
    {
        const Colour c(static_cast<unsigned char>(random()), static_cast<unsigned char>(random()),
                       static_cast<unsigned char>(random()), static_cast<unsigned char>(random()));
        for (int kind = 0; kind < 4; ++kind)
            ASSERT_EQ(hsl(c, kind).a, c.a);
    }
    // A pixel at its format's maximum counts as white, zero as black: the
    // canvas's white and black stay as they are, run after run.
    for (PixelFormat::Type format : {PixelFormat::RGBA5551, PixelFormat::RGB565, PixelFormat::RGBA4444})
        for (int kind = 0; kind < 4; ++kind)
        {
            TexturePtr plain(new Texture(2, 1, format, true, 0xFF));
            plain->setPixel(Colour(0, 0, 0, 255), 1, 0);
            const TexturePtr before = plain->copy();
            output([&] {
                run(new HSLEffect(static_cast<HSLSpaceEffect::Type>(kind)), plain);
                run(new HSLEffect(static_cast<HSLSpaceEffect::Type>(kind)), plain);
            });
            EXPECT_TRUE(samePixels(*plain, *before)) << format << " " << kind << " " << int(plain->getPixel(0, 0).g);
        }
    // The effect reports pixel (0, 0) twice.
    TexturePtr picture = randomPicture(3, 2, PixelFormat::RGBA8888, 7);
    const std::string printed = output([&] { run(new HSLEffect(HSLSpaceEffect::Saturate), picture); });
    EXPECT_EQ(printed.find("x: 0, y: 0, cr: "), 0u) << printed;
    EXPECT_NE(printed.find("x: 0, y: 0, cr: ", 10), std::string::npos) << printed;
}

TEST(EffectTest, GridShuffleIsAPermutationOfItsCells)
{
    for (auto size : {std::make_pair(640, 480), std::make_pair(320, 240), std::make_pair(333, 201)})
    {
        // A 5 x 4 grid over the top 13/15 of the rows.
        const int w = size.first, h = size.second, cw = w / 5, ch = h * 13 / 15 / 4;
        TexturePtr original = randomPicture(w, h, PixelFormat::RGBA5551, 10);
        TexturePtr picture = original->copy(), again = original->copy();
        std::srand(77);
        run(new GridShuffleEffect, picture);
        std::srand(77);
        run(new GridShuffleEffect, again);
        EXPECT_TRUE(samePixels(*picture, *again));
        auto cells = [&](const TexturePtr& t) {
            std::vector<std::string> out(20);
            for (int cell = 0; cell < 20; ++cell)
                for (int y = 0; y < ch; ++y)
                    out[cell].append(reinterpret_cast<const char*>(t->getPixels()) +
                                         (cell % 4 * ch + y) * t->getPitch() + cell / 4 * cw * 2,
                                     cw * 2);
            return out;
        };
        std::vector<std::string> before = cells(original), after = cells(picture);
        EXPECT_TRUE(before != after);
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        EXPECT_TRUE(before == after);
        // Below the grid and right of it nothing moves.
        for (int y = 0; y < h; ++y)
            for (int x = y < 4 * ch ? 5 * cw : 0; x < w; ++x)
                ASSERT_EQ(picture->getPixel(x, y), original->getPixel(x, y));
    }
}

TEST(EffectTest, TexturizeMultipliesWholeTilesOnly)
{
    if (titleFolder().empty())
        GTEST_SKIP() << "no title folder";
    TexturePtr texture(new Texture(100, 100, PixelFormat::RGB888, true, 0));
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            texture->setPixel(Colour(128, 255, static_cast<unsigned char>(x), 255), x, y);
    writeImage("studio/textures/tex_01.png", texture);
    TexturizeEffect brick(TextureEffect::Brick);
    EXPECT_EQ(brick.getTexturePath(), titleFolder() + "images/studio/textures/tex_01.png");
    TexturePtr picture(new Texture(640, 480, PixelFormat::RGBA8888, true, 200));
    TexturePtr original = picture->copy();
    brick.run(picture);
    for (int y = 0; y < 480; y += 3)
        for (int x = 0; x < 640; ++x)
        {
            const unsigned char blue = static_cast<unsigned char>((x % 100) * 200 / 255);
            const Colour expected = x < 600 && y < 400 ? Colour(100, 200, blue, 200) : Colour(200, 200, 200, 200);
            ASSERT_EQ(picture->getPixel(x, y), expected) << x << "," << y;
        }
    // A missing texture leaves the picture as it was, with a message.
    removeImage("studio/textures/tex_03.png");
    picture = original->copy();
    const std::string printed = output([&] { run(new TexturizeEffect(TextureEffect::BrushStrokes), picture); });
    EXPECT_TRUE(samePixels(*picture, *original));
    const std::string missing = titleFolder() + "images/studio/textures/tex_03.png";
    EXPECT_NE(printed.find("Could not find file " + missing), std::string::npos) << printed;
}

// On RGBA5551 pictures of every size the effects work on the words and their
// fields; the results equal the 8-bit formula's on the unpacked colours,
// packed again.
TEST(EffectTest, RGBA5551ResultsEqualThe8BitFormula)
{
    for (int n = 0; n < 4 && !titleFolder().empty(); ++n)
        writeImage("studio/textures/tex_0" + std::to_string(n) + ".png",
                   randomPicture(48 - n, 40 + n, PixelFormat::RGB888, 13 + n));
    for (auto size : {std::make_pair(640, 480), std::make_pair(333, 201), std::make_pair(7, 3), std::make_pair(1, 1)})
    {
        auto effects = everyEffect(), references = everyEffect();
        for (std::size_t e = 0; e < effects.size(); ++e)
        {
            TexturePtr picture = randomPicture(size.first, size.second, PixelFormat::RGBA5551, 14);
            // Whites and blacks among the random colours.
            for (int x = 0; x < size.first; x += 3)
                picture->setPixel(x % 2 ? Colour(255, 255, 255, 255) : Colour(0, 0, 0, 0), x, x % size.second);
            TexturePtr reference = picture->copy();
            reference->convertTo(PixelFormat::RGBA8888);
            // The HSL effects count the format's maximum as white.
            const bool hsl = references[e].second->getType().isDerived(HSLEffect::RuntimeType);
            for (int y = 0; hsl && y < size.second; ++y)
                for (int x = 0; x < size.first; ++x)
                    if (reference->getPixel(x, y).r == 248 && reference->getPixel(x, y).g == 248 &&
                        reference->getPixel(x, y).b == 248)
                        reference->setPixel(Colour(255, 255, 255, reference->getPixel(x, y).a), x, y);
            std::srand(15);
            output([&] { effects[e].second->run(picture); });
            std::srand(15);
            output([&] { references[e].second->run(reference); });
            reference->convertTo(PixelFormat::RGBA5551);
            EXPECT_TRUE(samePixels(*picture, *reference))
                << effects[e].first << " " << size.first << "x" << size.second;
        }
    }
}
