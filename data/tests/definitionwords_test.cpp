// A definition row reads the same in the editor's row list and on the
// print-out, in every language folder: the word for "definizione" (the
// keyword file's alias) and the word for its kind (kn4edit.ini in the
// editor, stampa.ini on paper).

#include "aliastable.h"
#include "listingbuilder.h"

#include "document/commandlist.h"
#include "document/languagetable.h"
#include "document/librarybinding.h"
#include "kn4/labelfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// The words of a shown row, blanks and the listing's columns left out.
std::string words(std::string shown)
{
    for (char &c : shown)
        if (c == '|')
            c = ' ';
    std::istringstream in(shown);
    std::string word, out;
    while (in >> word)
        if (word != "0" && word.find('*') == std::string::npos)
            out += (out.empty() ? "" : " ") + word;
    return out;
}

TEST(DefinitionWords, EditorAndPrintOutNameEveryKindAlike)
{
    kn4::editor::LibraryBinding library;
    ASSERT_TRUE(library.load(KN4_PROGRAM_DIR)) << library.errorMessage();
    for (const char *name : {"italiano", "inglese", "spagnolo"}) {
        const fs::path folder = fs::path(KN4_SOURCE_DIR) / "data" / name;
        const auto language = kn4::editor::LanguageTable::CaricoLingua(folder);
        const auto commands = kn4::editor::CommandList::load(folder, library);
        ASSERT_TRUE(commands.list) << name;
        const auto aliases = kn4::AliasTable::load(folder / "VUZUDO.KEY");
        ASSERT_TRUE(aliases) << name;
        const auto labels = kn4::LabelFile::load(folder / "stampa.ini", 50);
        for (const char *kind : {"ALTRO", "LATO", "SCOLLO", "RIGATURA", "PROFILO ESTERNO"}) {
            for (const int setup : {1, 2}) {
                std::string row = std::string("definizione ") + kind;
                row.resize(40, ' ');
                const std::string editor =
                    words(kn4::editor::ModificaLabel(row, language, *commands.list, setup == 2));
                const auto printed = kn4::ListingBuilder(*aliases, labels, setup).build(row + "\r\n");
                ASSERT_FALSE(printed.empty());
                EXPECT_EQ(words(printed.front().text), editor) << name << " " << kind << " set-up " << setup;
                // Nothing of the Italian row is left outside Italian.
                if (std::string(name) != "italiano") {
                    EXPECT_EQ(editor.find("definizione"), std::string::npos) << name << ": " << editor;
                }
            }
        }
    }
}

} // namespace
