#pragma once

#include "simulator/drawinglist.h"
#include "simulator/simsettings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kn4 {

class PanelHead;

// The values of the panel head the engine starts from.
struct KnitStartValues
{
    std::int32_t setup = 0;
    std::int32_t ribRight = 0;
    std::int32_t ribLeft = 0;
    std::int32_t necklineRight = 0;
    std::int32_t necklineLeft = 0;
    double borderHeight = 0;
    double coursesPerCm = 0;
    // The intarsia lists of the notes (stripe mode 2): course pairs (R) and
    // needle pairs (F), see IntarsiaField.
    std::vector<std::int32_t> intarsiaR;
    std::vector<std::int32_t> intarsiaF;
};

// One intarsia field of stripe mode 2: a block of the piece knitted by its
// own carrier between two needle boundaries (needles from the centre,
// negative to the left, as the needle read-out shows them) over one or more
// course ranges. The notes give them as "(R,from,to,from,to,...)" and
// "(F,left,right,left,right)": the first F pair bounds field 1 (carrier 2,
// "R.1"), the second field 2 (carrier 3, "R.2"); the R pairs give the
// courses of field 1, field 2, field 1 again and so on. The base carrier 1
// ("C.B") knits the rest; where the two fields meet, field 2 is knitted.
struct IntarsiaField
{
    int carrier = 2;
    double left = 0;
    double right = 0;
    std::vector<std::pair<std::int64_t, std::int64_t>> courses;  // inclusive, ascending in each pair

    bool knitsCourse(std::int64_t course) const;

    // The fields a pair of lists describes (none without an F pair).
    static std::vector<IntarsiaField> fromLists(const std::vector<std::int32_t> &r,
                                                const std::vector<std::int32_t> &f);
};

// Where and how the picture is drawn: the origin (needle 0, course 0) in
// drawing units, the units per needle and per course, the view (0 the
// piece alone, 1 with its border block) and the print preview (white ground).
struct DrawingView
{
    static constexpr double kCentreX = 4000;
    static constexpr double kBaseY = 8000;

    double centreX = kCentreX;
    double baseY = kBaseY;
    int scale = 10;
    int view = 0;
    bool printPreview = false;
};

// The state of the piece being knitted. Courses and carriage positions are
// 64-bit: long count-byte repeats of a legal panel go far beyond 16 bits.
struct KnitState
{
    std::int64_t course = 1;
    std::int64_t outer = 0;       // outer carriage, needles right of the centre
    std::int64_t inner = 0;       // inner carriage, needles left of the centre
    double rightEdge = 0;         // needles right of the centre (half needles occur)
    double leftEdge = 0;          // needles left of the centre
    double lastRightEdge = 0;
    double lastLeftEdge = 0;
    double currentLine = DrawingView::kBaseY;  // y of the last course drawn
    Colour currentColour = 0;
    int currentCarrier = 1;       // 1..8
    std::int64_t borderOffset = 0;  // border courses less 1 in view 1, else 0
    bool innerMark = false;       // carriage positions marked in the picture
    bool outerMark = false;
    char firstShapingMark = '0';  // "+" / "-" for the course, "0" otherwise
    char secondShapingMark = '0';
};

// The carrier bookkeeping of `rigato`.
struct CarrierState
{
    std::int64_t lastCourse = 0;
    int current = 1;
    int previous = 1;
    // Side (1 or 2) on which carrier 1..8 (index 0..7) last stopped.
    std::array<std::uint8_t, SimSettings::kCarriers> sides{1, 1, 1, 1, 1, 1, 1, 1};
};

// What `rigato` records for one course: the working carrier, the mark ("*",
// or "E" when the carrier was taken up on the wrong side), the side of every
// carrier and the course number.
struct CourseRecord
{
    bool present = false;
    std::uint8_t carrier = 0;
    char mark = '*';
    std::array<std::uint8_t, SimSettings::kCarriers> sides{};
    std::int64_t course = 0;

