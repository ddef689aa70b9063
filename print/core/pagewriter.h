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
    // The same for a text that is already UTF-8 (a path of the file system).
    void printUtf8Line(std::string_view utf8Text);
    // Moves down by one line without printing anything.
    void skipLine();
    void newPage();

    void add(page::Primitive item) { m_pages.back().items.push_back(std::move(item)); }

    // The height of a line of the current font, in page units. Based on the
    // metrics of Liberation Sans and Liberation Mono, which keep those of
    // the fonts the print-out was laid out for.
    int lineHeight() const;
    static int lineHeight(page::Face face, double points);
    // The advance of one character of the monospaced face, in page units
    // (Liberation Mono: 1229/2048 of the size).
    static double monoAdvance(double points);

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

// The characters (code points) of a UTF-8 text.
std::size_t characterCount(std::string_view utf8Text);
// A UTF-8 text of at most maxCharacters characters: a longer one keeps its
// end behind "…" (a path keeps the panel's file name).
std::string elidedLeft(std::string_view utf8Text, std::size_t maxCharacters);

} // namespace kn4
