#include "window/namedialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kn4::manager {

NameDialog::NameDialog(const QString &caption, const QString &prompt, const QString &okText,
                       const QString &cancelText, QWidget *parent)
    : QDialog(parent), m_prompt(new QLabel(prompt, this)), m_nameBox(new QLineEdit(this))
{
    setObjectName("Dialog");
    setWindowTitle(caption);
    m_nameBox->setObjectName("Text1");
    m_nameBox->setMaxLength(64);
    connect(m_nameBox, &QLineEdit::textEdited, this, [this](const QString &text) {
        const int cursor = m_nameBox->cursorPosition();
        m_nameBox->setText(text.toUpper());
        m_nameBox->setCursorPosition(cursor);
    });
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(okText, QDialogButtonBox::AcceptRole);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    buttons->addButton(cancelText, QDialogButtonBox::RejectRole)->setObjectName("CancelButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_nameBox);
    layout->addWidget(buttons);
    setMinimumWidth(320);
}

void NameDialog::setName(const QString &name)
{
    m_nameBox->setText(name.toUpper());
    m_nameBox->selectAll();
}

void NameDialog::setMaxLength(int length)
{
    m_nameBox->setMaxLength(length);
}

QString NameDialog::name() const
{
    return m_nameBox->text();
}

} // namespace kn4::manager
