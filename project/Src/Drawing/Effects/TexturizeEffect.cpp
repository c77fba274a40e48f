#include "Resources/Drawing/Effects/TexturizeEffect.h"

#include "Tovrane/System.h"

#include "EscapeControls.h"
#include "RegularFile.h"

#include <unistd.h>

#include <iomanip>
#include <iostream>
#include <sstream>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, TexturizeEffect, Effect);

namespace
{
// The high half of a sixteen-bit product.
inline std::uint16_t multiplyHigh(std::uint16_t a, std::uint16_t b)
{
    return static_cast<std::uint16_t>((static_cast<std::uint32_t>(a) * b) >> 16);
}

// One tile-wide run of a row multiplied by one row of the factor planes.
TOVRANE_ROW_LOOP void multiplyRun(unsigned char* __restrict out, const std::uint16_t* __restrict red,
                                  const std::uint16_t* __restrict green, const std::uint16_t* __restrict blue, int n)
{
    for (int i = 0; i < n; ++i)
    {
        // Sixteen-bit lanes throughout: each field doubled where blue's lies.
        typedef PackedPixel<PixelFormat::RGBA5551> Pixel;
        const std::uint16_t v = loadPixel16(out + 2 * i);
        const std::uint16_t r = multiplyHigh(static_cast<std::uint16_t>((v & Pixel::RedBits) >> 10), red[i]);
        const std::uint16_t g = multiplyHigh(static_cast<std::uint16_t>((v & Pixel::GreenBits) >> 5), green[i]);
        const std::uint16_t b = multiplyHigh(static_cast<std::uint16_t>(v & Pixel::BlueBits), blue[i]);
        storePixel16(out + 2 * i, Pixel::fields(r, g, b, v & Pixel::AlphaBit));
    }
}

// The multiply on five-bit fields: the 8-bit product t x 8c / 255 keeps its
// top five bits, t x c / 255, c being the five-bit value. That is
// (2c x m) >> 16 with m = ceil(32768 t / 255): the error, below 31 / 32768,
// never reaches the next whole number (at least 1 / 255 away). The image's
// channels are read once into planes of m.
void multiply5551(Texture& picture, const Texture& image)
{
    const int tw = image.getWidth(), th = image.getHeight();
    const std::size_t size = static_cast<std::size_t>(tw) * th;
    std::vector<std::uint16_t> planes(size * 3);
    auto factor = [](unsigned char t) { return static_cast<std::uint16_t>((32768u * t + 254) / 255); };
    for (int y = 0; y < th; ++y)
        for (int x = 0; x < tw; ++x)
        {
            const ColorRGBA<unsigned char> t = image.getPixel(x, y);
            const std::size_t i = static_cast<std::size_t>(y) * tw + x;
            planes[i] = factor(t.r);
            planes[size + i] = factor(t.g);
            planes[2 * size + i] = factor(t.b);
        }
    picture.releaseBindings();
    const int w = picture.getWidth(), h = picture.getHeight();
    // Whole tiles only.
    for (int y = 0; y < (h / th) * th; ++y)
    {
        const std::uint16_t* red = planes.data() + static_cast<std::size_t>(y % th) * tw;
        const std::uint16_t* green = red + size;
        const std::uint16_t* blue = green + size;
        unsigned char* row = picture.getPixels() + y * picture.getPitch();
        for (int left = 0; left + tw <= w; left += tw)
            multiplyRun(row + 2 * left, red, green, blue, tw);
    }
}
}

TexturizeEffect::TexturizeEffect(TextureEffect::Pattern texture) : texture(texture) {}

TexturizeEffect::~TexturizeEffect() {}

std::string TexturizeEffect::getTexturePath() const
{
    std::ostringstream path;
    path << System::getPath() << "images/studio/textures/tex_" << std::setfill('0') << std::setw(2)
         << static_cast<int>(texture) << ".png";
    return path.str();
}

void TexturizeEffect::run(TexturePtr picture)
{
    const std::string path = getTexturePath();
    TexturePtr image = Texture::fromFile(path);
    if (!image)
    {
        // A missing file has been reported by the reader; a broken one is reported here.
        const int fd = openRegularFile(path.c_str());
        if (fd >= 0)
        {
            ::close(fd);
            std::cout << "Could not read file " << escapeControls(path) << std::endl;
        }
        return;
    }
    const int tw = image->getWidth(), th = image->getHeight();
    if (tw <= 0 || th <= 0)
        return;
    const int w = picture->getWidth(), h = picture->getHeight();
    if (picture->getFormat() == PixelFormat::RGBA5551)
    {
        multiply5551(*picture, *image);
        return;
    }
    std::vector<std::uint32_t> overlay(static_cast<std::size_t>(tw) * th);
    for (int y = 0; y < th; ++y)
        for (int x = 0; x < tw; ++x)
            overlay[static_cast<std::size_t>(y) * tw + x] = toWord(image->getPixel(x, y));

    std::vector<std::uint32_t> row(static_cast<std::size_t>(w));
    // Whole tiles only.
    for (int y = 0; y < (h / th) * th; ++y)
    {
        readRows(*picture, y, 1, row.data());
        const std::uint32_t* tile = overlay.data() + static_cast<std::size_t>(y % th) * tw;
        for (int left = 0; left + tw <= w; left += tw)
            for (int i = 0; i < tw; ++i)
            {
                const std::uint32_t c = row[left + i], t = tile[i];
                const std::uint32_t r = (t & 0xFF) * (c & 0xFF) / 255u;
                const std::uint32_t g = ((t >> 8) & 0xFF) * ((c >> 8) & 0xFF) / 255u;
                const std::uint32_t b = ((t >> 16) & 0xFF) * ((c >> 16) & 0xFF) / 255u;
                row[left + i] = r | g << 8 | b << 16 | (c & 0xFF000000u);
            }
        writeRows(*picture, y, 1, row.data());
    }
}
}
