#pragma once

#include "labelslots.h"

#include <QWidget>

#include <string>

class QPlainTextEdit;

namespace kn4::simulator {

// The notes window ("Note"): the panel's notes as the head carries them, from
// the ";" of its "uscita" line on, read only.
class NotesWindow : public QWidget
{
    Q_OBJECT

public:
    explicit NotesWindow(const LabelTexts &labels, QWidget *parent = nullptr);

    // The notes as Windows-1252 bytes of the panel file.
    void setNotes(const std::string &tail);
    QString notes() const;

private:
    QPlainTextEdit *m_text = nullptr;
};

} // namespace kn4::simulator
