#include "window/messages.h"

#include "core/managertexts.h"

#include <QPushButton>

namespace kn4::manager {

void Messages::show(QMessageBox::Icon icon, int title, const QString &message) const
{
    QMessageBox box(icon, m_text(title), message, QMessageBox::Ok, m_parent);
    box.button(QMessageBox::Ok)->setText(m_text(text::DialogOk));
    box.exec();
}

void Messages::error(const QString &message) const
{
    show(QMessageBox::Critical, text::TitleError, message);
}

void Messages::warning(const QString &message) const
{
    show(QMessageBox::Warning, text::TitleWarning, message);
}

void Messages::information(const QString &message) const
{
    show(QMessageBox::Information, text::WindowCaption, message);
}

bool Messages::confirm(const QString &message, bool yesNo) const
{
    const QMessageBox::StandardButton accept = yesNo ? QMessageBox::Yes : QMessageBox::Ok;
    const QMessageBox::StandardButton refuse = yesNo ? QMessageBox::No : QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, m_text(text::TitleConfirm), message, accept | refuse, m_parent);
    box.button(accept)->setText(m_text(yesNo ? text::ButtonYes : text::DialogOk));
    box.button(refuse)->setText(m_text(yesNo ? text::ButtonNo : text::DialogCancel));
    box.setDefaultButton(refuse);
    return box.exec() == accept;
}

Messages::Choice Messages::askSave(const QString &message) const
{
    QMessageBox box(QMessageBox::Question, m_text(text::TitleConfirm), message,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_parent);
    box.button(QMessageBox::Save)->setText(m_text(text::ButtonSave));
    box.button(QMessageBox::Discard)->setText(m_text(text::ButtonDiscard));
    box.button(QMessageBox::Cancel)->setText(m_text(text::DialogCancel));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save: return Choice::Save;
    case QMessageBox::Discard: return Choice::Discard;
    default: return Choice::Cancel;
    }
}

} // namespace kn4::manager
