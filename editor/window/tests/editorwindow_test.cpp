#include "window/editorwindow.h"

#include "fakecommandlibrary.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "kn4/testapplication.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace kn4::editor;
using kn4::editor::testing::FakeCommandLibrary;

// A keyword file the fake library knows: entries 0, 1, 3, 10 and 29 are
// commands; lines that begin with a digit are slots the tests do not use.
std::string keywordText()
{
    std::string text;
    for (int i = 0; i < 30; ++i) {
        switch (i) {
        case 0: text += "DEFINIZIONE"; break;
        case 1: text += "SCOLLO"; break;
        case 3: text += "CALATO ;ALIAS: calato normale"; break;
        case 10: text += "LISCIO"; break;
        case 29: text += "CICLI"; break;
        default: text += std::to_string(i); break;
        }
        text += "\r\n";
    }
    return text;
}

class EditorWindowTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        kn4::testing::ensureApplication();
    }

    // Opens a window on a definition row followed by `plainRows` plain rows,
    // each numbered in its interval field.
    void open(int plainRows)
    {
        auto loaded = CommandList::fromText(keywordText(), m_library);
        ASSERT_TRUE(loaded.list) << loaded.fatalMessage;
        m_startup.commands = std::move(loaded.list);
        m_startup.panelName = "NUOVO";
        m_panel.rows.push_back(newRow(0, 0));
        for (int i = 1; i <= plainRows; ++i) {
            std::string row = newRow(10, 10);
            RowText::overlay(row, 17, 20, std::to_string(i));
            m_panel.rows.push_back(row);
        }
        m_window = std::make_unique<EditorWindow>(EditorContext{m_library, m_startup, "01/01/2026"});
        m_window->show();
    }

    std::string newRow(int code, int entry)
    {
        return RowText::buildNew(FakeCommandLibrary::names().at(code), code, entry,
                                 m_library.GetPosizioneParametri(code), m_library.GetDefault(code));
    }

    QLabel *riga(int index)
    {
        for (QLabel *label : m_window->findChildren<QLabel *>(QStringLiteral("Riga")))
            if (label->property("index").toInt() == index)
                return label;
        return nullptr;
    }

    QScrollBar *scroll() { return m_window->findChild<QScrollBar *>(QStringLiteral("VScroll")); }
    QListWidget *list() { return m_window->findChild<QListWidget *>(QStringLiteral("ListaComandi")); }
    QAction *menu(const char *name) { return m_window->findChild<QAction *>(QString::fromLatin1(name)); }

    bool isHighlighted(int index)
    {
        QLabel *label = riga(index);
        return label->autoFillBackground() &&
               label->palette().color(QPalette::Window) == QColor(0, 0, 192);
    }

    int highlightedCount()
    {
        int count = 0;
        for (int i = 0; i < 18; ++i)
            count += isHighlighted(i) ? 1 : 0;
        return count;
    }

    void clickRow(int index, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(riga(index), button, {}, QPoint(10, 8));
    }

    void selectListItem(const QString &text)
    {
        const auto items = list()->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << text.toStdString();
        list()->setCurrentItem(items.front());
    }

    FakeCommandLibrary m_library;
    StartupResult m_startup;
    LanguageTable &m_language = m_startup.language;
    PanelModel &m_panel = m_startup.panel;
    CommandLine &m_commandLine = m_startup.commandLine;
    std::unique_ptr<EditorWindow> m_window;
};

TEST_F(EditorWindowTest, ControlsCarryTheirNames)
{
    open(3);
    EXPECT_EQ(m_window->findChildren<QLabel *>(QStringLiteral("Riga")).size(), 18);
    for (const char *name : {"Righe", "VScroll", "ListaComandi", "Picture1", "Tipo", "Frontura",
                             "IngombroPettini", "Note3", "Reset", "lblRanghi", "lblAghi"})
        EXPECT_NE(m_window->findChild<QWidget *>(QString::fromLatin1(name)), nullptr) << name;
    for (const char *name : {"InserisciRiga", "EliminaRiga", "Salva", "Esci", "Informazioni"})
        EXPECT_NE(menu(name), nullptr) << name;
    EXPECT_EQ(m_window->findChildren<QLabel *>(QStringLiteral("Colore")).size(), 8);
    EXPECT_EQ(m_window->windowTitle(), "Kn4Edit - Pannello: NUOVO");
    EXPECT_EQ(m_window->minimumSize(), m_window->maximumSize());
}

