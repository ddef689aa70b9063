#include "transfer/window/transferside.h"

#include "kn4/atomicfile.h"
#include "transfer/diskimage.h"
#include "transfer/floppyformat.h"
#include "transfer/imagefile.h"
#include "transfer/machinefiles.h"
#include "transfer/mediafiles.h"
#include "transfer/saferemoval.h"
#include "window/managerwindow.h"
#include "window/messages.h"
#include "window/panellistwidget.h"

#include <QAction>
#include <QActionGroup>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

namespace fs = std::filesystem;

namespace kn4::manager {

namespace {

using namespace kn4::transfer;

QString toQString(const std::string &text)
{
    return QString::fromStdString(text);
}

QString toQString(const fs::path &path)
{
    return QString::fromStdString(path.string());
}

// The box layout of the window that holds widget, searched from layout down.
QBoxLayout *layoutHolding(QLayout *layout, QWidget *widget)
{
    if (!layout)
        return nullptr;
    if (layout->indexOf(widget) >= 0)
        return qobject_cast<QBoxLayout *>(layout);
    for (int i = 0; i < layout->count(); ++i)
        if (QBoxLayout *found = layoutHolding(layout->itemAt(i)->layout(), widget))
            return found;
    return nullptr;
}

constexpr int kProcessTimeoutMs = 30000;

} // namespace

TransferSide::TransferSide(ManagerWindow *window)
    : QObject(window),
      m_window(window)
{
    setObjectName("transferSide");
    buildControls();
    buildMenus();
    // The mode entries: the window stores the mode and sets its caption
    // first, then the transfer follows.
    for (const char *name : {"Lince", "Emu", "Volpe", "orsa"})
        if (auto *entry = m_window->findChild<QAction *>(name))
            connect(entry, &QAction::triggered, this, [this] {
                m_scanner.reset();
                ImpostaModo();
            });
    if (auto *timer = m_window->findChild<QTimer *>("Timer1"))
        connect(timer, &QTimer::timeout, this, &TransferSide::Timer1_Timer);
    ImpostaModo();
}

void TransferSide::buildControls()
{
    auto *list3 = m_window->findChild<QWidget *>("List3");
    QWidget *parent = list3 ? list3->parentWidget() : m_window->centralWidget();
    auto *panel = new QWidget(parent);
    panel->setObjectName("transferPanel");
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);

    m_driveCaption = new QLabel(panel);
    m_driveCaption->setObjectName("driveCaption");
    m_driveCaption->setWordWrap(true);
    m_combo3 = new QComboBox(panel);
    m_combo3->setObjectName("Combo3");
    m_combo3->setToolTip("PLC del controllo lince");
    m_combo4 = new QComboBox(panel);
    m_combo4->setObjectName("Combo4");
    m_combo4->setToolTip("PLC del controllo volpe");
    m_combo2 = new QComboBox(panel);
    m_combo2->setObjectName("Combo2");
    m_combo2->setEditable(true);
    m_combo2->setToolTip("Nome dell'immagine");
    m_rawImage = new QCheckBox("anche .img", panel);
    m_rawImage->setObjectName("rawImage");
    m_rawImage->setToolTip("Scrive accanto all'immagine anche l'immagine dei settori senza CRC (.img)");
    m_command4 = new QPushButton("Crea immagine", panel);
    m_command4->setObjectName("Command4");
    m_command6 = new QPushButton("Elimina immagine", panel);
    m_command6->setObjectName("Command6");
    m_command1 = new QPushButton("Rimozione sicura", panel);
    m_command1->setObjectName("Command1");
    m_text1 = new QPlainTextEdit(panel);
    m_text1->setObjectName("Text1");
    m_text1->setReadOnly(true);
    m_text1->setMaximumHeight(130);
    m_text1->setFont(QFont("Liberation Mono", 9));

