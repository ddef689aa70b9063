#pragma once

#include <cstddef>
#include <vector>

namespace kn4 {

// What the print dialog asks for: a range of pages (1-based, both 0 for
// every page), a number of copies, whether they are collated and whether
// the last page comes first.
struct PageSelection
{
    int from = 0;
    int to = 0;
    int copies = 1;
    bool collate = true;
    bool reverse = false;
};

// The pages to paint, in order, as indices 0..pageCount-1: the pages of the
// range (cut to the pages there are, last first when reversed), each copy
// of the whole range in turn when collated, else every page repeated for
// its copies. A printer that makes the copies itself is given copies 1.
std::vector<std::size_t> pageSequence(std::size_t pageCount, const PageSelection &selection);

} // namespace kn4
