// Arbitrary bytes as the source part of a panel: the source reader, the
// virtual knitting machine and the code simulation, on memory.
#include "compiler.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static kn4::compiler::Compiler compiler;
    compiler.compileSource(data, size);
    return 0;
}
