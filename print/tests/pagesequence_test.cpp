#include "pagesequence.h"

#include <gtest/gtest.h>

namespace {

using Pages = std::vector<std::size_t>;

TEST(PageSequence, RangeCopiesAndCollation)
{
    struct Case
    {
        const char *name;
        kn4::PageSelection selection;
        Pages pages;
    } cases[] = {
        {"every page", {}, {0, 1, 2, 3}},
        {"pages 2-3", {2, 3, 1, true}, {1, 2}},
        {"a range beyond the print-out is cut", {3, 9, 1, true}, {2, 3}},
        {"two collated copies", {2, 3, 2, true}, {1, 2, 1, 2}},
        {"two copies not collated", {2, 3, 2, false}, {1, 1, 2, 2}},
        {"last page first", {2, 3, 2, true, true}, {2, 1, 2, 1}},
        {"no copies still prints one", {0, 0, 0, true}, {0, 1, 2, 3}},
        {"a range past the end prints nothing", {5, 6, 1, true}, {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(kn4::pageSequence(4, c.selection), c.pages) << c.name;
}

} // namespace
