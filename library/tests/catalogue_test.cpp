#include "catalogue.h"
#include "kn4edit2.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace kn4::compiler;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// Indices that must all behave like the unknown word.
constexpr std::int32_t kNeutralIndices[] = {-1, -2, 75, 76, 1000, kMax, kMin};

std::int32_t indexOf(const char *word)
{
    const std::int32_t index = findCommand(word);
    EXPECT_NE(index, kNoCommand) << word;
    return index;
}

std::string step(std::int32_t index, Field field, Direction direction, std::string_view text)
{
    return std::string(click(index, field, direction, text).view());
}

std::string up(const char *command, Field field, std::string_view text)
{
    return step(indexOf(command), field, Direction::Up, text);
}

std::string down(const char *command, Field field, std::string_view text)
{
    return step(indexOf(command), field, Direction::Down, text);
}

std::string signedText(long long v)
{
    return v < 0 ? std::to_string(v) : " " + std::to_string(v);
}

// ---------------------------------------------------------------------------
// The catalogue as the editor knows it: order (= index), position and
// default profile, and the rule of each editable field. The rule of a field
// is recognised by its behaviour (see describeRule), not read from the table
// of the library, so a slip in either shows up here.

struct CommandRow
{
    const char *name;
    char positions;
    char defaults;
    const char *p1;
    const char *p2;
    const char *intervallo;
    const char *ripetizione;
};

