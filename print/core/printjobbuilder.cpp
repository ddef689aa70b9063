#include "printjobbuilder.h"

#include "countcolumn.h"
#include "pagewriter.h"

#include "kn4/cp1252.h"
#include "kn4/labelfile.h"

#include <cmath>
#include <cstdio>
#include <utility>

namespace kn4 {

namespace {

using page::Face;

// A measure as the header prints it: a leading blank, no trailing zeros.
std::string measureText(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    std::string text(buffer);
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return value < 0 ? text : " " + text;
}

// Page units per needle or per course: whole from 10 on, else one decimal.
std::string scaleText(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, value >= 10 ? "%.0f" : "%.1f", value);
    return buffer;
}

std::string needles(double value)
{
    char buffer[32];
    if (value == std::floor(value))
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
    else
        std::snprintf(buffer, sizeof buffer, "%.1f", value);
    return buffer;
}

} // namespace

PrintJobBuilder::Move PrintJobBuilder::moveBefore(int row)
{
    if (row == kFirstRightRow)
        return Move::FirstRightColumn;
    if (row <= kFirstPageEndRow)
        return Move::None;
    // From row 93 on, two columns of 79 rows to a page.
    const int k = (row - kFirstPageEndRow - 1) % (2 * kRowsPerColumn);
    if (k == 0)
        return Move::NewPage;
    if (k == kRowsPerColumn)
        return Move::RightColumn;
    return Move::None;
}

std::vector<PrintPage> PrintJobBuilder::build(const PrintContent &content) const
{
    PageWriter out;
    const PanelHeaderValues &h = content.header;
    auto label = [&](int n) { return m_labels.text(std::size_t(n)); };

    // The profile comes first, on page 1.
    for (const page::Primitive &item : content.profile.items)
        out.add(item);

    // Its values beside it.
    const ProfileDrawing &p = content.profile;
    const std::string right = label(15), left = label(16);
    auto sides = [&](double r, double l) { return needles(r) + right + " " + needles(l) + left; };
    const double ribWidth = p.ribRight + p.ribLeft;
    // The courses with the border (welt), split into the border and the
    // piece above it, which the listing counts.
    const std::string courses = p.border ? std::to_string(p.courses) + " = " + std::to_string(p.borderCourses()) +
                                               " + " + std::to_string(p.pieceCourses())
                                         : std::to_string(p.pieceCourses());
    const std::string zoom = "Zoom " + scaleText(p.needleScale) +
                             (scaleText(p.courseScale) == scaleText(p.needleScale) ? "" : " x " + scaleText(p.courseScale));
    const std::string values[] = {
        sides(p.ribRight, p.ribLeft),
        sides(p.widestRight, p.widestLeft),
        sides(p.finalRight, p.finalLeft),
        sides(p.necklineRight, p.necklineLeft),
        std::to_string(p.outer),
        std::to_string(p.inner),
        courses,
        ribWidth > 0 ? std::to_string(std::lround((p.finalRight + p.finalLeft) * 100 / ribWidth)) + "%" : "-",
        zoom,
    };
    out.setFont(Face::Sans, 8, true);
    int y = kValuesY;
    for (int i = 0; i < 9; ++i) {
        out.setPosition(kRightX, y);
        out.printLine(label(19 + i));
        out.setPosition(kValuesX, y);
        out.printLine(values[i]);
        y = out.y();
    }

    // The header.
    out.setFont(Face::Sans, 6, false);
    out.setPosition(31000, 100);
    out.printLine(content.programName);
    out.setPosition(kLeftX, 1);
    out.setFont(Face::Sans, 12, true);
    out.printLine(label(0));
    out.setFont(Face::Sans, 9, false);
    out.printLine(label(1));
    out.setFont(Face::Mono, 11, true);
    out.setPosition(kLeftX, 2700);
    {
        // The path as long as the line allows, always ending in the panel's
        // name; the footer below holds more of it.
        const std::string title = cp1252ToUtf8(label(2)) + " ";
        const auto room = std::size_t((kProfileLeft - kLeftX) / PageWriter::monoAdvance(11));
        const std::size_t used = characterCount(title);
        out.printUtf8Line(title + elidedLeft(content.panelPath, room > used ? room - used : 0));
    }
    out.printLine(label(18) + " " + content.fileDate);
    out.setFont(Face::Mono, 9, false);
    out.printLine(label(3) + " " + h.type + "   " + label(4) + " " + h.size + "  " + label(5) + " " + h.part);
    out.printLine(label(6) + " " + h.needleBedWidth + "   " + label(7) + " " + h.density);
    out.printLine(label(8) + " " + h.ribText + "  " + label(9) + " " + h.necklineText);
    out.printLine(label(10) + " " + measureText(h.borderHeight));
    out.printLine(label(11) + " " + measureText(h.needlesPerCm));
    out.printLine(label(12) + " " + measureText(h.coursesPerCm));
    out.printLine(label(13) + " " + h.setupText);
    out.printLine((label(14) + " _______________________________________________ ").substr(0, 48));
    for (const std::string &note : h.notes)
        out.printLine(note);
    out.printLine(std::string(48, '_'));

    // The listing.
    out.setFont(Face::Mono, kListingPoints, false);
    for (const ListingLine &line : content.listing) {
        const Move move = moveBefore(line.number);
        if (move != Move::None) {
            out.skipLine(); // the line of blanks that closes a column
            if (move == Move::NewPage)
                out.newPage();
            out.setPosition(move == Move::NewPage ? kLeftX : kRightX,
                            move == Move::FirstRightColumn ? kFirstRightY : kTopY);
        }
        out.setBold(line.bold);
        out.printLine(line.text);
    }
    std::vector<PrintPage> pages = out.takePages();
    for (std::size_t i = 0; i < pages.size(); ++i)
        addFooter(pages[i], content, i + 1, pages.size());
    return pages;
}

std::string PrintJobBuilder::pageText(std::size_t number, std::size_t count) const
{
    std::string text = cp1252ToUtf8(m_labels.text(kPageLabel));
    if (text.find("%1") == std::string::npos)
        text = "%1 / %2";
    for (const auto &[mark, value] : {std::pair{"%1", number}, std::pair{"%2", count}}) {
        const std::size_t at = text.find(mark);
        if (at != std::string::npos)
            text.replace(at, 2, std::to_string(value));
    }
    return text;
}

void PrintJobBuilder::addFooter(PrintPage &page, const PrintContent &content, std::size_t number,
                                std::size_t count) const
{
    // Right: the date and "page N of M"; left: the panel's path, cut from
    // the left where the line is too short, so its name always shows.
    const std::string right =
        cp1252ToUtf8(m_labels.text(18)) + " " + content.fileDate + "   " + pageText(number, count);
    const double advance = PageWriter::monoAdvance(kFooterPoints);
    const auto room = std::size_t((kFooterRight - kLeftX) / advance);
    const std::size_t rightCharacters = characterCount(right);
    const std::size_t pathRoom = room > rightCharacters + 3 ? room - rightCharacters - 3 : 0;
    page::add(page.items, page::Text{kLeftX, kFooterY, Face::Mono, kFooterPoints, false,
                                     elidedLeft(content.panelPath, pathRoom)});
    const int rightX = kFooterRight - int(std::lround(double(rightCharacters) * advance));
    page::add(page.items, page::Text{rightX, kFooterY, Face::Mono, kFooterPoints, false, right});
}

} // namespace kn4
