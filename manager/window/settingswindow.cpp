#include "window/settingswindow.h"

#include "core/keywordfilecheck.h"
#include "core/managertexts.h"
#include "core/panelfiles.h"
#include "window/droppicture.h"
#include "window/managerwindow.h"
#include "window/messages.h"
#include "window/pictures.h"

#include <kn4/atomicfile.h>
#include <kn4/qtconvert.h>
#include <kn4/filelookup.h>

#include <QCheckBox>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kn4::manager {

namespace fs = std::filesystem;

namespace {

QString toQString(const fs::path &path)
{
    return QString::fromStdString(path.string());
}

// A controller program name as the list keeps it: upper case, and nothing
// after ".EXE".
QString controllerProgramName(const QString &typed)
{
    QString name = typed.trimmed().toUpper();
    const int exe = name.indexOf(".EXE");
    if (exe >= 0)
        name.truncate(exe + 4);
    return name;
}

} // namespace

SettingsWindow::SettingsWindow(ManagerContext &context, QWidget *parent)
    : QDialog(parent), m_context(context), m_saved(context.files.settings)
{
    setObjectName("Form2");

    auto *flags = new QHBoxLayout;
    m_languageCaption = new QLabel(this);
    flags->addWidget(m_languageCaption);
    const char *flagNames[3] = {"Image1", "Image7", "Image8"};
    for (int i = 0; i < 3; ++i) {
        m_flags[i] = new DropPicture(flagNames[i], this);
        m_flags[i]->setAcceptDrops(false);
        m_flags[i]->setFrameShape(QFrame::NoFrame);
        m_flags[i]->setFixedSize(80, 56);
        connect(m_flags[i], &DropPicture::clicked, this, [this, i] { chooseLanguage(i); });
        flags->addWidget(m_flags[i]);
    }
    flags->addStretch();

    auto *editor = new QGroupBox(this);
    editor->setObjectName("editorGroup");
    auto *editorLayout = new QGridLayout(editor);
    m_needlesCaption = new QLabel(editor);
    m_text2 = new QLineEdit(editor);
    m_text2->setObjectName("Text2");
    m_text2->setValidator(new QIntValidator(0, 9999, m_text2));
    m_combCaption = new QLabel(editor);
    m_text3 = new QLineEdit(editor);
    m_text3->setObjectName("Text3");
    m_text3->setValidator(new QIntValidator(0, 999, m_text3));
    m_check1 = new QCheckBox(editor);
    m_check1->setObjectName("Check1");
    m_check2 = new QCheckBox(editor);
    m_check2->setObjectName("Check2");
    m_check3 = new QCheckBox(editor);
    m_check3->setObjectName("Check3");
    m_label4 = new QLabel(editor);
    m_label4->setObjectName("Label4");
    editorLayout->addWidget(m_needlesCaption, 0, 0);
    editorLayout->addWidget(m_text2, 0, 1);
    editorLayout->addWidget(m_combCaption, 1, 0);
    editorLayout->addWidget(m_text3, 1, 1);
    editorLayout->addWidget(m_check1, 2, 0, 1, 2);
    editorLayout->addWidget(m_check2, 3, 0, 1, 2);
    editorLayout->addWidget(m_check3, 4, 0, 1, 2);
    editorLayout->addWidget(m_label4, 5, 0, 1, 2);

    auto *controllers = new QGroupBox(this);
    controllers->setObjectName("controllerGroup");
    auto *controllerLayout = new QGridLayout(controllers);
    m_controllers = new QListWidget(controllers);
    m_controllers->setObjectName("controllerList");
    m_controllerNameCaption = new QLabel(controllers);
    m_controllerName = new QLineEdit(controllers);
    m_controllerName->setObjectName("controllerName");
    m_addController = new QPushButton(controllers);
    m_addController->setObjectName("addController");
    m_removeController = new QPushButton(controllers);
    m_removeController->setObjectName("removeController");
    auto *label5 = new DropPicture("Label5", controllers);
    label5->setAcceptDrops(false);
    label5->setFrameShape(QFrame::NoFrame);
    label5->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_label5 = label5;
    controllerLayout->addWidget(m_controllers, 0, 0, 1, 3);
    controllerLayout->addWidget(m_controllerNameCaption, 1, 0);
    controllerLayout->addWidget(m_controllerName, 1, 1);
    controllerLayout->addWidget(m_addController, 1, 2);
    controllerLayout->addWidget(m_label5, 2, 0, 1, 2);
    controllerLayout->addWidget(m_removeController, 2, 2);

    auto *groups = new QHBoxLayout;
    groups->addWidget(editor);
    groups->addWidget(controllers);

    auto *buttons = new QHBoxLayout;
    m_command3 = new QPushButton(this);
    m_command3->setObjectName("Command3");
    m_command4 = new QPushButton(this);
    m_command4->setObjectName("Command4");
    m_close = new QPushButton(this);
    m_close->setObjectName("Command2");
    buttons->addWidget(m_command3);
    buttons->addWidget(m_command4);
    buttons->addStretch();
    buttons->addWidget(m_close);

    m_text1 = new QPlainTextEdit(this);
    m_text1->setObjectName("Text1");
    QFont mono(QStringLiteral("Liberation Mono"));
    mono.setStyleHint(QFont::Monospace);
    m_text1->setFont(mono);
    m_text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text1->setVisible(false);
    m_command1 = new QPushButton(this);
    m_command1->setObjectName("Command1");
    m_command1->setVisible(false);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(flags);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    layout->addWidget(m_text1, 1);
    layout->addWidget(m_command1, 0, Qt::AlignRight);

    for (QLineEdit *edit : {m_text2, m_text3})
        connect(edit, &QLineEdit::textEdited, this, &SettingsWindow::updateParameterString);
    for (QCheckBox *check : {m_check1, m_check2, m_check3})
        connect(check, &QCheckBox::clicked, this, &SettingsWindow::updateParameterString);
    connect(m_controllerName, &QLineEdit::textChanged, this, &SettingsWindow::checkControllerName);
    connect(label5, &DropPicture::clicked, this, [this] { m_controllerName->setText(text(text::ControllerNameHint)); });
    connect(m_addController, &QPushButton::clicked, this, [this] {
        const QString name = controllerProgramName(m_controllerName->text());
        // Nothing typed, or the hint the caption's click puts there: no
        // controller program can be called that.
        if (name.isEmpty() || name == controllerProgramName(text(text::ControllerNameHint))) {
            messages().warning(text(text::ControllerNameInvalid));
            return;
        }
        if (!m_controllers->findItems(name, Qt::MatchExactly).isEmpty() ||
            m_controllers->count() >= int(ManagerSettings::kMaxControllerPrograms))
            return;
        m_controllers->addItem(name);
        storeControllers();
    });
    connect(m_removeController, &QPushButton::clicked, this, [this] {
        delete m_controllers->currentItem();
        storeControllers();
    });
    connect(m_controllers, &QListWidget::currentTextChanged, m_controllerName, &QLineEdit::setText);
    connect(m_command3, &QPushButton::clicked, this, &SettingsWindow::saveSettings);
    connect(m_command4, &QPushButton::clicked, this, [this] { showKeywordFile(!m_text1->isVisible()); });
    connect(m_command1, &QPushButton::clicked, this, &SettingsWindow::saveKeywordFile);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_text1, &QPlainTextEdit::modificationChanged, m_command1, [this](bool changed) {
        m_command1->setDefault(changed);
    });

    loadEditorParameters();
    Form2ini();
    AGGlistaPLC();
}