    grid->addWidget(m_driveCaption, 0, 0, 1, 3);
    // Only one family's PLC list shows at a time: they share a place.
    grid->addWidget(m_combo3, 1, 0);
    grid->addWidget(m_combo4, 1, 0);
    grid->addWidget(m_command1, 1, 2);
    grid->addWidget(m_combo2, 2, 0);
    grid->addWidget(m_rawImage, 2, 1);
    grid->addWidget(m_command4, 3, 0);
    grid->addWidget(m_command6, 3, 1);
    grid->addWidget(m_text1, 4, 0, 1, 3);

    QLayout *top = m_window->centralWidget() ? m_window->centralWidget()->layout() : nullptr;
    auto *imageCount = m_window->findChild<QWidget *>("imageCount");
    if (QBoxLayout *side = layoutHolding(top, imageCount ? imageCount : list3))
        side->addWidget(panel);
    else if (auto *box = qobject_cast<QBoxLayout *>(top))
        box->addWidget(panel);

    connect(m_command1, &QPushButton::clicked, this, &TransferSide::Command1_Click);
    connect(m_command4, &QPushButton::clicked, this, &TransferSide::Command4_Click);
    connect(m_command6, &QPushButton::clicked, this, &TransferSide::Command6_Click);
    if (auto *list = m_window->findChild<PanelListWidget *>("List3"))
        connect(list, &QListWidget::itemSelectionChanged, this, &TransferSide::showImage);
}

void TransferSide::buildMenus()
{
    QMenuBar *bar = m_window->menuBar();
    auto action = [this](QMenu *menu, const char *name, const QString &caption, auto slot) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    m_usbMenu = new QMenu("USB", bar);
    m_usbMenu->setObjectName("USB");
    action(m_usbMenu, "TestplcVolpe", "Controllo del disco volpe", &TransferSide::TestplcVolpe);
    m_cambioVolpe = action(m_usbMenu, "cambioVolpe", "Cambio PLC volpe", &TransferSide::cambioVolpe);
    action(m_usbMenu, "rimozione", "Rimozione sicura", &TransferSide::Command1_Click);

    m_floppyMenu = new QMenu("Floppy", bar);
    m_floppyMenu->setObjectName("floppy");
    action(m_floppyMenu, "FSel", "Controllo del dischetto", &TransferSide::FSel);
    m_cambio = action(m_floppyMenu, "cambio", "Cambio PLC", &TransferSide::cambio);
    m_floppyMenu->addSeparator();
    action(m_floppyMenu, "format", "Formatta dischetto", [this] { format(false); });
    action(m_floppyMenu, "formatv", "Formattazione veloce", [this] { format(true); });

    // Before the help menu, which stays last.
    QAction *help = nullptr;
    if (auto *helpMenu = m_window->findChild<QMenu *>("mnuAiuto"))
        help = helpMenu->menuAction();
    bar->insertMenu(help, m_usbMenu);
    bar->insertMenu(help, m_floppyMenu);
}

Mode TransferSide::mode() const
{
    return modeFromSaveText(std::to_string(m_window->context().files.mode));
}

std::optional<Drive> TransferSide::currentDrive() const
{
    return mode() == Mode::Lince ? m_floppy : m_scanner.modeDrive();
}

std::vector<Drive> TransferSide::drives() const
{
    return currentDrives(mountedVolumes(), DriveSettings::load(m_window->context().programDirectory));
}

std::vector<std::string> TransferSide::lincePlcNames() const
{
    return m_window->context().files.settings.controllerPrograms;
}

std::vector<std::string> TransferSide::volpePlcNames() const
{
    return volpeControllerPrograms(m_window->context().programDirectory);
}

