#ifndef TESTS_PROJECT_STUDIO_COLOURTESTSUPPORT_H
#define TESTS_PROJECT_STUDIO_COLOURTESTSUPPORT_H

// Pictures made by rule for the colour widgets, the generated title as the
// studio's title folder, and the recording audio service of the widget tests.

#include "GLES1Renderer/RendererFixture.h"
#include "UI/UITestSupport.h"

#include "Tovrane/Geometry.h"
#include "Tovrane/Plane.h"
#include "Tovrane/Texture.h"

#include "CSystemData.h"

#include <cmath>
#include <string>

namespace ColourTest
{
using Tovrane::PixelFormat;
using Tovrane::Texture;
using Tovrane::TexturePtr;
typedef Tovrane::ColorRGBA<unsigned char> Colour;
using UITestSupport::Journal;

// The wheel picture's colours: near the pure colours, so that a test tells a
// tapped pixel from a mixing-table entry.
const Colour Red(250, 20, 20, 255), Blue(20, 20, 250, 255), Yellow(250, 250, 20, 255), Green(20, 250, 20, 255),
    Purple(130, 20, 250, 255), Orange(250, 130, 20, 255), Dark(60, 60, 60, 255), Light(255, 255, 255, 255),
    None(0, 0, 0, 0);
const Colour Black(0, 0, 0, 255), Rim(240, 240, 240, 255);

// The colour a size x size wheel shows at (dx, dy) from its middle, y up:
// nothing inside 24 and beyond 75 pixels, dark below and light above the
// middle up to 31 pixels, then six sectors of 60 degrees.
inline Colour wheelColour(int dx, int dy)
{
    const int d2 = dx * dx + dy * dy;
    if (d2 < 24 * 24 || d2 > 75 * 75)
        return None;
    if (d2 <= 31 * 31)
        return dy < 0 ? Dark : Light;
    const double degrees = std::atan2(static_cast<double>(dy), static_cast<double>(dx)) * 180.0 / M_PI;
    const Colour sectors[6] = {Red, Purple, Blue, Green, Yellow, Orange}; // from -180 degrees up
    return sectors[std::min(5, static_cast<int>((degrees + 180.0) / 60.0))];
}

inline TexturePtr wheelPicture()
{
    TexturePtr picture(new Texture(160, 160, PixelFormat::RGBA8888, true, 0));
    for (int row = 0; row < 160; ++row)
        for (int column = 0; column < 160; ++column)
            picture->setPixel(wheelColour(column - 80, 80 - row), column, row);
    return picture;
}

// A disc of radius r - 2 in exact black with a two-pixel rim of (240, 240,
// 240) on a transparent 2r x 2r square, in the 16-bit format of the pages.
inline TexturePtr discPicture(int r)
{
    TexturePtr picture(new Texture(2 * r, 2 * r, PixelFormat::RGBA4444, true, 0));
    for (int y = 0; y < 2 * r; ++y)
        for (int x = 0; x < 2 * r; ++x)
        {
            const int d2 = (2 * x + 1 - 2 * r) * (2 * x + 1 - 2 * r) + (2 * y + 1 - 2 * r) * (2 * y + 1 - 2 * r);
            if (d2 <= 4 * (r - 2) * (r - 2))
                picture->setPixel(Black, x, y);
            else if (d2 <= 4 * r * r)
                picture->setPixel(Rim, x, y);
        }
    return picture;
}

inline TexturePtr solid(int w, int h, const Colour& colour)
{
    TexturePtr picture(new Texture(w, h, PixelFormat::RGBA8888, true, 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture->setPixel(colour, x, y);
    return picture;
}

// A quad of the picture's size with its lower-left corner at (x, y), as the
// sprite manager places a whole picture.
inline Tovrane::GeometryPtr sprite(TexturePtr picture, int x = 0, int y = 0)
{
    const int w = picture->getWidth(), h = picture->getHeight();
    Tovrane::GeometryPtr quad(new Tovrane::Plane(tFixed(-w / 2), tFixed(w - w / 2), tFixed(-h / 2), tFixed(h - h / 2),
                                                 tFixed(0), tFixed(1), tFixed(0), tFixed(1), 2, 2));
    quad->setTexture(picture, 0);
    quad->setPosition(Tovrane::Vector3<tFixed>(tFixed(x + w / 2), tFixed(y + h / 2), tFixed(0)));
    return quad;
}

// The generated test title as the title folder (read only), configured once
// per process.
inline std::string generatedTitle()
{
    const std::string title = std::string(TOVRANE_BINARY_DIR) + "/title/";
    CSystemData::Config config;
    config.titlePath = title;
    CSystemData::Configure(config);
    return title;
}

// The recording audio service; only the sounds started are kept.
class AudioFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        generatedTitle();
        previous = Vantorel::Kelm::CAudioMPI::SetService(std::make_shared<UITestSupport::RecordingAudio>(journal));
        audio.reset(new Tovrane::AudioPlayer);
    }

    void TearDown() override
    {
        audio.reset();
        Vantorel::Kelm::CAudioMPI::SetService(previous);
    }

    // The sounds started since the last call, by file name.
    Journal sounds()
    {
        Journal started;
        for (const std::string& line : journal)
            if (line.compare(0, 6, "sound ") == 0)
                started.push_back(line.substr(6));
        journal.clear();
        return started;
    }

    Journal journal;
    std::shared_ptr<Vantorel::Kelm::IAudioService> previous;
    std::unique_ptr<Tovrane::AudioPlayer> audio;
};

const std::string WheelSound = "h_SX_ColorWheelSfx_6.ogg", MixedSound = "h_SX_ColorsMixedSfx_6.ogg",
                  WrongSound = "h_KROM_WrongAnswerSfx_6.ogg", CorrectSound = "h_KROM_CorrectAnswerSfx_6.ogg";
}

#endif
