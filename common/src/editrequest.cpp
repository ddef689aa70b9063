#include "kn4/editrequest.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <unistd.h>

namespace kn4 {

namespace {

constexpr std::string_view kVerb = "edit ";
constexpr std::string_view kRow = " row ";
constexpr int kMaxRow = 99999;

// FNV-1a: the same name from every program and every build.
std::uint64_t fnv1a(std::string_view text)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash ^= std::uint8_t(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

std::string EditRequest::toLine() const
{
    return std::string(kVerb) + panel + std::string(kRow) + std::to_string(row) + "\n";
}

std::optional<EditRequest> EditRequest::parse(std::string_view line)
{
    if (line.ends_with('\n'))
        line.remove_suffix(1);
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    if (line.size() > kMaxLine || !line.starts_with(kVerb))
        return std::nullopt;
    line.remove_prefix(kVerb.size());
    const std::size_t at = line.rfind(kRow);
    if (at == std::string_view::npos || at == 0)
        return std::nullopt;
    const std::string_view number = line.substr(at + kRow.size());
    EditRequest request;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), request.row);
    if (error != std::errc() || end != number.data() + number.size() || request.row < 0 || request.row > kMaxRow)
        return std::nullopt;
    request.panel = std::string(line.substr(0, at));
    if (request.panel.find_first_of(std::string_view("\n\r\0", 3)) != std::string::npos)
        return std::nullopt;
    return request;
}

std::string EditRequest::serverName(const std::filesystem::path &programDirectory)
{
    std::error_code ec;
    std::filesystem::path where = std::filesystem::weakly_canonical(programDirectory, ec);
    if (ec)
        where = std::filesystem::absolute(programDirectory, ec).lexically_normal();
    std::string text = where.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(fnv1a(text)));
    return "kn4manager-" + std::to_string(::getuid()) + "-" + hash;
}

} // namespace kn4
