#pragma once

// Whole-file reading and writing for the tests of every module: the bytes
// exactly as they stand, no line-end conversion.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace kn4::testing {

inline std::string readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::filesystem::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace kn4::testing
