#pragma once

#include "listingbuilder.h"
#include "printedpanel.h"
#include "printpage.h"
#include "profiledrawing.h"

#include <string>
#include <vector>

namespace kn4 {

class LabelFile;

// Everything one print-out shows.
struct PrintContent
{
    std::string programName;  // "stampa 1.0", top right of page 1
    std::string panelPath;    // as given on the command line (UTF-8)
    std::string fileDate;     // the panel file's last change
    PanelHeaderValues header;
    std::vector<ListingLine> listing;
    ProfileDrawing profile;
};

// Lays a print-out out on pages: on page 1 the profile with its values, the
// header and the listing in the left column; the listing goes on in the
// right column below the profile, then two columns to a page.
class PrintJobBuilder
{
public:
    // Listing font and the places of its columns.
    static constexpr double kListingPoints = 9;
    static constexpr int kLeftX = 500;
    static constexpr int kRightX = 21000;
    static constexpr int kFirstRightY = 32600; // below the profile on page 1
    static constexpr int kTopY = 2500;         // the columns of further pages
    static constexpr int kFirstRightRow = 61;
    static constexpr int kFirstPageEndRow = 92;
    static constexpr int kRowsPerColumn = 79;

    explicit PrintJobBuilder(const LabelFile &labels) : m_labels(labels) {}

    std::vector<PrintPage> build(const PrintContent &content) const;

    // Where row number row starts a new column (before it is printed).
    enum class Move { None, FirstRightColumn, NewPage, RightColumn };
    static Move moveBefore(int row);

private:
    const LabelFile &m_labels;
};

} // namespace kn4
