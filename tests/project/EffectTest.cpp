#include "DrawingTestSupport.h"

#include "Resources/BlurEffect.h"
#include "Resources/Canvas.h"
#include "Resources/EightbitEffect.h"
#include "Resources/GrayscaleEffect.h"
#include "Resources/GridShuffleEffect.h"
#include "Resources/HFlipEffect.h"
#include "Resources/HSLEffect.h"
#include "Resources/InvertEffect.h"
#include "Resources/RGBRotateEffect.h"
#include "Resources/TexturizeEffect.h"
#include "Resources/VFlipEffect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <set>

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
TexturePtr randomPicture(int w, int h, PixelFormat::Type format, unsigned seed)
{
    std::mt19937 random(seed);
    TexturePtr picture(new Texture(w, h, format, true, 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture->setPixel(Colour(static_cast<unsigned char>(random()), static_cast<unsigned char>(random()),
                                     static_cast<unsigned char>(random()), random() % 5 ? 255 : 0),
                              x, y);
    return picture;
}

bool samePixels(const Texture& a, const Texture& b)
{
    return a.getSize() == b.getSize() && std::memcmp(a.getData(), b.getData(), a.getSize()) == 0;
}

void run(Effect* effect, TexturePtr picture)
{
    EffectPtr owned(effect);
    owned->run(picture);
}

// The blur as written: every window summed pixel by pixel.
TexturePtr referenceBlur(const Texture& source)
{
    const int w = source.getWidth(), h = source.getHeight();
    TexturePtr out = source.copy();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            int r = 0, g = 0, b = 0, n = 0;
            for (int j = std::max(y - 2, 0); j <= std::min(y + 2, h - 1); ++j)
                for (int i = std::max(x - 2, 0); i <= std::min(x + 2, w - 1); ++i)
                {
                    const Colour c = source.getPixel(i, j);
                    r += c.r, g += c.g, b += c.b, ++n;
                }
            out->setPixel(Colour(static_cast<unsigned char>(r / n), static_cast<unsigned char>(g / n),
                                 static_cast<unsigned char>(b / n), source.getPixel(x, y).a),
                          x, y);
        }
    return out;
}

// The pixelate effect as written, with blocks clipped to the picture.
TexturePtr referencePixelate(const Texture& source)
{
    const int w = source.getWidth(), h = source.getHeight();
    TexturePtr out = source.copy();
    for (int by = 0; by < h; by += 16)
        for (int bx = 0; bx < w; bx += 16)
        {
            int r = 0, g = 0, b = 0, n = 0;
            Colour last;
            for (int i = 0; i < 16 && bx + i < w; ++i)
                for (int j = 0; j < 16 && by + j < h; ++j)
                {
                    last = source.getPixel(bx + i, by + j);
                    r += last.r, g += last.g, b += last.b, ++n;
                }
            for (int i = 0; i < 16 && bx + i < w; ++i)
                for (int j = 0; j < 16 && by + j < h; ++j)
                    out->setPixel(Colour(static_cast<unsigned char>(r / n), static_cast<unsigned char>(g / n),
                                         static_cast<unsigned char>(b / n), last.a),
                                  bx + i, by + j);
        }
    return out;
}

float hueOf(const Colour& c)
{
    const float r = c.r / 255.0f, g = c.g / 255.0f, b = c.b / 255.0f;
    const float mx = std::max(r, std::max(g, b)), mn = std::min(r, std::min(g, b));
    if (mx == mn)
        return 0;
    float h;
    if (mx == r)
        h = std::fmod((g - b) / (mx - mn) + 6.0f, 6.0f);
    else if (mx == g)
        h = (b - r) / (mx - mn) + 2.0f;
    else
        h = (r - g) / (mx - mn) + 4.0f;
    return h / 6.0f;
}

Colour hsl(const Colour& c, HSLSpaceEffect::Type kind) { return HSLEffect::adjust(c, kind); }

// Every effect, built anew for each use as the studio does.
std::vector<EffectPtr> everyEffect()
{
    return {EffectPtr(new InvertEffect), EffectPtr(new RGBRotateEffect), EffectPtr(new GrayscaleEffect),
            EffectPtr(new BlurEffect), EffectPtr(new EightbitEffect), EffectPtr(new HFlipEffect),
            EffectPtr(new VFlipEffect), EffectPtr(new GridShuffleEffect), EffectPtr(new HSLEffect(HSLSpaceEffect::Saturate)),
            EffectPtr(new HSLEffect(HSLSpaceEffect::Desaturate)), EffectPtr(new HSLEffect(HSLSpaceEffect::HueUp)),
            EffectPtr(new HSLEffect(HSLSpaceEffect::HueDown)), EffectPtr(new TexturizeEffect(TextureEffect::Brick))};
}
}

