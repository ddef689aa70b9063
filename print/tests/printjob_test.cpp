#include "pagewriter.h"
#include "printjobbuilder.h"
#include "printtesting.h"

#include "kn4/labelfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

struct Placed
{
    std::size_t page;
    int x, y;
};

kn4::PrintContent withRows(int rows)
{
    kn4::PrintContent content;
    for (int n = 0; n < rows; ++n)
        content.listing.push_back({n, "#" + std::to_string(n), false});
    return content;
}

// Where each listing row lands: rows are told by their text "#n".
std::map<int, Placed> placeRows(int rows)
{
    const kn4::LabelFile labels = kn4::LabelFile::fromText("", 50);
    const auto pages = kn4::PrintJobBuilder(labels).build(withRows(rows));
    std::map<int, Placed> placed;
    for (std::size_t p = 0; p < pages.size(); ++p)
        for (const auto &item : pages[p].items)
            if (const auto *text = std::get_if<kn4::page::Text>(&item); text && text->text[0] == '#')
                placed[std::stoi(text->text.substr(1))] = {p, text->x, text->y};
    return placed;
}

TEST(PrintJobBuilder, ListingMovesToColumnsAndPages)
{
    constexpr int kTop = kn4::PrintJobBuilder::kTopY;
    const auto placed = placeRows(600);
    ASSERT_EQ(placed.size(), 600u) << "no row is dropped";
    struct Move
    {
        int row;
        std::size_t page;
        int x, y;
    } moves[] = {
        {61, 0, 21000, 32600}, {93, 1, 500, kTop},  {172, 1, 21000, kTop}, {251, 2, 500, kTop},
        {330, 2, 21000, kTop}, {409, 3, 500, kTop}, {488, 3, 21000, kTop},
    };
    for (const Move &m : moves) {
        const Placed &at = placed.at(m.row);
        EXPECT_EQ(at.page, m.page) << m.row;
        EXPECT_EQ(at.x, m.x) << m.row;
        EXPECT_EQ(at.y, m.y) << m.row;
        // The row before a move is the last of its column, above the footer.
        const Placed &last = placed.at(m.row - 1);
        EXPECT_LE(last.y + kn4::PageWriter::lineHeight(kn4::page::Face::Mono, 9), kn4::PrintJobBuilder::kFooterY)
            << m.row - 1;
    }
    EXPECT_EQ(placed.at(60).x, 500);
    EXPECT_EQ(placed.at(92).page, 0u);
}

// Every page names the panel, its date and "page N of M"; a path too long
// for its line keeps the panel's name.
TEST(PrintJobBuilder, EveryPageHasItsFooter)
{
    std::string labelText;
    for (int i = 0; i < 50; ++i)
        labelText += i == 2 ? "Pannello:\r\n" : i == 18 ? "Data:\r\n" : i == 39 ? "Pagina %1 di %2\r\n" : "\r\n";
    const kn4::LabelFile labels = kn4::LabelFile::fromText(labelText, 50);
    kn4::PrintContent content = withRows(300);
    content.panelPath = "/home/maglieria/archivi/" + std::string(150, 'x') + "/DAVANTI.KN4";
    content.fileDate = "12/03/2024 10:22:01";
    const auto pages = kn4::PrintJobBuilder(labels).build(content);
    ASSERT_EQ(pages.size(), 3u);

    for (std::size_t p = 0; p < pages.size(); ++p) {
        std::vector<const kn4::page::Text *> footer;
        for (const auto &item : pages[p].items)
            if (const auto *text = std::get_if<kn4::page::Text>(&item); text && text->y == kn4::PrintJobBuilder::kFooterY)
                footer.push_back(text);
        ASSERT_EQ(footer.size(), 2u) << p;
        const std::string path = footer[0]->text;
        EXPECT_EQ(path.rfind("\u2026", 0), 0u) << path;
        EXPECT_EQ(path.substr(path.size() - 12), "/DAVANTI.KN4");
        EXPECT_EQ(footer[1]->text, "Data: 12/03/2024 10:22:01   Pagina " + std::to_string(p + 1) + " di 3");
        // The two parts share the line without touching, and end on it.
        const double advance = kn4::PageWriter::monoAdvance(kn4::PrintJobBuilder::kFooterPoints);
        EXPECT_LT(footer[0]->x + double(kn4::characterCount(path)) * advance, footer[1]->x);
        EXPECT_LE(footer[1]->x + double(kn4::characterCount(footer[1]->text)) * advance, kn4::page::kWidth);
    }
    // Page 1 names the panel under its title, its end within the header.
    const auto *title = std::get_if<kn4::page::Text>(&*std::find_if(
        pages[0].items.begin(), pages[0].items.end(), [](const auto &item) {
            const auto *text = std::get_if<kn4::page::Text>(&item);
            return text && text->text.rfind("Pannello: ", 0) == 0;
        }));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text.substr(title->text.size() - 12), "/DAVANTI.KN4");
    EXPECT_LE(title->x + double(kn4::characterCount(title->text)) * kn4::PageWriter::monoAdvance(11),
              kn4::ProfileDrawing::kBoxLeft);
}

} // namespace
