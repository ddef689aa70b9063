#include "kn4/number.h"

#include <cstdint>
#include <limits>

namespace kn4 {

namespace {

struct Scan
{
    std::size_t pos = 0;
    bool negative = false;
};

Scan skipBlanksAndSign(std::string_view text)
{
    Scan s;
    while (s.pos < text.size() && text[s.pos] == ' ')
        ++s.pos;
    if (s.pos < text.size() && (text[s.pos] == '-' || text[s.pos] == '+')) {
        s.negative = text[s.pos] == '-';
        ++s.pos;
    }
    return s;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::int32_t leadingInteger(std::string_view text)
{
    Scan s = skipBlanksAndSign(text);
    std::int64_t value = 0;
    const std::int64_t limit = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
    for (; s.pos < text.size() && isDigit(text[s.pos]); ++s.pos) {
        value = value * 10 + (text[s.pos] - '0');
        if (value > limit)
            value = limit;
    }
    if (s.negative)
        return value >= limit ? std::numeric_limits<std::int32_t>::min() : std::int32_t(-value);
    return value >= limit ? std::numeric_limits<std::int32_t>::max() : std::int32_t(value);
}

double leadingNumber(std::string_view text)
{
    Scan s = skipBlanksAndSign(text);
    double value = 0;
    for (; s.pos < text.size() && isDigit(text[s.pos]); ++s.pos)
        value = value * 10 + (text[s.pos] - '0');
    if (s.pos + 1 < text.size() && text[s.pos] == '.' && isDigit(text[s.pos + 1])) {
        double scale = 0.1;
        for (++s.pos; s.pos < text.size() && isDigit(text[s.pos]); ++s.pos) {
            value += (text[s.pos] - '0') * scale;
            scale /= 10;
        }
    }
    return s.negative ? -value : value;
}

bool hasLeadingInteger(std::string_view text)
{
    Scan s = skipBlanksAndSign(text);
    return s.pos < text.size() && isDigit(text[s.pos]);
}

} // namespace kn4
