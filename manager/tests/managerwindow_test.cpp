// The main window on a temporary program directory with stand-in programs
// that write down how they were started.
#include "managertestdir.h"
#include "window/droppicture.h"
#include "window/managerwindow.h"
#include "window/panellistwidget.h"
#include "window/previewview.h"
#include "window/settingswindow.h"

#include <kn4/testapplication.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>

namespace kn4::manager {
namespace {

namespace fs = std::filesystem;
using kn4::testing::readFile;
using kn4::testing::writeFile;

// Acts on the next modal dialog or message box that it can handle (act
// returns true) as soon as it opens.
void onNextModal(std::function<bool(QWidget *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->isVisible() && act(modal)) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

// Clicks a button of the next message box that has it.
void answer(QMessageBox::StandardButton button, QString *text = nullptr)
{
    onNextModal([button, text](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (box == nullptr || box->button(button) == nullptr)
            return false;
        if (text != nullptr)
            *text = box->text();
        box->button(button)->click();
        return true;
    });
}

// A click on an entry of a list, as the user makes it.
void clickItem(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

QStringList lines(const fs::path &file)
{
    return QString::fromStdString(readFile(file)).split('\n', Qt::SkipEmptyParts);
}

// Waits, running the event loop, until the condition holds (at most 10 s).
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

class ManagerWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        kn4::testing::ensureApplication();
        const fs::path data = fs::path(KN4_SOURCE_DIR) / "data";
        for (const char *file : {"kn4manager.ini", "lingua.ini"})
            fs::copy_file(data / "root" / file, m_dir.path() / file);
        // The panels as the build compiled them: only compiled panels go
        // onto a disk.
        for (const char *panel : {"DAVANTI.KN4", "DIETRO.KN4", "MANICA.KN4"})
            fs::copy_file(fs::path(KN4_PROGRAM_DIR) / "archivi/DEMO" / panel, m_dir.archive() / panel);
        fs::create_directories(m_dir.path() / "dischi" / "USB1");
        fs::create_directories(m_dir.path() / "inglese");
        // Each stand-in writes its argument into a log of its own name; the
        // editor also changes the panel it was given.
        m_dir.writeScript("Kn4Edit2", "echo \"$1\" >> log-Kn4Edit2\npanel=${1%%,*}\n"
                                      "printf ';edited\\r\\n' >> \"$panel\"\n");
        m_dir.writeScript("simulatore", "echo \"$1\" >> log-simulatore\n");
        // The print program takes one argument per panel: one per line, and
        // the count of each run in a log of its own.
        m_dir.writeScript("stampa", "printf '%s\\n' \"$@\" >> log-stampa\necho $# >> log-stampa-runs\n");

        ManagerContext context;
        context.programDirectory = m_dir.path();
        ASSERT_EQ(context.files.load(m_dir.path()), "");
        m_window = std::make_unique<ManagerWindow>(std::move(context));
    }

    template<typename T>
    T *child(const char *name) const
    {
        T *widget = m_window->findChild<T *>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString count(const char *label) const { return child<QLabel>(label)->text().trimmed(); }
    void drop(const char *picture, const QStringList &paths)
    {
        std::unique_ptr<QMimeData> data(PanelDrag::toMimeData(paths, "List1"));
        ASSERT_TRUE(child<DropPicture>(picture)->acceptPanels(data.get()));
    }
    QString archived(const char *name) const { return QString::fromStdString((m_dir.archive() / name).string()); }
    fs::path log(const char *program) const { return m_dir.path() / (std::string("log-") + program); }

    testing::TemporaryProgramDirectory m_dir{"window"};
    std::unique_ptr<ManagerWindow> m_window;
};

TEST_F(ManagerWindowTest, ListsAndCountsFollowEveryOperation)
{
    auto *list1 = child<PanelListWidget>("List1");
    auto *list2 = child<PanelListWidget>("List2");
    EXPECT_EQ(child<QComboBox>("Combo1")->currentText(), "DEMO");
    EXPECT_EQ(count("archiveCount"), "N. 3");
    EXPECT_EQ(count("diskCount"), "N. 0");

    // Copy two panels onto the disk.
    list1->item(0)->setSelected(true);
    list1->item(2)->setSelected(true);
    QTest::mouseClick(child<DropPicture>("Image7"), Qt::LeftButton);
    EXPECT_EQ(count("diskCount"), "N. 2");
    EXPECT_EQ(list2->item(1)->text(), "MANICA");

    // Copy one back: it exists, and the answer No keeps it.
    list2->item(0)->setSelected(true);
    answer(QMessageBox::No);
    QTest::mouseClick(child<DropPicture>("Image8"), Qt::LeftButton);
    EXPECT_EQ(count("archiveCount"), "N. 3");

    // Delete the disk's selection after OK: the user works in that list.
    clickItem(list2, 0);
    list2->selectAll();
    answer(QMessageBox::Ok);
    QTest::mouseClick(child<DropPicture>("Image1"), Qt::LeftButton);
    EXPECT_EQ(count("diskCount"), "N. 0");
    EXPECT_EQ(count("archiveCount"), "N. 3");

    // A new archive, typed in lower case, is listed in upper case and chosen.
    onNextModal([](QWidget *dialog) {
        QTest::keyClicks(dialog->findChild<QLineEdit *>("Text1"), "inverno");
        dialog->findChild<QPushButton *>("OKButton")->click();
        return true;
    });
    m_window->newArchive();
    EXPECT_TRUE(fs::is_directory(m_dir.archive("INVERNO")));
    EXPECT_EQ(child<QComboBox>("Combo1")->currentText(), "INVERNO");
    EXPECT_EQ(count("archiveCount"), "N. 0");

    // Deleting it brings the list back to DEMO.
    answer(QMessageBox::Ok);
    m_window->deleteArchive();
    EXPECT_FALSE(fs::exists(m_dir.archive("INVERNO")));
    EXPECT_EQ(child<QComboBox>("Combo1")->count(), 1);
    EXPECT_EQ(count("archiveCount"), "N. 3");
}

TEST_F(ManagerWindowTest, PanelOpenedFromOutsideIsShownInItsArchiveOrCopiedIntoTheCurrentOne)
{
    const fs::path other = m_dir.path() / "archivi" / "Maglie";
    fs::create_directories(other);
    fs::copy_file(m_dir.archive() / "DIETRO.KN4", other / "collo.kn4");
    m_window->showPanel(QString::fromStdString((other / "collo.kn4").string()));
    EXPECT_EQ(child<QComboBox>("Combo1")->currentText(), "MAGLIE");
    EXPECT_EQ(child<PanelListWidget>("List1")->currentItem()->text(), "COLLO");
    EXPECT_EQ(m_window->currentPanel().toStdString(), (other / "collo.kn4").string());

    // From elsewhere: copied into the current archive once the user agrees.
    const fs::path outside = m_dir.path() / "POLSO.KN4";
    fs::copy_file(m_dir.archive() / "MANICA.KN4", outside);
    answer(QMessageBox::Yes);
    m_window->showPanel(QString::fromStdString(outside.string()));
    EXPECT_EQ(readFile(other / "POLSO.KN4"), readFile(outside));
    EXPECT_EQ(child<PanelListWidget>("List1")->currentItem()->text(), "POLSO");
    EXPECT_EQ(m_window->currentPanel().toStdString(), (other / "POLSO.KN4").string());
}

TEST_F(ManagerWindowTest, DropOnEditorStartsItOnAWorkingCopyAndBringsTheChangeBack)
{
    const std::string before = readFile(m_dir.archive() / "DAVANTI.KN4");
    bool finished = false;
    QObject::connect(m_window.get(), &ManagerWindow::editFinished, [&] { finished = true; });
    drop("Image3", {archived("DAVANTI.KN4")});
    EXPECT_TRUE(child<QLabel>("Label2")->text().contains("DAVANTI"));
    ASSERT_TRUE(waitFor([&] { return finished; }));

    const std::string folder = m_dir.path().string() + "/italiano/";
    EXPECT_EQ(lines(log("Kn4Edit2")),
              QStringList{QString::fromStdString((m_dir.path() / "DAVANTI.KN4").string() + "," + folder + "/320/1/30/3/0")});
    EXPECT_EQ(readFile(m_dir.archive() / "DAVANTI.KN4"), before + ";edited\r\n");
    EXPECT_FALSE(fs::exists(m_dir.path() / "DAVANTI.KN4"));
    EXPECT_FALSE(child<QLabel>("Label2")->text().contains("DAVANTI"));
}

TEST_F(ManagerWindowTest, DropOnNewNameCopiesThePanelAndEditsTheCopy)
{
    bool finished = false;
    QObject::connect(m_window.get(), &ManagerWindow::editFinished, [&] { finished = true; });
    onNextModal([](QWidget *dialog) {
        auto *name = dialog->findChild<QLineEdit *>("Text1");
        if (name == nullptr)
            return false;
        EXPECT_EQ(name->text(), "DAVANTI");
        name->setText("davanti2");
        dialog->findChild<QPushButton *>("OKButton")->click();
        return true;
    });
    drop("Image4", {archived("DAVANTI.KN4")});
    EXPECT_EQ(count("archiveCount"), "N. 4");
    ASSERT_TRUE(waitFor([&] { return finished; }));
    EXPECT_TRUE(lines(log("Kn4Edit2")).first().startsWith(QString::fromStdString((m_dir.path() / "DAVANTI2.KN4").string())));
    EXPECT_EQ(readFile(m_dir.archive() / "DAVANTI2.KN4"), readFile(m_dir.archive() / "DAVANTI.KN4") + ";edited\r\n");
}

TEST_F(ManagerWindowTest, DropOnDeleteAsksFirst)
{
    answer(QMessageBox::No);
    drop("Image1", {archived("DIETRO.KN4")});
    EXPECT_TRUE(fs::exists(m_dir.archive() / "DIETRO.KN4"));
    answer(QMessageBox::Yes);
    drop("Image1", {archived("DIETRO.KN4")});
    EXPECT_FALSE(fs::exists(m_dir.archive() / "DIETRO.KN4"));
    EXPECT_EQ(count("archiveCount"), "N. 2");
}

TEST_F(ManagerWindowTest, PrintingThreeSelectedPanelsStartsThePrintProgramOnceForAll)
{
    child<PanelListWidget>("List1")->selectAll();
    QString asked;
    answer(QMessageBox::Ok, &asked);
    QTest::mouseClick(child<DropPicture>("Image9"), Qt::LeftButton);
    EXPECT_EQ(asked, "Stampa  di 3 parti da DEMO");
    ASSERT_TRUE(waitFor([&] { return !lines(log("stampa-runs")).isEmpty(); }));
    EXPECT_EQ(lines(log("stampa-runs")), QStringList{"3"}) << "one print dialog for all three";
    QStringList printed = lines(log("stampa"));
    printed.sort();
    EXPECT_EQ(printed.first(), archived("DAVANTI.KN4") + "," + QString::fromStdString(m_dir.path().string()) + "/italiano/");
}

TEST_F(ManagerWindowTest, ChangingTheLanguageChangesTheFolderOfTheNextProgram)
{
    SettingsWindow settings(m_window->context(), m_window.get());
    QTest::mouseClick(settings.findChild<DropPicture *>("Image7"), Qt::LeftButton);
    EXPECT_EQ(m_window->context().files.settings.language, Language::English);
    drop("Image2", {archived("MANICA.KN4")});
    ASSERT_TRUE(waitFor([&] { return lines(log("simulatore")).size() == 1; }));
    EXPECT_TRUE(lines(log("simulatore")).first().endsWith("/inglese/"));
}

TEST_F(ManagerWindowTest, KeywordFileWithUnknownCommandIsSavedOnlyAfterConfirmation)
{
    const fs::path keywords = m_dir.path() / "italiano" / "vuzudo.key";
    writeFile(keywords, "DEFINIZIONE ; inizio\r\nCALATO ; calato\r\n");
    m_window->context().lookup = [](std::string_view word) { return word == "DEFINIZIONE" ? 0 : word == "CALATO" ? 3 : -1; };
    SettingsWindow settings(m_window->context(), m_window.get());
    settings.showKeywordFile(true);
    auto *editor = settings.findChild<QPlainTextEdit *>("Text1");
    ASSERT_EQ(editor->toPlainText(), "DEFINIZIONE ; inizio\nCALATO ; calato\n");

    editor->setPlainText("DEFINIZIONE ; inizio\nCALATTO ; calato\nLISCIO");
    QString asked;
    answer(QMessageBox::No, &asked);
    EXPECT_FALSE(settings.saveKeywordFile());
    EXPECT_TRUE(asked.contains("CALATTO, LISCIO"));
    EXPECT_EQ(readFile(keywords), "DEFINIZIONE ; inizio\r\nCALATO ; calato\r\n");

    answer(QMessageBox::Yes);
    answer(QMessageBox::Ok);  // the "saved" notice
    EXPECT_TRUE(settings.saveKeywordFile());
    EXPECT_EQ(readFile(keywords), "DEFINIZIONE ; inizio\r\nCALATTO ; calato\r\nLISCIO\r\n");
}

TEST_F(ManagerWindowTest, ClosingWaitsForTheEditorAndSavesTheMode)
{
    m_dir.writeScript("Kn4Edit2", "sleep 1\n");
    bool finished = false;
    QObject::connect(m_window.get(), &ManagerWindow::editFinished, [&] { finished = true; });
    m_window->show();
    m_window->setMode(2);
    drop("Image3", {archived("DAVANTI.KN4")});
    answer(QMessageBox::Ok);
    EXPECT_FALSE(m_window->close());
    EXPECT_FALSE(fs::exists(m_dir.path() / "kn4manager.sav"));

    ASSERT_TRUE(waitFor([&] { return finished; }));
    fs::create_directories(m_dir.path() / "archivi" / "ALTRO");
    m_window->SelArchivio();
    child<QComboBox>("Combo1")->setCurrentText("ALTRO");
    m_window->move(40, 30);
    EXPECT_TRUE(m_window->close());
    // The mode on the first line as ever, then the archive, disk and place.
    const std::string saved = readFile(m_dir.path() / "kn4manager.sav");
    EXPECT_EQ(saved.substr(0, 41), " 2\r\narchivio=ALTRO\r\ndisco=USB1\r\nfinestra=");

    // The next session comes back to them.
    ManagerContext context;
    context.programDirectory = m_dir.path();
    ASSERT_EQ(context.files.load(m_dir.path()), "");
    EXPECT_EQ(context.files.mode, 2);
    ManagerWindow next(std::move(context));
    EXPECT_EQ(next.findChild<QComboBox *>("Combo1")->currentText(), "ALTRO");
    EXPECT_EQ(next.findChild<QComboBox *>("diskFolders")->currentText(), "USB1");
    EXPECT_EQ(next.geometry().size(), m_window->geometry().size());
}

TEST_F(ManagerWindowTest, SecondEditOfAPanelIsRefused)
{
    m_dir.writeScript("Kn4Edit2", "sleep 1\n");
    bool finished = false;
    QObject::connect(m_window.get(), &ManagerWindow::editFinished, [&] { finished = true; });
    drop("Image3", {archived("DAVANTI.KN4")});
    QString warned;
    answer(QMessageBox::Ok, &warned);
    drop("Image3", {archived("DAVANTI.KN4")});
    EXPECT_TRUE(warned.contains("DAVANTI"));
    ASSERT_TRUE(waitFor([&] { return finished; }));
}

// A selection the user cleared stays cleared through a refresh; delete asks
// about the panels of the list the user last clicked, by name.
TEST_F(ManagerWindowTest, DeleteActsOnTheListLastUsedAndNamesThePanels)
{
    auto *list1 = child<PanelListWidget>("List1");
    auto *list2 = child<PanelListWidget>("List2");
    list1->selectAll();
    QTest::mouseClick(child<DropPicture>("Image7"), Qt::LeftButton); // three panels onto the disk
    ASSERT_EQ(list2->count(), 3);

    clickItem(list1, 1);
    list1->clearSelection();
    m_window->findChild<QAction *>("aggiorna")->trigger();
    EXPECT_TRUE(list1->selectedItems().isEmpty());
    QString asked;
    answer(QMessageBox::Ok, &asked);
    QTest::mouseClick(child<DropPicture>("Image1"), Qt::LeftButton);
    EXPECT_EQ(asked, "Nessun pannello scelto.");

    // The disk's whole selection stands, but the user clicked the archive.
    list2->selectAll();
    clickItem(list1, 1);
    answer(QMessageBox::Cancel, &asked);
    QTest::mouseClick(child<DropPicture>("Image1"), Qt::LeftButton);
    EXPECT_EQ(asked.section("\n\n", 0, 0), "Eliminare il pannello DIETRO da DEMO?");
    clickItem(list2, 0);
    list2->selectAll();
    answer(QMessageBox::Cancel, &asked);
    QTest::mouseClick(child<DropPicture>("Image1"), Qt::LeftButton);
    EXPECT_EQ(asked.section("\n\n", 0, 0), "Eliminare DAVANTI, DIETRO e MANICA da USB1?");
    for (const char *name : {"GONNA.KN4", "POLSO.KN4"})
        fs::copy_file(m_dir.archive() / "DAVANTI.KN4", m_dir.archive() / name);
    m_window->AggiornaArchivi();
    clickItem(list1, 0);
    list1->selectAll();
    answer(QMessageBox::Cancel, &asked);
    QTest::mouseClick(child<DropPicture>("Image1"), Qt::LeftButton);
    EXPECT_EQ(asked.section("\n\n", 0, 0), "Eliminare DAVANTI, DIETRO e altri 3 da DEMO?");
    EXPECT_EQ(list1->count(), 5);
    EXPECT_EQ(list2->count(), 3);
}

// A panel without compiled code never goes onto a disk; the message names it.
TEST_F(ManagerWindowTest, UncompiledPanelIsNotCopiedOntoADisk)
{
    fs::copy_file(fs::path(KN4_SOURCE_DIR) / "data/archivi/DEMO/RIGHE.KN4", m_dir.archive() / "RIGHE.KN4");
    QString told;
    answer(QMessageBox::Ok, &told);
    m_window->copyPanels({archived("RIGHE.KN4"), archived("DIETRO.KN4")}, ManagerWindow::Side::Disk);
    EXPECT_TRUE(told.startsWith("Il pannello RIGHE non ha il programma compilato")) << told.toStdString();
    EXPECT_FALSE(fs::exists(m_dir.path() / "dischi/USB1/RIGHE.KN4"));
    EXPECT_TRUE(fs::exists(m_dir.path() / "dischi/USB1/DIETRO.KN4"));
}

// "Nuovo nome" onto a panel that is being edited would be overwritten by the
// edit's copy back, or overwrite it: refused.
TEST_F(ManagerWindowTest, DuplicateOntoAPanelBeingEditedIsRefused)
{
    m_dir.writeScript("Kn4Edit2", "sleep 1\n");
    bool finished = false;
    QObject::connect(m_window.get(), &ManagerWindow::editFinished, [&] { finished = true; });
    drop("Image3", {archived("DIETRO.KN4")});
    const std::string before = readFile(m_dir.archive() / "DIETRO.KN4");
    onNextModal([](QWidget *dialog) {
        auto *name = dialog->findChild<QLineEdit *>("Text1");
        if (name == nullptr)
            return false;
        name->setText("dietro");
        dialog->findChild<QPushButton *>("OKButton")->click();
        return true;
    });
    QString warned;
    answer(QMessageBox::Ok, &warned);
    m_window->duplicatePanel(archived("DAVANTI.KN4"));
    EXPECT_TRUE(warned.contains("DIETRO")) << warned.toStdString();
    EXPECT_EQ(readFile(m_dir.archive() / "DIETRO.KN4"), before);
    ASSERT_TRUE(waitFor([&] { return finished; }));
}

// A working copy left by a manager that was killed is offered at start-up
// and brought back into its panel.
TEST_F(ManagerWindowTest, LeftoverWorkingCopyIsOfferedAndBroughtBack)
{
    EditOwner dead = EditOwner::thisProcess({});
    dead.pid = 2147483000;
    {
        EditingWatch killed(m_dir.path(), dead);
        writeFile(killed.begin(m_dir.archive() / "MANICA.KN4").workingCopy, "SORGENTE.KN4\r\nrecovered\r\n");
    }
    onNextModal([](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (box == nullptr || box->buttons().size() != 3)
            return false;
        EXPECT_TRUE(box->text().contains("MANICA.KN4"));
        box->buttons().first()->click(); // Riporta
        return true;
    });
    QString told;
    answer(QMessageBox::Ok, &told);
    m_window->offerOrphans();
    EXPECT_EQ(readFile(m_dir.archive() / "MANICA.KN4"), "SORGENTE.KN4\r\nrecovered\r\n");
    EXPECT_TRUE(told.startsWith("La copia di lavoro")) << told.toStdString();
    EXPECT_FALSE(fs::exists(m_dir.path() / "MANICA.KN4"));
}

// Closing the settings window with unsaved changes asks; discarding puts the
// saved settings back, the language too. Empty needles and the hint as a
// PLC name are refused.
TEST_F(ManagerWindowTest, SettingsAskBeforeChangesAreLost)
{
    const std::string saved = readFile(m_dir.path() / "kn4manager.ini");
    {
        SettingsWindow settings(m_window->context(), m_window.get());
        QTest::mouseClick(settings.findChild<DropPicture *>("Image7"), Qt::LeftButton); // English
        QString asked;
        answer(QMessageBox::Cancel, &asked);
        settings.findChild<QPushButton *>("Command2")->click();
        EXPECT_EQ(asked, "The settings have changed and have not been saved. Save them?");
        EXPECT_EQ(m_window->context().files.settings.language, Language::English);
        answer(QMessageBox::Discard);
        settings.findChild<QPushButton *>("Command2")->click();
        EXPECT_EQ(m_window->context().files.settings.language, Language::Italian);
        EXPECT_EQ(readFile(m_dir.path() / "kn4manager.ini"), saved);
    }
    SettingsWindow settings(m_window->context(), m_window.get());
    // Keyword edits not saved: a change of language asks first.
    writeFile(m_dir.path() / "italiano/VUZUDO.KEY", "LISCIO ; a\r\n");
    settings.showKeywordFile(true);
    QTest::keyClicks(settings.findChild<QPlainTextEdit *>("Text1"), "LISCIO ; b");
    QString asked;
    answer(QMessageBox::Cancel, &asked);
    QTest::mouseClick(settings.findChild<DropPicture *>("Image8"), Qt::LeftButton); // Spanish
    EXPECT_EQ(asked, "Il file delle parole chiave \u00E8 cambiato e non \u00E8 stato salvato. Salvarlo?");
    EXPECT_EQ(m_window->context().files.settings.language, Language::Italian);
    settings.findChild<QPlainTextEdit *>("Text1")->document()->setModified(false);

    auto *needles = settings.findChild<QLineEdit *>("Text2");
    needles->clear();
    QTest::keyClick(needles, Qt::Key_Backspace);
    QString warned;
    answer(QMessageBox::Ok, &warned);
    EXPECT_FALSE(settings.saveSettings());
    EXPECT_EQ(warned, "Indicare il numero di aghi della frontura.");
    EXPECT_EQ(readFile(m_dir.path() / "kn4manager.ini"), saved);

    const int controllers = settings.findChild<QListWidget *>("controllerList")->count();
    QTest::mouseClick(settings.findChild<DropPicture *>("Label5"), Qt::LeftButton); // the hint
    answer(QMessageBox::Ok, &warned);
    settings.findChild<QPushButton *>("addController")->click();
    EXPECT_TRUE(warned.startsWith("Scrivere il nome di un PLC valido"));
    EXPECT_EQ(settings.findChild<QListWidget *>("controllerList")->count(), controllers);
    m_window->context().files.settings = ManagerSettings();
    ManagerSettings::load(m_dir.path() / "kn4manager.ini", m_window->context().files.settings);
}

// A click on the simulator's or the editor's picture, or Enter on the list,
// starts the program on the chosen panels with the command line of a drop.
TEST_F(ManagerWindowTest, ClickOnAProgramsPictureLaunchesTheChosenPanelsAsADrop)
{
    drop("Image2", {archived("DIETRO.KN4")});
    auto *list1 = child<PanelListWidget>("List1");
    clickItem(list1, 1);
    QTest::mouseClick(child<DropPicture>("Image2"), Qt::LeftButton);
    // The simulator runs on its own: its log comes when it does.
    ASSERT_TRUE(waitFor([&] { return fs::exists(log("simulatore")) && lines(log("simulatore")).size() == 2; }));
    const QStringList simulated = lines(log("simulatore"));
    ASSERT_EQ(simulated.size(), 2);
    EXPECT_EQ(simulated[1], simulated[0]);

    int finished = 0;
    QObject::connect(m_window.get(), &ManagerWindow::editFinished, [&] { ++finished; });
    drop("Image3", {archived("DIETRO.KN4")});
    ASSERT_TRUE(waitFor([&] { return finished == 1; }));
    QTest::mouseClick(child<DropPicture>("Image3"), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return finished == 2; }));
    clickItem(list1, 1);
    QTest::keyClick(list1, Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return finished == 3; }));
    const QStringList edited = lines(log("Kn4Edit2"));
    ASSERT_EQ(edited.size(), 3);
    EXPECT_EQ(edited[1], edited[0]);
    EXPECT_EQ(edited[2], edited[0]);
    EXPECT_FALSE(child<DropPicture>("Image3")->toolTip().isEmpty());
}

