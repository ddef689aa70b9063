#include "kn4/userdirectory.h"

#include "kn4/testfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

namespace fs = std::filesystem;
using kn4::UserDirectory;
using kn4::testing::readFile;
using kn4::testing::writeFile;

namespace {

class UserDirectoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() /
                 ("kn4user-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_root);
        // An installed suite: programs in lib/kn4, data in share/kn4.
        m_installed = m_root / "usr" / "share" / "kn4";
        for (const char *folder : {"italiano", "inglese", "spagnolo", "archivi/DEMO", "dischi", "p_lince"})
            fs::create_directories(m_installed / folder);
        fs::create_directories(m_root / "usr" / "lib" / "kn4");
        install("inglese/kn4edit.ini", "Insert row\r\n");
        install("italiano/kn4edit.ini", "Inserisci riga\r\n");
        install("lingua.ini", "Archivio_Archive_Archivo\r\n");
        install("kn4manager.ini", "/320/1/30/3/0\r\n");
        install("archivi/DEMO/DAVANTI.KN4", "SORGENTE.KN4\r\n");
        m_user = m_root / "home" / ".local" / "share" / "kn4";
    }
    void TearDown() override { fs::remove_all(m_root); }

    void install(const char *relative, const std::string &bytes) { writeFile(m_installed / relative, bytes); }
    kn4::SeedReport seed() { return UserDirectory::seed(m_installed, m_user); }
    std::string user(const char *relative) { return readFile(m_user / relative); }

    fs::path m_root;
    fs::path m_installed;
    fs::path m_user;
};

TEST_F(UserDirectoryTest, LocationFollowsXdgDataHomeThenHome)
{
    struct Case { const char *xdg; const char *home; const char *expected; };
    const Case cases[] = {
        {"/data", "/home/anna", "/data/kn4"},
        {"relative", "/home/anna", "/home/anna/.local/share/kn4"},  // not absolute: ignored
        {"", "/home/anna", "/home/anna/.local/share/kn4"},
        {nullptr, "/home/anna", "/home/anna/.local/share/kn4"},
        {nullptr, nullptr, ""},
    };
    for (const Case &c : cases) {
        const auto location = UserDirectory::location(c.xdg, c.home);
        EXPECT_EQ(location ? location->string() : "", c.expected) << (c.xdg ? c.xdg : "(unset)");
    }
}

TEST_F(UserDirectoryTest, ABuildRunsInItsProgramDirectoryAnInstalledSuiteInTheUsers)
{
    const fs::path build = m_root / "build" / "bin";
    fs::create_directories(build / "italiano");
    const kn4::ProgramLocations inBuild = UserDirectory::locate(build, nullptr, "/home/anna");
    EXPECT_FALSE(inBuild.perUser());
    EXPECT_EQ(inBuild.programDirectory, build);

    const fs::path programs = m_root / "usr" / "lib" / "kn4";
    const kn4::ProgramLocations installed = UserDirectory::locate(programs, nullptr, "/home/anna");
    EXPECT_TRUE(installed.perUser());
    EXPECT_EQ(installed.binaryDirectory, programs);
    EXPECT_EQ(installed.installedData, fs::weakly_canonical(m_installed));
    EXPECT_EQ(installed.programDirectory, fs::path("/home/anna/.local/share/kn4"));

    fs::create_directories(m_root / "usr" / "bin");
    EXPECT_TRUE(UserDirectory::locate(m_root / "usr" / "bin", nullptr, "/home/anna").perUser());
    // no installed data and no language folders: nothing to move to
    EXPECT_FALSE(UserDirectory::locate(m_root / "elsewhere", nullptr, "/home/anna").perUser());
}

TEST_F(UserDirectoryTest, FirstStartCopiesEverythingAndCreatesTheEmptyFolders)
{
    const kn4::SeedReport report = seed();
    ASSERT_TRUE(report.ok()) << report.error;
    EXPECT_TRUE(report.firstStart);
    EXPECT_EQ(report.copied.size(), 5u);
    EXPECT_TRUE(report.offers.empty());
    EXPECT_EQ(user("inglese/kn4edit.ini"), "Insert row\r\n");
    EXPECT_EQ(user("archivi/DEMO/DAVANTI.KN4"), "SORGENTE.KN4\r\n");
    EXPECT_TRUE(fs::is_directory(m_user / "dischi"));
    EXPECT_TRUE(fs::is_directory(m_user / "p_lince"));
    EXPECT_TRUE(fs::is_directory(m_user / "spagnolo"));
}

