#include "kn4/libraryclient.h"

#include "kn4/tempfolder.h"
#include "kn4/testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

namespace fs = std::filesystem;
using kn4::LibraryClient;

class LibraryClientTest : public ::testing::Test
{
protected:
    kn4::testing::TempFolder m_folder {"kn4libraryclient"};
    const fs::path m_dir = m_folder.path();
};

TEST_F(LibraryClientTest, AnswersTheThirteenCallsThroughTheProgramDirectoryLibrary)
{
    LibraryClient library;
    ASSERT_TRUE(library.load(KN4_PROGRAM_DIR)) << library.errorMessage();
    EXPECT_EQ(library.file(), fs::path(KN4_PROGRAM_DIR) / LibraryClient::kFileName);
    EXPECT_EQ(library.errorMessage(), "");

    const LibraryClient::Lookup calato = library.CercaFunzione("calato");
    EXPECT_EQ(calato.name, "CALATO");
    EXPECT_EQ(calato.index, 1);
    const LibraryClient::Positions p = library.GetPosizioneParametri(calato.index);
    EXPECT_EQ(std::make_tuple(p.p1First, p.p1Last, p.p2First, p.p2Last), std::make_tuple(13, 14, -1, -1));
    const LibraryClient::Defaults d = library.GetDefault(calato.index);
    EXPECT_EQ(std::make_tuple(d.p1, d.interval), std::make_tuple(" 2", "1"));
    EXPECT_EQ(library.ClickSxP1(calato.index, " 2"), " 1");
    EXPECT_EQ(library.ClickDxRipetizione(calato.index, "1"), "");

    Kn4Simulazione record {2, 0, 1, 0, 0, 0, 0, 0};
    library.SimulaFunzione(calato.index, record);
    EXPECT_EQ(record.bordoSx, -2);
    EXPECT_EQ(record.segno, KN4_MARK_SHAPING_LEFT);

    const LibraryClient::CompileResult compiled =
        library.Compilazione((m_dir / "NONE.KN4").string(), m_dir.string());
    EXPECT_EQ(compiled.code, KN4_NOT_A_SOURCE);
    EXPECT_EQ(compiled.report.rfind("VUZUDO v4.4\r\n", 0), 0u) << compiled.report;
}

// Every mark SimulaFunzione gives is one that kn4edit2.h documents.
TEST_F(LibraryClientTest, EveryMarkIsADocumentedCode)
{
    LibraryClient library;
    ASSERT_TRUE(library.load(KN4_PROGRAM_DIR)) << library.errorMessage();
    const std::set<int> documented = {
        KN4_MARK_NONE, KN4_MARK_STOP, KN4_MARK_SPECIAL_COURSE, KN4_MARK_SHAPING_RIGHT,
        KN4_MARK_SHAPING_LEFT, KN4_MARK_NECKLINE_RIGHT, KN4_MARK_NECKLINE_LEFT, KN4_MARK_CABLE_RIGHT,
        KN4_MARK_CABLE_LEFT, KN4_MARK_CABLE5_RIGHT, KN4_MARK_CABLE5_LEFT, KN4_MARK_COMB_RIGHT,
        KN4_MARK_COMB_LEFT, KN4_MARK_COMB_IN, KN4_MARK_COMB_OUT};
    for (std::int32_t index = -1; index < KN4_COMMANDS; ++index)
        for (std::int32_t p1 = KN4_MARK_STRIPE_FIRST; p1 <= KN4_MARK_STRIPE_LAST; ++p1)
            for (std::int32_t side : {0, 1}) {
                Kn4Simulazione record {p1, 0, side, 0, 0, 0, 0, 0};
                library.SimulaFunzione(index, record);
                const bool stripe = record.segno == p1 && index == library.CercaFunzione("RIGATO").index;
                EXPECT_TRUE(documented.count(record.segno) == 1 || stripe)
                    << "index " << index << " p1 " << p1 << " side " << side << " mark " << record.segno;
            }
}

TEST_F(LibraryClientTest, AFailedLoadNamesTheRealFileAndLeavesNeutralAnswers)
{
    struct Case
    {
        const char *name;
        fs::path folder;
        LibraryClient::Status status;
        const char *reason;
    };
    fs::create_directories(m_dir / "garbage");
    kn4::testing::writeFile(m_dir / "garbage" / LibraryClient::kFileName, "not a library");
    const Case cases[] = {
        {"missing", m_dir, LibraryClient::Status::Missing, "is missing"},
        {"not a library", m_dir / "garbage", LibraryClient::Status::Unloadable, "cannot load"},
        {"lacking exports", KN4_PARTIAL_LIBRARY_DIR, LibraryClient::Status::MissingFunction,
         "has no function GetPosizioneParametri"},
    };
    for (const Case &c : cases) {
        LibraryClient library;
        EXPECT_FALSE(library.load(c.folder)) << c.name;
        EXPECT_EQ(library.status(), c.status) << c.name;
        const std::string message = library.errorMessage();
        EXPECT_NE(message.find((c.folder / LibraryClient::kFileName).string()), std::string::npos) << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;

        Kn4Simulazione record {1, 1, 0, 5, 5, 5, 5, 5};
        library.SimulaFunzione(1, record);
        EXPECT_EQ(record.segno, 5) << c.name;
        EXPECT_EQ(library.CercaFunzione("calato").index, -1) << c.name;
        EXPECT_EQ(library.Compilazione("A.KN4", ".").code, KN4_NOT_A_SOURCE) << c.name;
        EXPECT_EQ(library.compileFunction(), nullptr) << c.name;
    }
}

} // namespace
