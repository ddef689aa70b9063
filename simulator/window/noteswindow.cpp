#include "noteswindow.h"

#include "kn4/cp1252.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace kn4::simulator {

NotesWindow::NotesWindow(const LabelTexts &labels, QWidget *parent)
    : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("frmNote"));
    setWindowTitle(labels[kLabelNotes]);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setReadOnly(true);
    // The notes were typed in the editor's fixed columns.
    m_text->setFont(QFont(QStringLiteral("Liberation Mono"), 9));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    resize(twips(7200), twips(2400));
}

void NotesWindow::setNotes(const std::string &tail)
{
    QString text = QString::fromStdString(cp1252ToUtf8(tail));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_text->setPlainText(text);
}

QString NotesWindow::notes() const
{
    return m_text->toPlainText();
}

} // namespace kn4::simulator
