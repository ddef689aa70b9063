#pragma once

#include "document/languagetable.h"

#include <QObject>

class QAction;
class QMenu;
class QMenuBar;
class QUndoStack;

namespace kn4::editor {

// The editor's Edit menu, first on the menu bar: undo and redo, typing a
// value into the selected row, inserting and deleting a row, saving and
// the expert help, each with its key shown beside it and in its tip. The
// window connects the entries; undo and redo follow the undo stack.
class EditorActions : public QObject
{
public:
    EditorActions(QMenuBar *bar, QUndoStack *stack, QObject *parent);

    // The menu's words from the language file; lines it lacks keep the
    // built-in Italian ones.
    void applyLanguage(const LanguageTable &language);

    // A caption with its key, for a tip: "Salva (Ctrl+S)".
    static QString withKey(const QString &caption, const QAction *action);

    QMenu *menu = nullptr;
    QAction *undo = nullptr;       // Ctrl+Z
    QAction *redo = nullptr;       // Ctrl+Y, Ctrl+Shift+Z
    QAction *typeValue = nullptr;  // F2 (Enter on the row list)
    QAction *insertRow = nullptr;  // Ins
    QAction *deleteRow = nullptr;  // Del
    QAction *save = nullptr;       // Ctrl+S
    QAction *help = nullptr;       // F1

private:
    void updateTips();
};

} // namespace kn4::editor
