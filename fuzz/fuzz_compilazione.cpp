// Arbitrary bytes through the whole compile entry point: a panel file and,
// when the input holds a line "====", a keyword file before it (else the
// built-in words). Files live in a private temporary folder, in memory
// (/dev/shm) where there is one, and the rewrite of the panel is not flushed
// to disk: a campaign runs millions of compilations, and the flush proves
// nothing about the reader.
#include "compiler.h"
#include "kn4edit2.h"

#include "kn4/atomicfile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

void writeAll(const std::string &path, const std::uint8_t *data, std::size_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return;
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0)
            break;
        data += n;
        size -= std::size_t(n);
    }
    ::close(fd);
}

const std::string &folder()
{
    static const std::string dir = [] {
        char inMemory[] = "/dev/shm/kn4fuzzXXXXXX";
        if (const char *made = ::mkdtemp(inMemory))
            return std::string(made);
        char pattern[] = "/tmp/kn4fuzzXXXXXX";
        const char *made = ::mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    return dir;
}

int noSync(int)
{
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    kn4::AtomicFileWriter::setSyncFunctionForTesting(noSync);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static kn4::compiler::Compiler compiler;
    static char report[KN4_REPORT_SIZE];
    const std::string keyFile = folder() + "/VUZUDO.KEY";
    const std::string panel = folder() + "/PANNELLO.KN4";

    const char separator[] = "\n====\n";
    const std::uint8_t *split = static_cast<const std::uint8_t *>(
        memmem(data, size, separator, sizeof separator - 1));
    if (split) {
        writeAll(keyFile, data, std::size_t(split - data));
        const std::size_t skip = std::size_t(split - data) + sizeof separator - 1;
        writeAll(panel, data + skip, size - skip);
    } else {
        // Without a keyword file nothing is compiled: the built-in words.
        static const std::string builtIn = [] {
            const kn4::compiler::KeywordTable table;
            std::string text;
            for (int slot = 0; slot < kn4::compiler::KeywordTable::kSlots; ++slot)
                text += std::string(table.word(slot)) + "\r\n";
            return text;
        }();
        writeAll(keyFile, reinterpret_cast<const std::uint8_t *>(builtIn.data()), builtIn.size());
        writeAll(panel, data, size);
    }
    compiler.compile(panel.c_str(), folder().c_str(), report);
    if (std::strlen(report) >= KN4_REPORT_SIZE)
        std::abort();
    return 0;
}
