#include "document/coursemap.h"

#include "document/commandlist.h"
#include "document/panelmodel.h"
#include "document/panelreader.h"
#include "document/rowtext.h"
#include "kn4/filelookup.h"
#include "kn4/number.h"

#include <algorithm>
#include <cstdlib>

namespace kn4::editor {

namespace {

constexpr std::string_view kProgramLineStart = "; --- Inizio programma";
// The compiler reads a line in pieces of at most this many bytes, each
// with a line number of its own.
constexpr std::size_t kCompilerPiece = 79;
// What the writer keeps of a row: columns 0-26 (a definition's kind ends
// at 26; other rows end at 25 and take ";" at 27).
constexpr int kWrittenLast = 26;

std::vector<std::string_view> completeLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", pos);
        if (end == std::string_view::npos)
            break;
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

int compilerLines(std::string_view line)
{
    return line.empty() ? 1 : int((line.size() + kCompilerPiece - 1) / kCompilerPiece);
}

} // namespace

std::string CourseMap::displayText(std::string_view rowLine)
{
    rowLine = rowLine.substr(0, rowLine.find(';'));
    std::string text;
    std::size_t pos = 0;
    bool first = true;
    while (pos < rowLine.size()) {
        const std::size_t start = rowLine.find_first_not_of(" ,", pos);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = std::min(rowLine.find_first_of(" ,", start), rowLine.size());
        const std::string_view word = rowLine.substr(start, end - start);
        if (!text.empty())
            text += ' ';
        text += first ? toUpperAscii(word) : std::string(word);
        first = false;
        pos = end;
    }
    return text;
}

CourseMap CourseMap::fromRowTexts(const std::vector<std::string> &rows)
{
    CourseMap map;
    map.m_rows.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string &text = rows[i];
        Row row;
        row.entry = RowText::entryIndex(text);
        row.sourceLine = kFirstRowLine + int(i);
        row.text = displayText(RowText::columns(text, 0, kWrittenLast));
        map.m_rows.push_back(std::move(row));
        map.m_intervals.push_back(RowText::signedInterval(text));
        map.m_repetitions.push_back(RowText::signedRepetition(text));
    }
    map.unroll();
    return map;
}

CourseMap CourseMap::fromCounts(const std::vector<int> &entries, const std::vector<int> &intervals,
                                const std::vector<int> &repetitions)
{
    CourseMap map;
    const std::size_t count = std::min({entries.size(), intervals.size(), repetitions.size()});
    map.m_rows.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        map.m_rows[i].entry = entries[i];
        map.m_rows[i].sourceLine = kFirstRowLine + int(i);
    }
    map.m_intervals.assign(intervals.begin(), intervals.begin() + std::ptrdiff_t(count));
    map.m_repetitions.assign(repetitions.begin(), repetitions.begin() + std::ptrdiff_t(count));
    map.unroll();
    return map;
}

CourseMap CourseMap::fromPanelText(std::string_view fileText, std::string_view keywordText)
{
    CourseMap map;
    const std::optional<std::size_t> start = PanelReader::sourceStart(fileText);
    if (!start)
        return map;
    const std::vector<std::string> names = CommandList::displayNamesFromText(keywordText);
    auto entryOf = [&names](std::string_view line) {
        const std::size_t end = std::min({line.find(','), line.find(' '), line.size(),
                                          std::size_t(RowText::kCommandWidth)});
        const std::string_view name = line.substr(0, end);
        for (std::size_t i = 0; i < names.size(); ++i)
            if (!name.empty() && equalsIgnoringCase(names[i], name))
                return int(i);
        return -1;
    };

    int line = 0;  // the compiler's count: line 1 follows the marker line
    bool program = false;
    for (std::string_view raw : completeLines(fileText.substr(*start))) {
        const int number = line + 1;
        line += compilerLines(raw);
        if (!program) {
            program = raw.starts_with(kProgramLineStart);
            continue;
        }
        // Empty and all-blank lines hold no row, as the editor reads them.
        if (trimBlanks(raw).empty())
            continue;
        if (map.m_rows.size() >= std::size_t(PanelModel::kMaxRows))
            break;
        Row row;
        row.entry = entryOf(raw);
        row.sourceLine = number;
        row.text = displayText(raw);
        map.m_rows.push_back(std::move(row));
        map.m_intervals.push_back(RowText::signedInterval(raw));
        map.m_repetitions.push_back(RowText::signedRepetition(raw));
    }
    map.unroll();
    return map;
}

