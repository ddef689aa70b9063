#pragma once

#include "document/commandlibrary.h"
#include "document/commandlist.h"
#include "window/core/rowstore.h"
#include "window/core/windowtimer.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::editor {

// Parameter editing by mouse: values in a row are never typed; a left click
// on a field of the selected row moves it one step forward, a right click
// one step back, and a held button repeats the step (bursts of 5 after half
// a second, then every 100 ms). The library's click operations decide what
// a step means for the interval, the repetition and the parameters; the
// command name (variants), the cycle-of-cycles mark and the two mark fields
// are stepped here. The window forwards the Riga events, mirrors Timer1 on
// a real timer (calling Timer1_Timer when it fires) and recomputes the
// running totals when an outcome asks for it.
class ParameterEditor
{
public:
    static constexpr int kTwipsPerColumn = 105;
    static constexpr int kRowHeightTwips = 240;
    static constexpr std::int32_t kFirstRepeatDelay = 500;
    static constexpr std::int32_t kRepeatInterval = 100;
    static constexpr int kStepsPerBurst = 5;

    // Hit fields: -1 none, 0..9 the fields of the row text, 10 and 11 P1, P2.
    static constexpr int kNoField = -1;
    static constexpr int kCommandField = 0;
    static constexpr int kIntervalField = 1;
    static constexpr int kRepetitionField = 2;
    static constexpr int kCycleOfCyclesField = 3;
    static constexpr int kShapingMarkField = 8;
    static constexpr int kFlagMarkField = 9;
    static constexpr int kP1Field = 10;
    static constexpr int kP2Field = 11;

    static constexpr int kLeftButton = 1;
    static constexpr int kRightButton = 2;

    static constexpr const char *kLeftSideErrorKey = "Errore_Parametro1_Sx";

    // The values the two mark fields step through: the part words and the
    // flag characters that panel rows carry, so a stepped mark is always one
    // the panel file can hold.
    static constexpr std::array<std::string_view, 6> kShapingMarks{
        "     .", "Avvit.", "G.Man.", "Spalla", "Scollo", "Manica"};
    static constexpr std::array<std::string_view, 4> kFlagMarks{".", "L", "P", "B"};

    // What an event did, for the window to follow up.
    struct Outcome
    {
        int steps = 0;             // steps applied (each may or may not change the row)
        bool changed = false;      // a row of the store was rewritten: recompute the totals
        std::string errorKey;      // an error hint to show (Esperto123Errore), or ""
    };

    ParameterEditor(RowStore &rows, const CommandLibrary &library, const CommandList &commands,
                    WindowTimer::Clock clock = WindowTimer::steadyClock());

    // The row column under a pointer X position in twips (105 twips per
    // column); -1 left of the row.
    static int columnAt(double xTwips);
    // The field a column of the current row hits: P1 and P2 first (they may
    // lie inside field 0 or reach past it), then the fields of the row text;
    // columns 16, 61, 63 and the blanks after the command name hit nothing.
    static int hitFieldAt(int column, const CurrentRow &row);

    // Riga_MouseDown after the selection part of the row list: a press on
    // the highlighted row (pressedHighlighted) arms the step and starts
    // Timer1 with 500 ms; any other press disarms it.
    void Riga_MouseDown(bool pressedHighlighted, int button, double xTwips);
    // Release: a click that Timer1 never repeated applies one step.
    Outcome Riga_MouseUp();
    // Leaving the row (Y outside 0..240 twips) while armed cancels the repeat.
    void Riga_MouseMove(double yTwips);
    // Double click with a row highlighted: arms, so the release that follows
    // applies one step.
    void Riga_DblClick(bool rowHighlighted);
    // Timer1: a burst of 5 steps, then every 100 ms.
    Outcome Timer1_Timer();

    // One step of the hit field with the pressed button on the selected row.
    Outcome step();

    // Typed values. A value typed into a field of the selected row is taken
    // only when the library's own clicks could reach it from the field's
    // value (the same range and step as clicking): the left and right click
    // operations are walked from the value, at most kWalkLimit steps each
    // way, until they give nothing new.
    static constexpr int kWalkLimit = 10000;
    struct TypedOutcome
    {
        bool changed = false;      // the row was rewritten
        bool refused = false;      // not a value the clicks reach: the field turns red
        std::string errorKey;      // a refusal with an error hint ("Errore_Parametro1_Sx")
        // The values the clicks reach, from the last right-click one to the
        // last left-click one (filled when refused).
        std::vector<std::string> allowed;
    };
    // The field a typed value goes to: the field last clicked when the
    // library steps it (interval, repetition, P1, P2) and the row has it,
    // else P1, else P2, else the interval.
    int entryField() const;
    // Where a field's value stands on the selected row: P1 with the
    // left-side mark one column to the left of P1; nothing for a field the
    // row does not have or that is not typed.
    std::optional<FieldSpan> valueColumns(int field) const;
    // The values the clicks reach from the field's value, as above.
    std::vector<std::string> reachableValues(int field) const;
    TypedOutcome typeValue(int field, std::string_view typed);
    // The allowed values in short: "1 ... 99", "2, 4 ... 98", "1, 2, 4",
    // "ALTRO, LATO, SCOLLO".
    static std::string describeValues(const std::vector<std::string> &values);

    bool armed() const { return m_armed; }
    int hitField() const { return m_hitField; }
    int button() const { return m_button; }
    const WindowTimer &timer() const { return m_timer; }

private:
    bool stepOnce(std::string &errorKey);
    bool stepLibraryField(int first, int last, CommandLibrary::Click left, CommandLibrary::Click right);
    bool stepP1(std::string &errorKey);
    bool p1Marked() const;
    void writeP1(const std::string &answer);
    std::string nextValue(int field, bool left, const std::string &value) const;
    bool stepVariant();
    bool stepCycleOfCycles();
    bool stepMark(int field, const std::string_view *values, std::size_t count);
    bool leftSideDependents() const;
    void writeSelected(std::string text);

    RowStore &m_rows;
    const CommandLibrary &m_library;
    const CommandList &m_commands;
    WindowTimer m_timer;
    bool m_armed = false;
    int m_button = kLeftButton;
    int m_hitField = kNoField;
};

} // namespace kn4::editor
