#include "kn4/programdirectory.h"

#include <system_error>

namespace kn4 {

std::filesystem::path programDirectory(const char *argv0)
{
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec && program.has_parent_path())
        return program.parent_path();
    if (argv0 != nullptr && *argv0 != '\0') {
        const std::filesystem::path absolute = std::filesystem::absolute(argv0, ec);
        if (!ec)
            return absolute.parent_path();
    }
    return std::filesystem::current_path(ec);
}

} // namespace kn4
