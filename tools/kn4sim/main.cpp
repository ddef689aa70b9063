// kn4sim: runs compiled panels through the simulator's engine from the shell
// and prints, per panel, its head values, the final state of the piece, the
// stitches per carrier, the stripe check and the yarn weight.

#include "panelsimulation.h"
#include "simtoolarguments.h"

#include "simulator/simsettings.h"

#include "kn4/atomicfile.h"
#include "kn4/outputcheck.h"

#include <iostream>

namespace {

const char kUsage[] =
    "Usage: kn4sim [--settings FILE] [--json] [--png OUT.png] PANEL...\n"
    "\n"
    "Simulates each compiled panel (.KN4) as the simulator does (view 0) and\n"
    "prints its head values, the final course, edges and carriage positions,\n"
    "the stitches per carrier and in all, the stripe check, and the yarn weight\n"
    "per colour when a weight reference is set.\n"
    "\n"
    "  --settings FILE  the simulator's settings (colours, carrier sides, course-\n"
    "                   count start, stripe mode, weight reference); default\n"
    "                   simulatore.sav in the current directory, the built-in\n"
    "                   defaults when there is none\n"
    "  --json           one JSON array with one object per panel\n"
    "  --png OUT.png    also write the simulator's picture of the (one) panel\n"
    "  -h, --help       show this help\n"
    "\n"
    "Exit status: 0 every panel simulated, 1 a panel could not be simulated or\n"
    "the picture could not be written, 2 usage error (a --png file that is one\n"
    "of the panels, the settings file or another existing panel included).\n";

constexpr int kPictureSize = 800;

} // namespace

int main(int argc, char **argv)
{
    const kn4::SimToolArguments args =
        kn4::SimToolArguments::parse(std::vector<std::string>(argv + 1, argv + argc));
    if (args.help) {
        std::cout << kUsage;
        return 0;
    }
    if (!args.error.empty()) {
        std::cerr << "kn4sim: " << args.error << "\nTry 'kn4sim --help'.\n";
        return 2;
    }

    const std::string settingsPath = args.settingsFile.empty() ? kn4::SimSettingsFile::kFileName
                                                               : args.settingsFile;
    if (!args.pngPath.empty()) {
        std::vector<std::filesystem::path> inputs(args.panels.begin(), args.panels.end());
        inputs.emplace_back(settingsPath);
        const std::string refusal = kn4::outputRefusal(args.pngPath, inputs);
        if (!refusal.empty()) {
            std::cerr << "kn4sim: --png " << args.pngPath << " " << refusal << ": nothing written\n";
            return 2;
        }
    }
    const kn4::SimSettingsFile::Result settings = kn4::SimSettingsFile::load(settingsPath);
    using Status = kn4::SimSettingsFile::Status;
    if (settings.status == Status::Unreadable ||
        (settings.status == Status::Missing && !args.settingsFile.empty()))
        std::cerr << "kn4sim: warning: " << settings.reason << "; the default settings are used\n";
    for (const std::string &value : settings.ignored)
        std::cerr << "kn4sim: warning: " << settingsPath << ": value ignored, its default is used: " << value
                  << '\n';

    int status = 0;
    if (args.json)
        std::cout << "[";
    for (std::size_t i = 0; i < args.panels.size(); ++i) {
        const kn4::PanelSimulation result =
            kn4::PanelSimulation::run(args.panels[i], settings.settings, !args.pngPath.empty());
        if (!result.error.empty()) {
            status = 1;
            std::cerr << "kn4sim: " << kn4::pathText(args.panels[i]) << ": " << result.error << '\n';
        }
        if (args.json)
            std::cout << (i > 0 ? ",\n " : "\n ") << result.json();
        else
            std::cout << result.text() << (i + 1 < args.panels.size() ? "\n" : "");

        if (!args.pngPath.empty() && result.error.empty()) {
            std::string error;
            if (!kn4::writeFileAtomically(args.pngPath, result.png(kPictureSize), &error)) {
                std::cerr << "kn4sim: " << args.pngPath << ": " << error << '\n';
                status = 1;
            }
        }
    }
    if (args.json)
        std::cout << "\n]\n";
    return status;
}
