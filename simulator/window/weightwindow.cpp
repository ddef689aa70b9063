#include "weightwindow.h"

#include "swatch.h"
#include "weightentrywindow.h"

#include "kn4/cp1252.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

namespace kn4::simulator {

namespace {

QString shown(const std::string &bytes)
{
    return QString::fromStdString(cp1252ToUtf8(bytes));
}

QLabel *valueLabel(QWidget *parent, const QString &name, int index = 0)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    if (index)
        label->setProperty("index", index);
    label->setMinimumWidth(twips(1500));
    return label;
}

} // namespace

WeightWindow::WeightWindow(KnitEngine &engine, const SimLabels &simLabels, const LabelTexts &labels,
                           std::string panelPath, QWidget *parent)
    : QWidget(parent, Qt::Window), m_engine(engine), m_simLabels(simLabels), m_labels(labels),
      m_panelPath(std::move(panelPath))
{
    setObjectName(QStringLiteral("frmCalcoloPeso"));
    setWindowTitle(labels[kLabelWeightTitle]);
    // While it is open the main window takes no input.
    setWindowModality(Qt::WindowModal);

    auto *grid = new QGridLayout(this);
    int row = 0;
    m_referenceWeight = valueLabel(this, QStringLiteral("PesoRiferimento"));
    grid->addWidget(m_referenceWeight, row++, 0, 1, 3);
    m_referencePanel = valueLabel(this, QStringLiteral("PannelloRiferimento"));
    grid->addWidget(m_referencePanel, row++, 0, 1, 3);
    m_gramsPerStitch = valueLabel(this, QStringLiteral("GrammiMaglia"));
    grid->addWidget(m_gramsPerStitch, row++, 0, 1, 3);

    grid->addWidget(new QLabel(labels[kLabelTotalWeight], this), row, 1);
    m_total = valueLabel(this, QStringLiteral("PesoTotale"));
    m_total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(m_total, row++, 2);

    for (int k = 0; k < SimSettings::kCarriers; ++k) {
        m_swatches[k] = new QLabel(this);
        m_swatches[k]->setObjectName(QStringLiteral("Campione"));
        m_swatches[k]->setProperty("index", k + 1);
        m_swatches[k]->setFixedSize(twips(495), twips(255));
        m_swatches[k]->setFrameShape(QFrame::Box);
        grid->addWidget(m_swatches[k], row, 0);
        grid->addWidget(new QLabel(labels[kLabelColourWeight1 + k], this), row, 1);
        m_colours[k] = valueLabel(this, QStringLiteral("PesoColore"), k + 1);
        m_colours[k]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(m_colours[k], row++, 2);
    }

    auto *replace = new QPushButton(labels[kLabelNewReference], this);
    replace->setObjectName(QStringLiteral("Sostituisci"));
    grid->addWidget(replace, row++, 0, 1, 3);
    connect(replace, &QPushButton::clicked, this, &WeightWindow::Sostituisci_Click);
    // The main window waits for this one: Esc gives it back at once.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
}

void WeightWindow::Aggiorno_peso()
{
    const IntarsiaAreas &areas = m_engine.intarsiaAreas();
    m_report = m_calculator.Aggiorno_peso(m_engine.settings(), m_engine.stitches(), m_simLabels, areas.area2,
                                          areas.area3);
    m_referenceWeight->setText(shown(m_report.referenceWeightLine));
    m_referencePanel->setText(shown(m_report.referencePanelLine) +
                              QString::fromStdString(m_report.referencePanelPath));
    m_referencePanel->setToolTip(QString::fromStdString(m_engine.settings().referencePath));
    m_gramsPerStitch->setText(shown(m_report.gramsPerStitchLine));
    m_total->setText(shown(m_report.totalLine));
    for (int k = 0; k < SimSettings::kCarriers; ++k) {
        paintSwatch(m_swatches[k], m_engine.settings().colours[k]);
        m_colours[k]->setText(shown(m_report.colourLines[k]));
    }
}

void WeightWindow::Sostituisci_Click()
{
    if (m_entry)
        return;
    m_entry = new WeightEntryWindow(m_labels, this);
    m_entry->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_entry, &QDialog::finished, this, &WeightWindow::entryClosed);
    m_entry->open();
    m_entry->field()->setFocus();
}

void WeightWindow::entryClosed(int result)
{
    if (result == QDialog::Accepted && m_entry) {
        WeightCalculator::takeReference(m_engine.settings(), std::int16_t(m_entry->weight()), m_panelPath,
                                        m_engine.stitches().total);
    }
    m_entry = nullptr;
    Aggiorno_peso();
}

QString WeightWindow::referenceWeightText() const { return m_referenceWeight->text(); }
QString WeightWindow::referencePanelText() const { return m_referencePanel->text(); }
QString WeightWindow::gramsPerStitchText() const { return m_gramsPerStitch->text(); }
QString WeightWindow::totalText() const { return m_total->text(); }

QString WeightWindow::colourText(int carrier) const
{
    return carrier >= 1 && carrier <= SimSettings::kCarriers ? m_colours[carrier - 1]->text() : QString();
}

} // namespace kn4::simulator
