#pragma once

// A fresh, empty folder of a test's own under the system's temporary folder,
// removed with everything in it when the object goes.

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace kn4::testing {

class TempFolder
{
public:
    explicit TempFolder(std::string_view prefix = "kn4test")
    {
        std::string pattern = (std::filesystem::temp_directory_path() / std::string(prefix)).string() + ".XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary folder " + pattern);
        m_path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::filesystem::path &path() const { return m_path; }
    std::filesystem::path operator/(const std::filesystem::path &name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

} // namespace kn4::testing
