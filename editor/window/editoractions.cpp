#include "window/editoractions.h"

#include "kn4/qtconvert.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

namespace kn4::editor {

namespace {

QAction *entry(QMenu *menu, const char *name, const QString &caption, const QList<QKeySequence> &keys)
{
    auto *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    return action;
}

} // namespace

EditorActions::EditorActions(QMenuBar *bar, QUndoStack *stack, QObject *parent) : QObject(parent)
{
    menu = new QMenu(QStringLiteral("Modifica"), bar);
    menu->setObjectName(QStringLiteral("MenuModifica"));
    menu->setToolTipsVisible(true);
    const QList<QAction *> existing = bar->actions();
    bar->insertMenu(existing.isEmpty() ? nullptr : existing.first(), menu);

    undo = entry(menu, "Annulla", QStringLiteral("Annulla"), {QKeySequence::Undo});
    redo = entry(menu, "Ripeti", QStringLiteral("Ripeti"),
                 {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    menu->addSeparator();
    typeValue = entry(menu, "ScriviValore", QStringLiteral("Scrivi valore"), {QKeySequence(Qt::Key_F2)});
    insertRow = entry(menu, "MenuInserisciRiga", QStringLiteral("Inserisci riga"), {QKeySequence(Qt::Key_Insert)});
    deleteRow = entry(menu, "MenuEliminaRiga", QStringLiteral("Elimina riga"), {QKeySequence(Qt::Key_Delete)});
    menu->addSeparator();
    save = entry(menu, "MenuSalva", QStringLiteral("Salva"), {QKeySequence::Save});
    help = entry(menu, "AiutoEsperto", QStringLiteral("Aiuto esperto"), {QKeySequence(Qt::Key_F1)});
    help->setCheckable(true);

    undo->setEnabled(stack->canUndo());
    redo->setEnabled(stack->canRedo());
    connect(stack, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(stack, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    updateTips();
}

void EditorActions::applyLanguage(const LanguageTable &language)
{
    auto caption = [&](QObject *target, int line) {
        const std::string text = language.text(line);
        if (text.empty())
            return;
        if (auto *action = qobject_cast<QAction *>(target))
            action->setText(fromCp1252(text));
        else if (auto *m = qobject_cast<QMenu *>(target))
            m->setTitle(fromCp1252(text));
    };
    caption(menu, LanguageTable::MenuModifica);
    caption(undo, LanguageTable::Annulla);
    caption(redo, LanguageTable::Ripeti);
    caption(typeValue, LanguageTable::ScriviValore);
    caption(insertRow, LanguageTable::InserisciRiga);
    caption(deleteRow, LanguageTable::EliminaRiga);
    caption(save, LanguageTable::Salva);
    caption(help, LanguageTable::AiutoEsperto);
    updateTips();
}

QString EditorActions::withKey(const QString &caption, const QAction *action)
{
    QStringList keys;
    for (const QKeySequence &key : action->shortcuts())
        keys << key.toString(QKeySequence::NativeText);
    QString text = caption;
    text.remove(QLatin1Char('&'));
    return keys.isEmpty() ? text : text + QStringLiteral(" (") + keys.join(QStringLiteral(", ")) + QLatin1Char(')');
}

void EditorActions::updateTips()
{
    for (QAction *action : menu->actions())
        if (!action->isSeparator())
            action->setToolTip(withKey(action->text(), action));
    // Enter on the row list opens the entry too.
    typeValue->setToolTip(withKey(typeValue->text(), typeValue) + QStringLiteral(" / ") +
                          QKeySequence(Qt::Key_Return).toString(QKeySequence::NativeText));
}

} // namespace kn4::editor
