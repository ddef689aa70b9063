#pragma once

// What the editor's fuzz targets share: the real compiler library and the
// Italian language folder from the program directory, as the editor finds
// them when the manager starts it, and the palette codes of the panel files.

#include "document/commandlist.h"
#include "document/languagetable.h"
#include "document/librarybinding.h"
#include "document/palettecodec.h"
#include "document/panelmodel.h"


#include <cstdio>
#include <cstdlib>
#include <string>

namespace kn4::editor::fuzzing {

// Stops the run with a report: a broken promise of a reader is a finding
// like a crash, and the replay test fails on it too.
inline void require(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

inline const LibraryBinding &library()
{
    static LibraryBinding binding;
    static const bool loaded = binding.load(KN4_PROGRAM_DIR);
    if (!loaded) {
        std::fprintf(stderr, "%s\n", binding.errorMessage().c_str());
        std::abort();
    }
    return binding;
}

// The keyword file VUZUDO.KEY of the Italian folder, checked against the
// library.
inline const CommandList &italianCommands()
{
    static const CommandList::LoadResult loaded =
        CommandList::load(std::string(KN4_PROGRAM_DIR) + "/italiano", library());
    if (!loaded.list) {
        std::fprintf(stderr, "%s\n", loaded.fatalMessage.c_str());
        std::abort();
    }
    return *loaded.list;
}

inline const LanguageTable &italianLanguage()
{
    static const LanguageTable table =
        LanguageTable::CaricoLingua(std::string(KN4_PROGRAM_DIR) + "/italiano");
    return table;
}

} // namespace kn4::editor::fuzzing
