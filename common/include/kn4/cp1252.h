#pragma once

#include <string>
#include <string_view>

namespace kn4 {

// Panel, keyword and language files are 8-bit Windows-1252 text. The suite
// keeps their bytes as they are and converts only to show them (UTF-8) and
// to store what the user typed (back to Windows-1252).

// Converts Windows-1252 bytes to UTF-8. The five bytes that code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same
// value, so a round trip through fromUtf8 gives the original bytes back.
std::string cp1252ToUtf8(std::string_view bytes);

// Converts UTF-8 text to Windows-1252. A character the code page cannot hold,
// and a malformed UTF-8 sequence, become the replacement byte.
std::string utf8ToCp1252(std::string_view utf8, char replacement = '?');

} // namespace kn4
