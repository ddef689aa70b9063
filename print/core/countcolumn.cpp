#include "countcolumn.h"

#include "kn4/number.h"

#include <algorithm>
#include <limits>

namespace kn4 {

namespace {

// Sums and products of the counts stop at the 64-bit limits instead of
// wrapping: a damaged row of huge cycles must not turn into a small count.
std::int64_t added(std::int64_t a, std::int64_t b)
{
    std::int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
    return sum;
}

std::int64_t multiplied(std::int64_t a, std::int64_t b)
{
    std::int64_t product = 0;
    if (__builtin_mul_overflow(a, b, &product))
        return (a < 0) == (b < 0) ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
    return product;
}

} // namespace

std::string numberWithSign(std::int64_t value)
{
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

std::string CountColumn::column(std::string_view prefix, std::int64_t value)
{
    std::string number = numberWithSign(value);
    const std::size_t room = kWidth > prefix.size() ? kWidth - prefix.size() : 0;
    if (number.size() > room && number.front() == ' ')
        number.erase(0, 1); // the blank before a number that is not negative can go
    if (number.size() > room) {
        // Too many digits for the column: it says the value lies beyond the
        // largest it can show, never a number cut to a wrong one.
        number = value < 0 ? "<-" + std::string(room > 2 ? room - 2 : 0, '9')
                           : ">" + std::string(room > 1 ? room - 1 : 0, '9');
        number.resize(std::min(number.size(), room));
    }
    std::string text = std::string(prefix) + number;
    text.resize(kWidth, ' ');
    return text + "|";
}

std::string CountColumn::next(std::string_view row, bool bold, std::string_view cycleLabel)
{
    const std::size_t first = row.find(',');
    if (first == std::string_view::npos) {
        m_total = 0;
        m_cycle = 0;
        return std::string(kRestart);
    }
    const std::size_t second = row.find(',', first + 1);
    const std::int64_t interval = leadingInteger(
        row.substr(first + 1, second == std::string_view::npos ? std::string_view::npos : second - first - 1));
    std::int64_t repetition =
        second == std::string_view::npos ? 0 : leadingInteger(row.substr(second + 1, 8));
    if (bold) {
        m_cycle = added(m_cycle, interval == 0 ? repetition : multiplied(repetition, interval));
        return column(std::string(cycleLabel) + " ", m_cycle);
    }
    if (m_cycle != 0) {
        repetition = multiplied(repetition, m_cycle);
        m_cycle = 0;
    }
    m_total = added(m_total, interval == 0 ? repetition : multiplied(repetition, interval));
    return column("| ", m_total);
}

} // namespace kn4
