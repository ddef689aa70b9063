#pragma once

#include "document/commandlibrary.h"
#include "document/carriagewarning.h"
#include "document/coursemap.h"
#include "document/panelmodel.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::editor {

class LanguageTable;
class RowStore;

// What the replay reads besides the rows: the header fields and the
// machine's set-up options of the command line.
struct TotalsSettings
{
    std::string frontura;         // needle-bed width, needles
    std::string ingombroPettini;  // comb clearance, needles
    std::string costinaDx;        // rib, right side
    std::string costinaSx;        // rib, left side
    std::string scolloDx;         // neckline, right side
    std::string scolloSx;         // neckline, left side
    int setupMode = 0;            // numeric value of Predisposizione
    int setupOptions = 3;         // command line: bit values 1 and 2

    static TotalsSettings fromHeader(const PanelHeader &header, int setupOptions);
};

// The running totals: replays the program to fill the computed columns of
// every row (course total, outer and inner carriage, message) and checks the
// carriages against the needle bed and each other.
//
// Phase 1 unrolls the program into steps (one step per course) and adds what
// each command does to the carriages, as the library's SimulaFunzione tells
// it, to per-step tables; a running sum then turns them into positions.
// Phase 2 walks the rows again and writes, per row, the step it starts at,
// the carriage positions after it and the messages.
//
// Every definition row starts a strand of its own at step 0; the strands add
// their changes into the same tables (the outer profile and the neckline are
// usually two strands). The strand after the first definition row is the
// program part: its length is the knitted length of the piece.
//
// Intervals and repetitions are read as signed counts, as the compiler reads
// the same row: a "-" at column 16 (the interval marker, where the saved row
// keeps it: before a digit 1-9) makes the interval negative, a "-" at column
// 22 (the cycle-of-cycles marker) makes the repetition negative. A row with
// a negative repetition is part of the block that the next row with a
// positive repetition closes; that row's repetition counts the replays of
// the block. A negative repetition runs the row |repetition| times in a row.
//
// The tables are fixed in size; a replay allocates nothing per step, and a
// pass that cannot reach a new step (the counter is past the limit, or the
// interval is 0) is accounted arithmetically, so every panel replays in
// bounded time whatever its counts.
class RunningTotals
{
public:
    static constexpr int kStepLimit = 9999;           // steps 0..9998 take changes
    static constexpr int kStepSlots = kStepLimit + 1; // positions 0..9999
    static constexpr int kMaxEvents = 10000;          // message events kept
    static constexpr int kMaxRows = PanelModel::kMaxRows;

    using Warning = CarriageWarning;
    using enum CarriageWarning;

    // A mark returned by the library for a command, at the step where the
    // command acts; the knit drawing shows it beside the inner carriage.
    struct MessageEvent
    {
        int step = 0;
        int side = 0;      // side flag of the strand
        int inner = 0;     // inner carriage position at the step on that side
        int code = 0;      // the library's mark
        int next = -1;     // next event of the same step, -1 at the end
    };

    explicit RunningTotals(const CommandLibrary &library);

    // Row messages: language texts 37 to 44 and the crossing edges' one
    // (empty when the file lacks them).
    void setMessageTexts(const LanguageTable &language);
    void setMessageText(int line, std::string text);

    // Replays the program of the store and writes the computed columns back
    // into its rows. The window marks the panel as modified, refreshes the
    // rows and redraws the shape afterwards.
    void recompute(RowStore &rows, const TotalsSettings &settings);

    // The same on plain row texts (rows beyond 500 are left as they are).
    void recompute(std::string *rows, int count, const TotalsSettings &settings);

    // Last warning met in row order, Warning values.
    std::int16_t warningCode() const { return m_warning; }
    // Steps of the program part (the strand after the first definition row),
    // at most 9999.
    int programSteps() const { return m_programSteps; }
    // Program steps plus the zero-time steps plus 2; 9999 when the program
    // part reached the limit.
    std::int64_t totalSteps() const { return m_totalSteps; }
    int widestOuterRight() const { return m_widestRight; }
    int widestOuterLeft() const { return m_widestLeft; }
    // Passes of the increase command (AUMENTAZIONE) over the program.
    std::int64_t increaseCount() const { return m_increases; }
    // Course total of the last plain-course row (entry 10) before the first
    // definition row below row 2; -1 when there is none. The knit drawing
    // measures the border from it.
    int referenceSteps() const { return m_referenceSteps; }

    // Crossing edges: courses of the program part where the piece is
    // narrower than one needle (right edge plus left edge below 1; a
    // symmetric piece counts its right edge twice) or a neckline edge
    // passes its outer edge. Not a carriage warning: the panel still
    // compiles, but it cannot be knitted as meant. The rows that move an
    // edge at such a course carry the crossing message (the first row of
    // the program part that knits the first such course when none does),
    // unless a carriage message stands there.
    int crossedCourses() const { return m_crossedCourses; }
    int firstCrossedStep() const { return m_firstCrossed; }
    bool crossesAt(int row) const
    {
        return row >= 0 && row < kMaxRows && m_crossingRows[std::size_t(row)];
    }
    // Whether the piece is crossed at step s (program part only).
    bool crossed(int step) const;

    // The course (step of the program part) at which the compiler's code
    // reached a step of its own (a report line ".   45 ..."): the code
    // counts the set-up, every course and, before a course, one step per
    // command that acts between two courses there. An estimate where
    // several strands hold such commands at one course; the last course
    // for a step past the program.
    int courseOfCodeStep(int codeStep) const;

