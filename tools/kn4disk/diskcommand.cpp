#include "diskcommand.h"

#include "kn4/atomicfile.h"
#include "kn4/cp1252.h"
#include "kn4/outputcheck.h"
#include "core/machinecheck.h"
#include "transfer/diskimage.h"
#include "transfer/imagefile.h"
#include "transfer/mediafiles.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kn4::disk {

namespace {

using namespace kn4::transfer;

std::optional<std::string> readImage(const std::string &path, std::ostream &err)
{
    std::string error;
    auto bytes = readWholeFile(path, &error, FileReader::kDiskImageLimit);
    if (!bytes) {
        err << "kn4disk: " << error << "\n";
        return std::nullopt;
    }
    return bytes;
}

// A name of the image (Windows-1252) made safe as a file name of this
// system (UTF-8): no folder separators, no control characters, never "."
// or "..".
std::string safeFileName(const std::string &diskName)
{
    const std::string name = cp1252ToUtf8(diskName);
    std::string out;
    for (char c : name)
        out += (c == '/' || static_cast<unsigned char>(c) < 0x20) ? '_' : c;
    if (out.empty() || out == "." || out == "..")
        out = "_" + out;
    return out;
}

// An image checked before anything is taken from it: a damaged one (a bad
// CRC, a chain leaving the image, a field the builder never writes) or a
// file that is no image at all is refused with its problems named, unless
// the user forces it.
bool soundOrForced(const std::string &path, std::string_view bytes, bool force, std::ostream &err)
{
    const image::CheckReport report = image::check(bytes);
    if (report.sound())
        return true;
    for (const std::string &problem : report.problems)
        err << "kn4disk: " << path << ": " << problem << "\n";
    if (force) {
        err << "kn4disk: " << path << ": not sound; going on as --force asks\n";
        return true;
    }
    err << "kn4disk: " << path << ": not a sound diskette image; nothing written (--force takes it anyway)\n";
    return false;
}

// The arguments without "--force", and whether it was there.
bool takeForce(std::vector<std::string> &args)
{
    const auto it = std::find(args.begin(), args.end(), "--force");
    if (it == args.end())
        return false;
    args.erase(it);
    return true;
}

// What the machine would get from each panel: a file that is no panel or a
// panel without compiled code gives the controller no program, so the image
// is refused unless forced; edges that cross are only said.
bool panelsForTheMachine(const std::vector<fs::path> &panels, bool force, std::ostream &err)
{
    bool refused = false;
    for (const fs::path &panel : panels) {
        const manager::MachineCheck machine = manager::MachineCheck::ofFile(panel);
        if (machine.refused()) {
            const char *what = machine.verdict == manager::MachineCheck::Verdict::NoCode
                                   ? "holds no compiled code (Questa parte contiene errori)"
                                   : "is not a panel";
            err << "kn4disk: " << panel.string() << " " << what
                << (force ? "; taken as --force asks\n" : "\n");
            refused = true;
        } else if (machine.verdict == manager::MachineCheck::Verdict::EdgesCross) {
            err << "kn4disk: " << panel.string() << ": the edges cross at course " << machine.course
                << ", the piece cannot be knitted as drawn\n";
        }
    }
    if (refused && !force) {
        err << "kn4disk: nothing written (--force takes such files anyway)\n";
        return false;
    }
    return true;
}

int build(std::vector<std::string> args, std::ostream &out, std::ostream &err)
{
    const bool force = takeForce(args);
    std::string plc, output;
    std::vector<fs::path> panels;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--plc" && i + 1 < args.size())
            plc = args[++i];
        else if (args[i] == "-o" && i + 1 < args.size())
            output = args[++i];
        else
            panels.emplace_back(args[i]);
    }
    if (plc.empty() || output.empty()) {
        err << "kn4disk: build needs --plc FILE and -o NAME.vlp\n" << DiskCommand::usage();
        return DiskCommand::kUsage;
    }
    // A file that cannot be read is a usage problem, not a refused image.
    std::vector<fs::path> inputs = panels;
    inputs.insert(inputs.begin(), plc);
    for (const fs::path &input : inputs) {
        std::error_code ec;
        if (!fs::is_regular_file(input, ec) || ::access(input.c_str(), R_OK) != 0) {
            err << "kn4disk: cannot read " << input.string() << "\n";
            return DiskCommand::kUsage;
        }
    }
    if (const std::string refusal = outputRefusal(output, inputs); !refusal.empty()) {
        err << "kn4disk: -o " << output << " " << refusal << ": nothing written\n";
        return DiskCommand::kUsage;
    }
    if (!panelsForTheMachine(panels, force, err))
        return DiskCommand::kRefused;
    std::string image;
    const std::string name = upperCase(fs::path(output).stem().string());
    const ImageJobResult result = buildImageBytes(name, plc, panels, &image);
    for (const std::string &line : result.progress)
        out << line << "\n";
    if (!result.ok) {
        err << "kn4disk: " << result.error << "\n";
        return DiskCommand::kRefused;
    }
    std::string error;
    if (!writeImageVerified(output, image, &error)) {
        err << "kn4disk: " << output << " not written: " << error << "\n";
        return DiskCommand::kUsage;
    }
    return DiskCommand::kOk;
}

