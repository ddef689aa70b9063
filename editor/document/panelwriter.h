#pragma once

#include "document/panelmodel.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::editor {

// Writes the source text of a panel: the marker "SORGENTE.KN4", seven header
// lines and three note lines from fixed templates, the program marker line
// with the eight palette codes, and one line per row. Every line ends with
// CR LF; bytes are Windows-1252 as the model holds them.
class PanelWriter
{
public:
    static constexpr const char *kSourceMarker = "SORGENTE.KN4";
    static constexpr const char *kProgramMarker = "; --- Inizio programma ;";
    static constexpr int kLineWidth = 40;

    // Before a row is written its interval marker (column 16) is cleared
    // unless the interval begins with a digit 1-9; the window calls this on
    // its row store before saving so the cleared marker stays cleared.
    // Definition rows are left as they are.
    static void clearIdleIntervalMarkers(std::vector<std::string> &rows);

    // The whole source text (the markers are cleared in the written copy).
    static std::string sourceText(const PanelModel &panel, const ColourCodec &codec);

    // Writes the source text to path through a temporary file and a rename,
    // so the old file stays whole when writing fails. False with *error set
    // on failure.
    static bool write(const std::filesystem::path &path, const PanelModel &panel,
                      const ColourCodec &codec, std::string *error = nullptr);

    // No line of the header part of the source (header and note lines)
    // begins like the program marker line: in such a note the blank between
    // "Inizio" and "programma" becomes "-".
    static void keepProgramWordsOut(std::string &header);

    // The single lines, for the callers that show or check them.
    static std::string typeLine(const PanelHeader &header);
    static std::string needleBedLine(const PanelHeader &header);
    static std::string ribLine(const PanelHeader &header, bool twoSided);
    static std::string necklineLine(const PanelHeader &header, bool twoSided);
    static std::string measuresLine(const PanelHeader &header);
    static std::string setupLine(const PanelHeader &header);
    static std::string exitLine(const PanelHeader &header);
    static std::string noteLine(std::string_view note);
    static std::string programMarkerLine(const PanelModel &panel, const ColourCodec &codec);
    // A row's line: a definition row keeps columns 0-26 and blanks to 40;
    // any other row columns 0-26 (the repetition may use column 26), ";" at
    // column 27 and blanks to 40.
    static std::string rowLine(std::string_view rowText);

    // Value helpers of the templates: the text followed by fill characters,
    // cut to the width; the text right-aligned in 3 columns ("---" when it is
    // longer).
    static std::string filled(std::string_view text, int width, char fill);
    static std::string rightAligned3(std::string_view text);
};

} // namespace kn4::editor
