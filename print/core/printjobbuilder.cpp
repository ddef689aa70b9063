#include "printjobbuilder.h"

#include "countcolumn.h"
#include "pagewriter.h"

#include "kn4/cp1252.h"
#include "kn4/labelfile.h"

#include <cmath>
#include <cstdio>

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
    const std::string values[] = {
        sides(p.ribRight, p.ribLeft),
        sides(p.widestRight, p.widestLeft),
        sides(p.finalRight, p.finalLeft),
        sides(p.necklineRight, p.necklineLeft),
        std::to_string(p.outer),
        std::to_string(p.inner),
        std::to_string(p.courses),
        ribWidth > 0 ? std::to_string(std::lround((p.finalRight + p.finalLeft) * 100 / ribWidth)) + "%" : "-",
        "Zoom " + std::to_string(p.scale),
    };
    out.setFont(Face::Sans, 8, true);
    int y = 24500;
    for (int i = 0; i < 9; ++i) {
        out.setPosition(kRightX, y);
        out.printLine(label(19 + i));
        out.setPosition(27000, y);
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
    out.printLine(label(2) + " " + utf8ToCp1252(content.panelPath));
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
    return out.takePages();
}

} // namespace kn4
