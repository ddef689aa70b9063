// Edits asked from outside the manager: a request on its local socket (what
// the simulator's "open in the editor" sends) or --row on its command line
// opens the editor at that row, under the editing watch like every edit.
#include "managertestdir.h"
#include "window/editrequestserver.h"
#include "window/managerwindow.h"

#include <kn4/editrequestclient.h>
#include <kn4/testapplication.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace kn4::manager {
namespace {

namespace fs = std::filesystem;
using kn4::testing::readFile;

bool waitFor(const std::function<bool()> &condition)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return condition();
}

// The asking program runs beside the manager's event loop.
bool sendWhileServing(const fs::path &programDirectory, const EditRequest &request)
{
    std::future<bool> answer = std::async(std::launch::async, [&] {
        return kn4::sendEditRequest(programDirectory, request, 5000);
    });
    waitFor([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    return answer.get();
}

TEST(EditRequestTest, ARequestOnTheSocketEditsThePanelAtItsRowUnderTheWatch)
{
    kn4::testing::ensureApplication();
    testing::TemporaryProgramDirectory dir("editrequest");
    const fs::path data = fs::path(KN4_SOURCE_DIR) / "data";
    for (const char *file : {"kn4manager.ini", "lingua.ini"})
        fs::copy_file(data / "root" / file, dir.path() / file);
    fs::copy_file(data / "archivi/DEMO/DAVANTI.KN4", dir.archive() / "DAVANTI.KN4");
    // The editor stand-in writes down every argument it was given.
    dir.writeScript("Kn4Edit2", "printf '%s|' \"$@\" >> log-Kn4Edit2\necho >> log-Kn4Edit2\n");

    ManagerContext context;
    context.programDirectory = dir.path();
    ASSERT_EQ(context.files.load(dir.path()), "");
    ManagerWindow window(std::move(context));
    bool finished = false;
    QObject::connect(&window, &ManagerWindow::editFinished, [&] { finished = true; });
    EditRequestServer server(dir.path());
    QObject::connect(&server, &EditRequestServer::editRequested, &window, &ManagerWindow::editPanelAt);
    ASSERT_TRUE(server.listen());
    // A second manager of the same directory leaves the requests to the first.
    EXPECT_FALSE(EditRequestServer(dir.path()).listen());

    const fs::path panel = dir.archive() / "DAVANTI.KN4";
    ASSERT_TRUE(sendWhileServing(dir.path(), EditRequest{panel.string(), 19}));
    ASSERT_TRUE(waitFor([&] { return finished; }));
    const std::string log = readFile(dir.path() / "log-Kn4Edit2");
    EXPECT_NE(log.find("|--row|19|"), std::string::npos) << log;
    // The editor ran on the manager's working copy, never on the archive's panel.
    EXPECT_EQ(log.find(panel.string()), std::string::npos) << log;
    EXPECT_TRUE(window.editingWatch().edits().empty());

    // A request that is no request gets no edit.
    finished = false;
    EXPECT_FALSE(sendWhileServing(dir.path(), EditRequest{"", 3}));
    EXPECT_FALSE(sendWhileServing(dir.path() / "elsewhere", EditRequest{panel.string(), 3}));
}

TEST(EditRequestTest, CommandLineTakesTheRow)
{
    const StartArguments a = StartArguments::parse({"/opt/kn4", "/opt/kn4/archivi/DEMO/DAVANTI.KN4", "--row", "19"});
    EXPECT_EQ(a.programDirectory, "/opt/kn4");
    EXPECT_EQ(a.panel, "/opt/kn4/archivi/DEMO/DAVANTI.KN4");
    EXPECT_EQ(a.row, 19);
    EXPECT_EQ(StartArguments::parse({"--row=7", "X.KN4"}).row, 7);
    EXPECT_EQ(StartArguments::parse({"X.KN4"}).row, 0);
    EXPECT_EQ(StartArguments::parse({"X.KN4", "--row"}).programDirectory, "");
}

} // namespace
} // namespace kn4::manager