    // The record as text: carrier, mark, eight sides, course, each number
    // with a leading blank (" 1* 1 2 1 1 1 1 1 1 25"); the third character is
    // the mark the stripe check reads.
    std::string text() const;
};

// Stitches knitted per carrier and in all. Whole numbers held in doubles:
// they stay exact far beyond 32 bits.
struct StitchTotals
{
    double total = 0;
    std::array<double, SimSettings::kCarriers> carriers{};
};

// The stitches of the two intarsia fields (carriers 2 and 3) in stripe mode
// 2; the base carrier knits the total less both.
struct IntarsiaAreas
{
    double area2 = 0;
    double area3 = 0;
};

// One decoded byte of the code block, as a follower of the engine sees it.
struct KnitStep
{
    std::size_t offset = 0;  // position of the byte in the code block
    std::uint8_t byte = 0;
    int code = 0;            // the byte, less 64 from 192 on; below 128 a count byte
    int command = 0;         // the command executed (the last one for a count byte; 0 none)
    bool courseFlag = true;  // false for a command that does not advance the course
    int count = 1;           // 1, or the repeat of a count byte
};

// One call of the drawing routine.
struct DrawCall
{
    std::int64_t course = 0;
    int kind = 0;
    bool innerMark = false;
    bool outerMark = false;
    bool rightEdgeMark = false;
    bool leftEdgeMark = false;
};

class KnitEngine;

// Follows a run of the engine step by step without a window: the print
// program's profile walk, kn4sim and the tests see every decoded byte and
// every course drawn, with the state right after it.
class KnitObserver
{
public:
    virtual ~KnitObserver() = default;
    virtual void started(const KnitEngine &) {}
    virtual void courseDrawn(const DrawCall &, const KnitState &) {}
    virtual void stepDecoded(const KnitStep &, const KnitState &) {}
    virtual void finished(const KnitEngine &) {}
};

// The knitting simulation: replays a compiled code block byte by byte as the
// machine receives it, keeps the piece's state, the carrier bookkeeping and
// the course records, counts the stitches per carrier and records what to
// draw for every course. Every run of maglia starts from the head values and
// the settings alone, so runs are repeatable.
class KnitEngine
{
public:
    // Courses with a course record: 0..kMaxCourseRecords. Courses past the
    // table carry no record.
    static constexpr std::int64_t kMaxCourseRecords = 10000;
    static constexpr std::uint16_t kFinishedFlag = 65535;
    // Drawing kinds of DrawCourse.
    static constexpr int kKindBand = 0;
    static constexpr int kKindEdgeMarks = 1;
    static constexpr int kKindBorder = 2;
    static constexpr int kKindEnd = 4;
    static constexpr int kKindMarker = 6;
    static constexpr int kKindSides = 10;
    static constexpr int kKindFillToTop = 12;
    static constexpr int kKindTopLine = 14;
    // The grey of the border stripes and the colour of the marks.
    static constexpr Colour kGrey = 0xC0C0C0;
    static constexpr Colour kWhite = 0xFFFFFF;

    KnitEngine();

    // The panel to simulate: its start values and its code block.
    void setHead(const PanelHead &head);
    void setPanel(const KnitStartValues &values, std::string codeBlock);
    const KnitStartValues &startValues() const { return m_start; }
    std::string_view codeBlock() const { return m_code; }

    SimSettings &settings() { return m_settings; }
    const SimSettings &settings() const { return m_settings; }
    DrawingView &drawingView() { return m_view; }
    const DrawingView &drawingView() const { return m_view; }

    // Whether DrawCourse records primitives (on by default). A client that
    // only needs the values (kn4sim --json, the print program's profile
    // walk) turns it off; the drawing's effects on the state stay.
    void setRecording(bool on) { m_recording = on; }
    void setObserver(KnitObserver *observer) { m_observer = observer; }

    // Runs the whole code block from the start values.
    void maglia();

    // Carrier bookkeeping up to course riga with the carrier guidafilo;
    // modo 100 resets the carrier sides from the settings, modo 0 also
    // handles course riga + 1. Does nothing in stripe mode 2 or once the
    // run is finished.
    void rigato(std::int64_t riga, int guidafilo, int modo);

