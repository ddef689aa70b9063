#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace kn4 {

// The library's compile entry point, as kn4edit2.h declares it.
using CompileFunction = std::int32_t (*)(const char *panel, const char *workDir, char *report);

// libkn4edit2.so loaded at run time from a program directory, the way every
// program of the suite loads it: the file is looked for there and nowhere
// else, so a stray copy elsewhere on the system is never picked up.
class CompilerLibrary
{
public:
    static constexpr const char *kFileName = "libkn4edit2.so";

    CompilerLibrary() = default;
    CompilerLibrary(const CompilerLibrary &) = delete;
    CompilerLibrary &operator=(const CompilerLibrary &) = delete;
    ~CompilerLibrary();

    // Loads programDir/libkn4edit2.so and finds Compilazione. On failure
    // returns false and *error names the full path of the library file and
    // what went wrong.
    bool load(const std::filesystem::path &programDir, std::string *error);

    // Compilazione, or nullptr before a successful load.
    CompileFunction compile() const { return m_compile; }

private:
    void *m_handle = nullptr;
    CompileFunction m_compile = nullptr;
};

} // namespace kn4