TEST_F(UserDirectoryTest, LaterStartsLeaveTheUsersFilesAlone)
{
    ASSERT_TRUE(seed().ok());
    writeFile(m_user / "kn4manager.ini", "/200/1/30/3/1\r\n");
    writeFile(m_user / "italiano/kn4edit.ini", "Aggiungi riga\r\n");
    fs::remove(m_user / "archivi/DEMO/DAVANTI.KN4");
    fs::remove_all(m_user / "dischi");

    const kn4::SeedReport report = seed();
    ASSERT_TRUE(report.ok()) << report.error;
    EXPECT_FALSE(report.firstStart);
    EXPECT_TRUE(report.copied.empty());
    EXPECT_TRUE(report.offers.empty());  // the installed file has not changed
    EXPECT_EQ(user("kn4manager.ini"), "/200/1/30/3/1\r\n");
    EXPECT_EQ(user("italiano/kn4edit.ini"), "Aggiungi riga\r\n");
    EXPECT_FALSE(fs::exists(m_user / "archivi/DEMO/DAVANTI.KN4"));
    EXPECT_TRUE(fs::is_directory(m_user / "dischi"));
}

TEST_F(UserDirectoryTest, MissingSettingsAndLanguageFilesComeBack)
{
    ASSERT_TRUE(seed().ok());
    fs::remove(m_user / "kn4manager.ini");
    fs::remove(m_user / "lingua.ini");
    install("spagnolo/kn4edit.ini", "Insertar fila\r\n");  // a new file of an update

    const kn4::SeedReport report = seed();
    ASSERT_TRUE(report.ok()) << report.error;
    EXPECT_EQ(report.copied.size(), 3u);
    EXPECT_EQ(user("kn4manager.ini"), "/320/1/30/3/0\r\n");
    EXPECT_EQ(user("spagnolo/kn4edit.ini"), "Insertar fila\r\n");
}

TEST_F(UserDirectoryTest, ANewerInstalledLanguageFileIsOfferedNotForced)
{
    ASSERT_TRUE(seed().ok());
    writeFile(m_user / "italiano/kn4edit.ini", "Aggiungi riga\r\n");
    install("italiano/kn4edit.ini", "Inserisci una riga\r\n");
    install("inglese/kn4edit.ini", "Insert a row\r\n");

    kn4::SeedReport report = seed();
    ASSERT_TRUE(report.ok()) << report.error;
    ASSERT_EQ(report.offers.size(), 2u);
    EXPECT_EQ(report.offers[0].relativePath, fs::path("inglese/kn4edit.ini"));
    EXPECT_FALSE(report.offers[0].changedByUser);
    EXPECT_EQ(report.offers[1].relativePath, fs::path("italiano/kn4edit.ini"));
    EXPECT_TRUE(report.offers[1].changedByUser);
    EXPECT_EQ(user("italiano/kn4edit.ini"), "Aggiungi riga\r\n");
    EXPECT_EQ(user("inglese/kn4edit.ini"), "Insert row\r\n");

    // The user takes the English one and keeps their Italian one; neither
    // is offered again.
    ASSERT_TRUE(UserDirectory::acceptOffer(m_installed, m_user, report.offers[0]));
    ASSERT_TRUE(UserDirectory::declineOffer(m_installed, m_user, report.offers[1]));
    EXPECT_EQ(user("inglese/kn4edit.ini"), "Insert a row\r\n");
    EXPECT_EQ(user("italiano/kn4edit.ini"), "Aggiungi riga\r\n");
    report = seed();
    EXPECT_TRUE(report.offers.empty());

    // The next update is offered again.
    install("italiano/kn4edit.ini", "Inserisci riga qui\r\n");
    report = seed();
    ASSERT_EQ(report.offers.size(), 1u);
    EXPECT_TRUE(report.offers[0].changedByUser);
}

TEST_F(UserDirectoryTest, ADirectoryThatCannotBeMadeIsReported)
{
    fs::create_directories(m_user.parent_path());
    writeFile(m_user, "a file where the directory should be");
    const kn4::SeedReport report = seed();
    EXPECT_FALSE(report.ok());
    EXPECT_NE(report.error.find(m_user.string()), std::string::npos);
    EXPECT_FALSE(UserDirectory::seed(m_root / "nothing-installed", m_root / "u").ok());
}

} // namespace
