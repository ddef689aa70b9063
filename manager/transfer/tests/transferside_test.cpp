// The transfer on the manager's main window, with a folder listed as a drive
// standing in for a USB stick and one standing in for the floppy.
#include "transfer/diskimage.h"
#include "transfer/window/transferside.h"
#include "window/managerwindow.h"
#include "window/panellistwidget.h"

#include "transfertesting.h"

#include <kn4/testapplication.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>

namespace kn4::manager {
namespace {

namespace fs = std::filesystem;
using kn4::testing::readFile;

// Clicks a button of the next message box as soon as it opens.
void answer(QMessageBox::StandardButton button)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, button] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            box->button(button)->click();
        }
    });
    timer->start();
}

// Clicks OK on each of the next message boxes as they open, keeping their texts.
void answerAll(int boxes, QStringList *texts)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, boxes, texts] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box->property("answered").toBool())
            return;
        box->setProperty("answered", true);
        texts->append(box->text());
        if (texts->size() == boxes) {
            timer->stop();
            timer->deleteLater();
        }
        box->button(QMessageBox::Ok)->click();
    });
    timer->start();
}

class TransferSideTest : public kn4::testing::TransferTest
{
protected:
    void SetUp() override
    {
        TransferTest::SetUp();
        kn4::testing::ensureApplication();
        const fs::path data = fs::path(KN4_SOURCE_DIR) / "data";
        m_program = m_dir / "programma";
        for (const char *folder : {"archivi/DEMO", "dischi/PROVA", "italiano", "p_lince", "P_VOLPE"})
            fs::create_directories(m_program / folder);
        for (const char *file : {"kn4manager.ini", "lingua.ini"})
            fs::copy_file(data / "root" / file, m_program / file);
        for (const char *file : {"p_lince/LINCE40.EXE", "P_VOLPE/PORTALE.EXE", "P_VOLPE/VOLPE10.EXE"})
            fs::copy_file(data / file, m_program / file);
        // The sample panels as the build compiled them.
        const fs::path demo = fs::path(KN4_PROGRAM_DIR) / "archivi/DEMO";
        for (const char *panel : {"DAVANTI.KN4", "DIETRO.KN4", "MANICA.KN4"}) {
            fs::copy_file(demo / panel, m_program / "archivi/DEMO" / panel);
            fs::copy_file(demo / panel, m_program / "dischi/PROVA" / panel);
        }
        fs::create_directories(m_dir / "chiave/maglie/INVERNO");
        fs::create_directories(m_dir / "chiave/immagini");
        put("floppy/DAVANTI.KN4", "panel");
        put("programma/unita.ini", "unita=" + (m_dir / "chiave").string() + "\r\nfloppy="
                                       + (m_dir / "floppy").string() + "\r\n");

        ManagerContext context;
        context.programDirectory = m_program;
        ASSERT_EQ(context.files.load(m_program), "");
        m_window = std::make_unique<ManagerWindow>(std::move(context));
        m_transfer = new TransferSide(m_window.get());
    }

