#include "window/core/measures.h"

#include "document/rowtext.h"
#include "kn4/number.h"

#include <cmath>
#include <clocale>
#include <cstdio>

namespace kn4::editor {

double Measures::ParseMeasure(std::string_view text)
{
    std::string compact;
    for (char c : text)
        if (c != ' ')
            compact += c;
    if (const std::size_t comma = compact.find(','); comma != std::string::npos && comma >= 1)
        compact[comma] = '.';
    return leadingNumber(compact);
}

char Measures::systemDecimalSeparator()
{
    const std::lconv *conventions = std::localeconv();
    // Only a one-byte comma is taken; any other separator (or none) reads
    // as the point, which every reader of the suite understands.
    if (conventions && conventions->decimal_point && conventions->decimal_point[0] == ',' &&
        conventions->decimal_point[1] == '\0')
        return ',';
    return '.';
}

std::string Measures::FormatMeasure(double value, int decimals, char separator)
{
    if (!std::isfinite(value))
        value = 0.0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals < 0 ? 0 : decimals > 10 ? 10 : decimals, value);
    std::string text(buffer);
    if (const std::size_t point = text.find('.'); point != std::string::npos)
        text[point] = separator;
    return text;
}

std::string Measures::needlesToCm(double needles, std::string_view needlesPerCm, char separator)
{
    const double perCm = ParseMeasure(needlesPerCm);
    if (!(perCm > 0.0))
        return "0";
    return FormatMeasure(needles / perCm, 2, separator);
}

std::string Measures::coursesToCm(double courses, std::string_view coursesPerCm, char separator,
                                  double offset)
{
    const double perCm = ParseMeasure(coursesPerCm);
    if (!(perCm > 0.0))
        return "0";
    return FormatMeasure(courses / perCm + offset, 2, separator);
}

std::string Measures::rowToolTip(std::string_view rowText, int column, std::string_view needlesPerCm,
                                 std::string_view coursesPerCm, std::string_view noMeasuresText,
                                 char separator)
{
    if (column < FieldTable::field(4).first || column > FieldTable::field(6).last)
        return {};
    if (!(ParseMeasure(needlesPerCm) > 0.0) || !(ParseMeasure(coursesPerCm) > 0.0))
        return std::string(noMeasuresText);
    const double courses = leadingInteger(RowText::field(rowText, 4));
    const double outer = leadingInteger(RowText::field(rowText, 5));
    const double inner = leadingInteger(RowText::field(rowText, 6));
    return coursesToCm(courses, coursesPerCm, separator) + " cm  " +
           needlesToCm(outer, needlesPerCm, separator) + " cm  " +
           needlesToCm(inner, needlesPerCm, separator) + " cm";
}

} // namespace kn4::editor
