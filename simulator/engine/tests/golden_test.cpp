// The engine's results on the sample panels, an intarsia panel, the
// benchmark's longest code and a few hard code blocks, in several views and
// stripe modes, against golden/engine.txt: the final state, the stitch
// totals, the course records, the drawing primitives, the 713 x 713 PNG of
// kn4sim and what an observer sees must stay the same byte for byte when the
// engine is made faster.
//
// KN4_GOLDEN_UPDATE=1 rewrites the golden file; KN4_GOLDEN_DUMP=FOLDER writes
// the full records, primitives and observer calls of every case there, to
// compare two builds line by line.
#include "simulator/drawingraster.h"
#include "simulator/knitengine.h"
#include "simulator/panelhead.h"
#include "simulator/simulationsetup.h"

#include "benchpanels.h"
#include "kn4/testfiles.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace kn4;
namespace fs = std::filesystem;

namespace {

const fs::path kGoldenDir = fs::path(KN4_SOURCE_DIR) / "simulator/engine/tests/golden";

struct Hash
{
    std::uint64_t value = 0xcbf29ce484222325ull;
    std::uint64_t count = 0;

    void word(std::uint64_t v)
    {
        value = (value ^ v) * 0x100000001b3ull;
        value ^= value >> 29;
    }
    void number(double v) { word(std::bit_cast<std::uint64_t>(v)); }
    void text(const std::string &t)
    {
        for (const char c : t)
            word(std::uint8_t(c));
        ++count;
    }
    std::string str() const
    {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%llu/%016llx", static_cast<unsigned long long>(count),
                      static_cast<unsigned long long>(value));
        return buffer;
    }
};

std::string number(double v)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    return buffer;
}

void hashState(Hash &h, const KnitState &s)
{
    for (const std::int64_t v : {s.course, s.outer, s.inner, std::int64_t(s.currentColour),
                                 std::int64_t(s.currentCarrier), s.borderOffset, std::int64_t(s.innerMark),
                                 std::int64_t(s.outerMark), std::int64_t(s.firstShapingMark),
                                 std::int64_t(s.secondShapingMark)})
        h.word(std::uint64_t(v));
    for (const double v : {s.rightEdge, s.leftEdge, s.lastRightEdge, s.lastLeftEdge, s.currentLine})
        h.number(v);
}

// Every call an observer gets, with the state after it.
class RecordingObserver : public KnitObserver
{
public:
    void courseDrawn(const DrawCall &call, const KnitState &state) override
    {
        for (const std::int64_t v : {call.course, std::int64_t(call.kind), std::int64_t(call.innerMark),
                                     std::int64_t(call.outerMark), std::int64_t(call.rightEdgeMark),
                                     std::int64_t(call.leftEdgeMark)})
            m_hash.word(std::uint64_t(v));
        hashState(m_hash, state);
        ++m_hash.count;
        if (m_dump)
            *m_dump << "draw " << call.course << ' ' << call.kind << ' ' << call.innerMark << call.outerMark
                    << call.rightEdgeMark << call.leftEdgeMark << ' ' << state.course << ' ' << state.outer << ' '
                    << state.inner << ' ' << number(state.rightEdge) << ' ' << number(state.leftEdge) << ' '
                    << number(state.currentLine) << '\n';
    }
    void stepDecoded(const KnitStep &step, const KnitState &state) override
    {
        for (const std::int64_t v : {std::int64_t(step.offset), std::int64_t(step.byte), std::int64_t(step.code),
                                     std::int64_t(step.command), std::int64_t(step.courseFlag),
                                     std::int64_t(step.count)})
            m_hash.word(std::uint64_t(v));
        hashState(m_hash, state);
        ++m_hash.count;
        if (m_dump)
            *m_dump << "step " << step.offset << ' ' << int(step.byte) << ' ' << step.command << ' ' << step.count
                    << ' ' << state.course << '\n';
    }

    Hash m_hash;
    std::ostream *m_dump = nullptr;
};

struct Variant
{
    const char *name;
    int view;
    int stripeMode;
    int countStart;
    int scale;
    double baseY = DrawingView::kBaseY;
    double centreX = DrawingView::kCentreX;
};

