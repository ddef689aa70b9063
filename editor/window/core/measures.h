#pragma once

#include <string>
#include <string_view>

namespace kn4::editor {

// Needles and courses in centimetres, as the header's measures give them
// (needles per cm, courses per cm), and the texts the window shows them in.
class Measures
{
public:
    // Reads a measure as typed: blanks are ignored, an empty text is 0, and a
    // "," at the second position or later is the decimal point ("12,5" and
    // "12.5" are both 12.5; ",5" is 0). The number is the leading numeric
    // part of the text.
    static double ParseMeasure(std::string_view text);

    // The decimal separator of the system's number format (the C library's
    // numeric locale, which the program sets from the user's settings at
    // start-up); "." when the locale gives none.
    static char systemDecimalSeparator();

    // A number with `decimals` digits after the separator, without digit
    // grouping, always with a digit before the separator ("0,50", "-0,50").
    static std::string FormatMeasure(double value, int decimals = 2, char separator = '.');

    // needles / needles per cm; "0" when the needles per cm are not above 0.
    static std::string needlesToCm(double needles, std::string_view needlesPerCm, char separator = '.');
    // courses / courses per cm (+ offset); "0" when the courses per cm are
    // not above 0.
    static std::string coursesToCm(double courses, std::string_view coursesPerCm, char separator = '.',
                                   double offset = 0.0);

    // The tooltip of a row label with the pointer over column `column`:
    // over the course total and the carriages (columns 30-41) their values
    // in cm, "<courses> cm  <outer> cm  <inner> cm", or `noMeasuresText`
    // when either measure of the header is not above 0; elsewhere "".
    static std::string rowToolTip(std::string_view rowText, int column, std::string_view needlesPerCm,
                                  std::string_view coursesPerCm, std::string_view noMeasuresText,
                                  char separator = '.');
};

} // namespace kn4::editor
