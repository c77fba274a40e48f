#include "TitleFiles.h"

#include "PixelFont.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/stat.h>

namespace TovraneTools
{
namespace
{
void putInt(std::string& out, std::int32_t value)
{
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

void putString(std::string& out, const std::string& text)
{
    // Names are checked to be at most 255 bytes when the manifest is read.
    out.push_back(static_cast<char>(static_cast<unsigned char>(text.size())));
    out += text;
}

// The studio's colour wheel, drawn by the rule its touch handling judges by:
// for the pixel (x, y) with dx = x - w / 2 and dy = h / 2 - y (y up), nothing
// within 24 and beyond 75 pixels, dark below and light level with or above
// the middle up to 31 pixels, then six 60-degree sectors counter-clockwise
// from the right: green, yellow, orange, red, purple, blue.
void drawColourWheel(Picture& picture)
{
    static const Colour sectors[6] = {{0, 255, 0, 255}, {255, 255, 0, 255}, {255, 127, 0, 255},
        {255, 0, 0, 255}, {127, 0, 255, 255}, {0, 0, 255, 255}};
    const Colour dark{64, 64, 64, 255}, light{255, 255, 255, 255};
    const int w = picture.width(), h = picture.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const int dx = x - w / 2, dy = h / 2 - y, d2 = dx * dx + dy * dy;
            if (d2 < 24 * 24 || d2 > 75 * 75)
                continue;
            if (d2 <= 31 * 31)
            {
                picture.set(x, y, dy < 0 ? dark : light);
                continue;
            }
            double degrees = std::atan2(static_cast<double>(dy), static_cast<double>(dx)) * 180.0 / M_PI;
            if (degrees < 0)
                degrees += 360.0;
            picture.set(x, y, sectors[static_cast<int>(degrees / 60.0) % 6]);
        }
}

// A drop: a disc in the lower part of the picture narrowing to a point at
// the top.
void drawDrop(Picture& picture, Colour c)
{
    const int w = picture.width(), h = picture.height();
    const double r = w / 2.0, cy = h - r;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const double px = x + 0.5 - r, py = y + 0.5;
            const bool inDisc = px * px + (py - cy) * (py - cy) <= r * r;
            const bool inTip = py < cy && std::abs(px) <= r * py / cy;
            if (inDisc || inTip)
                picture.set(x, y, c);
        }
}

// A tall list: the colour as paper, and on it a numbered line of text every
// 22 rows ("LINE 1", "LINE 2", ...), so that a scrolled view shows where it is.
void drawLines(Picture& picture, Colour paper)
{
    const int w = picture.width(), h = picture.height();
    picture.fillRect(0, 0, w, h, paper);
    const Colour ink = contrastingColour(paper);
    const int spacing = 22, scale = 2;
    for (int n = 1, top = 6; top + PixelFont::textHeight(scale) <= h; ++n, top += spacing)
        PixelFont::draw(picture, w / 10, top, "LINE " + std::to_string(n), scale, ink);
}

// The lesson's colour pie: six 60-degree segments in the exact colours the
// mixing game judges, clockwise from the top: red, orange, yellow, green,
// blue, purple (each secondary between its two primaries). Nothing inside a
// fifth of the size (the centre) and outside the edge.
void drawColourPie(Picture& picture)
{
    static const Colour segments[6] = {{192, 0, 0, 255}, {240, 144, 0, 255}, {240, 240, 0, 255},
        {48, 144, 0, 255}, {0, 0, 192, 255}, {144, 0, 192, 255}};
    const int w = picture.width(), h = picture.height(), outer = std::min(w, h) / 2 - 1,
              inner = std::min(w, h) / 5;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const int dx = x - w / 2, dy = h / 2 - y, d2 = dx * dx + dy * dy;
            if (d2 < inner * inner || d2 > outer * outer)
                continue;
            double degrees = std::atan2(static_cast<double>(dx), static_cast<double>(dy)) * 180.0 / M_PI + 30.0;
            if (degrees < 0)
                degrees += 360.0;
            picture.set(x, y, segments[static_cast<int>(degrees / 60.0) % 6]);
        }
}

