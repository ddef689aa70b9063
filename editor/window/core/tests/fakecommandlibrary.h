#pragma once

#include "document/commandlibrary.h"

#include <map>

namespace kn4::editor::testing {

// A stand-in for the compiler library with a handful of commands, so the
// row list is tested without libkn4edit2.so. Function codes:
//   0 definizione  P1 12-30 " ALTRO", P2 43-62 twenty "-"
//   1 scollo       P1 13-14 " 1"
//   3 calato       P1 13-14 " 2"
//  10 liscio       no parameters
//  29 cicli        no parameters (closes a cycle of cycles)
// Everything else has no parameters and the cycle texts "1", "1".
class FakeCommandLibrary : public CommandLibrary
{
public:
    Lookup CercaFunzione(std::string_view word) const override
    {
        for (const auto &[code, name] : names())
            if (toLowerAscii(word) == name)
                return {toUpperAscii(name), code};
        return {};
    }

    ParameterPositions GetPosizioneParametri(std::int32_t index) const override
    {
        switch (index) {
        case 0: return {12, 30, 43, 62};
        case 1:
        case 3: return {13, 14, -1, -1};
        default: return {};
        }
    }

    DefaultTexts GetDefault(std::int32_t index) const override
    {
        switch (index) {
        case 0: return {" ALTRO", std::string(20, '-'), "0", "0"};
        case 1: return {" 1", "", "1", "1"};
        case 3: return {" 2", "", "1", "1"};
        default: return {"", "", "1", "1"};
        }
    }

    std::string click(Click, std::int32_t, std::string_view) const override { return {}; }
    void SimulaFunzione(std::int32_t, Kn4Simulazione &record) const override
    {
        record.bordoDx = record.bordoSx = record.scolloDx = record.scolloSx = record.segno = 0;
    }
    CompileResult Compilazione(const std::string &, const std::string &) const override { return {}; }

    static const std::map<std::int32_t, std::string> &names()
    {
        static const std::map<std::int32_t, std::string> table = {
            {0, "definizione"}, {1, "scollo"}, {3, "calato"}, {10, "liscio"}, {29, "cicli"}};
        return table;
    }
};

} // namespace kn4::editor::testing
