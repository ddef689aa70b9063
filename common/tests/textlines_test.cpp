#include "kn4/textlines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> linesOf(std::string_view text)
{
    std::vector<std::string> lines;
    for (const std::string_view line : kn4::TextLines(text))
        lines.emplace_back(line);
    return lines;
}

TEST(TextLines, SplitsAtLineFeedsAndDropsTheCarriageReturnBefore)
{
    using Lines = std::vector<std::string>;
    const struct
    {
        std::string_view text;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\r\n", {"a", "b"}},
        {"\r\n\r\n", {"", ""}},
        {"\n", {""}},
        {"a\rb\r\r\n", {"a\rb\r"}},   // only the one right before the line feed
        {"a\r", {"a"}},               // a last line without line feed too
        {std::string_view("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(linesOf(c.text), c.lines) << '"' << std::string(c.text) << '"';
}

} // namespace