    // Carriage positions at step s (0..programSteps()); side 0 right, 1 left.
    int outer(int side, int step) const;
    int inner(int side, int step) const;
    // Zero-time commands (interval 0) counted at a step.
    int zeroTimeCount(int step) const;
    // Whether a zero-time command with a non-zero interval acts at a step.
    bool holdsZeroTime(int step) const;

    int eventCount() const { return m_eventCount; }
    const MessageEvent &event(int index) const { return m_events[std::size_t(index)]; }
    // First event of a step (follow MessageEvent::next), -1 for none.
    int firstEvent(int step) const;

    // Entries whose command acts course by course (the others are zero-time
    // commands that hold the carriage for their step).
    static bool actsCourseByCourse(int entry);

    // The interval and the repetition of a row as the compiler reads them.
    static int signedInterval(std::string_view row);
    static int signedRepetition(std::string_view row);

private:
    struct RowInfo
    {
        int entry = -1;
        std::int32_t code = -1;
        int interval = 0;
        int repetition = 0;
        int side = 0;
        bool member = false;      // part of a block closed by a later row
        bool replayed = false;
        int startStep = -1;       // step the row starts at, -1 when not replayed
        std::int64_t firstRun = 0;  // applications before the next row starts
        // Zero-interval rows: the carriages just before the row first ran
        // (during unrolling, the changes already made at its step).
        std::int64_t outerBefore = 0;
        std::int64_t innerBefore = 0;
        Kn4Simulazione effect{};
    };

    // What a row says to the replay, as it was read at the last replay: its
    // text, the side it was read on (-1 when it must be read again), and
    // what came of it.
    struct ReadRow
    {
        std::string text;
        int side = -1;
        int entry = -1;
        std::int32_t code = -1;
        bool leftSide = false;  // a definition row naming the left side
        int interval = 0;
        int repetition = 0;
        Kn4Simulazione effect{};
    };

    void clearTables();
    void readRows(const std::string *rows, int count);
    void readRow(const std::string &row, int side, ReadRow &read);
    void unroll(int count);
    void replayBlock(int first, int last, std::int64_t replays);
    void replayRow(int row, std::int64_t weight, bool first);
    void apply(int row, std::int64_t step, std::int64_t count);
    void accumulate(const TotalsSettings &settings);
    template <bool Saturate>
    std::int64_t sumPositions(int n);
    std::int64_t sumPositionsByRuns(int n);
    void markChanged(std::size_t step) { m_changedSteps[step / 64] |= std::uint64_t(1) << (step % 64); }
    void writeColumns(std::string *rows, int count, const TotalsSettings &settings);
    void applyMessageCode(std::string &row, int code, int &comb, bool leftFlag) const;
    void markCrossings(std::string *rows, int count);
    std::int64_t passes(int row) const;
    const ParameterPositions &positionsOf(std::int32_t code);
    int parameterValue(std::string_view row, int entry, const ParameterPositions &positions,
                       bool first) const;
    const std::string &message(int line) const;

    const CommandLibrary &m_library;
    std::array<std::string, 8> m_messages;
    std::string m_crossingMessage;
    std::array<ParameterPositions, 128> m_positions{};
    std::array<bool, 128> m_positionsKnown{};

    // Per step: changes during phase 1, positions afterwards.
    std::array<std::int32_t, kStepSlots> m_outerRight{};
    std::array<std::int32_t, kStepSlots> m_outerLeft{};
    std::array<std::int32_t, kStepSlots> m_innerRight{};
    std::array<std::int32_t, kStepSlots> m_innerLeft{};
    std::array<std::int32_t, kStepSlots> m_zeroTimeCount{};
    std::array<std::uint8_t, kStepSlots> m_zeroTimeHeld{};
    std::array<std::int32_t, kStepSlots> m_firstEvent{};
    std::array<std::int32_t, kStepSlots> m_lastEvent{};
    std::array<MessageEvent, kMaxEvents> m_events{};
    int m_eventCount = 0;
    int m_stepsUsed = kStepSlots;     // steps the carriage tables may hold changes at
    // The sum of the sizes of every change written into the carriage tables
    // (capped far above what a 32-bit position holds): while the start
    // positions and this stay within 32 bits, no position can overflow.
    std::int64_t m_changeMagnitude = 0;
    // The steps the last replay wrote a change or a zero-time count at, a bit
    // each.
    std::array<std::uint64_t, kStepSlots / 64 + 1> m_changedSteps{};
    int m_zeroTimeUsed = kStepSlots;  // the same for the zero-time tables

    std::array<RowInfo, kMaxRows> m_rows{};
    std::array<ReadRow, kMaxRows> m_read{};
    std::array<std::string, kMaxRows> m_texts;
    int m_rowCount = 0;
    std::int64_t m_counter = 0;
    int m_side = 0;

    std::int16_t m_warning = NoWarning;
    int m_programSteps = 0;
    std::int64_t m_totalSteps = 0;
    int m_widestRight = 0;
    int m_widestLeft = 0;
    std::int64_t m_increases = 0;
    int m_referenceSteps = -1;
    bool m_symmetric = true;
    int m_crossedCourses = 0;
    int m_firstCrossed = -1;
    std::array<bool, kMaxRows> m_crossingRows{};
    std::array<std::uint8_t, kStepSlots> m_crossedAt{};
    // The course map of the last crossing, and the counts it was made of.
    std::optional<CourseMap> m_courseMap;
    std::vector<int> m_mapEntries;
    std::vector<int> m_mapIntervals;
    std::vector<int> m_mapRepetitions;
};

} // namespace kn4::editor
