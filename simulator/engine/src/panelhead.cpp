#include "simulator/panelhead.h"

#include "kn4/compiledpanel.h"
#include "kn4/filereader.h"
#include "kn4/number.h"

#include <algorithm>
#include <tuple>

namespace kn4 {

namespace {

constexpr std::string_view kProgramWords = "Inizio programma";
constexpr std::string_view kProgramLineStart = "; --- Inizio programma";

// Offset of the line end (CR LF, or a lone LF) of the line holding pos.
std::size_t lineEnd(std::string_view text, std::size_t pos)
{
    const std::size_t lf = text.find('\n', pos);
    if (lf == std::string_view::npos)
        return text.size();
    return (lf > pos && text[lf - 1] == '\r') ? lf - 1 : lf;
}

// Offset of the start of the next line after the one holding pos.
std::size_t nextLine(std::string_view text, std::size_t pos)
{
    const std::size_t lf = text.find('\n', pos);
    return lf == std::string_view::npos ? text.size() : lf + 1;
}

// Whether the program marker line ("; --- Inizio programma ;") starts at pos.
bool isProgramLine(std::string_view text, std::size_t pos)
{
    return text.substr(pos, kProgramLineStart.size()) == kProgramLineStart;
}

// The first line at or after `from` and before `to` that begins with word
// (after an optional ";" when allowComment), as the offset of the word;
// npos when there is none.
std::size_t findLineWord(std::string_view text, std::size_t from, std::size_t to, std::string_view word,
                         bool allowComment)
{
    for (std::size_t pos = from; pos < to && pos < text.size(); pos = nextLine(text, pos)) {
        std::size_t start = pos;
        if (allowComment && start < text.size() && text[start] == ';')
            ++start;
        if (text.substr(start, word.size()) == word)
            return start;
    }
    return std::string_view::npos;
}

// Where the source part begins: the line after the compiled marker line, or
// after the "SORGENTE.KN4" line of a file that was never compiled; npos when
// there is none.
std::size_t sourceStart(std::string_view bytes)
{
    const CompiledPanel panel{std::string(bytes)};
    if (panel.sourceOffset() >= bytes.size() && !(panel.hasSeparator() && panel.hasMarker()))
        return std::string_view::npos;
    return panel.sourceOffset();
}

// The program marker line follows the ten lines of the source header, so a
// note that reads like it (lines 8 to 10) is passed over; a source with a
// shorter header is searched from its first line.
std::size_t findProgramLine(std::string_view text, std::size_t from)
{
    constexpr int kHeaderLines = 10;
    std::size_t afterHeader = from;
    for (int line = 0; line < kHeaderLines && afterHeader < text.size(); ++line)
        afterHeader = nextLine(text, afterHeader);
    for (const std::size_t start : {afterHeader, from})
        for (std::size_t pos = start; pos < text.size(); pos = nextLine(text, pos))
            if (isProgramLine(text, pos))
                return pos;
    return std::string_view::npos;
}

std::string_view slice(std::string_view text, std::size_t pos, std::size_t length)
{
    if (pos >= text.size())
        return {};
    return text.substr(pos, length);
}

// The two numbers of a "%dD %dS" field: the whole number at its start, and
// the whole number after the "D" that ends the first one.
std::pair<std::int32_t, std::int32_t> sidesOf(std::string_view field)
{
    const std::int32_t right = leadingInteger(field);
    std::size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t'))
        ++i;
    if (i < field.size() && (field[i] == '-' || field[i] == '+'))
        ++i;
    while (i < field.size() && field[i] >= '0' && field[i] <= '9')
        ++i;
    if (i < field.size() && (field[i] == 'D' || field[i] == 'd'))
        ++i;
    return {right, leadingInteger(field.substr(i))};
}

std::string trimmed(std::string_view text)
{
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    return std::string(text.substr(b, e - b));
}

// The values after `opener` up to the closing ")", read leniently.
std::vector<std::int32_t> listAfter(std::string_view tail, std::string_view opener, std::size_t limit)
{
    std::vector<std::int32_t> values;
    const std::size_t open = tail.find(opener);
    if (open == std::string_view::npos)
        return values;
    const std::size_t start = open + opener.size();
    std::size_t close = tail.find(')', start);
    if (close == std::string_view::npos)
        close = tail.size();
    std::string_view list = tail.substr(start, close - start);
    while (values.size() < limit) {
        const std::size_t comma = list.find(',');
        values.push_back(leadingInteger(list.substr(0, comma)));
        if (comma == std::string_view::npos)
            break;
        list.remove_prefix(comma + 1);
    }
    return values;
}

} // namespace

std::string PanelHead::headTextOf(std::string_view bytes)
{
    const std::size_t source = sourceStart(bytes);
    if (source == std::string_view::npos)
        return std::string(bytes);
    const std::size_t program = findProgramLine(bytes, source);
    if (program == std::string_view::npos)
        return std::string(bytes);
    const std::size_t defin = bytes.find("defin", nextLine(bytes, program));
    if (defin == std::string_view::npos)
        return std::string(bytes);
    return std::string(bytes.substr(0, defin + 5));
}

std::string_view PanelHead::codeBlockOf(std::string_view headText)
{
    const CompiledPanel panel{std::string(headText)};
    if (!panel.hasSeparator())
        return {};
    return headText.substr(panel.codeOffset(), panel.code().size());
}

PanelHead PanelHead::load(const std::filesystem::path &path)
{
    const FileContent content = FileReader::read(path, FileReader::kPanelLimit);
    if (!content) {
        PanelHead head;
        head.m_panelPath = path.string();
        head.m_error = Error::CannotOpen;
        head.m_readError = content.reason;
        return head;
    }
    return fromBytes(content.bytes, path.string());
}

PanelHead PanelHead::fromBytes(std::string_view fileBytes, std::string panelPath)
{
    PanelHead head;
    head.m_panelPath = std::move(panelPath);
    head.m_headText = headTextOf(fileBytes);
    const CompiledPanel panel{head.m_headText};
    if (!panel.hasSeparator()) {
        head.m_error = Error::NoSeparator;
        return head;
    }
    if (!panel.hasMarker()) {
        head.m_error = Error::NoMarker;
        return head;
    }
    // The library writes the header line but no code when the panel has
    // grave errors: there is nothing to knit.
    if (panel.code().empty()) {
        head.m_error = Error::NoCode;
        return head;
    }
    head.m_separator = panel.headerText().size();
    head.m_codeOffset = panel.codeOffset();
    head.m_codeLength = panel.code().size();
    head.parseValues();
    return head;
}

std::string PanelHead::errorText() const
{
    switch (m_error) {
    case Error::None: return {};
    case Error::CannotOpen:
        return "the panel file cannot be opened" + (m_readError.empty() ? std::string() : ": " + m_readError);
    case Error::NoSeparator: return "not a compiled panel (no byte 26 after its header line)";
    case Error::NoMarker: return "the compiled code is not followed by the \"SORGENTE.KN4\" line";
    case Error::NoCode: return "this part contains errors: it was compiled with grave errors and holds no code";
    }
    return {};
}

std::string_view PanelHead::codeBlock() const
{
    return std::string_view(m_headText).substr(std::min(m_codeOffset, m_headText.size()), m_codeLength);
}

std::string_view PanelHead::headerLine() const
{
    const std::string_view text(m_headText);
    return m_separator == std::string::npos ? text : text.substr(0, m_separator);
}

void PanelHead::parseValues()
{
    // The compiled header line: "type size part,widthD,density,setup,
    // ribD ribS,necklineD necklineS,steps,courses". The commas are found as
    // they always were (the first at or after the 33rd character, which
    // skips the commas of the fixed-width type, size and part), and each
    // value is the whole number standing at its place.
    const std::string_view line = headerLine();
    auto commaFrom = [&](std::size_t from) {
        return from >= line.size() ? std::string_view::npos : line.find(',', from);
    };
    const std::size_t c1 = commaFrom(32);
    if (c1 != std::string_view::npos) {
        m_setup = leadingInteger(line.substr(c1 + 1));
        const std::size_t densityStart = c1 >= 8 ? c1 - 8 : 0;
        m_density = std::string(line.substr(densityStart, c1 - densityStart));
        const std::size_t c2 = commaFrom(c1 + 1);
        const std::size_t c3 = c2 == std::string_view::npos ? c2 : commaFrom(c2 + 1);
        const std::size_t c4 = c3 == std::string_view::npos ? c3 : commaFrom(c3 + 1);
        const std::size_t c5 = c4 == std::string_view::npos ? c4 : commaFrom(c4 + 1);
        if (c2 != std::string_view::npos) {
            const std::size_t end = c3 == std::string_view::npos ? line.size() : c3;
            std::tie(m_ribRight, m_ribLeft) = sidesOf(line.substr(c2 + 1, end - c2 - 1));
        }
        if (c3 != std::string_view::npos) {
            const std::size_t end = c4 == std::string_view::npos ? line.size() : c4;
            std::tie(m_necklineRight, m_necklineLeft) = sidesOf(line.substr(c3 + 1, end - c3 - 1));
        }
        if (c4 != std::string_view::npos)
            m_steps = leadingInteger(line.substr(c4 + 1));
        if (c5 != std::string_view::npos)
            m_courses = leadingInteger(line.substr(c5 + 1));
    }

    // The source header: the lines between the marker line and the program
    // marker line. Each value is found by its line's own word at the start
    // of the line, so the same word typed into a note or a header field
    // moves nothing.
    const std::string_view text(m_headText);
    const std::size_t source = sourceStart(text);
    if (source == std::string_view::npos)
        return;
    const std::size_t program = findProgramLine(text, source);
    const std::size_t headerEnd = program == std::string_view::npos ? text.size() : program;

    const std::size_t border = findLineWord(text, source, headerEnd, "Alt.bordo", true);
    if (border != std::string_view::npos) {
        const std::string_view measures = text.substr(0, lineEnd(text, border));
        m_borderHeight = leadingNumber(slice(measures, border + 10, 5));
        const std::size_t needles = measures.find("Ag.cm", border + 15);
        if (needles != std::string_view::npos) {
            m_needlesPerCm = leadingNumber(slice(measures, needles + 6, 4));
            const std::size_t courses = measures.find("Ran.cm", needles + 10);
            if (courses != std::string_view::npos)
                m_coursesPerCm = leadingNumber(slice(measures, courses + 7, 4));
        }
    }

    const std::size_t exit = findLineWord(text, source, headerEnd, "uscita", false);
    if (exit != std::string_view::npos) {
        const std::size_t semicolon = text.find(';', exit);
        if (semicolon != std::string_view::npos)
            m_tail = std::string(text.substr(semicolon, kTailLength));
    }

    if (program != std::string_view::npos) {
        const std::size_t words = text.find(kProgramWords, program);
        const std::size_t semicolon = text.find(';', words + kProgramWords.size());
        const std::size_t end = lineEnd(text, program);
        if (semicolon != std::string_view::npos && semicolon < end)
            m_colourCodes = trimmed(text.substr(semicolon + 1, end - semicolon - 1));
    }
}

bool PanelHead::applyColourCodes(std::array<Colour, 8> &colours) const
{
    if (m_colourCodes.size() < colours.size())
        return false;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        std::string code(1, m_colourCodes[i]);
        ColourPalette::TestColore(ColourPalette::kModeCodeToColour, colours[i], code);
    }
    return true;
}

void PanelHead::InizioIntarsio()
{
    m_intarsiaR = listAfter(m_tail, "(R,", m_tail.size());
    m_intarsiaF = listAfter(m_tail, "(F,", kMaxIntarsiaF);
}

} // namespace kn4
