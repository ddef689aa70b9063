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
// right column below the profile, then two columns to a page. Every page
// ends with a footer naming the panel, its date and the page.
class PrintJobBuilder
{
public:
    // Listing font and the places of its columns.
    static constexpr double kListingPoints = 9;
    static constexpr int kLeftX = 500;
    static constexpr int kRightX = 21000;
    static constexpr int kFirstRightY = 32600; // below the profile on page 1
    // The columns of further pages: their 79 rows end above the footer.
    static constexpr int kTopY = 1800;
    static constexpr int kFirstRightRow = 61;
    static constexpr int kFirstPageEndRow = 92;
    static constexpr int kRowsPerColumn = 79;
    // The values beside the profile, labels at kRightX.
    static constexpr int kValuesX = 27000;
    static constexpr int kValuesY = 24500;
    // The header's lines end where the profile's box begins.
    static constexpr int kProfileLeft = ProfileDrawing::kBoxLeft - 500;
    // The footer of every page: the panel, the date, "page N of M".
    static constexpr double kFooterPoints = 7;
    static constexpr int kFooterY = 59300;
    static constexpr int kFooterRight = page::kWidth - 500;
    // The label of "page N of M", "%1" and "%2" standing for N and M.
    static constexpr std::size_t kPageLabel = 39;

    explicit PrintJobBuilder(const LabelFile &labels) : m_labels(labels) {}

    std::vector<PrintPage> build(const PrintContent &content) const;

    // Where row number row starts a new column (before it is printed).
    enum class Move { None, FirstRightColumn, NewPage, RightColumn };
    static Move moveBefore(int row);

    // "page N of M" in the language of the labels.
    std::string pageText(std::size_t number, std::size_t count) const;

private:
    void addFooter(PrintPage &page, const PrintContent &content, std::size_t number, std::size_t count) const;

    const LabelFile &m_labels;
};

} // namespace kn4
