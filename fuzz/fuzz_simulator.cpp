// The simulator's readers and engine on any bytes, codes cut where they
// could pass 2000 courses (see simulatorfuzzing.h).
#include "simulatorfuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    kn4::fuzzing::runInput(data, size, false);
    return 0;
}
