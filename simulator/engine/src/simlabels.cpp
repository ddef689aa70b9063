#include "simulator/simlabels.h"

#include "kn4/filereader.h"
#include "kn4/labelfile.h"

namespace kn4 {

namespace {

const std::string kEmpty;

// The text between the column-th and the (column+1)-th comma of the line
// with eight commas appended (for column 0: everything before the first).
std::string columnOf(std::string line, int column)
{
    line += ",,,,,,,,";
    std::size_t start = 0;
    for (int c = 0; c < column; ++c) {
        const std::size_t comma = line.find(',', start);
        if (comma == std::string::npos)
            return {};
        start = comma + 1;
    }
    const std::size_t end = line.find(',', start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace

SimLabels SimLabels::load(const std::string &dirPrefix)
{
    const std::string path = dirPrefix + kFileName;
    const FileContent content = FileReader::read(path, FileReader::kTextFileLimit);
    if (!content) {
        SimLabels labels;
        labels.m_reason = content.message(path);
        return labels;
    }
    return fromText(content.bytes);
}

SimLabels SimLabels::fromText(std::string_view bytes)
{
    SimLabels labels;
    labels.m_loaded = true;
    const LabelFile file = LabelFile::fromText(bytes, kFileSlots + 1);
    const auto &lines = file.lines();
    if (lines.empty())
        return labels;
    // The first character of the first line is the language column.
    const char first = lines[0].empty() ? '0' : lines[0][0];
    labels.m_column = (first >= '0' && first <= '9') ? first - '0' : 0;
    for (std::size_t k = 1; k < lines.size() && k <= std::size_t(kFileSlots); ++k)
        labels.m_slots[k] = columnOf(lines[k], labels.m_column);
    return labels;
}

const std::string &SimLabels::text(int slot) const
{
    if (slot < 1 || slot > kSlotCount)
        return kEmpty;
    return m_slots[std::size_t(slot)];
}

void SimLabels::setText(int slot, std::string text)
{
    if (slot >= 1 && slot <= kSlotCount)
        m_slots[std::size_t(slot)] = std::move(text);
}

} // namespace kn4
