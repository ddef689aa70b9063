#include "transfer/window/transferside.h"

#include "core/machinecheck.h"
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

#include <kn4/qtconvert.h>

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
#include <QRegularExpression>
#include <QTimer>

#include <optional>

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
    applyTexts();
    connect(m_window, &ManagerWindow::textsApplied, this, [this] {
        applyTexts();
        applyDrive();
    });
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
    m_combo4 = new QComboBox(panel);
    m_combo4->setObjectName("Combo4");
    m_combo2 = new QComboBox(panel);
    m_combo2->setObjectName("Combo2");
    m_combo2->setEditable(true);
    m_rawImage = new QCheckBox(panel);
    m_rawImage->setObjectName("rawImage");
    m_command4 = new QPushButton(panel);
    m_command4->setObjectName("Command4");
    m_command6 = new QPushButton(panel);
    m_command6->setObjectName("Command6");
    m_command1 = new QPushButton(panel);
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
    auto action = [this](QMenu *menu, const char *name, auto slot) {
        QAction *a = menu->addAction(QString());
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    m_usbMenu = new QMenu(bar);
    m_usbMenu->setObjectName("USB");
    action(m_usbMenu, "TestplcVolpe", &TransferSide::TestplcVolpe);
    m_cambioVolpe = action(m_usbMenu, "cambioVolpe", &TransferSide::cambioVolpe);
    action(m_usbMenu, "rimozione", &TransferSide::Command1_Click);

    m_floppyMenu = new QMenu(bar);
    m_floppyMenu->setObjectName("floppy");
    action(m_floppyMenu, "FSel", &TransferSide::FSel);
    m_cambio = action(m_floppyMenu, "cambio", &TransferSide::cambio);
    m_floppyMenu->addSeparator();
    action(m_floppyMenu, "format", [this] { format(false); });
    action(m_floppyMenu, "formatv", [this] { format(true); });

    // Before the help menu, which stays last.
    QAction *help = nullptr;
    if (auto *helpMenu = m_window->findChild<QMenu *>("mnuAiuto"))
        help = helpMenu->menuAction();
    bar->insertMenu(help, m_usbMenu);
    bar->insertMenu(help, m_floppyMenu);
}

QString TransferSide::text(int line) const
{
    return m_window->text(line);
}

void TransferSide::applyTexts()
{
    const auto setAction = [this](const char *name, int line) {
        if (auto *a = m_window->findChild<QAction *>(name))
            a->setText(text(line));
    };
    m_usbMenu->setTitle(text(text::TransferMenuUsb));
    setAction("TestplcVolpe", text::TransferCheckVolpe);
    setAction("cambioVolpe", text::TransferChangeVolpePlc);
    setAction("rimozione", text::TransferSafeRemoval);
    m_floppyMenu->setTitle(text(text::TransferMenuFloppy));
    setAction("FSel", text::TransferCheckFloppy);
    setAction("cambio", text::TransferChangePlc);
    setAction("format", text::TransferFormatFloppy);
    setAction("formatv", text::TransferQuickFormat);

    m_combo3->setToolTip(text(text::TipLincePlc));
    m_combo4->setToolTip(text(text::TipVolpePlc));
    m_combo2->setToolTip(text(text::TipImageName));
    m_rawImage->setText(text(text::TransferRawImage));
    m_rawImage->setToolTip(text(text::TipRawImage));
    m_command4->setText(text(text::TransferBuildImage));
    m_command6->setText(text(text::TransferDeleteImage));
    m_command1->setText(text(text::TransferSafeRemoval));
    if (auto *label5 = m_window->findChild<QLabel *>("Label5"))
        label5->setToolTip(modeTip());
}

QString TransferSide::modeTip() const
{
    const Mode current = mode();
    const QString name = text(text::ModeNameLince + int(current));
    switch (current) {
    case Mode::Lince:
        return name + " - " + text(text::TransferMediumFloppy);
    case Mode::Emulator:
        return name + " - " + text(text::TransferMediumImages);
    case Mode::Volpe:
    case Mode::Orsa:
        break;
    }
    return name + " - USB";
}

