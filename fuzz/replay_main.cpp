// Replays saved fuzzer inputs through a fuzz target without libFuzzer: every
// file of the folders given is fed to LLVMFuzzerTestOneInput once. A crash,
// a sanitizer report or a hang fails the test run.
#include "kn4/filereader.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

int main(int argc, char **argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        for (const auto &entry : std::filesystem::recursive_directory_iterator(argv[i], ec)) {
            if (!entry.is_regular_file())
                continue;
            // Far more than any input libFuzzer makes for these targets.
            const kn4::FileContent input = kn4::FileReader::read(entry.path(), 1u << 20);
            if (!input) {
                std::fprintf(stderr, "%s\n", input.message(entry.path()).c_str());
                return 1;
            }
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(input.bytes.data()), input.bytes.size());
            ++replayed;
        }
        if (ec) {
            std::fprintf(stderr, "cannot read %s: %s\n", argv[i], ec.message().c_str());
            return 1;
        }
    }
    std::printf("replayed %d inputs\n", replayed);
    return replayed > 0 ? 0 : 1;
}
