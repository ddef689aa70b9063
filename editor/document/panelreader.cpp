#include "panelreader.h"

#include "document/rowtext.h"
#include "kn4/cp1252.h"
#include "kn4/number.h"

#include <vector>

namespace kn4::editor {

namespace {

constexpr std::string_view kSourceMarker = "SORGENTE.KN4";
// The header's line words are looked for where the editor writes them, at
// the start of their line: the same words typed into a header field or a
// note sit elsewhere in their line and are never taken for them.
constexpr std::string_view kProgramLineStart = "; --- Inizio programma";
constexpr std::string_view kExitLineStart = "uscita";
constexpr int kHeaderLines = 7;
constexpr std::size_t kNoteLength = 39;

// Removes "-" at both ends; an all-"-" value gives the empty text.
std::string_view stripDashes(std::string_view text)
{
    const std::size_t begin = text.find_first_not_of('-');
    if (begin == std::string_view::npos)
        return {};
    const std::size_t end = text.find_last_not_of('-');
    return text.substr(begin, end - begin + 1);
}

std::string trimmedColumns(std::string_view line, int first, int last)
{
    return std::string(trimBlanks(RowText::columns(line, first, last)));
}

std::string strippedColumns(std::string_view line, int first, int last)
{
    const std::string text = RowText::columns(line, first, last);
    return std::string(stripDashes(trimBlanks(text)));
}

// The complete (CR LF ended) lines of text from position start on.
std::vector<std::string_view> completeLines(std::string_view text, std::size_t start)
{
    std::vector<std::string_view> lines;
    std::size_t pos = start;
    while (pos <= text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        if (end == std::string_view::npos)
            break;
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

std::string partWord(char letter)
{
    switch (letter) {
    case 'A': return "Avvit.";
    case 'G': return "G.Man.";
    case 'S': return "Spalla";
    case 'C': return "Scollo";
    case 'M': return "Manica";
    default: return "     .";
    }
}

} // namespace

PanelReader::PanelReader(const CommandList &commands, const CommandLibrary &library,
                         const ColourCodec &codec, std::int32_t needles, bool intervalMarkerDash)
    : m_commands(commands), m_library(library), m_codec(codec), m_needles(needles),
      m_intervalMarkerDash(intervalMarkerDash)
{
}

std::optional<std::size_t> PanelReader::sourceStart(std::string_view fileText)
{
    const std::size_t marker = fileText.find(kSourceMarker);
    if (marker == std::string_view::npos)
        return std::nullopt;
    const std::size_t end = fileText.find("\r\n", marker);
    if (end == std::string_view::npos)
        return fileText.size();
    return end + 2;
}

std::string PanelReader::unknownCommandMessage(std::string_view name)
{
    return "La funzione '" + cp1252ToUtf8(toUpperAscii(name)) +
           "' non compare nel file VUZUDO.KEY. Contattare l'assistenza tecnica.";
}

PanelReader::Result PanelReader::read(std::string_view fileText, PanelModel &panel) const
{
    Result result;
    const std::optional<std::size_t> start = sourceStart(fileText);
    if (!start)
        return result;
    result.outcome = Outcome::Invalid;

    // The compiled block before the marker is binary: every search below
    // looks at the source part only.
    const std::string_view source = fileText.substr(*start);
    const std::vector<std::string_view> lines = completeLines(source, 0);
    // A header cut short keeps what its lines that exist give: a missing
    // line leaves its fields as they were.
    auto exists = [&lines](int number) { return std::size_t(number) <= lines.size(); };
    auto line = [&lines](int number) { return lines[std::size_t(number - 1)]; };

    PanelHeader &h = panel.header;
    if (exists(1)) {
        h.tipo = strippedColumns(line(1), 5, 9);
        h.taglia = strippedColumns(line(1), 19, 20);
        h.parte = strippedColumns(line(1), 28, 37);
    }
    if (exists(2)) {
        h.frontura = trimmedColumns(line(2), 9, 11);
        if (h.frontura.empty())
            h.frontura = std::to_string(m_needles);
        h.densita = strippedColumns(line(2), 22, 29);
    }
    if (exists(3)) {
        h.costinaDx = trimmedColumns(line(3), 8, 10);
        if (std::string left = trimmedColumns(line(3), 14, 16); !left.empty())
            h.costinaSx = left;
    }
    if (exists(4)) {
        h.scolloDx = trimmedColumns(line(4), 8, 10);
        if (std::string left = trimmedColumns(line(4), 14, 16); !left.empty())
            h.scolloSx = left;
    }
    if (exists(5)) {
        h.altezzaBordo = strippedColumns(line(5), 11, 15);
        h.aghiCm = strippedColumns(line(5), 22, 26);
        h.ranghiCm = strippedColumns(line(5), 34, 38);
    }
    if (exists(6)) {
        // A blank or "." set-up value is what the editor writes for an empty
        // field (the field takes "."): it reads as empty, and the compiler
        // then reports the missing value. Any other value that is not a
        // number makes the panel invalid; the reading stops there.
        const std::string setUp = trimmedColumns(line(6), 16, 16);
        if (hasLeadingInteger(setUp)) {
            h.predisposizione = setUp;
        } else {
            h.predisposizione.clear();
            if (!setUp.empty() && setUp != ".") {
                result.reason = "set-up value is not a number";
                return result;
            }
        }
    }
    // The exit value is read back, so opening and saving a panel keeps it.
    if (exists(7)) {
        if (std::string exit = trimmedColumns(line(7), 7, 7); !exit.empty())
            h.uscita = exit;
    }
    if (!exists(kHeaderLines)) {
        result.reason = "header lines missing";
        return result;
    }

    // Notes: the three lines after the first line that begins with
    // "uscita", each when it begins with ";" and until the program marker
    // line.
    std::size_t exitLine = 0;
    while (exitLine < lines.size() && !lines[exitLine].starts_with(kExitLineStart))
        ++exitLine;
    for (std::size_t n = 0; n < h.note.size(); ++n) {
        const std::size_t at = exitLine + 1 + n;
        h.note[n].clear();
        if (at >= lines.size() || lines[at].starts_with(kProgramLineStart))
            break;
        const std::string_view noteLine = lines[at];
        if (!noteLine.empty() && noteLine.front() == ';') {
            std::string note(noteLine.substr(1, kNoteLength));
            note.erase(note.find_last_not_of(' ') + 1);
            h.note[n] = note;
        }
    }

    // Colours: the codes after the ";" that follows "Inizio programma" on
    // the first line that begins with the program marker.
    std::size_t program = 0;
    while (program < source.size()) {
        if (source.substr(program).starts_with(kProgramLineStart))
            break;
        const std::size_t end = source.find("\r\n", program);
        program = end == std::string_view::npos ? source.size() : end + 2;
    }
    if (program >= source.size()) {
        result.reason = "program marker line missing";
        return result;
    }
    const std::size_t programEnd = source.find("\r\n", program);
    const std::string_view programLine =
        source.substr(program, programEnd == std::string_view::npos ? std::string_view::npos
                                                                    : programEnd - program);
    const std::size_t wordsEnd = kProgramLineStart.size();
    if (const std::size_t semicolon = programLine.find(';', wordsEnd); semicolon != std::string_view::npos) {
        const std::string_view codes = trimBlanks(programLine.substr(semicolon + 1));
        if (codes.size() > 7) {
            for (int box = 0; box < PanelModel::kColourBoxes; ++box)
                if (m_codec.toColour)
                    m_codec.toColour(codes[std::size_t(box)], panel.colours[std::size_t(box)]);
        }
    }

    // Rows: every CR LF ended line after the program marker line; empty and
    // all-blank lines hold no row and are passed over.
    panel.rows.clear();
    if (programEnd != std::string_view::npos) {
        for (std::string_view raw : completeLines(source, programEnd + 2)) {
            if (trimBlanks(raw).empty())
                continue;
            if (panel.rows.size() == std::size_t(PanelModel::kMaxRows)) {
                result.reason = "more rows than the row store holds";
                return result;
            }
            std::string unknown;
            std::optional<std::string> row = convertRow(raw, &unknown);
            if (!row) {
                result.outcome = Outcome::UnknownCommand;
                result.fatalMessage = unknownCommandMessage(unknown);
                return result;
            }
            panel.rows.push_back(std::move(*row));
        }
    }
    result.outcome = Outcome::Read;
    return result;
}

std::optional<std::string> PanelReader::convertRow(std::string_view line,
                                                   std::string *unknownName) const
{
    const std::size_t comma = line.find(',');
    const std::size_t blank = line.find(' ');
    std::size_t nameEnd = std::min(comma, blank);
    if (nameEnd == std::string_view::npos)
        nameEnd = std::min<std::size_t>(RowText::kCommandWidth, line.size());
    const std::string_view name = line.substr(0, nameEnd);

    const int entry = m_commands.findByDisplayName(name);
    if (entry < 0) {
        if (unknownName)
            *unknownName = std::string(name);
        return std::nullopt;
    }
    const std::string lowerName = toLowerAscii(name);

    std::string row = RowText::emptyTemplate(m_intervalMarkerDash);
    const FieldSpan command = FieldTable::field(0);
    const bool commaBeforeBlank = comma != std::string_view::npos &&
                                  (blank == std::string_view::npos || comma < blank);
    if (!commaBeforeBlank)
        RowText::overlay(row, command.first, command.last,
                         toLowerAscii(RowText::columns(line, command.first, command.last)));
    else
        RowText::overlay(row, command.first, command.last, lowerName);

    RowText::overlay(row, 16, 20, RowText::columns(line, 16, 20));
    RowText::overlay(row, 22, 26, RowText::columns(line, 22, 26));

    if (entry == RowText::kIncreaseEntry) {
        const std::string afterName =
            lowerName.size() < std::size_t(RowText::kCommandWidth)
                ? RowText::columns(row, int(lowerName.size()), command.last)
                : std::string();
        if (afterName.find('s') != std::string::npos) {
            RowText::overlay(row, command.first, command.last, lowerName);
            RowText::overlay(row, 13, 14, "1s");
        } else {
            row[14] = '1';
        }
    }

    RowText::overlay(row, 55, 60, partWord(RowText::at(line, 30)));
    switch (RowText::at(line, 31)) {
    case '0': case '4': row[RowText::kFlagMark] = '.'; break;
    case '1': case '5': row[RowText::kFlagMark] = 'L'; break;
    case '2': case '6': row[RowText::kFlagMark] = 'P'; break;
    case '3': case '7': row[RowText::kFlagMark] = 'B'; break;
    default: break;
    }
    row[RowText::kIntervalMarker] = m_intervalMarkerDash ? '-' : ' ';

    const CommandEntry &e = m_commands.entry(entry);
    if (entry == RowText::kDefinitionEntry) {
        const ParameterPositions positions = m_library.GetPosizioneParametri(e.functionCode);
        const DefaultTexts defaults = m_library.GetDefault(e.functionCode);
        if (positions.hasP1() && positions.p1Last < RowText::kVisibleLength) {
            // The text at P1's columns, as far as the line reaches.
            const std::string_view kind =
                std::size_t(positions.p1First) < line.size()
                    ? line.substr(std::size_t(positions.p1First), std::size_t(positions.p1Width()))
                    : std::string_view();
            const std::string classified = m_library.ClickSxIntervallo(e.functionCode, kind);
            RowText::overlay(row, positions.p1First, positions.p1Last,
                             classified.empty() ? kind : std::string_view(classified));
        }
        if (positions.hasP2() && positions.p2Last < RowText::kVisibleLength)
            RowText::overlay(row, positions.p2First, positions.p2Last, defaults.p2);
    }

    const std::string definitionName = toLowerAscii(m_commands.entry(0).displayName);
    if (definitionName.empty() || row.find(definitionName) == std::string::npos) {
        if (row.find('-', std::size_t(RowText::kRepetitionComma)) != std::string::npos)
            row[RowText::kCycleOfCyclesMark] = 'C';
    }
    return RowText::withCodes(row, e.functionCode, entry);
}

} // namespace kn4::editor
