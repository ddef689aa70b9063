#include "window/recyclebindialog.h"

#include "core/managertexts.h"
#include "window/messages.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kn4::manager {

RecycleBinDialog::RecycleBinDialog(std::vector<Place> places, Text text, Busy busy, QWidget *parent)
    : QDialog(parent),
      m_places(std::move(places)),
      m_text(std::move(text)),
      m_busy(std::move(busy)),
      m_list(new QListWidget(this))
{
    setObjectName("Cestino");
    setWindowTitle(m_text(text::BinCaption));
    m_list->setObjectName("ListaCestino");
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto *buttons = new QDialogButtonBox(this);
    m_restore = buttons->addButton(m_text(text::BinRestore), QDialogButtonBox::ActionRole);
    m_restore->setObjectName("Ripristina");
    m_empty = buttons->addButton(m_text(text::BinEmpty), QDialogButtonBox::DestructiveRole);
    m_empty->setObjectName("Svuota");
    QPushButton *close = buttons->addButton(m_text(text::BinClose), QDialogButtonBox::RejectRole);
    close->setObjectName("Chiudi");
    // Enter closes: emptying the bin is never one stray key away.
    m_restore->setAutoDefault(false);
    m_empty->setAutoDefault(false);
    close->setDefault(true);
    connect(m_restore, &QPushButton::clicked, this, &RecycleBinDialog::restoreChosen);
    connect(m_empty, &QPushButton::clicked, this, &RecycleBinDialog::emptyBins);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemSelectionChanged, this,
            [this] { m_restore->setEnabled(!m_list->selectedItems().isEmpty()); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &RecycleBinDialog::restoreChosen);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(520, 360);
    fill();
}

Messages RecycleBinDialog::messages()
{
    return Messages(this, m_text);
}

void RecycleBinDialog::fill()
{
    m_list->clear();
    m_items.clear();
    for (const Place &place : m_places) {
        for (RecycleBin::Item &item : RecycleBin::items(place.folder)) {
            auto *entry = new QListWidgetItem(
                m_text(text::BinEntry).arg(QString::fromStdString(item.name), place.name,
                                           QString::fromStdString(item.deleted)),
                m_list);
            entry->setData(Qt::UserRole, int(m_items.size()));
            m_items.push_back(std::move(item));
        }
    }
    if (m_items.empty())
        new QListWidgetItem(m_text(text::BinIsEmpty), m_list);
    m_list->setEnabled(!m_items.empty());
    m_restore->setEnabled(false);
    m_empty->setEnabled(!m_items.empty());
}

void RecycleBinDialog::restoreChosen()
{
    QStringList errors;
    for (const QListWidgetItem *entry : m_list->selectedItems()) {
        const RecycleBin::Item &item = m_items.at(std::size_t(entry->data(Qt::UserRole).toInt()));
        const QString name = QString::fromStdString(item.name);
        if (!item.folder && m_busy && m_busy(item.home / item.path.filename())) {
            errors.append(m_text(text::AlreadyBeingEdited).arg(name));
            continue;
        }
        const RecycleBin::Result result = RecycleBin::restore(item, [&](const std::string &existing) {
            return messages().confirm(
                m_text(text::AskReplacePanel)
                    .arg(QString::fromStdString(existing),
                         QString::fromStdString(upperCase(item.home.filename().string()))),
                true);
        });
        switch (result.outcome) {
        case RecycleBin::Outcome::Restored:
            m_changed = true;
            break;
        case RecycleBin::Outcome::Kept:
            break;
        case RecycleBin::Outcome::Exists:
            errors.append(m_text(text::RestoreExists).arg(name));
            break;
        case RecycleBin::Outcome::Failed:
            errors.append(m_text(text::CannotRestore).arg(name, QString::fromStdString(result.error)));
            break;
        }
    }
    fill();
    if (!errors.isEmpty())
        messages().error(errors.join('\n'));
}

void RecycleBinDialog::emptyBins()
{
    if (!messages().confirm(m_text(text::AskEmptyBin), true))
        return;
    QStringList errors;
    for (const Place &place : m_places) {
        std::string error;
        if (!RecycleBin::empty(place.folder, error))
            errors.append(QString::fromStdString(error));
    }
    m_changed = true;
    fill();
    if (!errors.isEmpty())
        messages().error(errors.join('\n'));
}

} // namespace kn4::manager
