#include "window/managerwindow.h"

#include "core/machinecheck.h"
#include "core/panelpreview.h"
#include "window/droppicture.h"
#include "window/messages.h"
#include "window/namedialog.h"
#include "window/panellistwidget.h"
#include "window/pictures.h"
#include "window/previewview.h"
#include "window/programlauncher.h"
#include "window/archivechoicedialog.h"
#include "window/recyclebindialog.h"
#include "window/settingswindow.h"

#include <kn4/filelookup.h>
#include <kn4/qtconvert.h>
#include <kn4/qtlanguage.h>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QPushButton>
#include <QProgressDialog>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>
#include <memory>

namespace kn4::manager {

namespace fs = std::filesystem;

namespace {

constexpr int kDiskNameLength = 8;  // disk folders keep names a FAT disk can show
// Copies of more panels than this show their progress and can be stopped.
constexpr int kProgressFrom = 4;

QString toQString(const fs::path &path)
{
    return QString::fromStdString(path.string());
}

fs::path toPath(const QString &path)
{
    return fs::path(path.toStdString());
}

QString panelName(const QString &path)
{
    return QString::fromStdString(upperCase(toPath(path).stem().string()));
}

// The colours of the mode caption: one per controller family.
const QColor kModeColours[] = {QColor(0, 0, 160), QColor(0, 120, 0), QColor(170, 60, 0), QColor(120, 0, 120)};

} // namespace

ManagerWindow::ManagerWindow(ManagerContext context, QWidget *parent)
    : QMainWindow(parent),
      m_context(std::move(context)),
      m_archives(m_context.programDirectory / "archivi"),
      m_disks(m_context.programDirectory / "dischi", kDiskNameLength),
      m_localDisks(m_context.programDirectory / "dischi", kDiskNameLength),
      m_watch(m_context.programDirectory),
      m_launcher(new ProgramLauncher(m_context.programDirectory, m_context.binaryDirectory, this))
{
    setObjectName("Form1");
    buildWindow();
    buildMenus();
    connect(m_launcher, &ProgramLauncher::watchedEnded, this, &ManagerWindow::onEditorEnded);
    connect(m_launcher, &ProgramLauncher::watchedFailed, this, &ManagerWindow::onEditorFailed);
    applyTexts();
    SelArchivio();
    // The archive, the disk and the window's place of the last session.
    const SavedState &saved = m_context.files.saved;
    if (const int index = m_combo1->findText(QString::fromStdString(saved.archive)); index >= 0)
        m_combo1->setCurrentIndex(index);
    m_pendingDisk = QString::fromStdString(saved.disk);
    SelDisco();
    if (!saved.geometry.empty())
        restoreGeometry(QByteArray::fromHex(QByteArray::fromStdString(saved.geometry)));
    ImpostaModo();
    m_timer1->start();
}

ManagerWindow::~ManagerWindow() = default;

QString ManagerWindow::text(int line) const
{
    return fromCp1252(m_context.files.texts.text(line, m_context.files.settings.language));
}

// ---------------------------------------------------------------------------
// Window

DropPicture *ManagerWindow::addPicture(const QString &name)
{
    auto *picture = new DropPicture(name, this);
    picture->setMinimumSize(90, 76);
    return picture;
}

void ManagerWindow::buildWindow()
{
    auto *central = new QWidget(this);
    auto *columns = new QHBoxLayout;

    // The archive side.
    auto *archiveSide = new QVBoxLayout;
    m_archiveCaption = new QLabel(central);
    m_archiveCaption->setObjectName("archiveCaption");
    m_combo1 = new QComboBox(central);
    m_combo1->setObjectName("Combo1");
    m_list1 = new PanelListWidget("List1", central);
    m_archiveCount = new QLabel(central);
    m_archiveCount->setObjectName("archiveCount");
    archiveSide->addWidget(m_archiveCaption);
    archiveSide->addWidget(m_combo1);
    archiveSide->addWidget(m_list1, 1);
    archiveSide->addWidget(m_archiveCount);
    columns->addLayout(archiveSide, 1);

    // The pictures between the two sides.
    auto *pictures = new QGridLayout;
    const char *names[4][2] = {{"Image3", "Image2"}, {"Image9", "Image1"}, {"Image7", "Image8"}, {"Image4", "Image6"}};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 2; ++column)
            pictures->addWidget(addPicture(names[row][column]), row, column);
    }
    pictures->setRowStretch(4, 1);
    columns->addLayout(pictures);

    buildDiskSide(central);
    auto *diskSide = new QVBoxLayout;
    diskSide->addWidget(m_diskCaption);
    diskSide->addWidget(m_diskFolders);
    diskSide->addWidget(m_list2, 1);
    diskSide->addWidget(m_diskCount);
    diskSide->addWidget(m_list3);
    diskSide->addWidget(m_imageCount);
    columns->addLayout(diskSide, 1);

    m_preview = new PreviewView(central);
    m_preview->setCaptions([this](int line) { return text(line); });

    auto *status = new QHBoxLayout;
    m_label2 = new QLabel(central);
    m_label2->setObjectName("Label2");
    m_label5 = new QLabel(central);
    m_label5->setObjectName("Label5");
    QFont bold = m_label5->font();
    bold.setBold(true);
    m_label5->setFont(bold);
    status->addWidget(m_label2, 1);
    status->addWidget(m_label5);

    auto *layout = new QVBoxLayout(central);
    layout->addLayout(columns, 1);
    layout->addWidget(m_preview);
    layout->addLayout(status);
    setCentralWidget(central);
    resize(980, 720);

    connect(m_combo1, &QComboBox::currentIndexChanged, this, [this] { AggiornaArchivi(); });
    // Panels dropped on the archive list go into another archive.
    m_combo1->setAcceptDrops(true);
    m_combo1->installEventFilter(this);
    connectPanelList(m_list1, Side::Archive);
    connectPictures();

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName("Timer1");
    m_timer1->setInterval(2000);
    connect(m_timer1, &QTimer::timeout, this, &ManagerWindow::Timer1_Timer);
}

