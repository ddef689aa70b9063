// The reader of the emulator's diskette images, as `kn4disk check`, `list`,
// `extract` and `raw` use it: any bytes must give a report, never a crash,
// a read outside the image or an endless chain walk.
#include "transfer/diskimage.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace kn4::transfer::image;
    const std::string_view image(reinterpret_cast<const char *>(data), size);
    const CheckReport report = check(image);
    std::string error;
    for (const Entry &entry : list(image, &error)) {
        const auto content = readFile(image, entry, &error);
        if (content && content->size() != entry.size)
            __builtin_trap();
    }
    // The sector image is 720 KB whatever the input: it is made for the
    // images that check sound, and refused at once for the others whose
    // length is no whole number of sectors. Making it for every input would
    // spend half the campaign clearing memory.
    const bool wholeSectors = image.size() % kStoredSectorBytes == 0;
    if (report.sound() || !wholeSectors) {
        const auto raw = rawImage(image, &error);
        if (raw && raw->size() != kRawImageBytes)
            __builtin_trap();
        if (!wholeSectors && raw)
            __builtin_trap();
    }
    return 0;
}