// The pie's centre: a disc that fills the pie's hole, on a transparent
// picture of the pie's size.
void drawHub(Picture& picture, Colour c)
{
    const int w = picture.width(), h = picture.height(), r = std::min(w, h) / 5 - 3;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const int dx = x - w / 2, dy = h / 2 - y;
            if (dx * dx + dy * dy <= r * r)
                picture.set(x, y, c);
        }
}

// Sky above and ground below a dark horizon line on row 3h/5 - 1 (row 143
// of a 240-row picture).
void drawHorizon(Picture& picture)
{
    const int w = picture.width(), h = picture.height(), line = 3 * h / 5 - 1;
    picture.fillRect(0, 0, w, line, Colour{120, 190, 240, 255});
    picture.fillRect(0, line, w, 1, Colour{40, 40, 40, 255});
    picture.fillRect(0, line + 1, w, h - line - 1, Colour{90, 170, 80, 255});
}

// The warm-and-cool painting's areas: 0 sun, 1 sea, 2 grass, 3 flowers,
// 4 sky, 5 mountain (the numbers the game's mask colours stand for).
int paintingArea(int x, int y, int w, int h)
{
    const double u = (x + 0.5) / w, v = (y + 0.5) / h;
    auto inDisc = [&](double cu, double cv, double r) {
        const double du = (u - cu) * w, dv = (v - cv) * h;
        return du * du + dv * dv <= r * r * h * h;
    };
    if (v >= 0.62)
        return inDisc(0.15, 0.8, 0.05) || inDisc(0.35, 0.9, 0.05) || inDisc(0.5, 0.75, 0.05) ? 3 : 2;
    if (v >= 0.42)
        return 1;
    if (inDisc(0.2, 0.2, 0.11))
        return 0;
    // A mountain with its peak at (0.72, 0.22) and its foot on the sea.
    const double half = 0.175 * (v - 0.22) / 0.2;
    return v >= 0.22 && std::abs(u - 0.72) <= half ? 5 : 4;
}

// The painting (soft colours) or its mask (the six exact region colours),
// with a dark outline, black in the mask, wherever two areas meet.
void drawPainting(Picture& picture, bool mask)
{
    static const Colour painted[6] = {{240, 90, 40, 255}, {40, 90, 200, 255}, {60, 170, 70, 255},
        {250, 220, 60, 255}, {150, 210, 240, 255}, {150, 80, 170, 255}};
    static const Colour exact[6] = {{255, 0, 0, 255}, {0, 0, 255, 255}, {0, 255, 0, 255}, {255, 255, 0, 255},
        {0, 255, 255, 255}, {255, 0, 255, 255}};
    const int w = picture.width(), h = picture.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const int area = paintingArea(x, y, w, h);
            const bool edge = (x + 1 < w && paintingArea(x + 1, y, w, h) != area) ||
                              (y + 1 < h && paintingArea(x, y + 1, w, h) != area) ||
                              (x > 0 && paintingArea(x - 1, y, w, h) != area) ||
                              (y > 0 && paintingArea(x, y - 1, w, h) != area);
            if (edge)
                picture.set(x, y, mask ? Colour{0, 0, 0, 255} : Colour{50, 40, 40, 255});
            else
                picture.set(x, y, mask ? exact[area] : painted[area]);
        }
}

// Redraws the shape's outermost pixels (those with a transparent or missing
// neighbour) in the rim colour.
void drawRim(Picture& picture, Colour rim)
{
    const Picture shape = picture;
    auto clear = [&](int x, int y) { return shape.get(x, y).a == 0; };
    for (int y = 0; y < shape.height(); ++y)
        for (int x = 0; x < shape.width(); ++x)
            if (!clear(x, y) && (clear(x - 1, y) || clear(x + 1, y) || clear(x, y - 1) || clear(x, y + 1)))
                picture.set(x, y, rim);
}

// Picks the label's colour from the shape's colour, or black on a frame.
Colour labelColour(const Look& look)
{
    return look.shape == "frame" ? Colour{16, 16, 16, 255} : contrastingColour(look.colour);
}
}