TEST(EffectTest, InvertTwiceAndRotateThriceAreIdentities)
{
    for (PixelFormat::Type format : {PixelFormat::RGBA8888, PixelFormat::RGBA5551, PixelFormat::RGBA4444})
    {
        TexturePtr original = randomPicture(37, 23, format, 1);
        TexturePtr picture = original->copy();
        run(new InvertEffect, picture);
        EXPECT_FALSE(samePixels(*picture, *original));
        run(new InvertEffect, picture);
        EXPECT_TRUE(samePixels(*picture, *original)) << format;
        run(new RGBRotateEffect, picture);
        run(new RGBRotateEffect, picture);
        EXPECT_FALSE(samePixels(*picture, *original));
        run(new RGBRotateEffect, picture);
        EXPECT_TRUE(samePixels(*picture, *original)) << format;
    }
    TexturePtr one(new Texture(1, 1, PixelFormat::RGBA8888, true, 0));
    one->setPixel(Colour(10, 20, 30, 40), 0, 0);
    run(new RGBRotateEffect, one);
    EXPECT_EQ(one->getPixel(0, 0), Colour(20, 30, 10, 40));
    run(new InvertEffect, one);
    EXPECT_EQ(one->getPixel(0, 0), Colour(235, 225, 245, 40));
}

TEST(EffectTest, Grayscale)
{
    TexturePtr picture(new Texture(2, 1, PixelFormat::RGBA8888, true, 0));
    picture->setPixel(Colour(10, 20, 31, 7), 0, 0);
    picture->setPixel(Colour(255, 255, 254, 255), 1, 0);
    run(new GrayscaleEffect, picture);
    EXPECT_EQ(picture->getPixel(0, 0), Colour(20, 20, 20, 7));
    EXPECT_EQ(picture->getPixel(1, 0), Colour(254, 254, 254, 255));
}

TEST(EffectTest, BlurIsTheClippedFiveByFiveMean)
{
    TexturePtr flat(new Texture(40, 30, PixelFormat::RGBA8888, true, 0));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            flat->setPixel(Colour(90, 150, 210, 255), x, y);
    TexturePtr before = flat->copy();
    run(new BlurEffect, flat);
    EXPECT_TRUE(samePixels(*flat, *before));

    TexturePtr picture = randomPicture(9, 7, PixelFormat::RGBA8888, 3);
    TexturePtr source = picture->copy();
    run(new BlurEffect, picture);
    int r = 0;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            r += source->getPixel(x, y).r;
    EXPECT_EQ(picture->getPixel(0, 0).r, r / 9);

    for (auto size : {std::make_pair(1, 1), std::make_pair(2, 3), std::make_pair(4, 1), std::make_pair(5, 5),
                      std::make_pair(17, 9), std::make_pair(333, 201)})
        for (PixelFormat::Type format : {PixelFormat::RGBA8888, PixelFormat::RGBA5551})
        {
            TexturePtr random = randomPicture(size.first, size.second, format, size.first * 31 + size.second);
            TexturePtr expected = referenceBlur(*random);
            run(new BlurEffect, random);
            EXPECT_TRUE(samePixels(*random, *expected)) << size.first << "x" << size.second << " format " << format;
        }
}

TEST(EffectTest, PixelateBlocks)
{
    TexturePtr picture = randomPicture(640, 480, PixelFormat::RGBA5551, 4);
    picture->setPixel(Colour(200, 200, 200, 0), 31, 15);
    picture->setPixel(Colour(200, 200, 200, 255), 15, 15);
    TexturePtr expected = referencePixelate(*picture);
    run(new EightbitEffect, picture);
    EXPECT_TRUE(samePixels(*picture, *expected));
    // 40 x 30 blocks of one colour each; the block whose last pixel is
    // transparent is transparent as a whole.
    for (int by = 0; by < 30; ++by)
        for (int bx = 0; bx < 40; ++bx)
        {
            const Colour c = picture->getPixel(bx * 16, by * 16);
            for (int j = 0; j < 16; ++j)
                for (int i = 0; i < 16; ++i)
                    ASSERT_EQ(picture->getPixel(bx * 16 + i, by * 16 + j), c);
        }
    EXPECT_EQ(picture->getPixel(16, 0).a, 0);
    EXPECT_EQ(picture->getPixel(0, 0).a, 255);

    for (auto size : {std::make_pair(333, 201), std::make_pair(15, 17), std::make_pair(1, 1)})
    {
        TexturePtr odd = randomPicture(size.first, size.second, PixelFormat::RGBA8888, 5);
        TexturePtr oddExpected = referencePixelate(*odd);
        run(new EightbitEffect, odd);
        EXPECT_TRUE(samePixels(*odd, *oddExpected)) << size.first << "x" << size.second;
    }
}

