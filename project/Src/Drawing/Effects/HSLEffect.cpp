#include "Resources/Drawing/Effects/HSLEffect.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, HSLEffect, Effect);

namespace
{
unsigned char toByte(float channel)
{
    const float v = channel * 255.0f;
    // NaN and values outside the byte range are kept within 0 to 255.
    if (!(v > 0.0f))
        return 0;
    if (v >= 255.0f)
        return 255;
    return static_cast<unsigned char>(static_cast<unsigned>(v));
}

// Every 16-bit word of a picture replaced by its entry in the table (32-bit
// entries, which vector code can gather).
TOVRANE_ROW_LOOP void lookUp(unsigned char* __restrict pixels, std::size_t count,
                             const std::uint32_t* __restrict table)
{
    for (std::size_t i = 0; i < count; ++i)
        storePixel16(pixels + 2 * i, static_cast<std::uint16_t>(table[loadPixel16(pixels + 2 * i)]));
}
}

HSLEffect::HSLEffect(HSLSpaceEffect::Type kind) : kind(kind) {}

HSLEffect::~HSLEffect() {}

Effect::Colour HSLEffect::countedColour(const Colour& colour, const Colour& maximum)
{
    if (colour.r == maximum.r && colour.g == maximum.g && colour.b == maximum.b)
        return Colour(255, 255, 255, colour.a);
    return colour;
}

const std::uint32_t* HSLEffect::table5551(HSLSpaceEffect::Type kind)
{
    // An RGBA5551 picture has at most 32768 colours: each is adjusted once
    // per kind and kept for later runs, under both values of the alpha bit
    // (passed through), so that a pixel is one look-up.
    static std::once_flag built[4];
    static std::vector<std::uint32_t> tables[4];
    std::call_once(built[kind], [kind] {
        std::vector<std::uint32_t>& table = tables[kind];
        table.resize(65536);
        const Colour maximum = ColourWord::toColour(Pixel5551::toWord(0xFFFF));
        for (std::uint32_t v = 0; v < 65536; v += 2)
        {
            const Colour c = countedColour(ColourWord::toColour(Pixel5551::toWord(v)), maximum);
            table[v] = static_cast<std::uint16_t>(Pixel5551::fromWord(toWord(adjust(c, kind))) & Pixel5551::ColourBits);
            table[v + 1] = table[v] | 1;
        }
    });
    return tables[kind].data();
}

void HSLEffect::run(TexturePtr picture)
{
    const int w = picture->getWidth(), h = picture->getHeight();
    if (w <= 0 || h <= 0)
        return;
    // A pixel at its format's maximum in every colour channel counts as white
    // (the canvas's white reads (248, 248, 248), which would otherwise be a
    // light grey that takes a tint), and black is zero in every format.
    Colour maximum(255, 255, 255, 255);
    if (!picture->getPalette())
    {
        Texture probe(1, 1, picture->getFormat());
        probe.setPixel(maximum, 0, 0);
        maximum = probe.getPixel(0, 0);
    }
    // Pixel (0, 0) is reported on standard output.
    std::vector<std::uint32_t> row(static_cast<std::size_t>(w));
    readRows(*picture, 0, 1, row.data());
    adjust(countedColour(toColour(row[0]), maximum), kind, true);
    if (picture->getFormat() == PixelFormat::RGBA5551 && static_cast<unsigned>(kind) < 4)
    {
        picture->releaseBindings();
        lookUp(picture->getPixels(), static_cast<std::size_t>(w) * h, table5551(kind));
        return;
    }
    const HSLSpaceEffect::Type k = kind;
    mapPixels(*picture,
              [k, maximum](std::uint32_t c) { return toWord(adjust(countedColour(toColour(c), maximum), k)); });
}

Effect::Colour HSLEffect::adjust(const Colour& colour, HSLSpaceEffect::Type kind, bool report)
{
    const float r = colour.r / 255.0f, g = colour.g / 255.0f, b = colour.b / 255.0f;
    const float mx = std::max(r, std::max(g, b));
    const float mn = std::min(r, std::min(g, b));
    const float l = (mx + mn) * 0.5f;
    const float d = mx - mn;
    float s = 0.0f;
    float h = 0.0f;
    // Grey (max equal to min) has neither saturation nor hue.
    if (d > 0.0f)
    {
        s = l <= 0.5f ? d / (mx + mn) : d / (2.0f - mx - mn);
        const float rc = (mx - r) / d, gc = (mx - g) / d, bc = (mx - b) / d;
        float sextant = 0.0f;
        if (r >= g && r >= b)
            sextant = g <= b ? 5.0f + bc : 1.0f - gc;
        if (r <= g && g >= b)
            sextant = r >= b ? 1.0f + rc : 3.0f - bc;
        if (r <= b && g <= b)
            sextant = r <= g ? 3.0f + gc : 5.0f - rc;
        h = sextant / 6.0f;
    }

    auto print = [&]() {
        std::printf("x: %d, y: %d, cr: %d, fr: %f, cg: %d, fg: %f, cb: %d, fb: %f, max: %f, min: %f\n", 0, 0,
                    colour.r, r, colour.g, g, colour.b, b, mx, mn);
        std::printf("H: %f, S: %f, L: %f\n\n", h, s, l);
    };
    if (report)
        print();

    switch (kind)
    {
    case HSLSpaceEffect::Saturate:
        s = std::min(s + 0.3f, 1.0f);
        break;
    case HSLSpaceEffect::Desaturate:
        s = std::max(s - 0.3f, 0.0f);
        break;
    case HSLSpaceEffect::HueUp:
        h = h + 0.1f;
        if (h > 1.0f)
            h -= 1.0f;
        break;
    case HSLSpaceEffect::HueDown:
        h = h - 0.1f;
        if (h < 0.0f)
            h += 1.0f;
        break;
    }
    if (report)
        print();

    // Pure black and pure white have no saturation at all (its quotient
    // would be 0 / 0): they keep their lightness and so stay as they are.
    const bool undefined = d == 0.0f && (l <= 0.5f ? mx + mn == 0.0f : 2.0f - mx - mn == 0.0f);
    float outR = l, outG = l, outB = l;
    const float q = l <= 0.5f ? l * (1.0f + s) : l + s - l * s;
    if (!undefined && q > 0.0f)
    {
        const float p = 2.0f * l - q;
        float h6 = h * 6.0f;
        if (h6 == 6.0f)
            h6 = 0.0f;
        const int sextant = std::min(std::max(static_cast<int>(h6), 0), 5);
        const float f = h6 - static_cast<float>(sextant);
        const float v = q * ((q - p) / q) * f;
        const float m1 = p + v, m2 = q - v;
        switch (sextant)
        {
        case 0: outR = q; outG = m1; outB = p; break;
        case 1: outR = m2; outG = q; outB = p; break;
        case 2: outR = p; outG = q; outB = m1; break;
        case 3: outR = p; outG = m2; outB = q; break;
        case 4: outR = m1; outG = p; outB = q; break;
        default: outR = q; outG = p; outB = m2; break;
        }
    }
    return Colour(toByte(outR), toByte(outG), toByte(outB), colour.a);
}
}