void ManagerWindow::connectPictures()
{
    const auto picture = [this](const char *name) { return findChild<DropPicture *>(name); };
    connect(picture("Image1"), &DropPicture::clicked, this, &ManagerWindow::deleteChosenPanels);
    connect(picture("Image1"), &DropPicture::panelsDropped, this,
            [this](const QStringList &paths) { deleteDroppedPanels(paths); });
    // A click on a program's picture does what a drop of the chosen panels does.
    connect(picture("Image3"), &DropPicture::clicked, this, &ManagerWindow::editChosenPanels);
    connect(picture("Image2"), &DropPicture::clicked, this, &ManagerWindow::simulateChosenPanels);
    connect(picture("Image2"), &DropPicture::panelsDropped, this, [this](const QStringList &paths) {
        for (const QString &path : paths)
            startProgram(Program::Simulator, path);
    });
    connect(picture("Image3"), &DropPicture::panelsDropped, this, [this](const QStringList &paths) {
        for (const QString &path : paths)
            editPanel(path);
    });
    connect(picture("Image9"), &DropPicture::clicked, this, &ManagerWindow::printChosenPanels);
    connect(picture("Image9"), &DropPicture::panelsDropped, this, &ManagerWindow::printPanels);
    for (const char *name : {"Image4", "Image6"}) {
        connect(picture(name), &DropPicture::panelsDropped, this, [this](const QStringList &paths) {
            duplicatePanel(paths.first());
        });
    }
    connect(picture("Image7"), &DropPicture::clicked, this, [this] { copyPanels(m_list1->selectedPaths(), Side::Disk); });
    connect(picture("Image8"), &DropPicture::clicked, this, [this] { copyPanels(m_list2->selectedPaths(), Side::Archive); });
    connect(picture("Image7"), &DropPicture::panelsDropped, this,
            [this](const QStringList &paths) { copyPanels(paths, Side::Disk); });
    connect(picture("Image8"), &DropPicture::panelsDropped, this,
            [this](const QStringList &paths) { copyPanels(paths, Side::Archive); });
}

void ManagerWindow::buildMenus()
{
    const auto action = [this](QMenu *menu, const char *name, auto slot) {
        QAction *a = menu->addAction(QString());
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu *archive = menuBar()->addMenu(QString());
    archive->setObjectName("mnuArchivio");
    action(archive, "aggiungi", &ManagerWindow::newArchive);
    action(archive, "rename", &ManagerWindow::renameArchive);
    action(archive, "elimina", &ManagerWindow::deleteArchive);
    archive->addSeparator();
    action(archive, "nuovoPannello", &ManagerWindow::newPanel)->setShortcut(QKeySequence::New);
    action(archive, "copiaInArchivio", qOverload<>(&ManagerWindow::copyToArchive));
    action(archive, "cestino", &ManagerWindow::openRecycleBin);
    archive->addSeparator();
    action(archive, "aggiorna", &ManagerWindow::refreshAfterChange)->setShortcut(QKeySequence::Refresh);
    action(archive, "impostazioni", &ManagerWindow::openSettings);
    // The Delete key does what the delete picture's click does.
    auto *deleteKey = new QAction(this);
    deleteKey->setShortcut(QKeySequence::Delete);
    deleteKey->setShortcutContext(Qt::WindowShortcut);
    connect(deleteKey, &QAction::triggered, this, &ManagerWindow::deleteChosenPanels);
    addAction(deleteKey);
    archive->addSeparator();
    action(archive, "esci", &QWidget::close)->setShortcut(QKeySequence::Quit);

    // The disk side's menus: the local disks and the controller mode.
    QMenu *disk = menuBar()->addMenu(QString());
    disk->setObjectName("mnuDisco");
    action(disk, "USBadd", &ManagerWindow::newDisk);
    action(disk, "USBaddChiavetta", &ManagerWindow::newDiskOnStick);
    action(disk, "usbren", &ManagerWindow::renameDisk);
    action(disk, "USBdel", &ManagerWindow::deleteDisk);

    QMenu *mode = menuBar()->addMenu(QString());
    mode->setObjectName("mnuModo");
    m_modeGroup = new QActionGroup(this);
    const char *modes[] = {"Lince", "Emu", "Volpe", "orsa"};
    for (int i = 0; i < 4; ++i) {
        QAction *a = mode->addAction(QString());
        a->setObjectName(modes[i]);
        a->setCheckable(true);
        m_modeGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, i] { setMode(i); });
    }

    QMenu *help = menuBar()->addMenu(QString());
    help->setObjectName("mnuAiuto");
    action(help, "Informazioni", [this] {
        QMessageBox::about(this, text(text::WindowCaption),
                           text(text::AboutText) + "\n\n" + toQString(m_context.programDirectory));
    });
}

void ManagerWindow::applyTexts()
{
    // Qt's own texts (message box buttons, dialogs) follow the language too.
    kn4::QtLanguage::install(QString::fromStdString(languageFolderName(m_context.files.settings.language)));
    setWindowTitle(text(text::WindowCaption));
    const auto setAction = [this](const char *name, int line) {
        if (QAction *a = findChild<QAction *>(name))
            a->setText(text(line));
    };
    const auto setMenu = [this](const char *name, int line) {
        if (QMenu *m = findChild<QMenu *>(name))
            m->setTitle(text(line));
    };
    setMenu("mnuArchivio", text::MenuArchive);
    setAction("aggiungi", text::MenuNewArchive);
    setAction("rename", text::MenuRenameArchive);
    setAction("elimina", text::MenuDeleteArchive);
    setAction("aggiorna", text::MenuRefresh);
    setAction("nuovoPannello", text::MenuNewPanel);
    setAction("copiaInArchivio", text::MenuCopyToArchive);
    setAction("cestino", text::MenuRecycleBin);
    setAction("impostazioni", text::MenuSettings);
    setAction("esci", text::MenuExit);
    setMenu("mnuDisco", text::MenuDisk);
    setAction("USBadd", text::MenuNewDisk);
    setAction("USBaddChiavetta", text::MenuNewDiskOnStick);
    setAction("usbren", text::MenuRenameDisk);
    setAction("USBdel", text::MenuDeleteDisk);
    setMenu("mnuModo", text::MenuMode);
    setAction("Lince", text::ModeLince);
    setAction("Emu", text::ModeEmulator);
    setAction("Volpe", text::ModeVolpe);
    setAction("orsa", text::ModeOrsa);
    setMenu("mnuAiuto", text::MenuHelp);
    setAction("Informazioni", text::MenuAbout);

    m_archiveCaption->setText(text(text::ArchiveCaption));
    m_diskCaption->setText(text(text::DiskCaption));
    m_combo1->setToolTip(text(text::TipArchives));
    m_diskFolders->setToolTip(text(text::TipDisks));
    m_list1->setToolTip(text(text::TipArchiveList));
    m_list2->setToolTip(text(text::TipDiskList));
    m_list3->setToolTip(text(text::TipImageList));

    const struct
    {
        const char *name;
        PictureKind kind;
        int caption;
        int tip;
    } pictures[] = {
        {"Image1", PictureKind::Delete, text::PictureDelete, text::TipDelete},
        {"Image2", PictureKind::Simulator, text::PictureSimulator, text::TipSimulator},
        {"Image3", PictureKind::Editor, text::PictureEditor, text::TipEditor},
        {"Image4", PictureKind::NewName, text::PictureNewName, text::TipNewNameArchive},
        {"Image6", PictureKind::NewName, text::PictureNewName, text::TipNewNameDisk},
        {"Image7", PictureKind::CopyToDisk, text::PictureCopy, text::TipCopyToDisk},
        {"Image8", PictureKind::CopyToArchive, text::PictureCopy, text::TipCopyToArchive},
        {"Image9", PictureKind::Print, text::PicturePrint, text::TipPrint},
    };
    for (const auto &p : pictures) {
        DropPicture *picture = findChild<DropPicture *>(p.name);
        picture->setPixmap(drawPicture(p.kind, text(p.caption)));
        picture->setToolTip(text(p.tip));
    }
    m_preview->setCaptions([this](int line) { return text(line); });
    AggiornaArchivi();
    AggiornaDischi();
    ImpostaModo();
    updateEditingCaption();
    emit textsApplied();
}

