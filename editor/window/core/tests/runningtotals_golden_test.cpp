// The running totals of the sample panels, a few hard panels and the
// benchmark's full panel, with every set-up option, against
// golden/totals.txt: the computed columns of every row, the warning, the
// step counts, the crossing edges and the per-step tables must stay the same
// byte for byte when the replay is made faster. KN4_GOLDEN_UPDATE=1 rewrites
// the golden file.
#include "window/core/runningtotals.h"

#include "benchpanels.h"
#include "document/commandlist.h"
#include "document/languagetable.h"
#include "document/panelreader.h"
#include "document/tests/documenttesting.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

namespace {

using namespace kn4::editor;
namespace t = kn4::editor::testing;
namespace fs = std::filesystem;

const fs::path kGoldenDir = t::sourceDir() / "editor/window/core/tests/golden";

const CommandList &commands()
{
    static const auto load = CommandList::load(t::programDir() / "italiano", t::library());
    EXPECT_TRUE(load.list) << load.fatalMessage;
    return *load.list;
}

struct Hash
{
    std::uint64_t value = 0xcbf29ce484222325ull;
    void word(std::int64_t v)
    {
        value = (value ^ std::uint64_t(v)) * 0x100000001b3ull;
        value ^= value >> 29;
    }
    std::string str() const
    {
        char buffer[20];
        std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(value));
        return buffer;
    }
};

RunningTotals &freshTotals(std::unique_ptr<RunningTotals> &holder)
{
    holder = std::make_unique<RunningTotals>(t::library());
    holder->setMessageTexts(LanguageTable::CaricoLingua(t::programDir() / "italiano"));
    return *holder;
}

// The case's lines of the golden file, after `replays` replays of the rows
// by `totals`.
std::string describe(const std::string &name, std::vector<std::string> rows, const TotalsSettings &settings,
                     RunningTotals &totals, int replays = 1)
{
    for (int i = 0; i < replays; ++i)
        totals.recompute(rows.data(), int(rows.size()), settings);

    std::ostringstream out;
    out << "[" << name << " options " << settings.setupOptions << "]\n"
        << "warning " << totals.warningCode() << " steps " << totals.programSteps() << " total "
        << totals.totalSteps() << " widest " << totals.widestOuterRight() << "/" << totals.widestOuterLeft()
        << " increases " << totals.increaseCount() << " reference " << totals.referenceSteps() << " crossed "
        << totals.crossedCourses() << " first " << totals.firstCrossedStep() << "\n";
    for (std::size_t r = 0; r < rows.size(); ++r)
        out << rows[r] << (totals.crossesAt(int(r)) ? " X" : "") << "\n";

    Hash tables, marks, events, courses;
    for (int s = 0; s < RunningTotals::kStepSlots; ++s) {
        for (int side = 0; side < 2; ++side) {
            tables.word(totals.outer(side, s));
            tables.word(totals.inner(side, s));
        }
        marks.word(totals.zeroTimeCount(s));
        marks.word(totals.holdsZeroTime(s));
        marks.word(totals.crossed(s));
        marks.word(totals.firstEvent(s));
        courses.word(totals.courseOfCodeStep(s));
    }
    for (int e = 0; e < totals.eventCount(); ++e) {
        const RunningTotals::MessageEvent &event = totals.event(e);
        for (const int v : {event.step, event.side, event.inner, event.code, event.next})
            events.word(v);
    }
    out << "tables " << tables.str() << " marks " << marks.str() << " events " << totals.eventCount() << "/"
        << events.str() << " courses " << courses.str() << "\n";
    return out.str();
}

} // namespace

TEST(RunningTotalsGolden, ColumnsAndTablesStayTheSame)
{
    const PanelReader reader(commands(), t::library(), kn4::editor::paletteColourCodec(), 320, false);
    std::string actual;
    // Every case by a new replay for the golden file, and by one replay kept
    // from case to case, run twice on its own output as after every click:
    // what the replay keeps from the rows it read before must not show.
    std::unique_ptr<RunningTotals> fresh, kept;
    freshTotals(kept);
    auto describeBoth = [&](const std::string &name, const std::vector<std::string> &rows,
                            const TotalsSettings &settings) {
        const std::string once = describe(name, rows, settings, freshTotals(fresh));
        EXPECT_EQ(describe(name, rows, settings, *kept, 2), once);
        return once;
    };
    for (const char *name : {"DAVANTI.KN4", "DIETRO.KN4", "MANICA.KN4", "RIGHE.KN4", "TWOSIDED.KN4",
                             "TWOSTRANDS.KN4", "MISTO.KN4"}) {
        PanelModel panel;
        const auto read = reader.read(t::readFile(kGoldenDir / name), panel);
        ASSERT_EQ(read.outcome, PanelReader::Outcome::Read) << name << ": " << read.reason;
        for (const int options : {0, 1, 2, 3})
            actual += describeBoth(name, panel.rows, TotalsSettings::fromHeader(panel.header, options));
    }

    // The benchmark's panel, its edges apart (rib 300) and crossing (100).
    std::vector<std::string> rows;
    for (const std::string &line : kn4::bench::fullPanelRows())
        rows.push_back(reader.convertRow(line, nullptr).value_or(std::string()));
    for (const char *rib : {"300", "100"}) {
        TotalsSettings settings;
        settings.frontura = "320";
        settings.ingombroPettini = "30";
        settings.costinaDx = settings.costinaSx = rib;
        settings.scolloDx = settings.scolloSx = "1";
        actual += describeBoth(std::string("benchmark rib ") + rib, rows, settings);
    }

    const fs::path golden = kGoldenDir / "totals.txt";
    if (std::getenv("KN4_GOLDEN_UPDATE"))
        t::writeFile(golden, actual);
    const std::string expected = t::readFile(golden);
    if (actual != expected) {
        const fs::path written = fs::temp_directory_path() / "kn4_totals_golden.txt";
        t::writeFile(written, actual);
        std::istringstream a(actual), e(expected);
        std::string lineA, lineE;
        int line = 0;
        while (std::getline(a, lineA) && std::getline(e, lineE) && lineA == lineE)
            ++line;
        FAIL() << "line " << line + 1 << " differs:\n  expected: " << lineE << "\n  actual:   " << lineA
               << "\n(all of it in " << written << ")";
    }
}
