#pragma once

#include "document/commandlibrary.h"
#include "document/commandlist.h"
#include "document/panelmodel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kn4::editor {

// Reads a panel file, in its source form or compiled (anything before the
// first "SORGENTE.KN4" is ignored), into the panel model: header fields,
// colour boxes and row texts. Lines may be shorter than the columns read:
// missing columns read as blanks.
class PanelReader
{
public:
    enum class Outcome {
        NoSource,        // no "SORGENTE.KN4" marker: a new panel, no message
        Read,            // header, colours and rows read
        Invalid,         // not a valid panel: what was read so far stays
        UnknownCommand,  // a row names a command the keyword file lacks: the program ends
    };

    struct Result
    {
        Outcome outcome = Outcome::NoSource;
        std::string fatalMessage;  // UTF-8, for UnknownCommand
        std::string reason;        // what made the panel invalid (for tests and logs)
    };

    // needles: the command line's needle count, used when the panel gives
    // none; intervalMarkerDash: the command line's marker mode is not 1.
    PanelReader(const CommandList &commands, const CommandLibrary &library,
                const ColourCodec &codec, std::int32_t needles, bool intervalMarkerDash);

    // Fills panel from the whole file text. panel keeps, for what the file
    // does not give, the values it had (the left rib and neckline when the
    // file has none, the exit value when its column is blank).
    Result read(std::string_view fileText, PanelModel &panel) const;

    // Converts one raw row line into a row text. Returns nothing when the
    // command is not in the keyword file (unknownName then holds it).
    std::optional<std::string> convertRow(std::string_view line, std::string *unknownName) const;

    // Position of the first line after the "SORGENTE.KN4" line; nothing
    // when the text has no marker.
    static std::optional<std::size_t> sourceStart(std::string_view fileText);

    static std::string unknownCommandMessage(std::string_view name);

private:
    const CommandList &m_commands;
    const CommandLibrary &m_library;
    const ColourCodec &m_codec;
    std::int32_t m_needles;
    bool m_intervalMarkerDash;
};

} // namespace kn4::editor
