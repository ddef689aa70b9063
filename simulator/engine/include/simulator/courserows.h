#pragma once

#include "document/coursemap.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kn4 {

// Which source row knitted each course of a compiled panel, as the editor
// knows it: the course map of the panel's own source part (the rows after
// the program marker line) unrolled with the keyword file of its language.
// Courses are the simulator's (the set-up byte's course is 1, the first
// knitted one 2); rows are named by the compiler's line number, the number
// the compile report shows and the editor's --row takes.
class CourseRows
{
public:
    static constexpr const char *kKeywordFile = "VUZUDO.KEY";

    struct Row
    {
        int line = 0;      // the compiler's line number of the row
        std::string text;  // "CALATO 2 1 4", Windows-1252 bytes of the row
        // The same as the editor's row list shows it: the command by the
        // keyword file's alias where it has one ("decrease 2 1 4").
        std::string shown;
    };

    // A panel file's bytes and the keyword file's bytes. Without a keyword
    // file only the definition command (entry 0 of every keyword file) is
    // known, which is all the unrolling needs.
    static CourseRows fromText(std::string_view panelText, std::string_view keywordText);
    // Reads the panel and VUZUDO.KEY of the language folder (found whatever
    // its letter case). A panel that cannot be read gives no rows.
    static CourseRows load(const std::filesystem::path &panel, const std::filesystem::path &languageFolder);

    // The row that knitted a course; nullptr for the set-up course, a course
    // past the piece or a panel without source rows.
    const Row *rowOfCourse(std::int64_t course) const;
    // "riga 12: CALATO 2 1 4" with the language's word for the row and the
    // row as shown (bytes as they come); empty where no row knitted the
    // course.
    std::string describe(std::int64_t course, std::string_view rowWord) const;
    // The courses the map knows: first() .. last(); last() < first() when none.
    std::int64_t first() const { return editor::CourseMap::kFirstCourse; }
    std::int64_t last() const { return editor::CourseMap::kFirstCourse + m_map.steps() - 1; }

private:
    editor::CourseMap m_map;
    std::vector<Row> m_rows;  // one per row of the map
};

} // namespace kn4
