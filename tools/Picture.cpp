#include "Picture.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace TovraneTools
{
Picture::Picture(int width, int height, Colour fill) :
    w(std::max(width, 0)), h(std::max(height, 0)), pixels(static_cast<size_t>(w) * h * 4)
{
    fillRect(0, 0, w, h, fill);
}

Colour Picture::get(int x, int y) const
{
    if (x < 0 || y < 0 || x >= w || y >= h)
        return Colour{0, 0, 0, 0};
    const std::uint8_t* p = &pixels[(static_cast<size_t>(y) * w + x) * 4];
    return Colour{p[0], p[1], p[2], p[3]};
}

void Picture::set(int x, int y, Colour c)
{
    if (x < 0 || y < 0 || x >= w || y >= h)
        return;
    std::uint8_t* p = &pixels[(static_cast<size_t>(y) * w + x) * 4];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
    p[3] = c.a;
}

void Picture::fillRect(int x, int y, int width, int height, Colour colour)
{
    int x0 = std::max(x, 0), y0 = std::max(y, 0);
    int x1 = std::min(x + width, w), y1 = std::min(y + height, h);
    for (int py = y0; py < y1; ++py)
        for (int px = x0; px < x1; ++px)
            set(px, py, colour);
}

void Picture::frameRect(int x, int y, int width, int height, int t, Colour colour)
{
    fillRect(x, y, width, t, colour);
    fillRect(x, y + height - t, width, t, colour);
    fillRect(x, y, t, height, colour);
    fillRect(x + width - t, y, t, height, colour);
}

void Picture::fillRoundRect(int x, int y, int width, int height, int radius, Colour colour)
{
    radius = std::max(0, std::min(radius, std::min(width, height) / 2));
    for (int py = 0; py < height; ++py)
        for (int px = 0; px < width; ++px)
        {
            // Distance test against the nearest corner centre, only in the corners.
            int cx = px < radius ? radius : (px >= width - radius ? width - radius - 1 : px);
            int cy = py < radius ? radius : (py >= height - radius ? height - radius - 1 : py);
            int dx = px - cx, dy = py - cy;
            if (dx * dx + dy * dy <= radius * radius)
                set(x + px, y + py, colour);
        }
}

void Picture::fillEllipse(int x, int y, int width, int height, Colour colour)
{
    if (width <= 0 || height <= 0)
        return;
    // Pixel centres inside the ellipse inscribed in the rectangle.
    double rx = width / 2.0, ry = height / 2.0;
    for (int py = 0; py < height; ++py)
        for (int px = 0; px < width; ++px)
        {
            double dx = (px + 0.5 - rx) / rx, dy = (py + 0.5 - ry) / ry;
            if (dx * dx + dy * dy <= 1.0)
                set(x + px, y + py, colour);
        }
}

void Picture::fillTriangle(int x, int y, int width, int height, Colour colour)
{
    for (int py = 0; py < height; ++py)
    {
        // Row py spans a width growing linearly from the apex to the base.
        int span = static_cast<int>((py + 1) * static_cast<long long>(width) / height);
        int left = (width - span) / 2;
        fillRect(x + left, y + py, span, 1, colour);
    }
}

void Picture::fillDiamond(int x, int y, int width, int height, Colour colour)
{
    for (int py = 0; py < height; ++py)
    {
        int fromEdge = std::min(py, height - 1 - py);
        int span = static_cast<int>((2 * fromEdge + 1) * static_cast<long long>(width) / height);
        span = std::min(span, width);
        fillRect(x + (width - span) / 2, y + py, span, 1, colour);
    }
}

void Picture::paste(const Picture& source, int x, int y)
{
    for (int py = 0; py < source.height(); ++py)
        for (int px = 0; px < source.width(); ++px)
            set(x + px, y + py, source.get(px, py));
}

void Picture::stamp(const Picture& source, int x, int y)
{
    for (int py = 0; py < source.height(); ++py)
        for (int px = 0; px < source.width(); ++px)
        {
            Colour c = source.get(px, py);
            if (c.a != 0)
                set(x + px, y + py, c);
        }
}

Picture Picture::rotatedClockwise() const
{
    // Source pixel (x, y) lands at (h - 1 - y, x): the top row becomes the
    // right column, read downwards.
    Picture turned(h, w);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            turned.set(h - 1 - y, x, get(x, y));
    return turned;
}

Colour contrastingColour(Colour background)
{
    int luminance = (299 * background.r + 587 * background.g + 114 * background.b) / 1000;
    return luminance > 140 ? Colour{16, 16, 16, 255} : Colour{255, 255, 255, 255};
}

bool parseColour(const std::string& text, Colour& colour)
{
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#')
        return false;
    for (size_t i = 1; i < text.size(); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(text[i])))
            return false;
    auto channel = [&](size_t at) {
        return static_cast<std::uint8_t>(std::strtoul(text.substr(at, 2).c_str(), nullptr, 16));
    };
    colour = Colour{channel(1), channel(3), channel(5), text.size() == 9 ? channel(7) : std::uint8_t(255)};
    return true;
}
}