QString SettingsWindow::text(int line) const
{
    return fromCp1252(m_context.files.texts.text(line, m_context.files.settings.language));
}

void SettingsWindow::Form2ini()
{
    setWindowTitle(text(text::SettingsCaption));
    m_languageCaption->setText(text(text::SettingsLanguage));
    findChild<QGroupBox *>("editorGroup")->setTitle(text(text::SettingsEditorGroup));
    findChild<QGroupBox *>("controllerGroup")->setTitle(text(text::SettingsControllers));
    m_needlesCaption->setText(text(text::SettingsNeedles));
    m_combCaption->setText(text(text::SettingsCombWidth));
    m_check1->setText(text(text::SettingsTwoSided));
    m_check2->setText(text(text::SettingsBlankMarker));
    m_check3->setText(text(text::SettingsCombEditable));
    m_controllerNameCaption->setText(text(text::SettingsControllerName));
    m_addController->setText(text(text::SettingsAdd));
    m_removeController->setText(text(text::SettingsRemove));
    m_command3->setText(text(text::SettingsSave));
    m_command4->setText(text(text::SettingsKeywords));
    m_command1->setText(text(text::SettingsSaveKeywords));
    m_close->setText(text(text::SettingsClose));
    m_text1->setToolTip(text(text::TipKeywordEditor));
    const int languageNames[3] = {text::LanguageItalian, text::LanguageEnglish, text::LanguageSpanish};
    for (int i = 0; i < 3; ++i)
        m_flags[i]->setToolTip(text(languageNames[i]) + " - " + text(text::TipFlags));
    m_label4->setText(text(text::SettingsEditorString) +
                      QString::fromStdString(m_context.files.settings.editorParameters));
    bandiere();
    checkControllerName();
}