void drawShape(Picture& picture, const Look& look)
{
    int w = picture.width(), h = picture.height();
    Colour c = look.colour;
    if (look.shape == "wheel")
        drawColourWheel(picture);
    else if (look.shape == "pie")
        drawColourPie(picture);
    else if (look.shape == "hub")
        drawHub(picture, c);
    else if (look.shape == "horizon")
        drawHorizon(picture);
    else if (look.shape == "painting" || look.shape == "paintingmask")
        drawPainting(picture, look.shape == "paintingmask");
    else if (look.shape == "drop")
        drawDrop(picture, c);
    else if (look.shape == "lines")
        drawLines(picture, c);
    else if (look.shape == "rect")
        picture.fillRect(0, 0, w, h, c);
    else if (look.shape == "ellipse")
        picture.fillEllipse(0, 0, w, h, c);
    else if (look.shape == "triangle")
        picture.fillTriangle(0, 0, w, h, c);
    else if (look.shape == "diamond")
        picture.fillDiamond(0, 0, w, h, c);
    else if (look.shape == "frame")
        picture.frameRect(0, 0, w, h, std::max(1, std::min(w, h) / 10), c);
    else
        picture.fillRoundRect(0, 0, w, h, std::min(w, h) / 6, c);
}

std::string encodeTex(const std::vector<TexBlock>& blocks)
{
    std::string out;
    for (const TexBlock& block : blocks)
    {
        putString(out, block.texture);
        putInt(out, static_cast<std::int32_t>(block.records.size()));
        for (const TexRecord& r : block.records)
        {
            putString(out, r.name);
            putInt(out, r.flags);
            putInt(out, r.left);
            putInt(out, r.right);
            putInt(out, r.top);
            putInt(out, r.bottom);
            putInt(out, r.x);
            putInt(out, r.y);
        }
    }
    return out;
}

std::string encodeChr(const std::vector<CharacterEntry>& characters)
{
    std::string out;
    for (const CharacterEntry& character : characters)
    {
        putString(out, character.name);
        putInt(out, static_cast<std::int32_t>(character.animations.size()));
        for (const AnimationEntry& animation : character.animations)
        {
            putString(out, animation.folder);
            putString(out, animation.name);
            putInt(out, animation.frames);
        }
    }
    return out;
}

std::string readableName(const std::string& path)
{
    std::string name = path.substr(path.find_last_of('/') + 1);
    name = name.substr(0, name.find_last_of('.'));
    for (const std::string state : {"_up", "_down"})
        if (name.size() > state.size() && name.compare(name.size() - state.size(), state.size(), state) == 0)
            name.erase(name.size() - state.size());
    std::replace(name.begin(), name.end(), '_', ' ');
    return name;
}

Picture drawPlaceholder(const Look& look, const std::string& label)
{
    Picture picture(look.width, look.height);
    drawShape(picture, look);
    if (look.rimmed)
        drawRim(picture, look.rim);
    // Pictures that the game samples or recolours carry no text.
    static const char* const unlabelled[] = {"wheel", "drop", "pie", "hub", "paintingmask", "lines"};
    if (label.empty() || std::find(std::begin(unlabelled), std::end(unlabelled), look.shape) != std::end(unlabelled))
        return picture;
    // The text stays inside the shape: below the middle of a triangle, off
    // the rounded corners and inside a frame's border of a large picture
    // (small ones keep their side margins).
    const int w = look.width, h = look.height, side = std::min(w, h);
    const bool large = side >= 48;
    int left = side / 6, top = 0, bottom = 0;
    if (look.shape == "triangle")
        top = h / 2;
    else if (look.shape == "rect")
        left = std::max(2, side / 12);
    else if (look.shape == "frame" && !large)
        left = 2;
    else if (look.shape == "frame")
        left = top = bottom = std::max(1, side / 10) + 1;
    else if (look.shape == "round" && large)
    {
        left = 1;
        top = bottom = side / 6;
    }
    const int scale = std::max({2, std::min(4, side / 16), side / 60});
    std::string text = label;
    std::replace(text.begin(), text.end(), '_', ' ');
    PixelFont::drawWrapped(picture, left, top, w - 2 * left, h - top - bottom, text, scale, labelColour(look));
    return picture;
}