TEST_F(EditorWindowTest, RowsAreShownOneColumnPerSevenPixels)
{
    open(3);
    QLabel *row = riga(0);
    EXPECT_EQ(row->height(), 16);
    EXPECT_EQ(riga(1)->y() - row->y(), 16);
    EXPECT_NEAR(QFontMetricsF(row->font()).horizontalAdvance(QStringLiteral("0123456789")), 70.0, 0.5);
    EXPECT_TRUE(row->text().startsWith(QStringLiteral("definizione")));
    EXPECT_EQ(row->text().size(), 66);  // the codes after column 65 stay hidden
    EXPECT_EQ(riga(4)->text(), QString());  // the empty slot
    EXPECT_EQ(list()->count(), 5);
    EXPECT_EQ(list()->item(2)->text(), "calato normale");
}

TEST_F(EditorWindowTest, ClickOnARowHighlightsIt)
{
    open(5);
    clickRow(2);
    EXPECT_TRUE(isHighlighted(2));
    EXPECT_EQ(highlightedCount(), 1);
    EXPECT_EQ(m_window->rowStore().selectedRow(), 2);

    clickRow(4);
    EXPECT_TRUE(isHighlighted(4));
    EXPECT_EQ(highlightedCount(), 1);

    clickRow(9);  // below the rows: nothing selected
    EXPECT_EQ(highlightedCount(), 0);
    EXPECT_EQ(m_window->rowStore().selectedRow(), -1);
}

TEST_F(EditorWindowTest, ScrollingRemovesAndRestoresTheHighlight)
{
    open(40);
    clickRow(3);
    scroll()->setValue(10);
    EXPECT_EQ(m_window->rowStore().topRow(), 10);
    EXPECT_EQ(highlightedCount(), 0);
    EXPECT_EQ(trimBlanks(RowText::field(riga(0)->text().toStdString(), 1)), "10");

    scroll()->setValue(2);
    EXPECT_TRUE(isHighlighted(1));
    EXPECT_EQ(highlightedCount(), 1);
    EXPECT_EQ(scroll()->maximum(), 41 - 17);
}

TEST_F(EditorWindowTest, DoubleClickOnACommandAppendsItAndScrollsToIt)
{
    open(30);
    const auto items = list()->findItems(QStringLiteral("calato normale"), Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    const QRect rect = list()->visualItemRect(items.front());
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rect.center());

    RowStore &rows = m_window->rowStore();
    ASSERT_EQ(rows.rowCount(), 32);
    EXPECT_EQ(RowText::entryIndex(rows.row(31)), 3);
    EXPECT_EQ(scroll()->value(), 32 - 17);
    EXPECT_TRUE(riga(16)->text().startsWith(QStringLiteral("calato")));
    EXPECT_EQ(riga(17)->text(), QString());
    EXPECT_TRUE(list()->selectedItems().isEmpty());
    EXPECT_TRUE(m_window->isModified());
}

TEST_F(EditorWindowTest, MenuInsertPutsTheCommandBeforeTheSelectedRow)
{
    open(8);
    QSignalSpy beeps(m_window.get(), &EditorWindow::beeped);
    clickRow(5);
    menu("InserisciRiga")->trigger();  // no command chosen
    EXPECT_EQ(beeps.count(), 1);

    selectListItem(QStringLiteral("scollo"));
    menu("InserisciRiga")->trigger();
    RowStore &rows = m_window->rowStore();
    EXPECT_EQ(rows.rowCount(), 10);
    EXPECT_EQ(RowText::entryIndex(rows.row(5)), 1);
    EXPECT_EQ(rows.selectedRow(), 6);
    EXPECT_TRUE(isHighlighted(6));
    EXPECT_TRUE(list()->selectedItems().isEmpty());

    clickRow(0);
    selectListItem(QStringLiteral("liscio"));
    menu("InserisciRiga")->trigger();  // nothing goes before the first row
    EXPECT_EQ(beeps.count(), 2);
    EXPECT_EQ(rows.rowCount(), 10);
}