// Types a name into the next name dialog and confirms it.
void typeName(const QString &typed)
{
    onNextModal([typed](QWidget *dialog) {
        auto *name = dialog->findChild<QLineEdit *>("Text1");
        if (name == nullptr)
            return false;
        name->setText(typed);
        dialog->findChild<QPushButton *>("OKButton")->click();
        return true;
    });
}

// "Nuovo pannello": the editor starts a new panel under the name; what it
// saves comes into the archive through the editing watch.
TEST_F(ManagerWindowTest, NewPanelIsStartedInTheEditorAndComesIntoTheArchive)
{
    QString asked;
    typeName("rossi, mario");
    answer(QMessageBox::Ok, &asked);
    m_window->findChild<QAction *>("nuovoPannello")->trigger();
    EXPECT_TRUE(asked.startsWith("Nome non valido"));
    typeName("dietro");
    answer(QMessageBox::Ok, &asked);
    m_window->findChild<QAction *>("nuovoPannello")->trigger();
    EXPECT_EQ(asked, "Il pannello DIETRO esiste già in DEMO.");
    EXPECT_FALSE(fs::exists(log("Kn4Edit2")));

    bool finished = false;
    QObject::connect(m_window.get(), &ManagerWindow::editFinished, [&] { finished = true; });
    typeName("collo");
    m_window->findChild<QAction *>("nuovoPannello")->trigger();
    EXPECT_TRUE(child<QLabel>("Label2")->text().contains("COLLO"));
    ASSERT_TRUE(waitFor([&] { return finished; }));
    EXPECT_TRUE(lines(log("Kn4Edit2")).first().startsWith(QString::fromStdString((m_dir.path() / "COLLO.KN4").string() + ",")));
    EXPECT_EQ(readFile(m_dir.archive() / "COLLO.KN4"), ";edited\r\n");
    EXPECT_EQ(count("archiveCount"), "N. 4");
}

