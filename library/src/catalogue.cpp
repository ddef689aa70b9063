#include "catalogue.h"

#include "kn4/filelookup.h"
#include "kn4/number.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace kn4::compiler {

EditText::EditText(std::string_view text)
{
    m_length = std::min(text.size(), kTextSize - 1);
    std::copy_n(text.data(), m_length, m_bytes.data());
}

namespace {

using RuleRoutine = CatalogueEntry::RuleRoutine;
using PositionsRoutine = CatalogueEntry::PositionsRoutine;
using DefaultsRoutine = CatalogueEntry::DefaultsRoutine;
using SimulationRoutine = CatalogueEntry::SimulationRoutine;

// ---------------------------------------------------------------------------
// Number texts

// Wrapping values are written the way the editor shows a signed field: one
// leading blank when not negative (" 7"), the minus sign otherwise ("-7").
EditText signedText(std::int32_t value)
{
    char buffer[16] = {' '};
    char *begin = value < 0 ? buffer : buffer + 1;
    const auto end = std::to_chars(begin, buffer + sizeof buffer, value).ptr;
    return EditText({buffer, std::size_t(end - buffer)});
}

// Counting values (the cycle fields) are written plainly ("7").
EditText plainText(std::int32_t value)
{
    char buffer[16];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return EditText({buffer, std::size_t(end - buffer)});
}

std::int32_t saturate(std::int64_t value)
{
    return std::int32_t(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}

// ---------------------------------------------------------------------------
// Value rules. Each applies its formula to whatever number the text holds,
// also outside the range: only the far end wraps (or stops), so a value
// typed out of range walks back into it one step at a time. The comparisons
// come before the step, so no step can overflow even at the 32-bit ends.

EditText noChange(std::string_view)
{
    return {};
}

// lo..hi, wrapping: past hi comes lo and before lo comes hi.
template <std::int32_t Lo, std::int32_t Hi>
EditText wrapUp(std::string_view text)
{
    const std::int32_t v = leadingInteger(text);
    return signedText(v >= Hi ? Lo : v + 1);
}

template <std::int32_t Lo, std::int32_t Hi>
EditText wrapDown(std::string_view text)
{
    const std::int32_t v = leadingInteger(text);
    return signedText(v <= Lo ? Hi : v - 1);
}

// -N..-1 and 1..N, wrapping, with 0 skipped: a side parameter has no 0.
template <std::int32_t N>
EditText sideUp(std::string_view text)
{
    const std::int32_t v = leadingInteger(text);
    if (v >= N)
        return signedText(-N);
    return signedText(v == -1 ? 1 : v + 1);
}

template <std::int32_t N>
EditText sideDown(std::string_view text)
{
    const std::int32_t v = leadingInteger(text);
    if (v <= -N)
        return signedText(N);
    return signedText(v == 1 ? -1 : v - 1);
}

// lo..hi, counting: the cycle fields stop at their ends.
template <std::int32_t Lo, std::int32_t Hi>
EditText countUp(std::string_view text)
{
    const std::int32_t v = leadingInteger(text);
    return v < Hi ? plainText(v + 1) : EditText();
}

template <std::int32_t Lo, std::int32_t Hi>
EditText countDown(std::string_view text)
{
    const std::int32_t v = leadingInteger(text);
    return v > Lo ? plainText(v - 1) : EditText();
}

// The kinds of a definition, in the order a left click walks them.
constexpr std::array<std::string_view, 4> kKinds{"ALTRO", "LATO SINISTRO", "SCOLLO", "RIGATURA"};

// The next (step +1) or previous (step -1) kind; empty for a text that
// names no kind, "PROFILO ESTERNO" included, since the outer profile is
// derived by the classifier and never chosen by clicking.
EditText stepKind(std::string_view text, int step)
{
    const auto count = int(kKinds.size());
    for (int i = 0; i < count; ++i) {
        if (equalsIgnoringCase(text, kKinds[i]))
            return EditText(kKinds[(i + step + count) % count]);
    }
    return {};
}

EditText kindUp(std::string_view text)
{
    return stepKind(text, +1);
}

EditText kindDown(std::string_view text)
{
    return stepKind(text, -1);
}

struct RulePair
{
    RuleRoutine up;
    RuleRoutine down;
};

constexpr RulePair kNone{&noChange, &noChange};
constexpr RulePair k1to2{&wrapUp<1, 2>, &wrapDown<1, 2>};
constexpr RulePair k1to3{&wrapUp<1, 3>, &wrapDown<1, 3>};
constexpr RulePair k1to8{&wrapUp<1, 8>, &wrapDown<1, 8>};
constexpr RulePair k1to11{&wrapUp<1, 11>, &wrapDown<1, 11>};
constexpr RulePair k1to127{&wrapUp<1, 127>, &wrapDown<1, 127>};
constexpr RulePair k0to2{&wrapUp<0, 2>, &wrapDown<0, 2>};
constexpr RulePair kMinus4to4{&wrapUp<-4, 4>, &wrapDown<-4, 4>};
constexpr RulePair kMinus127to127{&wrapUp<-127, 127>, &wrapDown<-127, 127>};
constexpr RulePair kSide2{&sideUp<2>, &sideDown<2>};
constexpr RulePair kSide12{&sideUp<12>, &sideDown<12>};
constexpr RulePair kCount0to999{&countUp<0, 999>, &countDown<0, 999>};
constexpr RulePair kCount1to999{&countUp<1, 999>, &countDown<1, 999>};
constexpr RulePair kCount2to999{&countUp<2, 999>, &countDown<2, 999>};
constexpr RulePair kCount3to999{&countUp<3, 999>, &countDown<3, 999>};
constexpr RulePair kCount1to1999{&countUp<1, 1999>, &countDown<1, 1999>};
constexpr RulePair kKind{&kindUp, &kindDown};
constexpr RulePair kClassify{&classifyDefinition, &noChange};

// ---------------------------------------------------------------------------
// Position profiles: the columns of P1 and P2 in the row text.

template <std::int32_t P1First, std::int32_t P1Last, std::int32_t P2First, std::int32_t P2Last>
ParameterPositions positionsProfile()
{
    return {P1First, P1Last, P2First, P2Last};
}

constexpr PositionsRoutine kPosNone = &positionsProfile<-1, -1, -1, -1>;
constexpr PositionsRoutine kPosA = &positionsProfile<13, 14, -1, -1>;
constexpr PositionsRoutine kPosB = &positionsProfile<7, 8, 10, 13>;
constexpr PositionsRoutine kPosC = &positionsProfile<7, 8, 10, 12>;
constexpr PositionsRoutine kPosD = &positionsProfile<12, 30, 43, 62>;
constexpr PositionsRoutine kPosE = &positionsProfile<7, 8, 10, 11>;
constexpr PositionsRoutine kPosF = &positionsProfile<9, 10, 12, 13>;

// ---------------------------------------------------------------------------
// Default profiles: the texts of a new row.

DefaultTexts defaultsGeneric() { return {"", "", "1", "1"}; }
DefaultTexts defaultsDefinition() { return {"ALTRO", "--------------------", "0", "0"}; }
DefaultTexts defaultsSide() { return {" 1", "", "1", "1"}; }
DefaultTexts defaultsCalato() { return {" 2", "", "1", "1"}; }
DefaultTexts defaultsAumenta() { return {" 1", "", "2", "1"}; }
DefaultTexts defaultsPunz() { return {" 0", " 0", "1", "1"}; }
DefaultTexts defaultsRipeto() { return {"", "", "0", "1"}; }
DefaultTexts defaultsMPunz() { return {" 0", " 1", "1", "1"}; }
DefaultTexts defaultsPuntoM() { return {" 1", " 1", "1", "1"}; }
DefaultTexts defaultsCarOff() { return {" 0", " 10", "3", "1"}; }

constexpr DefaultsRoutine kDefG = &defaultsGeneric;
constexpr DefaultsRoutine kDefD = &defaultsDefinition;
constexpr DefaultsRoutine kDefS = &defaultsSide;
constexpr DefaultsRoutine kDefC = &defaultsCalato;
constexpr DefaultsRoutine kDefA = &defaultsAumenta;
constexpr DefaultsRoutine kDefP = &defaultsPunz;
constexpr DefaultsRoutine kDefR = &defaultsRipeto;
constexpr DefaultsRoutine kDefM = &defaultsMPunz;
constexpr DefaultsRoutine kDefT = &defaultsPuntoM;
constexpr DefaultsRoutine kDefO = &defaultsCarOff;

// ---------------------------------------------------------------------------
// Simulation effects. Side 0 is the right side (D), any other value the left
// (S). Values come from the row's text and may be anything, so negations and
// sums saturate at the 32-bit ends instead of overflowing.

bool rightSide(const Kn4Simulazione &r)
{
    return r.lato == 0;
}

void noEffect(Kn4Simulazione &) {}

void calatoEffect(Kn4Simulazione &r)
{
    const std::int32_t change = saturate(-std::int64_t(r.p1));
    if (rightSide(r)) {
        r.bordoDx = change;
        r.segno = 20;
    } else {
        r.bordoSx = change;
        r.segno = 21;
    }
}

void aumentaEffect(Kn4Simulazione &r)
{
    (rightSide(r) ? r.bordoDx : r.bordoSx) = 1;
}

void scolloEffect(Kn4Simulazione &r)
{
    if (rightSide(r)) {
        r.scolloDx = r.p1;
        r.segno = 30;
    } else {
        r.scolloSx = r.p1;
        r.segno = 31;
    }
}

void rientroEffect(Kn4Simulazione &r)
{
    (rightSide(r) ? r.scolloDx : r.scolloSx) = saturate(-std::int64_t(r.p1));
}

void rigatoEffect(Kn4Simulazione &r)
{
    r.segno = r.p1;
}

// The punch commands move the neckline edge of their own side by P1 + P2,
// whatever the carriage side.
void punzRightEffect(Kn4Simulazione &r)
{
    r.scolloDx = saturate(std::int64_t(r.p1) + r.p2);
    r.segno = 30;
}

void punzLeftEffect(Kn4Simulazione &r)
{
    r.scolloSx = saturate(std::int64_t(r.p1) + r.p2);
    r.segno = 31;
}

// Both outer edges change by the same number of needles.
template <std::int32_t Change, std::int32_t Mark>
void bothEdges(Kn4Simulazione &r)
{
    r.bordoDx = Change;
    r.bordoSx = Change;
    r.segno = Mark;
}

template <std::int32_t Mark>
void markOnly(Kn4Simulazione &r)
{
    r.segno = Mark;
}

// ---------------------------------------------------------------------------
// The catalogue

constexpr CatalogueEntry entry(std::string_view name, std::string_view family,
                               PositionsRoutine positions, DefaultsRoutine defaults, RulePair p1,
                               RulePair p2, RulePair intervallo, RulePair ripetizione,
                               SimulationRoutine simulation)
{
    return {name,          family,          positions,         defaults,
            p1.up,         p1.down,         p2.up,             p2.down,
            intervallo.up, intervallo.down, ripetizione.up,    ripetizione.down,
            simulation};
}

// The order is part of the interface: an entry's position is the index the
// editor stores and hands back. Synonyms stay separate entries.
constexpr std::array<CatalogueEntry, kCommandCount + 1> kCatalogue{{
    entry("LISCIO", "", kPosNone, kDefG, kNone, kNone, kCount1to1999, kNone, &noEffect),
    entry("CALATO", "", kPosA, kDefC, k1to2, kNone, kCount0to999, kCount1to999, &calatoEffect),
    entry("AUMENTAZIONE", "AUMENTA", kPosA, kDefA, kNone, kNone, kCount2to999, kCount1to999, &aumentaEffect),
    entry("AUMENTA", "AUMENTA", kPosA, kDefA, kNone, kNone, kCount2to999, kCount1to999, &aumentaEffect),
    entry("AUM_PUNZONI", "AUMENTA", kPosNone, kDefG, kNone, kNone, kCount0to999, kCount1to999, &bothEdges<1, 20>),
    entry("SCOLLO", "", kPosA, kDefS, kSide2, kNone, kCount0to999, kCount1to999, &scolloEffect),
    entry("RIENTRO", "", kPosA, kDefS, kSide2, kNone, kCount1to999, kCount1to999, &rientroEffect),
    entry("PUNZ_D", "", kPosB, kDefP, kMinus4to4, kMinus127to127, kCount0to999, kCount1to999, &punzRightEffect),
    entry("PUNZ", "", kPosB, kDefP, kMinus4to4, kMinus127to127, kCount0to999, kCount1to999, &punzRightEffect),
    entry("PUNZ_", "", kPosB, kDefP, kMinus4to4, kMinus127to127, kCount0to999, kCount1to999, &punzRightEffect),
    entry("PUNZ_S", "", kPosB, kDefP, kMinus4to4, kMinus127to127, kCount0to999, kCount1to999, &punzLeftEffect),
    entry("PNZ_S", "", kPosB, kDefP, kMinus4to4, kMinus127to127, kCount0to999, kCount1to999, &punzLeftEffect),
    entry("SEGNACENTRO", "", kPosNone, kDefG, kNone, kNone, kCount1to999, kCount1to999, &markOnly<30>),
    entry("RIGATO", "", kPosA, kDefS, k1to8, kNone, kCount1to1999, kNone, &rigatoEffect),
    entry("STOP", "", kPosNone, kDefG, kNone, kNone, kNone, kNone, &markOnly<10>),
    entry("GIROLENTE", "", kPosNone, kDefG, kNone, kNone, kCount1to999, kCount1to999, &markOnly<11>),
    entry("GIROFITTO", "", kPosNone, kDefG, kNone, kNone, kCount1to999, kCount1to999, &markOnly<11>),
    entry("GIRO_MEDIO", "", kPosNone, kDefG, kNone, kNone, kCount1to999, kCount1to999, &markOnly<11>),
    entry("DEFINIZIONE", "", kPosD, kDefD, kKind, kNone, kClassify, kNone, &noEffect),
    entry("DEFINITION", "", kPosD, kDefD, kKind, kNone, kClassify, kNone, &noEffect),
    entry("RIPETO", "", kPosNone, kDefR, kNone, kNone, kNone, kCount1to1999, &noEffect),
    entry("REPETE", "", kPosNone, kDefR, kNone, kNone, kNone, kCount1to1999, &noEffect),
    entry("PRODUCO", "", kPosA, kDefS, k1to11, kNone, kCount1to999, kCount1to999, &noEffect),
    entry("NONPRODUCO", "", kPosA, kDefS, k1to11, kNone, kCount0to999, kCount1to999, &noEffect),
    entry("PETTINI_DENTRO", "PETTINI_?", kPosNone, kDefG, kNone, kNone, kNone, kNone, &markOnly<42>),
    entry("PETTINI_FUORI", "PETTINI_?", kPosNone, kDefG, kNone, kNone, kNone, kNone, &markOnly<43>),
    entry("PET_DESTRO", "PETTINI_?", kPosNone, kDefG, kNone, kNone, kNone, kNone, &markOnly<40>),
    entry("PET_SINISTRO", "PETTINI_?", kPosNone, kDefG, kNone, kNone, kNone, kNone, &markOnly<41>),
    entry("CALATO_3", "", kPosNone, kDefG, kNone, kNone, kCount0to999, kCount1to999, &bothEdges<-3, 20>),
    entry("CALATO_4", "", kPosNone, kDefG, kNone, kNone, kCount0to999, kCount1to999, &bothEdges<-4, 20>),
    entry("NDL_FASH_3", "", kPosNone, kDefG, kNone, kNone, kCount0to999, kCount1to999, &bothEdges<-3, 20>),
    entry("NDL_FASH_4", "", kPosNone, kDefG, kNone, kNone, kCount0to999, kCount1to999, &bothEdges<-4, 20>),
    entry("CALATO_IN_CORSA", "", kPosNone, kDefG, kNone, kNone, kCount1to999, kCount1to999, &bothEdges<-1, 0>),
    entry("CAL_CORSA", "", kPosNone, kDefG, kNone, kNone, kCount1to999, kCount1to999, &bothEdges<-1, 0>),
    entry("CIMOSA", "", kPosNone, kDefG, kNone, kNone, kCount1to999, kCount1to999, &bothEdges<-2, 0>),
    entry("CAL_FRECCIA", "", kPosNone, kDefG, kNone, kNone, kNone, kNone, &noEffect),
    entry("CAL_CIMOSA", "", kPosNone, kDefG, kNone, kNone, kNone, kNone, &noEffect),
    entry("CAL_CIM", "", kPosNone, kDefG, kNone, kNone, kNone, kNone, &noEffect),
    entry("CALATO_SPIGA", "", kPosNone, kDefG, kNone, kNone, kNone, kNone, &noEffect),
    entry("PICCHIATA", "", kPosNone, kDefG, kNone, kNone, kCount0to999, kCount1to999, &noEffect),
    entry("EMPTY_FASH", "", kPosNone, kDefG, kNone, kNone, kCount0to999, kCount1to999, &noEffect),
    entry("GIRO_VUOTO", "", kPosNone, kDefG, kNone, kNone, kCount0to999, kCount1to999, &noEffect),
    entry("PUNZ_MENO", "", kPosNone, kDefG, kNone, kNone, kNone, kCount1to999, &noEffect),
    entry("PUNZ_PIU", "", kPosNone, kDefG, kNone, kNone, kNone, kCount1to999, &noEffect),
    entry("MOV_PUNZ", "", kPosNone, kDefG, kNone, kNone, kNone, kCount1to999, &noEffect),
    entry("MOV_PUNZONI", "", kPosNone, kDefG, kNone, kNone, kNone, kCount1to999, &noEffect),
    entry("MOVIM_PUNZONI", "", kPosNone, kDefG, kNone, kNone, kNone, kCount1to999, &noEffect),
    entry("PUNZONI<_>", "", kPosNone, kDefG, kNone, kNone, kNone, kNone, &noEffect),
    entry("PUNZONI<->", "", kPosNone, kDefG, kNone, kNone, kNone, kNone, &noEffect),
    entry("PUNZONI", "", kPosNone, kDefG, kNone, kNone, kNone, kNone, &noEffect),
    entry("M_PUNZ", "", kPosC, kDefM, k0to2, kSide12, kCount1to999, kCount1to999, &noEffect),
    entry("P_CIMOSA", "", kPosF, kDefP, k0to2, k0to2, kNone, kNone, &noEffect),
    entry("PUNTO_M", "", kPosE, kDefT, k1to3, kSide2, kCount1to999, kCount1to999, &markOnly<11>),
    entry("TRECCIA_DES", "TRECCIA_?", kPosNone, kDefG, kNone, kNone, kCount0to999, kCount1to999, &markOnly<32>),
    entry("TRECCIA_5DES", "TRECCIA_?", kPosNone, kDefG, kNone, kNone, kCount0to999, kCount1to999, &markOnly<34>),
    entry("TRECCIA_SIN", "TRECCIA_?", kPosNone, kDefG, kNone, kNone, kCount0to999, kCount1to999, &markOnly<33>),
    entry("TRECCIA_5SIN", "TRECCIA_?", kPosNone, kDefG, kNone, kNone, kCount0to999, kCount1to999, &markOnly<35>),
    entry("RULLI_T", "", kPosNone, kDefG, kNone, kNone, kNone, kNone, &noEffect),
    entry("TIRAGGIO", "", kPosNone, kDefG, kNone, kNone, kCount1to999, kCount1to999, &noEffect),
    entry("B_TIRAGGIO", "", kPosNone, kDefG, kNone, kNone, kCount1to999, kCount1to999, &noEffect),
    entry("STOP_TIRAGGIO", "", kPosNone, kDefG, kNone, kNone, kCount1to999, kCount1to999, &noEffect),
    entry("SOSP_TIRAGGIO", "", kPosNone, kDefG, kNone, kNone, kCount1to999, kCount1to999, &noEffect),
    entry("TUK", "", kPosE, kDefT, kSide2, k1to3, kCount0to999, kCount1to999, &noEffect),
    entry("N_SPEED", "", kPosE, kDefT, kSide2, k1to3, kCount0to999, kCount1to999, &noEffect),
    entry("TOP_DISK", "", kPosNone, kDefG, kNone, kNone, kCount1to999, kCount1to999, &noEffect),
    entry("TOPDISK", "", kPosNone, kDefG, kNone, kNone, kCount1to999, kCount1to999, &noEffect),
    entry("BRUCIO", "", kPosNone, kDefG, kNone, kNone, kNone, kNone, &noEffect),
    entry("SNAPS", "", kPosNone, kDefG, kNone, kNone, kNone, kNone, &noEffect),
    entry("SEGNO_T", "", kPosNone, kDefG, kNone, kNone, kNone, kNone, &noEffect),
    entry("PET_PUNZONATO", "", kPosNone, kDefG, kNone, kNone, kNone, kNone, &noEffect),
    entry("CAR_OFF", "", kPosB, kDefO, k0to2, k1to127, kCount3to999, kNone, &noEffect),
    entry("ROMBO_PIU", "", kPosNone, kDefG, kNone, kNone, kCount1to999, kCount1to999, &noEffect),
    entry("ROMBO_MENO", "", kPosNone, kDefG, kNone, kNone, kCount1to999, kCount1to999, &noEffect),
    entry("FILETTO_PIU", "", kPosNone, kDefG, kNone, kNone, kCount1to999, kCount1to999, &noEffect),
    entry("FILETTO_MENO", "", kPosNone, kDefG, kNone, kNone, kCount1to999, kCount1to999, &noEffect),
    // Terminating entry: the neutral behaviour of every index outside the
    // catalogue, and the end mark of the lookup.
    entry("", "", kPosNone, kDefG, kNone, kNone, kNone, kNone, &noEffect),
}};

static_assert(kCatalogue.back().name.empty());

// Every word and text of the catalogue fits an editing buffer.
constexpr bool catalogueTextsFit()
{
    for (const CatalogueEntry &e : kCatalogue) {
        if (e.name.size() > 15 || e.family.size() > 15)
            return false;
    }
    return true;
}
static_assert(catalogueTextsFit());

} // namespace

const CatalogueEntry &catalogueEntry(std::int32_t index)
{
    if (index < 0 || index >= kCommandCount)
        return kCatalogue[kCommandCount];
    return kCatalogue[std::size_t(index)];
}

std::int32_t findCommand(std::string_view word)
{
    // The terminating entry's empty name ends the scan, so an empty word
    // never matches it.
    for (std::int32_t i = 0; !kCatalogue[std::size_t(i)].name.empty(); ++i) {
        if (equalsIgnoringCase(word, kCatalogue[std::size_t(i)].name))
            return i;
    }
    return kNoCommand;
}

std::string_view commandWord(std::int32_t index)
{
    const CatalogueEntry &e = catalogueEntry(index);
    return e.family.empty() ? e.name : e.family;
}

ParameterPositions parameterPositions(std::int32_t index)
{
    return catalogueEntry(index).positions();
}

DefaultTexts defaultTexts(std::int32_t index)
{
    return catalogueEntry(index).defaults();
}

EditText click(std::int32_t index, Field field, Direction direction, std::string_view text)
{
    const CatalogueEntry &e = catalogueEntry(index);
    const bool up = direction == Direction::Up;
    switch (field) {
    case Field::P1:
        return (up ? e.p1Up : e.p1Down)(text);
    case Field::P2:
        return (up ? e.p2Up : e.p2Down)(text);
    case Field::Intervallo:
        return (up ? e.intervalloUp : e.intervalloDown)(text);
    case Field::Ripetizione:
        return (up ? e.ripetizioneUp : e.ripetizioneDown)(text);
    }
    return {};
}

void simulate(std::int32_t index, Kn4Simulazione &record)
{
    record.bordoDx = 0;
    record.bordoSx = 0;
    record.scolloDx = 0;
    record.scolloSx = 0;
    record.segno = 0;
    catalogueEntry(index).simulation(record);
}

EditText classifyDefinition(std::string_view text)
{
    // Older panels kept a definition's kind in its comment; only the first
    // 12 characters of it are looked at.
    constexpr std::size_t kLooked = 12;
    char head[kLooked];
    const std::size_t length = std::min(text.size(), kLooked);
    for (std::size_t i = 0; i < length; ++i) {
        const char c = text[i];
        head[i] = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    }
    const std::string_view upper(head, length);

    if (text.empty() || upper.find(";PROFILO") != std::string_view::npos)
        return EditText("PROFILO ESTERNO");
    if (upper.find("ALTRO") != std::string_view::npos)
        return EditText("ALTRO");
    if (length == kLooked && upper.find_first_not_of(' ') == std::string_view::npos)
        return EditText("ALTRO");
    if (upper.find("ASIM.") != std::string_view::npos)
        return EditText("LATO SINISTRO");
    return {};
}

} // namespace kn4::compiler