namespace {

// What a message puts where the text has %1 and %2 (in that order), or
// nullopt when the message is not that text. A name runs to the first
// occurrence of the text that follows it; the last one to the end.
std::optional<QStringList> filledIn(const QString &message, const QString &pattern)
{
    static const QRegularExpression marker(QStringLiteral("%[12]"));
    const QStringList pieces = pattern.split(marker);
    if (!message.startsWith(pieces.front()))
        return std::nullopt;
    QStringList names;
    qsizetype at = pieces.front().size();
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QString &piece = pieces[i];
        qsizetype end = -1;
        if (i + 1 < pieces.size())
            end = message.indexOf(piece, at);
        else if (message.endsWith(piece))
            end = message.size() - piece.size();
        if (end < at)
            return std::nullopt;
        names.append(message.mid(at, end - at));
        at = end + piece.size();
    }
    return names;
}

} // namespace

QString TransferSide::localLine(const std::string &line) const
{
    QString shown = toQString(line);
    if (m_window->context().files.settings.language == Language::Italian)
        return shown;
    // The labels the checks and the image build write, at the start of a
    // line or anywhere in it, and the lingua.ini lines that translate them.
    static const struct
    {
        const char *italian;
        int line;
        bool atStart;
    } labels[] = {
        {"PLC nel disco = ", text::TransferPlcOnDisk, true},
        {"Dati PLC = ", text::TransferPlcDate, true},
        {"Disk ", text::ImageLineDisk, true},
        {"PLC = ", text::ImageLinePlc, true},
        {"File = ", text::ImageLineFile, true},
        {"Byte  = ", text::ImageLineBytes, true},
        {"FAT - DIR - BOOT - OK", text::ImageLineSystem, true},
        {"Nomi nel disco: ", text::TransferNamesOnDisk, true},
        {"Cluster = ", text::ImageLineClusters, false},
        {" Byte buffer = ", text::ImageLineBuffer, false},
        {" non aggiornato", text::TransferPlcNotCurrent, false},
    };
    if (shown == "PLC OK" && !text(text::TransferPlcOk).isEmpty())
        return text(text::TransferPlcOk);
    for (const auto &label : labels) {
        const QString italian = QString::fromUtf8(label.italian);
        if (text(label.line).isEmpty())
            continue;
        if (!label.atStart)
            shown.replace(italian, text(label.line));
        else if (shown.startsWith(italian))
            shown.replace(0, italian.size(), text(label.line));
    }
    return shown;
}