TEST_F(EditorWindowTest, MenuDeleteRemovesTheSelectedRow)
{
    open(4);
    QSignalSpy beeps(m_window.get(), &EditorWindow::beeped);
    menu("EliminaRiga")->trigger();
    EXPECT_EQ(beeps.count(), 1);

    clickRow(2);
    // The command fields move up; the totals after them are computed anew.
    const QString following = riga(3)->text().left(29);
    menu("EliminaRiga")->trigger();
    EXPECT_EQ(m_window->rowStore().rowCount(), 4);
    EXPECT_EQ(riga(2)->text().left(29), following);
    EXPECT_TRUE(isHighlighted(2));
    EXPECT_EQ(riga(4)->text(), QString());
    EXPECT_EQ(beeps.count(), 1);
}

// A two-sided panel whose left definition a left-marked decrease needs.
TEST_F(EditorWindowTest, DeletingALeftSideThatRowsNeedShowsTheErrorHint)
{
    m_panel.header.predisposizione = "2";
    m_panel.predisposizioneValue = 2;
    std::string right = newRow(0, 0);
    RowText::overlay(right, 12, 30, " PROFILO DES");
    std::string left = newRow(0, 0);
    RowText::overlay(left, 12, 30, " PROFILO SIN");
    std::string decrease = newRow(3, 3);
    RowText::overlay(decrease, 13, 14, "1s");
    m_panel.rows = {right, newRow(10, 10), left};
    m_panel.rows.push_back(decrease);
    open(0);
    ASSERT_EQ(m_window->rowStore().rowCount(), 5);

    clickRow(2);
    menu("EliminaRiga")->trigger();
    EXPECT_EQ(m_window->rowStore().rowCount(), 5);
    EXPECT_EQ(m_window->help().currentKey(), ParameterEditor::kLeftSideErrorKey);
    EXPECT_TRUE(m_window->help().errorShowing());

    // A row that may go clears the error.
    clickRow(1);
    menu("EliminaRiga")->trigger();
    EXPECT_EQ(m_window->rowStore().rowCount(), 4);
    EXPECT_FALSE(m_window->help().errorShowing());
}

TEST_F(EditorWindowTest, CombClearanceAwayFromTheCommandLineTurnsRed)
{
    m_commandLine.combWidth = 30;
    m_commandLine.combWidthEditable = 1;
    open(1);
    auto *comb = m_window->findChild<QLineEdit *>(QStringLiteral("IngombroPettini"));
    comb->setFocus();
    QTest::keyClick(comb, Qt::Key_5);
    EXPECT_EQ(comb->text(), "305");
    EXPECT_EQ(comb->palette().color(QPalette::Text), QColor(255, 0, 0));
    QTest::keyClick(comb, Qt::Key_Backspace);
    EXPECT_EQ(comb->palette().color(QPalette::Text), QColor(0, 0, 0));
}

TEST_F(EditorWindowTest, ShowingTheFinalValuesIsNoEdit)
{
    open(2);
    auto *finalValues = m_window->findChild<QCheckBox *>(QStringLiteral("ValoriFinali"));
    QTest::mouseClick(finalValues, Qt::LeftButton);
    ASSERT_TRUE(finalValues->isChecked());
    EXPECT_FALSE(m_window->isModified());
}

