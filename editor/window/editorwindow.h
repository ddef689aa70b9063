#pragma once

#include "document/compilereportlines.h"
#include "document/coursemap.h"
#include "document/editorstartup.h"
#include "document/panelsave.h"
#include "window/core/experthelp.h"
#include "window/core/headerfields.h"
#include "window/core/headerspinner.h"
#include "window/core/knitdrawing.h"
#include "window/core/paneldocument.h"
#include "window/core/parametereditor.h"
#include "window/core/rowstore.h"
#include "window/core/runningtotals.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QKeyEvent;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QTimer;
class QUndoStack;

namespace kn4 {
class PaletteWindow;
}

namespace kn4::editor {

class EditorActions;
class ValueEntry;

// What the main window is built on: the library and everything start-up
// found (command line, language and help texts, the command list, the
// opened panel). The window keeps references; the caller keeps both alive
// for the window's lifetime. The start-up must have succeeded (a command
// list is present).
struct EditorContext
{
    const CommandLibrary &library;
    StartupResult &startup;
    std::string libraryDate;  // modification time of the library file
};

// The main window of the panel editor: the header fields, the row list
// (18 labels Riga in the frame Righe, the scroll bar VScroll), the command
// list ListaComandi, the eight yarn colour swatches Colore with Reset, the
// knit drawing area Picture1, the help boxes Esperto and Esperto_2 with the
// lamp LedEsperto and the three help buttons, and the menu entries.
//
// The rules live in GUI-free cores: the row list in RowStore, the parameter
// clicks in ParameterEditor, the running totals in RunningTotals, the help
// in ExpertHelp, the header fields in HeaderFields and HeaderSpinner, the
// edits of the panel and their snapshots in PanelDocument, the status
// texts in RowStatus. This class maps the events of its controls onto
// them, mirrors their timers (Timer1, Timer2, Timer3) on real timers, keeps
// the edits on an undo stack and shows the result. Rows are
// drawn in Liberation Mono with exactly 7 pixels (105 twips) per column and
// 16 pixels (240 twips) per row, the pitch the parameter clicks convert
// pointer positions with.
class EditorWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Geometry in pixels (twips / 15).
    static constexpr int kColumnWidth = 7;     // 105 twips
    static constexpr int kRowHeight = 16;      // 240 twips
    static constexpr int kLabelCount = RowStore::kLabelCount;
    static constexpr int kRowsHeight = 293;          // Righe and VScroll, 4395 twips
    static constexpr int kRowsHeightExpandedHelp = 195;  // 2925 twips, help mode 1
    // The exit question when the language file lacks its line (Windows-1252).
    static constexpr const char *kExitQuestion = "Il pannello \xE8 stato modificato. Salvare le modifiche?";

    explicit EditorWindow(const EditorContext &context, QWidget *parent = nullptr);
    ~EditorWindow() override;

    RowStore &rowStore() { return m_rows; }
    const PanelModel &panel() const { return m_startup.panel; }
    // The panel differs from what was last saved (or opened): the undo
    // stack is away from its clean state. setModified(false) makes the
    // present state the clean one; setModified(true) marks the panel
    // modified until the next save.
    bool isModified() const;
    void setModified(bool modified);
    QUndoStack *undoStack() const { return m_undo; }
    const CourseMap &courseMap() const { return m_courseMap; }
    // The status bar's text: the selected row and its message, or the rows
    // of the course under the pointer in the drawing.
    QString statusText() const;
    const RunningTotals &totals() const { return *m_totals; }
    const ExpertHelp &help() const { return m_help; }
    const ParameterEditor &parameters() const { return m_parameters; }
    // The knit drawing as last computed (DrawScale is its scale).
    const KnitPicture &knitPicture() const { return m_knit; }

    // Refresh rows: shows the rows from the top row on with their colours,
    // sets the scroll range and re-applies the highlight.
    void refreshRows();
    // Rewrites the visible row labels for display (kind words and aliases).
    void ModificaLabel();
    // Recompute the running totals: replays the program with the header as
    // the fields hold it, refreshes the rows and redraws the shape.
    void recomputeTotals();

