#include "document/compilereportlines.h"

#include "document/rowtext.h"
#include "kn4/number.h"
#include "kn4/textlines.h"

#include <algorithm>

namespace kn4::editor {

namespace {

constexpr std::string_view kContinuation = "       ";
constexpr std::string_view kCourseWords = "alla riga ";

std::vector<std::string_view> lines(std::string_view text)
{
    const TextLines all(text);
    return {all.begin(), all.end()};
}

// "-%5u text" or ".%5u text": the kind and the number, or Kind::None.
CompileReportLine head(std::string_view line)
{
    CompileReportLine message;
    if (line.size() < 6 || (line[0] != '-' && line[0] != '.'))
        return message;
    const std::string_view digits = trimBlanks(line.substr(1, 5));
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return message;
    message.kind = line[0] == '-' ? CompileReportLine::Kind::SourceLine : CompileReportLine::Kind::Step;
    message.number = leadingInteger(digits);
    message.text = std::string(trimBlanks(line.substr(6)));
    return message;
}

bool continues(std::string_view line)
{
    return line.starts_with(kContinuation) && !trimBlanks(line).empty();
}

void addContinuation(CompileReportLine &message, std::string_view line)
{
    const std::string_view words = trimBlanks(line);
    message.text += ' ';
    message.text += words;
    if (message.kind == CompileReportLine::Kind::Step && words.starts_with(kCourseWords) &&
        hasLeadingInteger(words.substr(kCourseWords.size())))
        message.course = leadingInteger(words.substr(kCourseWords.size()));
}

} // namespace

CompileReportLine CompileReportLines::at(std::string_view report, int lineIndex)
{
    const std::vector<std::string_view> all = lines(report);
    if (lineIndex < 0 || lineIndex >= int(all.size()))
        return {};
    int first = lineIndex;
    while (first > 0 && continues(all[std::size_t(first)]))
        --first;
    CompileReportLine message = head(all[std::size_t(first)]);
    if (message.kind == CompileReportLine::Kind::None)
        return {};
    for (std::size_t i = std::size_t(first) + 1; i < all.size() && continues(all[i]); ++i)
        addContinuation(message, all[i]);
    return message;
}

std::vector<CompileReportLine> CompileReportLines::all(std::string_view report)
{
    std::vector<CompileReportLine> messages;
    for (std::string_view line : lines(report)) {
        if (continues(line)) {
            if (!messages.empty())
                addContinuation(messages.back(), line);
            continue;
        }
        CompileReportLine message = head(line);
        if (message.kind != CompileReportLine::Kind::None)
            messages.push_back(std::move(message));
        else if (!messages.empty())
            messages.emplace_back();  // a line between messages ends the one before
    }
    messages.erase(std::remove_if(messages.begin(), messages.end(),
                                  [](const CompileReportLine &m) { return m.kind == CompileReportLine::Kind::None; }),
                   messages.end());
    return messages;
}

} // namespace kn4::editor