// ---------------------------------------------------------------------------
// Lists

void ManagerWindow::setFile1(const fs::path &folder, const std::string &extension)
{
    m_file1Folder = folder;
    m_file1Extension = extension;
}

void ManagerWindow::CreaLista(int S, const QString &sel)
{
    PanelListWidget *list = S == 1 ? m_list1 : S == 2 ? m_list2 : m_list3;
    QLabel *count = S == 1 ? m_archiveCount : S == 2 ? m_diskCount : m_imageCount;
    const QSignalBlocker blocker(list);
    list->clear();
    const std::vector<PanelEntry> entries =
        m_file1Folder.empty() ? std::vector<PanelEntry>() : listFiles(m_file1Folder, m_file1Extension);
    for (const PanelEntry &entry : entries) {
        auto *item = new QListWidgetItem(QString::fromStdString(entry.name), list);
        item->setData(Qt::UserRole, toQString(entry.path));
        item->setToolTip(toQString(entry.path));
    }
    if (!sel.isEmpty())
        list->selectName(sel);
    count->setText(text(text::CountPrefix) + QString::number(list->count()));
}

fs::path ManagerWindow::archiveFolder() const
{
    return m_combo1->currentIndex() < 0 ? fs::path() : m_archives.find(m_combo1->currentText().toStdString());
}

fs::path ManagerWindow::diskFolder() const
{
    if (m_diskFolders->currentIndex() < 0)
        return fs::path();
    return m_singleDisk.isEmpty() ? m_disks.find(m_diskFolders->currentText().toStdString()) : m_disks.root();
}

void ManagerWindow::SelArchivio()
{
    const QString current = m_combo1->currentText();
    {
        const QSignalBlocker blocker(m_combo1);
        m_combo1->clear();
        for (const FolderEntry &folder : m_archives.folders())
            m_combo1->addItem(QString::fromStdString(folder.name));
        const int index = m_combo1->findText(current);
        m_combo1->setCurrentIndex(index >= 0 ? index : (m_combo1->count() > 0 ? 0 : -1));
    }
    AggiornaArchivi();
}

void ManagerWindow::AggiornaArchivi()
{
    // What the user had chosen stays chosen, and nothing more: a selection
    // the user cleared stays cleared.
    const QStringList selected = m_list1->selectedNames();
    const fs::path previousFolder = m_file1Folder;
    setFile1(archiveFolder(), ".kn4");
    CreaLista(1, QString());
    {
        const QSignalBlocker blocker(m_list1);
        m_list1->selectNames(selected);
    }
    // A panel of the archive left is no longer shown: the preview shows the
    // panel of the same name in the archive now shown, or nothing.
    if (m_file1Folder != previousFolder && !m_currentPanel.isEmpty()
        && toPath(m_currentPanel).parent_path() == previousFolder) {
        const QListWidgetItem *item = m_list1->currentItem();
        choosePanel(item != nullptr && item->isSelected() ? item->data(Qt::UserRole).toString() : QString());
    }
}

void ManagerWindow::SelDisco()
{
    const QString current = m_diskFolders->currentText();
    {
        const QSignalBlocker blocker(m_diskFolders);
        m_diskFolders->clear();
        m_diskFolders->addItems(diskNames());
        int index = m_diskFolders->findText(current);
        // The disk of the last session, once the disk side lists it.
        if (!m_pendingDisk.isEmpty() && m_diskFolders->findText(m_pendingDisk) >= 0) {
            index = m_diskFolders->findText(m_pendingDisk);
            m_pendingDisk.clear();
        }
        m_diskFolders->setCurrentIndex(index >= 0 ? index : (m_diskFolders->count() > 0 ? 0 : -1));
    }
    AggiornaDischi();
}

void ManagerWindow::setDiskSource(const fs::path &root, const QString &singleDisk)
{
    m_disks = FolderStore(root, kDiskNameLength);
    m_singleDisk = root.empty() ? QString() : singleDisk;
    SelDisco();
}

QStringList ManagerWindow::diskNames() const
{
    if (!m_singleDisk.isEmpty())
        return {m_singleDisk};
    QStringList names;
    if (!m_disks.root().empty())
        for (const FolderEntry &folder : m_disks.folders())
            names.append(QString::fromStdString(folder.name));
    return names;
}

void ManagerWindow::AggiornaDischi()
{
    const QStringList selected = m_list2->selectedNames();
    setFile1(diskFolder(), ".kn4");
    CreaLista(2, QString());
    const QSignalBlocker blocker(m_list2);
    m_list2->selectNames(selected);
}

void ManagerWindow::refreshAfterChange()
{
    SelArchivio();
    SelDisco();
    MascAnteprima();
}

QString ManagerWindow::showPanel(const QString &path)
{
    fs::path panel = toPath(path);
    std::error_code ec;
    if (!fs::is_regular_file(panel, ec)) {
        showError(text(text::FileMissing).arg(path));
        return {};
    }
    SelArchivio();
    std::string archive = m_archives.holderOf(panel);
    if (archive.empty()) {
        const fs::path folder = archiveFolder();
        if (folder.empty()) {
            showWarning(text(text::NoArchiveChosen));
            return {};
        }
        QString question = text(text::AskCopyIntoArchive);
        if (question.isEmpty())  // a lingua.ini from before this text
            question = QStringLiteral("Il pannello %1 non \u00E8 in un archivio. Copiarlo nell'archivio %2?");
        if (!confirm(question.arg(panelName(path), m_combo1->currentText()), true))
            return {};
        if (m_watch.isBeingEdited(folder / panel.filename())) {
            showError(text(text::AlreadyBeingEdited).arg(panelName(path)));
            return {};
        }
        const CopyResult copied = manager::copyPanel(panel, folder, [&](const std::string &name) {
            return confirm(text(text::AskReplacePanel).arg(QString::fromStdString(name), m_combo1->currentText()),
                           true);
        });
        if (copied.outcome == CopyResult::Outcome::Failed) {
            showError(text(text::CannotCopy).arg(panelName(path), QString::fromStdString(copied.error)));
            return {};
        }
        panel = copied.target;
        archive = m_combo1->currentText().toStdString();
    }
    {
        const QSignalBlocker blocker(m_combo1);
        m_combo1->setCurrentIndex(m_combo1->findText(QString::fromStdString(archive)));
    }
    setFile1(archiveFolder(), ".kn4");
    CreaLista(1, panelName(toQString(panel)));
    if (m_list1->currentItem())
        choosePanel(m_list1->currentItem()->data(Qt::UserRole).toString());
    return toQString(panel);
}

