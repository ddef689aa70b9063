#include "window/compilereport.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTest>
#include <QTimer>

#include "kn4/testapplication.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace kn4::editor;

// Language lines 51-56 as the Italian file has them, line 55 with an
// accented letter to see the Windows-1252 conversion.
LanguageTable language()
{
    std::string text;
    for (int line = 0; line <= LanguageTable::ExitQuestion; ++line) {
        switch (line) {
        case LanguageTable::ChiudiReport: text += "Chiudi finestra"; break;
        case LanguageTable::CarriageCheck1: text += "carro esterno oltre la frontura"; break;
        case LanguageTable::CarriageCheck2: text += "carro interno arrivato a 0"; break;
        case LanguageTable::CarriageCheck3: text += "carro esterno contro il carro interno"; break;
        case LanguageTable::NoErrors: text += "Nessun errore: pi\xF9 niente da fare"; break;
        case LanguageTable::ReportCaption: text += "Risultato del salvataggio"; break;
        default: text += "riga"; break;
        }
        text += "\r\n";
    }
    return LanguageTable::fromText(text);
}

class CompileReportTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        kn4::testing::ensureApplication();
    }

    // Opens the window for a result; the beeps it asks for are counted.
    void open(std::int32_t result, const std::string &report = "Resoconto\r\nseconda riga\r\n")
    {
        m_window = std::make_unique<frmPopUpCompilazione>(result, report, m_language);
        m_beeps = std::make_unique<QSignalSpy>(m_window.get(), &frmPopUpCompilazione::beeped);
        m_window->show();
    }

    template <typename T>
    T *child(const char *name)
    {
        T *widget = m_window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    QColor ledPixel()
    {
        auto *led = child<QWidget>("LedCompilazione");
        return led->grab().toImage().pixelColor(led->width() / 2, led->height() / 2);
    }

    LanguageTable m_language = language();
    std::unique_ptr<frmPopUpCompilazione> m_window;
    std::unique_ptr<QSignalSpy> m_beeps;
};

TEST_F(CompileReportTest, OpensCompactWithTheShortResult)
{
    open(0);
    EXPECT_TRUE(m_window->isModal());
    EXPECT_EQ(m_window->size(), QSize(400, 93));
    EXPECT_EQ(m_window->viewMode(), CompileReportView::kCompact);
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Risultato del salvataggio"));
    EXPECT_EQ(child<QPushButton>("cmdChiudi")->text(), QStringLiteral("Chiudi finestra"));
    // Without its language line the detail box keeps its Italian caption.
    EXPECT_EQ(child<QCheckBox>("chkTips")->text(), QStringLiteral("Resoconto completo"));
    EXPECT_FALSE(child<QCheckBox>("chkTips")->isChecked());
    EXPECT_TRUE(child<QLabel>("Label1")->isVisible());
    EXPECT_FALSE(child<QPlainTextEdit>("txtCompilazione")->isVisible());
    EXPECT_EQ(child<QLabel>("Label1")->text(), QStringLiteral("Nessun errore: più niente da fare"));
    EXPECT_EQ(child<QLabel>("lblStatus")->text(), QStringLiteral("Il pannello non contiene errori"));
    EXPECT_EQ(ledPixel(), QColor(0, 255, 0));
    EXPECT_EQ(m_beeps->count(), 0);
}

TEST_F(CompileReportTest, TheCheckBoxSwitchesToTheWholeReportAndBack)
{
    open(5);
    auto *tips = child<QCheckBox>("chkTips");
    QTest::mouseClick(tips, Qt::LeftButton);
    EXPECT_TRUE(tips->isChecked());
    EXPECT_EQ(m_window->viewMode(), CompileReportView::kDetailed);
    EXPECT_EQ(m_window->size(), QSize(639, 473));
    auto *text = child<QPlainTextEdit>("txtCompilazione");
    EXPECT_TRUE(text->isVisible());
    EXPECT_FALSE(child<QLabel>("Label1")->isVisible());
    EXPECT_EQ(text->toPlainText(), QStringLiteral("Resoconto\nseconda riga\n"));
    // The report and the buttons fit inside the window.
    EXPECT_TRUE(m_window->rect().contains(text->geometry()));
    EXPECT_TRUE(m_window->rect().contains(child<QPushButton>("cmdChiudi")->geometry()));

    QTest::mouseClick(tips, Qt::LeftButton);
    EXPECT_EQ(m_window->size(), QSize(400, 93));
    EXPECT_FALSE(text->isVisible());
    EXPECT_TRUE(child<QLabel>("Label1")->isVisible());
    EXPECT_TRUE(m_window->rect().contains(child<QPushButton>("cmdChiudi")->geometry()));
}