void CourseMap::unroll()
{
    const int count = int(m_rows.size());
    auto isDefinition = [this](int r) { return m_rows[std::size_t(r)].entry == RowText::kDefinitionEntry; };
    Strand *strand = nullptr;
    Strand beforeDefinitions;  // rows before the first definition run, but knit no strand of the piece
    long long counter = 0;
    int definitions = 0;
    auto endStrand = [&] {
        if (strand != nullptr && definitions == 1)
            m_programPart = strand->rowAtStep;
    };
    strand = &beforeDefinitions;

    int r = 0;
    while (r < count) {
        if (isDefinition(r)) {
            endStrand();
            ++definitions;
            m_strands.push_back(Strand{r, {}});
            strand = &m_strands.back();
            m_rows[std::size_t(r)].definition = r;
            counter = 0;
            ++r;
            continue;
        }
        // The block: rows with a negative repetition up to the first row
        // with a positive one, which closes it and counts its replays; a
        // block cut short by a definition row or the end runs once.
        int last = r;
        while (last < count && !isDefinition(last) && m_repetitions[std::size_t(last)] < 0)
            ++last;
        long long replays = 1;
        if (last < count && !isDefinition(last))
            replays = m_repetitions[std::size_t(last)];
        else
            --last;
        for (int i = r; i <= last; ++i)
            m_rows[std::size_t(i)].definition = strand->definition;
        for (long long replay = 0; replay < replays && counter < kStepLimit; ++replay) {
            const long long before = counter;
            for (int i = r; i <= last; ++i) {
                if (replay == 0)
                    m_rows[std::size_t(i)].startStep = int(std::min<long long>(counter, kStepLimit));
                runRow(*strand, i, counter);
            }
            if (counter == before)
                break;  // every replay acts at the same step
        }
        r = last + 1;
    }
    endStrand();
}

// One run of a row in its strand: the steps its passes cover take the row.
void CourseMap::runRow(Strand &strand, int row, long long &counter) const
{
    const int repetition = m_repetitions[std::size_t(row)];
    const long long passes = repetition > 0 ? 1 : std::llabs(repetition);
    const long long interval = std::llabs(m_intervals[std::size_t(row)]);
    if (interval == 0)
        return;
    const long long end = std::min<long long>(counter + passes * interval, kStepLimit);
    if (end > counter) {
        std::vector<int> &steps = strand.rowAtStep;
        if (steps.size() < std::size_t(end))
            steps.resize(std::size_t(end), -1);
        std::fill(steps.begin() + counter, steps.begin() + end, row);
    }
    counter = std::max(end, counter);
}

int CourseMap::rowAtStep(int step) const
{
    if (step < 0 || step >= int(m_programPart.size()))
        return -1;
    return m_programPart[std::size_t(step)];
}

std::vector<int> CourseMap::rowsAtStep(int step) const
{
    std::vector<int> rows;
    for (const Strand &strand : m_strands)
        if (step >= 0 && step < int(strand.rowAtStep.size()) && strand.rowAtStep[std::size_t(step)] >= 0)
            rows.push_back(strand.rowAtStep[std::size_t(step)]);
    return rows;
}

int CourseMap::rowOfSourceLine(int line) const
{
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].sourceLine == line)
            return int(i);
    return -1;
}

} // namespace kn4::editor
