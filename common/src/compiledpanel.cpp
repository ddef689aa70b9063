#include "kn4/compiledpanel.h"

#include "kn4/filereader.h"
#include "kn4/number.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace kn4 {

namespace {

// Splits text at its first occurrence of separator; text keeps the rest
// (empty when the separator is missing).
std::string_view takeUntil(std::string_view &text, char separator)
{
    const std::size_t at = text.find(separator);
    const std::string_view field = text.substr(0, at);
    text = at == std::string_view::npos ? std::string_view() : text.substr(at + 1);
    return field;
}

// "%dD %dS": the second number follows the first blank.
void readPair(std::string_view field, std::int32_t &right, std::int32_t &left)
{
    right = leadingInteger(field);
    const std::size_t blank = field.find(' ', field.find_first_not_of(' '));
    left = blank == std::string_view::npos ? 0 : leadingInteger(field.substr(blank + 1));
}

} // namespace

CompiledHeader parseCompiledHeader(std::string_view text)
{
    CompiledHeader header;
    std::string_view rest = text;
    if (std::count(text.begin(), text.end(), ',') < 7) {
        // A header cut short: read the fields there are from the left.
        std::string_view fields[8];
        for (auto &field : fields)
            field = takeUntil(rest, ',');
        std::string_view names = fields[0];
        header.type = takeUntil(names, ' ');
        header.size = takeUntil(names, ' ');
        header.part = names;
        header.width = leadingInteger(fields[1]);
        header.density = fields[2];
        header.setUp = leadingInteger(fields[3]);
        readPair(fields[4], header.borderRight, header.borderLeft);
        readPair(fields[5], header.necklineRight, header.necklineLeft);
        header.totalSteps = leadingInteger(fields[6]);
        header.courses = leadingInteger(fields[7]);
        return header;
    }
    // The tail holds only numbers, so it is read from the right: courses,
    // total steps, neckline, border and set-up. What is left is
    // "type size part,widthD,density", and a density holding a comma stays
    // whole.
    std::string_view tail[5];
    for (auto &field : tail) {
        const std::size_t comma = rest.rfind(',');
        field = rest.substr(comma + 1);
        rest = rest.substr(0, comma);
    }
    header.courses = leadingInteger(tail[0]);
    header.totalSteps = leadingInteger(tail[1]);
    readPair(tail[2], header.necklineRight, header.necklineLeft);
    readPair(tail[3], header.borderRight, header.borderLeft);
    header.setUp = leadingInteger(tail[4]);
    std::string_view names = takeUntil(rest, ',');
    header.width = leadingInteger(takeUntil(rest, ','));
    header.density = rest;
    header.type = takeUntil(names, ' ');
    header.size = takeUntil(names, ' ');
    header.part = names;
    return header;
}

CompiledPanel::CompiledPanel(std::string bytes)
    : m_bytes(std::move(bytes))
{
    const std::string_view all(m_bytes);
    const std::size_t separator = all.find(kSeparator);
    if (separator != std::string_view::npos) {
        m_hasSeparator = true;
        m_headerLength = separator;
        m_codeOffset = separator + 1;
        const std::size_t marker = all.find(kMarker, m_codeOffset);
        m_hasMarker = marker != std::string_view::npos;
        m_codeLength = (m_hasMarker ? marker : all.size()) - m_codeOffset;
        m_sourceOffset = m_hasMarker ? marker + kMarker.size() : all.size();
        return;
    }
    // Source form: the first line that is the marker line.
    for (std::size_t line = 0; line < all.size();) {
        if (all.substr(line, kMarkerLine.size()) == kMarkerLine) {
            m_hasMarker = true;
            m_sourceOffset = line + kMarkerLine.size();
            return;
        }
        const std::size_t end = all.find('\n', line);
        if (end == std::string_view::npos)
            break;
        line = end + 1;
    }
    m_sourceOffset = all.size();
}

bool readWholeFile(const std::filesystem::path &path, std::string &bytes, std::string &error)
{
    error.clear();
    FileContent content = FileReader::read(path, FileReader::kPanelLimit);
    bytes = std::move(content.bytes);
    if (!content) {
        error = "Impossibile leggere il file " + path.string() + ": " + content.reason;
        return false;
    }
    return true;
}

bool readCompiledPanel(const std::filesystem::path &path, CompiledPanel &panel, std::string &error)
{
    std::string bytes;
    if (!readWholeFile(path, bytes, error))
        return false;
    panel = CompiledPanel(std::move(bytes));
    return true;
}

} // namespace kn4
