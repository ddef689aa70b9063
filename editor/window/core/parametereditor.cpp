#include "window/core/parametereditor.h"

#include "kn4/number.h"

#include <algorithm>
#include <cmath>

namespace kn4::editor {

namespace {

bool contains(std::string_view text, std::string_view word)
{
    return text.find(word) != std::string_view::npos;
}

bool isSideCommandEntry(int entry)
{
    return entry == RowText::kNecklineEntry || entry == RowText::kReturnEntry ||
           entry == RowText::kDecreaseEntry || entry == RowText::kIncreaseEntry;
}

} // namespace

ParameterEditor::ParameterEditor(RowStore &rows, const CommandLibrary &library,
                                 const CommandList &commands, WindowTimer::Clock clock)
    : m_rows(rows), m_library(library), m_commands(commands),
      m_timer(kFirstRepeatDelay, std::move(clock))
{
}

int ParameterEditor::columnAt(double xTwips)
{
    if (!std::isfinite(xTwips))
        return -1;
    const long twips = std::lround(xTwips);
    if (twips < 0)
        return -1;
    return int(std::min<long>(twips / kTwipsPerColumn, RowText::kLength));
}

int ParameterEditor::hitFieldAt(int column, const CurrentRow &row)
{
    if (column < 0)
        return kNoField;
    const ParameterPositions &p = row.positions;
    if (p.hasP1() && column >= p.p1First && column <= p.p1Last)
        return kP1Field;
    if (p.hasP2() && column >= p.p2First && column <= p.p2Last)
        return kP2Field;

    int field = 0;
    for (int f = 1; f < FieldTable::kFieldCount; ++f)
        if (FieldTable::field(f).first <= column)
            field = f;
    if (column > FieldTable::field(field).last)
        return kNoField;
    if (field == kCommandField && column >= row.nameEnd)
        return kNoField;
    return field;
}

void ParameterEditor::Riga_MouseDown(bool pressedHighlighted, int button, double xTwips)
{
    m_button = button;
    m_armed = false;
    if (pressedHighlighted) {
        m_armed = true;
        if (!m_timer.isRunning()) {
            m_timer.setInterval(kFirstRepeatDelay);
            m_timer.start();
        }
    } else {
        // A repeat left over from a release the window never saw must not
        // go on stepping the newly selected row.
        m_timer.stop();
    }
    m_hitField = hitFieldAt(columnAt(xTwips), m_rows.currentRow());
}

ParameterEditor::Outcome ParameterEditor::Riga_MouseUp()
{
    if (!m_armed)
        return {};
    const bool repeated = m_timer.interval() != kFirstRepeatDelay;
    m_timer.stop();
    if (repeated)
        return {};
    return step();
}

void ParameterEditor::Riga_MouseMove(double yTwips)
{
    if (m_armed && (yTwips < 0 || yTwips > kRowHeightTwips)) {
        m_timer.stop();
        m_armed = false;
    }
}

void ParameterEditor::Riga_DblClick(bool rowHighlighted)
{
    if (!rowHighlighted)
        return;
    m_armed = true;
    if (!m_timer.isRunning()) {
        m_timer.setInterval(kFirstRepeatDelay);
        m_timer.start();
    }
}

ParameterEditor::Outcome ParameterEditor::Timer1_Timer()
{
    m_timer.stop();
    Outcome outcome;
    for (int i = 0; i < kStepsPerBurst; ++i) {
        ++outcome.steps;
        outcome.changed |= stepOnce(outcome.errorKey);
        if (!outcome.errorKey.empty()) {
            // A refused step stays refused: one error hint, no more repeats.
            return outcome;
        }
    }
    m_timer.setInterval(kRepeatInterval);
    m_timer.start();
    return outcome;
}

ParameterEditor::Outcome ParameterEditor::step()
{
    Outcome outcome;
    outcome.steps = 1;
    outcome.changed = stepOnce(outcome.errorKey);
    return outcome;
}

bool ParameterEditor::stepOnce(std::string &errorKey)
{
    const int selected = m_rows.selectedRow();
    if (selected < 0 || selected >= m_rows.rowCount())
        return false;
    const CurrentRow &row = m_rows.currentRow();
    using C = CommandLibrary::Click;
    switch (m_hitField) {
    case kIntervalField:
        return stepLibraryField(FieldTable::field(1).first, FieldTable::field(1).last,
                                C::SxIntervallo, C::DxIntervallo);
    case kRepetitionField:
        return stepLibraryField(FieldTable::field(2).first, FieldTable::field(2).last,
                                C::SxRipetizione, C::DxRipetizione);
    case kP2Field:
        if (!row.positions.hasP2())
            return false;
        return stepLibraryField(row.positions.p2First, row.positions.p2Last, C::SxP2, C::DxP2);
    case kP1Field:
        return stepP1(errorKey);
    case kCommandField:
        return stepVariant();
    case kCycleOfCyclesField:
        return stepCycleOfCycles();
    case kShapingMarkField:
        return stepMark(kShapingMarkField, kShapingMarks.data(), kShapingMarks.size());
    case kFlagMarkField:
        return stepMark(kFlagMarkField, kFlagMarks.data(), kFlagMarks.size());
    default:
        return false;
    }
}

bool ParameterEditor::stepLibraryField(int first, int last, CommandLibrary::Click left,
                                       CommandLibrary::Click right)
{
    if (m_button != kLeftButton && m_button != kRightButton)
        return false;
    const CurrentRow &row = m_rows.currentRow();
    const std::string value(trimBlanks(RowText::columns(row.text, first, last)));
    const std::string answer =
        m_library.click(m_button == kLeftButton ? left : right, row.functionCode, value);
    if (answer.empty())
        return false;
    std::string text = row.text;
    RowText::overlay(text, first, last, answer);
    writeSelected(std::move(text));
    return true;
}

bool ParameterEditor::stepP1(std::string &errorKey)
{
    if (m_button != kLeftButton && m_button != kRightButton)
        return false;
    const CurrentRow &row = m_rows.currentRow();
    const ParameterPositions &p = row.positions;
    if (!p.hasP1())
        return false;

    // A left-marked side command holds its value one column to the left,
    // with "s" in P1's last column.
    const int first = p1Marked() ? p.p1First - 1 : p.p1First;
    const int last = first + p.p1Width() - 1;
    const std::string value(trimBlanks(RowText::columns(row.text, first, last)));

    // A left-side definition may not change while left-marked rows after it
    // depend on it.
    if (contains(toLowerAscii(value), "sin") && m_rows.settings().setupMode == 2 &&
        leftSideDependents()) {
        errorKey = kLeftSideErrorKey;
        return false;
    }

    const std::string answer = nextValue(kP1Field, m_button == kLeftButton, value);
    if (answer.empty())
        return false;
    writeP1(answer);
    return true;
}

bool ParameterEditor::p1Marked() const
{
    const CurrentRow &row = m_rows.currentRow();
    return isSideCommandEntry(row.entryIndex) && row.positions.p1First > 0 &&
           RowText::hasLeftSideMark(row.text, row.positions);
}

void ParameterEditor::writeP1(const std::string &answer)
{
    const CurrentRow &row = m_rows.currentRow();
    const ParameterPositions &p = row.positions;
    std::string text = row.text;
    if (p1Marked())
        RowText::overlay(text, p.p1First - 1, p.p1Last, answer + "s");
    else
        RowText::overlay(text, p.p1First, p.p1Last, answer);
    writeSelected(std::move(text));
}

// What one click of the field gives for a value: the library's answer, with
// the definition's left-side value passed over where the set-up has no
// left side.
std::string ParameterEditor::nextValue(int field, bool left, const std::string &value) const
{
    using C = CommandLibrary::Click;
    const CurrentRow &row = m_rows.currentRow();
    C operation = left ? C::SxP1 : C::DxP1;
    if (field == kIntervalField)
        operation = left ? C::SxIntervallo : C::DxIntervallo;
    else if (field == kRepetitionField)
        operation = left ? C::SxRipetizione : C::DxRipetizione;
    else if (field == kP2Field)
        operation = left ? C::SxP2 : C::DxP2;
    std::string answer = m_library.click(operation, row.functionCode, value);
    if (field == kP1Field && row.entryIndex == RowText::kDefinitionEntry &&
        contains(toLowerAscii(answer), "sin") &&
        (m_rows.settings().setupOptions == 3 || m_rows.settings().setupMode != 2))
        answer = m_library.click(operation, row.functionCode, answer);
    return answer;
}

bool ParameterEditor::leftSideDependents() const
{
    const std::string &definition = m_rows.settings().definitionName;
    for (int i = m_rows.selectedRow() + 1; i < m_rows.rowCount(); ++i) {
        const std::string &text = m_rows.row(i);
        if (!definition.empty() && contains(toLowerAscii(text), definition))
            break;
        if (isSideCommandEntry(RowText::entryIndex(text)) &&
            RowText::hasLeftSideMark(text, m_library.GetPosizioneParametri(RowText::functionCode(text))))
            return true;
    }
    return false;
}

bool ParameterEditor::stepVariant()
{
    const CurrentRow &row = m_rows.currentRow();
    const int current = row.entryIndex;
    const int count = m_commands.count();
    if (current < 0 || current >= count)
        return false;
    const std::string &keyword = m_commands.entry(current).libraryName;
    if (keyword.empty())
        return false;
    const std::int32_t code = row.functionCode;

    int smallest = -1, largest = -1, nextHigher = -1, nextLower = -1;
    auto codeOf = [&](int entry) { return m_commands.entry(entry).functionCode; };
    for (int n = 1; n <= count; ++n) {
        const int i = (current + n) % count;
        if (m_commands.entry(i).libraryName != keyword)
            continue;
        const std::int32_t c = codeOf(i);
        if (smallest < 0 || c < codeOf(smallest))
            smallest = i;
        if (largest < 0 || c > codeOf(largest))
            largest = i;
        if (c > code && (nextHigher < 0 || c < codeOf(nextHigher)))
            nextHigher = i;
        if (c < code && c > 0 && (nextLower < 0 || c > codeOf(nextLower)))
            nextLower = i;
    }

    int chosen = -1;
    if (m_button == kRightButton)
        chosen = nextLower >= 0 ? nextLower : (largest >= 0 && codeOf(largest) > code ? largest : -1);
    else
        chosen = nextHigher >= 0 ? nextHigher
                                 : (smallest >= 0 && codeOf(smallest) < code ? smallest : -1);
    if (chosen < 0 || chosen == current)
        return false;

    const CommandEntry &entry = m_commands.entry(chosen);
    const int selected = m_rows.selectedRow();
    std::string text = m_rows.buildRow({entry.displayName, entry.functionCode, chosen}, selected);
    // The row stays where it stands, in its cycle of cycles too.
    if (RowStore::isMarked(row.text) && chosen != RowText::kDefinitionEntry &&
        chosen != RowText::kCycleOfCyclesEndEntry)
        RowStore::setMarked(text, true);
    writeSelected(std::move(text));
    return true;
}

bool ParameterEditor::stepCycleOfCycles()
{
    const int selected = m_rows.selectedRow();
    const int count = m_rows.rowCount();
    auto entryOf = [&](int i) { return RowText::entryIndex(m_rows.row(i)); };
    auto setMark = [&](int i, bool marked) {
        std::string text = m_rows.row(i);
        RowStore::setMarked(text, marked);
        m_rows.setRow(i, std::move(text));
    };

    if (!RowStore::isMarked(m_rows.row(selected))) {
        if (entryOf(selected) == RowText::kCycleOfCyclesEndEntry)
            return false;
        int end = selected + 1;  // the row just below the block
        for (int i = selected + 1; i < count; ++i) {
            const int entry = entryOf(i);
            if (entry == RowText::kDefinitionEntry)
                break;
            if (entry == RowText::kCycleOfCyclesEndEntry) {
                end = i;
                break;
            }
        }
        for (int i = selected; i < end; ++i)
            setMark(i, true);
        return true;
    }

    int below = selected;
    while (below < count && RowStore::isMarked(m_rows.row(below)))
        ++below;
    if (below < count && entryOf(below) == RowText::kCycleOfCyclesEndEntry) {
        // A block is cleared from its first row only.
        if (selected > 0 && RowStore::isMarked(m_rows.row(selected - 1)))
            return false;
        for (int i = selected; i <= below; ++i)
            setMark(i, false);
    } else {
        setMark(selected, false);
    }
    return true;
}

bool ParameterEditor::stepMark(int field, const std::string_view *values, std::size_t count)
{
    if (count == 0)
        return false;
    const FieldSpan span = FieldTable::field(field);
    const std::string text = m_rows.currentRow().text;
    const std::string current = RowText::columns(text, span.first, span.last);
    std::size_t index = count;
    for (std::size_t i = 0; i < count; ++i)
        if (values[i] == current) {
            index = i;
            break;
        }
    if (m_button == kRightButton)
        index = index == 0 ? count - 1 : index - 1;
    else
        index = index + 1 >= count ? 0 : index + 1;
    if (values[index] == current)
        return false;
    std::string row = text;
    RowText::overlay(row, span.first, span.last, values[index]);
    writeSelected(std::move(row));
    return true;
}

void ParameterEditor::writeSelected(std::string text)
{
    m_rows.setRow(m_rows.selectedRow(), std::move(text));
}

// --- typed values ---------------------------------------------------------

namespace {

bool isWholeNumber(std::string_view text)
{
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A typed value and a value of the field name the same thing: the same
// word in any case, or the same whole number ("07" is 7).
bool sameValue(std::string_view a, std::string_view b)
{
    a = trimBlanks(a);
    b = trimBlanks(b);
    if (isWholeNumber(a) && isWholeNumber(b))
        return leadingInteger(a) == leadingInteger(b);
    return a.size() == b.size() && toUpperAscii(a) == toUpperAscii(b);
}

} // namespace

int ParameterEditor::entryField() const
{
    if ((m_hitField == kIntervalField || m_hitField == kRepetitionField || m_hitField == kP1Field ||
         m_hitField == kP2Field) &&
        valueColumns(m_hitField))
        return m_hitField;
    if (valueColumns(kP1Field))
        return kP1Field;
    if (valueColumns(kP2Field))
        return kP2Field;
    return kIntervalField;
}

std::optional<FieldSpan> ParameterEditor::valueColumns(int field) const
{
    const int selected = m_rows.selectedRow();
    if (selected < 0 || selected >= m_rows.rowCount())
        return std::nullopt;
    const ParameterPositions &p = m_rows.currentRow().positions;
    switch (field) {
    case kIntervalField:
    case kRepetitionField:
        return FieldTable::field(field);
    case kP1Field:
        if (!p.hasP1())
            return std::nullopt;
        if (p1Marked())
            return FieldSpan{p.p1First - 1, p.p1First + p.p1Width() - 2};
        return FieldSpan{p.p1First, p.p1Last};
    case kP2Field:
        if (!p.hasP2())
            return std::nullopt;
        return FieldSpan{p.p2First, p.p2Last};
    default:
        return std::nullopt;
    }
}

std::vector<std::string> ParameterEditor::reachableValues(int field) const
{
    const std::optional<FieldSpan> span = valueColumns(field);
    if (!span)
        return {};
    // The library's answers as it gives them (a number may come with a
    // leading blank, as a click writes it); compared without blanks.
    const std::string current(trimBlanks(RowText::columns(m_rows.currentRow().text, span->first, span->last)));
    auto walk = [&](bool left) {
        std::vector<std::string> values;
        std::vector<std::string> seen{current};
        std::string value = current;
        for (int i = 0; i < kWalkLimit; ++i) {
            const std::string answer = nextValue(field, left, value);
            const std::string next(trimBlanks(answer));
            // The end of the range, or a range that wraps round.
            if (next.empty() || std::find(seen.begin(), seen.end(), next) != seen.end())
                break;
            seen.push_back(next);
            values.push_back(answer);
            value = next;
        }
        return values;
    };
    std::vector<std::string> values = walk(false);
    std::reverse(values.begin(), values.end());
    values.push_back(current);
    for (std::string &value : walk(true))
        if (std::none_of(values.begin(), values.end(),
                         [&value](const std::string &v) { return trimBlanks(v) == trimBlanks(value); }))
            values.push_back(std::move(value));
    return values;
}

ParameterEditor::TypedOutcome ParameterEditor::typeValue(int field, std::string_view typed)
{
    TypedOutcome outcome;
    const std::optional<FieldSpan> span = valueColumns(field);
    if (!span) {
        outcome.refused = true;
        return outcome;
    }
    const CurrentRow &row = m_rows.currentRow();
    const std::string current(trimBlanks(RowText::columns(row.text, span->first, span->last)));
    if (sameValue(current, typed))
        return outcome;
    // As for a click: a left-side definition may not change while
    // left-marked rows after it depend on it.
    if (field == kP1Field && contains(toLowerAscii(current), "sin") && m_rows.settings().setupMode == 2 &&
        leftSideDependents()) {
        outcome.errorKey = kLeftSideErrorKey;
        return outcome;
    }
    const std::vector<std::string> values = reachableValues(field);
    const auto found = std::find_if(values.begin(), values.end(),
                                    [typed](const std::string &value) { return sameValue(value, typed); });
    if (found == values.end()) {
        outcome.refused = true;
        outcome.allowed = values;
        return outcome;
    }
    if (field == kP1Field) {
        writeP1(*found);
    } else {
        std::string text = row.text;
        RowText::overlay(text, span->first, span->last, *found);
        writeSelected(std::move(text));
    }
    outcome.changed = true;
    return outcome;
}

std::string ParameterEditor::describeValues(const std::vector<std::string> &values)
{
    constexpr std::size_t kListed = 8;
    auto join = [](const std::vector<std::string> &words, std::size_t count) {
        std::string text;
        for (std::size_t i = 0; i < words.size() && i < count; ++i)
            text += (i ? ", " : "") + words[i];
        if (words.size() > count)
            text += ", ...";
        return text;
    };
    std::vector<std::string> words;
    for (const std::string &value : values)
        words.emplace_back(trimBlanks(value));
    if (words.empty() ||
        !std::all_of(words.begin(), words.end(), [](const std::string &v) { return isWholeNumber(v); }))
        return join(words, 2 * kListed);

    std::vector<int> numbers;
    for (const std::string &word : words)
        numbers.push_back(leadingInteger(word));
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    words.clear();
    for (int n : numbers)
        words.push_back(std::to_string(n));
    if (numbers.size() <= kListed)
        return join(words, kListed);
    const int step = numbers[1] - numbers[0];
    bool even = true;
    for (std::size_t i = 1; i < numbers.size(); ++i)
        even = even && numbers[i] - numbers[i - 1] == step;
    const std::string last = std::to_string(numbers.back());
    if (even && step > 1)
        return words[0] + ", " + words[1] + " ... " + last;
    return words[0] + " ... " + last;
}

} // namespace kn4::editor
