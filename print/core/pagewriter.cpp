#include "pagewriter.h"

#include "kn4/cp1252.h"

#include <cmath>

namespace kn4 {

PageWriter::PageWriter() : m_pages(1)
{
}

void PageWriter::setFont(page::Face face, double points, bool bold)
{
    m_face = face;
    m_points = points;
    m_bold = bold;
}

void PageWriter::setPosition(int x, int y)
{
    m_x = x;
    m_y = y;
}

int PageWriter::lineHeight(page::Face face, double points)
{
    // Ascent plus descent (plus the line gap of the proportional face), per
    // point of size: 1.15 for Liberation Sans, 1.133 for Liberation Mono.
    const double perPoint = face == page::Face::Sans ? 1.15 : 1.133;
    return int(std::lround(points * perPoint * page::kHeight / page::kReferenceHeightPoints));
}

int PageWriter::lineHeight() const
{
    return lineHeight(m_face, m_points);
}

void PageWriter::printLine(std::string_view cp1252Text)
{
    if (cp1252Text.find_first_not_of(' ') != std::string_view::npos)
        add(page::Text{m_x, m_y, m_face, m_points, m_bold, cp1252ToUtf8(cp1252Text)});
    m_y += lineHeight();
}

void PageWriter::printUtf8Line(std::string_view utf8Text)
{
    if (utf8Text.find_first_not_of(' ') != std::string_view::npos)
        add(page::Text{m_x, m_y, m_face, m_points, m_bold, std::string(utf8Text)});
    m_y += lineHeight();
}

double PageWriter::monoAdvance(double points)
{
    return points * 1229.0 / 2048.0 * page::kHeight / page::kReferenceHeightPoints;
}

std::size_t characterCount(std::string_view utf8Text)
{
    std::size_t count = 0;
    for (char c : utf8Text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

std::string elidedLeft(std::string_view utf8Text, std::size_t maxCharacters)
{
    const std::size_t count = characterCount(utf8Text);
    if (count <= maxCharacters)
        return std::string(utf8Text);
    if (maxCharacters == 0)
        return {};
    // Skip the characters that do not fit, and one more for the ellipsis.
    std::size_t skip = count - maxCharacters + 1;
    std::size_t pos = 0;
    while (pos < utf8Text.size()) {
        if ((static_cast<unsigned char>(utf8Text[pos]) & 0xC0) != 0x80) {
            if (skip == 0)
                break;
            --skip;
        }
        ++pos;
    }
    return "\u2026" + std::string(utf8Text.substr(pos));
}

void PageWriter::skipLine()
{
    m_y += lineHeight();
}

void PageWriter::newPage()
{
    m_pages.emplace_back();
}

} // namespace kn4
