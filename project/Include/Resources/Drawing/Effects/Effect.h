#ifndef RESOURCES_EFFECT_H
#define RESOURCES_EFFECT_H

#include "Tovrane/ColorRGBA.h"
#include "Tovrane/Object.h"
#include "Tovrane/Texture.h"

#include <cstdint>
#include <vector>

namespace Tovrane
{
class Effect;
typedef boost::shared_ptr<Effect> EffectPtr;

// Transforms a whole picture in place. Effects work on 8-bit channels as the
// texture reads them, whatever its format; alpha passes through unless an
// effect says otherwise. Built anew for every use.
class Effect : public Object
{
    TOVRANE_DECLARE_RTTI(Effect)

public:
    Effect();
    ~Effect() override;

    virtual void run(TexturePtr picture) = 0;

protected:
    typedef ColorRGBA<unsigned char> Colour;

    // Rows y to y + count - 1 of the picture as words of four 8-bit channels,
    // red in the low byte, then green, blue and alpha (unpacked as
    // Texture::getPixel does), into count x width words.
    static void readRows(const Texture& picture, int y, int count, std::uint32_t* words);
    // Writes rows back, packed as Texture::setPixel does.
    static void writeRows(Texture& picture, int y, int count, const std::uint32_t* words);
    // Applies a word-to-word function to every pixel, a row at a time.
    template <typename Function> static void mapPixels(Texture& picture, Function function)
    {
        std::vector<std::uint32_t> row(static_cast<std::size_t>(picture.getWidth()));
        for (int y = 0; y < picture.getHeight(); ++y)
        {
            readRows(picture, y, 1, row.data());
            for (std::uint32_t& w : row)
                w = function(w);
            writeRows(picture, y, 1, row.data());
        }
    }

    static std::uint32_t toWord(const Colour& c)
    {
        return static_cast<std::uint32_t>(c.r) | static_cast<std::uint32_t>(c.g) << 8 |
               static_cast<std::uint32_t>(c.b) << 16 | static_cast<std::uint32_t>(c.a) << 24;
    }
    static Colour toColour(std::uint32_t w)
    {
        return Colour(static_cast<unsigned char>(w), static_cast<unsigned char>(w >> 8),
                      static_cast<unsigned char>(w >> 16), static_cast<unsigned char>(w >> 24));
    }
};
}

#endif
