// Every file the suite writes, written onto a disk that fills up half-way:
// each save fails, the old file stays byte for byte, and no temporary file
// is left behind. The full disk comes through the shared writer's write
// seam: the first bytes go to the disk, then every write fails with ENOSPC.
#include "core/managersettings.h"
#include "core/panelfiles.h"
#include "managertestdir.h"
#include "transfer/imagefile.h"
#include "transfer/machinefiles.h"
#include "transfer/mediafiles.h"
#include "window/managerwindow.h"
#include "window/settingswindow.h"

#include <document/palettecodec.h>
#include <document/panelwriter.h>
#include <printoutput.h>
#include <simulator/simsettings.h>

#include <kn4/atomicfile.h>
#include <kn4/testapplication.h>

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <map>
#include <unistd.h>

namespace kn4::manager {
namespace {

namespace fs = std::filesystem;
using kn4::testing::readFile;
using kn4::testing::writeFile;

// Bytes the disk still takes before it is full.
std::size_t g_room = 0;

ssize_t fillingDisk(int fd, const void *data, std::size_t size)
{
    if (g_room == 0) {
        errno = ENOSPC;
        return -1;
    }
    const std::size_t n = std::min(size, g_room);
    const ssize_t written = ::write(fd, data, n);
    if (written > 0)
        g_room -= std::size_t(written);
    return written;
}

// Answers OK to every message box that opens during the next seconds (the
// window's own failure notices).
void closeMessageBoxes()
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Ok)->click();
    });
    QTimer::singleShot(3000, timer, &QObject::deleteLater);
    timer->start();
}

class SaveFaultTest : public ::testing::Test
{
protected:
    void SetUp() override { kn4::testing::ensureApplication(); }
    void TearDown() override { AtomicFileWriter::setWriteFunctionForTesting(nullptr); }

    // Runs a save onto a disk with room for two bytes; the save must report
    // failure and the folder must hold exactly what it held before.
    void saveOnFullDisk(const char *what, const fs::path &folder, const std::function<bool()> &save)
    {
        SCOPED_TRACE(what);
        std::map<std::string, std::string> before;
        for (const auto &entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
                before[entry.path().string()] = readFile(entry.path());
        g_room = 2;
        AtomicFileWriter::setWriteFunctionForTesting(fillingDisk);
        const bool saved = save();
        AtomicFileWriter::setWriteFunctionForTesting(nullptr);
        EXPECT_FALSE(saved);
        std::map<std::string, std::string> after;
        for (const auto &entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
                after[entry.path().string()] = readFile(entry.path());
        for (const auto &[path, bytes] : after)
            EXPECT_TRUE(before.count(path) && before.at(path) == bytes) << path << " changed or appeared";
        for (const auto &[path, bytes] : before)
            EXPECT_TRUE(after.count(path)) << path << " is gone";
    }

    testing::TemporaryProgramDirectory m_dir{"savefaults"};
};

TEST_F(SaveFaultTest, EverySaveOfEveryProgramKeepsTheOldFile)
{
    const fs::path program = m_dir.path();
    const fs::path demo = fs::path(KN4_PROGRAM_DIR) / "archivi/DEMO";
    for (const char *panel : {"DAVANTI.KN4", "DIETRO.KN4"})
        fs::copy_file(demo / panel, m_dir.archive() / panel);
    fs::create_directories(program / "dischi/USB1");
    writeFile(program / "dischi/USB1/DAVANTI.KN4", "the disk's old panel");
    for (const char *file : {"kn4manager.ini", "lingua.ini"})
        fs::copy_file(fs::path(KN4_SOURCE_DIR) / "data/root" / file, program / file);
    writeFile(program / "kn4manager.sav", " 1\r\n");
    writeFile(program / "simulatore.sav", "the simulator's old settings\r\n");
    writeFile(program / "italiano/VUZUDO.KEY", "LISCIO ; old\r\n");
    writeFile(program / "stampa.pdf", "%PDF old");
    fs::create_directories(program / "p_lince");
    writeFile(program / "p_lince/PLC1.EXE", "controller program");
    fs::create_directories(program / "immagini");
    writeFile(program / "immagini/DISCO1.vlp", "old image");
    std::string error;

    saveOnFullDisk("editor save", m_dir.archive(), [&] {
        editor::PanelModel panel;
        panel.rows = {"liscio"};
        return editor::PanelWriter::write(m_dir.archive() / "DAVANTI.KN4", panel, editor::paletteColourCodec(),
                                          &error);
    });
    saveOnFullDisk("simulatore.sav", program, [&] {
        return SimSettingsFile::save(program / "simulatore.sav", SimSettings(), &error);
    });
    saveOnFullDisk("kn4manager.ini", program, [&] {
        ManagerSettings settings;
        settings.controllerPrograms = {"PLC1.EXE"};
        return settings.save(program / "kn4manager.ini", error);
    });
    saveOnFullDisk("kn4manager.sav", program, [&] { return saveMode(program / "kn4manager.sav", 3, error); });
    saveOnFullDisk("copy onto a disk", program, [&] {
        return copyPanel(m_dir.archive() / "DAVANTI.KN4", program / "dischi/USB1", [](const std::string &) {
                   return true;
               }).copied();
    });
    saveOnFullDisk("PLC onto a floppy", program, [&] {
        return transfer::cambio(program / "dischi/USB1", program, "PLC1.EXE", {"PLC1.EXE"}).ok;
    });
    saveOnFullDisk("image build", program, [&] {
        transfer::ImageJob job;
        job.imagesFolder = program / "immagini";
        job.name = "DISCO1";
        job.controllerProgram = program / "p_lince/PLC1.EXE";
        job.panels = {m_dir.archive() / "DAVANTI.KN4", m_dir.archive() / "DIETRO.KN4"};
        return transfer::buildImageFile(job).ok;
    });
    saveOnFullDisk("stampa's PDF", program, [&] {
        QString pdfError;
        return PrintOutput::writePdf(QString::fromStdString((program / "stampa.pdf").string()), "DAVANTI",
                                     {PrintPage()}, &pdfError);
    });
    saveOnFullDisk("VUZUDO.KEY", program, [&] {
        ManagerContext context;
        context.programDirectory = program;
        EXPECT_EQ(context.files.load(program), "");
        context.lookup = [](std::string_view) { return 4; };
        SettingsWindow settings(context);
        settings.showKeywordFile(true);
        settings.findChild<QPlainTextEdit *>("Text1")->setPlainText("LISCIO ; new\n");
        closeMessageBoxes();
        const bool saved = settings.saveKeywordFile();
        settings.findChild<QPlainTextEdit *>("Text1")->document()->setModified(false);
        return saved;
    });
}

} // namespace
} // namespace kn4::manager
