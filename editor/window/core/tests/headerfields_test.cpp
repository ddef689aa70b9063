#include "window/core/headerfields.h"
#include "window/core/headerspinner.h"
#include "window/core/measures.h"

#include "fakeclock.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

using namespace kn4::editor;
using kn4::editor::testing::FakeClock;
using F = HeaderFields;
using Action = HeaderFields::KeyAction;

HeaderSettings settings(bool combEditable = true, bool leftRib = false, bool leftNeckline = false)
{
    HeaderSettings s;
    s.combEditable = combEditable;
    s.combDefault = 40;
    s.leftRibVisible = leftRib;
    s.leftNecklineVisible = leftNeckline;
    return s;
}

TEST(HeaderFields, KeyFilters)
{
    struct Case { HeaderField field; char key; const char *text; Action action; char typed; };
    const HeaderSettings s = settings();
    const Case cases[] = {
        {HeaderField::Tipo, ' ', "", Action::Accept, '-'},
        {HeaderField::Densita, 'x', "", Action::Accept, 'x'},
        {HeaderField::Note2, ' ', "", Action::Accept, ' '},
        {HeaderField::CostinaDx, '7', "", Action::Accept, '7'},
        {HeaderField::CostinaDx, F::kBackspace, "7", Action::Accept, F::kBackspace},
        {HeaderField::ScolloSx, 'a', "", Action::Refuse, 'a'},
        {HeaderField::ScolloSx, '-', "", Action::Refuse, '-'},
        {HeaderField::AghiCm, '1', "", Action::Accept, '1'},
        {HeaderField::AghiCm, ',', "12", Action::Accept, ','},
        {HeaderField::AghiCm, ',', "12,5", Action::Refuse, ','},
        {HeaderField::AghiCm, '.', "12,5", Action::Refuse, '.'},
        {HeaderField::AghiCm, ',', "", Action::Refuse, ','},
        {HeaderField::RanghiCm, '-', "", Action::Accept, '-'},
        {HeaderField::RanghiCm, '-', "3", Action::Refuse, '-'},
        {HeaderField::AltezzaBordo, 'e', "", Action::Refuse, 'e'},
        {HeaderField::Predisposizione, '2', "", Action::Accept, '2'},
        {HeaderField::Predisposizione, '.', "", Action::Accept, '.'},
        {HeaderField::Predisposizione, '4', "", Action::Refuse, '4'},
        {HeaderField::Predisposizione_2, '1', "", Action::Refuse, '1'},
        {HeaderField::Frontura, '5', "", Action::Discard, '5'},
        {HeaderField::Uscita, F::kEnter, "", Action::Discard, F::kEnter},
        {HeaderField::IngombroPettini, '5', "", Action::Accept, '5'},
    };
    for (const Case &c : cases) {
        const auto verdict = F::filterKey(c.field, c.key, c.text, s);
        EXPECT_EQ(verdict.action, c.action) << F::controlName(c.field) << " '" << c.key << "'";
        if (verdict.action == Action::Accept) {
            EXPECT_EQ(verdict.key, c.typed) << F::controlName(c.field);
        }
    }
    // Without the comb width editable the comb clearance takes no key at all.
    for (char key : {'5', F::kEnter, F::kBackspace})
        EXPECT_EQ(F::filterKey(HeaderField::IngombroPettini, key, "", settings(false)).action,
                  Action::Refuse);
}

TEST(HeaderFields, EnterFollowsTheFocusOrder)
{
    auto enter = [](HeaderField field, const HeaderSettings &s) {
        const auto verdict = F::filterKey(field, F::kEnter, "", s);
        EXPECT_EQ(verdict.action, Action::MoveFocus) << F::controlName(field);
        return verdict.focus;
    };
    const HeaderSettings oneSided = settings(false);
    HeaderField field = HeaderField::Tipo;
    std::vector<std::string_view> order;
    for (int i = 0; i < 13; ++i) {
        order.push_back(F::controlName(field));
        field = enter(field, oneSided);
    }
    const std::vector<std::string_view> expected = {
        "Tipo", "Taglia", "Parte", "Densita", "CostinaDx", "ScolloDx", "AltezzaBordo",
        "AghiCm", "RanghiCm", "Predisposizione", "Note1", "Note2", "Note3"};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(field, HeaderField::Tipo);

    const HeaderSettings twoSided = settings(true, true, true);
    EXPECT_EQ(enter(HeaderField::Parte, twoSided), HeaderField::IngombroPettini);
    EXPECT_EQ(enter(HeaderField::IngombroPettini, twoSided), HeaderField::Densita);
    EXPECT_EQ(enter(HeaderField::CostinaDx, twoSided), HeaderField::CostinaSx);
    EXPECT_EQ(enter(HeaderField::CostinaSx, twoSided), HeaderField::ScolloDx);
    EXPECT_EQ(enter(HeaderField::ScolloDx, twoSided), HeaderField::ScolloSx);
    EXPECT_EQ(enter(HeaderField::ScolloSx, twoSided), HeaderField::AltezzaBordo);
    EXPECT_EQ(enter(HeaderField::Predisposizione_2, twoSided), HeaderField::Note1);
}

