#include "commandline.h"

#include "document/rowtext.h"
#include "kn4/number.h"

#include <algorithm>
#include <limits>

namespace kn4::editor {

namespace {

bool isNumberField(std::string_view field)
{
    if (!field.empty() && (field.front() == '+' || field.front() == '-'))
        field.remove_prefix(1);
    return !field.empty() &&
           std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::int16_t toShort(std::int32_t value)
{
    return std::int16_t(std::clamp<std::int32_t>(value, std::numeric_limits<std::int16_t>::min(),
                                                 std::numeric_limits<std::int16_t>::max()));
}

} // namespace

CommandLine CommandLine::parse(std::string_view arguments)
{
    CommandLine line;
    if (trimBlanks(arguments).empty())
        return line;
    line.given = true;

    // Walk back over the trailing number fields; headEnd ends up at the "/"
    // before the leftmost of them (or at the end when there is none).
    std::vector<std::string_view> numbers;  // rightmost first
    std::size_t headEnd = arguments.size();
    while (numbers.size() < std::size_t(kMaxNumbers)) {
        const std::size_t slash = arguments.rfind('/', headEnd == 0 ? 0 : headEnd - 1);
        if (headEnd == 0 || slash == std::string_view::npos)
            break;
        const std::string_view field = arguments.substr(slash + 1, headEnd - slash - 1);
        if (!isNumberField(field))
            break;
        numbers.push_back(field);
        headEnd = slash;
    }
    std::reverse(numbers.begin(), numbers.end());
    if (numbers.size() > 0)
        line.needles = leadingInteger(numbers[0]);
    if (numbers.size() > 1)
        line.intervalMarkerMode = leadingInteger(numbers[1]);
    if (numbers.size() > 2)
        line.combWidth = toShort(leadingInteger(numbers[2]));
    if (numbers.size() > 3)
        line.setupOptions = toShort(leadingInteger(numbers[3]));
    if (numbers.size() > 4)
        line.combWidthEditable = toShort(leadingInteger(numbers[4]));

    const std::string_view head = trimBlanks(arguments.substr(0, headEnd));
    const std::size_t comma = head.find(',');
    const std::string_view panel = trimBlanks(head.substr(0, comma));
    line.panelName = panel.empty() ? std::string(kNewPanelName) : std::string(panel);
    if (comma != std::string_view::npos)
        line.folder = std::string(trimBlanks(head.substr(comma + 1)));
    return line;
}

CommandLine CommandLine::fromArguments(const std::vector<std::string> &arguments)
{
    std::string joined;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0)
            joined += ' ';
        joined += arguments[i];
    }
    return parse(joined);
}

std::optional<int> CommandLine::takeRowOption(std::vector<std::string> &arguments)
{
    constexpr std::string_view kOption = "--row";
    std::optional<int> row;
    for (std::size_t i = 0; i < arguments.size();) {
        const std::string &argument = arguments[i];
        std::string value;
        std::size_t taken = 0;
        if (argument == kOption) {
            taken = i + 1 < arguments.size() ? 2 : 1;
            if (taken == 2)
                value = arguments[i + 1];
        } else if (argument.starts_with(std::string(kOption) + "=")) {
            taken = 1;
            value = argument.substr(kOption.size() + 1);
        } else {
            ++i;
            continue;
        }
        row.reset();
        if (isNumberField(value) && value.front() != '-' && leadingInteger(value) > 0)
            row = leadingInteger(value);
        arguments.erase(arguments.begin() + std::ptrdiff_t(i), arguments.begin() + std::ptrdiff_t(i + taken));
    }
    return row;
}

} // namespace kn4::editor
