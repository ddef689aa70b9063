#pragma once

#include "clicklabel.h"
#include "labelslots.h"
#include "swatch.h"

#include "simulator/simsettings.h"

#include <QWidget>

#include <array>
#include <functional>

namespace kn4::simulator {

// The colour settings window ("Settaggio colori"): the background colour,
// the colours of carriers 1..8, the side each carrier starts from, the
// course-count start and the stripe mode. It edits the program's settings
// in place; after each change it emits settingsChanged() so the main window
// rebuilds the carrier bookkeeping and reruns the simulation.
class ColourSettingsWindow : public QWidget
{
    Q_OBJECT

public:
    // Asks the palette for a colour (mode 0); returns false when none was chosen.
    using ColourPicker = std::function<bool(Colour &colour)>;

    ColourSettingsWindow(SimSettings &settings, const LabelTexts &labels, ColourPicker picker,
                         QWidget *parent = nullptr);

    // Cambio 1 advances the stripe mode 0 -> 1 -> 2 -> 0, 0 only refreshes.
    // Mode 1 makes colours 4, 5, 6 those of carriers 1, 2, 3 and the start
    // sides of carriers 5..8 those of carriers 1..4 (the machine's empty
    // course knits the same yarns again); mode 2 names the carriers after
    // their intarsia roles.
    void SetModo(int Cambio);

    // The clicks of the window: a carrier's side cycles 0 -> 1 -> 2 -> 0, the
    // course-count start toggles, a swatch opens the palette (0 is the
    // background, 1..8 the carriers), the mode label advances the mode.
    void Lato_Click(int carrier);
    void InizioConteggio_Click();
    void Colore_Click(int index);
    void Modo_Click();

    // The side caption of a start side: "<----", "---->" or "NO".
    static QString sideText(std::uint8_t side);

Q_SIGNALS:
    void settingsChanged();

private:
    void changed();

    SimSettings &m_settings;
    LabelTexts m_labels;
    ColourPicker m_picker;
    ClickLabel *m_background = nullptr;
    std::array<ClickLabel *, SimSettings::kCarriers> m_swatches{};
    std::array<QLabel *, SimSettings::kCarriers> m_colourCaptions{};
    std::array<QLabel *, SimSettings::kCarriers> m_carrierCaptions{};
    std::array<ClickLabel *, SimSettings::kCarriers> m_sides{};
    ClickLabel *m_countStart = nullptr;
    ClickLabel *m_mode = nullptr;
};

} // namespace kn4::simulator
