#pragma once

#include <filesystem>

namespace kn4 {

// The folder of the running program, where the suite keeps the library,
// the other programs and the language folders. Read from /proc/self/exe;
// when the system does not tell, the folder of argv0 (made absolute), and
// without argv0 the current folder.
std::filesystem::path programDirectory(const char *argv0 = nullptr);

} // namespace kn4