    template<typename T>
    T *child(const char *name) const
    {
        T *widget = m_window->findChild<T *>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void chooseMode(const char *entry) { child<QAction>(entry)->trigger(); }
    QString text1() const { return child<QPlainTextEdit>("Text1")->toPlainText(); }

    fs::path m_program;
    std::unique_ptr<ManagerWindow> m_window;
    TransferSide *m_transfer = nullptr;
};

TEST_F(TransferSideTest, LinceShowsTheFloppyAndChecksIt)
{
    chooseMode("Lince");
    EXPECT_FALSE(child<QMenu>("USB")->menuAction()->isVisible());
    EXPECT_TRUE(child<QMenu>("floppy")->menuAction()->isVisible());
    EXPECT_EQ(child<QComboBox>("diskFolders")->currentText(), "A:");
    EXPECT_EQ(child<PanelListWidget>("List2")->count(), 1);
    child<QAction>("FSel")->trigger();
    EXPECT_TRUE(text1().contains("Motore.exe  \navvio.exe  ")) << text1().toStdString();
}

TEST_F(TransferSideTest, VolpeFindsTheStickAndCopiesOntoItsDisk)
{
    chooseMode("Volpe");
    EXPECT_TRUE(child<QMenu>("USB")->menuAction()->isVisible());
    EXPECT_TRUE(child<QAction>("cambioVolpe")->isVisible());
    EXPECT_EQ(child<QComboBox>("diskFolders")->currentText(), "INVERNO");
    m_window->copyPanels({QString::fromStdString((m_program / "archivi/DEMO/DAVANTI.KN4").string())},
                         ManagerWindow::Side::Disk);
    EXPECT_EQ(readFile(m_dir / "chiave/maglie/INVERNO/DAVANTI.KN4"),
              readFile(m_program / "archivi/DEMO/DAVANTI.KN4"));
    child<QAction>("cambioVolpe")->trigger();
    EXPECT_TRUE(text1().startsWith("PORTALE.EXE OK\nPLC = VOLPE10.EXE OK")) << text1().toStdString();

    // Orsa: the stick has no orsa/ folder, so there is no disk.
    chooseMode("orsa");
    EXPECT_EQ(child<QComboBox>("diskFolders")->count(), 0);
}

TEST_F(TransferSideTest, EmulatorBuildsAndDeletesAnImage)
{
    // A panel without compiled code on the disk: no image, and the message
    // names it.
    fs::copy_file(fs::path(KN4_SOURCE_DIR) / "data/archivi/DEMO/RIGHE.KN4", m_program / "dischi/PROVA/RIGHE.KN4");
    chooseMode("Emu");
    child<QComboBox>("diskFolders")->setCurrentText("PROVA");
    ASSERT_EQ(child<PanelListWidget>("List2")->count(), 4);
    child<QComboBox>("Combo2")->setCurrentText("disco1");
    QStringList refused;
    answerAll(1, &refused);
    child<QPushButton>("Command4")->click();
    ASSERT_EQ(refused.size(), 1);
    EXPECT_TRUE(refused[0].startsWith("Il pannello RIGHE non ha il programma compilato")) << refused[0].toStdString();
    EXPECT_FALSE(fs::exists(m_dir / "chiave/immagini/DISCO1.vlp"));

    fs::remove(m_program / "dischi/PROVA/RIGHE.KN4");
    m_window->AggiornaDischi();
    answer(QMessageBox::Ok);
    child<QPushButton>("Command4")->click();
    const std::string image = readFile(m_dir / "chiave/immagini/DISCO1.vlp");
    const auto report = kn4::transfer::image::check(image);
    EXPECT_TRUE(report.sound());
    EXPECT_EQ(report.entries.size(), 4u);
    EXPECT_TRUE(text1().contains("FAT - DIR - BOOT - OK\nByte  = " + QString::number(image.size())
                                 + "\nNomi nel disco: \n  LINCE40.EXE\n  DAVANTI.KN4\n"))
        << text1().toStdString();
    auto *list3 = child<PanelListWidget>("List3");
    ASSERT_EQ(list3->count(), 1);
    list3->setCurrentRow(0);
    answer(QMessageBox::Ok);
    child<QPushButton>("Command6")->click();
    EXPECT_FALSE(fs::exists(m_dir / "chiave/immagini/DISCO1.vlp"));
    EXPECT_EQ(list3->count(), 0);
}

TEST_F(TransferSideTest, EnglishChosenTheMenusAndTheFloppyCheckReadEnglish)
{
    // A controller program older than the program directory's.
    const fs::path plc = put("floppy/LINCE40.EXE", "plc");
    fs::last_write_time(plc, fs::last_write_time(m_program / "p_lince/LINCE40.EXE") - std::chrono::hours(48));
    chooseMode("Lince");
    m_window->context().files.settings.language = Language::English;
    m_window->applyTexts();
    EXPECT_EQ(child<QMenu>("floppy")->title(), "Floppy");
    EXPECT_EQ(child<QAction>("FSel")->text(), "Floppy check");
    EXPECT_EQ(child<QAction>("formatv")->text(), "Quick format");
    EXPECT_EQ(child<QAction>("cambioVolpe")->text(), "Change Volpe PLC");
    EXPECT_EQ(child<QPushButton>("Command4")->text(), "Build image");
    EXPECT_TRUE(child<QLabel>("driveCaption")->text().startsWith("Floppy: "));
    child<QComboBox>("Combo3")->setCurrentText("LINCE40.EXE");
    child<QAction>("FSel")->trigger();
    EXPECT_TRUE(text1().startsWith("Floppy check ")) << text1().toStdString();
    EXPECT_TRUE(text1().contains("\nPLC on disk = LINCE40.EXE\nPLC date = ")) << text1().toStdString();
    EXPECT_TRUE(text1().endsWith("\nPLC LINCE40.EXE not up to date")) << text1().toStdString();
    // The transfer's refusals that name the floppy or the image.
    QStringList boxes;
    answerAll(2, &boxes);
    child<QAction>("formatv")->trigger();
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[1], "The floppy in " + QString::fromStdString((m_dir / "floppy").string())
                            + " is not a device that can be formatted");
    chooseMode("Emu");
    child<QComboBox>("diskFolders")->setCurrentText("PROVA");
    child<QComboBox>("Combo2")->setCurrentText("disco1");
    answer(QMessageBox::Ok);
    child<QPushButton>("Command4")->click();
    fs::remove(m_dir / "chiave/immagini/DISCO1.vlp");
    auto *list3 = child<PanelListWidget>("List3");
    ASSERT_EQ(list3->count(), 1);
    list3->setCurrentRow(0);
    const QString image = list3->item(0)->text();
    boxes.clear();
    answerAll(2, &boxes);
    child<QPushButton>("Command6")->click();
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[1], "Image " + image + " not found");
}

} // namespace
} // namespace kn4::manager
