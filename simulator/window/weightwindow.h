#pragma once

#include "labelslots.h"

#include "simulator/knitengine.h"
#include "simulator/panelhead.h"
#include "simulator/simlabels.h"
#include "simulator/weightcalculator.h"

#include <QWidget>

#include <array>
#include <string>

class QLabel;
class QPushButton;

namespace kn4::simulator {

class WeightEntryWindow;

// The weight window ("Calcolo Peso"): the grams of yarn the simulated panel
// needs, in all and per colour, from the grams per stitch of the reference
// panel; its button makes the panel on screen the new reference through the
// weight entry window. The main window stays disabled while it is open.
class WeightWindow : public QWidget
{
    Q_OBJECT

public:
    WeightWindow(KnitEngine &engine, const SimLabels &simLabels, const LabelTexts &labels,
                 std::string panelPath, QWidget *parent = nullptr);

    // Recomputes and shows everything from the engine's stitch totals and
    // the reference in the settings.
    void Aggiorno_peso();
    const WeightReport &report() const { return m_report; }
    const WeightCalculator &calculator() const { return m_calculator; }

    // Opens the weight entry window over this one; its closing (OK or
    // Annulla) updates the window.
    void Sostituisci_Click();
    WeightEntryWindow *entryWindow() const { return m_entry; }

    // The line texts as shown.
    QString referenceWeightText() const;
    QString referencePanelText() const;
    QString gramsPerStitchText() const;
    QString totalText() const;
    QString colourText(int carrier) const;  // 1..8

private:
    void entryClosed(int result);

    KnitEngine &m_engine;
    const SimLabels &m_simLabels;
    LabelTexts m_labels;
    std::string m_panelPath;
    WeightCalculator m_calculator;
    WeightReport m_report;
    WeightEntryWindow *m_entry = nullptr;

    QLabel *m_referenceWeight = nullptr;
    QLabel *m_referencePanel = nullptr;
    QLabel *m_gramsPerStitch = nullptr;
    QLabel *m_total = nullptr;
    std::array<QLabel *, SimSettings::kCarriers> m_swatches{};
    std::array<QLabel *, SimSettings::kCarriers> m_colours{};
};

} // namespace kn4::simulator