TEST(HeaderFields, EmptiedFieldsFallBackOnLeaving)
{
    const HeaderSettings s = settings();
    EXPECT_EQ(F::textOnLeaving(HeaderField::CostinaSx, "", s), "100");
    EXPECT_EQ(F::textOnLeaving(HeaderField::ScolloDx, "  ", s), "1");
    EXPECT_EQ(F::textOnLeaving(HeaderField::IngombroPettini, "", s), "40");
    EXPECT_EQ(F::textOnLeaving(HeaderField::IngombroPettini, "", settings(false)), std::nullopt);
    EXPECT_EQ(F::textOnLeaving(HeaderField::CostinaDx, "8", s), std::nullopt);
    EXPECT_EQ(F::textOnLeaving(HeaderField::AghiCm, "", s), std::nullopt);
    EXPECT_TRUE(F::replaysOnLeaving(HeaderField::ScolloSx));
    EXPECT_FALSE(F::replaysOnLeaving(HeaderField::Tipo));
    EXPECT_TRUE(F::replaysOnKeyRelease(HeaderField::RanghiCm, s));
    EXPECT_FALSE(F::replaysOnKeyRelease(HeaderField::IngombroPettini, settings(false)));
}

TEST(HeaderFields, CombClearanceTurnsRedAwayFromTheDefault)
{
    const HeaderSettings s = settings();
    EXPECT_EQ(F::combClearanceColour("40", s), rgb(0, 0, 0));
    EXPECT_EQ(F::combClearanceColour("41", s), rgb(255, 0, 0));
    EXPECT_EQ(F::combClearanceColour("", s), std::nullopt);
}

TEST(HeaderFields, CentimetreToolTips)
{
    EXPECT_EQ(F::toolTip(HeaderField::CostinaDx, "100", "4", ','), "25,00 cm");
    EXPECT_EQ(F::toolTip(HeaderField::Frontura, "320", "3,2", '.'), "100.00 cm");
    EXPECT_EQ(F::toolTip(HeaderField::ScolloSx, "10", "0", '.'), "");
    EXPECT_EQ(F::toolTip(HeaderField::CostinaSx, "10", "", '.'), "");
    EXPECT_EQ(F::toolTip(HeaderField::Tipo, "10", "4", '.'), "");
}

TEST(HeaderFields, SystemDecimalSeparatorFollowsTheLocale)
{
    EXPECT_EQ(Measures::systemDecimalSeparator(), '.');  // the "C" locale of a test
    if (std::setlocale(LC_NUMERIC, "it_IT.UTF-8") || std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        EXPECT_EQ(Measures::systemDecimalSeparator(), ',');
        std::setlocale(LC_NUMERIC, "C");
    }
}

TEST(HeaderFields, SetupModeFromTheField)
{
    EXPECT_EQ(F::setupModeOnKeyRelease('2', "2"), 2);
    EXPECT_EQ(F::setupModeOnKeyRelease(F::kBackspace, "3"), 3);
    EXPECT_EQ(F::setupModeOnKeyRelease(F::kBackspace, ""), std::nullopt);
    EXPECT_EQ(F::setupModeOnKeyRelease('.', "."), std::nullopt);   // no mode 0
    EXPECT_EQ(F::setupModeOnKeyRelease('2', "12"), std::nullopt);  // nor 12
    EXPECT_EQ(F::setupModeOnKeyRelease('x', "1"), std::nullopt);
}