QString TransferSide::localMessage(const std::string &message) const
{
    // The refusals of the transfer that name no file; the rest stay as the
    // transfer wrote them.
    static const struct
    {
        const char *italian;
        int line;
    } messages[] = {
        {"Scegliere un PLC", text::TransferChooseAPlc},
        {"Scegliere il PLC", text::TransferChooseThePlc},
        {"Scegliere il nome dell'immagine", text::TransferChooseImageName},
    };
    for (const auto &known : messages)
        if (message == known.italian && !text(known.line).isEmpty())
            return text(known.line);
    // The refusals that name a PLC, an image, a file or a count: the
    // transfer's text with %1 and %2 where it puts them.
    static const struct
    {
        const char *italian;
        int line;
    } withNames[] = {
        {"PLC %1 non trovato in %2", text::TransferPlcNotFoundIn},
        {"Impossibile cancellare %1: %2", text::TransferCannotDelete},
        {"Cartella delle immagini non trovata: %1", text::TransferNoImagesFolder},
        {"Immagine %1 non scritta: %2", text::TransferImageNotWritten},
        {"Immagine %1 non trovata", text::TransferImageNotFound},
        {"File non trovato: %1", text::TransferFileNotFound},
        {"Il dischetto in %1 non è un dispositivo che si possa formattare", text::TransferNotFormattable},
        {"Troppi pannelli per un disco: %1 (al massimo %2)", text::TransferTooManyPanels},
        {"I file non stanno nel disco: %1 cluster (al massimo %2)", text::TransferFilesDoNotFit},
        {"Nome di file non valido per il disco: \"%1\"", text::TransferBadFileName},
        {"Due file con lo stesso nome nel disco: %1", text::TransferSameFileName},
        {"Pannello senza programma compilato, non messo nel disco: %1", text::TransferPanelNotCompiled},
    };
    const QString shown = toQString(message);
    if (m_window->context().files.settings.language == Language::Italian)
        return shown;
    for (const auto &known : withNames) {
        const QString local = text(known.line);
        if (local.isEmpty())
            continue;
        const auto names = filledIn(shown, QString::fromUtf8(known.italian));
        if (!names)
            continue;
        // Both names at once, so a name holding "%2" stays as it is.
        return names->size() == 1 ? local.arg(names->at(0)) : local.arg(names->at(0), names->at(1));
    }
    return shown;
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
            label5->setText(modeTip());
        label5->setToolTip(modeTip());
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
        m_driveCaption->setText(drive ? text(text::TransferFloppyAt).arg(toQString(drive->root))
                                      : text(text::TransferNoFloppy));
        if (drive) {
            // What the floppy carries: its controller program and its date.
            if (const auto plc = plcOnDisk(drive->root, lincePlcNames()))
                showLines({"PLC nel disco = " + *plc, "Dati PLC = " + fileDateText(drive->root / *plc)});
        }
        break;
    case Mode::Emulator:
        m_window->setDiskSource(programDirectory / "dischi");
        m_driveCaption->setText(drive ? text(text::TransferImagesIn).arg(toQString(drive->root) + "/" + folder)
                                      : text(text::TransferNoDriveWithFolder).arg(folder));
        AggiornaImmagini();
        break;
    case Mode::Volpe:
    case Mode::Orsa: {
        const auto disks = drive ? modeFolderOn(*drive, current) : std::nullopt;
        m_window->setDiskSource(disks.value_or(fs::path()));
        m_driveCaption->setText(disks ? text(text::TransferDisksIn).arg(toQString(*disks))
                                      : text(text::TransferNoDriveWithFolder).arg(folder));
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
    const auto bytes = readWholeFile(chosen.first().toStdString(), &error, FileReader::kDiskImageLimit);
    if (!bytes) {
        showLines({error});
        return;
    }
    QStringList lines = {text(text::TransferImageName).arg(list->currentItem()->text())};
    for (const image::Entry &entry : image::list(*bytes, &error))
        lines.append(fromCp1252(entry.name) + "  " + QString::number(entry.size));
    const image::CheckReport report = image::check(*bytes);
    lines.append(report.sound() ? text(text::TransferImageOk)
                                : text(text::TransferImageInvalid).arg(toQString(report.problems.front())));
    m_text1->setPlainText(lines.join('\n'));
    m_text1->setVisible(true);
}

void TransferSide::showLines(const std::vector<std::string> &lines)
{
    QStringList text;
    for (const std::string &line : lines)
        text.append(localLine(line));
    m_text1->setPlainText(text.join('\n'));
    m_text1->setVisible(true);
}

void TransferSide::FSel()
{
    m_cambio->setEnabled(false);
    Timer1_Timer();
    if (!m_floppy) {
        error(text(text::TransferInsertFloppy));
    } else {
        const FloppyCheck check = transfer::FSel(m_floppy->root, m_window->context().programDirectory,
                                                 m_combo3->currentText().toStdString(), lincePlcNames(),
                                                 (text(text::TransferCheckFloppy) + " ").toStdString()
                                                     + m_floppy->root.string());
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
        error(localMessage(result.error));
    FSel();
    m_window->AggiornaDischi();
}

void TransferSide::format(bool quick)
{
    FSel();
    if (!m_floppy)
        return;
    QString where = toQString(m_floppy->root);
    if (!m_floppy->device.empty())
        where += " (" + toQString(m_floppy->device) + ")";
    if (!confirm(text(text::TransferAskFormat).arg(where)))
        return;
    FormatRequest request;
    request.floppy = *m_floppy;
    request.programDirectory = m_window->context().programDirectory;
    request.plcName = m_combo3->currentText().toStdString();
    request.quick = quick;
    const FormatScript script = formatScript(request);
    if (!script.error.empty())
        return error(localMessage(script.error));
    const fs::path path = request.programDirectory / kFormatScriptName;
    std::string writeError;
    if (!writeFileAtomically(path, script.text, &writeError))
        return error(toQString(writeError));
    const std::vector<std::string> command = terminalCommand(path);
    if (command.empty())
        return information(text(text::TransferNoTerminal).arg(toQString(path)));
    QStringList arguments;
    for (std::size_t i = 1; i < command.size(); ++i)
        arguments.append(toQString(command[i]));
    if (!QProcess::startDetached(toQString(command[0]), arguments, toQString(request.programDirectory)))
        error(text(text::TransferCannotStartTerminal).arg(toQString(command[0]), toQString(path)));
}

void TransferSide::TestplcVolpe()
{
    const auto drive = m_scanner.modeDrive();
    if (!drive)
        return error(text(text::TransferNoVolpeDrive));
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
        return error(text(text::TransferNoVolpeDrive));
    const ChangeResult result = transfer::cambioVolpe(drive->root, m_window->context().programDirectory,
                                                      m_combo4->currentText().toStdString(), volpePlcNames());
    if (!result.ok)
        error(localMessage(result.error));
    TestplcVolpe();
}

void TransferSide::Command1_Click()
{
    const auto drive = currentDrive();
    if (!drive)
        return information(text(text::TransferNothingToRemove));
    const RemovalPlan plan = safeRemoval(*drive, findProgram("udisksctl").has_value());
    if (plan.commands.empty())
        return information(drive->device.empty() ? text(text::TransferNotRemovable).arg(toQString(drive->root))
                                                 : text(text::TransferUnmountFirst).arg(toQString(drive->root)));
    for (const std::vector<std::string> &command : plan.commands) {
        QProcess process;
        QStringList arguments;
        for (std::size_t i = 1; i < command.size(); ++i)
            arguments.append(toQString(command[i]));
        process.start(toQString(command[0]), arguments);
        const bool done = process.waitForFinished(kProcessTimeoutMs);
        if (!done || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            const QString detail = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
            return error(text(text::TransferCannotRemove)
                             .arg(toQString(drive->root), toQString(drive->device),
                                  detail.isEmpty() ? process.errorString() : detail)
                         + "\n" + text(text::TransferCloseOpenFiles));
        }
    }
    information(text(text::TransferDiskRemovable).arg(toQString(drive->root)));
    Timer1_Timer();
}

void TransferSide::Command4_Click()
{
    const auto drive = m_scanner.modeDrive();
    const auto images = drive ? modeFolderOn(*drive, Mode::Emulator) : std::nullopt;
    const QString name = m_combo2->currentText().trimmed();
    if (name.isEmpty() || m_combo3->currentText().isEmpty())
        return information(text(text::TransferChooseImageAndPlc));
    if (!images)
        return information(text(text::TransferNoDriveWithFolder).arg(toQString(std::string(modeFolder(Mode::Emulator)))));
    // Only panels the machine can knit go into the image: one without
    // compiled code is refused, one whose edges cross asks first.
    QStringList panels;
    if (auto *list2 = m_window->findChild<PanelListWidget *>("List2"))
        panels = list2->allPaths();
    QStringList refused;
    for (const QString &path : panels) {
        const QString panel = toQString(upperCase(fs::path(path.toStdString()).stem().string()));
        const manager::MachineCheck check = manager::MachineCheck::ofFile(path.toStdString());
        if (check.refused())
            refused.append(text(text::NotForMachine).arg(panel));
        else if (check.verdict == manager::MachineCheck::Verdict::EdgesCross
                 && !messages().confirm(text(text::AskCopyCrossing).arg(panel).arg(check.course), true))
            return;
    }
    if (!refused.isEmpty())
        return error(refused.join('\n'));
    if (!confirm(text(text::TransferAskBuildImage).arg(name.toUpper())))
        return;
    ImageJob job;
    job.imagesFolder = *images;
    job.name = name.toStdString();
    const fs::path plcFolder = findEntryIgnoringCase(m_window->context().programDirectory, kLincePlcFolder)
                                   .value_or(m_window->context().programDirectory / kLincePlcFolder);
    job.controllerProgram = findEntryIgnoringCase(plcFolder, m_combo3->currentText().toStdString())
                                .value_or(plcFolder / m_combo3->currentText().toStdString());
    for (const QString &path : panels)
        job.panels.emplace_back(path.toStdString());
    job.rawImage = m_rawImage->isChecked();
    const ImageJobResult result = buildImageFile(job);
    showLines(result.progress);
    if (!result.ok)
        return error(localMessage(result.error));
    AggiornaImmagini(toQString(imageName(job.name)));
}

void TransferSide::Command6_Click()
{
    auto *list3 = m_window->findChild<PanelListWidget *>("List3");
    QListWidgetItem *item = list3 ? list3->currentItem() : nullptr;
    const auto drive = m_scanner.modeDrive();
    const auto images = drive ? modeFolderOn(*drive, Mode::Emulator) : std::nullopt;
    if (!item || !item->isSelected() || !images)
        return information(text(text::TransferChooseImageToDelete));
    if (!confirm(text(text::TransferAskDeleteImage).arg(item->text())))
        return;
    std::string problem;
    if (!deleteImage(*images, item->text().toStdString(), &problem))
        error(localMessage(problem));
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