// Chooses an archive and a button in the next "Copia in archivio" dialog.
void chooseArchive(const QString &archive, const char *button)
{
    onNextModal([archive, button](QWidget *dialog) {
        auto *list = dialog->findChild<QListWidget *>("ListaArchivi");
        if (list == nullptr)
            return false;
        list->setCurrentItem(list->findItems(archive, Qt::MatchExactly).value(0));
        dialog->findChild<QPushButton *>(button)->click();
        return true;
    });
}

// Panels copied into another archive (the same replace question as every
// copy), then moved: the source's panel goes to its recycle bin.
TEST_F(ManagerWindowTest, PanelsAreCopiedAndMovedIntoAnotherArchive)
{
    const fs::path other = m_dir.path() / "archivi" / "ALTRO";
    fs::create_directories(other);
    writeFile(other / "DAVANTI.KN4", "other");
    m_window->SelArchivio();
    auto *list1 = child<PanelListWidget>("List1");
    clickItem(list1, 0);
    list1->item(1)->setSelected(true);  // DAVANTI and DIETRO
    QString asked;
    chooseArchive("ALTRO", "Copia");
    answer(QMessageBox::No, &asked);
    m_window->findChild<QAction *>("copiaInArchivio")->trigger();
    EXPECT_EQ(asked, "Il pannello DAVANTI esiste già in ALTRO. Sostituirlo?");
    EXPECT_EQ(readFile(other / "DAVANTI.KN4"), "other");
    EXPECT_EQ(readFile(other / "DIETRO.KN4"), readFile(m_dir.archive() / "DIETRO.KN4"));

    const std::string davanti = readFile(m_dir.archive() / "DAVANTI.KN4");
    chooseArchive("ALTRO", "Sposta");
    answer(QMessageBox::Yes);
    m_window->copyToArchive({archived("DAVANTI.KN4")});
    EXPECT_EQ(readFile(other / "DAVANTI.KN4"), davanti);
    EXPECT_FALSE(fs::exists(m_dir.archive() / "DAVANTI.KN4"));
    EXPECT_EQ(count("archiveCount"), "N. 2");
}

