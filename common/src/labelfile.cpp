#include "kn4/labelfile.h"

#include "kn4/filereader.h"

namespace kn4 {

LabelFile LabelFile::load(const std::filesystem::path &path, std::size_t maxLines)
{
    const FileContent content = FileReader::read(path, FileReader::kTextFileLimit);
    if (!content) {
        LabelFile file;
        file.m_reason = content.message(path);
        return file;
    }
    return fromText(content.bytes, maxLines);
}

LabelFile LabelFile::fromText(std::string_view text, std::size_t maxLines)
{
    LabelFile file;
    file.m_status = Status::Loaded;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        if (file.m_lines.size() == maxLines) {
            file.m_status = Status::TooManyLines;
            break;
        }
        file.m_lines.emplace_back(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size() && text[pos] == '\r')
            ++pos;
        if (pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    return file;
}

std::string LabelFile::text(std::size_t line) const
{
    return line < m_lines.size() ? m_lines[line] : std::string();
}

} // namespace kn4
