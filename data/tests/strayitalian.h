#pragma once

// What a window shows, walked widget by widget, and the words of it that
// belong to another language of the suite: a program started in English or
// Spanish must show no Italian word of the suite's own texts (nor, in
// Spanish, an English one) outside the panel's own content.

#include "datafiles.h"
#include "kn4/cp1252.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QWidget>

#include <set>

namespace kn4::testing {

// The languages' columns: 0 Italian, 1 English, 2 Spanish.
inline const char *const kLanguageFolders[] = {"italiano", "inglese", "spagnolo"};

// The words (four letters or more, lower case) of a text, paths and file
// names left out.
inline std::set<QString> wordsOf(const QString &text)
{
    std::set<QString> words;
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    static const QRegularExpression letters(QStringLiteral("[^\\p{L}]+"));
    for (const QString &token : text.split(blanks, Qt::SkipEmptyParts)) {
        // Paths, file names and program names (Kn4Edit) are no words.
        if (token.contains(QLatin1Char('/')) || token.contains(QLatin1Char('\\')) ||
            (token.contains(QRegularExpression(QStringLiteral("\\d"))) &&
             token.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2}")))) ||
            token.contains(QRegularExpression(QStringLiteral("\\.[A-Za-z]{3}$"))))
            continue;
        for (const QString &word : token.split(letters, Qt::SkipEmptyParts))
            if (word.size() >= 4)
                words.insert(word.toLower());
    }
    return words;
}

// Every word of one language's texts in the language files of the suite:
// the editor's, the simulator's and the print-out's files of its folder and
// its column of the manager's lingua.ini.
inline std::set<QString> languageWords(int language)
{
    std::set<QString> words;
    bool wellEnded = false;
    auto add = [&words](const std::string &cp1252) {
        const std::set<QString> more = wordsOf(QString::fromStdString(cp1252ToUtf8(cp1252)));
        words.insert(more.begin(), more.end());
    };
    auto column = [](std::string line, char separator, int n) {
        line += std::string(8, separator);
        for (int i = 0; i < n; ++i)
            line = line.substr(line.find(separator) + 1);
        return line.substr(0, line.find(separator));
    };
    const std::filesystem::path folder = kDataDir / kLanguageFolders[language];
    for (const char *file : {"kn4edit.ini", "stampa.ini"})
        for (const std::string &line : crlfLines(readFile(folder / file), &wellEnded))
            add(line);
    const std::vector<std::string> simulator = crlfLines(readFile(folder / "simulatore.ini"), &wellEnded);
    for (std::size_t i = 1; i < simulator.size(); ++i)
        add(column(simulator[i], ',', language));
    for (const std::string &line : crlfLines(readFile(kDataDir / "root" / "lingua.ini"), &wellEnded))
        add(column(line, '_', language));
    return words;
}

// The words of one language that the other two never use.
inline std::set<QString> ownWords(int language)
{
    std::set<QString> words = languageWords(language);
    for (int other = 0; other < 3; ++other)
        if (other != language)
            for (const QString &word : languageWords(other))
                words.erase(word);
    return words;
}

struct ShownText
{
    QString where;
    QString text;
};

// Every text a window and its children show or tell: titles, captions,
// tips, menu entries, list and combo entries. Widgets whose object name is
// in `panelContent` (the panel's own fields, rows, notes) and their
// children are left out.
inline std::vector<ShownText> shownTexts(const QWidget *top, const QStringList &panelContent = {})
{
    std::vector<ShownText> texts;
    auto add = [&texts](const QObject *object, const QString &text) {
        if (!text.trimmed().isEmpty())
            texts.push_back({object->objectName().isEmpty() ? QString::fromLatin1(object->metaObject()->className())
                                                            : object->objectName(),
                             text});
    };
    auto isPanelContent = [&panelContent](const QWidget *widget) {
        for (const QWidget *w = widget; w; w = w->parentWidget())
            if (!w->objectName().isEmpty() && panelContent.contains(w->objectName()))
                return true;
        return false;
    };
    QList<const QWidget *> widgets{top};
    for (const QWidget *child : top->findChildren<QWidget *>())
        widgets.append(child);
    for (const QWidget *widget : widgets) {
        if (isPanelContent(widget))
            continue;
        if (widget->isWindow())
            add(widget, widget->windowTitle());
        add(widget, widget->toolTip());
        add(widget, widget->statusTip());
        if (auto *label = qobject_cast<const QLabel *>(widget))
            add(label, label->text());
        if (auto *button = qobject_cast<const QAbstractButton *>(widget))
            add(button, button->text());
        if (auto *box = qobject_cast<const QGroupBox *>(widget))
            add(box, box->title());
        if (auto *edit = qobject_cast<const QLineEdit *>(widget))
            add(edit, edit->placeholderText());
        if (auto *menu = qobject_cast<const QMenu *>(widget))
            add(menu, menu->title());
        if (auto *combo = qobject_cast<const QComboBox *>(widget))
            for (int i = 0; i < combo->count(); ++i)
                add(combo, combo->itemText(i));
        if (auto *list = qobject_cast<const QListWidget *>(widget))
            for (int i = 0; i < list->count(); ++i)
                add(list, list->item(i)->text());
        for (const QAction *action : widget->actions()) {
            add(action, action->text());
            if (action->toolTip() != action->text() && action->toolTip() != QString(action->text()).remove('&'))
                add(action, action->toolTip());
            add(action, action->statusTip());
            if (action->menu())
                add(action->menu(), action->menu()->title());
        }
    }
    return texts;
}

// The three sets are not empty of the words a window shows most.
inline bool ownWordsAreSound()
{
    return ownWords(0).count(QStringLiteral("salva")) && ownWords(1).count(QStringLiteral("save")) &&
           ownWords(2).count(QStringLiteral("guardar"));
}

// "where: text" for every shown text that holds one of `foreign`'s words.
inline QStringList strayWords(const std::vector<ShownText> &texts, const std::set<QString> &foreign)
{
    QStringList found;
    for (const ShownText &shown : texts)
        for (const QString &word : wordsOf(shown.text))
            if (foreign.count(word))
                found << shown.where + QStringLiteral(": ") + shown.text + QStringLiteral("  [") + word +
                             QStringLiteral("]");
    found.removeDuplicates();
    return found;
}

} // namespace kn4::testing
