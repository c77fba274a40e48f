#include "DrawingTestSupport.h"

using namespace DrawingTest;

namespace
{
void run(Effect* effect, TexturePtr picture) { EffectPtr(effect)->run(picture); }

// The mean colour of [x0, x1) x [y0, y1) with alpha `a`.
Colour mean(const Texture& source, int x0, int y0, int x1, int y1, unsigned char a)
{
    int r = 0, g = 0, b = 0, n = (x1 - x0) * (y1 - y0);
    for (int j = y0; j < y1; ++j)
        for (int i = x0; i < x1; ++i)
        {
            const Colour c = source.getPixel(i, j);
            r += c.r, g += c.g, b += c.b;
        }
    return Colour(r / n, g / n, b / n, a);
}

Colour hsl(const Colour& c, int kind) { return HSLEffect::adjust(c, static_cast<HSLSpaceEffect::Type>(kind)); }
}

TEST(EffectTest, InvertRotateAndGrayscale)
{
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
    picture->setPixel(Colour(10, 20, 30, 40), 0, 0);
    run(new RGBRotateEffect, picture);
    EXPECT_EQ(picture->getPixel(0, 0), Colour(20, 30, 10, 40));
    run(new InvertEffect, picture);
    EXPECT_EQ(picture->getPixel(0, 0), Colour(235, 225, 245, 40));
    picture->setPixel(Colour(10, 20, 31, 7), 1, 0);
    picture->setPixel(Colour(255, 255, 254, 255), 2, 0);
    run(new GrayscaleEffect, picture);
    EXPECT_TRUE(picture->getPixel(1, 0) == Colour(20, 20, 20, 7) &&
                picture->getPixel(2, 0) == Colour(254, 254, 254, 255));
}

// Pixelate blocks take the alpha of their last pixel; the vertical mirror
// swaps the top 13/15 of the rows.
TEST(EffectTest, BlurPixelateAndMirrorsOnEverySize)
{
    // Widths either side of the 16 and 32 columns the row loops work at once.
    for (auto size : {std::make_pair(1, 1), std::make_pair(2, 3), std::make_pair(4, 1), std::make_pair(5, 5),
                      std::make_pair(15, 17), std::make_pair(16, 2), std::make_pair(17, 4), std::make_pair(31, 3),
                      std::make_pair(32, 6), std::make_pair(33, 1), std::make_pair(48, 7), std::make_pair(333, 201),
                      std::make_pair(640, 480)})
        for (PixelFormat::Type format : {PixelFormat::RGBA8888, PixelFormat::RGBA5551})
        {
            const int w = size.first, h = size.second, rows = h * 13 / 15;
            TexturePtr original = randomPicture(w, h, format, w * 31 + h);
            TexturePtr blur = original->copy(), pixelate = original->copy(), hflip = original->copy(),
                       vflip = original->copy(), blurred = original->copy(), pixelated = original->copy();
            run(new BlurEffect, blur);
            run(new EightbitEffect, pixelate);
            run(new HFlipEffect, hflip);
            run(new VFlipEffect, vflip);
            for (int i = 0; i < w * h; ++i)
            {
                const int x = i % w, y = i / w, bx = x / 16 * 16, by = y / 16 * 16;
                const int bx1 = std::min(bx + 16, w), by1 = std::min(by + 16, h);
                blurred->setPixel(mean(*original, std::max(x - 2, 0), std::max(y - 2, 0), std::min(x + 3, w),
                                       std::min(y + 3, h), original->getPixel(x, y).a),
                                  x, y);
                pixelated->setPixel(mean(*original, bx, by, bx1, by1, original->getPixel(bx1 - 1, by1 - 1).a), x, y);
                ASSERT_EQ(hflip->getPixel(x, y), original->getPixel(w - 1 - x, y)) << x << "," << y;
                ASSERT_EQ(vflip->getPixel(x, y), original->getPixel(x, y < rows ? rows - 1 - y : y)) << x << "," << y;
            }
            EXPECT_TRUE(samePixels(*blur, *blurred)) << w << "x" << h << " format " << format;
            EXPECT_TRUE(samePixels(*pixelate, *pixelated)) << w << "x" << h << " format " << format;
        }
}

TEST(EffectTest, HueSaturationAndLightness)
{
    EXPECT_EQ(hsl(Colour(255, 0, 0, 255), HSLSpaceEffect::Saturate), Colour(255, 0, 0, 255));
    // Grey has no hue: saturating gives a reddish colour. Desaturating pulls towards grey.
    const Colour grey = hsl(Colour(128, 128, 128, 255), HSLSpaceEffect::Saturate);
    EXPECT_TRUE(grey.r > 150 && grey.g == grey.b && grey.g < 100);
    const Colour dull = hsl(Colour(200, 40, 40, 255), HSLSpaceEffect::Desaturate);
    EXPECT_TRUE(dull.r - dull.g < 160 && dull.g == dull.b);
    // Hue up from 0.95 (red with some blue) comes round to 0.05 (red with as much green); down goes back.
    const Colour up = hsl(Colour(255, 0, 77, 255), HSLSpaceEffect::HueUp), down = hsl(up, HSLSpaceEffect::HueDown);
    EXPECT_TRUE(up.r == 255 && std::abs(up.g - 77) <= 2 && up.b <= 2) << int(up.g) << " " << int(up.b);
    EXPECT_TRUE(down.r == 255 && down.g <= 2 && std::abs(down.b - 77) <= 2) << int(down.g) << " " << int(down.b);
    std::mt19937 random(6);
    for (int n = 0; n < 20000; ++n)
    {
        const Colour c(random(), random(), random(), random());
        const int kind = n % 4;
        ASSERT_TRUE(hsl(c, kind).a == c.a && hsl(Colour(0, 0, 0, c.a), kind) == Colour(0, 0, 0, c.a) &&
                    hsl(Colour(255, 255, 255, c.a), kind) == Colour(255, 255, 255, c.a))
            << n;
    }
    // A pixel at its format's maximum counts as white.
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
    EXPECT_TRUE(printed.find("x: 0, y: 0, cr: ") == 0 && says(printed.substr(10), "x: 0, y: 0, cr: ")) << printed;
}

