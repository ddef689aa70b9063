#pragma once

// The engine's headers for the windows. The engine is std only and may use
// words that Qt defines as macros (emit), so they are read with those
// macros switched off.
#pragma push_macro("emit")
#pragma push_macro("signals")
#pragma push_macro("slots")
#undef emit
#undef signals
#undef slots
#include "simulator/knitengine.h"
#include "simulator/panelhead.h"
#include "simulator/simlabels.h"
#include "simulator/simsettings.h"
#include "simulator/weightcalculator.h"
#pragma pop_macro("slots")
#pragma pop_macro("signals")
#pragma pop_macro("emit")