TEST_F(EditorWindowTest, ClickOnTheEmptyLineAppendsTheChosenCommand)
{
    open(2);
    selectListItem(QStringLiteral("liscio"));
    clickRow(3);
    EXPECT_EQ(m_window->rowStore().rowCount(), 4);
    EXPECT_TRUE(riga(3)->text().startsWith(QStringLiteral("liscio")));
    EXPECT_TRUE(list()->selectedItems().isEmpty());
    EXPECT_EQ(highlightedCount(), 0);
}

TEST_F(EditorWindowTest, LanguageFileRenamesMenuAndLabels)
{
    m_language = LanguageTable::fromText("Insert row\r\nDelete row\r\nSave\r\nExit\r\nAbout\r\n"
                                         "Type\r\n");
    open(1);
    EXPECT_EQ(menu("InserisciRiga")->text(), "Insert row");
    EXPECT_EQ(menu("Informazioni")->text(), "About");
    EXPECT_EQ(m_window->findChild<QLabel *>(QStringLiteral("Label1"))->text(), "Type");
    // Lines the file lacks keep the built-in captions.
    EXPECT_EQ(m_window->findChild<QLabel *>(QStringLiteral("Label2"))->text(), "Taglia");
}

TEST_F(EditorWindowTest, HeaderShowsTheLeftSideOnlyForTwoSidedPanels)
{
    m_panel.header.predisposizione = "2";
    m_panel.header.costinaDx = "80";
    m_panel.header.costinaSx = "70";
    m_panel.header.note[2] = "densit\xE0";  // Windows-1252 in the panel file
    m_commandLine.combWidth = 44;
    open(1);
    auto *left = m_window->findChild<QLineEdit *>(QStringLiteral("CostinaSx"));
    EXPECT_TRUE(left->isVisible());
    EXPECT_EQ(left->text(), "70");
    EXPECT_TRUE(m_window->findChild<QLabel *>(QStringLiteral("SSx"))->isVisible());
    EXPECT_EQ(m_window->findChild<QLineEdit *>(QStringLiteral("Note3"))->text(), QString::fromUtf8("densit\u00E0"));
    auto *comb = m_window->findChild<QLineEdit *>(QStringLiteral("IngombroPettini"));
    EXPECT_EQ(comb->text(), "44");
    EXPECT_FALSE(comb->isEnabled());  // not editable unless the command line says so
}

TEST_F(EditorWindowTest, OneSidedPanelHidesTheLeftSide)
{
    m_panel.header.predisposizione = "1";
    open(1);
    for (const char *name : {"CostinaSx", "ScolloSx", "CDx", "CSx", "SDx", "SSx"})
        EXPECT_FALSE(m_window->findChild<QWidget *>(QString::fromLatin1(name))->isVisible()) << name;
    EXPECT_TRUE(m_window->findChild<QWidget *>(QStringLiteral("CostinaDx"))->isVisible());
}

TEST_F(EditorWindowTest, SyncBringsTheModelUpToDate)
{
    open(2);
    std::string idle = m_panel.rows[1];
    RowText::overlay(idle, 16, 20, "-0");  // a marker without an interval
    m_window->rowStore().setRow(1, idle);
    std::string counted = m_panel.rows[2];
    RowText::overlay(counted, 16, 20, "-2");
    m_window->rowStore().setRow(2, counted);
    m_window->findChild<QLineEdit *>(QStringLiteral("Note1"))->setText(QString::fromUtf8("met\u00E0"));

    m_window->syncPanel();  // what saving writes
    ASSERT_EQ(m_panel.rows.size(), 3u);
    EXPECT_EQ(RowText::at(m_panel.rows[1], 16), ' ');
    EXPECT_EQ(RowText::at(m_window->rowStore().row(1), 16), ' ');
    EXPECT_EQ(RowText::at(m_panel.rows[2], 16), '-');
    EXPECT_EQ(m_panel.header.note[0], "met\xE0");
}

