#pragma once

#include "document/commandlist.h"
#include "document/coursemap.h"
#include "document/languagetable.h"

#include <string>
#include <string_view>
#include <vector>

namespace kn4::editor {

// The texts of the editor's status bar (Windows-1252, from the language
// file): the selected row with its message in words and what to do, and
// the rows that knit the course under the pointer in the knit drawing.
class RowStatus
{
public:
    // The row message a row text shows (a line 37-44 of the language file,
    // or LanguageTable::BordiIncrociati); -1 for none.
    static int messageLine(std::string_view rowText, const LanguageTable &language);

    // "Riga 14: " and the row's message in words with what to do (its bare
    // message where the language file has no hint), then the compile errors
    // of its line after "Errore di compilazione: "; "Riga 14" alone for a
    // row without either.
    static std::string describe(std::string_view rowText, int sourceLine, const LanguageTable &language,
                                const std::vector<std::string> &compileErrors);

    // The course under the pointer (step s of the program part) and the row
    // of every strand that knits it, each with its definition's kind, as the
    // row list shows them: "Ranghi: 176  Riga 14 (OUTER PROFILE): plain knit 148 1".
    // Empty outside the program part.
    static std::string courseText(int step, const CourseMap &map, const std::vector<std::string> &rows,
                                  const LanguageTable &language, const CommandList &commands,
                                  bool leftSideLabelsShown);
};

} // namespace kn4::editor