constexpr Variant kVariants[] = {
    {"view0 stripe0 scale10", 0, 0, 0, 10},
    {"view1 stripe1 start1 scale4", 1, 1, 1, 4},
    {"view0 stripe2 scale2", 0, 2, 0, 2},
    {"view0 stripe0 scale2", 0, 0, 0, 2},  // the benchmark's
    // Panned: the first courses below the picture, the piece off to the left.
    {"view1 stripe0 scale10 panned", 1, 0, 0, 10, 9000.5, 300.25},
};

// One input: a compiled panel of the golden folder, or a code block with
// start values.
struct Input
{
    std::string name;
    std::string panelBytes;
    KnitStartValues values;
    std::string code;
};

void prepare(KnitEngine &engine, const Input &input, const Variant &variant)
{
    SimSettings settings;
    settings.stripeMode = std::uint8_t(variant.stripeMode);
    settings.countStart = std::uint8_t(variant.countStart);
    settings.scale = std::int16_t(variant.scale);
    if (!input.panelBytes.empty()) {
        PanelHead head = PanelHead::fromBytes(input.panelBytes, input.name);
        ASSERT_TRUE(head.ok()) << input.name;
        SimulationSetup::prepare(engine, head, settings);
    } else {
        SimulationSetup::applyStripeMode(settings);
        engine.settings() = settings;
        engine.setPanel(input.values, input.code);
        engine.drawingView().scale = variant.scale;
    }
    engine.drawingView().view = variant.view;
    engine.drawingView().baseY = variant.baseY;
    engine.drawingView().centreX = variant.centreX;
}

std::string primitiveText(const DrawPrimitive &p)
{
    std::ostringstream out;
    out << int(p.kind) << ' ' << p.filled << ' ' << p.x1 << ' ' << p.y1 << ' ' << p.x2 << ' ' << p.y2 << ' '
        << p.colour;
    return out.str();
}

// The case's lines of the golden file; the full listings go to dump.
std::string describe(const Input &input, const Variant &variant, std::ostream *dump)
{
    KnitEngine engine;
    prepare(engine, input, variant);
    engine.maglia();
    engine.maglia();  // a rerun keeps the course records of the first run

    std::ostringstream out;
    out << "[" << input.name << " " << variant.name << "]\n";
    const KnitState &s = engine.state();
    out << "state course=" << s.course << " outer=" << s.outer << " inner=" << s.inner
        << " right=" << number(s.rightEdge) << " left=" << number(s.leftEdge)
        << " lastRight=" << number(s.lastRightEdge) << " lastLeft=" << number(s.lastLeftEdge)
        << " line=" << number(s.currentLine) << " colour=" << s.currentColour << " carrier=" << s.currentCarrier
        << " border=" << s.borderOffset << " marks=" << s.innerMark << s.outerMark << s.firstShapingMark
        << s.secondShapingMark << "\n";
    const CarrierState &c = engine.carrierState();
    out << "carriers last=" << c.lastCourse << " current=" << c.current << " previous=" << c.previous << " sides=";
    for (const auto side : c.sides)
        out << int(side);
    out << "\nstitches";
    for (const StitchTotals &t : {engine.stitches(), engine.stitchesPerColour()}) {
        out << " " << number(t.total) << ":";
        for (const double carrier : t.carriers)
            out << " " << number(carrier);
    }
    out << " areas " << number(engine.intarsiaAreas().area2) << " " << number(engine.intarsiaAreas().area3)
        << "\nstripe errors";
    const auto errors = engine.stripeCheck();
    for (std::size_t i = 0; i < errors.size() && i < 12; ++i)
        out << " " << errors[i];
    out << (errors.size() > 12 ? " ... " : " ") << "(" << errors.size() << ")\n";

    Hash records;
    for (std::int64_t r = -1; r <= KnitEngine::kMaxCourseRecords + 1; ++r) {
        if (const CourseRecord *record = engine.record(r)) {
            records.text(std::to_string(r) + record->text());
            if (dump)
                *dump << "record " << r << record->text() << '\n';
        }
    }
    Hash drawing;
    for (const DrawPrimitive &p : engine.drawing()) {
        drawing.text(primitiveText(p));
        if (dump)
            *dump << "primitive " << primitiveText(p) << '\n';
    }
    DrawingRaster raster(713, 713);
    raster.paint(engine.drawing());
    Hash png;
    png.text(raster.png());
    out << "records " << records.str() << "\ndrawing " << drawing.str() << "\npng713 " << png.str() << "\n";

    // The same run followed by an observer, and without recording: the
    // values and the drawing must not depend on either.
    KnitEngine followed;
    prepare(followed, input, variant);
    RecordingObserver observer;
    observer.m_dump = dump;
    followed.setObserver(&observer);
    followed.maglia();
    EXPECT_EQ(followed.drawing(), engine.drawing()) << input.name << " " << variant.name;
    out << "observer " << observer.m_hash.str() << "\n";

    KnitEngine valuesOnly;
    prepare(valuesOnly, input, variant);
    valuesOnly.setRecording(false);
    valuesOnly.maglia();
    Hash a, b;
    hashState(a, engine.state());
    hashState(b, valuesOnly.state());
    EXPECT_EQ(a.value, b.value) << input.name << " " << variant.name;
    EXPECT_EQ(valuesOnly.stitches().total, engine.stitches().total) << input.name << " " << variant.name;
    EXPECT_EQ(valuesOnly.stripeCheck(), engine.stripeCheck()) << input.name << " " << variant.name;
    EXPECT_TRUE(valuesOnly.drawing().empty());
    return out.str();
}

