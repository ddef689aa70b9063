#include "weightentrywindow.h"

#include "simulator/weightcalculator.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace kn4::simulator {

WeightEntryWindow::WeightEntryWindow(const LabelTexts &labels, QWidget *parent)
    : QDialog(parent), m_labels(labels)
{
    setObjectName(QStringLiteral("frmPeso"));
    setWindowTitle(labels[kLabelWeightTitle]);
    setWindowModality(Qt::WindowModal);

    auto *prompt = new QLabel(labels[kLabelWeightPrompt], this);
    prompt->setObjectName(QStringLiteral("Label1"));
    prompt->setWordWrap(true);
    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("Text1"));
    auto *ok = new QPushButton(labels[kLabelOk], this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(labels[kLabelCancel], this);
    cancel->setObjectName(QStringLiteral("Annulla"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_field);
    layout->addLayout(buttons);
    setFixedWidth(twips(4800));

    connect(m_field, &QLineEdit::textChanged, this, &WeightEntryWindow::Text1_Change);
    connect(ok, &QPushButton::clicked, this, &WeightEntryWindow::OK_Click);
    connect(cancel, &QPushButton::clicked, this, &WeightEntryWindow::Annulla_Click);
    m_field->setFocus();
}

void WeightEntryWindow::Text1_Change()
{
    if (std::size_t(m_field->text().size()) > WeightCalculator::kMaxEntryLength)
        m_field->clear();
}

void WeightEntryWindow::OK_Click()
{
    // A reference weight of 0 would leave no grams per stitch, and a negative
    // one would give negative weights for every panel after it.
    const std::optional<std::int16_t> grams = WeightCalculator::entryWeight(m_field->text().toStdString());
    if (!grams) {
        Q_EMIT weightRefused();
        QMessageBox::information(this, windowTitle(), m_labels[kLabelEnterWeight]);
        m_field->setFocus();
        return;
    }
    m_weight = *grams;
    accept();
}

void WeightEntryWindow::Annulla_Click()
{
    reject();
}

} // namespace kn4::simulator