constexpr CommandRow kCommands[] = {
    {"LISCIO", '-', 'g', "-", "-", "1..1999", "-"},
    {"CALATO", 'A', 'c', "1..2", "-", "0..999", "1..999"},
    {"AUMENTAZIONE", 'A', 'a', "-", "-", "2..999", "1..999"},
    {"AUMENTA", 'A', 'a', "-", "-", "2..999", "1..999"},
    {"AUM_PUNZONI", '-', 'g', "-", "-", "0..999", "1..999"},
    {"SCOLLO", 'A', 's', "+-2", "-", "0..999", "1..999"},
    {"RIENTRO", 'A', 's', "+-2", "-", "1..999", "1..999"},
    {"PUNZ_D", 'B', 'p', "-4..4", "-127..127", "0..999", "1..999"},
    {"PUNZ", 'B', 'p', "-4..4", "-127..127", "0..999", "1..999"},
    {"PUNZ_", 'B', 'p', "-4..4", "-127..127", "0..999", "1..999"},
    {"PUNZ_S", 'B', 'p', "-4..4", "-127..127", "0..999", "1..999"},
    {"PNZ_S", 'B', 'p', "-4..4", "-127..127", "0..999", "1..999"},
    {"SEGNACENTRO", '-', 'g', "-", "-", "1..999", "1..999"},
    {"RIGATO", 'A', 's', "1..8", "-", "1..1999", "-"},
    {"STOP", '-', 'g', "-", "-", "-", "-"},
    {"GIROLENTE", '-', 'g', "-", "-", "1..999", "1..999"},
    {"GIROFITTO", '-', 'g', "-", "-", "1..999", "1..999"},
    {"GIRO_MEDIO", '-', 'g', "-", "-", "1..999", "1..999"},
    {"DEFINIZIONE", 'D', 'd', "kind", "-", "classify", "-"},
    {"DEFINITION", 'D', 'd', "kind", "-", "classify", "-"},
    {"RIPETO", '-', 'r', "-", "-", "-", "1..1999"},
    {"REPETE", '-', 'r', "-", "-", "-", "1..1999"},
    {"PRODUCO", 'A', 's', "1..11", "-", "1..999", "1..999"},
    {"NONPRODUCO", 'A', 's', "1..11", "-", "0..999", "1..999"},
    {"PETTINI_DENTRO", '-', 'g', "-", "-", "-", "-"},
    {"PETTINI_FUORI", '-', 'g', "-", "-", "-", "-"},
    {"PET_DESTRO", '-', 'g', "-", "-", "-", "-"},
    {"PET_SINISTRO", '-', 'g', "-", "-", "-", "-"},
    {"CALATO_3", '-', 'g', "-", "-", "0..999", "1..999"},
    {"CALATO_4", '-', 'g', "-", "-", "0..999", "1..999"},
    {"NDL_FASH_3", '-', 'g', "-", "-", "0..999", "1..999"},
    {"NDL_FASH_4", '-', 'g', "-", "-", "0..999", "1..999"},
    {"CALATO_IN_CORSA", '-', 'g', "-", "-", "1..999", "1..999"},
    {"CAL_CORSA", '-', 'g', "-", "-", "1..999", "1..999"},
    {"CIMOSA", '-', 'g', "-", "-", "1..999", "1..999"},
    {"CAL_FRECCIA", '-', 'g', "-", "-", "-", "-"},
    {"CAL_CIMOSA", '-', 'g', "-", "-", "-", "-"},
    {"CAL_CIM", '-', 'g', "-", "-", "-", "-"},
    {"CALATO_SPIGA", '-', 'g', "-", "-", "-", "-"},
    {"PICCHIATA", '-', 'g', "-", "-", "0..999", "1..999"},
    {"EMPTY_FASH", '-', 'g', "-", "-", "0..999", "1..999"},
    {"GIRO_VUOTO", '-', 'g', "-", "-", "0..999", "1..999"},
    {"PUNZ_MENO", '-', 'g', "-", "-", "-", "1..999"},
    {"PUNZ_PIU", '-', 'g', "-", "-", "-", "1..999"},
    {"MOV_PUNZ", '-', 'g', "-", "-", "-", "1..999"},
    {"MOV_PUNZONI", '-', 'g', "-", "-", "-", "1..999"},
    {"MOVIM_PUNZONI", '-', 'g', "-", "-", "-", "1..999"},
    {"PUNZONI<_>", '-', 'g', "-", "-", "-", "-"},
    {"PUNZONI<->", '-', 'g', "-", "-", "-", "-"},
    {"PUNZONI", '-', 'g', "-", "-", "-", "-"},
    {"M_PUNZ", 'C', 'm', "0..2", "+-12", "1..999", "1..999"},
    {"P_CIMOSA", 'F', 'p', "0..2", "0..2", "-", "-"},
    {"PUNTO_M", 'E', 't', "1..3", "+-2", "1..999", "1..999"},
    {"TRECCIA_DES", '-', 'g', "-", "-", "0..999", "1..999"},
    {"TRECCIA_5DES", '-', 'g', "-", "-", "0..999", "1..999"},
    {"TRECCIA_SIN", '-', 'g', "-", "-", "0..999", "1..999"},
    {"TRECCIA_5SIN", '-', 'g', "-", "-", "0..999", "1..999"},
    {"RULLI_T", '-', 'g', "-", "-", "-", "-"},
    {"TIRAGGIO", '-', 'g', "-", "-", "1..999", "1..999"},
    {"B_TIRAGGIO", '-', 'g', "-", "-", "1..999", "1..999"},
    {"STOP_TIRAGGIO", '-', 'g', "-", "-", "1..999", "1..999"},
    {"SOSP_TIRAGGIO", '-', 'g', "-", "-", "1..999", "1..999"},
    {"TUK", 'E', 't', "+-2", "1..3", "0..999", "1..999"},
    {"N_SPEED", 'E', 't', "+-2", "1..3", "0..999", "1..999"},
    {"TOP_DISK", '-', 'g', "-", "-", "1..999", "1..999"},
    {"TOPDISK", '-', 'g', "-", "-", "1..999", "1..999"},
    {"BRUCIO", '-', 'g', "-", "-", "-", "-"},
    {"SNAPS", '-', 'g', "-", "-", "-", "-"},
    {"SEGNO_T", '-', 'g', "-", "-", "-", "-"},
    {"PET_PUNZONATO", '-', 'g', "-", "-", "-", "-"},
    {"CAR_OFF", 'B', 'o', "0..2", "1..127", "3..999", "-"},
    {"ROMBO_PIU", '-', 'g', "-", "-", "1..999", "1..999"},
    {"ROMBO_MENO", '-', 'g', "-", "-", "1..999", "1..999"},
    {"FILETTO_PIU", '-', 'g', "-", "-", "1..999", "1..999"},
    {"FILETTO_MENO", '-', 'g', "-", "-", "1..999", "1..999"},
};
static_assert(std::size(kCommands) == kCommandCount);

ParameterPositions positionProfile(char profile)
{
    switch (profile) {
    case 'A': return {13, 14, -1, -1};
    case 'B': return {7, 8, 10, 13};
    case 'C': return {7, 8, 10, 12};
    case 'D': return {12, 30, 43, 62};
    case 'E': return {7, 8, 10, 11};
    case 'F': return {9, 10, 12, 13};
    default: return {-1, -1, -1, -1};
    }
}

std::array<std::string, 4> defaultProfile(char profile)
{
    switch (profile) {
    case 'd': return {"ALTRO", std::string(20, '-'), "0", "0"};
    case 's': return {" 1", "", "1", "1"};
    case 'c': return {" 2", "", "1", "1"};
    case 'a': return {" 1", "", "2", "1"};
    case 'p': return {" 0", " 0", "1", "1"};
    case 'r': return {"", "", "0", "1"};
    case 'm': return {" 0", " 1", "1", "1"};
    case 't': return {" 1", " 1", "1", "1"};
    case 'o': return {" 0", " 10", "3", "1"};
    default: return {"", "", "1", "1"};
    }
}

