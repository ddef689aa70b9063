#pragma once

#include "simulator/simsettings.h"

namespace kn4 {

class KnitEngine;
class PanelHead;

// The one way a panel is made ready for simulation, shared by the
// simulator's window and kn4sim so both show the same piece in the same
// colours: the settings, the panel's own colour codes over colours 1..8,
// the scale raised to its least value, the stripe mode's colours and sides,
// the intarsia lists of the notes, and the drawing at the settings' scale.
class SimulationSetup
{
public:
    // Stripe mode 1 (a machine with an empty course): colours 4, 5, 6 are the
    // yarns of carriers 1, 2, 3, and carriers 5..8 start on the sides of
    // carriers 1..4. The other modes leave the settings as they are.
    static void applyStripeMode(SimSettings &settings);

    // Makes engine ready to run head with settings; head gets its intarsia
    // lists read.
    static void prepare(KnitEngine &engine, PanelHead &head, const SimSettings &settings);
};

} // namespace kn4
