#include "PaletteArt.h"

#include "TitleFiles.h"

#include <cstdlib>

namespace TovraneTools
{
namespace
{
typedef bool (*Design)(int x, int y);

int squared(int v) { return v * v; }

// A fixed scatter: the same pixels for the same position whatever the name.
unsigned int scatter(int x, int y)
{
    unsigned int h = static_cast<unsigned int>(x) * 73856093u ^ static_cast<unsigned int>(y) * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return h ^ (h >> 15);
}

struct NamedDesign
{
    const char* name;
    Design paints;
};

const NamedDesign designs[] = {
    {"solid", [](int, int) { return true; }},
    {"hstripes", [](int, int y) { return (y / 4) % 2 == 0; }},
    {"vstripes", [](int x, int) { return (x / 4) % 2 == 0; }},
    {"diagonal", [](int x, int y) { return ((x + y) / 4) % 2 == 0; }},
    {"checks", [](int x, int y) { return (x / 8 + y / 8) % 2 == 0; }},
    {"dots", [](int x, int y) { return squared(x % 8 - 4) + squared(y % 8 - 4) <= 5; }},
    {"grid", [](int x, int y) { return x % 8 == 0 || y % 8 == 0; }},
    {"waves", [](int x, int y) { return (y + std::abs(x % 16 - 8) / 2) % 8 < 2; }},
    {"bricks", [](int x, int y) { return y % 8 == 0 || (x + (y / 8 % 2) * 8) % 16 == 0; }},
    {"zigzag", [](int x, int y) { return (y + std::abs(x % 8 - 4)) % 8 < 2; }},
    {"crosses", [](int x, int y) {
         return (x % 8 == 4 || y % 8 == 4) && std::abs(x % 8 - 4) + std::abs(y % 8 - 4) <= 2;
     }},
    {"rings", [](int x, int y) {
         const int d = squared(x % 16 - 8) + squared(y % 16 - 8);
         return d >= 16 && d <= 36;
     }},
    {"hatch", [](int x, int y) { return (x + y) % 8 == 0 || (x - y + 64) % 8 == 0; }},
    {"confetti", [](int x, int y) { return scatter(x % 16, y % 16) % 6 == 0; }},
    {"weave", [](int x, int y) {
         const bool across = (x / 8 + y / 8) % 2 == 0;
         return across ? y % 8 == 0 || y % 8 == 7 : x % 8 == 0 || x % 8 == 7;
     }},
};

Design findDesign(const std::string& name)
{
    for (const NamedDesign& d : designs)
        if (name == d.name)
            return d.paints;
    return nullptr;
}

// A look drawn in a marker colour whose red channel is the index.
Look indexLook(Look look, int index)
{
    look.colour = Colour{static_cast<std::uint8_t>(index), 0, 0, 255};
    return look;
}
}

bool isDesign(const std::string& design) { return findDesign(design) != nullptr; }

std::string designNames()
{
    std::string names;
    for (const NamedDesign& d : designs)
        names += (names.empty() ? "" : ", ") + std::string(d.name);
    return names;
}

Picture drawMask(const MaskEntry& mask)
{
    Picture shape(mask.look.width, mask.look.height);
    drawShape(shape, indexLook(mask.look, 1));
    Picture out(mask.look.width, mask.look.height);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if (shape.get(x, y).a != 0 && static_cast<int>(scatter(x, y) % 100) < mask.grain)
                out.set(x, y, Colour{0, 0, 0, 255});
    return out;
}

PalettePicture drawPalettePicture(const PaletteEntry& entry)
{
    const int w = entry.look.width, h = entry.look.height;
    PalettePicture out;
    out.width = w;
    out.height = h;
    out.indices.assign(static_cast<size_t>(w) * h, 0);
    const Colour white{255, 255, 255, 255};
    if (!entry.design.empty())
    {
        const Design paints = findDesign(entry.design);
        out.palette = {entry.look.colour, white};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                out.indices[static_cast<size_t>(y) * w + x] = paints(x, y) ? 0 : 1;
        return out;
    }
    // A stamp: the shape, and a copy of half its size in the middle.
    out.palette = {white, entry.look.colour, contrastingColour(entry.look.colour)};
    Picture marks(w, h);
    drawShape(marks, indexLook(entry.look, 1));
    Look inner = indexLook(entry.look, 2);
    inner.width = w / 2;
    inner.height = h / 2;
    Picture middle(inner.width, inner.height);
    drawShape(middle, inner);
    marks.stamp(middle, w / 4, h / 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.indices[static_cast<size_t>(y) * w + x] = marks.get(x, y).a ? marks.get(x, y).r : 0;
    return out;
}
}
