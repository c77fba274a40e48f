#include "DrawingTestSupport.h"

#include "Resources/Drawing/Canvas.h"
#include "Resources/Drawing/Fill.h"

#include <deque>
#include <random>

using namespace Tovrane;
using namespace DrawingTest;

namespace
{
// The fill as a plain breadth-first walk: pixels are tested when they leave
// the queue, against the seed colour, and colour themselves from the pattern.
void referenceFill(Texture& picture, int x, int y, const Colour& foreground, const Colour& background,
                   const TexturePtr& pattern)
{
    const int w = picture.getWidth(), h = picture.getHeight();
    const Colour seed = picture.getPixel(x, y);
    std::vector<char> visited(static_cast<size_t>(w) * h, 0);
    std::deque<std::pair<int, int>> queue = {{x, y}};
    for (; !queue.empty(); queue.pop_front())
    {
        const int px = queue.front().first, py = queue.front().second;
        if (px < 0 || py < 0 || px >= w || py >= h || visited[py * w + px])
            continue;
        visited[py * w + px] = 1;
        if (!Canvas::canFill(picture.getPixel(px, py), seed))
            continue;
        const int k = pattern ? pattern->getPaletteIndex(px % pattern->getWidth(), py % pattern->getHeight()) : 0;
        picture.setPixel(k == 0 ? foreground : background, px, py);
        queue.insert(queue.end(), {{px - 1, py}, {px + 1, py}, {px, py - 1}, {px, py + 1}});
    }
}

// A random colour, transparent once in `clearOneIn` times.
Colour randomColour(std::mt19937& random, int clearOneIn)
{
    return Colour(static_cast<unsigned char>(random()), static_cast<unsigned char>(random()),
                  static_cast<unsigned char>(random()), random() % clearOneIn == 0 ? 0 : 255);
}

// A random picture of one of several kinds: few-colour blobs, noisy
// gradients, mazes of walls, or alpha-mixed specks.
TexturePtr randomScene(std::mt19937& random, int w, int h)
{
    TexturePtr picture(new Texture(w, h, PixelFormat::RGBA5551, true, 0));
    const int kind = random() % 4;
    const Colour palette[4] = {randomColour(random, 4), randomColour(random, 4), randomColour(random, 4),
                               randomColour(random, 4)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            Colour c;
            if (kind == 0)
                c = palette[((x / 5) * 7 + (y / 4) * 3 + (random() % 9 == 0 ? 1 : 0)) % 3];
            else if (kind == 1)
                c = Colour(static_cast<unsigned char>(x * 9 + random() % 24), static_cast<unsigned char>(y * 5), 80,
                           255);
            else if (kind == 2)
                c = ((x % 4 == 0 && random() % 3) || (y % 4 == 0 && random() % 3)) ? Black : White;
            else
                c = random() % 3 ? palette[0] : palette[1 + random() % 3];
            picture->setPixel(c, x, y);
        }
    return picture;
}

TexturePtr randomPattern(std::mt19937& random)
{
    const int w = 1 + random() % 9, h = 1 + random() % 9;
    TexturePtr pattern(new Texture(w, h, PixelFormat::Palette8, true, 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pattern->setPixel(random() % 3, x, y);
    return pattern;
}

void fillAt(const CanvasPtr& canvas, int x, int y, const Colour& colour)
{
    ToolPtr fill(new Fill());
    fill->setForegroundColor(colour);
    canvas->useToolAt(fill, tFixed(x), tFixed(y));
}

// Compares a fill of `picture` from (x, y) with the breadth-first reference.
::testing::AssertionResult fillsLikeTheReference(const TexturePtr& picture, int x, int y, const Colour& foreground,
                                                 const Colour& background, const TexturePtr& pattern)
{
    TexturePtr expected = picture->copy();
    referenceFill(*expected, x, y, foreground, background, pattern);
    Fill::fillTexture(*picture, x, y, foreground, background, pattern);
    if (samePixels(*picture, *expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << picture->getWidth() << "x" << picture->getHeight() << ", seed " << x << ","
                                         << y;
}
}

TEST(FillTest, SpanFillEqualsTheBreadthFirstWalk)
{
    std::mt19937 random(2024);
    for (int n = 0; n < 600; ++n)
    {
        const int w = 1 + random() % 70, h = 1 + random() % 70;
        TexturePtr picture = randomScene(random, w, h);
        TexturePtr pattern = random() % 5 ? randomPattern(random) : TexturePtr();
        const Colour foreground = randomColour(random, 5);
        const Colour background(static_cast<unsigned char>(random()), 7, 200, 255);
        // Seeds anywhere, often on the borders.
        int x = random() % w, y = random() % h;
        if (n % 4 == 1)
            x = (n % 8 == 1) ? 0 : w - 1;
        if (n % 6 == 2)
            y = (n % 12 == 2) ? 0 : h - 1;
        ASSERT_TRUE(fillsLikeTheReference(picture, x, y, foreground, background, pattern)) << "picture " << n;
    }
}

// Pixels match when their alphas are equal and their channels differ by less
// than 128 in all (the walk above measures from the seed).
TEST(FillTest, ColoursMatchWithinATolerance)
{
    EXPECT_TRUE(Canvas::canFill(Colour(0, 0, 0, 255), Colour(127, 0, 0, 255)));
    EXPECT_FALSE(Canvas::canFill(Colour(0, 0, 0, 255), Colour(64, 64, 0, 255)));
    EXPECT_TRUE(Canvas::canFill(Colour(10, 20, 30, 255), Colour(50, 50, 50, 255)));
    EXPECT_FALSE(Canvas::canFill(Clear, Black));
}

TEST(FillTest, OnlyTilesThatChangeAreUploadedAgain)
{
    CanvasPtr canvas(new Canvas(640, 480, false, 128));
    // A closed box inside tile (1, 1).
    for (int i : {140, 180})
    {
        canvas->getLayer()->setPixelX(Black, 160, i, 21);
        canvas->getLayer()->setPixelY(Black, i, 160, 21);
    }
    CountingRenderer renderer;
    EXPECT_EQ(renderer.frame(canvas), 20);
    fillAt(canvas, 160, 160, Blue);
    EXPECT_EQ(renderer.frame(canvas), 1);
    // Filling it again with its own colour changes nothing.
    fillAt(canvas, 160, 160, Blue);
    EXPECT_EQ(renderer.frame(canvas), 0);
    fillAt(canvas, 0, 0, Blue);
    EXPECT_EQ(renderer.frame(canvas), 20);
    // Seeds outside the picture change nothing.
    for (auto seed : {std::make_pair(-1, 5), std::make_pair(640, 5), std::make_pair(5, -1), std::make_pair(5, 480)})
        canvas->doFill(Red, White, TexturePtr(), seed.first, seed.second);
    EXPECT_EQ(renderer.frame(canvas), 0);
    EXPECT_FALSE(Fill(makeStripePattern(7, 5)).getRepeatWhileDragged());
}
