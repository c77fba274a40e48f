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

// The high half of a sixteen-bit product.
inline std::uint16_t multiplyHigh(std::uint16_t a, std::uint16_t b)
{
    return static_cast<std::uint16_t>((static_cast<std::uint32_t>(a) * b) >> 16);
}

// The column sums keep each channel where its field lies, as far as that
// fits sixteen bits: red as its value, green as 64 times and blue as twice
// its value (the fields masked in place). Sums of 25 pixels stay below 2^16.
typedef PackedPixel<PixelFormat::RGBA5551> Pixel;
inline std::uint16_t redSum(std::uint16_t v) { return static_cast<std::uint16_t>(Pixel::red(v)); }
inline std::uint16_t greenSum(std::uint16_t v) { return static_cast<std::uint16_t>(v & Pixel::GreenBits); }
inline std::uint16_t blueSum(std::uint16_t v) { return static_cast<std::uint16_t>(v & Pixel::BlueBits); }

// Output pixel x from the window's channel sums and the column's factor, the
// source word kept in `saved` first. floor(64 S m / 2^16) without its low
// six bits is floor(S m / 2^16) in the green field, and likewise for blue.
inline void outputPixel(unsigned char* row, unsigned char* saved, int x, std::uint16_t r, std::uint16_t g,
                        std::uint16_t b, std::uint16_t m)
{
    const std::uint16_t v = loadPixel16(row + 2 * x);
    storePixel16(saved + 2 * x, v);
    storePixel16(row + 2 * x,
                 static_cast<std::uint16_t>(multiplyHigh(r, m) << 11 | (multiplyHigh(g, m) & Pixel::GreenBits) |
                                            (multiplyHigh(b, m) & Pixel::BlueBits) | (v & Pixel::AlphaBit)));
}

// Sixteen column sums, or sixteen pixel words, kept in one AVX2 register
// (two SSE ones).
typedef std::uint16_t Words16 __attribute__((vector_size(32)));

// One channel's column sums as a row is worked through 16 columns at a
// time: `at` holds the sums of the current 16 columns, `pairs` the pair
// sums c(i) + c(i + 1) of the 16 before them.
struct ChannelRun
{
    std::uint16_t* sums;
    Words16 at;
    Words16 pairs;
};