void ManagerWindow::choosePanel(const QString &path)
{
    m_currentPanel = path;
    MascAnteprima();
}

void ManagerWindow::MascAnteprima()
{
    if (m_currentPanel.isEmpty() || !fs::exists(toPath(m_currentPanel))) {
        m_currentPanel.clear();
        m_preview->clear();
        return;
    }
    std::string bytes;
    std::string error;
    if (!readFileBytes(toPath(m_currentPanel), bytes, error)) {
        m_preview->clear();
        return;
    }
    m_preview->showPanel(m_currentPanel, PanelPreview::fromBytes(std::move(bytes)), panelName(m_currentPanel));
}

// ---------------------------------------------------------------------------
// Messages

void ManagerWindow::showError(const QString &message)
{
    Messages(this, [this](int line) { return text(line); }).error(message);
}

void ManagerWindow::showWarning(const QString &message)
{
    Messages(this, [this](int line) { return text(line); }).warning(message);
}

bool ManagerWindow::confirm(const QString &message, bool yesNo)
{
    return Messages(this, [this](int line) { return text(line); }).confirm(message, yesNo);
}

QString ManagerWindow::askName(int prompt, const QString &initial, int maxLength)
{
    NameDialog dialog(text(text::DialogCaption), text(prompt), text(text::DialogOk), text(text::DialogCancel), this);
    if (maxLength > 0)
        dialog.setMaxLength(maxLength);
    dialog.setName(initial);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.name();
}

// ---------------------------------------------------------------------------
// Panels

bool ManagerWindow::copyPanelTo(const QString &panel, const fs::path &folder, const QString &folderName,
                                QStringList &errors)
{
    const CopyResult result = manager::copyPanel(toPath(panel), folder, [&](const std::string &name) {
        return confirm(text(text::AskReplacePanel).arg(QString::fromStdString(name), folderName), true);
    });
    if (result.outcome == CopyResult::Outcome::Failed)
        errors.append(text(text::CannotCopy).arg(panelName(panel), QString::fromStdString(result.error)));
    return result.outcome != CopyResult::Outcome::Failed;
}

bool ManagerWindow::mayGoToMachine(const QString &panel, QStringList &errors)
{
    const MachineCheck check = MachineCheck::ofFile(toPath(panel));
    if (check.refused()) {
        errors.append(text(text::NotForMachine).arg(panelName(panel)));
        return false;
    }
    if (check.verdict == MachineCheck::Verdict::EdgesCross)
        return confirm(text(text::AskCopyCrossing).arg(panelName(panel)).arg(check.course), true);
    return true;
}

void ManagerWindow::copyPanels(const QStringList &paths, Side target)
{
    if (paths.isEmpty()) {
        showWarning(text(text::NoPanelChosen));
        return;
    }
    const fs::path folder = target == Side::Archive ? archiveFolder() : diskFolder();
    if (folder.empty()) {
        showWarning(text(target == Side::Archive ? text::NoArchiveChosen : text::NoDiskChosen));
        return;
    }
    const QString folderName = target == Side::Archive ? m_combo1->currentText() : m_diskFolders->currentText();
    QStringList errors;
    // Many panels: each is named as it is written, and the copy can be
    // stopped between two panels (a panel is never left half-written).
    std::unique_ptr<QProgressDialog> progress;
    if (paths.size() > kProgressFrom) {
        progress = std::make_unique<QProgressDialog>(QString(), text(text::ProgressStop), 0, int(paths.size()), this);
        progress->setObjectName("progressoCopia");
        progress->setWindowTitle(text(text::ProgressCopyCaption));
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        progress->setAutoReset(false);
    }
    int done = 0;
    for (const QString &path : paths) {
        if (progress) {
            if (progress->wasCanceled()) {
                errors.append(text(text::ProgressStopped).arg(done).arg(paths.size()));
                break;
            }
            progress->setLabelText(text(text::ProgressWriting)
                                       .arg(QString::fromStdString(toPath(path).filename().string()))
                                       .arg(done + 1)
                                       .arg(paths.size()));
            progress->setValue(done);
            QCoreApplication::processEvents();
        }
        ++done;
        if (m_watch.isBeingEdited(toPath(path)) || m_watch.isBeingEdited(folder / toPath(path).filename())) {
            errors.append(text(text::AlreadyBeingEdited).arg(panelName(path)));
            continue;
        }
        if (target == Side::Disk && !mayGoToMachine(path, errors))
            continue;
        copyPanelTo(path, folder, folderName, errors);
    }
    if (progress)
        progress->setValue(int(paths.size()));
    progress.reset();
    if (target == Side::Archive)
        AggiornaArchivi();
    else
        AggiornaDischi();
    if (!errors.isEmpty())
        showError(errors.join('\n'));
}

ManagerWindow::Side ManagerWindow::activeSide() const
{
    return m_activeSide;
}

QStringList ManagerWindow::chosenPanels(QString &source) const
{
    const bool fromDisk = m_activeSide == Side::Disk;
    source = fromDisk ? m_diskFolders->currentText() : m_combo1->currentText();
    return fromDisk ? m_list2->selectedPaths() : m_list1->selectedPaths();
}

QString ManagerWindow::deleteQuestion(const QStringList &paths, const QString &folder) const
{
    std::vector<std::string> names;
    for (const QString &path : paths)
        names.push_back(toCp1252(panelName(path)));
    const std::string question = manager::deleteQuestion(names, toCp1252(folder), m_context.files.texts,
                                                         m_context.files.settings.language);
    return fromCp1252(question) + "\n\n" + text(text::RecycleNote);
}

void ManagerWindow::deleteChosenPanels()
{
    // The panels of the list the user last clicked or moved into: the
    // other list's selection, perhaps made long ago, is never touched.
    QString source;
    const QStringList paths = chosenPanels(source);
    if (paths.isEmpty()) {
        showWarning(text(text::NoPanelChosen));
        return;
    }
    if (!confirm(deleteQuestion(paths, source), false))
        return;
    QStringList errors;
    for (const QString &path : paths) {
        std::string error;
        if (m_watch.isBeingEdited(toPath(path)))
            errors.append(text(text::AlreadyBeingEdited).arg(panelName(path)));
        else if (!deletePanel(toPath(path), error))
            errors.append(text(text::CannotDelete).arg(panelName(path), QString::fromStdString(error)));
    }
    refreshAfterChange();
    if (!errors.isEmpty())
        showError(errors.join('\n'));
}

