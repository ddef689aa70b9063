#include "printedpanel.h"

#include "kn4/filelookup.h"
#include "kn4/labelfile.h"
#include "kn4/number.h"
#include "kn4/textlines.h"

#include <algorithm>
#include <vector>

namespace kn4 {

namespace {

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

// A header text as the technician typed it, as the editor reads its fields
// back: the editor fills them with "-" to their widths ("DAVANTI---",
// "13.5----"); blanks, then those dashes, go at either end.
std::string withoutPadding(std::string_view text)
{
    for (const char *padding : {" ", "-"}) {
        const std::size_t first = text.find_first_not_of(padding);
        if (first == std::string_view::npos)
            return {};
        text = text.substr(first, text.find_last_not_of(padding) - first + 1);
    }
    return std::string(text);
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

std::optional<PrintedPanel> PrintedPanel::load(const std::filesystem::path &path, std::string *reason)
{
    PrintedPanel panel;
    std::string error;
    if (!readCompiledPanel(path, panel.m_file, error)) {
        if (reason)
            *reason = error;
        return std::nullopt;
    }
    return panel;
}

PrintedPanel PrintedPanel::fromBytes(std::string bytes)
{
    PrintedPanel panel;
    panel.m_file = CompiledPanel(std::move(bytes));
    return panel;
}

std::string_view PrintedPanel::programText() const
{
    const std::string_view text = m_file.hasMarker() ? sourcePart() : std::string_view(m_file.bytes());
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
    for (const std::string_view line : TextLines(sourcePart())) {
        if (line.find(kProgramMarker) != std::string_view::npos)
            break;
        if (startsWithIgnoringCase(line, word))
            return line;
    }
    return std::nullopt;
}

PanelHeaderValues PanelHeaderValues::read(const PrintedPanel &panel, const LabelFile &labels)
{
    PanelHeaderValues v;
    const std::string_view header = panel.headerLine();
    v.type = withoutPadding(field(header, 0, 5));
    v.size = withoutPadding(field(header, 6, 2));
    v.part = withoutPadding(field(header, 9, 10));

    // The numbers come from the shared reader of the header line, which
    // reads its numeric tail from the right: a density written with a
    // decimal comma ("13,5") shifts no field. The texts are taken the same
    // way, from the right.
    const CompiledHeader numbers = panel.file().header();
    v.ribRight = numbers.borderRight;
    v.ribLeft = numbers.borderLeft;
    v.necklineRight = numbers.necklineRight;
    v.necklineLeft = numbers.necklineLeft;
    v.totalSteps = numbers.totalSteps;
    v.courseCount = numbers.courses;
    const std::vector<std::string_view> fields = commaFields(header);
    if (fields.size() >= 8) {
        const std::size_t n = fields.size();
        v.setupText = std::string(fields[n - 5]);
        v.ribText = sidesInWords(fields[n - 4], labels);
        v.necklineText = sidesInWords(fields[n - 3], labels);
        std::string_view width = fields[1];
        if (!width.empty() && width.back() == 'D')
            width.remove_suffix(1);
        v.needleBedWidth = std::string(width);
        // The density is everything between the width and the set-up.
        const std::size_t from = std::size_t(fields[2].data() - header.data());
        const std::size_t to = std::size_t(fields[n - 5].data() - header.data()) - 1;
        v.density = withoutPadding(header.substr(from, to - from));
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
