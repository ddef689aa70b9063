#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kn4 {

// An edit asked of the archive manager by another program of the suite: a
// panel and the row the editor opens at. Only the manager starts the
// editor on a panel of its archives (a working copy, its editing watch and
// its locks), so a program that wants an edit asks the manager of its
// program directory, which listens on a local socket named for that
// directory and the user.
//
// On the socket a request is one line, "edit PANEL row N" (PANEL the full
// path, N the compiler's line number of the row, 0 for none), and the
// manager answers "ok" when it takes the request in hand.
struct EditRequest
{
    static constexpr std::string_view kAccepted = "ok";
    // A longer line is no request: the reader stops there.
    static constexpr std::size_t kMaxLine = 8192;

    std::string panel;
    int row = 0;

    // The request's line, ending in "\n".
    std::string toLine() const;
    // A line as toLine writes it (its line end optional); nothing for
    // anything else, an empty panel or a row that is negative or too large.
    static std::optional<EditRequest> parse(std::string_view line);

    // The socket's name for the manager of a program directory: the user's
    // id and a hash of the directory's canonical path, so two users or two
    // program directories never meet.
    static std::string serverName(const std::filesystem::path &programDirectory);
};

} // namespace kn4
