// Arbitrary bytes as a keyword file, then a fixed panel compiled with the
// words read: the keyword reading and a source reader that sees any words.
#include "compiler.h"
#include "linereader.h"

#include <cstdint>
#include <cstring>

namespace {

const char kPanel[] =
    "tipo AB---, taglia 44,parte DAVANTI---\r\n"
    "frontura 120, densita 12------\r\n"
    "costina 50\r\n"
    "scollo 10\r\n"
    "predisposizione 1\r\n"
    "uscita 1\r\n"
    "definizione ALTRO\r\n"
    "liscio , 4 , 1 ;\r\n"
    "rigato 2, 1 ,-1 ;\r\n"
    "liscio , 2 , 3 ;\r\n"
    "aumentazione 1, 4 , 1 ;\r\n"
    "punzonato -2 100, 1 , 1 ;\r\n"
    "produco_3 2 1\r\n"
    "definizione SCOLLO\r\n"
    "scollo 1, 2 , 2 ;\r\n";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static kn4::compiler::Compiler compiler;
    compiler.keywords().resetToBuiltIn();
    kn4::compiler::MemorySource file(data, size);
    compiler.keywords().read(file);
    compiler.compileSource(kPanel, std::strlen(kPanel));
    return 0;
}