void ManagerWindow::deleteDroppedPanels(const QStringList &paths)
{
    QStringList errors;
    for (const QString &path : paths) {
        if (m_watch.isBeingEdited(toPath(path))) {
            errors.append(text(text::AlreadyBeingEdited).arg(panelName(path)));
            continue;
        }
        if (!confirm(text(text::AskDeletePanel).arg(panelName(path)) + "\n\n" + text(text::RecycleNote), true))
            continue;
        std::string error;
        if (!deletePanel(toPath(path), error))
            errors.append(text(text::CannotDelete).arg(panelName(path), QString::fromStdString(error)));
    }
    refreshAfterChange();
    if (!errors.isEmpty())
        showError(errors.join('\n'));
}

void ManagerWindow::printChosenPanels()
{
    QString source;
    const QStringList paths = chosenPanels(source);
    if (paths.isEmpty()) {
        showWarning(text(text::NoPanelChosen));
        return;
    }
    if (!confirm(text(text::PrintOf) + QString::number(paths.size())
                     + text(paths.size() == 1 ? text::PartFrom : text::PartsFrom) + source,
                 false))
        return;
    printPanels(paths);
}

void ManagerWindow::printPanels(const QStringList &panels)
{
    const std::string program = programFileName(Program::Print);
    if (!m_launcher->isAvailable(program)) {
        showError(text(text::ProgramMissing).arg(QString::fromStdString(program)));
        return;
    }
    std::vector<std::string> arguments;
    for (const QString &panel : panels) {
        if (!panelPathFitsArgument(toPath(panel))) {
            showError(text(text::PathHasComma).arg(panel));
            continue;
        }
        arguments.push_back(
            launchArgument(Program::Print, toPath(panel), m_context.programDirectory, m_context.files.settings));
    }
    if (arguments.empty())
        return;
    QString error;
    if (!m_launcher->startDetached(program, arguments, error))
        showError(text(text::CannotStartProgram).arg(QString::fromStdString(program), error));
}

void ManagerWindow::startProgram(Program program, const QString &panel)
{
    if (!m_launcher->isAvailable(programFileName(program))) {
        showError(text(text::ProgramMissing).arg(QString::fromStdString(programFileName(program))));
        return;
    }
    if (!panelPathFitsArgument(toPath(panel))) {
        showError(text(text::PathHasComma).arg(panel));
        return;
    }
    const std::string argument = launchArgument(program, toPath(panel), m_context.programDirectory,
                                                m_context.files.settings);
    QString error;
    if (!m_launcher->startDetached(programFileName(program), argument, error))
        showError(text(text::CannotStartProgram).arg(QString::fromStdString(programFileName(program)), error));
}

void ManagerWindow::editPanelAt(const QString &path, int row)
{
    // The user sees the manager that answers the request, and its messages.
    raise();
    activateWindow();
    QString panel = path;
    if (m_disks.holderOf(toPath(path)).empty()) {
        panel = showPanel(path);
        if (panel.isEmpty())
            return;
    }
    editPanel(panel, row);
}

void ManagerWindow::editPanel(const QString &panel, int row)
{
    startEdit(panel, false, row);
}

void ManagerWindow::editChosenPanels()
{
    QString source;
    const QStringList paths = chosenPanels(source);
    if (paths.isEmpty()) {
        newPanel();
        return;
    }
    for (const QString &path : paths)
        editPanel(path);
}

void ManagerWindow::simulateChosenPanels()
{
    QString source;
    const QStringList paths = chosenPanels(source);
    if (paths.isEmpty()) {
        showWarning(text(text::NoPanelChosen));
        return;
    }
    for (const QString &path : paths)
        startProgram(Program::Simulator, path);
}

void ManagerWindow::newPanel()
{
    const fs::path folder = archiveFolder();
    if (folder.empty()) {
        showWarning(text(text::NoArchiveChosen));
        return;
    }
    const QString typed = askName(text::PromptNewPanel, {});
    if (typed.isEmpty())
        return;
    const std::string name = normalisedName(typed.toStdString());
    if (!isValidName(name)) {
        showWarning(text(text::InvalidName));
        return;
    }
    const std::string fileName = name + ".KN4";
    if (findFileIgnoringCase(folder, fileName) || m_watch.isBeingEdited(folder / fileName)) {
        showWarning(text(text::PanelExistsIn).arg(QString::fromStdString(name), m_combo1->currentText()));
        return;
    }
    startEdit(toQString(folder / fileName), true);
}

void ManagerWindow::copyToArchive()
{
    QString source;
    copyToArchive(chosenPanels(source));
}

void ManagerWindow::copyToArchive(const QStringList &paths)
{
    if (paths.isEmpty()) {
        showWarning(text(text::NoPanelChosen));
        return;
    }
    // Every archive but the one the panels are in.
    const fs::path from = toPath(paths.first()).parent_path();
    QStringList archives;
    for (const FolderEntry &archive : m_archives.folders()) {
        std::error_code ec;
        if (!fs::equivalent(archive.path, from, ec))
            archives.append(QString::fromStdString(archive.name));
    }
    if (archives.isEmpty()) {
        showWarning(text(text::NoOtherArchive));
        return;
    }
    std::vector<std::string> names;
    for (const QString &path : paths)
        names.push_back(toCp1252(panelName(path)));
    const QString fromName = QString::fromStdString(upperCase(from.filename().string()));
    ArchiveChoiceDialog dialog(text(text::MenuCopyToArchive).remove("..."),
                               text(text::CopyToArchivePrompt)
                                   .arg(fromCp1252(panelNamesText(names, m_context.files.texts,
                                                                  m_context.files.settings.language)),
                                        fromName),
                               archives, text(text::ButtonCopy), text(text::ButtonMove), text(text::DialogCancel),
                               this);
    if (dialog.exec() != QDialog::Accepted || dialog.archive().isEmpty())
        return;
    copyIntoArchive(paths, dialog.archive(), dialog.move());
}