    // Draws the course at the current state (see DrawCall for the flags).
    void DrawCourse(std::int64_t course, int kind, bool innerMark, bool outerMark,
                    bool rightEdgeMark, bool leftEdgeMark);

    // The stitch counter, called after every byte: the stitches between the
    // previous course counted and `course`, for the working carrier; a
    // course below 2 starts the totals again.
    void CountStitches(std::int64_t course);

    // Course numbers 1..10000 whose record carries "E", ascending.
    std::vector<std::int64_t> stripeCheck() const;

    // The intarsia drawing, called after every byte with the course less the
    // border offset: in stripe mode 2 it paints the fields over the courses
    // knitted since its last call and counts their stitches; otherwise it
    // does nothing.
    void Intarsio(std::int64_t course);
    const IntarsiaAreas &intarsiaAreas() const { return m_intarsiaAreas; }
    // The stitches per colour: the counter's totals, with carriers 1..3 split
    // by the intarsia fields in stripe mode 2.
    StitchTotals stitchesPerColour() const;

    // Course records are numbered by the courses of the piece in both views:
    // in view 1 the courses drawn count the welt first. These convert the
    // course of the drawing to the course of its record and back.
    std::int64_t recordCourse(std::int64_t drawnCourse) const { return drawnCourse - m_state.borderOffset; }
    std::int64_t drawnCourse(std::int64_t recordCourse) const { return recordCourse + m_state.borderOffset; }

    // Puts edges, carriages, current line and colour back to the start values.
    void resetToStart();

    bool finished() const { return m_finished == kFinishedFlag; }
    // Lets rigato rebuild the course records at the next run (after a
    // change of colours or carrier settings).
    void clearFinished() { m_finished = 0; }

    const KnitState &state() const { return m_state; }
    const CarrierState &carrierState() const { return m_carriers; }
    // The record of a course; nullptr past the table or when none was made.
    const CourseRecord *record(std::int64_t course) const;
    const StitchTotals &stitches() const { return m_stitches; }
    // What to draw, in order, from the clearing of the area on; primitives
    // wholly off the 8000 x 8000 area are left out.
    const DrawingList &drawing() const { return m_drawing; }

    // Drawing-unit positions of the picture (integer part, saturated).
    std::int32_t xLeft(double position) const;
    std::int32_t xRight(double position) const;
    std::int32_t yOfCourse(std::int64_t course) const;

private:
    void decode();
    void execute(int code, int count, bool courseFlag);
    void draw(int kind = kKindBand, bool carriageMarks = false, bool rightMark = false,
              bool leftMark = false);
    void advance(bool courseFlag) { m_state.course += courseFlag ? 1 : 0; }
    void takeCarrier(int carrier, bool courseFlag);
    // The primitives of one course drawn at y over the band from the line
    // previous, its marks at yMark (DrawCourse with recording on).
    void recordCourse(std::int32_t y, std::int32_t previous, std::int32_t yMark, int kind, bool innerMark,
                      bool outerMark, bool rightEdgeMark, bool leftEdgeMark);
    void addPrimitive(DrawPrimitive primitive);

    KnitStartValues m_start;
    std::string m_code;
    SimSettings m_settings;
    DrawingView m_view;
    bool m_recording = true;
    KnitObserver *m_observer = nullptr;

    KnitState m_state;
    CarrierState m_carriers;
    std::vector<CourseRecord> m_records;
    StitchTotals m_stitches;
    std::int64_t m_stitchPreviousCourse = 0;
    DrawingList m_drawing;
    std::uint16_t m_finished = 0;
    std::vector<IntarsiaField> m_intarsiaFields;
    IntarsiaAreas m_intarsiaAreas;
    std::int64_t m_intarsiaPrevious = 0;
    std::vector<std::int64_t> m_intarsiaCuts;  // Intarsio's work list, kept for its memory
    bool m_consumed = false;       // the last byte's work marked it as used
    std::size_t m_position = 0;    // next byte of the code block
    bool m_stop = false;
};

} // namespace kn4