int check(const std::string &path, std::ostream &out, std::ostream &err)
{
    const auto bytes = readImage(path, err);
    if (!bytes)
        return DiskCommand::kUsage;
    const image::CheckReport report = image::check(*bytes);
    for (const std::string &problem : report.problems)
        out << path << ": " << problem << "\n";
    if (!report.sound())
        return DiskCommand::kRefused;
    out << path << ": sound, " << report.entries.size() << " files in " << report.clustersInUse
        << " clusters\n";
    return DiskCommand::kOk;
}

int list(const std::string &path, std::ostream &out, std::ostream &err)
{
    const auto bytes = readImage(path, err);
    if (!bytes)
        return DiskCommand::kUsage;
    std::string error;
    const auto entries = image::list(*bytes, &error);
    if (!error.empty()) {
        err << "kn4disk: " << path << ": " << error << "\n";
        return DiskCommand::kRefused;
    }
    std::uint64_t total = 0;
    for (const image::Entry &entry : entries) {
        char line[96];
        std::snprintf(line, sizeof line, "%-12s %8u  cluster %u\n", cp1252ToUtf8(entry.name).c_str(), entry.size,
                      unsigned(entry.firstCluster));
        out << line;
        total += entry.size;
    }
    out << entries.size() << " files, " << total << " bytes\n";
    return DiskCommand::kOk;
}

int extract(const std::string &path, const std::string &dir, bool force, std::ostream &out, std::ostream &err)
{
    const auto bytes = readImage(path, err);
    if (!bytes)
        return DiskCommand::kUsage;
    if (!soundOrForced(path, *bytes, force, err))
        return DiskCommand::kRefused;
    std::string error;
    const auto entries = image::list(*bytes, &error);
    if (!error.empty()) {
        err << "kn4disk: " << path << ": " << error << "\n";
        return DiskCommand::kRefused;
    }
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        err << "kn4disk: cannot create " << dir << ": " << ec.message() << "\n";
        return DiskCommand::kUsage;
    }
    int result = DiskCommand::kOk;
    for (const image::Entry &entry : entries) {
        if (entry.attribute & 0x10)
            continue;
        const auto content = image::readFile(*bytes, entry, &error);
        if (!content) {
            err << "kn4disk: " << error << "\n";
            result = DiskCommand::kRefused;
            continue;
        }
        const fs::path target = fs::path(dir) / safeFileName(entry.name);
        if (!writeFileAtomically(target, *content, &error)) {
            err << "kn4disk: " << error << "\n";
            return DiskCommand::kUsage;
        }
        out << target.string() << "\n";
    }
    return result;
}

int raw(std::vector<std::string> args, std::ostream &err)
{
    const bool force = takeForce(args);
    if (args.size() != 4 || args[2] != "-o") {
        err << DiskCommand::usage();
        return DiskCommand::kUsage;
    }
    if (const std::string refusal = outputRefusal(args[3], {args[1]}); !refusal.empty()) {
        err << "kn4disk: -o " << args[3] << " " << refusal << ": nothing written\n";
        return DiskCommand::kUsage;
    }
    const auto bytes = readImage(args[1], err);
    if (!bytes)
        return DiskCommand::kUsage;
    if (!soundOrForced(args[1], *bytes, force, err))
        return DiskCommand::kRefused;
    std::string error;
    const auto sectors = image::rawImage(*bytes, &error);
    if (!sectors) {
        err << "kn4disk: " << args[1] << ": " << error << "\n";
        return DiskCommand::kRefused;
    }
    if (!writeFileAtomically(args[3], *sectors, &error)) {
        err << "kn4disk: " << error << "\n";
        return DiskCommand::kUsage;
    }
    return DiskCommand::kOk;
}

} // namespace

std::string DiskCommand::usage()
{
    return "usage: kn4disk build --plc FILE -o NAME.vlp PANEL... [--force]\n"
           "       kn4disk check IMAGE.vlp\n"
           "       kn4disk list IMAGE.vlp\n"
           "       kn4disk extract IMAGE.vlp DIR [--force]\n"
           "       kn4disk raw IMAGE.vlp -o NAME.img [--force]\n";
}

int DiskCommand::run(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    const std::string command = args.empty() ? std::string() : args[0];
    if (command == "build")
        return build(args, out, err);
    if (command == "check" && args.size() == 2)
        return check(args[1], out, err);
    if (command == "list" && args.size() == 2)
        return list(args[1], out, err);
    if (command == "extract") {
        std::vector<std::string> rest = args;
        const bool force = takeForce(rest);
        if (rest.size() == 3)
            return extract(rest[1], rest[2], force, out, err);
    }
    if (command == "raw")
        return raw(args, err);
    err << usage();
    return kUsage;
}

} // namespace kn4::disk