inline ChannelRun startRun(std::uint16_t* sums)
{
    ChannelRun run;
    run.sums = sums;
    Words16 before;
    std::memcpy(&before, sums - 16, sizeof before);
    std::memcpy(&run.at, sums, sizeof run.at);
    run.pairs = before + __builtin_shufflevector(before, run.at, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    return run;
}

// The window sums of one channel's 16 columns from x into `window`, then
// those columns' sums moved down a row by `change`. With the pair sums p(i),
// the window of column i is p(i - 2) + p(i) + c(i + 2): the neighbours' sums
// are shifted in from the vectors before and after, not read two columns
// aside, which would straddle cache lines every other time. The columns'
// old sums are not read again once the run has moved on.
inline void sixteenWindows(ChannelRun& run, int x, const Words16& change, std::uint16_t* window)
{
    Words16 next;
    std::memcpy(&next, run.sums + x + 16, sizeof next);
    const Words16 pair =
        run.at + __builtin_shufflevector(run.at, next, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const Words16 sum =
        __builtin_shufflevector(run.pairs, pair, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29) +
        pair + __builtin_shufflevector(run.at, next, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17);
    std::memcpy(window, &sum, sizeof sum);
    const Words16 moved = run.at + change;
    std::memcpy(run.sums + x, &moved, sizeof moved);
    run.pairs = pair;
    run.at = next;
}

// Output pixels x to x + 15 (`row`, `saved`, `in`, `out` and `factors` point
// at column x), and the column sums of those columns moved down a row: the
// channels of `in` added, those of `out` taken away.
inline void sixteenColumns(ChannelRun& red, ChannelRun& green, ChannelRun& blue, int x, const std::uint16_t* factors,
                           unsigned char* row, unsigned char* saved, const unsigned char* in, const unsigned char* out)
{
    Words16 added, taken;
    std::memcpy(&added, in, sizeof added);
    std::memcpy(&taken, out, sizeof taken);
    alignas(32) std::uint16_t r[16], g[16], b[16];
    sixteenWindows(red, x, (added >> 11) - (taken >> 11), r);
    sixteenWindows(green, x, (added & Pixel::GreenBits) - (taken & Pixel::GreenBits), g);
    sixteenWindows(blue, x, (added & Pixel::BlueBits) - (taken & Pixel::BlueBits), b);
    for (int i = 0; i < 16; ++i)
        outputPixel(row, saved, i, r[i], g[i], b[i], factors[i]);
}

// One output row, in place, from the sums of five columns of each channel
// (the sums have two zero columns on either side and 16 readable ones before
// the first and after the last, rounded up to 16), divided by multiplying
// with the column's factor, and the source's alpha bits; then the sums
// moved down a row, the packed row `in` entering, `out` leaving. The last
// columns, fewer than 16, go through buffers of 16 pixels.
TOVRANE_ROW_LOOP void outputRow(std::uint16_t* __restrict red, std::uint16_t* __restrict green,
                                std::uint16_t* __restrict blue, const std::uint16_t* __restrict factors,
                                unsigned char* __restrict row, unsigned char* __restrict saved,
                                const unsigned char* __restrict in, const unsigned char* __restrict out, int w)
{
    ChannelRun runs[3] = {startRun(red), startRun(green), startRun(blue)};
    int x = 0;
    for (; x + 16 <= w; x += 16)
        sixteenColumns(runs[0], runs[1], runs[2], x, factors + x, row + 2 * x, saved + 2 * x, in + 2 * x,
                       out + 2 * x);
    if (x < w)
    {
        const std::size_t bytes = static_cast<std::size_t>(w - x) * 2;
        alignas(32) unsigned char rowPart[32] = {0}, savedPart[32], inPart[32] = {0}, outPart[32] = {0};
        std::memcpy(rowPart, row + 2 * x, bytes);
        std::memcpy(inPart, in + 2 * x, bytes);
        std::memcpy(outPart, out + 2 * x, bytes);
        sixteenColumns(runs[0], runs[1], runs[2], x, factors + x, rowPart, savedPart, inPart, outPart);
        std::memcpy(row + 2 * x, rowPart, bytes);
        std::memcpy(saved + 2 * x, savedPart, bytes);
    }
}

// Adds the channels of the packed row `in` to the column sums.
TOVRANE_ROW_LOOP void addRow(std::uint16_t* __restrict red, std::uint16_t* __restrict green,
                             std::uint16_t* __restrict blue, const unsigned char* __restrict in, int w)
{
    for (int x = 0; x < w; ++x)
    {
        const std::uint16_t v = loadPixel16(in + 2 * x);
        red[x] = static_cast<std::uint16_t>(red[x] + redSum(v));
        green[x] = static_cast<std::uint16_t>(green[x] + greenSum(v));
        blue[x] = static_cast<std::uint16_t>(blue[x] + blueSum(v));
    }
}

// The blur of an RGBA5551 picture, on its 5-bit channels: the 8-bit result
// floor(8 S / n) keeps its top five bits, floor(S / n), S being the sum of
// the 5-bit values. Sixteen-bit lanes throughout, one pass over each row;
// pictures at least 2 wide.
void blur5551(Texture& picture)
{
    const int w = picture.getWidth(), h = picture.getHeight(), pitch = picture.getPitch();
    // floor(s / n) = (s x ceil(2^16 / n)) >> 16 for s up to 31 n, n from 2 to 25.
    std::uint16_t reciprocal[26] = {0};
    for (int n = 2; n <= 25; ++n)
        reciprocal[n] = static_cast<std::uint16_t>(((1u << 16) + n - 1) / n);

    // One block of rows of `stride` words, column 0 of each 16 words in and
    // starting a 32-byte line: the column sums of each channel over the
    // window's rows (zero on either side), each column's factor for the
    // window's current number of rows, source rows y - 2 to y, kept in slot
    // j % 3 before the output replaces them (a row leaves the sums two rows
    // after it was overwritten), and a row of zeros for rows outside the
    // picture.
    const std::size_t stride = (static_cast<std::size_t>(w) + 15) / 16 * 16 + 32;
    std::vector<std::uint16_t> block(stride * 8 + 16, 0);
    std::uint16_t* line = block.data();
    line += (32 - reinterpret_cast<std::uintptr_t>(line) % 32) % 32 / 2;
    auto rowOfBlock = [&](int k) { return line + stride * k + 16; };
    std::uint16_t* const red = rowOfBlock(0);
    std::uint16_t* const green = rowOfBlock(1);
    std::uint16_t* const blue = rowOfBlock(2);
    std::uint16_t* const factors = rowOfBlock(3);
    auto savedRow = [&](int j) { return reinterpret_cast<unsigned char*>(rowOfBlock(4 + j % 3)); };
    const unsigned char* const zeros = reinterpret_cast<const unsigned char*>(rowOfBlock(7));
    int factorRows = 0;
    auto row = [&](int j) { return picture.getPixels() + static_cast<std::ptrdiff_t>(j) * pitch; };
    picture.releaseBindings();
    for (int y = 0; y <= std::min(2, h - 1); ++y)
        addRow(red, green, blue, row(y), w);
    for (int y = 0; y < h; ++y)
    {
        const int rows = std::min(y + 2, h - 1) - std::max(y - 2, 0) + 1;
        if (rows != factorRows)
        {
            // Five columns inside the row, fewer in the two at either edge.
            std::fill(factors, factors + w, reciprocal[rows * std::min(5, w)]);
            for (int x = 0; x < w; x = (x == 1 && w > 4) ? w - 2 : x + 1)
                factors[x] = reciprocal[rows * (std::min(x + 2, w - 1) - std::max(x - 2, 0) + 1)];
            factorRows = rows;
        }
        outputRow(red, green, blue, factors, row(y), savedRow(y), y + 3 < h ? row(y + 3) : zeros,
                  y >= 2 ? savedRow(y - 2) : zeros, w);
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
    if (picture->getFormat() == PixelFormat::RGBA5551 && w >= 2)
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