void ManagerWindow::copyIntoArchive(const QStringList &paths, const QString &archive, bool move)
{
    const fs::path folder = m_archives.find(archive.toStdString());
    if (folder.empty()) {
        showWarning(text(text::NoArchiveChosen));
        return;
    }
    QStringList errors;
    for (const QString &path : paths) {
        // Neither the panel nor the one it would replace may be under an
        // edit: its copy back would undo the copy, or the other way.
        if (m_watch.isBeingEdited(toPath(path)) || m_watch.isBeingEdited(folder / toPath(path).filename())) {
            errors.append(text(text::AlreadyBeingEdited).arg(panelName(path)));
            continue;
        }
        const CopyResult result = manager::copyPanel(toPath(path), folder, [&](const std::string &name) {
            return confirm(text(text::AskReplacePanel).arg(QString::fromStdString(name), archive), true);
        });
        if (result.outcome == CopyResult::Outcome::Failed) {
            errors.append(text(text::CannotCopy).arg(panelName(path), QString::fromStdString(result.error)));
            continue;
        }
        // A move takes the panel away only once its copy reads back equal;
        // it goes to the recycle bin like any deleted panel.
        std::string error;
        if (move && result.copied() && !deletePanel(toPath(path), error))
            errors.append(text(text::CannotDelete).arg(panelName(path), QString::fromStdString(error)));
    }
    refreshAfterChange();
    if (!errors.isEmpty())
        showError(errors.join('\n'));
}

void ManagerWindow::openRecycleBin()
{
    std::vector<RecycleBinDialog::Place> places;
    const auto add = [&](const fs::path &folder) {
        if (!folder.empty())
            places.push_back({folder, QString::fromStdString(upperCase(folder.filename().string()))});
    };
    add(archiveFolder());
    add(m_archives.root());
    const fs::path disk = diskFolder();
    add(disk);
    if (m_singleDisk.isEmpty() && !m_disks.root().empty())
        add(m_disks.root());
    RecycleBinDialog dialog(std::move(places), [this](int line) { return text(line); },
                            [this](const fs::path &panel) { return m_watch.isBeingEdited(panel); }, this);
    dialog.exec();
    if (dialog.changed())
        refreshAfterChange();
}

bool ManagerWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_combo1) {
        PanelDrag drag;
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto *dragEvent = static_cast<QDragMoveEvent *>(event);
            if (PanelDrag::fromMimeData(dragEvent->mimeData(), drag))
                dragEvent->acceptProposedAction();
            else
                dragEvent->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto *dropEvent = static_cast<QDropEvent *>(event);
            if (!PanelDrag::fromMimeData(dropEvent->mimeData(), drag))
                return false;
            dropEvent->setDropAction(Qt::CopyAction);
            dropEvent->accept();
            // The choice of the archive opens once the drag has ended.
            QMetaObject::invokeMethod(this, [this, drag] { copyToArchive(drag.paths); }, Qt::QueuedConnection);
            return true;
        }
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void ManagerWindow::startEdit(const QString &panel, bool isNew, int row)
{
    if (!m_launcher->isAvailable(programFileName(Program::Editor))) {
        showError(text(text::ProgramMissing).arg(QString::fromStdString(programFileName(Program::Editor))));
        return;
    }
    // The editor works on a copy of the same name in the program directory.
    const fs::path workingCopy = m_context.programDirectory / toPath(panel).filename();
    if (!panelPathFitsArgument(workingCopy)) {
        showError(text(text::PathHasComma).arg(toQString(workingCopy)));
        return;
    }
    EditingWatch::BeginResult begun = isNew ? m_watch.beginNew(toPath(panel)) : m_watch.begin(toPath(panel));
    if (begun.outcome == EditingWatch::BeginResult::Outcome::EditedElsewhere && !isNew) {
        // Another manager's mark: say whose, and let the user break it
        // after the warning (No is the default).
        const QString unknown = text(text::UnknownOwner);
        const QString owner =
            text(text::EditedElsewhere)
                .arg(panelName(panel), begun.owner ? QString::fromStdString(begun.owner->user) : unknown,
                     begun.owner ? QString::fromStdString(begun.owner->host) : unknown,
                     begun.owner ? QString::number(begun.owner->pid) : unknown);
        if (!confirm(owner + "\n\n" + text(text::AskBreakLock), true))
            return;
        begun = m_watch.begin(toPath(panel), begun.owner);
    }
    if (begun.outcome == EditingWatch::BeginResult::Outcome::AlreadyEditing ||
        begun.outcome == EditingWatch::BeginResult::Outcome::EditedElsewhere) {
        showWarning(text(text::AlreadyBeingEdited).arg(panelName(panel)));
        return;
    }
    if (begun.outcome == EditingWatch::BeginResult::Outcome::Failed) {
        showError(text(text::WorkingCopyFailed).arg(panelName(panel), QString::fromStdString(begun.error)));
        return;
    }
    const std::string program = programFileName(Program::Editor);
    std::vector<std::string> arguments{
        launchArgument(Program::Editor, begun.workingCopy, m_context.programDirectory, m_context.files.settings)};
    if (row > 0)
        arguments.insert(arguments.end(), {"--row", std::to_string(row)});
    QString error;
    if (!m_launcher->startWatched(begun.id, program, arguments, error)) {
        m_watch.editorFailedToStart(begun.id);
        showError(text(text::CannotStartProgram).arg(QString::fromStdString(program), error));
        return;
    }
    m_watch.editorStarted(begun.id);
    updateEditingCaption();
}

void ManagerWindow::onEditorEnded(int id)
{
    const EditingWatch::EndResult ended = m_watch.editorEnded(id);
    refreshAfterChange();
    reportCopyBack(ended);
    m_watch.listsRefreshed(id);
    updateEditingCaption();
    emit editFinished(id);
}

void ManagerWindow::reportCopyBack(const EditingWatch::EndResult &ended)
{
    using Outcome = EditingWatch::EndResult::Outcome;
    const QString panel = panelName(toQString(ended.panel));
    switch (ended.outcome) {
    case Outcome::KeptBeside:
        showWarning(text(text::KeptBeside).arg(panel, panelName(toQString(ended.keptAs))));
        break;
    case Outcome::WorkingCopyMissing:
        showError(text(text::WorkingCopyMissing).arg(panel, toQString(ended.workingCopy)));
        break;
    case Outcome::Failed:
        showError(text(text::CopyBackFailed)
                      .arg(panel, QString::fromStdString(ended.error), toQString(ended.workingCopy)));
        break;
    case Outcome::Unchanged:
    case Outcome::CopiedBack:
    case Outcome::UnknownEdit:
        break;
    }
}

