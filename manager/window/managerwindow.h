#pragma once

#include "core/editingwatch.h"
#include "core/keywordfilecheck.h"
#include "core/launchcommand.h"
#include "core/managerstartup.h"
#include "core/panelfiles.h"

#include <QMainWindow>
#include <QMessageBox>

#include <filesystem>

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QTimer;

namespace kn4::manager {

class DropPicture;
class PanelListWidget;
class PreviewView;
class ProgramLauncher;

// What the manager works with: its program directory, the three files read
// at start-up, and the library's command lookup for the keyword file check
// (empty when the library could not be loaded, with the reason).
struct ManagerContext
{
    std::filesystem::path programDirectory;
    // Where the programs and the library lie: the program directory in a
    // build, the installed programs' folder when the program directory is
    // the user's own (empty means the program directory).
    std::filesystem::path binaryDirectory;
    ManagerFiles files;
    KeywordFileCheck::Lookup lookup;
    std::string lookupError;
};

// The manager's main window (Form1): the archive side (Combo1, List1) and
// the disk side (List2, List3 and the disk folders), the pictures that
// start the programs and copy, delete and print panels, the preview, and
// the editing watch.
//
// The disk side is kept apart from the archive side (SelDisco,
// AggiornaDischi, the Disco and Controllore menus, List2, List3): the
// transfer to the machine's media builds on it and finds its controls by
// objectName.
class ManagerWindow : public QMainWindow
{
    Q_OBJECT
public:
    enum class Side { Archive, Disk };

    explicit ManagerWindow(ManagerContext context, QWidget *parent = nullptr);
    ~ManagerWindow() override;

    ManagerContext &context() { return m_context; }
    const EditingWatch &editingWatch() const { return m_watch; }
    // The text of a line of lingua.ini in the chosen language, for display.
    QString text(int line) const;

    // Sets the folder and extension that CreaLista lists (the file list).
    void setFile1(const std::filesystem::path &folder, const std::string &extension);
    // Fills List1 (S = 1), List2 (2) or List3 (3) from the file list and
    // selects the entry sel; the list's count follows.
    void CreaLista(int S, const QString &sel);
    void SelArchivio();
    void AggiornaArchivi();
    void SelDisco();
    // Where the disk side finds its disks: the folders of root (the local
    // disks, a stick's maglie/ or orsa/), or, with a singleDisk name, root
    // itself as the one disk (the lince floppy). An empty root lists none.
    void setDiskSource(const std::filesystem::path &root, const QString &singleDisk = QString());
    void AggiornaDischi();
    // The preview of the current panel.
    void MascAnteprima();
    void ImpostaModo();
    // Captions, menus and tips in the chosen language.
    void applyTexts();

    std::filesystem::path archiveFolder() const;
    std::filesystem::path diskFolder() const;
    QString currentPanel() const { return m_currentPanel; }

    // The list whose panels the delete and print pictures (and the Delete
    // key) act on: the one the user last clicked or moved the focus into.
    Side activeSide() const;

    // What the pictures and the lists do with panels.
    void copyPanels(const QStringList &paths, Side target);
    void deleteChosenPanels();
    void deleteDroppedPanels(const QStringList &paths);
    void printChosenPanels();
    void startProgram(Program program, const QString &panel);
    // One print program for all the panels: one print dialog for them all.
    void printPanels(const QStringList &panels);
    // Edits a panel under the editing watch; a row above 0 opens the
    // editor at that row (the compiler's line number, as --row takes it).
    void editPanel(const QString &panel, int row = 0);
    // An edit asked from outside (another program of the suite, or the
    // command line): a panel of a disk is edited where it is, one of an
    // archive is shown in its archive first, one from elsewhere is offered
    // for copying into the current archive and the copy is edited.
    void editPanelAt(const QString &panel, int row);
    void duplicatePanel(const QString &panel);
    // A click on the editor's picture (or Enter on a list): the chosen
    // panels are edited, as if dropped there; with none chosen a new panel
    // is made.
    void editChosenPanels();
    // A click on the simulator's picture: the chosen panels are simulated.
    void simulateChosenPanels();
    // "Nuovo pannello": a panel of the current archive under a name the
    // user types, started by the editor as a new panel and brought into the
    // archive by the editing watch.
    void newPanel();
    // "Copia in archivio...": the chosen panels are copied (or moved) into
    // another archive the user picks; a drop on Combo1 does the same.
    void copyToArchive();
    void copyToArchive(const QStringList &paths);
    // Copies (or moves) panels into the archive of that name.
    void copyIntoArchive(const QStringList &paths, const QString &archive, bool move);
    // "Cestino": what was deleted from the current archive and disk, and
    // the archives and disks deleted.
    void openRecycleBin();
    // A panel file opened from outside the manager: a panel of an archive is
    // shown in its archive, chosen and previewed; one from elsewhere is
    // offered for copying into the current archive first.
    // The archive's panel shown, empty when none is.
    QString showPanel(const QString &path);

