#pragma once

#include "core/managersettings.h"
#include "window/messages.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace kn4::manager {

class DropPicture;
struct ManagerContext;

// The settings window (Form2): the language (three flags), the editor's
// parameter string (Text2, Text3, Check1 to Check3, assembled in Label4),
// the lince controller programs with the name check in Label5, Command3
// that writes kn4manager.ini, and the keyword file editor (Command4 shows
// Text1, Command1 saves it).
class SettingsWindow : public QDialog
{
    Q_OBJECT
public:
    SettingsWindow(ManagerContext &context, QWidget *parent = nullptr);

    // Captions from the language table and the current settings.
    void Form2ini();
    // The list of controller programs and the name check.
    void AGGlistaPLC();
    // The flags, the chosen one enlarged; the language follows.
    void bandiere();
    void chooseLanguage(int language);

    // Writes kn4manager.ini (Command3); refuses an empty needles field.
    bool saveSettings();
    // True while the settings differ from kn4manager.ini as last read or
    // written (the language and the other choices apply at once).
    bool hasUnsavedSettings() const;
    bool hasUnsavedKeywords() const;
    // Saves the keyword file of the chosen language (Command1); false when
    // it was not written (refused, or failed).
    bool saveKeywordFile();
    void showKeywordFile(bool show);
    QString keywordFilePath() const;

signals:
    void languageChanged();

protected:
    // Closing (Chiudi, Esc or the window's close button) with unsaved
    // changes asks first: save, discard (the settings go back to the saved
    // ones) or stay.
    void done(int result) override;

private:
    // Asks about unsaved keyword edits; false when the user stays.
    bool settleKeywordEdits();
    bool settleSettings();
    Messages messages() const;
    QString text(int line) const;
    void updateParameterString();
    void loadEditorParameters();
    void checkControllerName();
    void storeControllers();
    bool confirm(const QString &message);

    ManagerContext &m_context;
    // The settings as kn4manager.ini holds them (last read or written).
    ManagerSettings m_saved;
    DropPicture *m_flags[3] {};
    QLabel *m_languageCaption;
    QLabel *m_needlesCaption;
    QLabel *m_combCaption;
    QLineEdit *m_text2;
    QLineEdit *m_text3;
    QCheckBox *m_check1;
    QCheckBox *m_check2;
    QCheckBox *m_check3;
    QLabel *m_label4;
    QLabel *m_controllersCaption;
    QListWidget *m_controllers;
    QLabel *m_controllerNameCaption;
    QLineEdit *m_controllerName;
    QPushButton *m_addController;
    QPushButton *m_removeController;
    QLabel *m_label5;
    QPushButton *m_command3;
    QPushButton *m_command4;
    QPushButton *m_command1;
    QPushButton *m_close;
    QPlainTextEdit *m_text1;
};

} // namespace kn4::manager
