#pragma once

#include <cstdint>
#include <string_view>

namespace kn4 {

// Lenient number reading, as every text of the suite is read: optional
// leading blanks, an optional sign, digits; reading stops at the first other
// character and a text without digits reads as 0 (" 1" is 1, "-4" is -4,
// "2S" is 2, "" is 0). Values beyond the 32-bit range saturate instead of
// wrapping, so a long run of digits can never turn into a small number.
std::int32_t leadingInteger(std::string_view text);

// The same, but a "." followed by digits continues the number as its
// fraction ("3.5cm" is 3.5). Used for the measures of the header.
double leadingNumber(std::string_view text);

// True when the text holds at least one digit where leadingInteger reads,
// i.e. the text is not read as 0 for want of a number.
bool hasLeadingInteger(std::string_view text);

} // namespace kn4
