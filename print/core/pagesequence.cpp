#include "pagesequence.h"

#include <algorithm>

namespace kn4 {

std::vector<std::size_t> pageSequence(std::size_t pageCount, const PageSelection &selection)
{
    std::vector<std::size_t> order;
    if (pageCount == 0)
        return order;
    std::size_t first = 1, last = pageCount;
    if (selection.from > 0 || selection.to > 0) {
        first = std::size_t(std::max(selection.from, 1));
        last = selection.to > 0 ? std::min(std::size_t(selection.to), pageCount) : pageCount;
    }
    std::vector<std::size_t> range;
    for (std::size_t page = first; page <= last; ++page)
        range.push_back(page - 1);
    if (selection.reverse)
        std::reverse(range.begin(), range.end());
    // The print dialog allows at most 999 copies.
    const int copies = std::clamp(selection.copies, 1, 999);
    if (selection.collate) {
        for (int copy = 0; copy < copies; ++copy)
            order.insert(order.end(), range.begin(), range.end());
    } else {
        for (std::size_t page : range)
            order.insert(order.end(), std::size_t(copies), page);
    }
    return order;
}

} // namespace kn4
