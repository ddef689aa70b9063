#include "countcolumn.h"

#include "kn4/number.h"

namespace kn4 {

std::string numberWithSign(std::int64_t value)
{
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
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
    std::string column;
    if (bold) {
        m_cycle += interval == 0 ? repetition : repetition * interval;
        column = std::string(cycleLabel) + " " + numberWithSign(m_cycle);
    } else {
        if (m_cycle != 0) {
            repetition *= m_cycle;
            m_cycle = 0;
        }
        m_total += interval == 0 ? repetition : repetition * interval;
        column = "| " + numberWithSign(m_total);
    }
    column.resize(kWidth, ' ');
    return column + "|";
}

} // namespace kn4
