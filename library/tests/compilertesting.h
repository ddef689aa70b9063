#pragma once

// Helpers shared by the compiler's tests: panel sources written the way the
// editor writes them, and a compiler run on memory.

#include "compiler.h"

#include <string>
#include <vector>

namespace kn4::compiler::testing {

// Lines joined with CR LF, the last one included.
inline std::string lines(const std::vector<std::string> &rows)
{
    std::string text;
    for (const std::string &row : rows)
        text += row + "\r\n";
    return text;
}

// A complete header (width 120, rib 5, neckline 20) with the given set-up
// and exit values ("" leaves the value out), then "definizione" and rows.
inline std::string source(const std::vector<std::string> &rows, const std::string &setUp = "1",
                          const std::string &exit = "1")
{
    std::vector<std::string> all = {
        "tipo AB---, taglia 44,parte DAVANTI---  ",
        "frontura 120, densita 12------          ",
        "costina   5                             ",
        "scollo   20                             ",
        "predisposizione " + setUp,
        "uscita " + exit,
        "definizione ALTRO",
    };
    all.insert(all.end(), rows.begin(), rows.end());
    return lines(all);
}

inline std::vector<unsigned char> codeOf(const Compiler &compiler)
{
    const auto &m = compiler.machine();
    return {m.code(), m.code() + m.codeLength()};
}

// The report with CR LF folded to LF, for readable comparisons.
inline std::string reportText(const Compiler &compiler)
{
    std::string text;
    for (const char *p = compiler.report().text(); *p; ++p) {
        if (*p != '\r')
            text += *p;
    }
    return text;
}

} // namespace kn4::compiler::testing