    // Undo and redo the last edit (Edit menu, Ctrl+Z, Ctrl+Y or
    // Ctrl+Shift+Z); a held click still open ends first.
    void undo();
    void redo();
    // Puts a snapshot of the panel back: header fields, left-side fields,
    // colours, rows and selection; the totals, the drawing, the help lamp
    // and the status follow.
    void applySnapshot(const PanelSnapshot &snapshot);

    // Typed values (Enter on the row list, F2, the Edit menu): an entry over
    // the field of the selected row last clicked (P1 when none). A value the
    // library's clicks cannot reach is refused: the entry turns red and a
    // tip names the allowed values. False when refused or nothing is open.
    void openValueEntry();
    bool acceptValue(const QString &text);
    void closeValueEntry();
    ValueEntry *valueEntry() const { return m_entry; }

    // Up and Down: the selection moves to the row above or below.
    void moveSelection(int delta);
    // F1: the expanded help and back; Esc closes it.
    void toggleHelp();

    // A message of the compile report: a source line selects its row (a
    // header line its field), a code step the row that knits that course.
    void goToReportLine(const CompileReportLine &line);
    // Selects the row of the compiler's line number `line` (as the report
    // and the command line's --row name it) and scrolls to it; false when
    // no row has it.
    bool selectSourceLine(int line);
    // A click on the drawing selects the row that knits the course there.
    void Picture1_MouseDown(QPointF position);

    // The row text column under x pixels of a row label: the position in
    // twips, to the nearest twip, divided by 105 (-1 left of the label).
    static int columnAt(double x);

    // Brings the panel model up to date with the window: the header texts
    // as the fields hold them and the rows of the row store (interval
    // markers without an interval cleared). Saving writes the model.
    void syncPanel();

    // Number of visible rows: 12 (expanded help) or 18; resizes Righe and
    // VScroll to match.
    void setVisibleRows(int rows);

    // Event handlers of the controls, named after them. Mouse positions are
    // in pixels of the row label.
    void Riga_MouseDown(int index, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPointF position);
    void Riga_MouseUp(int index, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPointF position);
    void Riga_MouseMove(int index, Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, QPointF position);
    void Riga_DblClick(int index);
    void Timer1_Timer();
    void VScroll_Change(int value);
    void VScroll_Scroll(int value);
    void ListaComandi_DblClick();
    void InserisciRiga_Click();
    void EliminaRiga_Click();
    // Salva: writes and compiles the panel, shows the report window; the
    // panel stays modified when it could not be written.
    void Salva_Click();
    // The exit routine: asks to save a modified panel (Yes/No/Cancel) and
    // closes the editor unless cancelled.
    void Esci_Click();
    void Informazioni_Click();
    void Colore_Click(int index);
    void Reset_Click();
    void ValoriFinali_Click();
    // Computes the knit drawing from the last replay and the swatch colours
    // and repaints Picture1.
    void redraw();
    void Picture1_MouseMove(QPointF position);
    void Predisposizione_2_Click();

    // The expert help, as the other parts of the window use it; each shows
    // what the help core decided and mirrors Timer2.
    // Save: brings the model up to date, writes it, compiles it unless a
    // carriage warning stands and shows the report window (modal). False
    // when the panel could not be written (the user has been told).
    bool save();
    const PanelSave &saveState() const { return m_save; }

    // Exit state: 0 none, 1 go on closing, 2 closing cancelled.
    enum ExitState : std::uint8_t { ExitNone = 0, ExitClosing = 1, ExitCancelled = 2 };
    ExitState exitState() const { return m_exitState; }

    void Esperto123(std::string_view key);
    void Esperto123Immediato(std::string_view key);
    void Esperto123Errore(std::string_view key);
    void Esperto123CancellaErrore();
    void Esperto123Off(std::string_view key = {});
    void EspertoModo1();
    void EspertoModo2();
    void EspertoModo3();
    void Timer2_Timer();

    // Spinner labels of the rib, neckline and comb-clearance fields.
    void spinnerPressed(HeaderSpinner::Label label, Qt::MouseButton button);
    void spinnerReleased();
    void Timer3_Timer();

