#pragma once

#include "document/compilereportlines.h"
#include "document/compilereportview.h"
#include "document/languagetable.h"

#include <QColor>
#include <QDialog>
#include <QPlainTextEdit>

#include <cstdint>
#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;

namespace kn4::editor {

// The indicator of the report window: a filled circle, like a lamp, in
// green or red.
class CompileLed : public QWidget
{
public:
    explicit CompileLed(QWidget *parent = nullptr);
    void setColour(const QColor &colour);
    QColor colour() const { return m_colour; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_colour = Qt::red;
};

// The report text box: the report can be scrolled and selected with the
// mouse, but it is never edited: every key is swallowed except those that
// move through the lines. A click on a line (or Enter on it) hands the
// line's number over, a double click also asks to close.
class ReportTextBox : public QPlainTextEdit
{
public:
    explicit ReportTextBox(QWidget *parent = nullptr);

    // The line (from 0) a click or Enter chose; close: a double click.
    std::function<void(int line, bool close)> onLineChosen;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void choose(bool close);
};

// The window that shows the result of a save: indicator, status line, and
// either a short result text (compact view) or the whole compile report
// (detailed view, chosen with the check box). It opens modal in the compact
// view; the window's size is that of its client area.
//
// Controls (object names): LedCompilazione, lblStatus, Label1,
// txtCompilazione, chkTips, cmdChiudi.
//
// A message of the report that names a source line or a code step can be
// chosen (click or Enter; a double click also closes the window): the
// window hands it to the handler, which brings the editor to its row.
class frmPopUpCompilazione : public QDialog
{
    Q_OBJECT

public:
    // result and report (Windows-1252 bytes) as the save left them.
    frmPopUpCompilazione(std::int32_t compileResult, std::string compileReport,
                         const LanguageTable &language, QWidget *parent = nullptr);

    // Shows the window for the kept result of a save and returns when it is
    // closed.
    using LineHandler = std::function<void(const CompileReportLine &)>;
    static void showModal(std::int32_t compileResult, const std::string &compileReport,
                          const LanguageTable &language, QWidget *parent, LineHandler handler = {});

    void setLineHandler(LineHandler handler) { m_lineHandler = std::move(handler); }
    // A line of the report text (from 0) was chosen.
    void lineChosen(int line, bool close);

    // Fills the window for its result: compact view, report text, indicator
    // and status, and the beep for anything but a clean compilation. Runs
    // once, when the window is first shown.
    void Form_Load();

    // 1: the detailed view; any other value the compact one.
    void ResocontoCompilazione(short &a);
    void chkTips_Click();
    void cmdChiudi_Click();

    std::int16_t viewMode() const { return m_viewMode; }

signals:
    // The window asks for a beep (errors); connected to QApplication::beep.
    void beeped();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void placeControls();

    std::int32_t m_result;
    std::string m_report;
    const LanguageTable &m_language;
    LineHandler m_lineHandler;
    std::int16_t m_viewMode = CompileReportView::kCompact;
    bool m_loaded = false;

    CompileLed *m_led = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_label1 = nullptr;
    ReportTextBox *m_text = nullptr;
    QCheckBox *m_tips = nullptr;
    QPushButton *m_close = nullptr;
};

} // namespace kn4::editor
