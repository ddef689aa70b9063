// Arbitrary bytes as a panel file (source or compiled) with a keyword file,
// read into the course map the simulator and the editor share (and the
// simulator's rows of each course named from it), and as a
// compile report read into its messages. A byte 0xFF splits the input into
// the panel and its keyword file; without one the Italian keyword file is
// used. The map must keep to its limits: at most 500 rows, at most 9999
// steps, every step's row a row of the program in the strand of its own
// definition, line numbers rising.
#include "editorfuzzing.h"

#include "document/compilereportlines.h"
#include "document/coursemap.h"
#include "document/rowtext.h"

#include "kn4/filereader.h"
#include "simulator/courserows.h"

#include <cstdint>
#include <string>
#include <string_view>

using namespace kn4::editor;
using kn4::editor::fuzzing::require;

namespace {

const std::string &italianKeywords()
{
    static const std::string text =
        kn4::FileReader::read(std::string(KN4_PROGRAM_DIR) + "/italiano/VUZUDO.KEY", kn4::FileReader::kTextFileLimit)
            .bytes;
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::size_t split = input.find('\xFF');
    const std::string_view panel = input.substr(0, split);
    const std::string_view keywords = split == std::string_view::npos ? std::string_view(italianKeywords())
                                                                      : input.substr(split + 1);

    const CourseMap map = CourseMap::fromPanelText(panel, keywords);
    const int rows = int(map.rows().size());
    require(rows <= PanelModel::kMaxRows, "more rows than the store holds");
    require(map.steps() >= 0 && map.steps() <= CourseMap::kStepLimit, "steps past the limit");
    int line = 0;
    for (const CourseMap::Row &row : map.rows()) {
        require(row.sourceLine > line, "line numbers not rising");
        line = row.sourceLine;
        require(row.definition < rows, "definition outside the program");
        require(row.startStep <= CourseMap::kStepLimit, "start past the limit");
    }
    for (int step = -1; step <= map.steps(); ++step) {
        const int row = map.rowAtStep(step);
        require(row >= -1 && row < rows, "step row outside the program");
        require((row >= 0) == (step >= 0 && step < map.steps()), "a course without its row");
        for (const int r : map.rowsAtStep(step)) {
            require(r >= 0 && r < rows, "strand row outside the program");
            require(map.rows()[std::size_t(r)].entry != RowText::kDefinitionEntry, "a definition knits");
        }
    }
    require(map.rowOfSourceLine(0) == -1, "a row before the first line");

    // The simulator's rows of the same panel: one for every knitted course,
    // the command named by the keyword file's alias. The words are built
    // for each course where the row changes (and the courses either side of
    // the piece): the rest would only build the same words again.
    const kn4::CourseRows courseRows = kn4::CourseRows::fromText(panel, keywords);
    const kn4::CourseRows::Row *previous = nullptr;
    for (std::int64_t course = courseRows.first() - 1; course <= courseRows.last() + 1; ++course) {
        const kn4::CourseRows::Row *row = courseRows.rowOfCourse(course);
        require((row != nullptr) == (course >= courseRows.first() && course <= courseRows.last()),
                "a course without its row");
        if (row == previous && row != nullptr)
            continue;
        require(courseRows.describe(course, "riga").empty() == (row == nullptr), "a row without its words");
        previous = row;
    }

    // The same bytes as a compile report.
    for (const CompileReportLine &message : CompileReportLines::all(input))
        require(message.kind != CompileReportLine::Kind::None && message.number >= 0, "a message without its number");
    const CompileReportLine first = CompileReportLines::at(input, 0);
    require(first.kind == CompileReportLine::Kind::None || first.number >= 0, "a line without its number");
    return 0;
}
