#include "SheetPacker.h"

#include <algorithm>
#include <numeric>

namespace TovraneTools
{
bool SheetPacker::pack(const std::vector<std::pair<int, int>>& sizes, std::vector<Placement>& placements,
    int& pageCount, const std::vector<int>& blocks)
{
    placements.clear();
    pageCount = 0;
    std::vector<size_t> order(sizes.size());
    std::iota(order.begin(), order.end(), 0);
    // Block by block, tallest first; equal heights keep the manifest's order.
    auto block = [&](size_t i) { return i < blocks.size() ? blocks[i] : 0; };
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return block(a) != block(b) ? block(a) < block(b) : sizes[a].second > sizes[b].second;
    });

    int page = -1, x = 0, y = 0, rowHeight = 0;
    for (size_t index : order)
    {
        int w = sizes[index].first, h = sizes[index].second;
        if (w > PageSize || h > PageSize || w < 1 || h < 1)
            return false;
        if (page < 0)
        {
            page = 0;
            x = y = rowHeight = 0;
        }
        if (x + w > PageSize)
        {
            x = 0;
            y += rowHeight + Gap;
            rowHeight = 0;
        }
        if (y + h > PageSize)
        {
            ++page;
            x = y = rowHeight = 0;
        }
        placements.push_back(Placement{index, page, x, y, w, h});
        x += w + Gap;
        rowHeight = std::max(rowHeight, h);
    }
    pageCount = page + 1;
    std::sort(placements.begin(), placements.end(),
        [](const Placement& a, const Placement& b) { return a.sprite < b.sprite; });
    return true;
}
}
