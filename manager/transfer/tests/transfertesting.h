#pragma once

// A fresh folder per test, and small file helpers, for the transfer tests.

#include "kn4/testfiles.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace kn4::testing {

class TransferTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = std::filesystem::temp_directory_path()
                / ("kn4transfer_" + std::to_string(::getpid()) + "_" + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    // Writes a file (making its folder) and returns its path.
    std::filesystem::path put(const std::filesystem::path &relative, const std::string &bytes)
    {
        const auto path = m_dir / relative;
        std::filesystem::create_directories(path.parent_path());
        writeFile(path, bytes);
        return path;
    }

    // Sets a file's date the given number of seconds before now.
    static void age(const std::filesystem::path &path, int seconds)
    {
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now()
                                                   - std::chrono::seconds(seconds));
    }

    std::filesystem::path m_dir;
};

// Bytes of a given size that differ from file to file.
inline std::string pattern(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = char((i * 31 + seed * 7 + i / 251) & 0xFF);
    return bytes;
}

// A compiled panel of exactly size bytes (at least 80): a header, the byte
// 26, three courses of code and the exit, the marker, then source text. Its
// edges never cross, so every medium takes it.
inline std::string compiledPanel(std::size_t size, unsigned seed)
{
    std::string bytes = "AB--- 44 DAVANTI---,120D,12------,1,5D 5S,0D 0S,3,3\x1a\x94\x94\x94\x9c\r\nSORGENTE.KN4\r\n";
    while (bytes.size() < size)
        bytes += char('a' + (bytes.size() * 7 + seed) % 26);
    bytes.resize(size);
    return bytes;
}

} // namespace kn4::testing
