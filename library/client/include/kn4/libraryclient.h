#pragma once

#include "kn4/programdirectory.h"

#include <kn4edit2.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace kn4 {

// The compiler library libkn4edit2.so, loaded at run time from one folder
// (the program directory unless told otherwise) and never searched for
// elsewhere, so a stray copy on the system is never picked up. All thirteen
// exports must be there; the wrappers take and give C++ values, size the
// library's buffers as kn4edit2.h asks and never read past them.
//
// Texts are Windows-1252 bytes, as in the panel files. Before a successful
// load every call gives the neutral answer (unknown command, no parameters,
// empty texts, no effect, result KN4_NOT_A_SOURCE).
class LibraryClient
{
public:
    static constexpr const char *kFileName = "libkn4edit2.so";

    enum class Status {
        NotLoaded,       // load() not called yet
        Loaded,
        Missing,         // no such file in the folder
        Unloadable,      // the system loader refused the file
        MissingFunction, // loaded, but one of the thirteen exports is absent
    };

    struct Lookup
    {
        std::string name;        // family word or command name; "" when unknown
        std::int32_t index = -1; // catalogue index 0..74, -1 when unknown
    };

    // 0-based first and last row-text columns of P1 and P2, -1 for none.
    struct Positions
    {
        std::int32_t p1First = -1;
        std::int32_t p1Last = -1;
        std::int32_t p2First = -1;
        std::int32_t p2Last = -1;
    };

    struct Defaults
    {
        std::string p1;
        std::string p2;
        std::string interval;
        std::string repetition;
    };

    // The eight click operations, in the order of their exports.
    enum class Click {
        SxP1, DxP1, SxP2, DxP2,
        SxIntervallo, DxIntervallo, SxRipetizione, DxRipetizione,
    };

    struct CompileResult
    {
        std::int32_t code = KN4_NOT_A_SOURCE; // KN4_COMPILED ... of kn4edit2.h
        std::string report;                   // at most 8191 bytes, CR LF lines
    };

    using CompileFunction = std::int32_t (*)(const char *panel, const char *folder, char *report);

    LibraryClient() = default;
    ~LibraryClient();
    LibraryClient(const LibraryClient &) = delete;
    LibraryClient &operator=(const LibraryClient &) = delete;

    // Loads folder/libkn4edit2.so and resolves the thirteen exports; a
    // library loaded before is released first. False on failure, with
    // status() and errorMessage() saying why.
    bool load(const std::filesystem::path &folder = programDirectory());
    void unload();

    bool isLoaded() const { return m_status == Status::Loaded; }
    Status status() const { return m_status; }
    // The file loaded, or tried last.
    const std::filesystem::path &file() const { return m_file; }
    // The export that was missing (Status::MissingFunction).
    const std::string &missingFunction() const { return m_missing; }
    // The system loader's reason (Status::Unloadable).
    const std::string &loaderReason() const { return m_reason; }
    // One line naming the file and what went wrong; "" once loaded.
    std::string errorMessage() const;

    Lookup CercaFunzione(std::string_view word) const;
    Positions GetPosizioneParametri(std::int32_t index) const;
    Defaults GetDefault(std::int32_t index) const;
    // The new text of a field after a click; "" when it cannot move.
    std::string click(Click operation, std::int32_t index, std::string_view text) const;
    std::string ClickSxP1(std::int32_t i, std::string_view t) const { return click(Click::SxP1, i, t); }
    std::string ClickDxP1(std::int32_t i, std::string_view t) const { return click(Click::DxP1, i, t); }
    std::string ClickSxP2(std::int32_t i, std::string_view t) const { return click(Click::SxP2, i, t); }
    std::string ClickDxP2(std::int32_t i, std::string_view t) const { return click(Click::DxP2, i, t); }
    std::string ClickSxIntervallo(std::int32_t i, std::string_view t) const { return click(Click::SxIntervallo, i, t); }
    std::string ClickDxIntervallo(std::int32_t i, std::string_view t) const { return click(Click::DxIntervallo, i, t); }
    std::string ClickSxRipetizione(std::int32_t i, std::string_view t) const { return click(Click::SxRipetizione, i, t); }
    std::string ClickDxRipetizione(std::int32_t i, std::string_view t) const { return click(Click::DxRipetizione, i, t); }
    // Fills the five outputs of the record from its three inputs.
    void SimulaFunzione(std::int32_t index, Kn4Simulazione &record) const;
    // Compiles the panel in place with the keyword file of folder.
    CompileResult Compilazione(const std::string &panelPath, const std::string &folder) const;

    // The raw compile entry point (nullptr before a load), for callers that
    // hand it on as a plain function.
    CompileFunction compileFunction() const { return m_compile; }

private:
    using LookupFn = void (*)(const char *, char *, std::int32_t *);
    using PositionsFn = void (*)(std::int32_t, std::int32_t *, std::int32_t *, std::int32_t *, std::int32_t *);
    using DefaultFn = void (*)(std::int32_t, char *, char *, char *, char *);
    using ClickFn = void (*)(std::int32_t, const char *, char *);
    using SimulateFn = void (*)(std::int32_t, Kn4Simulazione *);

    void *m_handle = nullptr;
    LookupFn m_lookup = nullptr;
    PositionsFn m_positions = nullptr;
    DefaultFn m_defaults = nullptr;
    ClickFn m_clicks[8] = {};
    SimulateFn m_simulate = nullptr;
    CompileFunction m_compile = nullptr;

    Status m_status = Status::NotLoaded;
    std::filesystem::path m_file;
    std::string m_missing;
    std::string m_reason;
};

} // namespace kn4
