#include "Resources/Drawing/Effects/BlurEffect.h"

#include <algorithm>
#include <cstring>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, BlurEffect, Effect);

namespace
{
// Adds (sign 1) or removes (sign -1) one row's channels to the column sums.
void accumulate(const std::uint32_t* row, int w, int sign, std::uint16_t* red, std::uint16_t* green,
                std::uint16_t* blue)
{
    if (sign > 0)
        for (int x = 0; x < w; ++x)
        {
            red[x] = static_cast<std::uint16_t>(red[x] + (row[x] & 0xFF));
            green[x] = static_cast<std::uint16_t>(green[x] + ((row[x] >> 8) & 0xFF));
            blue[x] = static_cast<std::uint16_t>(blue[x] + ((row[x] >> 16) & 0xFF));
        }
    else
        for (int x = 0; x < w; ++x)
        {
            red[x] = static_cast<std::uint16_t>(red[x] - (row[x] & 0xFF));
            green[x] = static_cast<std::uint16_t>(green[x] - ((row[x] >> 8) & 0xFF));
            blue[x] = static_cast<std::uint16_t>(blue[x] - ((row[x] >> 16) & 0xFF));
        }
}

// The sum of columns x - 2 to x + 2 of one channel, clipped to the row.
inline std::uint32_t window(const std::uint16_t* c, int x, int w)
{
    std::uint32_t s = 0;
    for (int i = std::max(x - 2, 0); i <= std::min(x + 2, w - 1); ++i)
        s += c[i];
    return s;
}

// The blur of an RGBA5551 picture, on its 5-bit channels: the 8-bit result
// floor(8 S / n) keeps its top five bits, floor(S / n), S being the sum of
// the 5-bit values. Sixteen-bit lanes throughout; pictures at least 5 wide.
void blur5551(Texture& picture)
{
    const int w = picture.getWidth(), h = picture.getHeight();
    // floor(s / n) = (s x ceil(2^16 / n)) >> 16 for s up to 31 n, n from 2 to 25.
    std::uint16_t reciprocal[26] = {0};
    for (int n = 2; n <= 25; ++n)
        reciprocal[n] = static_cast<std::uint16_t>(((1u << 16) + n - 1) / n);

    // Unpacked source rows still needed, row j in slot j % 6: three channel
    // planes and the alpha bits.
    const int slots = 6;
    std::vector<std::uint16_t> planes(static_cast<std::size_t>(w) * slots * 4);
    auto plane = [&](int j, int channel) { return planes.data() + (static_cast<std::size_t>(j % slots) * 4 + channel) * w; };
    auto unpack = [&](int j) {
        std::uint16_t* r = plane(j, 0);
        std::uint16_t* g = plane(j, 1);
        std::uint16_t* b = plane(j, 2);
        std::uint16_t* a = plane(j, 3);
        const unsigned char* row = picture.getPixels() + j * picture.getPitch();
        for (int x = 0; x < w; ++x)
        {
            std::uint16_t v;
            std::memcpy(&v, row + 2 * x, 2);
            r[x] = static_cast<std::uint16_t>(v >> 11);
            g[x] = static_cast<std::uint16_t>((v >> 6) & 31);
            b[x] = static_cast<std::uint16_t>((v >> 1) & 31);
            a[x] = static_cast<std::uint16_t>(v & 1);
        }
    };
    std::vector<std::uint16_t> sums(static_cast<std::size_t>(w) * 3, 0);
    auto add = [&](int j, int sign) {
        for (int c = 0; c < 3; ++c)
        {
            std::uint16_t* s = sums.data() + static_cast<std::size_t>(c) * w;
            const std::uint16_t* p = plane(j, c);
            if (sign > 0)
                for (int x = 0; x < w; ++x)
                    s[x] = static_cast<std::uint16_t>(s[x] + p[x]);
            else
                for (int x = 0; x < w; ++x)
                    s[x] = static_cast<std::uint16_t>(s[x] - p[x]);
        }
    };
    std::vector<std::uint16_t> result(static_cast<std::size_t>(w) * 3);
    std::vector<std::uint16_t> out(static_cast<std::size_t>(w));

    picture.releaseBindings();
    for (int y = 0; y <= std::min(2, h - 1); ++y)
    {
        unpack(y);
        add(y, 1);
    }
    for (int y = 0; y < h; ++y)
    {
        const int rows = std::min(y + 2, h - 1) - std::max(y - 2, 0) + 1;
        for (int c = 0; c < 3; ++c)
        {
            const std::uint16_t* s = sums.data() + static_cast<std::size_t>(c) * w;
            std::uint16_t* res = result.data() + static_cast<std::size_t>(c) * w;
            const std::uint16_t m = reciprocal[rows * 5];
            for (int x = 2; x < w - 2; ++x)
            {
                const std::uint16_t total =
                    static_cast<std::uint16_t>(s[x - 2] + s[x - 1] + s[x] + s[x + 1] + s[x + 2]);
                res[x] = static_cast<std::uint16_t>((static_cast<std::uint32_t>(total) * m) >> 16);
            }
            for (int x : {0, 1, w - 2, w - 1})
            {
                const int n = rows * (std::min(x + 2, w - 1) - std::max(x - 2, 0) + 1);
                res[x] = static_cast<std::uint16_t>((window(s, x, w) * reciprocal[n]) >> 16);
            }
        }
        const std::uint16_t* r = result.data();
        const std::uint16_t* g = r + w;
        const std::uint16_t* b = g + w;
        const std::uint16_t* a = plane(y, 3);
        for (int x = 0; x < w; ++x)
            out[x] = static_cast<std::uint16_t>(r[x] << 11 | g[x] << 6 | b[x] << 1 | a[x]);
        if (y + 3 < h)
        {
            unpack(y + 3);
            add(y + 3, 1);
        }
        if (y >= 2)
            add(y - 2, -1);
        std::memcpy(picture.getPixels() + y * picture.getPitch(), out.data(), static_cast<std::size_t>(w) * 2);
    }
}
}

