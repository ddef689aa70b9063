#include "simulator/weightcalculator.h"

#include "kn4/number.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace kn4 {

namespace {

// The last `count` characters of UTF-8 text, never cutting one in two.
std::string lastCharacters(const std::string &text, std::size_t count)
{
    std::size_t start = text.size();
    for (std::size_t characters = 0; start > 0 && characters < count; ++characters) {
        --start;
        while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
            --start;
    }
    return text.substr(start);
}

} // namespace

double WeightCalculator::gramsOf(double gramsPerStitch, double stitches)
{
    return std::floor(gramsPerStitch * 10 * stitches) / 10;
}

std::string WeightCalculator::numberText(double value)
{
    if (value == 0)
        value = 0;  // no "-0"
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return value < 0 ? std::string(buffer) : " " + std::string(buffer);
}

WeightReport WeightCalculator::Aggiorno_peso(const SimSettings &settings, const StitchTotals &stitches,
                                             const SimLabels &labels, double area2, double area3)
{
    WeightReport report;
    const double weight = settings.referenceWeight;
    const double count = settings.referenceStitches;
    report.hasReference = weight != 0 && count != 0;
    if (!report.hasReference) {
        report.referenceWeightLine = kNoReference;
        report.referencePanelLine = kNoReference;
        report.gramsPerStitchLine = kNoReference;
    } else {
        m_gramsPerStitch = weight / count;
        report.referenceWeightLine = labels.text(47) + " " + numberText(weight) + " g";
        report.referencePanelLine = labels.text(46) + "=....";
        report.referencePanelPath = lastCharacters(settings.referencePath, 12);
        report.gramsPerStitchLine = labels.text(48) + numberText(m_gramsPerStitch);
    }
    report.gramsPerStitch = m_gramsPerStitch;

    StitchTotals totals = stitches;
    if (settings.stripeMode == 2) {
        totals.carriers[0] = std::nearbyint(totals.total - area2 - area3);
        totals.carriers[1] = area2;
        totals.carriers[2] = area3;
    }
    // With a reference the grams are computed as weight x stitches / count,
    // the same value as grams per stitch x stitches, but exact when the
    // panel is its own reference: it weighs exactly what was typed in.
    auto grams = [&](double stitchCount) {
        if (report.hasReference)
            return std::floor(weight * 10 * stitchCount / count) / 10;
        return gramsOf(m_gramsPerStitch, stitchCount);
    };
    report.total = grams(totals.total);
    report.totalLine = numberText(report.total) + " g";
    for (std::size_t k = 0; k < report.colours.size(); ++k) {
        report.colours[k] = grams(totals.carriers[k]);
        report.colourLines[k] = numberText(report.colours[k]) + " g";
    }
    return report;
}

std::string WeightCalculator::limitEntry(std::string text)
{
    if (text.size() > kMaxEntryLength)
        text.clear();
    return text;
}

std::optional<std::int16_t> WeightCalculator::entryWeight(std::string_view text)
{
    const double value = std::nearbyint(leadingNumber(text));
    // A weight that reads as 0 (or less) would make the reference useless.
    if (!(value >= 1))
        return std::nullopt;
    return std::int16_t(std::min<double>(value, std::numeric_limits<std::int16_t>::max()));
}

void WeightCalculator::takeReference(SimSettings &settings, std::int16_t weight, const std::string &panelPath,
                                     double totalStitches)
{
    settings.referenceWeight = weight;
    settings.referencePath = panelPath;
    const double rounded = std::nearbyint(totalStitches);
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    settings.referenceStitches = rounded == rounded ? std::int32_t(std::clamp(rounded, 0.0, hi)) : 0;
}

} // namespace kn4
