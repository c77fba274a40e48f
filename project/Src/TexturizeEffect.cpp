#include "Resources/TexturizeEffect.h"

#include "Tovrane/System.h"

#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, TexturizeEffect, Effect);

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
        if (std::ifstream(path).good())
            std::cout << "Could not read file " << path << std::endl;
        return;
    }
    const int tw = image->getWidth(), th = image->getHeight();
    if (tw <= 0 || th <= 0)
        return;
    std::vector<Colour> overlay(static_cast<std::size_t>(tw) * th);
    for (int y = 0; y < th; ++y)
        for (int x = 0; x < tw; ++x)
            overlay[static_cast<std::size_t>(y) * tw + x] = image->getPixel(x, y);

    const int w = picture->getWidth(), h = picture->getHeight();
    std::vector<Colour> colours = readPixels(*picture);
    // Whole tiles only.
    for (int y = 0; y < (h / th) * th; ++y)
        for (int x = 0; x < (w / tw) * tw; ++x)
        {
            Colour& c = colours[static_cast<std::size_t>(y) * w + x];
            const Colour& t = overlay[static_cast<std::size_t>(y % th) * tw + x % tw];
            c.r = static_cast<unsigned char>(static_cast<unsigned>(t.r) * c.r / 255u);
            c.g = static_cast<unsigned char>(static_cast<unsigned>(t.g) * c.g / 255u);
            c.b = static_cast<unsigned char>(static_cast<unsigned>(t.b) * c.b / 255u);
        }
    writePixels(*picture, colours);
}
}