TEST(EffectTest, HueSaturationAndLightness)
{
    EXPECT_EQ(hsl(Colour(255, 0, 0, 255), HSLSpaceEffect::Saturate), Colour(255, 0, 0, 255));
    // Grey has no hue: saturating gives a reddish colour.
    const Colour grey = hsl(Colour(128, 128, 128, 255), HSLSpaceEffect::Saturate);
    EXPECT_GT(grey.r, 150);
    EXPECT_EQ(grey.g, grey.b);
    EXPECT_LT(grey.g, 100);
    // Pure black and white stay as they are, whatever the kind.
    for (int kind = 0; kind < 4; ++kind)
    {
        EXPECT_EQ(hsl(Colour(0, 0, 0, 255), static_cast<HSLSpaceEffect::Type>(kind)), Colour(0, 0, 0, 255));
        EXPECT_EQ(hsl(Colour(255, 255, 255, 9), static_cast<HSLSpaceEffect::Type>(kind)), Colour(255, 255, 255, 9));
    }
    // Hue up from 0.95 comes round to 0.05; down goes back.
    const Colour magenta(255, 0, 77, 255);
    EXPECT_NEAR(hueOf(magenta), 0.95f, 0.005f);
    const Colour up = hsl(magenta, HSLSpaceEffect::HueUp);
    EXPECT_NEAR(hueOf(up), 0.05f, 0.005f);
    EXPECT_NEAR(hueOf(hsl(up, HSLSpaceEffect::HueDown)), 0.95f, 0.01f);
    // Desaturating pulls towards grey.
    const Colour dull = hsl(Colour(200, 40, 40, 255), HSLSpaceEffect::Desaturate);
    EXPECT_LT(dull.r - dull.g, 160);
    EXPECT_EQ(dull.g, dull.b);

    // Every byte stays within 0 to 255 and alpha is kept, for many colours.
    std::mt19937 random(6);
    for (int n = 0; n < 20000; ++n)
    {
        const Colour c(static_cast<unsigned char>(random()), static_cast<unsigned char>(random()),
                       static_cast<unsigned char>(random()), static_cast<unsigned char>(random()));
        for (int kind = 0; kind < 4; ++kind)
            ASSERT_EQ(hsl(c, static_cast<HSLSpaceEffect::Type>(kind)).a, c.a);
    }
    // The effect reports pixel (0, 0) twice.
    TexturePtr picture = randomPicture(3, 2, PixelFormat::RGBA8888, 7);
    testing::internal::CaptureStdout();
    run(new HSLEffect(HSLSpaceEffect::Saturate), picture);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output.find("x: 0, y: 0, cr: "), 0u) << output;
    EXPECT_NE(output.find("x: 0, y: 0, cr: ", 10), std::string::npos) << output;
}

TEST(EffectTest, Mirrors)
{
    for (auto size : {std::make_pair(640, 480), std::make_pair(320, 240), std::make_pair(333, 201)})
    {
        const int w = size.first, h = size.second;
        TexturePtr original = randomPicture(w, h, PixelFormat::RGBA5551, 8);
        TexturePtr picture = original->copy();
        run(new HFlipEffect, picture);
        for (int y = 0; y < h; y += 7)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(picture->getPixel(x, y), original->getPixel(w - 1 - x, y));

        picture = original->copy();
        run(new VFlipEffect, picture);
        const int rows = h * 13 / 15;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; x += 5)
                ASSERT_EQ(picture->getPixel(x, y), original->getPixel(x, y < rows ? rows - 1 - y : y)) << x << "," << y;
    }
    // On 640 x 480 rows 0 and 415 change places and row 479 stays.
    TexturePtr original = randomPicture(640, 480, PixelFormat::RGBA5551, 9);
    TexturePtr picture = original->copy();
    run(new VFlipEffect, picture);
    EXPECT_EQ(picture->getPixel(10, 0), original->getPixel(10, 415));
    EXPECT_EQ(picture->getPixel(10, 415), original->getPixel(10, 0));
    EXPECT_EQ(picture->getPixel(10, 479), original->getPixel(10, 479));
    EXPECT_EQ(picture->getPixel(10, 416), original->getPixel(10, 416));
}

