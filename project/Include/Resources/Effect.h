#ifndef RESOURCES_EFFECT_H
#define RESOURCES_EFFECT_H

#include "Tovrane/ColorRGBA.h"
#include "Tovrane/Object.h"
#include "Tovrane/Texture.h"

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

    // The picture's pixels row by row, unpacked as Texture::getPixel does.
    static std::vector<Colour> readPixels(const Texture& picture);
    // Writes them back, packed as Texture::setPixel does.
    static void writePixels(Texture& picture, const std::vector<Colour>& colours);
};
}

#endif
