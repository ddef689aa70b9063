#include "simulator/simulationsetup.h"

#include "simulator/knitengine.h"
#include "simulator/panelhead.h"

namespace kn4 {

void SimulationSetup::applyStripeMode(SimSettings &settings)
{
    if (settings.stripeMode != 1)
        return;
    for (std::size_t k = 0; k < 3; ++k)
        settings.colours[k + 3] = settings.colours[k];
    for (std::size_t k = 0; k < 4; ++k)
        settings.carrierSides[k + 4] = settings.carrierSides[k];
}

void SimulationSetup::prepare(KnitEngine &engine, PanelHead &head, const SimSettings &settings)
{
    SimSettings &s = engine.settings();
    s = settings;
    head.applyColourCodes(s.colours);
    s.raiseScale();
    applyStripeMode(s);
    // The lists are read whatever the mode: the colour settings may turn
    // intarsia on later, and only stripe mode 2 draws them.
    head.InizioIntarsio();
    engine.setHead(head);
    engine.drawingView().scale = s.scale;
}

} // namespace kn4
