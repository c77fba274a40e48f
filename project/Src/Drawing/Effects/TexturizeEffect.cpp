#include "Resources/Drawing/Effects/TexturizeEffect.h"

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
    std::vector<std::uint32_t> overlay(static_cast<std::size_t>(tw) * th);
    for (int y = 0; y < th; ++y)
        for (int x = 0; x < tw; ++x)
            overlay[static_cast<std::size_t>(y) * tw + x] = toWord(image->getPixel(x, y));

    const int w = picture->getWidth(), h = picture->getHeight();
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
