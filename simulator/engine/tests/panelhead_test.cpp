#include "simulator/knitengine.h"
#include "simulator/panelhead.h"

#include <gtest/gtest.h>

using namespace kn4;

namespace {

struct Source
{
    std::string type = "tipo GIROC, taglia 48,parte DAVANTI---  ";
    std::string measures = ";Alt.bordo 6----Ag.cm 3----Ran.cm 4.5-- ";
    std::string notes[3] = {";Girocollo uomo", ";Filato: lana", ";"};
    std::string colours = "lGFjYnKM";

    std::string text() const
    {
        std::string s = type + "\r\nfrontura 200, densita 13.5----\r\ncostina 80\r\nscollo    1\r\n" + measures +
                        "\r\npredisposizione 1\r\nuscita 1\r\n";
        for (const std::string &note : notes)
            s += note + "\r\n";
        return s + "; --- Inizio programma ;" + colours +
               "\r\ndefinizione PROFILO ESTERNO\r\nliscio         , 148 , 1   ;\r\n";
    }
};

const std::string kHeader = "GIROC 48 DAVANTI---,200D,13.5----,1,80D 80S,1D 1S,311,282";

std::string compiled(const std::string &header, const std::string &code, const Source &source = Source())
{
    return header + '\x1a' + code + "\r\nSORGENTE.KN4\r\n" + source.text();
}

} // namespace

// Each value is the whole number at its place, whatever its width.
TEST(PanelHead, ReadsTheWholeNumberAtEachPlaceOfTheHeaderLine)
{
    struct Case
    {
        std::string header;
        std::int32_t setup, ribRight, ribLeft, neckRight, neckLeft, steps, courses;
    };
    const Case cases[] = {
        {kHeader, 1, 80, 80, 1, 1, 311, 282},
        {"AB--- 44 DAVANTI---,120D,12------,2,5D 5S,20D 120S,12345,10000", 2, 5, 5, 20, 120, 12345, 10000},
        {"AB--- 44 DAVANTI---,120D,12------,2,1000D 999S,-2D -3S,5,3", 2, 1000, 999, -2, -3, 5, 3},
        {"AB--- 44 DAVANTI---,120D,12------", 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Case &c : cases) {
        const PanelHead head = PanelHead::fromBytes(compiled(c.header, "\x94\x02"));
        ASSERT_TRUE(head.ok()) << c.header;
        EXPECT_EQ(head.setup(), c.setup) << c.header;
        EXPECT_EQ(head.ribRight(), c.ribRight) << c.header;
        EXPECT_EQ(head.ribLeft(), c.ribLeft) << c.header;
        EXPECT_EQ(head.necklineRight(), c.neckRight) << c.header;
        EXPECT_EQ(head.necklineLeft(), c.neckLeft) << c.header;
        EXPECT_EQ(head.steps(), c.steps) << c.header;
        EXPECT_EQ(head.courses(), c.courses) << c.header;
    }
    EXPECT_EQ(PanelHead::fromBytes(compiled(kHeader, "\x94")).density(), "13.5----");
}

TEST(PanelHead, ReadsTheSourceHeaderByItsOwnLineWords)
{
    Source source;
    source.type = "tipo Ag.cm, taglia 48,parte USCITA----  ";
    source.notes[0] = ";uscita Alt.bordo 9 Ag.cm 9 Ran.cm 9 defin";
    source.notes[1] = ";Alt.bordo 9----Ag.cm 9----Ran.cm 9----";
    source.notes[2] = "; --- Inizio programma ;uuuuuuuu";
    const PanelHead head = PanelHead::fromBytes(compiled(kHeader, "\x94", source));
    ASSERT_TRUE(head.ok());
    EXPECT_EQ(head.borderHeight(), 6);
    EXPECT_EQ(head.needlesPerCm(), 3);
    EXPECT_EQ(head.coursesPerCm(), 4.5);
    EXPECT_EQ(head.tail().substr(0, 20), ";uscita Alt.bordo 9 ");
    EXPECT_EQ(head.colourCodes(), "lGFjYnKM");
    EXPECT_EQ(head.codeBlock(), "\x94");
    EXPECT_TRUE(head.hasMeasures());
}

// The head runs to the first definition after the program marker line, so
// a code block of any length is read whole.
TEST(PanelHead, ReadsACodeBlockLongerThan3000Bytes)
{
    std::string code;
    for (int i = 0; i < 2500; ++i)
        code += "\x95\x96";
    const PanelHead head = PanelHead::fromBytes(compiled(kHeader, code));
    ASSERT_TRUE(head.ok());
    EXPECT_EQ(head.codeBlock().size(), 5000u);
    EXPECT_TRUE(head.headText().ends_with("defin"));
    KnitEngine engine;
    engine.setHead(head);
    engine.maglia();
    EXPECT_EQ(engine.state().course, 5001);
}

TEST(PanelHead, TakesEightColourCodesOrNone)
{
    struct Case
    {
        std::string codes;
        bool applied;
    };
    for (const Case &c : {Case{"GHIJKLM", false}, Case{"GHIJKLMNO", true}}) {
        Source source;
        source.colours = c.codes;
        const PanelHead head = PanelHead::fromBytes(compiled(kHeader, "\x94", source));
        std::array<Colour, 8> colours = SimSettings().colours;
        EXPECT_EQ(head.applyColourCodes(colours), c.applied) << c.codes;
        Colour expected = SimSettings().colours[7];
        if (c.applied)
            expected = ColourPalette::cellColour('N' - ColourPalette::kFirstCode);
        EXPECT_EQ(colours[7], expected) << c.codes;
    }
}

TEST(PanelHead, ReadsTheIntarsiaListsOfTheNotes)
{
    Source source;
    source.notes[0] = ";(R,10,20,30) (F,1,2,3,4,5)";
    PanelHead head = PanelHead::fromBytes(compiled(kHeader, "\x94", source));
    head.InizioIntarsio();
    EXPECT_EQ(head.intarsiaR(), (std::vector<std::int32_t>{10, 20, 30}));
    EXPECT_EQ(head.intarsiaF(), (std::vector<std::int32_t>{1, 2, 3, 4}));
    PanelHead plain = PanelHead::fromBytes(compiled(kHeader, "\x94"));
    plain.InizioIntarsio();
    EXPECT_TRUE(plain.intarsiaR().empty());
}

TEST(PanelHead, RefusesWhatCannotBeSimulated)
{
    EXPECT_EQ(PanelHead::fromBytes("SORGENTE.KN4\r\n" + Source().text()).error(), PanelHead::Error::NoSeparator);
    EXPECT_EQ(PanelHead::fromBytes(kHeader + "\x1a\x94\x02").error(), PanelHead::Error::NoMarker);
    // Grave errors: the library writes the header line and no code.
    EXPECT_EQ(PanelHead::fromBytes(compiled(kHeader, "")).error(), PanelHead::Error::NoCode);
    EXPECT_EQ(PanelHead::load("/nonexistent/PANNELLO.KN4").error(), PanelHead::Error::CannotOpen);
    EXPECT_EQ(PanelHead::load("/").error(), PanelHead::Error::CannotOpen);
}
