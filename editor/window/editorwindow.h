#pragma once

#include "document/editorstartup.h"
#include "window/rowstore.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;

namespace kn4 {
class PaletteWindow;
}

namespace kn4::editor {

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
// knit drawing area Picture1 and the menu entries.
//
// The row list's rules live in RowStore; this class maps the events of its
// controls onto it and shows the result. Rows are drawn in Liberation Mono
// with exactly 7 pixels (105 twips) per column and 16 pixels (240 twips)
// per row, the pitch the parameter clicks convert pointer positions with.
class EditorWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Geometry in pixels (twips / 15).
    static constexpr int kTwipsPerPixel = 15;
    static constexpr int kColumnWidth = 7;     // 105 twips
    static constexpr int kRowHeight = 16;      // 240 twips
    static constexpr int kLabelCount = RowStore::kLabelCount;
    static constexpr int kRowsHeight = 293;          // Righe and VScroll, 4395 twips
    static constexpr int kRowsHeightExpandedHelp = 195;  // 2925 twips, help mode 1

    explicit EditorWindow(const EditorContext &context, QWidget *parent = nullptr);
    ~EditorWindow() override;

    RowStore &rowStore() { return m_rows; }
    const PanelModel &panel() const { return m_startup.panel; }
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    // Refresh rows: shows the rows from the top row on with their colours,
    // sets the scroll range and re-applies the highlight.
    void refreshRows();
    // Rewrites the visible row labels for display (kind words and aliases).
    void ModificaLabel();
    // Recompute the running totals; for now it refreshes the rows and marks
    // the panel as modified, as every change of the program does.
    void recomputeTotals();

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
    void VScroll_Change(int value);
    void VScroll_Scroll(int value);
    void ListaComandi_DblClick();
    void InserisciRiga_Click();
    void EliminaRiga_Click();
    // For now Salva only brings the model up to date (syncPanel); writing
    // and compiling the panel build on it.
    void Salva_Click();
    void Esci_Click();
    void Informazioni_Click();
    void Colore_Click(int index);
    void Reset_Click();

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

private:
    void buildMenu();
    void buildHeader(QWidget *form);
    void buildRowList(QWidget *form);
    void buildCommandList(QWidget *form);
    void buildDrawingArea(QWidget *form);
    void buildColours(QWidget *form);
    void applyLanguage();
    void fillFromPanel();
    void showColours();
    void beep();
    int labelIndex(QObject *object) const;
    RowSettings rowSettings() const;

    const CommandLibrary &m_library;
    StartupResult &m_startup;
    const CommandList &m_commands;
    std::string m_libraryDate;
    RowStore m_rows;
    bool m_modified = false;
    Qt::MouseButton m_pressedButton = Qt::NoButton;

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
    QPointer<PaletteWindow> m_palette;
};

} // namespace kn4::editor
