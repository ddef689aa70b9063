#pragma once

#include "kn4edit2.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kn4::compiler {

// The command catalogue: the 75 command words a panel row may hold, each
// with the behaviours the editor asks the library about (parameter columns,
// default texts, click steps of the four editable fields, effect on the
// running simulation). It is built into the library, never changes at run
// time, and is independent of the keyword table the compiler reads.
//
// Every function below takes a catalogue index; any index outside
// 0..kCommandCount-1 (the "unknown word" index -1 among them) selects the
// neutral behaviour: no parameters, generic defaults, no change, no effect.

inline constexpr std::int32_t kCommandCount = KN4_COMMANDS;
inline constexpr std::int32_t kNoCommand = -1;

// Size of every editing text, terminating zero included.
inline constexpr std::size_t kTextSize = KN4_TEXT_SIZE;

// A short text built without allocation; always zero-terminated, at most
// kTextSize - 1 characters, every byte after the text zero.
class EditText
{
public:
    EditText() = default;
    explicit EditText(std::string_view text);

    std::string_view view() const { return {m_bytes.data(), m_length}; }
    bool empty() const { return m_length == 0; }
    // All kTextSize bytes, zero-filled after the text: what an export copies.
    const std::array<char, kTextSize> &bytes() const { return m_bytes; }

private:
    std::array<char, kTextSize> m_bytes{};
    std::size_t m_length = 0;
};

// The 0-based first and last columns of P1 and P2 in the editor's row text,
// -1 where the field does not exist.
struct ParameterPositions
{
    std::int32_t p1First;
    std::int32_t p1Last;
    std::int32_t p2First;
    std::int32_t p2Last;
};

// The texts a new row of a command starts with, exactly as written into the
// row: non-negative P1/P2 values carry one leading blank, the cycle fields
// none.
struct DefaultTexts
{
    std::string_view p1;
    std::string_view p2;
    std::string_view intervallo;
    std::string_view ripetizione;
};

enum class Field { P1, P2, Intervallo, Ripetizione };

// Up is the left click (ClickSx…), down the right click (ClickDx…).
enum class Direction { Up, Down };

// One catalogue entry: its word, its family word (empty when it has none)
// and its eleven behaviours, each a reference to a shared routine.
struct CatalogueEntry
{
    using PositionsRoutine = ParameterPositions (*)();
    using DefaultsRoutine = DefaultTexts (*)();
    // A value rule: the field's current text in, its new text out, or the
    // empty text when the field cannot move that way.
    using RuleRoutine = EditText (*)(std::string_view text);
    // Fills the output fields of a record whose outputs are already zero.
    using SimulationRoutine = void (*)(Kn4Simulazione &record);

    std::string_view name;
    std::string_view family;
    PositionsRoutine positions;
    DefaultsRoutine defaults;
    RuleRoutine p1Up;
    RuleRoutine p1Down;
    RuleRoutine p2Up;
    RuleRoutine p2Down;
    RuleRoutine intervalloUp;
    RuleRoutine intervalloDown;
    RuleRoutine ripetizioneUp;
    RuleRoutine ripetizioneDown;
    SimulationRoutine simulation;
};

// The entry of an index; the terminating neutral entry (empty name) for any
// index outside 0..kCommandCount-1.
const CatalogueEntry &catalogueEntry(std::int32_t index);

// The index of the first entry whose name equals the word ignoring ASCII
// letter case, or kNoCommand for an unknown or empty word.
std::int32_t findCommand(std::string_view word);

// The word the lookup hands back for an index: its family word when it has
// one (AUMENTA, PETTINI_?, TRECCIA_?), else its name; empty for the neutral
// index.
std::string_view commandWord(std::int32_t index);

ParameterPositions parameterPositions(std::int32_t index);
DefaultTexts defaultTexts(std::int32_t index);

// The new text of a field after one click on it.
EditText click(std::int32_t index, Field field, Direction direction, std::string_view text);

// Sets the five outputs of the record to 0, then applies the command's
// effect; the three inputs are left as they are.
void simulate(std::int32_t index, Kn4Simulazione &record);

// The DEFINIZIONE text classifier: the definition kind an older panel's
// comment text stands for, or empty when it names none.
EditText classifyDefinition(std::string_view text);

} // namespace kn4::compiler
