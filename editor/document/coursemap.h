#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kn4::editor {

// Which row of the program knits each course of the piece. The program is
// unrolled as the running totals and the compiler unroll it: every
// definition row opens a strand of its own that starts again at step 0; in
// a strand a row runs its passes (one, or |repetition| for a negative
// repetition) of `interval` courses each, a block of rows with negative
// repetitions is replayed as often as the row that closes it says, and a
// row with interval 0 acts between two courses and knits none. The strand
// after the first definition row is the program part: its length is the
// knitted length of the piece.
//
// Steps count from 0 as the editor's running totals and drawing count them
// (step s is the s-th knitted course); the simulator counts the set-up
// byte's course as course 1, so step s is its course s + kFirstCourse.
//
// Std only and without the library: what a row does to the course count is
// read from its own columns (interval 16-20, repetition 22-26) and its
// command from the keyword file, so a compiled panel's reader can use it
// as the editor does.
class CourseMap
{
public:
    static constexpr int kStepLimit = 9999;  // the running totals' step limit
    static constexpr int kFirstCourse = 2;   // the simulator's course of step 0
    // The compiler's line number of the first program row in a panel the
    // editor wrote: the ten header lines and the program marker line come
    // first (line 1 is the line after "SORGENTE.KN4").
    static constexpr int kFirstRowLine = 12;

    struct Row
    {
        int entry = -1;          // command-list entry (keyword file line), -1 unknown
        int sourceLine = 0;      // the compiler's line number ("-   12 ..." in the report)
        int definition = -1;     // the definition row whose strand it belongs to, -1 before any
        int startStep = -1;      // step it first runs at; -1 when it never runs
        std::string text;        // display text: "CALATO 2 1 4", "DEFINIZIONE SCOLLO"
    };

    // The rows as the editor holds them (row texts with their entry index),
    // row i being the compiler's line kFirstRowLine + i.
    static CourseMap fromRowTexts(const std::vector<std::string> &rows);
    // The same map from what the running totals have read of every row
    // already: its entry index, signed interval and signed repetition. The
    // rows carry no display texts.
    static CourseMap fromCounts(const std::vector<int> &entries, const std::vector<int> &intervals,
                                const std::vector<int> &repetitions);

    // A panel file, source or compiled (its rows after the program marker
    // line), with the keyword file VUZUDO.KEY of its language. A row whose
    // command the keyword file lacks (entry -1) counts its cycles as any
    // command does; a text without "SORGENTE.KN4" or without a program marker line gives
    // an empty map.
    static CourseMap fromPanelText(std::string_view fileText, std::string_view keywordText);

    const std::vector<Row> &rows() const { return m_rows; }
    // Steps of the program part (knitted courses), at most kStepLimit.
    int steps() const { return int(m_programPart.size()); }
    // The row of the program part that knits step s; -1 outside the program
    // part.
    int rowAtStep(int step) const;
    // The rows of every strand at step s, in the order of their definitions
    // (a strand shorter than s gives nothing).
    std::vector<int> rowsAtStep(int step) const;
    int rowAtCourse(int course) const { return rowAtStep(course - kFirstCourse); }
    // The strands, one per definition row in order: for each, the row that
    // knits each of its steps (-1 where none does).
    int strandCount() const { return int(m_strands.size()); }
    const std::vector<int> &strandRows(int strand) const { return m_strands[std::size_t(strand)].rowAtStep; }
    // The row of a compiler line number (a report line "-   12 ..."); -1
    // for a header line or a line past the program.
    int rowOfSourceLine(int line) const;

    // The display text of a row line: its words before the comment, the
    // command in upper case ("calato        2, 1   , 4" gives "CALATO 2 1 4").
    static std::string displayText(std::string_view rowLine);

private:
    struct Strand
    {
        int definition = -1;
        std::vector<int> rowAtStep;
    };

    void unroll();
    void runRow(Strand &strand, int row, long long &counter) const;

    std::vector<Row> m_rows;
    std::vector<int> m_intervals;
    std::vector<int> m_repetitions;
    std::vector<Strand> m_strands;
    std::vector<int> m_programPart;
};

} // namespace kn4::editor
