#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::transfer {

// The emulator's image files in {drive}/immagini: building one from the
// controller program and the panels of the disk (Command4), and deleting one
// (Command6).

struct ImageJob
{
    std::filesystem::path imagesFolder;               // {drive}/immagini
    std::string name;                                 // Combo2: the image's name without ".vlp"
    std::filesystem::path controllerProgram;          // p_lince/{PLC}
    std::vector<std::filesystem::path> panels;       // in list order
    bool rawImage = false;                            // also NAME.img, the sector image without CRCs
};

struct ImageJobResult
{
    bool ok = false;
    std::string error; // message for the user when !ok
    std::vector<std::string> progress;
    std::filesystem::path image;
};

// The image name for what the user typed: trimmed, upper case, without a
// ".vlp" typed along; empty when unusable (nothing, or a "/").
std::string imageName(std::string_view typed);

// Measures the controller program and the panels (the size check refuses
// too large an image before anything is read), reads them and builds the
// image of a disk named name; the files keep their names in upper case.
ImageJobResult buildImageBytes(std::string_view name, const std::filesystem::path &controllerProgram,
                               const std::vector<std::filesystem::path> &panels, std::string *image);

// Writes an image to a temporary file beside target, reads it back, checks
// it as `kn4disk check` does and only then renames it over target.
bool writeImageVerified(const std::filesystem::path &target, std::string_view image, std::string *error);

// Refuses a panel without compiled code (the machine would get no program),
// measures the files (the size check refuses too large an image before
// anything is read), builds the image, writes it to a temporary file in the
// images folder, reads it back and checks it as `kn4disk check` does, and
// only then renames it over NAME.vlp. A failure leaves the old image as it was.
ImageJobResult buildImageFile(const ImageJob &job);

// Deletes NAME.vlp (and NAME.img made beside it) from the images folder.
bool deleteImage(const std::filesystem::path &imagesFolder, std::string_view name, std::string *error);

} // namespace kn4::transfer
