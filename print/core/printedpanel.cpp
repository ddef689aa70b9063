#include "printedpanel.h"

#include "kn4/filelookup.h"
#include "kn4/labelfile.h"
#include "kn4/number.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace kn4 {

namespace {

constexpr std::string_view kMarker = "\r\nSORGENTE.KN4";
constexpr std::string_view kProgramMarker = "Inizio programma";

std::string_view field(std::string_view text, std::size_t pos, std::size_t length)
{
    if (pos >= text.size())
        return {};
    return text.substr(pos, length);
}

bool startsWithIgnoringCase(std::string_view text, std::string_view word)
{
    return text.size() >= word.size() && equalsIgnoringCase(text.substr(0, word.size()), word);
}

// A measure of the source header: "," counts as a decimal point.
double measure(std::string_view text)
{
    std::string value(text);
    std::replace(value.begin(), value.end(), ',', '.');
    return leadingNumber(value);
}

// The comma fields of the compiled header line.
std::vector<std::string_view> commaFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t comma = line.find(',', pos);
        fields.push_back(line.substr(pos, comma == std::string_view::npos ? std::string_view::npos : comma - pos));
        if (comma == std::string_view::npos)
            return fields;
        pos = comma + 1;
    }
}

// "80D 80S": the right value, and the left one after the blank.
void readSides(std::string_view text, std::int32_t &right, std::int32_t &left)
{
    right = leadingInteger(text);
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t blank = first == std::string_view::npos ? first : text.find(' ', first);
    left = blank == std::string_view::npos ? 0 : leadingInteger(text.substr(blank));
}

std::string sidesInWords(std::string_view text, const LabelFile &labels)
{
    std::string out;
    for (char c : text) {
        if (c == 'D')
            out += labels.text(15);
        else if (c == 'S')
            out += labels.text(16);
        else
            out += c;
    }
    return out;
}

} // namespace

std::optional<PrintedPanel> PrintedPanel::load(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return fromBytes(std::move(bytes));
}

PrintedPanel PrintedPanel::fromBytes(std::string bytes)
{
    PrintedPanel panel;
    panel.m_text = std::move(bytes);
    panel.m_byte26 = panel.m_text.find('\x1a');
    // The marker that ends the code block follows the byte 26; a file
    // without one is still searched from its start for its source part.
    const std::size_t from = panel.hasByte26() ? panel.m_byte26 : 0;
    panel.m_marker = panel.m_text.find(kMarker, from);
    if (panel.m_marker == std::string::npos && panel.m_text.compare(0, 12, "SORGENTE.KN4") == 0)
        panel.m_sourceStart = 12;
    if (panel.m_marker != std::string::npos)
        panel.m_sourceStart = panel.m_marker + kMarker.size();
    if (panel.m_sourceStart != std::string::npos) {
        // Past the marker line's own end.
        const std::size_t lineEnd = panel.m_text.find('\n', panel.m_sourceStart);
        panel.m_sourceStart = lineEnd == std::string::npos ? panel.m_text.size() : lineEnd + 1;
    }
    return panel;
}

std::string_view PrintedPanel::headerLine() const
{
    return std::string_view(m_text).substr(0, hasByte26() ? m_byte26 : m_text.size());
}

std::string_view PrintedPanel::codeBlock() const
{
    if (!hasCodeBlock())
        return {};
    return std::string_view(m_text).substr(m_byte26 + 1, m_marker - m_byte26 - 1);
}

std::string_view PrintedPanel::sourcePart() const
{
    if (m_sourceStart == std::string::npos)
        return {};
    return std::string_view(m_text).substr(m_sourceStart);
}

std::string_view PrintedPanel::programText() const
{
    std::string_view text = m_sourceStart == std::string::npos ? std::string_view(m_text) : sourcePart();
    std::size_t from = text.find(kProgramMarker);
    if (from == std::string_view::npos)
        from = 0;
    const std::size_t start = text.find("defin", from);
    if (start == std::string_view::npos)
        return {};
    return text.substr(start);
}

std::optional<std::string_view> PrintedPanel::sourceHeaderLine(std::string_view word) const
{
    const std::string_view text = sourcePart();
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find(kProgramMarker) != std::string_view::npos)
            break;
        if (startsWithIgnoringCase(line, word))
            return line;
        pos = end + 1;
    }
    return std::nullopt;
}

PanelHeaderValues PanelHeaderValues::read(const PrintedPanel &panel, const LabelFile &labels)
{
    PanelHeaderValues v;
    const std::string_view header = panel.headerLine();
    v.type = std::string(field(header, 0, 5));
    v.size = std::string(field(header, 6, 2));
    v.part = std::string(field(header, 9, 10));

    const std::vector<std::string_view> fields = commaFields(header);
    auto at = [&](std::size_t i) { return i < fields.size() ? fields[i] : std::string_view(); };
    std::string_view width = at(1);
    if (!width.empty() && width.back() == 'D')
        width.remove_suffix(1);
    v.needleBedWidth = std::string(width);
    v.density = std::string(at(2));
    v.setupText = std::string(at(3));
    readSides(at(4), v.ribRight, v.ribLeft);
    readSides(at(5), v.necklineRight, v.necklineLeft);
    v.ribText = sidesInWords(at(4), labels);
    v.necklineText = sidesInWords(at(5), labels);
    // The two counts end the header line; only the header line is read, so
    // the code bytes after the byte 26 never add digits to the course count.
    if (fields.size() >= 2) {
        v.totalSteps = leadingInteger(fields[fields.size() - 2]);
        std::string count(field(fields.back(), 0, 5));
        for (char &c : count)
            if (c < '0' || c > ';')
                c = ' ';
        v.courseCount = leadingInteger(count);
    }

    // The measures line ";Alt.bordo 6----Ag.cm 3----Ran.cm 4.5--": each
    // value sits after its own word within that line.
    if (auto line = panel.sourceHeaderLine(";Alt.bordo")) {
        const std::size_t bordo = line->find("bordo");
        v.borderHeight = measure(field(*line, bordo + 6, 5));
        const std::size_t ag = line->find("Ag.", bordo + 6);
        if (ag != std::string_view::npos)
            v.needlesPerCm = measure(field(*line, ag + 6, 5));
        const std::size_t ran = line->find("Ran.", ag == std::string_view::npos ? bordo + 6 : ag + 6);
        if (ran != std::string_view::npos)
            v.coursesPerCm = measure(field(*line, ran + 7, 5));
    }
    if (auto line = panel.sourceHeaderLine("predisposizione"))
        v.setupValue = leadingInteger(field(*line, 16, 4));

    // The three note lines follow the exit line; one not begun by ";" is
    // left empty, as the editor reads it.
    if (auto exitLine = panel.sourceHeaderLine("uscita")) {
        const std::string_view source = panel.sourcePart();
        std::size_t pos = source.find('\n', std::size_t(exitLine->data() - source.data()));
        for (std::string &note : v.notes) {
            if (pos == std::string_view::npos)
                break;
            ++pos;
            std::size_t end = source.find('\n', pos);
            std::string_view line =
                source.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            if (!line.empty() && line.front() == ';' && line.find(kProgramMarker) == std::string_view::npos) {
                line.remove_prefix(1);
                note = std::string(line.substr(0, line.find_last_not_of(' ') + 1));
            }
            pos = end;
        }
    }
    return v;
}

} // namespace kn4
