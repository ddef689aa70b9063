#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kn4 {

// Why a command-line program must not write its output file at output:
//  - it is the same file as one of the inputs it reads (whatever the
//    spelling of the two paths, links included): "kn4sim --png DAVANTI.KN4
//    DIETRO.KN4" would turn the first panel into a picture;
//  - it is an existing panel (a ".KN4" name in any letter case, or a file
//    holding the "SORGENTE.KN4" line);
//  - it exists and is not a regular file (a folder, a device such as
//    /dev/null, which a rename would replace).
// Returns the reason in words ("is the panel read as input"), empty when the
// output may be written.
std::string outputRefusal(const std::filesystem::path &output, const std::vector<std::filesystem::path> &inputs);

} // namespace kn4
