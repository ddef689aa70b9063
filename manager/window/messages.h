#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

namespace kn4::manager {

// The manager's message boxes, with titles and button captions from the
// language table (a function from text line to text).
class Messages
{
public:
    using Text = std::function<QString(int line)>;

    Messages(QWidget *parent, Text text) : m_parent(parent), m_text(std::move(text)) {}

    void error(const QString &message) const;
    void warning(const QString &message) const;
    void information(const QString &message) const;
    // Yes/No (yesNo) or OK/Cancel; true for Yes or OK. The refusing button
    // is the default, so a stray Enter never deletes or replaces anything.
    bool confirm(const QString &message, bool yesNo) const;

    enum class Choice { Save, Discard, Cancel };
    // Unsaved changes: Save (the default), Don't save, or Cancel (also Esc
    // and the window's close button), captioned in the chosen language.
    Choice askSave(const QString &message) const;

private:
    void show(QMessageBox::Icon icon, int title, const QString &message) const;

    QWidget *m_parent;
    Text m_text;
};

} // namespace kn4::manager
