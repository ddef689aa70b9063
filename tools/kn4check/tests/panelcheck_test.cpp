#include "panelcheck.h"

#include "document/tests/documenttesting.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace {

using kn4::check::CheckArguments;
using kn4::check::PanelCheck;
namespace t = kn4::editor::testing;

TEST(CheckArgumentsTest, ReadsOptionsAndPanels)
{
    std::string error;
    auto parsed = CheckArguments::parse({"--lang", "/x/inglese", "--needles", "250", "--marker", "2",
                                         "--comb", "40", "--setup-options", "1", "A.KN4", "B.KN4"},
                                        error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(parsed->folder, "/x/inglese");
    EXPECT_EQ(parsed->numbers, (std::vector<std::string>{"250", "2", "40", "1"}));
    EXPECT_EQ(parsed->panels, (std::vector<std::string>{"A.KN4", "B.KN4"}));

    parsed = CheckArguments::parse({"A.KN4"}, error);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->numbers, (std::vector<std::string>{"320", "1", "30", "3"}));

    for (const std::vector<std::string> &wrong :
         std::vector<std::vector<std::string>>{{}, {"--needles"}, {"--needles", "x1", "A"},
                                               {"--width", "3", "A"}, {"--lang", "/x"}}) {
        error.clear();
        EXPECT_FALSE(CheckArguments::parse(wrong, error));
        EXPECT_FALSE(error.empty());
    }
}

class PanelCheckTest : public t::TempDirTest
{
protected:
    int check(const std::vector<std::string> &arguments)
    {
        std::string error;
        const auto parsed = CheckArguments::parse(arguments, error);
        EXPECT_TRUE(parsed) << error;
        const PanelCheck checker(t::library(), t::programDir(), m_dir);
        m_out.str("");
        m_err.str("");
        return checker.run(*parsed, m_out, m_err);
    }

    std::filesystem::path demo(const char *name) const
    {
        return t::programDir() / "archivi" / "DEMO" / name;
    }

    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(PanelCheckTest, PrintsRowsAndSummaryOfASamplePanel)
{
    EXPECT_EQ(check({demo("DAVANTI.KN4").string()}), PanelCheck::kClean) << m_err.str();
    const std::string out = m_out.str();
    // Rows as the row list shows them: the 66 visible columns, totals filled.
    EXPECT_NE(out.find("\ncalato        2, 2   , 3    .  152  74   1"), std::string::npos) << out;
    EXPECT_NE(out.find("avviso 0, passi programma 282, passi totali 289, carro esterno massimo 80D 80S\n"),
              std::string::npos) << out;
    std::istringstream lines(out);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line) && line.find("avviso") == std::string::npos)
        EXPECT_EQ(line.size(), 66u) << line;
}

TEST_F(PanelCheckTest, CarriageWarningAndUnreadablePanelsSetTheStatus)
{
    std::string text = t::readFile(demo("DAVANTI.KN4"));
    const std::size_t at = text.find("frontura 200");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 12, "frontura 070");
    t::writeFile(m_dir / "STRETTO.KN4", text);
    t::writeFile(m_dir / "VUOTO.KN4", "nessun pannello\r\n");

    EXPECT_EQ(check({"STRETTO.KN4"}), PanelCheck::kCarriageWarning);
    EXPECT_NE(m_out.str().find("Carro est. > frontura"), std::string::npos);
    EXPECT_NE(m_out.str().find("avviso -1,"), std::string::npos);

    EXPECT_EQ(check({"MANCANTE.KN4"}), PanelCheck::kCannotOpen);
    EXPECT_FALSE(m_err.str().empty());
    // The worst status of all panels wins.
    EXPECT_EQ(check({demo("DIETRO.KN4").string(), "STRETTO.KN4", "MANCANTE.KN4"}),
              PanelCheck::kCannotOpen);
    EXPECT_EQ(check({"--lang", (m_dir / "nessuna").string(), "STRETTO.KN4"}), PanelCheck::kCannotOpen);
}

// A front decreased past its centre compiles, but its edges cross: a
// warning of its own.
TEST_F(PanelCheckTest, CrossingEdgesAreAWarning)
{
    std::string text = t::readFile(demo("DAVANTI.KN4"));
    const std::size_t at = text.find("calato        2, 2   , 8   ;");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 28, "calato        2, 2   , 40  ;");
    t::writeFile(m_dir / "INCROCIO.KN4", text);
    EXPECT_EQ(check({"INCROCIO.KN4"}), PanelCheck::kCarriageWarning);
    EXPECT_NE(m_out.str().find("INCROCIO.KN4: avviso 0,"), std::string::npos) << m_out.str();
    EXPECT_NE(m_out.str().find("INCROCIO.KN4: bordi incrociati in 38 ranghi, dal passo 308\n"), std::string::npos)
        << m_out.str();
    EXPECT_NE(m_out.str().find("Bordi incrociati"), std::string::npos);
    EXPECT_EQ(check({demo("DAVANTI.KN4").string()}), PanelCheck::kClean);
    EXPECT_EQ(m_out.str().find("bordi incrociati"), std::string::npos);
}

// What the editor opens, kn4check prints: a panel without marker as the new
// panel the editor starts, an invalid one as far as it was read.
TEST_F(PanelCheckTest, PanelsTheEditorOpensAnywayArePrintedAsItHoldsThem)
{
    std::string text = t::readFile(demo("DAVANTI.KN4"));
    text.replace(text.find("predisposizione 1"), 17, "predisposizione x");
    t::writeFile(m_dir / "ROTTO.KN4", text);
    t::writeFile(m_dir / "VUOTO.KN4", "nessun pannello\r\n");
    const struct
    {
        const char *panel;
        const char *message;
    } cases[] = {
        {"ROTTO.KN4", "ROTTO.KN4: Il file ROTTO.KN4 non è un pannello valido."},
        {"VUOTO.KN4", "VUOTO.KN4: no \"SORGENTE.KN4\" line: the editor starts a new panel"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(check({c.panel}), PanelCheck::kClean) << c.panel;
        EXPECT_NE(m_err.str().find(c.message), std::string::npos) << m_err.str();
        EXPECT_NE(m_out.str().find("\ndefinizione ALTRO"), std::string::npos) << m_out.str();
        EXPECT_NE(m_out.str().find(std::string(c.panel) + ": avviso 0,"), std::string::npos) << m_out.str();
    }
}

TEST_F(PanelCheckTest, ProgramRunsLikeAPerson)
{
    const std::string command = std::string(KN4CHECK_PROGRAM) + " " + demo("MANICA.KN4").string() +
                                " " + demo("RIGHE.KN4").string() + " > " + (m_dir / "out.txt").string();
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string out = t::readFile(m_dir / "out.txt");
    EXPECT_NE(out.find("MANICA.KN4: avviso 0"), std::string::npos) << out;
    EXPECT_NE(out.find("RIGHE.KN4: avviso 0"), std::string::npos) << out;

    const int wrong = std::system((std::string(KN4CHECK_PROGRAM) + " --needles 2>/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(wrong), 2);
}

} // namespace