    // The command of the ListaComandi item at `position` (an index of the
    // list box): inserted at the selected row or appended.
    void insertListCommand(int position);

signals:
    // The window refused an action with a beep.
    void beeped();
    // The panel's rows or colours changed (the drawing follows).
    void panelChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildMenu();
    void buildHeader(QWidget *form);
    void buildRowList(QWidget *form);
    void buildCommandList(QWidget *form);
    void buildDrawingArea(QWidget *form);
    void buildColours(QWidget *form);
    void applyLanguage();
    void fillFromPanel();
    void buildHelp(QWidget *form);
    void showColours();
    void beep();
    int labelIndex(QObject *object) const;
    RowSettings rowSettings() const;
    HeaderSettings headerSettings() const;
    // The panel header as the fields hold it now.
    PanelHeader headerFromFields() const;
    QLineEdit *field(HeaderField which) const;
    std::optional<HeaderField> headerFieldOf(QObject *object) const;
    std::optional<HeaderSpinner::Label> spinnerOf(QObject *object) const;
    bool headerKeyPress(HeaderField which, QKeyEvent *event);
    void headerKeyRelease(HeaderField which, QKeyEvent *event);
    void headerFocusOut(HeaderField which);
    void setLeftSideFields(std::optional<bool> rib, std::optional<bool> neckline);
    void applySpinnerStep(const HeaderSpinner::Step &step);
    void followParameterOutcome(const ParameterEditor::Outcome &outcome);
    void showHelp();
    void askToSaveOnExit();
    void hoverControl(QObject *watched);
    char decimalSeparator() const;
    void buildEditMenu();
    void pushStep(std::optional<PanelStep> step);
    void finishOpenEdit();
    // After an edit: the course map, rows, drawing and status follow.
    void showPanelState();
    void showRowStatus();
    void setStatus(const std::string &text);
    void headerTextChanged(HeaderField which, const QString &text);
    void fillHeaderFields();
    int stepAt(QPointF position) const;

    const CommandLibrary &m_library;
    StartupResult &m_startup;
    const CommandList &m_commands;
    std::string m_libraryDate;
    RowStore m_rows;
    std::unique_ptr<RunningTotals> m_totals;  // large fixed tables: kept off the stack
    PanelDocument m_document;
    CourseMap m_courseMap;
    ParameterEditor m_parameters;
    ExpertHelp m_help;
    HeaderSpinner m_spinner;
    PanelSave m_save;
    KnitPicture m_knit;
    ExitState m_exitState = ExitNone;
    bool m_ready = false;  // the form is built: events reach the cores
    bool m_restoring = false;  // a snapshot is being put back: no new edits
    bool m_markedModified = false;
    ExpertHelp::Mode m_helpBeforeF1 = ExpertHelp::Mode::Reduced;
    int m_entryField = -1;
    // The messages of the last compile report, each with the compiler's
    // line number of the row it is about, and the rows as compiled, for the
    // status bar.
    std::vector<CompileReportLine> m_compileErrors;
    std::vector<std::string> m_compiledRows;
    Qt::MouseButton m_pressedButton = Qt::NoButton;
    Qt::KeyboardModifiers m_helpButtonModifiers;

    QAction *m_insertAction = nullptr;
    QAction *m_deleteAction = nullptr;
    QAction *m_saveAction = nullptr;
    QAction *m_exitAction = nullptr;
    QAction *m_infoAction = nullptr;

    QFrame *m_rowsFrame = nullptr;
    QList<QLabel *> m_rowLabels;
    QScrollBar *m_scroll = nullptr;
    QListWidget *m_commandList = nullptr;
    std::vector<int> m_listEntries;  // ListaComandi position -> command-list entry
    QWidget *m_picture = nullptr;
    QList<QLabel *> m_swatches;
    QPushButton *m_reset = nullptr;
    QCheckBox *m_finalValues = nullptr;
    QPlainTextEdit *m_esperto = nullptr;
    QPlainTextEdit *m_esperto2 = nullptr;
    QLabel *m_lamp = nullptr;
    std::array<QPushButton *, 3> m_helpButtons{};
    QTimer *m_timer1 = nullptr;
    QTimer *m_timer2 = nullptr;
    QTimer *m_timer3 = nullptr;
    QPointer<PaletteWindow> m_palette;
    QUndoStack *m_undo = nullptr;
    EditorActions *m_actions = nullptr;
    ValueEntry *m_entry = nullptr;
    QLabel *m_statusRow = nullptr;
};

} // namespace kn4::editor
