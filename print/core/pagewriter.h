#pragma once

#include "printpage.h"

#include <string>
#include <string_view>
#include <vector>

namespace kn4 {

// Writes lines of text onto pages the way a printer object does: a current
// position and font; each printed line advances the position by the font's
// line height. Text arrives as Windows-1252 bytes and is stored as UTF-8.
class PageWriter
{
public:
    PageWriter();

    void setFont(page::Face face, double points, bool bold);
    void setBold(bool bold) { m_bold = bold; }
    void setPosition(int x, int y);
    int x() const { return m_x; }
    int y() const { return m_y; }

    // Prints one line at the current position and moves to the next line.
    void printLine(std::string_view cp1252Text);
    // Moves down by one line without printing anything.
    void skipLine();
    void newPage();

    void add(page::Primitive item) { m_pages.back().items.push_back(std::move(item)); }

    // The height of a line of the current font, in page units. Based on the
    // metrics of Liberation Sans and Liberation Mono, which keep those of
    // the fonts the print-out was laid out for.
    int lineHeight() const;
    static int lineHeight(page::Face face, double points);

    std::vector<PrintPage> takePages() { return std::move(m_pages); }
    const std::vector<PrintPage> &pages() const { return m_pages; }

private:
    std::vector<PrintPage> m_pages;
    page::Face m_face = page::Face::Sans;
    double m_points = 9;
    bool m_bold = false;
    int m_x = 0;
    int m_y = 0;
};

} // namespace kn4