void TransferSide::ImpostaModo()
{
    const ModeView view = transfer::ImpostaModo(mode());
    m_usbMenu->menuAction()->setVisible(view.usbMenu);
    m_floppyMenu->menuAction()->setVisible(view.floppyMenu);
    m_cambioVolpe->setVisible(view.cambioVolpe);
    m_combo3->setVisible(view.lincePlcList);
    m_combo4->setVisible(view.volpePlcList);
    for (QWidget *w : std::initializer_list<QWidget *>{m_combo2, m_rawImage, m_command4, m_command6})
        w->setVisible(view.imageControls);
    for (const char *name : {"List3", "imageCount"})
        if (auto *w = m_window->findChild<QWidget *>(name))
            w->setVisible(view.imageControls);
    m_command1->setVisible(view.usbMenu);
    // Disk folders are made on sticks and local disks, never on the floppy.
    if (auto *diskMenu = m_window->findChild<QMenu *>("mnuDisco"))
        diskMenu->menuAction()->setVisible(mode() != Mode::Lince);

    const QString plc = m_combo3->currentText();
    m_combo3->clear();
    for (const std::string &name : lincePlcNames())
        m_combo3->addItem(toQString(name));
    m_combo3->setCurrentIndex(std::max(0, m_combo3->findText(plc)));
    const QString volpe = m_combo4->currentText();
    m_combo4->clear();
    for (const std::string &name : volpePlcNames())
        m_combo4->addItem(toQString(name));
    m_combo4->setCurrentIndex(std::max(0, m_combo4->findText(volpe)));

    if (auto *label5 = m_window->findChild<QLabel *>("Label5")) {
        if (label5->text().isEmpty())
            label5->setText(toQString(view.caption));
        label5->setToolTip(toQString(view.caption));
    }
    m_text1->clear();
    Timer1_Timer();
    applyDrive();
}

void TransferSide::Timer1_Timer()
{
    if (transfer::ImpostaModo(mode()).scansDrives) {
        if (m_scanner.scan(drives(), mode()))
            applyDrive();
        return;
    }
    const auto floppy = findFloppy(drives(), DriveSettings::load(m_window->context().programDirectory),
                                   volumeCapacity);
    if (floppy != m_floppy) {
        m_floppy = floppy;
        applyDrive();
    }
}

void TransferSide::applyDrive()
{
    const Mode current = mode();
    const fs::path programDirectory = m_window->context().programDirectory;
    const std::optional<Drive> drive = currentDrive();
    const QString folder = toQString(std::string(modeFolder(current)));
    switch (current) {
    case Mode::Lince:
        m_window->setDiskSource(drive ? drive->root : fs::path(), "A:");
        m_driveCaption->setText(drive ? "Dischetto: " + toQString(drive->root) : "Nessun dischetto");
        if (drive) {
            // What the floppy carries: its controller program and its date.
            if (const auto plc = plcOnDisk(drive->root, lincePlcNames()))
                showLines({"PLC nel disco = " + *plc, "Dati PLC = " + fileDateText(drive->root / *plc)});
        }
        break;
    case Mode::Emulator:
        m_window->setDiskSource(programDirectory / "dischi");
        m_driveCaption->setText(drive ? "Immagini in " + toQString(drive->root) + "/" + folder
                                      : "Nessuna unità con la cartella " + folder);
        AggiornaImmagini();
        break;
    case Mode::Volpe:
    case Mode::Orsa: {
        const auto disks = drive ? modeFolderOn(*drive, current) : std::nullopt;
        m_window->setDiskSource(disks.value_or(fs::path()));
        m_driveCaption->setText(disks ? "Dischi in " + toQString(*disks)
                                      : "Nessuna unità con la cartella " + folder);
        break;
    }
    }
}

void TransferSide::AggiornaImmagini(const QString &select)
{
    const auto drive = m_scanner.modeDrive();
    const auto folder = drive ? modeFolderOn(*drive, Mode::Emulator) : std::nullopt;
    m_window->setFile1(folder.value_or(fs::path()), ".vlp");
    m_window->CreaLista(3, select);
    // The image names offered for a new build; a new name is typed in.
    const QString typed = select.isEmpty() ? m_combo2->currentText() : select;
    m_combo2->clear();
    for (const std::string &name : folder ? listFileNames(*folder, ".vlp") : std::vector<std::string>())
        m_combo2->addItem(toQString(name));
    m_combo2->setCurrentText(typed);
    m_window->AggiornaDischi();
}

