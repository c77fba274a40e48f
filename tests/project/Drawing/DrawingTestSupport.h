#ifndef TESTS_PROJECT_DRAWINGTESTSUPPORT_H
#define TESTS_PROJECT_DRAWINGTESTSUPPORT_H

// Pictures, masks, patterns, every effect and a counting renderer shared by
// the drawing tests.

#include "Graphics/RecordingRenderer.h"
#include "project/Profile/ProfileTestSupport.h"
#include "Resources/Drawing/Effects/BlurEffect.h"
#include "Resources/Drawing/Effects/EightbitEffect.h"
#include "Resources/Drawing/Effects/GrayscaleEffect.h"
#include "Resources/Drawing/Effects/GridShuffleEffect.h"
#include "Resources/Drawing/Effects/HFlipEffect.h"
#include "Resources/Drawing/Effects/HSLEffect.h"
#include "Resources/Drawing/Effects/InvertEffect.h"
#include "Resources/Drawing/Effects/RGBRotateEffect.h"
#include "Resources/Drawing/Effects/TexturizeEffect.h"
#include "Resources/Drawing/Effects/VFlipEffect.h"
#include "Resources/Drawing/Layer.h"
#include "Tovrane/System.h"
#include "Tovrane/GraphicsCuller.h"
#include "Tovrane/GraphicsSceneRenderer.h"
#include "Tovrane/Texture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace DrawingTest
{
using Tovrane::ColorRGBA;
using Tovrane::PixelFormat;
using Tovrane::Texture;
using Tovrane::TexturePtr;
using ProfileTest::output;
using ProfileTest::says;
typedef ColorRGBA<unsigned char> Colour;

// A round brush mask: alpha 255 inside the disc of diameter `size`, 128 on a
// thin ring just outside it (never painted), 0 elsewhere.
inline TexturePtr makeDiscMask(int size)
{
    TexturePtr mask(new Texture(size, size, PixelFormat::RGBA8888, true, 0));
    const float r = size / 2.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const float dx = x + 0.5f - r, dy = y + 0.5f - r;
            const float d2 = dx * dx + dy * dy;
            unsigned char a = d2 <= r * r * 0.8f ? 255 : (d2 <= r * r ? 128 : 0);
            mask->setPixel(Colour(0, 0, 0, a), x, y);
        }
    return mask;
}

// A Palette8 pattern of diagonal stripes of indices 0 and 1 with a few
// index-2 specks; entry 0 black, 1 white, 2 red.
inline TexturePtr makeStripePattern(int w, int h, bool specks = true)
{
    TexturePtr pattern(new Texture(w, h, PixelFormat::Palette8, true, 0));
    pattern->setPaletteEntry(Colour(0, 0, 0, 255), 0);
    pattern->setPaletteEntry(Colour(255, 255, 255, 255), 1);
    pattern->setPaletteEntry(Colour(255, 0, 0, 255), 2);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pattern->setPixel(((x + y) / 3) % 2 == 0 ? 0 : ((specks && (x * 7 + y * 3) % 23 == 0) ? 2 : 1), x, y);
    return pattern;
}

// A pattern of index 0 everywhere: the foreground colour (black) alone.
inline TexturePtr makeSolidPattern(int w, int h)
{
    TexturePtr pattern(new Texture(w, h, PixelFormat::Palette8, true, 0));
    pattern->setPaletteEntry(Colour(0, 0, 0, 255), 0);
    pattern->setPaletteEntry(Colour(255, 255, 255, 255), 1);
    return pattern;
}

// A square RGBA8888 mask of alpha 255 everywhere.
inline TexturePtr makeFullMask(int size)
{
    return TexturePtr(new Texture(size, size, PixelFormat::RGBA8888, true, 255));
}

// A picture of random colours, one in five transparent.
inline TexturePtr randomPicture(int w, int h, PixelFormat::Type format, unsigned seed)
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

inline bool samePixels(const Texture& a, const Texture& b)
{
    return a.getFormat() == b.getFormat() && a.getSize() == b.getSize() &&
           std::memcmp(a.getData(), b.getData(), a.getSize()) == 0;
}

// Every effect the studio offers, made anew, each with the name of its picture.
inline std::vector<std::pair<std::string, Tovrane::EffectPtr>> everyEffect()
{
    using namespace Tovrane;
    return {{"invert", EffectPtr(new InvertEffect)},
            {"rgb_rotate", EffectPtr(new RGBRotateEffect)},
            {"grayscale", EffectPtr(new GrayscaleEffect)},
            {"blur", EffectPtr(new BlurEffect)},
            {"eightbit", EffectPtr(new EightbitEffect)},
            {"hflip", EffectPtr(new HFlipEffect)},
            {"vflip", EffectPtr(new VFlipEffect)},
            {"grid_shuffle", EffectPtr(new GridShuffleEffect)},
            {"saturate", EffectPtr(new HSLEffect(HSLSpaceEffect::Saturate))},
            {"desaturate", EffectPtr(new HSLEffect(HSLSpaceEffect::Desaturate))},
            {"hue_up", EffectPtr(new HSLEffect(HSLSpaceEffect::HueUp))},
            {"hue_down", EffectPtr(new HSLEffect(HSLSpaceEffect::HueDown))},
            {"wicker", EffectPtr(new TexturizeEffect(TextureEffect::Wicker))},
            {"brick", EffectPtr(new TexturizeEffect(TextureEffect::Brick))},
            {"parchment", EffectPtr(new TexturizeEffect(TextureEffect::Parchment))},
            {"brush_strokes", EffectPtr(new TexturizeEffect(TextureEffect::BrushStrokes))}};
}

