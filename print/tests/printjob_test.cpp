#include "pagewriter.h"
#include "printjobbuilder.h"
#include "printtesting.h"

#include "kn4/labelfile.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct Placed
{
    std::size_t page;
    int x, y;
};

// Where each listing row lands: rows are told by their text "#n".
std::map<int, Placed> placeRows(int rows)
{
    kn4::PrintContent content;
    for (int n = 0; n < rows; ++n)
        content.listing.push_back({n, "#" + std::to_string(n), false});
    const kn4::LabelFile labels = kn4::LabelFile::fromText("", 50);
    const auto pages = kn4::PrintJobBuilder(labels).build(content);
    std::map<int, Placed> placed;
    for (std::size_t p = 0; p < pages.size(); ++p)
        for (const auto &item : pages[p].items)
            if (const auto *text = std::get_if<kn4::page::Text>(&item); text && text->text[0] == '#')
                placed[std::stoi(text->text.substr(1))] = {p, text->x, text->y};
    return placed;
}

TEST(PrintJobBuilder, ListingMovesToColumnsAndPages)
{
    const auto placed = placeRows(600);
    ASSERT_EQ(placed.size(), 600u) << "no row is dropped";
    struct Move
    {
        int row;
        std::size_t page;
        int x, y;
    } moves[] = {
        {61, 0, 21000, 32600}, {93, 1, 500, 2500},  {172, 1, 21000, 2500}, {251, 2, 500, 2500},
        {330, 2, 21000, 2500}, {409, 3, 500, 2500}, {488, 3, 21000, 2500},
    };
    for (const Move &m : moves) {
        const Placed &at = placed.at(m.row);
        EXPECT_EQ(at.page, m.page) << m.row;
        EXPECT_EQ(at.x, m.x) << m.row;
        EXPECT_EQ(at.y, m.y) << m.row;
        // The row before a move is the last of its column and still on paper.
        const Placed &last = placed.at(m.row - 1);
        EXPECT_LE(last.y + kn4::PageWriter::lineHeight(kn4::page::Face::Mono, 9), kn4::page::kHeight) << m.row - 1;
    }
    EXPECT_EQ(placed.at(60).x, 500);
    EXPECT_EQ(placed.at(92).page, 0u);
}

} // namespace