    void newArchive();
    void renameArchive();
    void deleteArchive();
    // "Nuovo disco locale...": a folder among the local disks (dischi/),
    // whatever the mode shows.
    void newDisk();
    // "Nuovo disco sulla chiavetta...": a disk folder on the stick of the
    // volpe or orsa mode; says so when no stick is there.
    void newDiskOnStick();
    // Asks a disk name and makes the folder in store; the name made, or
    // empty (after telling the user) when none was.
    std::string createDisk(FolderStore &store);
    void renameDisk();
    void deleteDisk();
    void setMode(int mode);
    void openSettings();
    // At start-up: working copies of edits that never came back (a manager
    // that was killed, a failed copy back) are offered one by one to be
    // brought back, deleted or left.
    void offerOrphans();

signals:
    // An edit is over: copied back (or kept, on failure) and the lists
    // refreshed.
    void editFinished(int id);
    // The window has taken the texts of the chosen language; controls added
    // to it from outside follow.
    void textsApplied();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    void buildMenus();
    void buildDiskSide(QWidget *central);
    DropPicture *addPicture(const QString &name);
    void connectPictures();
    void connectPanelList(PanelListWidget *list, Side side);
    void showError(const QString &message);
    void showWarning(const QString &message);
    bool confirm(const QString &message, bool yesNo);
    QString askName(int prompt, const QString &initial, int maxLength = 0);
    void refreshAfterChange();
    void updateEditingCaption();
    void choosePanel(const QString &path);
    void onEditorEnded(int id);
    void onEditorFailed(int id, const QString &reason);
    // Tells the user what a copy back did when it did not simply succeed.
    void reportCopyBack(const EditingWatch::EndResult &ended);
    void Timer1_Timer();
    QStringList diskNames() const;
    // The selected panels of the active list, and that list's folder name.
    QStringList chosenPanels(QString &source) const;
    // "Eliminare DAVANTI, DIETRO e altri 3 da DEMO?" and the note that it
    // can be undone.
    QString deleteQuestion(const QStringList &paths, const QString &folder) const;
    // Starts the editor on a panel under the editing watch (a new one:
    // nothing in the archive yet).
    // row > 0: the editor opens at that source row.
    void startEdit(const QString &panel, bool isNew, int row = 0);
    // True (after telling the user) when a panel of the folder is being edited.
    bool folderHasEdit(const std::filesystem::path &folder);

    // What renaming and deleting an archive or a local disk needs to know.
    struct FolderKind
    {
        FolderStore &store;
        QComboBox *list;
        std::filesystem::path folder; // the chosen one; empty when none
        void (ManagerWindow::*refresh)();
        int noneChosen, promptRename, exists, askDelete;
        int maxLength; // 0: no limit
    };
    FolderKind archiveKind();
    FolderKind diskKind();
    void renameFolder(const FolderKind &kind);
    void deleteFolder(const FolderKind &kind);
    // A panel without compiled code never goes onto the machine's media
    // (the reason joins errors); one whose edges cross only after the
    // user's Yes.
    bool mayGoToMachine(const QString &panel, QStringList &errors);
    // Copy a panel to a folder, with the replace question; false on failure.
    bool copyPanelTo(const QString &panel, const std::filesystem::path &folder, const QString &folderName,
                     QStringList &errors);

    ManagerContext m_context;
    FolderStore m_archives;
    FolderStore m_disks;
    FolderStore m_localDisks;
    QString m_singleDisk;
    QString m_pendingDisk;  // the disk of the last session, chosen once listed
    EditingWatch m_watch;
    ProgramLauncher *m_launcher;
    std::filesystem::path m_file1Folder;
    std::string m_file1Extension = ".kn4";
    QString m_currentPanel;
    Side m_activeSide = Side::Archive;

    QComboBox *m_combo1 = nullptr;
    PanelListWidget *m_list1 = nullptr;
    QLabel *m_archiveCaption = nullptr;
    QLabel *m_archiveCount = nullptr;
    QComboBox *m_diskFolders = nullptr;
    PanelListWidget *m_list2 = nullptr;
    PanelListWidget *m_list3 = nullptr;
    QLabel *m_diskCaption = nullptr;
    QLabel *m_diskCount = nullptr;
    QLabel *m_imageCount = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label5 = nullptr;
    PreviewView *m_preview = nullptr;
    QTimer *m_timer1 = nullptr;
    QActionGroup *m_modeGroup = nullptr;
};

} // namespace kn4::manager