BlurEffect::BlurEffect() {}

BlurEffect::~BlurEffect() {}

void BlurEffect::run(TexturePtr picture)
{
    const int w = picture->getWidth(), h = picture->getHeight();
    if (w <= 0 || h <= 0)
        return;
    if (picture->getFormat() == PixelFormat::RGBA5551 && w >= 5)
    {
        blur5551(*picture);
        return;
    }

    // Division by the window's pixel count n (1 to 25) as a multiplication:
    // for sums up to n x 255, (s x ceil(2^20 / n)) >> 20 is exactly s / n.
    std::uint32_t reciprocal[26] = {0};
    for (int n = 1; n <= 25; ++n)
        reciprocal[n] = ((1u << 20) + n - 1) / n;

    // The source rows still needed, unpacked: row j lives in slot j % 6
    // (the window's five rows and the next one). A picture row is read before
    // its output replaces it, so the picture is blurred in place.
    const int slots = 6;
    std::vector<std::uint32_t> rows(static_cast<std::size_t>(w) * slots);
    auto sourceRow = [&](int j) { return rows.data() + static_cast<std::size_t>(j % slots) * w; };
    std::vector<std::uint32_t> out(static_cast<std::size_t>(w));

    // The colour sums of each column over the window's rows, kept up to date
    // as the window moves down; each output pixel sums five of them. The sums
    // are exact, so the result is that of summing every window pixel by pixel.
    std::vector<std::uint16_t> red(w, 0), green(w, 0), blue(w, 0);
    for (int y = 0; y <= std::min(2, h - 1); ++y)
    {
        readRows(*picture, y, 1, sourceRow(y));
        accumulate(sourceRow(y), w, 1, red.data(), green.data(), blue.data());
    }
    for (int y = 0; y < h; ++y)
    {
        // The column sums hold rows max(y - 2, 0) to min(y + 2, h - 1).
        const int windowRows = std::min(y + 2, h - 1) - std::max(y - 2, 0) + 1;
        const std::uint32_t* in = sourceRow(y);
        const std::uint16_t* r = red.data();
        const std::uint16_t* g = green.data();
        const std::uint16_t* b = blue.data();
        // Inside the row the window is five columns wide.
        const std::uint32_t m = reciprocal[windowRows * std::min(5, w)];
        for (int x = 2; x < w - 2; ++x)
        {
            const std::uint32_t sr = static_cast<std::uint32_t>(r[x - 2]) + r[x - 1] + r[x] + r[x + 1] + r[x + 2];
            const std::uint32_t sg = static_cast<std::uint32_t>(g[x - 2]) + g[x - 1] + g[x] + g[x + 1] + g[x + 2];
            const std::uint32_t sb = static_cast<std::uint32_t>(b[x - 2]) + b[x - 1] + b[x] + b[x + 1] + b[x + 2];
            out[x] = ((sr * m) >> 20) | ((sg * m) >> 20) << 8 | ((sb * m) >> 20) << 16 | (in[x] & 0xFF000000u);
        }
        // The two columns at either edge have clipped windows.
        for (int x = 0; x < w; x = (x == 1 && w > 4) ? w - 2 : x + 1)
        {
            const std::uint32_t n = reciprocal[windowRows * (std::min(x + 2, w - 1) - std::max(x - 2, 0) + 1)];
            out[x] = ((window(r, x, w) * n) >> 20) | ((window(g, x, w) * n) >> 20) << 8 |
                     ((window(b, x, w) * n) >> 20) << 16 | (in[x] & 0xFF000000u);
        }
        if (y + 3 < h)
        {
            readRows(*picture, y + 3, 1, sourceRow(y + 3));
            accumulate(sourceRow(y + 3), w, 1, red.data(), green.data(), blue.data());
        }
        if (y >= 2)
            accumulate(sourceRow(y - 2), w, -1, red.data(), green.data(), blue.data());
        writeRows(*picture, y, 1, out.data());
    }
}
}
