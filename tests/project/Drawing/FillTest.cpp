#include "DrawingTestSupport.h"

#include "Resources/Drawing/Fill.h"

#include <deque>

using namespace DrawingTest;

namespace
{
// The fill as a plain breadth-first walk, the pattern fixed to the picture.
void referenceFill(Texture& picture, int x, int y, const Colour& foreground, const Colour& background,
                   const TexturePtr& pattern)
{
    const int w = picture.getWidth(), h = picture.getHeight();
    const Colour seed = picture.getPixel(x, y);
    std::vector<char> visited(static_cast<size_t>(w) * h, 0);
    for (std::deque<std::pair<int, int>> queue = {{x, y}}; !queue.empty(); queue.pop_front())
    {
        const int px = queue.front().first, py = queue.front().second;
        if (px < 0 || py < 0 || px >= w || py >= h || visited[py * w + px]++ ||
            !Canvas::canFill(picture.getPixel(px, py), seed))
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
}

// Blobs, noisy gradients, mazes with diagonal gaps, alpha-mixed specks.
TEST(FillTest, SpanFillEqualsTheBreadthFirstWalk)
{
    std::mt19937 random(2024);
    for (int n = 0; n < 600; ++n)
    {
        const int w = 1 + random() % 70, h = 1 + random() % 70, kind = random() % 4;
        TexturePtr picture(new Texture(w, h, PixelFormat::RGBA5551, true, 0));
        const Colour palette[4] = {randomColour(random, 4), randomColour(random, 4), randomColour(random, 4),
                                   randomColour(random, 4)};
        for (int i = 0; i < w * h; ++i)
        {
            const int x = i % w, y = i / w;
            const Colour c = kind == 0   ? palette[((x / 5) * 7 + (y / 4) * 3 + (random() % 9 == 0 ? 1 : 0)) % 3]
                             : kind == 1 ? Colour(x * 9 + random() % 24, y * 5, 80, 255)
                             : kind == 2
                                 ? (((x % 4 == 0 && random() % 3) || (y % 4 == 0 && random() % 3)) ? Black : White)
                                 : (random() % 3 ? palette[0] : palette[1 + random() % 3]);
            picture->setPixel(c, x, y);
        }
        TexturePtr pattern;
        if (random() % 5)
        {
            pattern.reset(new Texture(1 + random() % 9, 1 + random() % 9, PixelFormat::Palette8, true, 0));
            for (int i = 0; i < pattern->getWidth() * pattern->getHeight(); ++i)
                pattern->getPixels()[i] = random() % 3;
        }
        const Colour foreground = randomColour(random, 5),
                     background(static_cast<unsigned char>(random()), 7, 200, 255);
        const int x = n % 4 == 1 ? (n % 8 == 1 ? 0 : w - 1) : random() % w;
        const int y = n % 6 == 2 ? (n % 12 == 2 ? 0 : h - 1) : random() % h;
        TexturePtr expected = picture->copy();
        referenceFill(*expected, x, y, foreground, background, pattern);
        Fill::fillTexture(*picture, x, y, foreground, background, pattern);
        ASSERT_TRUE(samePixels(*picture, *expected))
            << "picture " << n << ", " << w << "x" << h << " from " << x << "," << y;
    }
}

// Equal alphas and channels differing by less than 128 in all.
TEST(FillTest, ToleranceAndUploads)
{
    EXPECT_TRUE(Canvas::canFill(Colour(0, 0, 0, 255), Colour(127, 0, 0, 255)));
    EXPECT_FALSE(Canvas::canFill(Colour(0, 0, 0, 255), Colour(64, 64, 0, 255)));
    EXPECT_TRUE(Canvas::canFill(Colour(10, 20, 30, 255), Colour(50, 50, 50, 255)));
    EXPECT_FALSE(Canvas::canFill(Clear, Black));
    CanvasPtr canvas(new Canvas(640, 480, false, 128));
    for (int i : {140, 180}) // a closed box inside tile (1, 1)
    {
        canvas->getLayer()->setPixelX(Black, 160, i, 21);
        canvas->getLayer()->setPixelY(Black, i, 160, 21);
    }
    CountingRenderer renderer;
    EXPECT_EQ(renderer.frame(canvas), 20);
    ToolPtr fill(new Fill());
    fill->setForegroundColor(Blue);
    EXPECT_FALSE(fill->getRepeatWhileDragged());
    const int seeds[][3] = {{160, 160, 1}, {160, 160, 0}, {0, 0, 20}}; // the box, the box again, the rest
    for (const auto& seed : seeds)
    {
        canvas->useToolAt(fill, tFixed(seed[0]), tFixed(seed[1]));
        EXPECT_EQ(renderer.frame(canvas), seed[2]);
    }
    for (auto seed : {std::make_pair(-1, 5), std::make_pair(640, 5), std::make_pair(5, -1), std::make_pair(5, 480)})
        canvas->doFill(Red, White, TexturePtr(), seed.first, seed.second);
    EXPECT_EQ(renderer.frame(canvas), 0);
}
