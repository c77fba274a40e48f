#ifndef RESOURCES_HSLEFFECT_H
#define RESOURCES_HSLEFFECT_H

#include "Resources/Drawing/Effects/Effect.h"

namespace Tovrane
{
struct HSLSpaceEffect
{
    enum Type : int
    {
        Saturate = 0,
        Desaturate = 1,
        HueUp = 2,
        HueDown = 3
    };
};

// Takes every pixel to hue, saturation and lightness, changes the saturation
// by 0.3 or the hue by 0.1, and takes it back. Grey pixels have no hue and no
// saturation; results are kept within 0 to 255. A pixel at its format's
// maximum in every colour channel counts as white.
class HSLEffect : public Effect
{
    TOVRANE_DECLARE_RTTI(HSLEffect)

public:
    explicit HSLEffect(HSLSpaceEffect::Type kind);
    ~HSLEffect() override;

    void run(TexturePtr picture) override;

    // One pixel through the effect (alpha kept).
    static Colour adjust(const Colour& colour, HSLSpaceEffect::Type kind, bool report = false);

private:
    // White for a colour equal to `maximum` in red, green and blue.
    static Colour countedColour(const Colour& colour, const Colour& maximum);
    // The adjusted word of every RGBA5551 word, built once per kind.
    static const std::uint32_t* table5551(HSLSpaceEffect::Type kind);

    HSLSpaceEffect::Type kind;
};
}

#endif
