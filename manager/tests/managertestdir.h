#pragma once

// A temporary program directory for the manager's tests: archivi/ with an
// archive, dischi/, the language folder, removed again at the end.

#include <kn4/testfiles.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace kn4::manager::testing {

class TemporaryProgramDirectory
{
public:
    explicit TemporaryProgramDirectory(const std::string &tag)
        : m_path(std::filesystem::temp_directory_path() /
                 ("kn4manager_" + tag + "_" + std::to_string(::getpid())))
    {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path / "archivi" / "DEMO");
        std::filesystem::create_directories(m_path / "dischi");
        std::filesystem::create_directories(m_path / "italiano");
    }
    ~TemporaryProgramDirectory() { std::filesystem::remove_all(m_path); }
    TemporaryProgramDirectory(const TemporaryProgramDirectory &) = delete;
    TemporaryProgramDirectory &operator=(const TemporaryProgramDirectory &) = delete;

    const std::filesystem::path &path() const { return m_path; }
    std::filesystem::path archive(const std::string &name = "DEMO") const { return m_path / "archivi" / name; }

    // Writes an executable shell script (a stand-in for a program of the suite).
    void writeScript(const std::string &name, const std::string &body) const
    {
        const std::filesystem::path file = m_path / name;
        kn4::testing::writeFile(file, "#!/bin/sh\n" + body);
        std::filesystem::permissions(file, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
    }

private:
    std::filesystem::path m_path;
};

} // namespace kn4::manager::testing
