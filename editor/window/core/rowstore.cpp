#include "window/core/rowstore.h"

#include <algorithm>

namespace kn4::editor {

namespace {

const std::string kNoText;

bool contains(std::string_view text, std::string_view word)
{
    return !word.empty() && text.find(word) != std::string_view::npos;
}

bool isSideCommandEntry(int entry)
{
    return entry == RowText::kNecklineEntry || entry == RowText::kReturnEntry ||
           entry == RowText::kDecreaseEntry || entry == RowText::kIncreaseEntry;
}

} // namespace

RowStore::RowStore(const CommandLibrary &library)
    : m_library(library)
{
}

const std::string &RowStore::row(int index) const
{
    if (index < 0 || index >= kSlotCount)
        return kNoText;
    return m_rows[std::size_t(index)];
}

bool RowStore::setRow(int index, std::string text)
{
    if (index < 0 || index >= m_count)
        return false;
    m_rows[std::size_t(index)] = std::move(text);
    if (index == m_selectedRow)
        loadCurrentRow();
    return true;
}

std::vector<std::string> RowStore::rows() const
{
    return std::vector<std::string>(m_rows.begin(), m_rows.begin() + m_count);
}

bool RowStore::load(const std::vector<std::string> &rows)
{
    m_rows.fill(std::string());
    m_count = 0;
    m_topRow = 0;
    m_selectedRow = -1;
    m_highlightedLabel = -1;
    clearCurrentRow();
    for (const std::string &text : rows) {
        if (!appendLoaded(text))
            return false;
    }
    return true;
}

bool RowStore::appendLoaded(std::string text)
{
    if (m_count >= kMaxRows)
        return false;
    m_rows[std::size_t(m_count)] = std::move(text);
    ++m_count;
    keepEmptySlotEmpty();
    return true;
}

void RowStore::setVisibleRows(int rows)
{
    m_visibleRows = rows == kVisibleRowsExpandedHelp ? kVisibleRowsExpandedHelp : kLabelCount;
    refresh();
}

int RowStore::scrollMaximum() const
{
    return std::max(0, m_count - lastLabel());
}

std::vector<RowLabelView> RowStore::refresh()
{
    // The scroll bar cannot hold a value beyond its range; after a delete
    // near the end the top row follows the shorter list.
    m_topRow = std::clamp(m_topRow, 0, scrollMaximum());

    std::vector<RowLabelView> views(static_cast<std::size_t>(m_visibleRows));
    for (int label = 0; label < m_visibleRows; ++label) {
        const int index = m_topRow + label;
        RowLabelView &view = views[std::size_t(label)];
        if (index > m_count)
            continue;
        view.caption = m_rows[std::size_t(index)];
        if (RowText::at(view.caption, RowText::kCycleOfCyclesMark) == 'C')
            view.colour = RowLabelView::Colour::CycleOfCycles;
        else if (contains(view.caption, m_settings.definitionName))
            view.colour = RowLabelView::Colour::Definition;
    }

    const int screenIndex = m_selectedRow - m_topRow;
    if (m_selectedRow >= 0 && screenIndex >= 0 && screenIndex <= lastLabel())
        m_highlightedLabel = screenIndex;
    else
        m_highlightedLabel = -1;
    if (m_highlightedLabel >= 0)
        views[std::size_t(m_highlightedLabel)].highlighted = true;
    return views;
}

void RowStore::scrollTo(int topRow)
{
    m_topRow = topRow;
    refresh();
}

RowStore::PressResult RowStore::pressLabel(int label)
{
    if (label >= 0 && label == m_highlightedLabel)
        return PressResult::PressedHighlighted;
    m_highlightedLabel = -1;
    const int index = m_topRow + label;
    if (label >= 0 && label < m_visibleRows && index < m_count) {
        m_highlightedLabel = label;
        m_selectedRow = index;
        loadCurrentRow();
        return PressResult::Selected;
    }
    m_selectedRow = -1;
    clearCurrentRow();
    return PressResult::Deselected;
}

void RowStore::selectRow(int index)
{
    if (index < 0 || index >= m_count) {
        m_selectedRow = -1;
        clearCurrentRow();
        refresh();
        return;
    }
    m_selectedRow = index;
    if (index < m_topRow)
        m_topRow = index;
    else if (index > m_topRow + lastLabel())
        m_topRow = index - lastLabel();
    loadCurrentRow();
    refresh();
}

std::string RowStore::buildRow(const RowCommand &command, int insertionPoint) const
{
    const ParameterPositions positions = m_library.GetPosizioneParametri(command.functionCode);
    const DefaultTexts defaults = m_library.GetDefault(command.functionCode);
    std::string text = RowText::buildNew(command.name, command.functionCode, command.entryIndex,
                                         positions, defaults, m_settings.intervalMarkerDash);
    const int above = std::clamp(insertionPoint, 0, m_count);
    const std::vector<std::string> rowsAbove(m_rows.begin(), m_rows.begin() + above);
    if (RowText::wantsLeftSideMark(m_settings.setupOptions, command.entryIndex, rowsAbove))
        RowText::addLeftSideMark(text, positions);
    return text;
}

RowStore::EditResult RowStore::insertCommand(const RowCommand &command)
{
    if (m_count >= kMaxRows || m_selectedRow == 0)
        return EditResult::Refused;

    const bool append = m_selectedRow < 0 || m_highlightedLabel < 0 || m_selectedRow >= m_count;
    const int at = append ? m_count : m_selectedRow;
    std::string text = buildRow(command, at);

    if (append) {
        m_rows[std::size_t(m_count)] = std::move(text);
        ++m_count;
        if (m_selectedRow >= 0) {
            // The selection is out of view: the new row goes to the end and
            // the list follows it there.
            m_selectedRow = -1;
            m_topRow = std::max(0, m_count - lastLabel());
        } else if (m_count - m_topRow > lastLabel()) {
            m_topRow = m_count - lastLabel();
        }
        clearCurrentRow();
    } else {
        for (int i = m_count; i > at; --i)
            m_rows[std::size_t(i)] = std::move(m_rows[std::size_t(i - 1)]);
        m_rows[std::size_t(at)] = std::move(text);
        ++m_count;
        ++m_selectedRow;
        if (m_highlightedLabel == lastLabel())
            ++m_topRow;

        // A row inserted into a cycle of cycles joins it: directly above the
        // closing row, or between two marked rows of a block that a closing
        // row ends.
        const int below = at + 1;
        const int entry = entryOf(at);
        bool join = entryOf(below) == RowText::kCycleOfCyclesEndEntry;
        if (!join && at > 0 && below < m_count && isMarked(m_rows[std::size_t(at - 1)]) &&
            isMarked(m_rows[std::size_t(below)]) && entry != RowText::kDefinitionEntry &&
            entry != RowText::kCycleOfCyclesEndEntry) {
            int end = below;
            while (end < m_count && isMarked(m_rows[std::size_t(end)]))
                ++end;
            join = entryOf(end) == RowText::kCycleOfCyclesEndEntry;
        }
        if (join)
            setMarked(m_rows[std::size_t(at)], true);
        loadCurrentRow();
    }
    keepEmptySlotEmpty();
    refresh();
    return EditResult::Done;
}

RowStore::EditResult RowStore::deleteSelectedRow()
{
    if (m_count == 0 || m_highlightedLabel < 0 || m_selectedRow < 0 || m_selectedRow >= m_count)
        return EditResult::Refused;

    const int at = m_selectedRow;
    if (m_settings.setupMode == 2 && contains(toLowerAscii(m_rows[std::size_t(at)]), "sin")) {
        // A left-side definition may not go while the left-marked rows that
        // follow it (up to the next definition) still need it.
        for (int i = at + 1; i < m_count; ++i) {
            const std::string &text = m_rows[std::size_t(i)];
            if (contains(toLowerAscii(text), m_settings.definitionName))
                break;
            if (isSideCommandEntry(entryOf(i)) &&
                RowText::hasLeftSideMark(text, m_library.GetPosizioneParametri(RowText::functionCode(text))))
                return EditResult::LeftSideDependency;
        }
    }

    if (entryOf(at) == RowText::kCycleOfCyclesEndEntry) {
        for (int i = at - 1; i >= 0 && isMarked(m_rows[std::size_t(i)]); --i)
            setMarked(m_rows[std::size_t(i)], false);
    }

    for (int i = at; i < m_count; ++i)
        m_rows[std::size_t(i)] = std::move(m_rows[std::size_t(i + 1)]);
    --m_count;
    keepEmptySlotEmpty();

    if (at < m_count) {
        loadCurrentRow();
    } else {
        m_selectedRow = -1;
        clearCurrentRow();
    }
    refresh();
    return EditResult::Done;
}

bool RowStore::isMarked(std::string_view row)
{
    return RowText::at(row, RowText::kCycleOfCyclesMark) == 'C';
}

void RowStore::setMarked(std::string &row, bool marked)
{
    RowText::overlay(row, RowText::kCycleOfCyclesMark, RowText::kCycleOfCyclesMark, marked ? "C" : ".");
    RowText::overlay(row, RowText::kCycleOfCyclesDash, RowText::kCycleOfCyclesDash, marked ? "-" : " ");
}

void RowStore::loadCurrentRow()
{
    if (m_selectedRow < 0 || m_selectedRow >= m_count) {
        clearCurrentRow();
        return;
    }
    CurrentRow current;
    current.text = m_rows[std::size_t(m_selectedRow)];
    current.functionCode = RowText::functionCode(current.text);
    current.entryIndex = RowText::entryIndex(current.text);
    current.positions = m_library.GetPosizioneParametri(current.functionCode);
    current.p1Width = current.positions.p1Last - current.positions.p1First + 1;
    current.p2Width = current.positions.p2Last - current.positions.p2First + 1;
    current.nameEnd = RowText::nameEnd(current.text);
    m_current = std::move(current);
}

void RowStore::clearCurrentRow()
{
    m_current = CurrentRow();
}

int RowStore::entryOf(int index) const
{
    if (index < 0 || index >= m_count)
        return -1;
    return RowText::entryIndex(m_rows[std::size_t(index)]);
}

void RowStore::keepEmptySlotEmpty()
{
    if (m_count < kSlotCount)
        m_rows[std::size_t(m_count)].clear();
}

} // namespace kn4::editor