void SettingsWindow::bandiere()
{
    const int chosen = int(m_context.files.settings.language);
    for (int i = 0; i < 3; ++i)
        m_flags[i]->setPixmap(drawFlag(Language(i), i == chosen));
}

void SettingsWindow::chooseLanguage(int language)
{
    if (language < 0 || language >= kLanguageCount || language == int(m_context.files.settings.language))
        return;
    // The keyword editor then shows the other language's file: edits of
    // this one are saved or dropped first, never lost without a word.
    if (!settleKeywordEdits())
        return;
    m_context.files.settings.language = Language(language);
    Form2ini();
    if (!m_text1->isHidden())
        showKeywordFile(true);
    emit languageChanged();
}

void SettingsWindow::loadEditorParameters()
{
    const EditorParameters p = EditorParameters::parse(m_context.files.settings.editorParameters);
    m_text2->setText(QString::number(p.needles));
    m_text3->setText(QString::number(p.combWidth));
    m_check1->setChecked(p.setUpOptions == 3);
    m_check2->setChecked(p.markerMode == 1);
    m_check3->setChecked(p.combEditable == 1);
}

void SettingsWindow::updateParameterString()
{
    EditorParameters p = EditorParameters::parse(m_context.files.settings.editorParameters);
    p.needles = m_text2->text().toInt();
    p.combWidth = m_text3->text().toInt();
    p.setUpOptions = m_check1->isChecked() ? 3 : 1;
    p.markerMode = m_check2->isChecked() ? 1 : 3;
    p.combEditable = m_check3->isChecked() ? 1 : 0;
    m_context.files.settings.editorParameters = p.text();
    m_label4->setText(text(text::SettingsEditorString) + QString::fromStdString(p.text()));
}

void SettingsWindow::AGGlistaPLC()
{
    m_controllers->clear();
    for (const std::string &name : m_context.files.settings.controllerPrograms)
        m_controllers->addItem(QString::fromStdString(name));
    checkControllerName();
}

void SettingsWindow::storeControllers()
{
    std::vector<std::string> names;
    for (int i = 0; i < m_controllers->count(); ++i)
        names.push_back(m_controllers->item(i)->text().toStdString());
    m_context.files.settings.controllerPrograms = names;
}

void SettingsWindow::checkControllerName()
{
    const QString name = controllerProgramName(m_controllerName->text());
    if (name.isEmpty()) {
        m_label5->clear();
        return;
    }
    // The lince family (floppy and emulator) keeps its controller programs
    // in p_lince/, the volpe family in P_VOLPE/.
    const char *folder = m_context.files.mode <= 1 ? "p_lince" : "P_VOLPE";
    const auto file = findFileIgnoringCase(m_context.programDirectory / folder, name.toStdString());
    if (!file) {
        m_label5->setText(text(text::ControllerFileMissing));
        return;
    }
    const QDateTime date = QFileInfo(toQString(*file)).lastModified();
    m_label5->setText(" -- " + date.toString("dd/MM/yyyy hh:mm:ss") + text(text::ControllerFileOk));
}

Messages SettingsWindow::messages() const
{
    return Messages(const_cast<SettingsWindow *>(this), [this](int line) { return text(line); });
}

