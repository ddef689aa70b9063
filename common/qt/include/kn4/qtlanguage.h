#pragma once

#include <QString>

#include <map>

namespace kn4 {

// Qt's own texts in the suite's language: the buttons of message boxes,
// the print and file dialogs, the key names of menus and tips. Every
// program of the suite installs them for the language folder it was given.
class QtLanguage
{
public:
    // Qt's code of a language folder, by the folder's own name whatever its
    // letter case: "italiano" gives "it", "inglese" "en", "spagnolo" "es";
    // empty for any other folder.
    static QString codeOfFolder(const QString &languageFolder);

    // Installs Qt's translations for the language of the folder, in place
    // of those installed before (the manager changes its language while it
    // runs). Key names (Qt's "Ctrl", "Shift", "Del", "Ins", "Return"...) a
    // program's language file gives take the place of Qt's. False when the
    // system lacks Qt's translations for the language (Qt then speaks
    // English); English needs none.
    static bool install(const QString &languageFolder, const std::map<QString, QString> &keyNames = {});
};

} // namespace kn4