TEST_F(CompileReportTest, TypingIntoTheReportChangesNothing)
{
    open(6, "Riga uno\r\nRiga due\r\n");
    QTest::mouseClick(child<QCheckBox>("chkTips"), Qt::LeftButton);
    auto *text = child<QPlainTextEdit>("txtCompilazione");
    const QString before = text->toPlainText();
    text->setFocus();
    QTest::keyClicks(text, QStringLiteral("abc"));
    QTest::keyClick(text, Qt::Key_Backspace);
    QTest::keyClick(text, Qt::Key_Delete);
    QTest::keyClick(text, Qt::Key_Return);
    QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text->toPlainText(), before);
    EXPECT_TRUE(m_window->isVisible());
}

TEST_F(CompileReportTest, ErrorsAreRedAndBeep)
{
    open(5);
    EXPECT_EQ(ledPixel(), QColor(255, 0, 0));
    EXPECT_EQ(child<QLabel>("lblStatus")->text(), QStringLiteral("Il pannello contiene alcuni errori gravi"));
    EXPECT_EQ(child<QLabel>("Label1")->text(), QStringLiteral("Il pannello contiene alcuni errori gravi"));
    EXPECT_EQ(m_beeps->count(), 1);
    // Showing the window again does not fill it again.
    m_window->hide();
    m_window->show();
    EXPECT_EQ(m_beeps->count(), 1);
}

TEST_F(CompileReportTest, ACarriageWarningFollowsThePreviousReport)
{
    open(-1, "Resoconto precedente\r\n");
    EXPECT_EQ(ledPixel(), QColor(255, 0, 0));
    EXPECT_EQ(m_beeps->count(), 1);
    EXPECT_EQ(child<QLabel>("lblStatus")->text(),
              QStringLiteral("Il pannello contiene alcuni errori potenzialmente gravi"));
    auto *label = child<QLabel>("Label1");
    EXPECT_EQ(label->text(), QStringLiteral("ERRORE ! : carro esterno oltre la frontura"));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(child<QPlainTextEdit>("txtCompilazione")->toPlainText(),
              QStringLiteral("Resoconto precedente\nATTENZIONE: carro esterno oltre la frontura."));
}

TEST_F(CompileReportTest, TheCloseButtonEndsTheModalWindow)
{
    m_window = std::make_unique<frmPopUpCompilazione>(0, "", m_language);
    QTimer::singleShot(0, m_window.get(), [this] {
        QTest::mouseClick(child<QPushButton>("cmdChiudi"), Qt::LeftButton);
    });
    EXPECT_EQ(m_window->exec(), QDialog::Accepted);
    EXPECT_FALSE(m_window->isVisible());
}

} // namespace

namespace {

// A click on a report message (or Enter on it) hands it to the editor: the
// source line or the code step with the course its continuation names;
// lines that are no message hand nothing over.
TEST_F(CompileReportTest, ChoosingAMessageHandsItsLineOver)
{
    open(5, "VUZUDO v4.4\r\n-   14 comando errato XYZ\r\n.   45 comandi incompatibili\r\n"
            "       alla riga 40\r\n\r\n    3 errori gravi\r\n");
    std::vector<CompileReportLine> chosen;
    m_window->setLineHandler([&chosen](const CompileReportLine &line) { chosen.push_back(line); });
    QTest::mouseClick(child<QCheckBox>("chkTips"), Qt::LeftButton);
    auto *text = child<QPlainTextEdit>("txtCompilazione");
    auto clickLine = [text](int line) {
        const QTextBlock block = text->document()->findBlockByNumber(line);
        QTextCursor cursor(block);
        const QRect at = text->cursorRect(cursor);
        QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, at.center() + QPoint(20, 0));
    };
    clickLine(1);
    clickLine(3);  // the continuation belongs to the message above it
    clickLine(0);
    clickLine(5);
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[0].kind, CompileReportLine::Kind::SourceLine);
    EXPECT_EQ(chosen[0].number, 14);
    EXPECT_EQ(chosen[0].text, "comando errato XYZ");
    EXPECT_EQ(chosen[1].kind, CompileReportLine::Kind::Step);
    EXPECT_EQ(chosen[1].number, 45);
    EXPECT_EQ(chosen[1].course, 40);

    // Enter on the line the cursor stands on: from the last line clicked
    // (5) up to the first message (1).
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(text, Qt::Key_Up);
    QTest::keyClick(text, Qt::Key_Return);
    ASSERT_EQ(chosen.size(), 3u);
    EXPECT_EQ(chosen[2].number, 14);
    EXPECT_EQ(text->toPlainText().count(QLatin1Char('\n')), 6);  // keys change nothing
}

} // namespace