bool SettingsWindow::saveSettings()
{
    // An empty field would give the editor a bed of 0 needles.
    if (m_text2->text().trimmed().isEmpty() || m_text2->text().toInt() <= 0) {
        messages().warning(text(text::NeedlesMissing));
        m_text2->setFocus();
        return false;
    }
    const fs::path file = m_context.programDirectory / ManagerSettings::kFileName;
    std::string error;
    if (!m_context.files.settings.save(file, error)) {
        messages().error(text(text::CannotSave).arg(toQString(file), QString::fromStdString(error)));
        return false;
    }
    m_saved = m_context.files.settings;
    messages().information(text(text::SettingsSaved));
    return true;
}

bool SettingsWindow::hasUnsavedSettings() const
{
    return m_context.files.settings.fileText() != m_saved.fileText();
}

bool SettingsWindow::hasUnsavedKeywords() const
{
    return !m_text1->isHidden() && m_text1->document()->isModified();
}

bool SettingsWindow::settleKeywordEdits()
{
    if (!hasUnsavedKeywords())
        return true;
    switch (messages().askSave(text(text::AskSaveKeywords))) {
    case Messages::Choice::Save: return saveKeywordFile();
    case Messages::Choice::Discard: m_text1->document()->setModified(false); return true;
    case Messages::Choice::Cancel: break;
    }
    return false;
}

bool SettingsWindow::settleSettings()
{
    if (!hasUnsavedSettings())
        return true;
    switch (messages().askSave(text(text::AskSaveSettings))) {
    case Messages::Choice::Save:
        return saveSettings();
    case Messages::Choice::Discard: {
        // Back to the saved settings, the language too; the main window
        // follows.
        const bool languageChanged = m_context.files.settings.language != m_saved.language;
        m_context.files.settings = m_saved;
        if (languageChanged)
            emit this->languageChanged();
        return true;
    }
    case Messages::Choice::Cancel: break;
    }
    return false;
}

void SettingsWindow::done(int result)
{
    if (!settleKeywordEdits() || !settleSettings())
        return;
    QDialog::done(result);
}

QString SettingsWindow::keywordFilePath() const
{
    const fs::path folder = m_context.programDirectory / languageFolderName(m_context.files.settings.language);
    const auto found = findFileIgnoringCase(folder, KeywordFileCheck::kFileName);
    return toQString(found ? *found : folder / KeywordFileCheck::kFileName);
}

void SettingsWindow::showKeywordFile(bool show)
{
    m_text1->setVisible(show);
    m_command1->setVisible(show);
    if (!show)
        return;
    std::string bytes;
    std::string error;
    if (!readFileBytes(keywordFilePath().toStdString(), bytes, error)) {
        m_text1->clear();
        messages().warning(text(text::FileMissing).arg(keywordFilePath()));
        return;
    }
    // Shown with plain line ends; saved again with CR LF.
    QString shown = fromCp1252(bytes);
    shown.replace("\r\n", "\n");
    m_text1->setPlainText(shown);
    m_text1->document()->setModified(false);
    resize(width(), std::max(height(), 640));
}

bool SettingsWindow::saveKeywordFile()
{
    const Messages messages = this->messages();
    QString typed = m_text1->toPlainText();
    if (!typed.isEmpty() && !typed.endsWith('\n'))
        typed += '\n';
    typed.replace('\n', "\r\n");
    const std::string bytes = toCp1252(typed);

    // The editor refuses to start on a keyword file whose commands the
    // library does not know: ask before writing one.
    if (!m_context.lookup) {
        if (!messages.confirm(text(text::LibraryUnavailable).arg(QString::fromStdString(m_context.lookupError)), true))
            return false;
    } else {
        const std::vector<std::string> unknown = KeywordFileCheck::unknownWords(bytes, m_context.lookup);
        if (!unknown.empty()) {
            QStringList words;
            // A Tab is part of the word the editor reads: shown, not hidden.
            for (const std::string &word : unknown)
                words.append(fromCp1252(word).replace('\t', QStringLiteral("<Tab>")));
            if (!messages.confirm(text(text::UnknownKeywords).arg(words.join(", ")), true))
                return false;
        }
    }
    std::string error;
    if (!writeFileAtomically(keywordFilePath().toStdString(), bytes, &error)) {
        messages.error(text(text::CannotSave).arg(keywordFilePath(), QString::fromStdString(error)));
        return false;
    }
    m_text1->document()->setModified(false);
    messages.information(text(text::KeywordFileSaved));
    return true;
}

} // namespace kn4::manager
