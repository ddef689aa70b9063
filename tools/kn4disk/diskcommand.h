#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kn4::disk {

// kn4disk: builds, checks, lists, unpacks and converts the emulator's
// diskette images (.vlp) with the manager's own code.
//
//   kn4disk build --plc FILE -o NAME.vlp PANEL...
//   kn4disk check IMAGE.vlp
//   kn4disk list IMAGE.vlp
//   kn4disk extract IMAGE.vlp DIR [--force]
//   kn4disk raw IMAGE.vlp -o NAME.img [--force]
//
// extract and raw check the image first, as check does, and refuse one that
// is not sound unless --force is given.
class DiskCommand
{
public:
    // Exit codes.
    static constexpr int kOk = 0;
    static constexpr int kRefused = 1; // an image that is not sound (or no image), or files that do not fit
    static constexpr int kUsage = 2;   // wrong arguments, or a file that cannot be read or written

    static std::string usage();
    static int run(const std::vector<std::string> &arguments, std::ostream &out, std::ostream &err);
};

} // namespace kn4::disk
