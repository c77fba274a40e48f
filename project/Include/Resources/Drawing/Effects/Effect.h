#ifndef RESOURCES_EFFECT_H
#define RESOURCES_EFFECT_H

#include "Tovrane/ColorRGBA.h"
#include "Tovrane/Object.h"
#include "Tovrane/PackedPixel.h"
#include "Tovrane/Texture.h"

#include <cstdint>
#include <vector>

namespace Tovrane
{
class Effect;
typedef boost::shared_ptr<Effect> EffectPtr;

// Transforms a whole picture in place. Effects work on 8-bit channels as the
// texture reads them, whatever its format; alpha passes through unless an
// effect says otherwise. Built anew for every use. On RGBA5551 pictures (the
// canvas's) each effect works on the 16-bit words and their 5-bit fields
// directly, with results equal to the 8-bit formula's packed again.
class Effect : public Object
{
    TOVRANE_DECLARE_RTTI(Effect)

public:
    Effect();
    ~Effect() override;

    virtual void run(TexturePtr picture) = 0;

protected:
    typedef ColorRGBA<unsigned char> Colour;
    typedef PackedPixel<PixelFormat::RGBA5551> Pixel5551;

    // Rows y to y + count - 1 of the picture as colour words (unpacked as
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
    // Runs a row function on each row of a 16-bit picture's stored words, in
    // place: the count of pixels of the row at `words`. Row functions are
    // built for every processor (TOVRANE_ROW_LOOP).
    static void mapRows16(Texture& picture, void (*row)(unsigned char* words, int count))
    {
        picture.releaseBindings();
        for (int y = 0; y < picture.getHeight(); ++y)
            row(picture.getPixels() + static_cast<std::ptrdiff_t>(y) * picture.getPitch(), picture.getWidth());
    }

    static std::uint32_t toWord(const Colour& c) { return ColourWord::fromColour(c); }
    static Colour toColour(std::uint32_t w) { return ColourWord::toColour(w); }
};
}

#endif