TEST(EffectTest, GridShuffleIsAPermutationOfItsCells)
{
    for (auto size : {std::make_pair(640, 480), std::make_pair(320, 240), std::make_pair(333, 201)})
    {
        const int w = size.first, h = size.second, cw = w / 5, ch = h * 13 / 15 / 4;
        TexturePtr original = randomPicture(w, h, PixelFormat::RGBA5551, 10);
        TexturePtr picture = original->copy();
        std::srand(77);
        run(new GridShuffleEffect, picture);
        TexturePtr again = original->copy();
        std::srand(77);
        run(new GridShuffleEffect, again);
        EXPECT_TRUE(samePixels(*picture, *again));

        std::set<int> used;
        int moved = 0;
        for (int c = 0; c < 5; ++c)
            for (int r = 0; r < 4; ++r)
            {
                // Which old cell landed here?
                int found = -1;
                for (int oc = 0; oc < 5 && found < 0; ++oc)
                    for (int orow = 0; orow < 4 && found < 0; ++orow)
                    {
                        bool same = true;
                        for (int y = 0; y < ch && same; ++y)
                            same = std::memcmp(picture->getPixels() + (r * ch + y) * picture->getPitch() + c * cw * 2,
                                               original->getPixels() + (orow * ch + y) * original->getPitch() + oc * cw * 2,
                                               cw * 2) == 0;
                        if (same)
                            found = oc * 4 + orow;
                    }
                ASSERT_GE(found, 0) << c << "," << r;
                EXPECT_TRUE(used.insert(found).second);
                moved += found != c * 4 + r;
            }
        EXPECT_GT(moved, 0);
        // Below the grid and right of it nothing moves.
        for (int y = 4 * ch; y < h; ++y)
            ASSERT_EQ(std::memcmp(picture->getPixels() + y * picture->getPitch(),
                                  original->getPixels() + y * original->getPitch(), w * 2),
                      0);
        for (int y = 0; y < h; ++y)
            for (int x = 5 * cw; x < w; ++x)
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
            const Colour expected = x < 600 && y < 400 ? Colour(100, 200, static_cast<unsigned char>((x % 100) * 200 / 255), 200)
                                                       : Colour(200, 200, 200, 200);
            ASSERT_EQ(picture->getPixel(x, y), expected) << x << "," << y;
        }

    // A missing texture leaves the picture as it was, with a message.
    removeImage("studio/textures/tex_03.png");
    picture = original->copy();
    testing::internal::CaptureStdout();
    run(new TexturizeEffect(TextureEffect::BrushStrokes), picture);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(samePixels(*picture, *original));
    EXPECT_NE(output.find("Could not find file " + titleFolder() + "images/studio/textures/tex_03.png"),
              std::string::npos)
        << output;
}

TEST(EffectTest, EveryEffectOnEverySize)
{
    if (!titleFolder().empty())
        writeImage("studio/textures/tex_01.png", randomPicture(32, 24, PixelFormat::RGBA8888, 11));
    for (auto size : {std::make_pair(640, 480), std::make_pair(320, 240), std::make_pair(333, 201),
                      std::make_pair(7, 3), std::make_pair(1, 1)})
        for (const EffectPtr& effect : everyEffect())
        {
            TexturePtr picture = randomPicture(size.first, size.second, PixelFormat::RGBA5551, 12);
            testing::internal::CaptureStdout();
            effect->run(picture);
            testing::internal::GetCapturedStdout();
            EXPECT_EQ(picture->getWidth(), size.first);
            EXPECT_EQ(picture->getFormat(), PixelFormat::RGBA5551);
        }
}

TEST(EffectTest, EffectsThroughTheCanvasCanBeUndone)
{
    CanvasPtr canvas(new Canvas(randomPicture(320, 240, PixelFormat::RGBA5551, 13), 128));
    const std::vector<std::uint16_t> before = pixels16(*canvas->getLayer());
    CountingRenderer renderer;
    renderer.frame(canvas);
    canvas->pushUndo();
    canvas->useEffect(EffectPtr(new InvertEffect));
    EXPECT_NE(pixels16(*canvas->getLayer()), before);
    EXPECT_EQ(renderer.frame(canvas), 6);
    canvas->undo();
    EXPECT_EQ(pixels16(*canvas->getLayer()), before);
    // An effect that changes nothing uploads nothing.
    renderer.frame(canvas);
    CanvasPtr white(new Canvas(320, 240, false, 128));
    renderer.frame(white);
    white->useEffect(EffectPtr(new BlurEffect));
    EXPECT_EQ(renderer.frame(white), 0);
}