void ManagerWindow::offerOrphans()
{
    for (const EditingWatch::Orphan &orphan : m_watch.orphans()) {
        const QString copy = toQString(orphan.workingCopy);
        const bool knowsPanel = !orphan.panel.empty();
        QString date;
        std::error_code ec;
        const auto modified = fs::last_write_time(orphan.workingCopy, ec);
        if (!ec) {
            const auto seconds = std::chrono::time_point_cast<std::chrono::seconds>(
                std::chrono::file_clock::to_sys(modified));
            date = QDateTime::fromSecsSinceEpoch(seconds.time_since_epoch().count()).toString("dd/MM/yyyy hh:mm");
        }
        QMessageBox box(QMessageBox::Question, text(text::TitleConfirm),
                        knowsPanel ? text(text::OrphanQuestion).arg(copy, toQString(orphan.panel), date)
                                   : text(text::OrphanWithoutPanel).arg(copy),
                        QMessageBox::NoButton, this);
        QPushButton *bringBack = knowsPanel ? box.addButton(text(text::ButtonBringBack), QMessageBox::AcceptRole)
                                            : nullptr;
        QPushButton *remove = box.addButton(text(text::ButtonDelete), QMessageBox::DestructiveRole);
        QPushButton *leave = box.addButton(text(text::ButtonLeave), QMessageBox::RejectRole);
        box.setDefaultButton(bringBack != nullptr ? bringBack : leave);
        box.setEscapeButton(leave);
        box.exec();
        if (bringBack != nullptr && box.clickedButton() == bringBack) {
            const EditingWatch::EndResult back = m_watch.bringBack(orphan);
            refreshAfterChange();
            if (back.outcome == EditingWatch::EndResult::Outcome::CopiedBack)
                Messages(this, [this](int line) { return text(line); })
                    .information(text(text::BroughtBack).arg(copy, toQString(back.panel)));
            else
                reportCopyBack(back);
        } else if (box.clickedButton() == remove) {
            std::string error;
            if (!m_watch.discard(orphan, &error))
                showError(text(text::CannotDelete).arg(copy, QString::fromStdString(error)));
        }
    }
}

void ManagerWindow::onEditorFailed(int id, const QString &reason)
{
    m_watch.editorFailedToStart(id);
    updateEditingCaption();
    showError(text(text::CannotStartProgram).arg(QString::fromStdString(programFileName(Program::Editor)), reason));
    emit editFinished(id);
}

void ManagerWindow::updateEditingCaption()
{
    QStringList names;
    for (const EditingWatch::Edit &edit : m_watch.edits())
        names.append(panelName(toQString(edit.panel)));
    m_label2->setText(names.isEmpty() ? text(text::NothingBeingEdited) : text(text::BeingEdited) + names.join(", "));
}

void ManagerWindow::duplicatePanel(const QString &panel)
{
    const QString typed = askName(text::PromptPanelCopy, panelName(panel));
    if (typed.isEmpty())
        return;
    const std::string name = normalisedName(typed.toStdString());
    if (!isValidName(name)) {
        showWarning(text(text::InvalidName));
        return;
    }
    const fs::path folder = toPath(panel).parent_path();
    // A panel being edited (here or by another manager) is never replaced:
    // its copy back would then overwrite the duplicate, or the other way.
    if (m_watch.isBeingEdited(folder / (name + toPath(panel).extension().string()))) {
        showWarning(text(text::AlreadyBeingEdited).arg(QString::fromStdString(name)));
        return;
    }
    const CopyResult copy = manager::duplicatePanel(toPath(panel), name, [&](const std::string &existing) {
        return confirm(text(text::AskReplacePanel)
                           .arg(QString::fromStdString(existing), QString::fromStdString(upperCase(folder.filename().string()))),
                       true);
    });
    refreshAfterChange();
    if (copy.outcome == CopyResult::Outcome::Failed) {
        showError(text(text::CannotCopy).arg(panelName(panel), QString::fromStdString(copy.error)));
        return;
    }
    if (copy.copied())
        editPanel(toQString(copy.target));
}

// ---------------------------------------------------------------------------
// Archives and local disks

bool ManagerWindow::folderHasEdit(const fs::path &folder)
{
    // An edit here or in another manager: its copy back needs the folder.
    if (!m_watch.folderHasEdits(folder))
        return false;
    showWarning(text(text::EditStillRunning));
    return true;
}

namespace {

// The message of a folder operation that did not succeed; empty when it did.
QString folderMessage(const FolderStore::Result &result, const QString &exists, const QString &invalid,
                      const QString &failed)
{
    switch (result.outcome) {
    case FolderStore::Outcome::Done: return {};
    case FolderStore::Outcome::Exists: return exists;
    case FolderStore::Outcome::InvalidName: return invalid;
    case FolderStore::Outcome::Missing:
    case FolderStore::Outcome::Failed: break;
    }
    return failed.arg(QString::fromStdString(result.name), QString::fromStdString(result.error));
}

} // namespace

void ManagerWindow::newArchive()
{
    const QString typed = askName(text::PromptNewArchive, {});
    if (typed.isEmpty())
        return;
    const FolderStore::Result result = m_archives.create(typed.toStdString());
    const QString message = folderMessage(result, text(text::ArchiveExists), text(text::InvalidName),
                                          text(text::CannotCreateFolder));
    if (!message.isEmpty()) {
        showError(message);
        return;
    }
    SelArchivio();
    m_combo1->setCurrentText(QString::fromStdString(result.name));
}

// The archives and the local disks are renamed and deleted by the same
// rules; only their store, their list, their texts and the longest name differ.
ManagerWindow::FolderKind ManagerWindow::archiveKind()
{
    return {m_archives, m_combo1, archiveFolder(), &ManagerWindow::SelArchivio, text::NoArchiveChosen,
            text::PromptRenameArchive, text::ArchiveExists, text::AskDeleteArchive, 0};
}

ManagerWindow::FolderKind ManagerWindow::diskKind()
{
    return {m_disks, m_diskFolders, diskFolder(), &ManagerWindow::SelDisco, text::NoDiskChosen,
            text::PromptRenameDisk, text::DiskExists, text::AskDeleteDisk, kDiskNameLength};
}

void ManagerWindow::renameFolder(const FolderKind &kind)
{
    if (kind.folder.empty()) {
        showWarning(text(kind.noneChosen));
        return;
    }
    if (folderHasEdit(kind.folder))
        return;
    const QString old = kind.list->currentText();
    const QString typed = askName(kind.promptRename, old, kind.maxLength);
    if (typed.isEmpty() || typed == old)
        return;
    const FolderStore::Result result = kind.store.rename(old.toStdString(), typed.toStdString());
    const QString message = folderMessage(result, text(kind.exists), text(text::InvalidName),
                                          text(text::CannotRename));
    if (!message.isEmpty())
        showError(message);
    (this->*kind.refresh)();
    if (result.done())
        kind.list->setCurrentText(QString::fromStdString(result.name));
}

