#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kn4 {

// The running course count beside the listing. Each row adds its courses,
// its repetition C times its interval R (C alone when R is 0), to the total
// of its definition; rows inside a cycle of cycles (bold) gather into the
// cycle instead, and the row that closes the cycle multiplies the gathered
// cycle by its own repetition. A row without a comma (a definition) starts
// the count again. The counts are 64-bit: a long piece never wraps them.
class CountColumn
{
public:
    static constexpr std::size_t kWidth = 11; // then the closing "|"

    // The column text for one row; row is the row's text as it stood before
    // the alias took its command field, with its markers already blanked.
    // cycleLabel is the label that opens a bold row's column.
    std::string next(std::string_view row, bool bold, std::string_view cycleLabel);

    std::int64_t total() const { return m_total; }
    std::int64_t cycle() const { return m_cycle; }

    // The column of a row that restarts the count.
    static constexpr std::string_view kRestart = "|  0 ******|";

    // The column text: prefix, then the value with its leading blank, in
    // kWidth characters and the closing "|". A value too long for the
    // column first loses its leading blank, then shows as ">99999999" (or
    // "<-9999999"): beyond what the column holds, never a cut number.
    static std::string column(std::string_view prefix, std::int64_t value);

private:
    std::int64_t m_total = 0;
    std::int64_t m_cycle = 0;
};

// A number as the listing writes it: a leading blank before a value that is
// not negative.
std::string numberWithSign(std::int64_t value);

} // namespace kn4