void TransferSide::showImage()
{
    auto *list = m_window->findChild<PanelListWidget *>("List3");
    const QStringList chosen = list ? list->selectedPaths() : QStringList();
    if (chosen.isEmpty())
        return;
    std::string error;
    const auto bytes = readWholeFile(chosen.first().toStdString(), &error);
    if (!bytes) {
        showLines({error});
        return;
    }
    std::vector<std::string> lines = {"Immagine " + list->currentItem()->text().toStdString()};
    for (const image::Entry &entry : image::list(*bytes, &error))
        lines.push_back(entry.name + "  " + std::to_string(entry.size));
    const image::CheckReport report = image::check(*bytes);
    lines.push_back(report.sound() ? "Immagine OK" : "Immagine non valida: " + report.problems.front());
    showLines(lines);
}

void TransferSide::showLines(const std::vector<std::string> &lines)
{
    QStringList text;
    for (const std::string &line : lines)
        text.append(toQString(line));
    m_text1->setPlainText(text.join('\n'));
    m_text1->setVisible(true);
}

void TransferSide::FSel()
{
    m_cambio->setEnabled(false);
    Timer1_Timer();
    if (!m_floppy) {
        error("Nessun dischetto: inserire il dischetto (o indicare floppy= in unita.ini)");
    } else {
        const FloppyCheck check = transfer::FSel(m_floppy->root, m_window->context().programDirectory,
                                                 m_combo3->currentText().toStdString(), lincePlcNames(),
                                                 "Controllo del dischetto " + m_floppy->root.string());
        showLines(check.lines);
    }
    m_cambio->setEnabled(true);
}

void TransferSide::cambio()
{
    if (!m_floppy)
        return FSel();
    const ChangeResult result = transfer::cambio(m_floppy->root, m_window->context().programDirectory,
                                                 m_combo3->currentText().toStdString(), lincePlcNames());
    if (!result.ok)
        error(toQString(result.error));
    FSel();
    m_window->AggiornaDischi();
}

void TransferSide::format(bool quick)
{
    FSel();
    if (!m_floppy)
        return;
    if (!confirm(toQString(formatQuestion(*m_floppy))))
        return;
    FormatRequest request;
    request.floppy = *m_floppy;
    request.programDirectory = m_window->context().programDirectory;
    request.plcName = m_combo3->currentText().toStdString();
    request.quick = quick;
    const FormatScript script = formatScript(request);
    if (!script.error.empty())
        return error(toQString(script.error));
    const fs::path path = request.programDirectory / kFormatScriptName;
    std::string writeError;
    if (!writeFileAtomically(path, script.text, &writeError))
        return error(toQString(writeError));
    const std::vector<std::string> command = terminalCommand(path);
    if (command.empty())
        return information("Nessuna finestra di terminale: eseguire a mano  sh " + toQString(path));
    QStringList arguments;
    for (std::size_t i = 1; i < command.size(); ++i)
        arguments.append(toQString(command[i]));
    if (!QProcess::startDetached(toQString(command[0]), arguments, toQString(request.programDirectory)))
        error("Impossibile avviare " + toQString(command[0]) + ": eseguire a mano  sh " + toQString(path));
}

void TransferSide::TestplcVolpe()
{
    const auto drive = m_scanner.modeDrive();
    if (!drive)
        return error("Nessuna unità volpe");
    const VolpeCheck check = transfer::TestplcVolpe(drive->root, m_window->context().programDirectory,
                                                    volpePlcNames());
    if (check.selected >= 0)
        m_combo4->setCurrentIndex(check.selected);
    showLines(check.lines);
}

