#include "window/archivechoicedialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kn4::manager {

ArchiveChoiceDialog::ArchiveChoiceDialog(const QString &caption, const QString &prompt, const QStringList &archives,
                                         const QString &copyText, const QString &moveText,
                                         const QString &cancelText, QWidget *parent)
    : QDialog(parent), m_list(new QListWidget(this))
{
    setObjectName("CopiaInArchivio");
    setWindowTitle(caption);
    auto *label = new QLabel(prompt, this);
    label->setWordWrap(true);
    m_list->setObjectName("ListaArchivi");
    m_list->addItems(archives);
    m_list->setCurrentRow(0);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *copy = buttons->addButton(copyText, QDialogButtonBox::AcceptRole);
    copy->setObjectName("Copia");
    copy->setDefault(true);
    QPushButton *move = buttons->addButton(moveText, QDialogButtonBox::AcceptRole);
    move->setObjectName("Sposta");
    buttons->addButton(cancelText, QDialogButtonBox::RejectRole)->setObjectName("CancelButton");
    connect(copy, &QPushButton::clicked, this, [this] {
        m_move = false;
        accept();
    });
    connect(move, &QPushButton::clicked, this, [this] {
        m_move = true;
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] {
        m_move = false;
        accept();
    });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

QString ArchiveChoiceDialog::archive() const
{
    return m_list->currentItem() ? m_list->currentItem()->text() : QString();
}

} // namespace kn4::manager