void ManagerWindow::deleteFolder(const FolderKind &kind)
{
    if (kind.folder.empty()) {
        showWarning(text(kind.noneChosen));
        return;
    }
    if (folderHasEdit(kind.folder))
        return;
    const QString name = kind.list->currentText();
    if (!confirm(text(kind.askDelete).arg(name) + "\n\n" + text(text::RecycleNote), false))
        return;
    const FolderStore::Result result = kind.store.remove(name.toStdString());
    (this->*kind.refresh)();
    MascAnteprima();
    if (!result.done())
        showError(text(text::CannotRemoveFolder).arg(name, QString::fromStdString(result.error)));
}

void ManagerWindow::renameArchive()
{
    renameFolder(archiveKind());
}

void ManagerWindow::deleteArchive()
{
    deleteFolder(archiveKind());
}

void ManagerWindow::newDisk()
{
    const std::string name = createDisk(m_localDisks);
    if (name.empty())
        return;
    std::error_code ec;
    if (!m_singleDisk.isEmpty() || !fs::equivalent(m_disks.root(), m_localDisks.root(), ec)) {
        // The disk side shows a stick or the floppy: say where the disk went.
        Messages(this, [this](int line) { return text(line); })
            .information(text(text::LocalDiskMade)
                             .arg(QString::fromStdString(name), toQString(m_localDisks.root())));
        return;
    }
    SelDisco();
    m_diskFolders->setCurrentText(QString::fromStdString(name));
}

void ManagerWindow::newDiskOnStick()
{
    // The folder of the stick's disks, by mode: maglie/ (volpe), orsa/.
    const char *const modeFolders[] = {"", "immagini", "maglie", "orsa"};
    const int mode = std::clamp(m_context.files.mode, 0, 3);
    std::error_code ec;
    if (m_disks.root().empty() || !m_singleDisk.isEmpty() || fs::equivalent(m_disks.root(), m_localDisks.root(), ec)) {
        showWarning(text(text::NoStickForDisk).arg(QString::fromLatin1(modeFolders[mode])));
        return;
    }
    const std::string name = createDisk(m_disks);
    if (name.empty())
        return;
    SelDisco();
    m_diskFolders->setCurrentText(QString::fromStdString(name));
}

std::string ManagerWindow::createDisk(FolderStore &store)
{
    const QString typed = askName(text::PromptNewDisk, {}, kDiskNameLength);
    if (typed.isEmpty())
        return {};
    const FolderStore::Result result = store.create(typed.toStdString());
    const QString message = folderMessage(result, text(text::DiskExists), text(text::InvalidName),
                                          text(text::CannotCreateFolder));
    if (!message.isEmpty()) {
        showError(message);
        return {};
    }
    return result.name;
}

void ManagerWindow::renameDisk()
{
    renameFolder(diskKind());
}

void ManagerWindow::deleteDisk()
{
    deleteFolder(diskKind());
}

// ---------------------------------------------------------------------------
// Settings, mode and the end of the program

void ManagerWindow::openSettings()
{
    SettingsWindow settings(m_context, this);
    connect(&settings, &SettingsWindow::languageChanged, this, &ManagerWindow::applyTexts);
    settings.exec();
    applyTexts();
}

void ManagerWindow::closeEvent(QCloseEvent *event)
{
    // Closing now would leave an editor whose work never comes back.
    if (m_watch.hasRunningEdits()) {
        showWarning(text(text::EditStillRunning));
        event->ignore();
        return;
    }
    std::string error;
    SavedState state;
    state.mode = m_context.files.mode;
    state.archive = m_combo1->currentText().toStdString();
    state.disk = m_diskFolders->currentText().toStdString();
    state.geometry = saveGeometry().toHex().toStdString();
    if (!state.save(m_context.programDirectory / ManagerFiles::kStateFileName, error))
        showError(text(text::CannotSave).arg(ManagerFiles::kStateFileName, QString::fromStdString(error)));
    event->accept();
}

// ---------------------------------------------------------------------------
// The disk side

void ManagerWindow::buildDiskSide(QWidget *central)
{
    m_diskCaption = new QLabel(central);
    m_diskCaption->setObjectName("diskCaption");
    m_diskFolders = new QComboBox(central);
    m_diskFolders->setObjectName("diskFolders");
    m_list2 = new PanelListWidget("List2", central);
    m_diskCount = new QLabel(central);
    m_diskCount->setObjectName("diskCount");
    // The diskette images of the emulator mode.
    m_list3 = new PanelListWidget("List3", central);
    m_list3->setDragEnabled(false);
    m_list3->setAcceptDrops(false);
    m_list3->setVisible(false);
    m_imageCount = new QLabel(central);
    m_imageCount->setObjectName("imageCount");
    m_imageCount->setVisible(false);

    connect(m_diskFolders, &QComboBox::currentIndexChanged, this, [this] { AggiornaDischi(); });
    connectPanelList(m_list2, Side::Disk);
}

// What a list of panels does, on either side: the list last used is the one
// the menu's commands act on, the panel chosen is previewed, panels dropped
// are copied to that side, and a double click or Enter edits (as a drop on
// the editor's picture does).
void ManagerWindow::connectPanelList(PanelListWidget *list, Side side)
{
    connect(list, &PanelListWidget::userActivated, this, [this, side] { m_activeSide = side; });
    connect(list, &QListWidget::itemSelectionChanged, this, [this, list] {
        if (QListWidgetItem *item = list->currentItem(); item != nullptr && item->isSelected())
            choosePanel(item->data(Qt::UserRole).toString());
    });
    connect(list, &PanelListWidget::panelsDropped, this,
            [this, side](const QStringList &paths, const QString &) { copyPanels(paths, side); });
    connect(list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { editPanel(item->data(Qt::UserRole).toString()); });
    connect(list, &PanelListWidget::enterPressed, this, &ManagerWindow::editChosenPanels);
}

void ManagerWindow::setMode(int mode)
{
    m_context.files.mode = mode;
    ImpostaModo();
}

void ManagerWindow::ImpostaModo()
{
    const int mode = std::clamp(m_context.files.mode, 0, 3);
    const QList<QAction *> entries = m_modeGroup->actions();
    for (int i = 0; i < entries.size(); ++i)
        entries[i]->setChecked(i == mode);
    m_label5->setText(text(text::ModeCaption) + text(text::ModeNameLince + mode));
    // Disks on a stick are made only in the modes that keep them there.
    if (QAction *onStick = findChild<QAction *>("USBaddChiavetta"))
        onStick->setVisible(mode == 2 || mode == 3);
    QPalette palette = m_label5->palette();
    palette.setColor(QPalette::WindowText, kModeColours[mode]);
    m_label5->setPalette(palette);
}

void ManagerWindow::Timer1_Timer()
{
    // A disk folder made or removed outside the manager shows up here.
    QStringList shown;
    for (int i = 0; i < m_diskFolders->count(); ++i)
        shown.append(m_diskFolders->itemText(i));
    if (shown != diskNames())
        SelDisco();
}

} // namespace kn4::manager
