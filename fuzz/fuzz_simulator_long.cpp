// The simulator's panel reader and engine on any bytes, every code
// replayed whole: long count-byte repeats up to the longest legal panel.
#include "simulatorfuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    kn4::fuzzing::runInput(data, size, true);
    return 0;
}