TEST_F(EditorWindowTest, ExpandedHelpLeavesTwelveRows)
{
    open(11);  // 12 rows
    m_window->setVisibleRows(12);
    EXPECT_EQ(m_window->findChild<QWidget *>(QStringLiteral("Righe"))->height(), 195);
    EXPECT_EQ(scroll()->height(), 195);
    EXPECT_EQ(scroll()->maximum(), 1);
    EXPECT_FALSE(riga(12)->isVisibleTo(m_window.get()));
    EXPECT_FALSE(riga(11)->text().isEmpty());

    m_window->setVisibleRows(18);
    EXPECT_EQ(scroll()->height(), 293);
    EXPECT_TRUE(riga(17)->isVisibleTo(m_window.get()));
}

TEST_F(EditorWindowTest, InformationBoxNamesTheLibraryDate)
{
    open(1);
    QString text;
    QTimer::singleShot(0, [&text] {
        QWidget *box = nullptr;
        for (int i = 0; i < 200 && !box; ++i) {
            QTest::qWait(10);
            box = QApplication::activeModalWidget();
        }
        ASSERT_NE(box, nullptr);
        text = static_cast<QMessageBox *>(box)->text();
        static_cast<QMessageBox *>(box)->accept();
    });
    menu("Informazioni")->trigger();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Kn4Edit vVers.10.12C lingua su file esterno\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Data libkn4edit2.so = 01/01/2026")));
}

TEST_F(EditorWindowTest, PointerPositionsTurnIntoColumnsOf105Twips)
{
    EXPECT_EQ(EditorWindow::columnAt(0.0), 0);
    EXPECT_EQ(EditorWindow::columnAt(6.9), 0);   // 103.5 twips
    EXPECT_EQ(EditorWindow::columnAt(6.97), 1);  // 104.55 twips round to 105
    EXPECT_EQ(EditorWindow::columnAt(7.0 * 30), 30);
    EXPECT_EQ(EditorWindow::columnAt(-1.0), -1);
}

TEST_F(EditorWindowTest, RowToolTipGivesTheTotalsInCentimetres)
{
    m_panel.header.aghiCm = "3";
    m_panel.header.ranghiCm = "4,5";
    open(1);
    std::string row = m_window->rowStore().row(1);
    RowText::overlayRight(row, 30, 33, "9");
    RowText::overlayRight(row, 35, 37, "60");
    RowText::overlayRight(row, 39, 41, "3");
    m_window->rowStore().setRow(1, row);
    m_window->refreshRows();

    QTest::mouseMove(riga(1), QPoint(36 * 7 + 3, 8));
    EXPECT_TRUE(riga(1)->toolTip().contains(QStringLiteral(" cm  ")));
    EXPECT_TRUE(riga(1)->toolTip().startsWith(QStringLiteral("2")));
    QTest::mouseMove(riga(1), QPoint(3, 8));
    EXPECT_EQ(riga(1)->toolTip(), QString());
}

TEST_F(EditorWindowTest, SwatchTakesTheColourPickedInThePalette)
{
    open(1);
    QLabel *swatch = m_window->findChildren<QLabel *>(QStringLiteral("Colore")).at(3);
    QTimer::singleShot(0, [] {
        QWidget *palette = nullptr;
        for (int i = 0; i < 200 && !palette; ++i) {
            QTest::qWait(10);
            palette = QApplication::activeModalWidget();
        }
        ASSERT_NE(palette, nullptr);
        ASSERT_EQ(palette->objectName(), "tavolozza");
        for (QLabel *cell : palette->findChildren<QLabel *>(QStringLiteral("Label1")))
            if (cell->property("index").toInt() == 17)
                QTest::mouseClick(cell, Qt::LeftButton);
    });
    QTest::mouseClick(swatch, Qt::LeftButton);
    EXPECT_EQ(m_panel.colours[3], rgb(255, 0, 0));
    EXPECT_EQ(swatch->palette().color(QPalette::Window), QColor(255, 0, 0));

    m_window->findChild<QPushButton *>(QStringLiteral("Reset"))->click();
    EXPECT_EQ(m_panel.colours, PanelModel::kDefaultColours);
}

} // namespace