TEST(HeaderFields, ConfirmingTheSetup)
{
    const std::vector<std::string> plain = {"definizione  ALTRO", "liscio"};
    const std::vector<std::string> leftSide = {"definizione  LATO SINISTRO", "scollo      1s"};

    auto one = F::confirmSetup("1", 2, plain, 3);
    EXPECT_FALSE(one.refused);
    EXPECT_TRUE(one.clearError);
    EXPECT_EQ(one.mode, 1);
    EXPECT_EQ(one.leftRibVisible, false);
    EXPECT_EQ(one.leftNecklineVisible, false);

    // A set-up without left side is undone while a row speaks of it.
    auto undone = F::confirmSetup("1", 2, leftSide, 0);
    EXPECT_TRUE(undone.refused);
    EXPECT_FALSE(undone.clearError);
    EXPECT_EQ(undone.fieldText, "2");
    EXPECT_EQ(undone.mode, 2);
    EXPECT_EQ(undone.leftRibVisible, true);

    // Mode 2 shows the left fields the set-up options leave free.
    auto two = F::confirmSetup("2", 1, leftSide, 1);
    EXPECT_EQ(two.mode, 2);
    EXPECT_EQ(two.leftRibVisible, true);
    EXPECT_EQ(two.leftNecklineVisible, std::nullopt);
    EXPECT_EQ(F::confirmSetup("2", 1, plain, 3).leftRibVisible, std::nullopt);

    // A field that holds no set-up mode gets the current one back.
    auto blank = F::confirmSetup(".", 3, plain, 3);
    EXPECT_EQ(blank.mode, 3);
    EXPECT_EQ(blank.fieldText, "3");
}

class HeaderSpinnerTest : public ::testing::Test
{
protected:
    // Holds the label for ms, then releases; returns the field's text.
    std::string hold(HeaderSpinner::Label label, int button, std::string text, std::int64_t ms,
                     const HeaderSettings &s = settings())
    {
        m_beeps = m_replays = 0;
        if (!m_spinner.press(label, button, s))
            return text;
        auto apply = [&](const HeaderSpinner::Step &step) {
            if (step.text)
                text = *step.text;
            m_beeps += step.beep;
            m_replays += step.replay;
        };
        m_clock.advance(ms, [this]() -> const WindowTimer & { return m_spinner.timer(); },
                        [&] { apply(m_spinner.Timer3_Timer(text)); });
        apply(m_spinner.release(text));
        return text;
    }

    FakeClock m_clock;
    HeaderSpinner m_spinner{m_clock.clock()};
    int m_beeps = 0;
    int m_replays = 0;
};

TEST_F(HeaderSpinnerTest, ShortClicksStepByOneWithinTheLimits)
{
    using L = HeaderSpinner::Label;
    EXPECT_EQ(hold(L::CDx, 1, "100", 100), "101");
    EXPECT_EQ(m_replays, 1);
    EXPECT_EQ(hold(L::Label7, 2, "5", 100), "4");
    EXPECT_EQ(hold(L::SSx, 2, "1", 100), "1");
    EXPECT_EQ(m_beeps, 1);
    EXPECT_EQ(m_replays, 0);
    EXPECT_EQ(hold(L::CSx, 1, "999", 100), "999");
    EXPECT_EQ(m_beeps, 1);
    EXPECT_EQ(hold(L::Label8, 1, "98", 100), "99");
    EXPECT_EQ(hold(L::Label8, 1, "99", 100), "99");
    EXPECT_EQ(m_beeps, 1);
    EXPECT_EQ(HeaderSpinner::fieldOf(L::Label6), HeaderField::CostinaDx);
    EXPECT_EQ(HeaderSpinner::hintKey(L::Label8), "IngombroPettini_Label");
}

TEST_F(HeaderSpinnerTest, HoldingStepsByFiveAndStopsAtTheLimit)
{
    using L = HeaderSpinner::Label;
    EXPECT_EQ(hold(L::CDx, 1, "100", 750), "115");  // 500, 600, 700 ms
    EXPECT_EQ(m_replays, 3);
    EXPECT_EQ(hold(L::CDx, 1, "990", 1000), "995");  // one repeat, then it stops
    EXPECT_FALSE(m_spinner.timer().isRunning());
    EXPECT_EQ(hold(L::SDx, 2, "12", 1000), "2");
    // A repeat that stops at once still counts as held: the release adds nothing.
    EXPECT_EQ(hold(L::CDx, 1, "996", 600), "996");
    EXPECT_EQ(m_beeps, 0);
    // The comb clearance repeats only as far as its two digits reach.
    EXPECT_EQ(hold(L::Label8, 1, "90", 1000), "95");
    EXPECT_EQ(hold(L::Label8, 1, "94", 1000), "99");
    EXPECT_EQ(hold(L::Label8, 1, "40", 1000, settings(false)), "40");
}

} // namespace