std::vector<Input> inputs()
{
    std::vector<Input> list;
    for (const char *name : {"DAVANTI.KN4", "DIETRO.KN4", "MANICA.KN4", "RIGHE.KN4", "INTARSIA.KN4"})
        list.push_back({name, kn4::testing::readFile(kGoldenDir / name), {}, {}});

    // The benchmark's code with its start values, and with intarsia fields.
    KnitStartValues longest;
    longest.setup = 2;
    longest.ribRight = 120;
    longest.ribLeft = 120;
    longest.borderHeight = 6;
    longest.coursesPerCm = 4.5;
    longest.intarsiaR = {1, 3000, 2000, 9000, 9500, 400000};
    longest.intarsiaF = {-50, 10, 0, 60};
    list.push_back({"longest code", {}, longest, kn4::bench::longestCode()});

    // Every command byte, with and without the 0x40 flag, each followed by
    // a count byte, at start values that keep the piece on the picture.
    KnitStartValues near;
    near.setup = 0;
    near.ribRight = 40;
    near.ribLeft = 30;
    near.necklineRight = 5;
    near.necklineLeft = 7;
    near.borderHeight = 2;
    near.coursesPerCm = 3.5;
    near.intarsiaR = {1, 40, 20, 90};
    near.intarsiaF = {-20, 10, 5, 35};
    std::string every;
    for (int b = 128; b < 256; ++b)
        every += {char(b), char(b % 5)};
    list.push_back({"every code", {}, near, every});
    KnitStartValues symmetric = near;
    symmetric.setup = 1;
    list.push_back({"every code symmetric", {}, symmetric, every});
    return list;
}

} // namespace

TEST(EngineGolden, ResultsStayTheSame)
{
    std::unique_ptr<std::ofstream> dump;
    const char *dumpDir = std::getenv("KN4_GOLDEN_DUMP");
    std::string actual;
    for (const Input &input : inputs()) {
        for (const Variant &variant : kVariants) {
            if (dumpDir) {
                std::string file = input.name + " " + variant.name + ".txt";
                dump = std::make_unique<std::ofstream>(fs::path(dumpDir) / file);
            }
            actual += describe(input, variant, dump.get());
        }
    }
    const fs::path golden = kGoldenDir / "engine.txt";
    if (std::getenv("KN4_GOLDEN_UPDATE"))
        kn4::testing::writeFile(golden, actual);
    const std::string expected = kn4::testing::readFile(golden);
    if (actual != expected) {
        const fs::path written = fs::temp_directory_path() / "kn4_engine_golden.txt";
        kn4::testing::writeFile(written, actual);
        std::istringstream a(actual), e(expected);
        std::string lineA, lineE;
        int line = 0;
        while (std::getline(a, lineA) && std::getline(e, lineE) && lineA == lineE)
            ++line;
        FAIL() << "line " << line + 1 << " differs:\n  expected: " << lineE << "\n  actual:   " << lineA
               << "\n(all of it in " << written << ")";
    }
}
