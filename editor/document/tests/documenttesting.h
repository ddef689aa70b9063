#pragma once

#include "document/librarybinding.h"
#include "kn4/testfiles.h"
#include "document/panelmodel.h"

#include "kn4/colourpalette.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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
inline ColourCodec paletteCodec()
{
    ColourCodec codec;
    codec.toCode = [](Colour colour, char &code) {
        ColourValue value = colour;
        std::string text;
        if (!ColourPalette::TestColore(ColourPalette::kModeColourToCode, value, text) || text.empty())
            return false;
        code = text[0];
        return true;
    };
    codec.toColour = [](char code, Colour &colour) {
        ColourValue value = colour;
        std::string text(1, code);
        if (!ColourPalette::TestColore(ColourPalette::kModeCodeToColour, value, text))
            return false;
        colour = value;
        return true;
    };
    return codec;
}

using kn4::testing::readFile;
using kn4::testing::writeFile;

// A fresh folder per test, removed afterwards.
class TempDirTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = std::filesystem::temp_directory_path() /
                ("kn4doc_" + std::to_string(::getpid()) + "_" + info->test_suite_name() + "_" +
                 info->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

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