// Recognises a field's rule by clicking it, checking on the way that every
// step inside and around the range follows the rule's formula.
std::string describeRule(std::int32_t index, Field field)
{
    const auto up = [&](std::string_view t) { return step(index, field, Direction::Up, t); };
    const auto down = [&](std::string_view t) { return step(index, field, Direction::Down, t); };

    if (up("ALTRO") == "LATO SINISTRO")
        return "kind";
    if (up("") == "PROFILO ESTERNO") {
        EXPECT_EQ(down(""), "");
        return "classify";
    }
    if (up("5") == "6") {
        // Counting: plain numbers, stops (empty text) at both ends.
        long long lo = 0, hi = 0;
        for (long long v = -5; v <= 2005; ++v) {
            const std::string next = up(std::to_string(v));
            if (next.empty()) {
                hi = v;
                break;
            }
            EXPECT_EQ(next, std::to_string(v + 1));
        }
        for (long long v = 2005; v >= -5; --v) {
            const std::string previous = down(std::to_string(v));
            if (previous.empty()) {
                lo = v;
                break;
            }
            EXPECT_EQ(previous, std::to_string(v - 1));
        }
        EXPECT_EQ(up(std::to_string(hi + 7)), "") << "past the upper end";
        EXPECT_EQ(down(std::to_string(lo - 7)), "") << "past the lower end";
        return std::to_string(lo) + ".." + std::to_string(hi);
    }
    if (!up(" 5").empty()) {
        // Wrapping: signed texts; only the far end wraps.
        bool skipsZero = false;
        long long lo = 0, hi = 0;
        for (long long v = -300; v <= 300; ++v) {
            const std::string next = up(signedText(v));
            if (next == signedText(v + 1))
                continue;
            if (v == -1 && next == " 1") {
                skipsZero = true;
                continue;
            }
            hi = v;
            lo = std::stoll(next);
            break;
        }
        EXPECT_EQ(up(signedText(hi + 5)), signedText(lo)) << "past the upper end";
        for (long long v = -300; v <= 300; ++v) {
            const std::string previous = down(signedText(v));
            if (v <= lo) {
                EXPECT_EQ(previous, signedText(hi)) << "down from " << v;
            } else if (skipsZero && v == 1) {
                EXPECT_EQ(previous, "-1");
            } else {
                EXPECT_EQ(previous, signedText(v - 1)) << "down from " << v;
            }
        }
        if (skipsZero) {
            EXPECT_EQ(lo, -hi);
            return "+-" + std::to_string(hi);
        }
        return std::to_string(lo) + ".." + std::to_string(hi);
    }
    for (const char *t : {"", " 5", "-5", "5000", "ALTRO", "RIGATURA"})
        EXPECT_EQ(up(t) + down(t), "") << "no-change rule moved on '" << t << "'";
    return "-";
}

TEST(Catalogue, EveryCommandHasItsIndexProfilesAndRules)
{
    for (std::int32_t i = 0; i < kCommandCount; ++i) {
        const CommandRow &row = kCommands[i];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(catalogueEntry(i).name, row.name);
        EXPECT_EQ(findCommand(row.name), i);

        const ParameterPositions got = parameterPositions(i);
        const ParameterPositions want = positionProfile(row.positions);
        EXPECT_EQ((std::array{got.p1First, got.p1Last, got.p2First, got.p2Last}),
                  (std::array{want.p1First, want.p1Last, want.p2First, want.p2Last}));

        const DefaultTexts d = defaultTexts(i);
        EXPECT_EQ((std::array<std::string, 4>{std::string(d.p1), std::string(d.p2),
                                              std::string(d.intervallo), std::string(d.ripetizione)}),
                  defaultProfile(row.defaults));

        EXPECT_EQ(describeRule(i, Field::P1), row.p1);
        EXPECT_EQ(describeRule(i, Field::P2), row.p2);
        EXPECT_EQ(describeRule(i, Field::Intervallo), row.intervallo);
        EXPECT_EQ(describeRule(i, Field::Ripetizione), row.ripetizione);
    }
}