Picture drawAnimationFrame(const Look& look, const std::string& label, int frame, int frameCount,
    const std::string& motion)
{
    Picture picture(look.width, look.height);
    int w = look.width, h = look.height;
    double t = frameCount > 1 ? static_cast<double>(frame) / (frameCount - 1) : 0.0;
    Colour mark = labelColour(look);
    int ball = std::max(4, std::min(w, h) / 3);

    if (motion == "blink" && frame % 2 == 1)
    {
        Look outline = look;
        outline.shape = "frame";
        drawShape(picture, outline);
    }
    else
        drawShape(picture, look);

    if (motion == "slide")
    {
        // A ball crossing from left to right.
        int x = static_cast<int>(std::lround(t * (w - ball)));
        picture.fillEllipse(x, (h - ball) / 3, ball, ball, mark);
    }
    else if (motion == "grow")
    {
        int size = std::max(2, static_cast<int>(std::lround((0.15 + 0.85 * t) * std::min(w, h) * 0.6)));
        picture.fillEllipse((w - size) / 2, (h - size) / 2 - h / 8, size, size, mark);
    }
    else if (motion == "spin")
    {
        // A dot going once round the middle.
        double angle = 2.0 * 3.14159265358979 * (frameCount > 0 ? static_cast<double>(frame) / frameCount : 0.0);
        int r = std::min(w, h) / 4;
        int cx = w / 2 + static_cast<int>(std::lround(std::sin(angle) * r));
        int cy = h / 2 - h / 8 - static_cast<int>(std::lround(std::cos(angle) * r));
        picture.fillEllipse(cx - ball / 4, cy - ball / 4, ball / 2, ball / 2, mark);
    }
    int textHeight = std::max(7, h / 5);
    PixelFont::drawCentred(picture, 2, h - textHeight - 2, w - 4, textHeight, label, 2, mark);
    return picture;
}

Picture drawDadUzoAtlas()
{
    struct Glyph
    {
        char c;
        int x, y, w, h;
    };
    static const Glyph table[] = {{'A', 0, 0, 10, 11}, {'B', 10, 0, 10, 11}, {'C', 20, 0, 10, 11},
        {'D', 30, 0, 10, 11}, {'E', 40, 0, 9, 11}, {'F', 49, 0, 8, 11}, {'G', 0, 11, 9, 11}, {'H', 9, 11, 10, 11},
        {'I', 19, 11, 4, 11}, {'J', 23, 11, 10, 11}, {'K', 33, 11, 10, 11}, {'L', 43, 11, 8, 11},
        {'M', 51, 11, 12, 11}, {'N', 0, 22, 10, 11}, {'O', 10, 22, 11, 12}, {'P', 21, 22, 9, 12},
        {'Q', 30, 22, 11, 14}, {'R', 41, 22, 10, 11}, {'S', 51, 22, 10, 11}, {'T', 0, 36, 9, 11},
        {'U', 9, 36, 10, 11}, {'V', 19, 36, 10, 11}, {'W', 29, 36, 12, 11}, {'X', 41, 36, 10, 11},
        {'Y', 51, 36, 10, 11}, {'Z', 0, 47, 10, 11}, {'\'', 9, 47, 4, 11}, {'-', 13, 47, 6, 11}};
    Picture atlas(64, 64);
    const Colour ink{0, 0, 0, 255};
    for (const Glyph& g : table)
    {
        // Each glyph drawn at scale 2 (6 x 10) from the left of its cell; the
        // two narrow cells get a plain stroke instead.
        Picture cell(g.w, g.h);
        if (g.c == 'I')
            cell.fillRect(1, 0, 2, 10, ink);
        else if (g.c == '\'')
            cell.fillRect(1, 0, 2, 4, ink);
        else
            PixelFont::draw(cell, 0, 0, std::string(1, g.c), 2, ink);
        atlas.paste(cell, g.x, g.y);
    }
    return atlas;
}

void makeFolders(const std::string& folder)
{
    for (size_t pos = folder.find('/', 1); pos != std::string::npos; pos = folder.find('/', pos + 1))
        ::mkdir(folder.substr(0, pos).c_str(), 0755);
    ::mkdir(folder.c_str(), 0755);
}

bool writeBytes(const std::string& path, const std::string& bytes)
{
    size_t slash = path.find_last_of('/');
    if (slash != std::string::npos)
        makeFolders(path.substr(0, slash));
    std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
    {
        std::printf("Could not save file %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0)
    {
        std::remove(temporary.c_str());
        std::printf("Could not save file %s\n", path.c_str());
        return false;
    }
    return true;
}
}
