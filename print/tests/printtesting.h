#pragma once

// Panels for the print-out's tests: compiled-looking files built from
// source lines, and the golden panels compiled at build time.

#include <filesystem>
#include <string>
#include <vector>

namespace kn4::testing {

inline const std::filesystem::path kGoldenSource = KN4_PRINT_GOLDEN_SOURCE;
inline const std::filesystem::path kGoldenBuild = KN4_PRINT_GOLDEN_BUILD;
inline const std::filesystem::path kItalian = std::filesystem::path(KN4_SOURCE_DIR) / "data" / "italiano";

// A row line as the editor writes it: 40 characters.
inline std::string rowLine(const std::string &command, const std::string &interval, const std::string &repetition)
{
    std::string line = command;
    line.resize(15, ' ');
    std::string iv = interval;
    iv.resize(5, ' ');
    std::string rep = repetition;
    rep.resize(5, ' ');
    line += "," + iv + "," + rep + ";";
    line.resize(40, ' ');
    return line;
}

// A compiled panel file: header line, byte 26, code, marker, source lines.
inline std::string compiledPanel(const std::vector<std::string> &source, const std::string &header =
                                     "AB--- 44 DAVANTI---,120D,12------,1,5D 5S,20D 20S,532,500",
                                 const std::string &code = "\x9d\x94\x9c")
{
    std::string text = header + "\x1a" + code + "\r\nSORGENTE.KN4\r\n";
    for (const std::string &line : source)
        text += line + "\r\n";
    return text;
}

inline std::vector<std::string> sourceHeader()
{
    return {"tipo AB---, taglia 44,parte DAVANTI---  ", "frontura 120, densita 12------          ",
            "costina   5                             ", "scollo   20                             ",
            ";Alt.bordo 2,5--Ag.cm 3----Ran.cm 4.5-- ", "predisposizione 1                       ",
            "uscita 1                                ", ";nota uno                               ",
            ";nota due                               ", ";nota tre                               ",
            "; --- Inizio programma ;lG^_jYnK"};
}

} // namespace kn4::testing
