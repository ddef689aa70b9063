#pragma once

#include "simulator/knitengine.h"
#include "simulator/simlabels.h"
#include "simulator/simsettings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kn4 {

// What the weight window shows, computed by Aggiorno_peso.
struct WeightReport
{
    // False when the reference weight or stitch count is 0: the three
    // reference lines read "?????" and the grams per stitch of the previous
    // update are used.
    bool hasReference = false;
    double gramsPerStitch = 0;
    // Grams, cut down to one decimal.
    double total = 0;
    std::array<double, SimSettings::kCarriers> colours{};
    // The texts of the window's lines, Windows-1252 like the labels they
    // start with. The reference panel's line is its label and "=...." in
    // referencePanelLine, then the last 12 characters of the path, which is
    // the file system's own text (UTF-8), in referencePanelPath.
    std::string referenceWeightLine;
    std::string referencePanelLine;
    std::string referencePanelPath;
    std::string gramsPerStitchLine;
    std::string totalLine;
    std::array<std::string, SimSettings::kCarriers> colourLines;
};

// The yarn weight of the simulated panel: the stitch totals scaled by the
// grams per stitch of a reference panel whose real weight the user typed in.
class WeightCalculator
{
public:
    static constexpr std::size_t kMaxEntryLength = 3;
    static constexpr const char *kNoReference = "?????";

    // Recomputes everything. In stripe mode 2 the totals of carriers 1..3
    // come from the intarsia areas 2 and 3.
    WeightReport Aggiorno_peso(const SimSettings &settings, const StitchTotals &stitches,
                               const SimLabels &labels, double area2 = 0, double area3 = 0);

    // Kept between updates, 0 at start.
    double gramsPerStitch() const { return m_gramsPerStitch; }

    // Grams for a stitch count: integer part of (grams per stitch x 10 x
    // stitches), divided by 10.
    static double gramsOf(double gramsPerStitch, double stitches);

    // A number as the window shows it: a leading blank (or the minus sign),
    // at most 15 significant digits, no trailing zeros.
    static std::string numberText(double value);

    // The weight entry field: a text that grows beyond 3 characters is emptied.
    static std::string limitEntry(std::string text);
    // The weight typed in the entry field, rounded to whole grams; nothing
    // when it reads as 0 or less ("Inserire il dato del peso").
    static std::optional<std::int16_t> entryWeight(std::string_view text);
    // Makes the current panel the reference: weight, path and its stitches.
    static void takeReference(SimSettings &settings, std::int16_t weight, const std::string &panelPath,
                              double totalStitches);

private:
    double m_gramsPerStitch = 0;
};

} // namespace kn4