// A 5 x 4 grid over the top 13/15 of the rows; nothing outside it moves.
TEST(EffectTest, GridShuffleIsAPermutationOfItsCells)
{
    for (auto size : {std::make_pair(640, 480), std::make_pair(320, 240), std::make_pair(333, 201)})
    {
        const int w = size.first, h = size.second, cw = w / 5, ch = h * 13 / 15 / 4;
        TexturePtr original = randomPicture(w, h, PixelFormat::RGBA5551, 10);
        TexturePtr picture = original->copy(), again = original->copy();
        std::srand(77);
        run(new GridShuffleEffect, picture);
        std::srand(77);
        run(new GridShuffleEffect, again);
        EXPECT_TRUE(samePixels(*picture, *again));
        std::vector<std::string> before(20), after(20);
        for (int cell = 0; cell < 20 * ch; ++cell)
        {
            const size_t at = (cell % 20 % 4 * ch + cell / 20) * original->getPitch() + cell % 20 / 4 * cw * 2;
            before[cell % 20].append(reinterpret_cast<const char*>(original->getPixels()) + at, cw * 2);
            after[cell % 20].append(reinterpret_cast<const char*>(picture->getPixels()) + at, cw * 2);
        }
        EXPECT_TRUE(before != after);
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        EXPECT_TRUE(before == after);
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
    for (int i = 0; i < 100 * 100; ++i)
        texture->setPixel(Colour(128, 255, static_cast<unsigned char>(i % 100), 255), i % 100, i / 100);
    writeImage("studio/textures/tex_01.png", texture);
    TexturizeEffect brick(TextureEffect::Brick);
    EXPECT_EQ(brick.getTexturePath(), titleFolder() + "images/studio/textures/tex_01.png");
    TexturePtr picture(new Texture(640, 480, PixelFormat::RGBA8888, true, 200)), original = picture->copy();
    brick.run(picture);
    for (int i = 0; i < 640 * 480; i += 3)
    {
        const int x = i % 640, y = i / 640;
        const unsigned char blue = static_cast<unsigned char>((x % 100) * 200 / 255);
        ASSERT_EQ(picture->getPixel(x, y),
                  x < 600 && y < 400 ? Colour(100, 200, blue, 200) : Colour(200, 200, 200, 200));
    }
    const std::string missing = titleFolder() + "images/studio/textures/tex_03.png";
    std::filesystem::remove(missing);
    picture = original->copy();
    EXPECT_TRUE(says(output([&] { run(new TexturizeEffect(TextureEffect::BrushStrokes), picture); }),
                     "Could not find file " + missing));
    EXPECT_TRUE(samePixels(*picture, *original));
}

// The HSL effects count the format's maximum as white.
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
            for (int x = 0; x < size.first; x += 3) // whites and blacks among the random colours
                picture->setPixel(x % 2 ? Colour(255, 255, 255, 255) : Colour(0, 0, 0, 0), x, x % size.second);
            TexturePtr reference = picture->copy();
            reference->convertTo(PixelFormat::RGBA8888);
            const bool hsl = references[e].second->getType().isDerived(HSLEffect::RuntimeType);
            for (int i = 0; hsl && i < size.first * size.second; ++i)
            {
                const Colour c = reference->getPixel(i % size.first, i / size.first);
                if (c.r == 248 && c.g == 248 && c.b == 248)
                    reference->setPixel(Colour(255, 255, 255, c.a), i % size.first, i / size.first);
            }
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

// As the studio applies an effect: an undo step, the effect through the
// canvas (the picture read from its tiles and written back), and the undo
// bringing the picture back. Tiles at the right and bottom edges are partial.
TEST(EffectTest, ThroughTheCanvasAndUndoneAgain)
{
    for (auto size : {std::make_pair(640, 480), std::make_pair(333, 201)})
    {
        auto effects = everyEffect(), again = everyEffect();
        for (std::size_t e = 0; e < effects.size(); ++e)
        {
            const std::string& name = effects[e].first;
            if (name != "invert" && name != "rgb_rotate" && name != "grayscale" && name != "blur")
                continue;
            TexturePtr original = randomPicture(size.first, size.second, PixelFormat::RGBA5551, 21);
            TexturePtr direct = original->copy();
            again[e].second->run(direct);
            CanvasPtr canvas(new Canvas(original->copy(), 128));
            canvas->pushUndo();
            canvas->useEffect(effects[e].second);
            EXPECT_TRUE(samePixels(*canvas->getLayer()->getTexture(), *direct)) << name << " " << size.first;
            canvas->undo();
            EXPECT_TRUE(samePixels(*canvas->getLayer()->getTexture(), *original)) << name << " " << size.first;
        }
    }
}
