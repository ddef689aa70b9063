#include "window/core/runningtotals.h"

#include "document/coursemap.h"
#include "document/languagetable.h"
#include "window/core/measures.h"
#include "window/core/rowstore.h"

#include <kn4/number.h>

#include <algorithm>
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

// A row written into the 3 or 4 columns of a computed field. A value that
// does not fit is held at the widest value the columns show, rather than
// cut to its first digits (1234 would read as 123).
void writeNumber(std::string &row, int field, std::int64_t value)
{
    const FieldSpan span = FieldTable::field(field);
    std::int64_t highest = 9;
    for (int i = 1; i < span.width(); ++i)
        highest = highest * 10 + 9;
    const std::int64_t lowest = -(highest / 10);
    RowText::overlayRight(row, span.first, span.last,
                          std::to_string(std::clamp(value, lowest, highest)));
}

void writeText(std::string &row, int field, std::string_view text)
{
    const FieldSpan span = FieldTable::field(field);
    RowText::overlayRight(row, span.first, span.last, text);
}

void writeMessage(std::string &row, std::string_view text)
{
    const FieldSpan span = FieldTable::field(kMessageField);
    RowText::overlay(row, span.first, span.last, text);
}

void blankField(std::string &row, int field)
{
    const FieldSpan span = FieldTable::field(field);
    RowText::overlay(row, span.first, span.last, "");
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
    m_outerRight.fill(0);
    m_outerLeft.fill(0);
    m_innerRight.fill(0);
    m_innerLeft.fill(0);
    m_zeroTimeCount.fill(0);
    m_zeroTimeHeld.fill(0);
    m_firstEvent.fill(-1);
    m_lastEvent.fill(-1);
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
    accumulate(settings);
    writeColumns(rows, count, settings);
    m_symmetric = settings.setupMode != PanelModel::kTwoSided || (settings.setupOptions & 2) != 0;
    markCrossings(rows, count);
}

void RunningTotals::readRows(const std::string *rows, int count)
{
    int side = 0;
    for (int r = 0; r < count; ++r) {
        const std::string &row = rows[r];
        RowInfo &info = m_rows[std::size_t(r)];
        info = RowInfo{};
        info.entry = RowText::entryIndex(row);
        info.code = RowText::functionCode(row);
        if (info.entry == RowText::kDefinitionEntry) {
            side = mentionsLeftSide(row) ? 1 : 0;
            continue;
        }
        info.side = side;
        info.interval = signedInterval(row);
        info.repetition = signedRepetition(row);
        info.member = info.repetition < 0;
        const ParameterPositions &positions = positionsOf(info.code);
        info.effect.p1 = parameterValue(row, info.entry, positions, true);
        info.effect.p2 = parameterValue(row, info.entry, positions, false);
        info.effect.lato = side;
        // The library answers from its tables alone: one question per row
        // serves both phases and every replay of the row.
        m_library.SimulaFunzione(info.code, info.effect);
    }
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
        }
        return;
    }
    const std::int64_t step = std::abs(std::int64_t(interval));
    std::int64_t pass = 0;
    for (; pass < count && m_counter < kStepLimit; ++pass) {
        if (interval < 0)
            m_counter += step;
        if (!courses && m_counter < kStepLimit)
            m_zeroTimeHeld[std::size_t(m_counter)] = 1;
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
    const Kn4Simulazione &e = m_rows[std::size_t(row)].effect;
    auto add = [count](std::int32_t &cell, std::int32_t change) {
        cell = clamp32(std::int64_t(cell) + count * change);
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

void RunningTotals::accumulate(const TotalsSettings &settings)
{
    const int n = m_programSteps;
    const std::array<int, 4> start{rounded(settings.costinaDx), rounded(settings.costinaSx),
                                   rounded(settings.scolloDx), rounded(settings.scolloSx)};
    m_outerRight[0] = clamp32(std::int64_t(m_outerRight[0]) + start[0]);
    m_outerLeft[0] = clamp32(std::int64_t(m_outerLeft[0]) + start[1]);
    m_innerRight[0] = clamp32(std::int64_t(m_innerRight[0]) + start[2]);
    m_innerLeft[0] = clamp32(std::int64_t(m_innerLeft[0]) + start[3]);
    for (int s = 1; s <= n; ++s) {
        const std::size_t i = std::size_t(s);
        m_outerRight[i] = clamp32(std::int64_t(m_outerRight[i]) + m_outerRight[i - 1]);
        m_outerLeft[i] = clamp32(std::int64_t(m_outerLeft[i]) + m_outerLeft[i - 1]);
        m_innerRight[i] = clamp32(std::int64_t(m_innerRight[i]) + m_innerRight[i - 1]);
        m_innerLeft[i] = clamp32(std::int64_t(m_innerLeft[i]) + m_innerLeft[i - 1]);
    }
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
    m_widestRight = *std::max_element(m_outerRight.begin(), m_outerRight.begin() + n + 1);
    m_widestLeft = *std::max_element(m_outerLeft.begin(), m_outerLeft.begin() + n + 1);
    if (settings.setupOptions & 2)
        m_widestLeft = m_widestRight;

    std::int64_t zeroTime = 2;
    for (int s = 0; s <= n && s < kStepLimit; ++s)
        zeroTime += m_zeroTimeCount[std::size_t(s)];
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
        blankField(row, kOuterField);
        blankField(row, kInnerField);
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
        if (s > n) {
            writeMessage(row, message(41));
            continue;
        }
        if (s >= kStepLimit) {
            writeMessage(row, message(37));
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
    for (int s = 0; s < m_programSteps; ++s) {
        if (!crossed(s))
            continue;
        if (m_crossedCourses++ == 0)
            m_firstCrossed = s;
    }
    if (m_crossedCourses == 0)
        return;

    // The rows that move an edge where the piece is crossed, strand by
    // strand.
    const CourseMap map = CourseMap::fromRowTexts(std::vector<std::string>(rows, rows + count));
    bool marked = false;
    for (int strand = 0; strand < map.strandCount(); ++strand) {
        const std::vector<int> &knits = map.strandRows(strand);
        const int steps = std::min(int(knits.size()), m_programSteps);
        for (int s = m_firstCrossed; s < steps; ++s) {
            const int r = knits[std::size_t(s)];
            if (r < 0 || r >= count || m_crossingRows[std::size_t(r)] || !crossed(s))
                continue;
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
        const std::string shown(trimBlanks(RowText::field(rows[r], kMessageField)));
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
