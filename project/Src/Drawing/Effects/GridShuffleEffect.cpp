#include "Resources/Drawing/Effects/GridShuffleEffect.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace Tovrane
{
TOVRANE_IMPLEMENT_RTTI(Tovrane, GridShuffleEffect, Effect);

GridShuffleEffect::GridShuffleEffect() {}

GridShuffleEffect::~GridShuffleEffect() {}

void GridShuffleEffect::run(TexturePtr picture)
{
    // A 5 x 4 grid over the top 13/15 of the picture: 128 x 104 cells on 640 x 480.
    const int columns = 5, rows = 4;
    const int cellWidth = picture->getWidth() / columns;
    const int cellHeight = picture->getHeight() * 13 / 15 / rows;
    const int bpp = picture->getBytesPerPixel(), pitch = picture->getPitch();
    const int cellRowBytes = cellWidth * bpp;
    if (cellWidth <= 0 || cellHeight <= 0)
        return;
    picture->releaseBindings();
    unsigned char* pixels = picture->getPixels();

    // Copies of the cells, column by column.
    std::vector<std::vector<unsigned char>> cells;
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
        {
            std::vector<unsigned char> cell(static_cast<std::size_t>(cellRowBytes) * cellHeight);
            for (int y = 0; y < cellHeight; ++y)
                std::memcpy(cell.data() + static_cast<std::size_t>(y) * cellRowBytes,
                            pixels + (r * cellHeight + y) * pitch + c * cellRowBytes, cellRowBytes);
            cells.push_back(cell);
        }
    // Each copy in that order goes to a free cell drawn at random.
    bool taken[columns][rows] = {};
    for (const std::vector<unsigned char>& cell : cells)
    {
        int c, r;
        do
        {
            c = std::rand() % columns;
            r = std::rand() % rows;
        } while (taken[c][r]);
        taken[c][r] = true;
        for (int y = 0; y < cellHeight; ++y)
            std::memcpy(pixels + (r * cellHeight + y) * pitch + c * cellRowBytes,
                        cell.data() + static_cast<std::size_t>(y) * cellRowBytes, cellRowBytes);
    }
}
}
