#pragma once

#include "document/rowtext.h"

#include "kn4/libraryclient.h"

#include <kn4edit2.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace kn4::editor {

// The operations of the compiler library, as the editor's core uses them.
// LibraryBinding calls the real libkn4edit2.so; tests may put a fake in its
// place. Texts are Windows-1252 bytes, as in the panel file.
class CommandLibrary
{
public:
    // The library client's own value types: a looked-up command (name ""
    // and index -1 when unknown), the eight click operations named after
    // the library's exports, and a compile result with its report.
    using Lookup = LibraryClient::Lookup;
    using Click = LibraryClient::Click;
    using CompileResult = LibraryClient::CompileResult;

    virtual ~CommandLibrary() = default;

    virtual Lookup CercaFunzione(std::string_view word) const = 0;
    virtual ParameterPositions GetPosizioneParametri(std::int32_t index) const = 0;
    virtual DefaultTexts GetDefault(std::int32_t index) const = 0;
    // The new text of a field after a click; "" when the field cannot move.
    virtual std::string click(Click operation, std::int32_t index, std::string_view text) const = 0;
    // Fills the five outputs of the record from the three inputs.
    virtual void SimulaFunzione(std::int32_t index, Kn4Simulazione &record) const = 0;
    virtual CompileResult Compilazione(const std::string &panelPath,
                                       const std::string &folder) const = 0;

    std::string ClickSxP1(std::int32_t i, std::string_view t) const { return click(Click::SxP1, i, t); }
    std::string ClickDxP1(std::int32_t i, std::string_view t) const { return click(Click::DxP1, i, t); }
    std::string ClickSxP2(std::int32_t i, std::string_view t) const { return click(Click::SxP2, i, t); }
    std::string ClickDxP2(std::int32_t i, std::string_view t) const { return click(Click::DxP2, i, t); }
    std::string ClickSxIntervallo(std::int32_t i, std::string_view t) const { return click(Click::SxIntervallo, i, t); }
    std::string ClickDxIntervallo(std::int32_t i, std::string_view t) const { return click(Click::DxIntervallo, i, t); }
    std::string ClickSxRipetizione(std::int32_t i, std::string_view t) const { return click(Click::SxRipetizione, i, t); }
    std::string ClickDxRipetizione(std::int32_t i, std::string_view t) const { return click(Click::DxRipetizione, i, t); }
};

} // namespace kn4::editor
