#include "core/keywordfilecheck.h"

namespace kn4::manager {

std::vector<std::string> KeywordFileCheck::unknownWords(std::string_view text, const Lookup &lookup)
{
    std::vector<std::string> unknown;
    text = text.substr(0, text.find('\0'));
    std::size_t start = 0;
    for (int entry = 0; entry < kMaxEntries && start < text.size(); ++entry) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (entry >= kFirstHeaderWord && entry <= kLastHeaderWord)
            continue;
        line = line.substr(0, line.find(';'));
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos)
            continue;
        line = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
        if (static_cast<unsigned char>(line.front()) >= 'A' && lookup(line) < 0)
            unknown.emplace_back(line);
    }
    return unknown;
}

} // namespace kn4::manager
