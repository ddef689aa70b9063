// The history's "open in the editor" never starts the editor itself: it
// asks the archive manager of the program directory on its socket, or,
// when none answers, starts the manager with the panel and the row.
#include "editorhandover.h"
#include "historywindow.h"
#include "simulatorwindow.h"
#include "windowtestsupport.h"

#include "kn4/editrequest.h"
#include "kn4/testfiles.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPushButton>

#include <gtest/gtest.h>

#include <thread>

namespace {

namespace fs = std::filesystem;
using kn4::simulator::SimulatorWindow;

class EditorHandoverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // A program directory of its own: the manager's socket is named for it.
        m_programDir = m_folder.dir() / "programma";
        fs::create_directories(m_programDir / "italiano");
        for (const char *file : {"simulatore.ini", "VUZUDO.KEY"})
            fs::copy_file(kn4::testing::SimulatorFolder::programDir() / "italiano" / file,
                          m_programDir / "italiano" / file);
        m_startup = m_folder.start(m_folder.panel().string() + "," + (m_programDir / "italiano").string() + "/");
        ASSERT_FALSE(m_startup.ended()) << m_startup.fatalMessage;
        m_window = std::make_unique<SimulatorWindow>(m_startup);
        m_window->setMessageHandler([this](const QString &, const QString &text) { m_messages << text; });
        m_window->setBinaryDirectory(m_folder.dir() / "bin");
        fs::create_directories(m_folder.dir() / "bin");
        // The history at course 4: row 14, "liscio 148".
        std::int64_t riga = -3;
        m_window->DatiRighe(riga);
        ASSERT_EQ(m_window->historyWindow()->rowText(), "riga 14: maglia liscia 148 1");
    }

    kn4::testing::SimulatorFolder m_folder;
    fs::path m_programDir;
    kn4::simulator::SimulatorStartup m_startup;
    std::unique_ptr<SimulatorWindow> m_window;
    QStringList m_messages;
};

TEST_F(EditorHandoverTest, ARunningManagerGetsTheRequestOnItsSocket)
{
    std::string received;
    std::thread manager([&] {
        QLocalServer server;
        const QString name = QString::fromStdString(kn4::EditRequest::serverName(m_programDir));
        QLocalServer::removeServer(name);
        if (!server.listen(name) || !server.waitForNewConnection(5000))
            return;
        QLocalSocket *socket = server.nextPendingConnection();
        while (!socket->canReadLine() && socket->waitForReadyRead(5000)) {
        }
        received = socket->readLine().toStdString();
        socket->write("ok\n");
        socket->waitForBytesWritten(5000);
        socket->waitForDisconnected(5000);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    m_window->historyWindow()->openInEditor()->click();
    manager.join();
    EXPECT_EQ(received, (kn4::EditRequest{m_folder.panel().string(), 14}.toLine()));
    EXPECT_TRUE(m_messages.isEmpty()) << m_messages.join('\n').toStdString();
}

TEST_F(EditorHandoverTest, WithoutAManagerTheManagerIsStartedWithThePanelAndTheRow)
{
    const fs::path log = m_folder.dir() / "kn4manager.log";
    const fs::path manager = m_folder.dir() / "bin" / "kn4manager";
    kn4::testing::writeFile(manager, "#!/bin/sh\nprintf '%s|' \"$@\" > '" + log.string() + "'\n");
    fs::permissions(manager, fs::perms::owner_all, fs::perm_options::add);
    m_window->historyWindow()->openInEditor()->click();
    for (int i = 0; i < 500 && !fs::exists(log); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(kn4::testing::readFile(log), m_programDir.string() + "|" + m_folder.panel().string() + "|--row|14|");

    // No manager to start: the user is told.
    fs::remove(manager);
    m_window->historyWindow()->openInEditor()->click();
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].startsWith("Il gestore degli archivi non si \u00E8 potuto avviare:"));
}

} // namespace