// The preview follows the archive shown: the panel of the same name in the
// archive chosen next, or nothing where there is none.
TEST_F(ManagerWindowTest, PreviewFollowsTheArchiveShown)
{
    const fs::path other = m_dir.path() / "archivi" / "ALTRO";
    fs::create_directories(other);
    fs::create_directories(m_dir.path() / "archivi" / "VUOTO");
    fs::copy_file(m_dir.archive() / "DAVANTI.KN4", other / "DAVANTI.KN4");
    m_window->SelArchivio();
    clickItem(child<PanelListWidget>("List1"), 0);
    const PreviewView *preview = m_window->findChild<PreviewView *>();
    ASSERT_EQ(preview->panelPath(), archived("DAVANTI.KN4"));
    auto *combo = child<QComboBox>("Combo1");
    combo->setCurrentIndex(combo->findText("ALTRO"));
    EXPECT_EQ(preview->panelPath(), QString::fromStdString((other / "DAVANTI.KN4").string()));
    combo->setCurrentIndex(combo->findText("VUOTO"));
    EXPECT_EQ(preview->panelPath(), QString());
}

// Deleted, then restored from the Cestino: the same bytes, in the list again.
TEST_F(ManagerWindowTest, DeletedPanelIsRestoredFromTheRecycleBin)
{
    const std::string bytes = readFile(m_dir.archive() / "MANICA.KN4");
    clickItem(child<PanelListWidget>("List1"), 2);
    answer(QMessageBox::Ok);
    QTest::mouseClick(child<DropPicture>("Image1"), Qt::LeftButton);
    ASSERT_EQ(count("archiveCount"), "N. 2");
    onNextModal([](QWidget *dialog) {
        auto *list = dialog->findChild<QListWidget *>("ListaCestino");
        if (list == nullptr)
            return false;
        EXPECT_TRUE(list->item(0)->text().startsWith("MANICA  (da DEMO"));
        list->item(0)->setSelected(true);
        dialog->findChild<QPushButton *>("Ripristina")->click();
        EXPECT_FALSE(list->isEnabled());  // empty now
        dialog->findChild<QPushButton *>("Chiudi")->click();
        return true;
    });
    m_window->openRecycleBin();
    EXPECT_EQ(readFile(m_dir.archive() / "MANICA.KN4"), bytes);
    EXPECT_EQ(count("archiveCount"), "N. 3");
}

