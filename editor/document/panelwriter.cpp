#include "panelwriter.h"

#include "document/rowtext.h"
#include "kn4/atomicfile.h"

namespace kn4::editor {

namespace {

void put(std::string &line, int column, std::string_view value)
{
    line.replace(std::size_t(column), value.size(), value);
}

bool markerIsIdle(std::string_view row)
{
    const char first = RowText::at(row, FieldTable::field(1).first);
    return !(first >= '1' && first <= '9');
}

} // namespace

std::string PanelWriter::filled(std::string_view text, int width, char fill)
{
    std::string out(text.substr(0, std::size_t(width)));
    out.resize(std::size_t(width), fill);
    return out;
}

std::string PanelWriter::rightAligned3(std::string_view text)
{
    if (text.size() > 3)
        return "---";
    return std::string(3 - text.size(), ' ') + std::string(text);
}

std::string PanelWriter::typeLine(const PanelHeader &h)
{
    std::string line = "tipo -----, taglia --,parte ----------  ";
    put(line, 5, filled(h.tipo, 5, '-'));
    put(line, 19, filled(h.taglia, 2, '-'));
    put(line, 28, filled(h.parte, 10, '-'));
    return line;
}

std::string PanelWriter::needleBedLine(const PanelHeader &h)
{
    std::string line = "frontura    , densita --------          ";
    put(line, 9, filled(h.frontura, 3, ' '));
    put(line, 22, filled(h.densita, 8, '-'));
    return line;
}

std::string PanelWriter::ribLine(const PanelHeader &h, bool twoSided)
{
    if (twoSided) {
        std::string line = "costina    D     S                       ";
        put(line, 8, rightAligned3(h.costinaDx));
        put(line, 14, rightAligned3(h.costinaSx));
        return line;
    }
    std::string line = "costina                                 ";
    put(line, 8, filled(h.costinaDx, 3, ' '));
    return line;
}

std::string PanelWriter::necklineLine(const PanelHeader &h, bool twoSided)
{
    if (twoSided) {
        std::string line = "scollo     D     S                       ";
        put(line, 8, rightAligned3(h.scolloDx));
        put(line, 14, rightAligned3(h.scolloSx));
        return line;
    }
    std::string line = "scollo                                  ";
    put(line, 8, rightAligned3(h.scolloDx));
    return line;
}

std::string PanelWriter::measuresLine(const PanelHeader &h)
{
    std::string line = ";Alt.bordo      Ag.cm      Ran.cm       ";
    put(line, 11, filled(h.altezzaBordo, 5, '-'));
    put(line, 22, filled(h.aghiCm, 5, '-'));
    put(line, 34, filled(h.ranghiCm, 5, '-'));
    return line;
}

std::string PanelWriter::setupLine(const PanelHeader &h)
{
    std::string line = "predisposizione                         ";
    put(line, 16, filled(h.predisposizione, 1, ' '));
    return line;
}

std::string PanelWriter::exitLine(const PanelHeader &h)
{
    std::string line = "uscita                                  ";
    put(line, 7, filled(h.uscita, 1, ' '));
    return line;
}

std::string PanelWriter::noteLine(std::string_view note)
{
    return ";" + filled(note, kLineWidth - 1, ' ');
}

std::string PanelWriter::programMarkerLine(const PanelModel &panel, const ColourCodec &codec)
{
    std::string line = kProgramMarker;
    for (int box = 0; box < PanelModel::kColourBoxes; ++box) {
        // Every box writes one character, so the eight codes always read back
        // in place: a colour outside the palette falls back to the code of the
        // box's default colour (and to the first cell, "F", past that).
        char code = 'F';
        if (codec.toCode)
            codec.toCode(PanelModel::kDefaultColours[std::size_t(box)], code);
        if (codec.toCode)
            codec.toCode(panel.colours[std::size_t(box)], code);
        line += code;
    }
    return line;
}

std::string PanelWriter::rowLine(std::string_view rowText)
{
    if (RowText::entryIndex(rowText) == RowText::kDefinitionEntry)
        return RowText::columns(rowText, 0, 26) + std::string(13, ' ');
    return RowText::columns(rowText, 0, 26) + ";" + std::string(12, ' ');
}

void PanelWriter::clearIdleIntervalMarkers(std::vector<std::string> &rows)
{
    for (std::string &row : rows) {
        if (RowText::entryIndex(row) == RowText::kDefinitionEntry)
            continue;
        if (markerIsIdle(row) && row.size() > std::size_t(RowText::kIntervalMarker))
            row[RowText::kIntervalMarker] = ' ';
    }
}

void PanelWriter::keepProgramWordsOut(std::string &header)
{
    // Every reader of a panel takes the first line that begins with the
    // program marker for the program marker line. Only a note can begin its
    // line that way (its ";" and then " --- Inizio programma" typed); its
    // blank between the words becomes "-", as blanks typed into the header
    // fields do. The same words anywhere else in a line stay as typed.
    static constexpr std::string_view kLineStart = "; --- Inizio programma";
    for (std::size_t at = 0; at < header.size();) {
        if (std::string_view(header).substr(at).starts_with(kLineStart))
            header[at + kLineStart.rfind(' ')] = '-';
        const std::size_t end = header.find("\r\n", at);
        at = end == std::string::npos ? header.size() : end + 2;
    }
}

std::string PanelWriter::sourceText(const PanelModel &panel, const ColourCodec &codec)
{
    const bool twoSided = panel.isTwoSided();
    std::string text;
    auto add = [&text](std::string_view line) {
        text += line;
        text += "\r\n";
    };
    add(kSourceMarker);
    add(typeLine(panel.header));
    add(needleBedLine(panel.header));
    add(ribLine(panel.header, twoSided));
    add(necklineLine(panel.header, twoSided));
    add(measuresLine(panel.header));
    add(setupLine(panel.header));
    add(exitLine(panel.header));
    for (const std::string &note : panel.header.note)
        add(noteLine(note));
    keepProgramWordsOut(text);
    add(programMarkerLine(panel, codec));
    std::vector<std::string> rows = panel.rows;
    clearIdleIntervalMarkers(rows);
    for (const std::string &row : rows)
        add(rowLine(row));
    return text;
}

bool PanelWriter::write(const std::filesystem::path &path, const PanelModel &panel,
                        const ColourCodec &codec, std::string *error)
{
    return writeFileAtomically(path, sourceText(panel, codec), error);
}

} // namespace kn4::editor
