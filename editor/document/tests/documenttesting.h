#pragma once

#include "document/librarybinding.h"
#include "document/palettecodec.h"
#include "document/panelmodel.h"
#include "kn4/tempfolder.h"
#include "kn4/testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <unistd.h>

namespace kn4::editor::testing {

// The real compiler library from the build's program directory, loaded
// once for all tests.
inline const LibraryBinding &library()
{
    static LibraryBinding binding;
    static const bool loaded = binding.load(KN4_PROGRAM_DIR);
    EXPECT_TRUE(loaded) << binding.errorMessage();
    return binding;
}

inline std::filesystem::path programDir()
{
    return KN4_PROGRAM_DIR;
}

inline std::filesystem::path sourceDir()
{
    return KN4_SOURCE_DIR;
}

// The palette codes of the panel files, as the palette module gives them.


using kn4::testing::readFile;
using kn4::testing::writeFile;

// A fresh folder per test, removed afterwards.
class TempDirTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder.emplace("kn4doc");
        m_dir = m_folder->path();
    }
    void TearDown() override { m_folder.reset(); }

    std::optional<kn4::testing::TempFolder> m_folder;
    std::filesystem::path m_dir;
};

// Text lines joined with CR LF, each line ended by one.
inline std::string crlf(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\r\n";
    return text;
}

} // namespace kn4::editor::testing
