#pragma once

#include "transfer/drivescan.h"
#include "transfer/machinefiles.h"
#include "transfer/transfermode.h"

#include <QObject>
#include <QString>

#include <optional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace kn4::manager {

class ManagerWindow;
class Messages;

// The transfer to the machine's media on the main window: the controls of
// the controller families (the USB and floppy menus, cambioVolpe, the PLC
// lists Combo3 and Combo4, the image name Combo2, the result box Text1, the
// buttons Command1, Command4 and Command6) and what they do. It follows the
// window's mode menu and Timer1, and tells the window where the disks of
// the mode are; the window lists them in its disk list and List2.
class TransferSide : public QObject
{
    Q_OBJECT
public:
    explicit TransferSide(ManagerWindow *window);

    transfer::Mode mode() const;
    // The drive of the mode (the floppy in lince mode); nullopt when none.
    std::optional<transfer::Drive> currentDrive() const;

    // After the window's own ImpostaModo: menus, lists and the disks of the mode.
    void ImpostaModo();
    // Looks for a newly connected drive (every mode but lince) or the floppy.
    void Timer1_Timer();

    void FSel();
    void format(bool quick);
    void cambio();
    void TestplcVolpe();
    void cambioVolpe();
    void Command1_Click();
    void Command4_Click();
    void Command6_Click();

private:
    void buildControls();
    void buildMenus();
    QString text(int line) const;
    // Menus, buttons and tips in the chosen language; the window's own
    // re-captioning calls it again.
    void applyTexts();
    // The mode and its medium, as the tip of the mode caption.
    QString modeTip() const;
    // A line of a check or of an image build in the chosen language.
    QString localLine(const std::string &line) const;
    // A refusal of the transfer in the chosen language.
    QString localMessage(const std::string &message) const;
    std::vector<transfer::Drive> drives() const;
    // Tells the window where the mode's disks are and refreshes List3.
    void applyDrive();
    void AggiornaImmagini(const QString &select = QString());
    void showImage();
    void showLines(const std::vector<std::string> &lines);
    void showText(const QStringList &lines);
    // A check's findings in sentences of the chosen language.
    QStringList inWords(const std::vector<transfer::FileState> &files, bool plcFound) const;
    std::vector<std::string> lincePlcNames() const;
    std::vector<std::string> volpePlcNames() const;
    Messages messages() const;
    void error(const QString &message) const;
    void information(const QString &message) const;
    bool confirm(const QString &message) const;

    ManagerWindow *m_window;
    transfer::DriveScanner m_scanner;
    std::optional<transfer::Drive> m_floppy;

    QMenu *m_usbMenu = nullptr;
    QMenu *m_floppyMenu = nullptr;
    QAction *m_cambio = nullptr;
    QAction *m_cambioVolpe = nullptr;
    QLabel *m_driveCaption = nullptr;
    QComboBox *m_combo2 = nullptr;
    QComboBox *m_combo3 = nullptr;
    QComboBox *m_combo4 = nullptr;
    QCheckBox *m_rawImage = nullptr;
    QPlainTextEdit *m_text1 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command4 = nullptr;
    QPushButton *m_command6 = nullptr;
};

} // namespace kn4::manager
