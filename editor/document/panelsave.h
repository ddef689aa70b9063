#pragma once

#include "document/commandlibrary.h"
#include "document/carriagewarning.h"
#include "document/panelmodel.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace kn4::editor {

// Saving a panel: the source text is written under the name the panel was
// opened with and, when the running totals found no carriage warning, the
// compiler library compiles it in place. The compile result and report are
// kept from one save to the next for as long as the editor runs: a save that
// does not compile shows the report of the previous compilation.
//
// A failed write never touches the panel on disk and is never followed by a
// compilation: the caller keeps the panel marked modified and shows the
// message.
class PanelSave
{
public:
    // Hint key shown at once after a save that compiled without errors.
    static constexpr const char *kSavedHintKey = "Salvataggio_Completato";
    // The compile report holds at most this many characters.
    static constexpr std::size_t kMaxReport = KN4_REPORT_SIZE;

    struct Outcome
    {
        // The panel file now holds the panel. When false nothing else
        // happened: the file on disk is unchanged, nothing was compiled and
        // the compile result and report are those of before.
        bool written = false;
        std::string errorMessage;   // UTF-8, when not written
        // UTF-8, when the original of a panel opened as invalid was kept
        // beside it during this save: tell the user where it went.
        std::string backupMessage;
        bool compiled = false;      // Compilazione was called
        // Show the hint kSavedHintKey at once (Esperto123Immediato).
        bool showSavedHint = false;
        std::int32_t compileResult = 0;  // the kept result after this save
    };

    explicit PanelSave(const CommandLibrary &library) : m_library(library) {}

    // Writes panel (already brought up to date by the window) to panelPath
    // and compiles it with the keyword file of folder when carriageCheck is
    // 0. carriageCheck is the running totals' warning: 0 none, -1 outer
    // carriage beyond the needle bed, -2 inner carriage at 0, -3 outer
    // carriage against the inner one; with a warning the panel is written
    // but not compiled, and the kept result becomes the warning unless it is
    // 5 (grave errors stay shown as such).
    //
    // backupBeforeSave: the file on disk is a panel that opened as invalid.
    // Its original is kept beside it first (PanelBackup) and the flag is
    // cleared once that copy exists; when the copy cannot be made the panel
    // is not written, so the only copy of the original is not lost.
    //
    // The modified flag is the caller's: clear it only when written.
    Outcome save(const PanelModel &panel, const ColourCodec &codec,
                 const std::filesystem::path &panelPath, const std::filesystem::path &folder,
                 std::int16_t carriageCheck, bool &backupBeforeSave);

    std::int32_t compileResult() const { return m_result; }
    // The report of the last compilation, Windows-1252 bytes, lines ended by
    // CR LF; empty before the first compilation.
    const std::string &compileReport() const { return m_report; }

    // The library's report as kept: up to the first NUL, at most kMaxReport
    // characters.
    static std::string keptReport(std::string report);

private:
    const CommandLibrary &m_library;
    std::int32_t m_result = 0;
    std::string m_report;
};

} // namespace kn4::editor
