#include "window/core/runningtotals.h"

#include "document/coursemap.h"
#include "document/languagetable.h"
#include "window/core/measures.h"
#include "window/core/rowstore.h"

#include <kn4/number.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace kn4::editor {

namespace {

constexpr int kTotalField = 4;
constexpr int kOuterField = 5;
constexpr int kInnerField = 6;
constexpr int kMessageField = 7;

constexpr std::int32_t clamp32(std::int64_t value)
{
    return std::int32_t(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}

// clamp32(a + b) without the 64-bit sum: a sum that overflows has the sign
// of b.
inline std::int32_t saturatedSum(std::int32_t a, std::int32_t b)
{
    std::int32_t sum;
    if (__builtin_add_overflow(a, b, &sum))
        return b < 0 ? std::numeric_limits<std::int32_t>::min() : std::numeric_limits<std::int32_t>::max();
    return sum;
}

// Where the running sum of change sizes stops growing: far above any 32-bit
// position, far below what a 64-bit sum can hold.
constexpr std::int64_t kMagnitudeCap = std::int64_t(1) << 40;

// The sum of a position and a change, saturated only when the totals may
// reach the edge of 32 bits (a plain sum is the same value when they
// cannot).
template <bool Saturate>
inline std::int32_t positionSum(std::int32_t change, std::int32_t position)
{
    if constexpr (Saturate)
        return saturatedSum(change, position);
    else
        return change + position;
}

// The columns the replay writes itself (fields 4 to 7); what it reads of a
// row lies outside them.
constexpr int kComputedFirst = FieldTable::field(kTotalField).first;
constexpr int kComputedLast = FieldTable::field(kMessageField).last;

// The replay writes every computed field of every row: these write the
// bytes RowText::overlay and overlayRight would, in place and without a
// string for each field.
[[gnu::always_inline]] inline char *fieldColumns(std::string &row, FieldSpan span)
{
    if (row.size() <= std::size_t(span.last))
        row.resize(std::size_t(span.last) + 1, ' ');
    return row.data() + span.first;
}

// Left-aligned, cut to the field, blanks after it. (The fields are a few
// columns wide: byte by byte beats a call of memcpy.)
[[gnu::always_inline]] inline void putLeft(std::string &row, FieldSpan span, std::string_view text)
{
    char *out = fieldColumns(row, span);
    const std::size_t width = std::size_t(span.width());
    const std::size_t used = std::min(width, text.size());
    for (std::size_t i = 0; i < used; ++i)
        out[i] = text[i];
    for (std::size_t i = used; i < width; ++i)
        out[i] = ' ';
}

// Right-aligned (its first columns when it is too wide), blanks before it.
[[gnu::always_inline]] inline void putRight(std::string &row, FieldSpan span, std::string_view text)
{
    char *out = fieldColumns(row, span);
    const std::size_t width = std::size_t(span.width());
    const std::size_t used = std::min(width, text.size());
    const std::size_t blanks = width - used;
    for (std::size_t i = 0; i < blanks; ++i)
        out[i] = ' ';
    for (std::size_t i = 0; i < used; ++i)
        out[blanks + i] = text[i];
}

// A row written into the 3 or 4 columns of a computed field. A value that
// does not fit is held at the widest value the columns show, rather than
// cut to its first digits (1234 would read as 123).
void writeNumber(std::string &row, int field, std::int64_t value)
{
    static constexpr std::int64_t kHighest[] = {0, 9, 99, 999, 9999, 99999, 999999};
    const FieldSpan span = FieldTable::field(field);
    const int width = std::clamp(span.width(), 1, 6);
    const std::int64_t highest = kHighest[width];
    value = std::clamp(value, -(highest / 10), highest);
    // The digits from the right, then the sign and the blanks: the value
    // held within the columns always fits them.
    char *out = fieldColumns(row, span);
    auto magnitude = std::uint32_t(value < 0 ? -value : value);
    int pos = width;
    do {
        out[--pos] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        out[--pos] = '-';
    while (pos > 0)
        out[--pos] = ' ';
}

void writeText(std::string &row, int field, std::string_view text)
{
    putRight(row, FieldTable::field(field), text);
}

void writeMessage(std::string &row, std::string_view text)
{
    putLeft(row, FieldTable::field(kMessageField), text);
}

void blankField(std::string &row, int field)
{
    putLeft(row, FieldTable::field(field), "");
}

// The message a row shows, without the blanks around it.
std::string_view messageShown(std::string_view row)
{
    const FieldSpan span = FieldTable::field(kMessageField);
    if (row.size() <= std::size_t(span.first))
        return {};
    return trimBlanks(row.substr(std::size_t(span.first), std::size_t(span.width())));
}

// Whether two rows read the same for the replay: the same outside the
// computed columns.
bool readsTheSame(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    if (a.size() <= std::size_t(kComputedLast))
        return a == b;
    return a.substr(0, kComputedFirst) == b.substr(0, kComputedFirst) &&
           a.substr(kComputedLast + 1) == b.substr(kComputedLast + 1);
}

// Whether the library's parameter columns of a command lie outside the
// computed columns (as they do for every command of the catalogue).
bool outsideComputed(int first, int last)
{
    return last < first || last < kComputedFirst || first > kComputedLast;
}

bool mentionsLeftSide(std::string_view row)
{
    return toLowerAscii(row).find("sin") != std::string::npos;
}

int rounded(std::string_view measure)
{
    return clamp32(std::llround(Measures::ParseMeasure(measure)));
}

} // namespace

TotalsSettings TotalsSettings::fromHeader(const PanelHeader &header, int setupOptions)
{
    TotalsSettings settings;
    settings.frontura = header.frontura;
    settings.ingombroPettini = header.ingombroPettini;
    settings.costinaDx = header.costinaDx;
    settings.costinaSx = header.costinaSx;
    settings.scolloDx = header.scolloDx;
    settings.scolloSx = header.scolloSx;
    settings.setupMode = kn4::leadingInteger(header.predisposizione);
    settings.setupOptions = setupOptions;
    return settings;
}

RunningTotals::RunningTotals(const CommandLibrary &library) : m_library(library)
{
    m_firstEvent.fill(-1);
    m_lastEvent.fill(-1);
    clearTables();
}

void RunningTotals::setMessageTexts(const LanguageTable &language)
{
    for (int line = LanguageTable::FirstRowMessage; line <= LanguageTable::LastRowMessage; ++line)
        setMessageText(line, language.text(line));
    setMessageText(LanguageTable::BordiIncrociati, language.text(LanguageTable::BordiIncrociati));
}

void RunningTotals::setMessageText(int line, std::string text)
{
    if (line >= LanguageTable::FirstRowMessage && line <= LanguageTable::LastRowMessage)
        m_messages[std::size_t(line - LanguageTable::FirstRowMessage)] = std::move(text);
    else if (line == LanguageTable::BordiIncrociati)
        m_crossingMessage = std::move(text);
}

const std::string &RunningTotals::message(int line) const
{
    return m_messages[std::size_t(line - LanguageTable::FirstRowMessage)];
}

bool RunningTotals::actsCourseByCourse(int entry)
{
    return entry == 2 || entry == 4 || entry == 5 || entry == 6 || entry == 9 || entry == 10 ||
           entry == 11 || (entry >= 22 && entry <= 29) || (entry >= 39 && entry <= 42);
}

int RunningTotals::signedInterval(std::string_view row)
{
    return RowText::signedInterval(row);
}

int RunningTotals::signedRepetition(std::string_view row)
{
    return RowText::signedRepetition(row);
}

const ParameterPositions &RunningTotals::positionsOf(std::int32_t code)
{
    static const ParameterPositions none;
    if (code < 0 || code >= std::int32_t(m_positions.size()))
        return none;
    const std::size_t i = std::size_t(code);
    if (!m_positionsKnown[i]) {
        m_positions[i] = m_library.GetPosizioneParametri(code);
        m_positionsKnown[i] = true;
    }
    return m_positions[i];
}

int RunningTotals::parameterValue(std::string_view row, int entry,
                                  const ParameterPositions &positions, bool first) const
{
    if (first) {
        if (!positions.hasP1())
            return 0;
        int from = positions.p1First;
        int to = positions.p1Last;
        // A left-side mark "s" takes P1's last column; the number stands one
        // column to the left.
        const bool sideCommand = entry == RowText::kNecklineEntry || entry == RowText::kReturnEntry ||
                                 entry == RowText::kDecreaseEntry || entry == RowText::kIncreaseEntry;
        if (sideCommand && from > 0 && RowText::hasLeftSideMark(row, positions)) {
            --from;
            --to;
        }
        return kn4::leadingInteger(RowText::columns(row, from, to));
    }
    if (!positions.hasP2())
        return 0;
    return kn4::leadingInteger(RowText::columns(row, positions.p2First, positions.p2Last));
}

void RunningTotals::clearTables()
{
    // Only what the last replay wrote: a short program leaves most of the
    // tables as they were cleared.
    const auto used = std::ptrdiff_t(m_stepsUsed);
    std::fill_n(m_outerRight.begin(), used, 0);
    std::fill_n(m_outerLeft.begin(), used, 0);
    std::fill_n(m_innerRight.begin(), used, 0);
    std::fill_n(m_innerLeft.begin(), used, 0);
    std::fill_n(m_zeroTimeCount.begin(), std::ptrdiff_t(m_zeroTimeUsed), 0);
    std::fill_n(m_zeroTimeHeld.begin(), std::ptrdiff_t(m_zeroTimeUsed), 0);
    for (int i = 0; i < m_eventCount; ++i) {
        const std::size_t step = std::size_t(m_events[std::size_t(i)].step);
        m_firstEvent[step] = -1;
        m_lastEvent[step] = -1;
    }
    m_stepsUsed = 0;
    m_changeMagnitude = 0;
    m_changedSteps.fill(0);
    m_zeroTimeUsed = 0;
    m_eventCount = 0;
    m_counter = 0;
    m_side = 0;
    m_warning = NoWarning;
    m_programSteps = 0;
    m_totalSteps = 0;
    m_widestRight = 0;
    m_widestLeft = 0;
    m_increases = 0;
    m_referenceSteps = -1;
    m_crossedCourses = 0;
    m_firstCrossed = -1;
    m_crossingRows.fill(false);
}

void RunningTotals::recompute(RowStore &store, const TotalsSettings &settings)
{
    const int count = std::min(store.rowCount(), kMaxRows);
    // The working copies keep their capacity from one replay to the next.
    auto &texts = m_texts;
    for (int r = 0; r < count; ++r)
        texts[std::size_t(r)] = store.row(r);
    recompute(texts.data(), count, settings);
    for (int r = 0; r < count; ++r)
        if (texts[std::size_t(r)] != store.row(r))
            store.setRow(r, texts[std::size_t(r)]);
}

void RunningTotals::recompute(std::string *rows, int count, const TotalsSettings &settings)
{
    count = std::clamp(count, 0, kMaxRows);
    clearTables();
    m_rowCount = count;
    readRows(rows, count);
    unroll(count);
    for (int r = 0; r < count; ++r) {
        const RowInfo &info = m_rows[std::size_t(r)];
        if (info.entry == RowText::kDefinitionEntry)
            continue;
        if (info.replayed)
            writeNumber(rows[r], kTotalField, std::min(info.startStep, kStepLimit));
        else
            writeText(rows[r], kTotalField, "v");
    }
    m_symmetric = settings.setupMode != PanelModel::kTwoSided || (settings.setupOptions & 2) != 0;
    accumulate(settings);
    writeColumns(rows, count, settings);
    markCrossings(rows, count);
}

void RunningTotals::readRows(const std::string *rows, int count)
{
    int side = 0;
    for (int r = 0; r < count; ++r) {
        const std::string &row = rows[r];
        RowInfo &info = m_rows[std::size_t(r)];
        info = RowInfo{};
        // A row that reads as it did at the last replay, on the same side,
        // does what it did then: after a click only the row clicked is read
        // again. A definition row reads its side from all its text.
        ReadRow &read = m_read[std::size_t(r)];
        const bool known = read.side == side && (read.entry == RowText::kDefinitionEntry
                                                      ? row == read.text
                                                      : readsTheSame(row, read.text));
        if (!known)
            readRow(row, side, read);
        info.entry = read.entry;
        info.code = read.code;
        if (info.entry == RowText::kDefinitionEntry) {
            side = read.leftSide ? 1 : 0;
            continue;
        }
        info.side = side;
        info.interval = read.interval;
        info.repetition = read.repetition;
        info.member = info.repetition < 0;
        info.effect = read.effect;
    }
}

void RunningTotals::readRow(const std::string &row, int side, ReadRow &read)
{
    read = ReadRow{};
    read.text = row;
    read.side = side;
    read.entry = RowText::entryIndex(row);
    read.code = RowText::functionCode(row);
    if (read.entry == RowText::kDefinitionEntry) {
        read.leftSide = mentionsLeftSide(row);
        return;
    }
    read.interval = signedInterval(row);
    read.repetition = signedRepetition(row);
    const ParameterPositions &positions = positionsOf(read.code);
    read.effect.p1 = parameterValue(row, read.entry, positions, true);
    read.effect.p2 = parameterValue(row, read.entry, positions, false);
    read.effect.lato = side;
    // The library answers from its tables alone: one question per row
    // serves both phases and every replay of the row.
    m_library.SimulaFunzione(read.code, read.effect);
    // Parameters the library placed among the computed columns (none of
    // the catalogue's) would change with them: such a row is read anew.
    if (!outsideComputed(std::max(0, positions.p1First - 1), positions.p1Last) ||
        !outsideComputed(positions.p2First, positions.p2Last))
        read.side = -1;
}

std::int64_t RunningTotals::passes(int row) const
{
    const int repetition = m_rows[std::size_t(row)].repetition;
    return repetition > 0 ? 1 : std::abs(std::int64_t(repetition));
}

void RunningTotals::unroll(int count)
{
    int sections = 0;
    auto endSection = [&] {
        if (sections == 1)
            m_programSteps = int(std::min<std::int64_t>(m_counter, kStepLimit));
    };
    int r = 0;
    while (r < count) {
        if (m_rows[std::size_t(r)].entry == RowText::kDefinitionEntry) {
            endSection();
            ++sections;
            m_counter = 0;
            ++r;
            continue;
        }
        // The block: rows with a negative repetition up to the first row
        // with a positive one, which closes it and counts its replays. A
        // block cut short by a definition row or the end runs once.
        int last = r;
        while (last < count && m_rows[std::size_t(last)].entry != RowText::kDefinitionEntry &&
               m_rows[std::size_t(last)].member)
            ++last;
        std::int64_t replays = 1;
        if (last < count && m_rows[std::size_t(last)].entry != RowText::kDefinitionEntry)
            replays = m_rows[std::size_t(last)].repetition;
        else
            --last;
        if (replays >= 1)
            replayBlock(r, last, replays);
        r = last + 1;
    }
    endSection();
}

void RunningTotals::replayBlock(int first, int last, std::int64_t replays)
{
    std::int64_t advance = 0;  // steps one replay of the block moves on
    for (int r = first; r <= last; ++r) {
        RowInfo &info = m_rows[std::size_t(r)];
        info.replayed = true;
        info.firstRun = first == last ? passes(r) * replays : passes(r);
        advance += passes(r) * std::abs(std::int64_t(info.interval));
    }
    for (int r = first; r <= last; ++r)
        replayRow(r, 1, true);
    std::int64_t remaining = replays - 1;
    if (remaining <= 0)
        return;
    if (advance == 0) {
        // Every replay acts at the same step: all of them at once.
        for (int r = first; r <= last; ++r)
            replayRow(r, remaining, false);
        return;
    }
    while (remaining > 0 && m_counter < kStepLimit) {
        for (int r = first; r <= last; ++r)
            replayRow(r, 1, false);
        --remaining;
    }
    // Past the limit nothing is applied any more; only the count runs on.
    m_counter += remaining * advance;
    for (int r = first; r <= last; ++r)
        if (m_rows[std::size_t(r)].entry == RowText::kIncreaseEntry)
            m_increases += remaining * passes(r);
}

void RunningTotals::replayRow(int row, std::int64_t weight, bool first)
{
    RowInfo &info = m_rows[std::size_t(row)];
    if (first) {
        info.startStep = int(std::min<std::int64_t>(m_counter, kStepLimit));
        if (info.interval == 0 && m_counter < kStepLimit) {
            const std::size_t s = std::size_t(m_counter);
            info.outerBefore = info.side ? m_outerLeft[s] : m_outerRight[s];
            info.innerBefore = info.side ? m_innerLeft[s] : m_innerRight[s];
        }
    }
    m_side = info.side;
    const std::int64_t count = passes(row);
    const int interval = info.interval;
    const bool courses = actsCourseByCourse(info.entry);
    if (info.entry == RowText::kIncreaseEntry)
        m_increases += count * weight;

    if (interval == 0) {
        // Every pass acts at the same step.
        apply(row, m_counter, count * weight);
        if (!courses && m_counter < kStepLimit) {
            std::int32_t &zero = m_zeroTimeCount[std::size_t(m_counter)];
            zero = clamp32(std::int64_t(zero) + count * weight);
            m_zeroTimeUsed = std::max(m_zeroTimeUsed, int(m_counter) + 1);
            markChanged(std::size_t(m_counter));
        }
        return;
    }
    const std::int64_t step = std::abs(std::int64_t(interval));
    std::int64_t pass = 0;
    for (; pass < count && m_counter < kStepLimit; ++pass) {
        if (interval < 0)
            m_counter += step;
        if (!courses && m_counter < kStepLimit) {
            m_zeroTimeHeld[std::size_t(m_counter)] = 1;
            m_zeroTimeUsed = std::max(m_zeroTimeUsed, int(m_counter) + 1);
        }
        apply(row, m_counter, 1);
        if (interval > 0)
            m_counter += step;
    }
    m_counter += (count - pass) * step;
}

void RunningTotals::apply(int row, std::int64_t step, std::int64_t count)
{
    if (step >= kStepLimit || count <= 0)
        return;
    const std::size_t s = std::size_t(step);
    m_stepsUsed = std::max(m_stepsUsed, int(step) + 1);
    markChanged(s);
    const Kn4Simulazione &e = m_rows[std::size_t(row)].effect;
    auto add = [this, count](std::int32_t &cell, std::int32_t change) {
        const std::int64_t amount = count * change;
        cell = clamp32(std::int64_t(cell) + amount);
        m_changeMagnitude = std::min(m_changeMagnitude + std::abs(amount), kMagnitudeCap);
    };
    add(m_outerRight[s], e.bordoDx);
    add(m_outerLeft[s], e.bordoSx);
    add(m_innerRight[s], e.scolloDx);
    add(m_innerLeft[s], e.scolloSx);
    if (e.segno > 0 && m_eventCount < kMaxEvents) {
        const int index = m_eventCount++;
        m_events[std::size_t(index)] = MessageEvent{int(step), m_side, 0, e.segno, -1};
        if (m_lastEvent[s] < 0)
            m_firstEvent[s] = index;
        else
            m_events[std::size_t(m_lastEvent[s])].next = index;
        m_lastEvent[s] = index;
    }
}

template <bool Saturate>
std::int64_t RunningTotals::sumPositions(int n)
{
    std::int32_t outerRight = m_outerRight[0];
    std::int32_t outerLeft = m_outerLeft[0];
    std::int32_t innerRight = m_innerRight[0];
    std::int32_t innerLeft = m_innerLeft[0];
    std::int32_t widestRight = outerRight;
    std::int32_t widestLeft = outerLeft;
    std::int64_t zeroTime = 2;
    if (n < kStepLimit)
        zeroTime += m_zeroTimeCount[0];
    const bool symmetric = m_symmetric;
    int crossedCourses = 0;
    // Crossed as crossed() tells it: the strands of markCrossings look the
    // steps up again.
    auto markCrossed = [&](std::size_t i) {
        const std::int64_t right = outerRight;
        const std::int64_t left = symmetric ? right : outerLeft;
        const bool crossing = right + left < 1 || innerRight > right || (!symmetric && innerLeft > left);
        m_crossedAt[i] = crossing;
        crossedCourses += crossing;
    };
    if (n > 0)
        markCrossed(0);
    for (int s = 1; s <= n; ++s) {
        const std::size_t i = std::size_t(s);
        outerRight = m_outerRight[i] = positionSum<Saturate>(m_outerRight[i], outerRight);
        outerLeft = m_outerLeft[i] = positionSum<Saturate>(m_outerLeft[i], outerLeft);
        innerRight = m_innerRight[i] = positionSum<Saturate>(m_innerRight[i], innerRight);
        innerLeft = m_innerLeft[i] = positionSum<Saturate>(m_innerLeft[i], innerLeft);
        widestRight = std::max(widestRight, outerRight);
        widestLeft = std::max(widestLeft, outerLeft);
        zeroTime += m_zeroTimeCount[i];
        if (s < n)
            markCrossed(i);
    }
    m_widestRight = widestRight;
    m_widestLeft = widestLeft;
    m_crossedCourses = crossedCourses;
    m_firstCrossed = -1;
    if (crossedCourses > 0) {
        const std::uint8_t *crossedAt = m_crossedAt.data();
        m_firstCrossed = int(std::find(crossedAt, crossedAt + n, 1) - crossedAt);
    }
    return zeroTime;
}

// The same sums where no position can overflow, run by run: between two
// steps with changes every position stays as it was, so those steps are
// filled at once (most steps of a panel only knit).
std::int64_t RunningTotals::sumPositionsByRuns(int n)
{
    std::int32_t outerRight = m_outerRight[0];
    std::int32_t outerLeft = m_outerLeft[0];
    std::int32_t innerRight = m_innerRight[0];
    std::int32_t innerLeft = m_innerLeft[0];
    std::int32_t widestRight = outerRight;
    std::int32_t widestLeft = outerLeft;
    std::int64_t zeroTime = 2;
    if (n < kStepLimit)
        zeroTime += m_zeroTimeCount[0];
    const bool symmetric = m_symmetric;
    int crossedCourses = 0;
    auto crossedNow = [&] {
        const std::int64_t right = outerRight;
        const std::int64_t left = symmetric ? right : outerLeft;
        return right + left < 1 || innerRight > right || (!symmetric && innerLeft > left);
    };
    // Steps from..to-1 hold the positions reached; the crossed steps among
    // them are those before n.
    auto fill = [&](int from, int to) {
        if (to <= from)
            return;
        std::fill(m_outerRight.begin() + from, m_outerRight.begin() + to, outerRight);
        std::fill(m_outerLeft.begin() + from, m_outerLeft.begin() + to, outerLeft);
        std::fill(m_innerRight.begin() + from, m_innerRight.begin() + to, innerRight);
        std::fill(m_innerLeft.begin() + from, m_innerLeft.begin() + to, innerLeft);
        const int crossedTo = std::min(to, n);
        if (crossedTo > from) {
            const bool crossing = crossedNow();
            std::fill(m_crossedAt.begin() + from, m_crossedAt.begin() + crossedTo, std::uint8_t(crossing));
            crossedCourses += crossing ? crossedTo - from : 0;
        }
    };
    if (n > 0) {
        const bool crossing = crossedNow();
        m_crossedAt[0] = crossing;
        crossedCourses += crossing;
    }
    int next = 1;  // the first step not summed yet
    const std::size_t words = std::size_t(n) / 64 + 1;
    for (std::size_t w = 0; w < words; ++w) {
        for (std::uint64_t bits = m_changedSteps[w]; bits != 0; bits &= bits - 1) {
            const int s = int(w * 64) + std::countr_zero(bits);
            if (s == 0)
                continue;
            if (s > n)
                break;
            fill(next, s);
            const std::size_t i = std::size_t(s);
            outerRight = m_outerRight[i] += outerRight;
            outerLeft = m_outerLeft[i] += outerLeft;
            innerRight = m_innerRight[i] += innerRight;
            innerLeft = m_innerLeft[i] += innerLeft;
            widestRight = std::max(widestRight, outerRight);
            widestLeft = std::max(widestLeft, outerLeft);
            zeroTime += m_zeroTimeCount[i];
            if (s < n) {
                const bool crossing = crossedNow();
                m_crossedAt[i] = crossing;
                crossedCourses += crossing;
            }
            next = s + 1;
        }
    }
    fill(next, n + 1);
    m_widestRight = widestRight;
    m_widestLeft = widestLeft;
    m_crossedCourses = crossedCourses;
    m_firstCrossed = -1;
    if (crossedCourses > 0) {
        const std::uint8_t *crossedAt = m_crossedAt.data();
        m_firstCrossed = int(std::find(crossedAt, crossedAt + n, 1) - crossedAt);
    }
    return zeroTime;
}

void RunningTotals::accumulate(const TotalsSettings &settings)
{
    const int n = m_programSteps;
    m_stepsUsed = std::max(m_stepsUsed, n + 1);
    const std::array<int, 4> start{rounded(settings.costinaDx), rounded(settings.costinaSx),
                                   rounded(settings.scolloDx), rounded(settings.scolloSx)};
    m_outerRight[0] = clamp32(std::int64_t(m_outerRight[0]) + start[0]);
    m_outerLeft[0] = clamp32(std::int64_t(m_outerLeft[0]) + start[1]);
    m_innerRight[0] = clamp32(std::int64_t(m_innerRight[0]) + start[2]);
    m_innerLeft[0] = clamp32(std::int64_t(m_innerLeft[0]) + start[3]);
    // One pass over the steps: the positions, the widest outer carriages,
    // the zero-time commands and the steps where the piece is crossed.
    const std::int64_t largestStart =
        std::max({std::abs(std::int64_t(m_outerRight[0])), std::abs(std::int64_t(m_outerLeft[0])),
                  std::abs(std::int64_t(m_innerRight[0])), std::abs(std::int64_t(m_innerLeft[0]))});
    const bool saturate = largestStart + m_changeMagnitude > std::numeric_limits<std::int32_t>::max();
    const std::int64_t zeroTime = saturate ? sumPositions<true>(n) : sumPositionsByRuns(n);
    // Zero-interval rows: add the carriages as they stood before the step.
    for (int r = 0; r < m_rowCount; ++r) {
        RowInfo &info = m_rows[std::size_t(r)];
        if (!info.replayed || info.interval != 0 || info.startStep > n || info.startStep >= kStepLimit)
            continue;
        const int s = info.startStep;
        if (s == 0) {
            info.outerBefore += start[std::size_t(info.side)];
            info.innerBefore += start[std::size_t(2 + info.side)];
        } else {
            info.outerBefore += outer(info.side, s - 1);
            info.innerBefore += inner(info.side, s - 1);
        }
    }
    if (settings.setupOptions & 2)
        m_widestLeft = m_widestRight;
    m_totalSteps = n >= kStepLimit ? kStepLimit : n + zeroTime;

    for (int i = 0; i < m_eventCount; ++i) {
        MessageEvent &event = m_events[std::size_t(i)];
        if (event.step <= n)
            event.inner = event.side ? m_innerLeft[std::size_t(event.step)]
                                     : m_innerRight[std::size_t(event.step)];
    }
}

void RunningTotals::writeColumns(std::string *rows, int count, const TotalsSettings &settings)
{
    const int n = m_programSteps;
    const int needleBed = kn4::leadingInteger(settings.frontura);
    const int clearance = kn4::leadingInteger(settings.ingombroPettini);
    const bool leftFlag = settings.setupMode != PanelModel::kTwoSided || (settings.setupOptions & 1);
    std::int64_t courses = 0;         // the course sum of rows not replayed
    std::int64_t idleOuter = 0;
    std::int64_t idleInner = 0;
    int comb = 0;
    int side = 0;
    bool lateDefinition = false;

    for (int r = 0; r < count; ++r) {
        std::string &row = rows[r];
        const RowInfo &info = m_rows[std::size_t(r)];
        if (info.entry == RowText::kDefinitionEntry) {
            writeText(row, kTotalField, "0");
            comb = 0;
            side = mentionsLeftSide(row) ? 1 : 0;
            writeNumber(row, kOuterField,
                        kn4::leadingInteger(side ? settings.costinaSx : settings.costinaDx));
            writeNumber(row, kInnerField,
                        kn4::leadingInteger(side ? settings.scolloSx : settings.scolloDx));
            if (r > 2)
                lateDefinition = true;
            continue;
        }
        // Fields 5 and 6 are written below, or blanked where nothing is.
        blankField(row, kMessageField);

        const std::int32_t outerChange = side ? info.effect.bordoSx : info.effect.bordoDx;
        const std::int32_t innerChange = side ? info.effect.scolloSx : info.effect.scolloDx;

        if (!info.replayed) {
            const std::int64_t repetition = std::abs(std::int64_t(info.repetition));
            courses += std::abs(std::int64_t(info.interval)) * repetition;
            idleOuter += repetition * outerChange;
            idleInner += repetition * innerChange;
            writeNumber(row, kTotalField, courses);
            writeNumber(row, kOuterField, idleOuter);
            writeNumber(row, kInnerField, idleInner);
            writeMessage(row, message(42));
            applyMessageCode(row, info.effect.segno, comb, leftFlag);
            continue;
        }
        const int s = info.startStep;
        if (s > n || s >= kStepLimit) {
            blankField(row, kOuterField);
            blankField(row, kInnerField);
            writeMessage(row, message(s > n ? 41 : 37));
            continue;
        }
        if (info.entry == 10 && !lateDefinition)
            m_referenceSteps = s;

        std::int64_t outer = side ? m_outerLeft[std::size_t(s)] : m_outerRight[std::size_t(s)];
        std::int64_t inner = side ? m_innerLeft[std::size_t(s)] : m_innerRight[std::size_t(s)];
        if (info.interval == 0) {
            // A zero-time row does not move the step on: the step's position
            // already holds its change. Shown instead is the position right
            // after the row ran: the carriages before its step, the changes
            // of the rows before it at the same step, and its own.
            outer = info.outerBefore + info.firstRun * outerChange;
            inner = info.innerBefore + info.firstRun * innerChange;
        }
        writeNumber(row, kOuterField, outer);
        writeNumber(row, kInnerField, inner);

        const int combBit = side ? 2 : 1;
        if (needleBed < outer) {
            writeMessage(row, message(38));
            m_warning = OuterBeyondNeedleBed;
        } else if (inner < 1) {
            writeMessage(row, message(39));
            m_warning = InnerAtZero;
        } else if (comb & combBit) {
            if (outer - inner >= clearance) {
                writeMessage(row, message(40));
                m_warning = OuterAgainstInner;
            } else {
                writeMessage(row, message(44));
            }
        }

        applyMessageCode(row, info.effect.segno, comb, leftFlag);
    }
}

// The row's mark: a comb command sets the comb state, a neckline command
// writes its message unless the comb covers its side. Rows that are not
// replayed ("v") take this step too; only the carriage checks need a step.
void RunningTotals::applyMessageCode(std::string &row, int code, int &comb, bool leftFlag) const
{
    if (code >= 40 && code <= 43) {
        comb = code == 43 ? 0 : code - 39;
    } else if (code == 30) {
        if (leftFlag ? comb == 0 : !(comb & 1))
            writeMessage(row, message(43));
    } else if (code == 31) {
        if (!(comb & 2))
            writeMessage(row, message(43));
    } else if (code >= 32 && code <= 35) {
        if (comb == 0)
            writeMessage(row, message(43));
    }
}

bool RunningTotals::crossed(int step) const
{
    if (step < 0 || step >= m_programSteps)
        return false;
    const std::size_t s = std::size_t(step);
    const std::int64_t right = m_outerRight[s];
    const std::int64_t left = m_symmetric ? right : m_outerLeft[s];
    if (right + left < 1 || m_innerRight[s] > right)
        return true;
    return !m_symmetric && m_innerLeft[s] > left;
}

void RunningTotals::markCrossings(std::string *rows, int count)
{
    // The crossed steps were found with the positions (accumulate).
    if (m_crossedCourses == 0)
        return;

    // The rows that move an edge where the piece is crossed, strand by
    // strand, from the commands and counts the replay has read (the map is
    // made again only when they change: a click on a parameter keeps it).
    const std::size_t rowCount = std::size_t(count);
    bool sameCounts = m_mapEntries.size() == rowCount;
    m_mapEntries.resize(rowCount);
    m_mapIntervals.resize(rowCount);
    m_mapRepetitions.resize(rowCount);
    for (std::size_t r = 0; r < rowCount; ++r) {
        const RowInfo &info = m_rows[r];
        sameCounts = sameCounts && m_mapEntries[r] == info.entry && m_mapIntervals[r] == info.interval &&
                     m_mapRepetitions[r] == info.repetition;
        m_mapEntries[r] = info.entry;
        m_mapIntervals[r] = info.interval;
        m_mapRepetitions[r] = info.repetition;
    }
    if (!sameCounts || !m_courseMap)
        m_courseMap = CourseMap::fromCounts(m_mapEntries, m_mapIntervals, m_mapRepetitions);
    const CourseMap &map = *m_courseMap;
    bool marked = false;
    for (int strand = 0; strand < map.strandCount(); ++strand) {
        const std::vector<int> &knits = map.strandRows(strand);
        const int steps = std::min(int(knits.size()), m_programSteps);
        int previous = -1;  // a row knits its courses one after the other
        for (int s = m_firstCrossed; s < steps; ++s) {
            const int r = knits[std::size_t(s)];
            if (r == previous || r < 0 || r >= count || m_crossingRows[std::size_t(r)] ||
                !m_crossedAt[std::size_t(s)])
                continue;
            previous = r;
            const RowInfo &info = m_rows[std::size_t(r)];
            const Kn4Simulazione &e = info.effect;
            const bool moves = info.side ? (e.bordoSx != 0 || e.scolloSx != 0)
                                         : (e.bordoDx != 0 || e.scolloDx != 0);
            if (moves) {
                m_crossingRows[std::size_t(r)] = true;
                marked = true;
            }
        }
    }
    if (!marked) {
        const int r = map.rowAtStep(m_firstCrossed);
        if (r >= 0 && r < count)
            m_crossingRows[std::size_t(r)] = true;
    }

    // A carriage message (or a row past the program) says more; the
    // neckline's comb notes give way.
    const std::array<const std::string *, 5> stronger{&message(37), &message(38), &message(39),
                                                      &message(40), &message(41)};
    for (int r = 0; r < count; ++r) {
        if (!m_crossingRows[std::size_t(r)])
            continue;
        const std::string_view shown = messageShown(rows[r]);
        const bool keep = std::any_of(stronger.begin(), stronger.end(), [&](const std::string *text) {
            return !text->empty() && shown == trimBlanks(*text);
        });
        if (!keep)
            writeMessage(rows[r], m_crossingMessage);
    }
}

int RunningTotals::courseOfCodeStep(int codeStep) const
{
    std::int64_t code = 0;  // the code's steps before course s
    for (int s = 0; s < m_programSteps; ++s) {
        code += zeroTimeCount(s) + (holdsZeroTime(s) ? 1 : 0) + 1;
        if (code >= codeStep)
            return s;
    }
    return std::max(0, m_programSteps - 1);
}

int RunningTotals::outer(int side, int step) const
{
    if (step < 0 || step >= kStepSlots)
        return 0;
    return side ? m_outerLeft[std::size_t(step)] : m_outerRight[std::size_t(step)];
}

int RunningTotals::inner(int side, int step) const
{
    if (step < 0 || step >= kStepSlots)
        return 0;
    return side ? m_innerLeft[std::size_t(step)] : m_innerRight[std::size_t(step)];
}

int RunningTotals::zeroTimeCount(int step) const
{
    return step >= 0 && step < kStepSlots ? m_zeroTimeCount[std::size_t(step)] : 0;
}

bool RunningTotals::holdsZeroTime(int step) const
{
    return step >= 0 && step < kStepSlots && m_zeroTimeHeld[std::size_t(step)] != 0;
}

int RunningTotals::firstEvent(int step) const
{
    return step >= 0 && step < kStepSlots ? m_firstEvent[std::size_t(step)] : -1;
}

} // namespace kn4::editor
