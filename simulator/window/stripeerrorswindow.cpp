#include "stripeerrorswindow.h"

#include <QListWidget>
#include <QVBoxLayout>

namespace kn4::simulator {

StripeErrorsWindow::StripeErrorsWindow(const LabelTexts &labels, QWidget *parent)
    : QWidget(parent, Qt::Tool), m_labels(labels)
{
    setObjectName(QStringLiteral("frmErroriRigati"));
    setWindowTitle(labels[kLabelStripeErrorList]);
    auto *layout = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ListaErrori"));
    m_list->setToolTip(labels[kLabelStripeErrorListTip]);
    layout->addWidget(m_list);
    connect(m_list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (item)
            Q_EMIT courseChosen(item->data(Qt::UserRole).toLongLong());
    });
    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { Q_EMIT courseChosen(item->data(Qt::UserRole).toLongLong()); });
    resize(twips(3600), twips(3600));
}

void StripeErrorsWindow::setErrors(const std::vector<std::int64_t> &courses)
{
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    for (const std::int64_t course : courses) {
        auto *item = new QListWidgetItem(m_labels[kLabelStripeErrorAt] + QLatin1Char(' ') + QString::number(course));
        item->setData(Qt::UserRole, qlonglong(course));
        m_list->addItem(item);
    }
}

} // namespace kn4::simulator
