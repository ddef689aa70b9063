#include "transfer/imagefile.h"

#include "core/machinecheck.h"
#include "kn4/filelookup.h"
#include "transfer/diskimage.h"
#include "transfer/mediafiles.h"

namespace fs = std::filesystem;

namespace kn4::transfer {

namespace {

ImageJobResult failure(std::string text)
{
    ImageJobResult result;
    result.error = std::move(text);
    return result;
}

// The existing file NAME.ext ignoring case, or a new one in upper case.
fs::path imagePath(const fs::path &folder, const std::string &name, const char *extension)
{
    const std::string fileName = name + extension;
    return findEntryIgnoringCase(folder, fileName).value_or(folder / fileName);
}

std::string imageProblem(std::string_view readBack)
{
    const image::CheckReport report = image::check(readBack);
    return report.sound() ? std::string() : "Immagine non valida: " + report.problems.front();
}

} // namespace

std::string imageName(std::string_view typed)
{
    while (!typed.empty() && typed.front() == ' ')
        typed.remove_prefix(1);
    while (!typed.empty() && typed.back() == ' ')
        typed.remove_suffix(1);
    if (typed.size() > 4 && equalsIgnoringCase(typed.substr(typed.size() - 4), ".vlp"))
        typed.remove_suffix(4);
    const std::string name = upperCase(typed);
    if (name.empty() || name.find('/') != std::string::npos || name.find('\0') != std::string::npos
        || name == "." || name == "..")
        return {};
    return name;
}

ImageJobResult buildImageBytes(std::string_view name, const fs::path &controllerProgram,
                               const std::vector<fs::path> &panels, std::string *image)
{
    auto sizeOf = [](const fs::path &path, std::string *error) -> std::optional<std::uint64_t> {
        std::error_code sizeError;
        const auto size = fs::file_size(path, sizeError);
        if (sizeError) {
            *error = "File non trovato: " + path.string();
            return std::nullopt;
        }
        return size;
    };
    std::string error;
    const auto plcSize = sizeOf(controllerProgram, &error);
    if (!plcSize)
        return failure(error);
    std::vector<std::uint64_t> panelSizes;
    for (const fs::path &panel : panels) {
        const auto size = sizeOf(panel, &error);
        if (!size)
            return failure(error);
        panelSizes.push_back(*size);
    }
    const image::SizeCheck sizes = image::checkSizes(*plcSize, panelSizes);
    if (!sizes.fits())
        return failure(sizes.message());

    auto load = [&](const fs::path &path) -> std::optional<image::SourceFile> {
        auto bytes = readWholeFile(path, &error);
        if (!bytes)
            return std::nullopt;
        const std::string own = path.filename().string();
        return image::SourceFile{image::diskFileName(own), std::move(*bytes), own};
    };
    const auto plc = load(controllerProgram);
    if (!plc)
        return failure(error);
    std::vector<image::SourceFile> sources;
    for (const fs::path &path : panels) {
        auto panel = load(path);
        if (!panel)
            return failure(error);
        sources.push_back(std::move(*panel));
    }

    image::BuildResult built = image::build(name, *plc, sources);
    ImageJobResult result;
    result.progress = std::move(built.progress);
    result.error = std::move(built.error);
    result.ok = built.ok;
    *image = std::move(built.image);
    return result;
}

bool writeImageVerified(const fs::path &target, std::string_view image, std::string *error)
{
    return replaceFileVerified(target, image, imageProblem, error);
}

ImageJobResult buildImageFile(const ImageJob &job)
{
    const std::string name = imageName(job.name);
    if (name.empty())
        return failure("Scegliere il nome dell'immagine");
    if (job.controllerProgram.empty())
        return failure("Scegliere il PLC");
    std::error_code ec;
    if (!fs::is_directory(job.imagesFolder, ec))
        return failure("Cartella delle immagini non trovata: " + job.imagesFolder.string());

    // A panel without compiled code would reach the controller with no
    // program: the whole image is refused, naming it.
    for (const fs::path &panel : job.panels) {
        if (manager::MachineCheck::ofFile(panel).refused())
            return failure("Pannello senza programma compilato, non messo nel disco: "
                           + upperCase(panel.stem().string()));
    }
    std::string bytes;
    ImageJobResult result = buildImageBytes(name, job.controllerProgram, job.panels, &bytes);
    if (!result.ok)
        return result;
    std::string error;
    result.ok = false;
    result.image = imagePath(job.imagesFolder, name, ".vlp");
    if (!writeImageVerified(result.image, bytes, &error)) {
        result.error = "Immagine " + name + " non scritta: " + error;
        return result;
    }
    if (job.rawImage) {
        const auto raw = image::rawImage(bytes, &error);
        if (!raw || !replaceFileVerified(imagePath(job.imagesFolder, name, ".img"), *raw, {}, &error)) {
            result.error = "Immagine " + name + ".img non scritta: " + error;
            return result;
        }
    }
    result.ok = true;
    return result;
}

bool deleteImage(const fs::path &imagesFolder, std::string_view typed, std::string *error)
{
    const std::string name = imageName(typed);
    const auto image = name.empty() ? std::nullopt : findEntryIgnoringCase(imagesFolder, name + ".vlp");
    if (!image) {
        if (error)
            *error = "Immagine " + std::string(typed) + " non trovata";
        return false;
    }
    std::error_code ec;
    fs::remove(*image, ec);
    if (ec) {
        if (error)
            *error = "Impossibile cancellare " + image->string() + ": " + ec.message();
        return false;
    }
    if (const auto raw = findEntryIgnoringCase(imagesFolder, name + ".img"))
        fs::remove(*raw, ec);
    return true;
}

} // namespace kn4::transfer