// A copy of many panels names each file as it is written and stops between
// two files when asked: what was written is whole, the rest never started.
TEST_F(ManagerWindowTest, CopyOfManyPanelsShowsProgressAndStopsBetweenFiles)
{
    for (const char *name : {"A.KN4", "B.KN4", "C.KN4"})
        fs::copy_file(m_dir.archive() / "DAVANTI.KN4", m_dir.archive() / name);
    m_window->AggiornaArchivi();
    QString label;
    auto *timer = new QTimer;
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [timer, &label] {
        auto *progress = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
        if (progress == nullptr || progress->objectName() != "progressoCopia")
            return;
        label = progress->labelText();
        progress->cancel();
        timer->stop();
        timer->deleteLater();
    });
    timer->start();
    QString asked;
    answer(QMessageBox::Ok, &asked);
    m_window->copyPanels(child<PanelListWidget>("List1")->allPaths(), ManagerWindow::Side::Disk);
    EXPECT_TRUE(QRegularExpression("^Scrittura di [A-Z]+\\.KN4 \\(\\d di 6\\)$").match(label).hasMatch())
        << label.toStdString();
    const QRegularExpressionMatch stopped = QRegularExpression("^Copia interrotta dopo (\\d) di 6").match(asked);
    ASSERT_TRUE(stopped.hasMatch()) << asked.toStdString();
    EXPECT_EQ(count("diskCount"), "N. " + stopped.captured(1));
    EXPECT_LT(stopped.captured(1).toInt(), 6);
}

} // namespace
} // namespace kn4::manager