void TransferSide::cambioVolpe()
{
    const auto drive = m_scanner.modeDrive();
    if (!drive)
        return error("Nessuna unità volpe");
    const ChangeResult result = transfer::cambioVolpe(drive->root, m_window->context().programDirectory,
                                                      m_combo4->currentText().toStdString(), volpePlcNames());
    if (!result.ok)
        error(toQString(result.error));
    TestplcVolpe();
}

void TransferSide::Command1_Click()
{
    const auto drive = currentDrive();
    if (!drive)
        return information("Nessun disco da rimuovere");
    const RemovalPlan plan = safeRemoval(*drive, findProgram("udisksctl").has_value());
    if (plan.commands.empty())
        return information(toQString(plan.message));
    for (const std::vector<std::string> &command : plan.commands) {
        QProcess process;
        QStringList arguments;
        for (std::size_t i = 1; i < command.size(); ++i)
            arguments.append(toQString(command[i]));
        process.start(toQString(command[0]), arguments);
        const bool done = process.waitForFinished(kProcessTimeoutMs);
        if (!done || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            const QString detail = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
            return error(toQString(removalFailed(*drive, detail.isEmpty() ? process.errorString().toStdString()
                                                                         : detail.toStdString())));
        }
    }
    information("Il disco " + toQString(drive->root) + " può essere tolto.");
    Timer1_Timer();
}

void TransferSide::Command4_Click()
{
    const auto drive = m_scanner.modeDrive();
    const auto images = drive ? modeFolderOn(*drive, Mode::Emulator) : std::nullopt;
    const QString name = m_combo2->currentText().trimmed();
    if (name.isEmpty() || m_combo3->currentText().isEmpty())
        return information("Scegliere il nome dell'immagine e il PLC");
    if (!images)
        return information("Nessuna unità con la cartella immagini");
    if (!confirm("Creare l'immagine " + name.toUpper() + " ?"))
        return;
    ImageJob job;
    job.imagesFolder = *images;
    job.name = name.toStdString();
    const fs::path plcFolder = findEntryIgnoringCase(m_window->context().programDirectory, kLincePlcFolder)
                                   .value_or(m_window->context().programDirectory / kLincePlcFolder);
    job.controllerProgram = findEntryIgnoringCase(plcFolder, m_combo3->currentText().toStdString())
                                .value_or(plcFolder / m_combo3->currentText().toStdString());
    if (auto *list2 = m_window->findChild<PanelListWidget *>("List2"))
        for (const QString &path : list2->allPaths())
            job.panels.emplace_back(path.toStdString());
    job.rawImage = m_rawImage->isChecked();
    const ImageJobResult result = buildImageFile(job);
    showLines(result.progress);
    if (!result.ok)
        return error(toQString(result.error));
    AggiornaImmagini(toQString(imageName(job.name)));
}

void TransferSide::Command6_Click()
{
    auto *list3 = m_window->findChild<PanelListWidget *>("List3");
    QListWidgetItem *item = list3 ? list3->currentItem() : nullptr;
    const auto drive = m_scanner.modeDrive();
    const auto images = drive ? modeFolderOn(*drive, Mode::Emulator) : std::nullopt;
    if (!item || !item->isSelected() || !images)
        return information("Scegliere l'immagine da eliminare");
    if (!confirm("Eliminare l'immagine " + item->text() + " ?"))
        return;
    std::string problem;
    if (!deleteImage(*images, item->text().toStdString(), &problem))
        error(toQString(problem));
    AggiornaImmagini();
}

// The window's own message boxes, with its titles and button captions.
Messages TransferSide::messages() const
{
    return Messages(m_window, [this](int line) { return m_window->text(line); });
}

void TransferSide::error(const QString &message) const
{
    messages().error(message);
}

void TransferSide::information(const QString &message) const
{
    messages().information(message);
}

bool TransferSide::confirm(const QString &message) const
{
    return messages().confirm(message, false);
}

} // namespace kn4::manager