TEST(Catalogue, IndicesOutsideTheCatalogueAreNeutral)
{
    for (std::int32_t index : kNeutralIndices) {
        SCOPED_TRACE(index);
        EXPECT_EQ(catalogueEntry(index).name, "");
        EXPECT_EQ(commandWord(index), "");
        const ParameterPositions p = parameterPositions(index);
        EXPECT_EQ((std::array{p.p1First, p.p1Last, p.p2First, p.p2Last}), (std::array{-1, -1, -1, -1}));
        const DefaultTexts d = defaultTexts(index);
        EXPECT_EQ(d.p1, "");
        EXPECT_EQ(d.p2, "");
        EXPECT_EQ(d.intervallo, "1");
        EXPECT_EQ(d.ripetizione, "1");
        for (Field f : {Field::P1, Field::P2, Field::Intervallo, Field::Ripetizione}) {
            for (const char *t : {"", " 1", "5", "ALTRO"}) {
                EXPECT_EQ(step(index, f, Direction::Up, t), "");
                EXPECT_EQ(step(index, f, Direction::Down, t), "");
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Lookup

TEST(Catalogue, LookupIgnoresCaseAndAnswersFamilies)
{
    struct Case
    {
        const char *word;
        const char *text;
        std::int32_t index;
    };
    const Case cases[] = {
        {"aumentazione", "AUMENTA", 2}, {"AUMENTA", "AUMENTA", 3},
        {"Aum_Punzoni", "AUMENTA", 4},  {"TRECCIA_5SIN", "TRECCIA_?", 56},
        {"treccia_des", "TRECCIA_?", 53}, {"PET_DESTRO", "PETTINI_?", 26},
        {"pettini_fuori", "PETTINI_?", 25}, {"LISCIO", "LISCIO", 0},
        {"filetto_meno", "FILETTO_MENO", 74}, {"punzoni<->", "PUNZONI<->", 48},
        {"", "", -1},                   {"LISCIO ", "", -1},
        {" LISCIO", "", -1},            {"LISCI", "", -1},
        {"PUNZONI<>", "", -1},          {"TRECCIA_?", "", -1},
        {"PETTINI_?", "", -1},          {"LISCIOLISCIOLISCIOLISCIOLISCIOLISCIOLISCIO", "", -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.word);
        const std::int32_t index = findCommand(c.word);
        EXPECT_EQ(index, c.index);
        EXPECT_EQ(commandWord(index), c.text);
    }
}

// ---------------------------------------------------------------------------
// Value rules at and past their ends, outside the range included

TEST(ValueRules, WrapAtTheFarEndAndStepAnyOtherValue)
{
    struct Case
    {
        const char *command;
        Field field;
        Direction direction;
        const char *text;
        const char *result;
    };
    constexpr auto P1 = Field::P1, P2 = Field::P2, In = Field::Intervallo, Rip = Field::Ripetizione;
    constexpr auto Up = Direction::Up, Dn = Direction::Down;
    const Case cases[] = {
        {"CALATO", P1, Up, " 2", " 1"},        {"CALATO", P1, Dn, " 1", " 2"},
        {"CALATO", P1, Up, "-9", "-8"},        {"CALATO", P1, Dn, "-9", " 2"},
        {"CALATO", P1, Up, "77", " 1"},        {"CALATO", P1, Up, "", " 1"},
        {"CALATO", P1, Up, "1S", " 2"},        {"RIGATO", P1, Dn, "50", " 49"},
        {"RIGATO", P1, Up, " 8", " 1"},        {"RIGATO", P1, Dn, " 0", " 8"},
        {"PRODUCO", P1, Up, " 11", " 1"},      {"PRODUCO", P1, Dn, " 1", " 11"},
        {"CAR_OFF", P2, Up, " 127", " 1"},     {"CAR_OFF", P2, Dn, " 1", " 127"},
        {"CAR_OFF", P1, Up, " 2", " 0"},       {"CAR_OFF", P1, Dn, " 0", " 2"},
        {"CAR_OFF", P1, Dn, "-3", " 2"},       {"PUNTO_M", P1, Up, " 3", " 1"},
        {"PUNZ", P1, Up, " 4", "-4"},          {"PUNZ", P1, Dn, "-4", " 4"},
        {"PUNZ", P1, Up, "-1", " 0"},          {"PUNZ", P1, Dn, " 0", "-1"},
        {"PUNZ", P2, Up, " 127", "-127"},      {"PUNZ", P2, Dn, "-127", " 127"},
        {"PUNZ", P2, Up, " 500", "-127"},      {"PUNZ", P2, Dn, " 500", " 499"},
        {"SCOLLO", P1, Up, " 2", "-2"},        {"SCOLLO", P1, Up, "-1", " 1"},
        {"SCOLLO", P1, Up, " 0", " 1"},        {"SCOLLO", P1, Dn, " 1", "-1"},
        {"SCOLLO", P1, Dn, "-2", " 2"},        {"SCOLLO", P1, Dn, " 0", "-1"},
        {"SCOLLO", P1, Up, "-7", "-6"},        {"TUK", P1, Up, " 1", " 2"},
        {"M_PUNZ", P2, Up, "-1", " 1"},        {"M_PUNZ", P2, Up, " 12", "-12"},
        {"M_PUNZ", P2, Dn, "-12", " 12"},      {"M_PUNZ", P2, Dn, " 1", "-1"},
        {"CALATO", In, Up, "999", ""},         {"CALATO", In, Up, "5", "6"},
        {"CALATO", In, Dn, "0", ""},           {"CALATO", In, Dn, "1", "0"},
        {"CALATO", In, Up, "-5", "-4"},        {"CALATO", In, Dn, "5000", "4999"},
        {"CALATO", In, Up, "", "1"},           {"RIENTRO", In, Dn, "1", ""},
        {"AUMENTAZIONE", In, Dn, "2", ""},     {"AUMENTAZIONE", In, Dn, "3", "2"},
        {"CAR_OFF", In, Dn, "3", ""},          {"CAR_OFF", In, Dn, "4", "3"},
        {"LISCIO", In, Up, "1998", "1999"},    {"LISCIO", In, Up, "1999", ""},
        {"RIPETO", Rip, Up, "1999", ""},       {"RIPETO", Rip, Dn, "1", ""},
        {"RIGATO", Rip, Up, "5", ""},          {"LISCIO", Rip, Up, "5", ""},
        {"STOP", Rip, Up, "5", ""},            {"STOP", In, Dn, "5", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.command) + " '" + c.text + "'");
        const std::int32_t index = indexOf(c.command);
        EXPECT_EQ(step(index, c.field, c.direction, c.text), c.result);
    }
}

TEST(ValueRules, NumbersAtTheThirtyTwoBitEndsNeitherOverflowNorGrowTheText)
{
    const char *extremes[] = {"2147483647", "-2147483648", "99999999999999999999", "-99999999999999999999"};
    for (std::int32_t i = 0; i < kCommandCount; ++i) {
        for (Field f : {Field::P1, Field::P2, Field::Intervallo, Field::Ripetizione}) {
            for (const char *t : extremes) {
                for (Direction d : {Direction::Up, Direction::Down})
                    EXPECT_LT(click(i, f, d, t).view().size(), kTextSize);
            }
        }
    }
    EXPECT_EQ(up("PUNZ", Field::P2, "2147483647"), "-127");
    EXPECT_EQ(down("PUNZ", Field::P2, "-2147483648"), " 127");
    EXPECT_EQ(down("PUNZ", Field::P2, "2147483647"), " 2147483646");
    EXPECT_EQ(up("PUNZ", Field::P2, "-2147483648"), "-2147483647");
    EXPECT_EQ(up("CALATO", Field::Intervallo, "-2147483648"), "-2147483647");
    EXPECT_EQ(down("CALATO", Field::Intervallo, "2147483647"), "2147483646");
}

// ---------------------------------------------------------------------------
// The definition kind: cycle on P1, classifier on Intervallo

TEST(DefinitionKind, CyclesThroughTheFourKindsIgnoringCase)
{
    for (const char *command : {"DEFINIZIONE", "DEFINITION"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(up(command, Field::P1, "ALTRO"), "LATO SINISTRO");
        EXPECT_EQ(up(command, Field::P1, "LATO SINISTRO"), "SCOLLO");
        EXPECT_EQ(up(command, Field::P1, "scollo"), "RIGATURA");
        EXPECT_EQ(up(command, Field::P1, "rigatura"), "ALTRO");
        EXPECT_EQ(down(command, Field::P1, "ALTRO"), "RIGATURA");
        EXPECT_EQ(down(command, Field::P1, "Rigatura"), "SCOLLO");
        EXPECT_EQ(down(command, Field::P1, "SCOLLO"), "LATO SINISTRO");
        EXPECT_EQ(down(command, Field::P1, "lato sinistro"), "ALTRO");
        for (const char *other : {"PROFILO ESTERNO", "", "ALTR", "ALTRO ", " ALTRO", "1"}) {
            EXPECT_EQ(up(command, Field::P1, other), "") << other;
            EXPECT_EQ(down(command, Field::P1, other), "") << other;
        }
    }
}

TEST(DefinitionKind, ClassifiesTheFirstTwelveCharacters)
{
    struct Case
    {
        const char *text;
        const char *kind;
    };
    const Case cases[] = {
        {"", "PROFILO ESTERNO"},
        {";PROFILO", "PROFILO ESTERNO"},
        {";profilo esterno", "PROFILO ESTERNO"},
        {"    ;PROFILO", "PROFILO ESTERNO"},  // ends on the 12th character
        {"     ;PROFILO", ""},                // begins after the fifth
        {"ALTRO", "ALTRO"},
        {"; altro lato", "ALTRO"},
        {"        altro", ""},                // the 13th character is cut off
        {"            ", "ALTRO"},
        {"            ASIM.", "ALTRO"},       // only the 12 blanks are looked at
        {"           ", ""},                  // 11 blanks
        {"ASIM.", "LATO SINISTRO"},
        {"; asim. 2", "LATO SINISTRO"},
        {"ASIM.ALTRO", "ALTRO"},              // ALTRO is tested first
        {";PROFILOASIM", "PROFILO ESTERNO"},
        {"ASIM", ""},
        {"SCOLLO", ""},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(up("DEFINIZIONE", Field::Intervallo, c.text), c.kind) << '"' << c.text << '"';
        EXPECT_EQ(up("DEFINITION", Field::Intervallo, c.text), c.kind) << '"' << c.text << '"';
        EXPECT_EQ(down("DEFINIZIONE", Field::Intervallo, c.text), "") << '"' << c.text << '"';
    }
}

// ---------------------------------------------------------------------------
// Simulation effects

struct Effect
{
    std::int32_t bordoDx, bordoSx, scolloDx, scolloSx, segno;
    bool operator==(const Effect &) const = default;
};

std::ostream &operator<<(std::ostream &os, const Effect &e)
{
    return os << '{' << e.bordoDx << ", " << e.bordoSx << ", " << e.scolloDx << ", " << e.scolloSx
              << ", " << e.segno << '}';
}

Effect simulated(std::int32_t index, std::int32_t p1, std::int32_t p2, std::int32_t lato)
{
    // Outputs start as garbage: the command must clear what it does not set.
    Kn4Simulazione r{p1, p2, lato, 99, 99, 99, 99, 99};
    simulate(index, r);
    EXPECT_EQ(r.p1, p1);
    EXPECT_EQ(r.p2, p2);
    EXPECT_EQ(r.lato, lato);
    return {r.bordoDx, r.bordoSx, r.scolloDx, r.scolloSx, r.segno};
}

TEST(Simulation, EachCommandHasItsEffectOnBothSides)
{
    // P1 3, P2 -5; right side (lato 0) and left side (lato 1).
    struct Group
    {
        std::vector<const char *> commands;
        Effect right;
        Effect left;
    };
    const Group groups[] = {
        {{"CALATO"}, {-3, 0, 0, 0, 20}, {0, -3, 0, 0, 21}},
        {{"AUMENTAZIONE", "AUMENTA"}, {1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}},
        {{"AUM_PUNZONI"}, {1, 1, 0, 0, 20}, {1, 1, 0, 0, 20}},
        {{"SCOLLO"}, {0, 0, 3, 0, 30}, {0, 0, 0, 3, 31}},
        {{"RIENTRO"}, {0, 0, -3, 0, 0}, {0, 0, 0, -3, 0}},
        {{"RIGATO"}, {0, 0, 0, 0, 3}, {0, 0, 0, 0, 3}},
        {{"PUNZ_D", "PUNZ", "PUNZ_"}, {0, 0, -2, 0, 30}, {0, 0, -2, 0, 30}},
        {{"PUNZ_S", "PNZ_S"}, {0, 0, 0, -2, 31}, {0, 0, 0, -2, 31}},
        {{"CALATO_IN_CORSA", "CAL_CORSA"}, {-1, -1, 0, 0, 0}, {-1, -1, 0, 0, 0}},
        {{"CIMOSA"}, {-2, -2, 0, 0, 0}, {-2, -2, 0, 0, 0}},
        {{"CALATO_3", "NDL_FASH_3"}, {-3, -3, 0, 0, 20}, {-3, -3, 0, 0, 20}},
        {{"CALATO_4", "NDL_FASH_4"}, {-4, -4, 0, 0, 20}, {-4, -4, 0, 0, 20}},
        {{"STOP"}, {0, 0, 0, 0, 10}, {0, 0, 0, 0, 10}},
        {{"GIROLENTE", "GIROFITTO", "GIRO_MEDIO", "PUNTO_M"}, {0, 0, 0, 0, 11}, {0, 0, 0, 0, 11}},
        {{"SEGNACENTRO"}, {0, 0, 0, 0, 30}, {0, 0, 0, 0, 30}},
        {{"TRECCIA_DES"}, {0, 0, 0, 0, 32}, {0, 0, 0, 0, 32}},
        {{"TRECCIA_SIN"}, {0, 0, 0, 0, 33}, {0, 0, 0, 0, 33}},
        {{"TRECCIA_5DES"}, {0, 0, 0, 0, 34}, {0, 0, 0, 0, 34}},
        {{"TRECCIA_5SIN"}, {0, 0, 0, 0, 35}, {0, 0, 0, 0, 35}},
        {{"PET_DESTRO"}, {0, 0, 0, 0, 40}, {0, 0, 0, 0, 40}},
        {{"PET_SINISTRO"}, {0, 0, 0, 0, 41}, {0, 0, 0, 0, 41}},
        {{"PETTINI_DENTRO"}, {0, 0, 0, 0, 42}, {0, 0, 0, 0, 42}},
        {{"PETTINI_FUORI"}, {0, 0, 0, 0, 43}, {0, 0, 0, 0, 43}},
    };
    std::array<bool, kCommandCount> hasEffect{};
    for (const Group &g : groups) {
        for (const char *command : g.commands) {
            SCOPED_TRACE(command);
            const std::int32_t index = indexOf(command);
            hasEffect[std::size_t(index)] = true;
            EXPECT_EQ(simulated(index, 3, -5, 0), g.right);
            EXPECT_EQ(simulated(index, 3, -5, 1), g.left);
            EXPECT_EQ(simulated(index, 3, -5, -7), g.left) << "any non-zero side is the left";
        }
    }
    for (std::int32_t i = 0; i < kCommandCount; ++i) {
        if (!hasEffect[std::size_t(i)]) {
            EXPECT_EQ(simulated(i, 3, -5, 0), Effect{}) << kCommands[i].name << " has no effect";
        }
    }
    for (std::int32_t index : kNeutralIndices)
        EXPECT_EQ(simulated(index, 3, -5, 1), Effect{}) << index;
}

TEST(Simulation, ExtremeParametersSaturateInsteadOfOverflowing)
{
    EXPECT_EQ(simulated(indexOf("CALATO"), kMin, 0, 0), (Effect{kMax, 0, 0, 0, 20}));
    EXPECT_EQ(simulated(indexOf("CALATO"), kMax, 0, 1), (Effect{0, -kMax, 0, 0, 21}));
    EXPECT_EQ(simulated(indexOf("RIENTRO"), kMin, 0, 0), (Effect{0, 0, kMax, 0, 0}));
    EXPECT_EQ(simulated(indexOf("PUNZ"), kMax, kMax, 0), (Effect{0, 0, kMax, 0, 30}));
    EXPECT_EQ(simulated(indexOf("PUNZ_S"), kMin, -1, 0), (Effect{0, 0, 0, kMin, 31}));
}

// ---------------------------------------------------------------------------
// The exports: NULL arguments and the 32-byte limit of every text buffer

constexpr std::size_t kGuard = 32;
constexpr char kUntouched = '\x7f';

struct GuardedBuffer
{
    std::array<char, KN4_TEXT_SIZE + kGuard> bytes;
    GuardedBuffer() { bytes.fill(kUntouched); }
    char *data() { return bytes.data(); }
    std::string text() const { return bytes.data(); }
    // The text, then zeros to the 32nd byte, and nothing written beyond.
    void expectWrittenWithin32Bytes() const
    {
        const std::size_t length = std::strlen(bytes.data());
        ASSERT_LT(length, std::size_t(KN4_TEXT_SIZE));
        for (std::size_t i = length; i < KN4_TEXT_SIZE; ++i)
            EXPECT_EQ(bytes[i], '\0') << "byte " << i;
        for (std::size_t i = KN4_TEXT_SIZE; i < bytes.size(); ++i)
            EXPECT_EQ(bytes[i], kUntouched) << "byte " << i;
    }
};

using ClickExport = void (*)(int32_t, const char *, char *);
constexpr ClickExport kClickExports[] = {ClickSxP1,         ClickDxP1,         ClickSxP2,
                                          ClickDxP2,         ClickSxIntervallo, ClickDxIntervallo,
                                          ClickSxRipetizione, ClickDxRipetizione};

TEST(Exports, AnswerTheEditorsQuestions)
{
    GuardedBuffer name;
    std::int32_t index = 42;
    CercaFunzione("aumentazione", name.data(), &index);
    EXPECT_EQ(name.text(), "AUMENTA");
    EXPECT_EQ(index, 2);
    name.expectWrittenWithin32Bytes();

    CercaFunzione("no such word", name.data(), &index);
    EXPECT_EQ(name.text(), "");
    EXPECT_EQ(index, -1);
    name.expectWrittenWithin32Bytes();

    std::int32_t p[4] = {0, 0, 0, 0};
    GetPosizioneParametri(indexOf("TUK"), &p[0], &p[1], &p[2], &p[3]);
    EXPECT_EQ((std::array{p[0], p[1], p[2], p[3]}), (std::array{7, 8, 10, 11}));

    GuardedBuffer d[4];
    GetDefault(indexOf("DEFINIZIONE"), d[0].data(), d[1].data(), d[2].data(), d[3].data());
    EXPECT_EQ(d[0].text(), "ALTRO");
    EXPECT_EQ(d[1].text(), std::string(20, '-'));
    EXPECT_EQ(d[2].text(), "0");
    EXPECT_EQ(d[3].text(), "0");

    GuardedBuffer result;
    ClickSxP1(indexOf("CALATO"), " 2", result.data());
    EXPECT_EQ(result.text(), " 1");
    ClickDxIntervallo(indexOf("CALATO"), "0", result.data());
    EXPECT_EQ(result.text(), "");
    ClickSxRipetizione(indexOf("CALATO"), "7", result.data());
    EXPECT_EQ(result.text(), "8");
    ClickDxP2(indexOf("PUNZ"), "-127", result.data());
    EXPECT_EQ(result.text(), " 127");

    Kn4Simulazione r{3, -5, 1, 9, 9, 9, 9, 9};
    SimulaFunzione(indexOf("PUNZ_S"), &r);
    EXPECT_EQ((std::array{r.p1, r.p2, r.lato, r.bordoDx, r.bordoSx, r.scolloDx, r.scolloSx, r.segno}),
              (std::array{3, -5, 1, 0, 0, 0, -2, 31}));
    Kn4Simulazione neutral{3, -5, 1, 9, 9, 9, 9, 9};
    SimulaFunzione(-1, &neutral);
    EXPECT_EQ((std::array{neutral.bordoDx, neutral.bordoSx, neutral.scolloDx, neutral.scolloSx,
                          neutral.segno}),
              (std::array{0, 0, 0, 0, 0}));
}

TEST(Exports, NeverWritePastThirtyTwoBytes)
{
    const std::string longText(1000, '9');
    const std::string longBlanks(40, ' ');
    std::vector<std::int32_t> indices(std::begin(kNeutralIndices), std::end(kNeutralIndices));
    for (std::int32_t i = 0; i < kCommandCount; ++i)
        indices.push_back(i);

    for (std::int32_t index : indices) {
        SCOPED_TRACE(index);
        GuardedBuffer d[4];
        GetDefault(index, d[0].data(), d[1].data(), d[2].data(), d[3].data());
        for (const GuardedBuffer &b : d)
            b.expectWrittenWithin32Bytes();

        for (ClickExport clickExport : kClickExports) {
            for (const char *text : {"", " 5", "-2147483648", "ALTRO", ";PROFILO", longText.c_str(),
                                     longBlanks.c_str()}) {
                GuardedBuffer result;
                clickExport(index, text, result.data());
                result.expectWrittenWithin32Bytes();
            }
        }
    }
    for (std::int32_t i = 0; i < kCommandCount; ++i) {
        GuardedBuffer name;
        std::int32_t index = -5;
        CercaFunzione(kCommands[i].name, name.data(), &index);
        EXPECT_EQ(index, i);
        name.expectWrittenWithin32Bytes();
    }
}

TEST(Exports, ToleratesNullPointers)
{
    std::int32_t index = 42;
    CercaFunzione(nullptr, nullptr, &index);
    EXPECT_EQ(index, -1);
    CercaFunzione("LISCIO", nullptr, nullptr);
    GuardedBuffer name;
    CercaFunzione("CALATO", name.data(), nullptr);
    EXPECT_EQ(name.text(), "CALATO");

    std::int32_t last = 0;
    GetPosizioneParametri(indexOf("PUNZ"), nullptr, nullptr, nullptr, &last);
    EXPECT_EQ(last, 13);

    GuardedBuffer intervallo;
    GetDefault(indexOf("CAR_OFF"), nullptr, nullptr, intervallo.data(), nullptr);
    EXPECT_EQ(intervallo.text(), "3");

    for (ClickExport clickExport : kClickExports) {
        clickExport(indexOf("CALATO"), " 1", nullptr);
        GuardedBuffer result;
        clickExport(indexOf("DEFINIZIONE"), nullptr, result.data());
        result.expectWrittenWithin32Bytes();
    }
    // A NULL text is the empty text: the classifier calls it the outer profile.
    GuardedBuffer kind;
    ClickSxIntervallo(indexOf("DEFINIZIONE"), nullptr, kind.data());
    EXPECT_EQ(kind.text(), "PROFILO ESTERNO");

    SimulaFunzione(indexOf("CALATO"), nullptr);
}

} // namespace
