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

void PageWriter::skipLine()
{
    m_y += lineHeight();
}

void PageWriter::newPage()
{
    m_pages.emplace_back();
}

} // namespace kn4
