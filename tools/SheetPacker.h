#ifndef TOVRANE_TOOLS_SHEETPACKER_H
#define TOVRANE_TOOLS_SHEETPACKER_H

#include "Picture.h"

#include <string>
#include <vector>

namespace TovraneTools
{
// Where one sprite ended up: its page and the rectangle it occupies there
// (already turned when the sprite is stored rotated).
struct Placement
{
    size_t sprite = 0;
    int page = 0;
    int left = 0, top = 0, width = 0, height = 0;
};

// Packs rectangles onto 512 x 512 sheet pages in rows, tallest first, with a
// gap between neighbours so that filtering never picks up a neighbour's pixel.
class SheetPacker
{
public:
    static const int PageSize = 512;
    static const int Gap = 2;

    // sizes[i] is the rectangle of sprite i as stored in the sheet. Returns
    // false when one of them does not fit on a page at all. With blocks, the
    // sprites of block 0 are placed first, then those of block 1 after them,
    // and so on: sprites added in a later block never move earlier ones.
    bool pack(const std::vector<std::pair<int, int>>& sizes, std::vector<Placement>& placements, int& pageCount,
        const std::vector<int>& blocks = std::vector<int>());
};
}

#endif