// Colours as RGBA5551 pixels read back: channels keep their top five bits.
const Colour White(248, 248, 248, 255), Black(0, 0, 0, 255), Red(248, 0, 0, 255), Blue(0, 0, 248, 255);
const Colour Clear(0, 0, 0, 0);

inline Tovrane::Vector3<tFixed> point(int x, int y)
{
    return Tovrane::Vector3<tFixed>(tFixed(x), tFixed(y), tFixed(0));
}

// The raw 16-bit pixels of a layer's whole picture.
inline std::vector<std::uint16_t> pixels16(const Tovrane::Layer& layer)
{
    TexturePtr picture = layer.getTexture();
    std::vector<std::uint16_t> out(static_cast<size_t>(picture->getWidth()) * picture->getHeight());
    if (!out.empty())
        std::memcpy(out.data(), picture->getPixels(), out.size() * 2);
    return out;
}

// A colour as an RGBA5551 picture stores it, and as it reads back.
inline std::uint16_t pack5551(const Colour& c)
{
    return static_cast<std::uint16_t>((c.r >> 3) << 11 | (c.g >> 3) << 6 | (c.b >> 3) << 1 | (c.a ? 1 : 0));
}
inline Colour as5551(const Colour& c) { return Colour(c.r & 0xF8, c.g & 0xF8, c.b & 0xF8, c.a ? 255 : 0); }

// The pattern's colour at (x, y), as an RGBA5551 picture shows it.
inline Colour patternColour(const TexturePtr& pattern, int x, int y)
{
    return as5551(pattern->getPaletteEntry(pattern->getPaletteIndex(x, y)));
}

// Counts the textures each frame uploads; draws nothing.
class CountingRenderer : public RecordingBackEnd<Tovrane::GraphicsSceneRenderer>
{
public:
    void drawElements() override {}
    void pushWorldTransform() override {}
    void popWorldTransform() override {}

    // One frame of a scene: update, collect, draw. Returns the textures uploaded.
    int frame(Tovrane::SpatialPtr root)
    {
        log->clear();
        root->update(0);
        culler.computeVisible(root);
        drawScene(culler);
        return count("bindTexture");
    }

    Tovrane::GraphicsCuller culler;
};

// The title folder of the test program (shared with the profile tests, which
// fix it first), with an empty "images/" tree ready for the tests' own files.
inline std::string titleFolder()
{
    ProfileTest::root();
    const std::string title = Tovrane::System::getPath();
    if (!title.empty())
        std::filesystem::create_directories(title + "images/studio");
    return title;
}

// Writes a picture as a PNG file under the title's "images/" folder.
inline void writeImage(const std::string& name, TexturePtr picture)
{
    const std::string path = titleFolder() + "images/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(picture->save(path)) << path;
}

inline void removeImage(const std::string& name) { std::filesystem::remove(titleFolder() + "images/" + name); }

// Compares a picture with a reviewed PNG in tests/data/<folder>/. With
// TOVRANE_WRITE_GOLDENS set, a missing golden is written instead (for review).
inline void expectGolden(TexturePtr picture, const std::string& name, const std::string& folder = "drawing")
{
    TexturePtr rgba = picture->copy();
    if (rgba->getFormat() != PixelFormat::RGBA8888)
        rgba->convertTo(PixelFormat::RGBA8888);
    const std::string path = std::string(TOVRANE_TEST_DATA) + "/" + folder + "/" + name + ".png";
    if (std::getenv("TOVRANE_WRITE_GOLDENS") && !std::ifstream(path).good())
    {
        ASSERT_TRUE(rgba->save(path)) << path;
        return;
    }
    TexturePtr golden = Texture::fromFile(path);
    ASSERT_TRUE(golden) << "missing golden " << path;
    ASSERT_EQ(golden->getFormat(), PixelFormat::RGBA8888) << path;
    ASSERT_EQ(golden->getWidth(), rgba->getWidth()) << path;
    ASSERT_EQ(golden->getHeight(), rgba->getHeight()) << path;
    int differing = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < rgba->getHeight(); ++y)
        for (int x = 0; x < rgba->getWidth(); ++x)
            if (golden->getPixel(x, y) != rgba->getPixel(x, y) && differing++ == 0)
                firstX = x, firstY = y;
    EXPECT_EQ(differing, 0) << name << ": first difference at (" << firstX << ", " << firstY << ")";
    if (differing)
        rgba->save(std::string(TOVRANE_BINARY_DIR) + "/" + name + "-actual.png");
}
}

#endif
