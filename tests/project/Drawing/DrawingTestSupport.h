#ifndef TESTS_PROJECT_DRAWINGTESTSUPPORT_H
#define TESTS_PROJECT_DRAWINGTESTSUPPORT_H

// Pictures, masks, patterns, effects and a counting renderer.

#include "Graphics/RecordingRenderer.h"
#include "project/Profile/ProfileTestSupport.h"
#include "support/Golden.h"
#include "Resources/Drawing/Brush.h"
#include "Resources/Drawing/Canvas.h"
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
#include "Resources/Drawing/Zoom.h"
#include "Tovrane/GraphicsCuller.h"
#include "Tovrane/GraphicsSceneRenderer.h"
#include "Tovrane/System.h"

#include <random>

namespace DrawingTest
{
using namespace Tovrane;
using ProfileTest::output;
using ProfileTest::says;
typedef ColorRGBA<unsigned char> Colour;

// Colours as RGBA5551 pixels read back: channels keep their top five bits.
const Colour White(248, 248, 248, 255), Black(0, 0, 0, 255), Red(248, 0, 0, 255), Blue(0, 0, 248, 255);
const Colour Clear(0, 0, 0, 0);

inline Vector3<tFixed> point(int x, int y) { return Vector3<tFixed>(tFixed(x), tFixed(y), tFixed(0)); }

// A round brush mask: alpha 255 inside the disc of diameter `size`, 128 on a
// thin ring just outside it (never painted), 0 elsewhere.
inline TexturePtr makeDiscMask(int size)
{
    TexturePtr mask(new Texture(size, size, PixelFormat::RGBA8888, true, 0));
    const float r = size / 2.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const float d2 = (x + 0.5f - r) * (x + 0.5f - r) + (y + 0.5f - r) * (y + 0.5f - r);
            mask->setPixel(Colour(0, 0, 0, d2 <= r * r * 0.8f ? 255 : (d2 <= r * r ? 128 : 0)), x, y);
        }
    return mask;
}

inline TexturePtr makeFullMask(int size)
{
    return TexturePtr(new Texture(size, size, PixelFormat::RGBA8888, true, 255));
}

// Palette8, entries black, white, red: index 0 (`kind` 0), or stripes of 0
// and 1 with index-2 specks (1) or without (2).
inline TexturePtr makePattern(int w, int h, int kind = 1)
{
    TexturePtr pattern(new Texture(w, h, PixelFormat::Palette8, true, 0));
    pattern->setPaletteEntry(Colour(0, 0, 0, 255), 0);
    pattern->setPaletteEntry(Colour(255, 255, 255, 255), 1);
    pattern->setPaletteEntry(Colour(255, 0, 0, 255), 2);
    for (int y = 0; y < h && kind; ++y)
        for (int x = 0; x < w; ++x)
            pattern->setPixel(((x + y) / 3) % 2 == 0 ? 0 : ((kind == 1 && (x * 7 + y * 3) % 23 == 0) ? 2 : 1), x, y);
    return pattern;
}
inline TexturePtr makeStripePattern(int w, int h, bool specks = true) { return makePattern(w, h, specks ? 1 : 2); }
inline TexturePtr makeSolidPattern(int w, int h) { return makePattern(w, h, 0); }

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

inline std::vector<std::pair<std::string, EffectPtr>> everyEffect()
{
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

// The raw 16-bit pixels of a layer's whole picture.
inline std::vector<std::uint16_t> pixels16(const Layer& layer)
{
    TexturePtr picture = layer.getTexture();
    const std::uint16_t* words = reinterpret_cast<const std::uint16_t*>(picture->getPixels());
    return std::vector<std::uint16_t>(words, words + static_cast<size_t>(picture->getWidth()) * picture->getHeight());
}

// A colour as an RGBA5551 picture stores it, and as it reads back.
inline std::uint16_t pack5551(const Colour& c)
{
    return static_cast<std::uint16_t>((c.r >> 3) << 11 | (c.g >> 3) << 6 | (c.b >> 3) << 1 | (c.a ? 1 : 0));
}
inline Colour as5551(const Colour& c) { return Colour(c.r & 0xF8, c.g & 0xF8, c.b & 0xF8, c.a ? 255 : 0); }

// The pattern's colour at (x, y), as an RGBA5551 picture stores it.
inline std::uint16_t patternWord(const TexturePtr& pattern, int x, int y)
{
    return pack5551(pattern->getPaletteEntry(pattern->getPaletteIndex(x, y)));
}

// Counts the textures each frame uploads; draws nothing.
class CountingRenderer : public RecordingBackEnd<GraphicsSceneRenderer>
{
public:
    void drawElements() override {}
    void pushWorldTransform() override {}
    void popWorldTransform() override {}

    int frame(SpatialPtr root)
    {
        log->clear();
        root->update(0);
        culler.computeVisible(root);
        drawScene(culler);
        return count("bindTexture");
    }

    GraphicsCuller culler;
};

// The program's title folder (the profile tests fix it) with "images/studio/".
inline std::string titleFolder()
{
    ProfileTest::root();
    const std::string title = System::getPath();
    if (!title.empty())
        std::filesystem::create_directories(title + "images/studio");
    return title;
}

inline void writeImage(const std::string& name, TexturePtr picture)
{
    const std::string path = titleFolder() + "images/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(picture->save(path)) << path;
}

// Compares a picture, as RGBA8888, with a reviewed PNG in tests/data/<folder>/.
inline void expectGolden(TexturePtr picture, const std::string& name, const std::string& folder = "drawing")
{
    TexturePtr rgba = picture->copy();
    rgba->convertTo(PixelFormat::RGBA8888);
    TestSupport::expectGolden(rgba, std::string(TOVRANE_TEST_DATA) + "/" + folder + "/" + name + ".png");
}
}

#endif
